#include "ProcessLookup.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <vector>

// Runs real child processes under an executable name longer than the kernel's 15-character
// "comm", so a lookup by the short name would miss them.
class ProcessLookupTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_exePath = m_dir.filePath(QStringLiteral("quorvane-lookup-sleeper"));
        QVERIFY(QFile::copy(QStringLiteral("/bin/sleep"), m_exePath));
        QVERIFY(QFile::setPermissions(m_exePath, QFile::ReadOwner | QFile::ExeOwner));
    }

    void cleanup()
    {
        for (auto &child : m_children) {
            child->kill();
            child->waitForFinished();
        }
        m_children.clear();
    }

    void emptyNameGivesEmptyMap() { QVERIFY(findProcessesByName(QString()).isEmpty()); }

    void findsEveryCopyWithItsParent()
    {
        const qint64 first = startSleeper();
        const qint64 second = startSleeper();
        const auto found = findProcessesByName(QStringLiteral("quorvane-lookup-sleeper"));
        QCOMPARE(ownChildren(found),
                 QList<quint32>({quint32(qMin(first, second)), quint32(qMax(first, second))}));
        QVERIFY(found.firstKey() < found.lastKey());
    }

    void comparisonIsExactAndCaseSensitive_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("found");
        QTest::newRow("the name itself") << QStringLiteral("quorvane-lookup-sleeper") << true;
        QTest::newRow("upper case") << QStringLiteral("QUORVANE-LOOKUP-SLEEPER") << false;
        QTest::newRow("prefix") << QStringLiteral("quorvane-lookup-sleep") << false;
        QTest::newRow("kernel's cut name") << QStringLiteral("quorvane-lookup") << false;
        QTest::newRow("with folder") << m_exePath << false;
    }

    void comparisonIsExactAndCaseSensitive()
    {
        QFETCH(QString, name);
        QFETCH(bool, found);
        const qint64 sleeper = startSleeper();
        QVERIFY(sleeper > 0);
        QCOMPARE(ownChildren(findProcessesByName(name)),
                 found ? QList<quint32>{quint32(sleeper)} : QList<quint32>());
    }

private:
    // The processes found whose parent is this test, in ascending order: a copy that another
    // program runs at the same time is none of this test's business.
    static QList<quint32> ownChildren(const QMap<quint32, quint32> &found)
    {
        const auto self = static_cast<quint32>(QCoreApplication::applicationPid());
        QList<quint32> children;
        for (auto process = found.begin(); process != found.end(); ++process) {
            if (process.value() == self)
                children << process.key();
        }
        return children;
    }

    qint64 startSleeper()
    {
        auto child = std::make_unique<QProcess>();
        // Ten minutes, beyond the test's bounds: only the test ends it.
        child->start(m_exePath, {QStringLiteral("600")});
        if (!child->waitForStarted(60000))
            return -1;
        const qint64 pid = child->processId();
        m_children.push_back(std::move(child));
        return pid;
    }

    QTemporaryDir m_dir;
    QString m_exePath;
    std::vector<std::unique_ptr<QProcess>> m_children;
};

QTEST_GUILESS_MAIN(ProcessLookupTest)
#include "tst_ProcessLookup.moc"
