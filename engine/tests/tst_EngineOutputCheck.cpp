#include "EngineOutputCheck.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// Whether a reported file is the output of a run, as far as its time and kind decide.
class EngineOutputCheckTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // File times come in steps (two seconds on FAT, a coarse clock elsewhere): an output
    // written in the step that the run started in counts, one of the step before does not.
    void writtenSinceTheRunStarted_data()
    {
        QTest::addColumn<qint64>("startAfterStep"); // ms after a two-second step
        QTest::addColumn<qint64>("writtenAfterStep");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("after the start") << qint64(300) << qint64(900) << true;
        QTest::newRow("same step, stamped before the start") << qint64(1900) << qint64(0) << true;
        QTest::newRow("the step before") << qint64(300) << qint64(-1) << false;
        QTest::newRow("an hour before") << qint64(300) << qint64(-3600 * 1000) << false;
    }

    void writtenSinceTheRunStarted()
    {
        QFETCH(qint64, startAfterStep);
        QFETCH(qint64, writtenAfterStep);
        QFETCH(bool, accepted);
        const qint64 step = QDateTime::currentMSecsSinceEpoch() / 2000 * 2000 - 60000;
        const QString output = m_dir.filePath("report.docx");
        QVERIFY(writeFile(output, step + writtenAfterStep));
        QCOMPARE(isOutputOfRun(output, output, step + startAfterStep), accepted);
    }

    void onlyAFileWithContent_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("empty") << "empty";
        QTest::newRow("folder") << "folder";
        QTest::newRow("link to a fresh file elsewhere") << "link";
    }

    void onlyAFileWithContent()
    {
        QFETCH(QString, kind);
        const qint64 start = QDateTime::currentMSecsSinceEpoch() - 10000;
        const QString output = m_dir.filePath(kind + ".png");
        const QString numbered = m_dir.filePath(kind + "-1.png");
        if (kind == "empty") {
            QFile file(numbered);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (kind == "folder") {
            QVERIFY(QDir().mkpath(numbered));
        } else {
            QTemporaryDir elsewhere;
            QVERIFY(writeFile(elsewhere.filePath("secret"), start + 5000));
            QVERIFY(QFile::link(elsewhere.filePath("secret"), numbered));
            QVERIFY(!isOutputOfRun(numbered, output, start));
            return;
        }
        QVERIFY(!isOutputOfRun(numbered, output, start));
    }

    // The folder is the output's folder however its path is spelt: an output folder reached
    // through a link, reported by the path the engine resolved it to.
    void sameFolderSpeltOtherwise()
    {
        QVERIFY(QDir().mkpath(m_dir.filePath("out")));
        QVERIFY(QFile::link(m_dir.filePath("out"), m_dir.filePath("desktop")));
        const QString output = m_dir.filePath("desktop/a.txt");
        QVERIFY(writeFile(output, QDateTime::currentMSecsSinceEpoch()));
        const qint64 start = QDateTime::currentMSecsSinceEpoch() - 10000;
        QVERIFY(isOutputOfRun(m_dir.filePath("out/../out/./a.txt"), output, start));
        QVERIFY(!isOutputOfRun(m_dir.filePath("a.txt"), output, start));
    }

private:
    static bool writeFile(const QString &path, qint64 modifiedMsecs)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write("converted") < 0 || !file.flush())
            return false;
        return file.setFileTime(QDateTime::fromMSecsSinceEpoch(modifiedMsecs),
                                QFileDevice::FileModificationTime);
    }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(EngineOutputCheckTest)
#include "tst_EngineOutputCheck.moc"
