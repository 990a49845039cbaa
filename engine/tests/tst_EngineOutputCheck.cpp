#include "EngineOutputCheck.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <unistd.h>

namespace {

// Something done in a case's folder: "out" is the requested folder, "elsewhere" another one.
using Step = std::function<bool(const QDir &base)>;

const QString requestedName = "report.png";
// A file time of whole milliseconds, which setting it again restores exactly.
const QDateTime earlier = QDateTime::fromMSecsSinceEpoch(1500000000123);

bool writeFile(const QString &path, const QByteArray &content, const QDateTime &modified = {})
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.flush())
        return false;
    return !modified.isValid() || file.setFileTime(modified, QFileDevice::FileModificationTime);
}

Step writes(const QString &name, const QByteArray &content = "converted",
            const QDateTime &modified = {})
{
    return [=](const QDir &base) { return writeFile(base.filePath(name), content, modified); };
}

Step writesStamped(const QString &name, qint64 secondsFromNow)
{
    return [=](const QDir &base) {
        return writeFile(base.filePath(name), "converted",
                         QDateTime::currentDateTime().addSecs(secondsFromNow));
    };
}

Step grows(const QString &name, const QDateTime &modifiedAfter)
{
    return [=](const QDir &base) {
        QFile file(base.filePath(name));
        return file.open(QIODevice::Append) && file.write(" more") == 5 && file.flush() &&
               file.setFileTime(modifiedAfter, QFileDevice::FileModificationTime);
    };
}

Step renames(const QString &from, const QString &to)
{
    return [=](const QDir &base) {
        return ::rename(QFile::encodeName(base.filePath(from)).constData(),
                        QFile::encodeName(base.filePath(to)).constData()) == 0;
    };
}

Step links(const QString &target, const QString &name)
{
    return
        [=](const QDir &base) { return QFile::link(base.filePath(target), base.filePath(name)); };
}

Step makesFolder(const QString &name)
{
    return [=](const QDir &base) { return base.mkpath(name); };
}

Step removesFolder(const QString &name)
{
    return [=](const QDir &base) { return QDir(base.filePath(name)).removeRecursively(); };
}

Step steps(const QList<Step> &all)
{
    return [=](const QDir &base) {
        for (const Step &step : all) {
            if (!step(base))
                return false;
        }
        return true;
    };
}

const Step nothing = [](const QDir &) { return true; };

} // namespace

Q_DECLARE_METATYPE(Step)

