#include "EngineStandIn.h"
#include "FilePageCount.h"
#include "FileToPdfJobEntity.h"
#include "FileUtils.h"
#include "PdfToFileJobEntity.h"

#include <QSignalSpy>
#include <QtTest>

// Runs from a folder without the engine program: a job whose engine cannot start must end
// as a failure rather than leave its row converting.
class EngineMissingTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(!QFile::exists(QCoreApplication::applicationDirPath() + "/Morvex"));
    }

    void fileToPdfFails() { checkFails<FileToPdfJobEntity>("/out/a.pdf"); }
    void pdfToFileFails() { checkFails<PdfToFileJobEntity>("/out/a.docx"); }

    // With its libraries in place the page count tries the engine; it answers "unknown".
    void pageCountAnswersUnknown()
    {
        QVERIFY(EngineStandIn::placeLibraries());
        FilePageCount worker("/in/a.pdf");
        QSignalSpy answers(&worker, &FilePageCount::PageCountResultSignal);
        worker.start();
        const bool answered = answers.wait(EngineStandIn::kWaitMs);
        EngineStandIn::removeLibraries();
        QVERIFY(answered);
        QCOMPARE(answers.takeFirst().at(0).toString(), QString("-1"));
    }

private:
    template <typename Job> void checkFails(const QString &outputPath)
    {
        Job job;
        job.setJobParams("/in/a.src", outputPath);
        QSignalSpy results(&job, &Job::ProcessResult);
        job.start();
        QVERIFY(results.wait(EngineStandIn::kWaitMs));
        QCOMPARE(results.takeFirst(), QVariantList({false, QString()}));
        QTest::qWait(700);
        QCOMPARE(results.size(), 0);
        QVERIFY(job.wait(EngineStandIn::kWaitMs));
    }
};

QTEST_GUILESS_MAIN(EngineMissingTest)
#include "tst_EngineMissing.moc"