// Whether a reported file is the output of a run: the check is made before the engine starts,
// and asked once it has ended.
class EngineOutputCheckTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // Every field of a file's identity counts, and its name and time on their own say nothing.
    void aResultIsAFileTheRunMadeOrChanged_data()
    {
        QTest::addColumn<Step>("before");   // with "out" and "elsewhere" there
        QTest::addColumn<Step>("byTheRun"); // after the check was made
        QTest::addColumn<QString>("reported");
        QTest::addColumn<bool>("accepted");
        const QString output = "out/" + requestedName;
        QTest::newRow("written by the run") << nothing << writes(output) << output << true;
        // A coarse or lagging file system clock, or a copy that keeps its source's time.
        QTest::newRow("written, stamped a second before the start")
            << nothing << writesStamped(output, -1) << output << true;
        QTest::newRow("written, stamped an hour before the start")
            << nothing << writesStamped(output, -3600) << output << true;
        QTest::newRow("written under a name of the engine's own")
            << nothing << writes("out/第1页.jpeg") << "out/第1页.jpeg" << true;
        QTest::newRow("written in place of an earlier file, same size")
            << writes(output, "converted", earlier) << writes(output, "converted") << output
            << true;
        QTest::newRow("grown, its time put back")
            << writes(output, "converted", earlier) << grows(output, earlier) << output << true;
        QTest::newRow("put in place of an earlier file, same size and time")
            << writes(output, "converted", earlier)
            << steps({writes("out/.part", "converted", earlier), renames("out/.part", output)})
            << output << true;
        QTest::newRow("the folder made by the run")
            << removesFolder("out") << steps({makesFolder("out"), writes(output)}) << output
            << true;

        QTest::newRow("left by an earlier run") << writes(output) << nothing << output << false;
        QTest::newRow("left by an earlier run, stamped ahead of the clock")
            << writesStamped(output, 3600) << nothing << output << false;
        QTest::newRow("another name that stood there before")
            << writes("out/notes.txt") << writes(output) << "out/notes.txt" << false;
        QTest::newRow("an earlier file renamed to the output")
            << writes("out/old.png") << renames("out/old.png", output) << output << false;
        QTest::newRow("empty") << nothing << writes(output, "") << output << false;
        QTest::newRow("a folder") << nothing << makesFolder(output) << output << false;
        QTest::newRow("a link to a file written elsewhere")
            << nothing << steps({writes("elsewhere/secret"), links("elsewhere/secret", output)})
            << output << false;
        QTest::newRow("a link to a file written beside it")
            << nothing << steps({writes("out/real.png"), links("out/real.png", output)}) << output
            << false;
        QTest::newRow("written in another folder")
            << nothing << writes("elsewhere/" + requestedName) << "elsewhere/" + requestedName
            << false;
        QTest::newRow("written in a folder inside")
            << nothing << steps({makesFolder("out/sub"), writes("out/sub/" + requestedName)})
            << "out/sub/" + requestedName << false;
        QTest::newRow("a file of the system")
            << nothing << writes(output) << "/etc/hostname" << false;
        QTest::newRow("nothing reported") << nothing << writes(output) << "" << false;
    }

    void aResultIsAFileTheRunMadeOrChanged()
    {
        QFETCH(Step, before);
        QFETCH(Step, byTheRun);
        QFETCH(QString, reported);
        QFETCH(bool, accepted);
        const QDir base(m_dir.filePath(QString("case-%1").arg(++m_cases)));
        QVERIFY(base.mkpath("out") && base.mkpath("elsewhere"));
        QVERIFY(before(base));
        const EngineOutputCheck check(base.filePath("out/" + requestedName));
        QVERIFY(byTheRun(base));
        QCOMPARE(check.accepts(reported.isEmpty() ? reported : base.filePath(reported)), accepted);
    }

    // The folder is the output's folder however its path is spelt: an output folder reached
    // through a link, reported by the path the engine resolved it to.
    void sameFolderSpeltOtherwise()
    {
        const QDir base(m_dir.filePath("spelt"));
        QVERIFY(base.mkpath("out"));
        QVERIFY(QFile::link(base.filePath("out"), base.filePath("desktop")));
        const EngineOutputCheck check(base.filePath("desktop/a.txt"));
        QVERIFY(writeFile(base.filePath("desktop/a.txt"), "converted"));
        QVERIFY(writeFile(base.filePath("a.txt"), "converted"));
        QVERIFY(check.accepts(base.filePath("out/../out/./a.txt")));
        QVERIFY(!check.accepts(base.filePath("a.txt")));
    }

    // What stood in a folder that cannot be read is unknown, so no file there can be told
    // from an earlier one.
    void unreadableFolderAcceptsNothing()
    {
        if (::geteuid() == 0)
            QSKIP("the superuser reads every folder");
        const QDir base(m_dir.filePath("unreadable"));
        QVERIFY(base.mkpath("out"));
        const QString output = base.filePath("out/" + requestedName);
        QVERIFY(writeFile(output, "earlier"));
        QVERIFY(QFile::setPermissions(base.filePath("out"),
                                      QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        const EngineOutputCheck check(output);
        QVERIFY(QFile::setPermissions(base.filePath("out"), QFileDevice::ReadOwner |
                                                                QFileDevice::WriteOwner |
                                                                QFileDevice::ExeOwner));
        QVERIFY(!check.accepts(output));
    }

private:
    QTemporaryDir m_dir;
    int m_cases = 0;
};

QTEST_GUILESS_MAIN(EngineOutputCheckTest)
#include "tst_EngineOutputCheck.moc"
