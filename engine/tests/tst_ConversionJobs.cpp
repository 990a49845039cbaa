#include "EngineStandIn.h"
#include "FileToPdfJobEntity.h"
#include "FileUtils.h"
#include "PdfToFileJobEntity.h"
#include "ProcessTree.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

// What the owning row sees: every progress and result, in arrival order.
class RowProbe : public QObject
{
public:
    QStringList events;

    bool resultSeen() const { return !events.filter("result").isEmpty(); }
    void onState(int state) { events << QString("state %1").arg(state); }
    void onResult(bool result, const QString &path)
    {
        events << QString("result %1 %2").arg(result ? "true" : "false", path);
    }
};

// One job of either class behind one face; the two classes share no base but QThread.
struct JobUnderTest
{
    std::unique_ptr<QThread> job;
    std::function<void(const QString &, const QString &)> setJobParams;
    std::function<void()> stopJob;
    std::function<void(int)> processfinished;
    std::function<void(RowProbe *)> connectRow;
};

template <typename Job> JobUnderTest makeJobOf()
{
    auto *job = new Job;
    return {
        std::unique_ptr<QThread>(job),
        [job](const QString &source, const QString &output) { job->setJobParams(source, output); },
        [job] { job->stopJob(); }, [job](int code) { job->processfinished(code); },
        [job](RowProbe *row) {
            QObject::connect(job, &Job::ProcessState, row, &RowProbe::onState);
            QObject::connect(job, &Job::ProcessResult, row, &RowProbe::onResult);
        }};
}

JobUnderTest makeJob(const QString &className)
{
    if (className == "FileToPdfJobEntity")
        return makeJobOf<FileToPdfJobEntity>();
    return makeJobOf<PdfToFileJobEntity>();
}

// A job of the class with its paths set and its events going to row, started.
JobUnderTest startJob(const QString &className, const QString &sourcePath,
                      const QString &outputPath, RowProbe *row)
{
    JobUnderTest job = makeJob(className);
    job.setJobParams(sourcePath, outputPath);
    job.connectRow(row);
    job.job->start();
    return job;
}

const QString stateMark = "<state>";
const QString outputMark = "<output>";

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QStringList withState(QStringList arguments, const QString &statePath)
{
    arguments.replaceInStrings(QRegularExpression("^<state>$"), statePath);
    return arguments;
}

} // namespace

// Both conversion jobs against the stand-in engine, started as a real child process.
class ConversionJobsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_engine.isValid());
        QVERIFY(ProcessTree::keepOrphans());
    }

    void cleanup() { QTRY_COMPARE_WITH_TIMEOUT(ProcessTree::runningDescendants(), 0, 5000); }

    void argumentLists_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("outputPath");
        QTest::addColumn<QStringList>("expected");
        const QString source = "/home/u/my files/年度报告.src";
        const QStringList head = {"", "", source, "", stateMark, ""};
        auto arguments = [&](const QString &kind, const QString &output, const QString &suffix,
                             const QStringList &tail) {
            QStringList list = head;
            list[1] = kind;
            list[3] = output;
            return list + QStringList{suffix} + tail;
        };
        const QStringList three = {"", "", ""};
        QTest::newRow("file to pdf")
            << "FileToPdfJobEntity"
            << "/home/u/out/年度报告.pdf"
            << arguments("file2pdf", native("/home/u/out/年度报告.pdf"), "pdf",
                         {"", "", "", "", "", "1", "0", "0", "0", "0"});
        const struct
        {
            const char *suffix;
            const char *kind;
            QStringList tail;
        } kinds[] = {
            {"docx", "file2word", three},
            {"DOCX", "file2word", three},
            {"doc", "file2word", three},
            {"jpeg", "file2img", {"", "", "", "576", "3"}},
            {"jpg", "file2img", {"", "", "", "576", "3"}},
            {"png", "file2img", {"", "", "", "576", "3"}},
            {"bmp", "file2img", {"", "", "", "576", "3"}},
            {"xlsx", "file2excel", {"", "", "", "", "", "0"}},
            {"xls", "file2excel", {"", "", "", "", "", "0"}},
            {"pptx", "file2ppt", three},
            {"ppt", "file2ppt", three},
            {"txt", "file2txt", three},
            {"html", "file2html", three},
        };
        for (const auto &kind : kinds) {
            const QString suffix = kind.suffix;
            QTest::newRow(qPrintable("pdf to " + suffix))
                << "PdfToFileJobEntity"
                << "C:/out/r." + suffix
                << arguments(kind.kind, native("C:/out/r." + suffix), suffix.toLower(), kind.tail);
        }
        QTest::newRow("backslash inside a name")
            << "PdfToFileJobEntity"
            << "/out/report\\2024.txt"
            << arguments("file2txt", native("/out/report\\2024.txt"), "txt", three);
        QTest::newRow("pdf to unknown suffix") << "PdfToFileJobEntity"
                                               << "/out/r.pdf" << QStringList();
        QTest::newRow("pdf to dotted folder, no suffix") << "PdfToFileJobEntity"
                                                         << "/out.docx/r" << QStringList();
    }

    void argumentLists()
    {
        QFETCH(QString, className);
        QFETCH(QString, outputPath);
        QFETCH(QStringList, expected);
        EngineStandIn::setScript({"exit 1"});
        RowProbe row;
        JobUnderTest job = startJob(className, "/home/u/my files/年度报告.src", outputPath, &row);
        QTRY_VERIFY_WITH_TIMEOUT(row.resultSeen(), 10000);

        const EngineRun run = m_engine.runs().last();
        QCOMPARE(run.workingDirectory, applicationDir());
        const QString statePath = expected.isEmpty() ? QString() : run.arguments.value(4);
        QCOMPARE(run.arguments, withState(expected, statePath));
        if (!expected.isEmpty())
            QVERIFY(QRegularExpression("^" + QRegularExpression::escape(tempWorkDir()) +
                                       "[0-9a-f]{32}$")
                        .match(statePath)
                        .hasMatch());
        QCOMPARE(row.events, QStringList({"state 0", "result false "}));
    }

    void everyJobHasItsOwnStateFile()
    {
        EngineStandIn::setScript({"exit 1"});
        JobUnderTest first = makeJob("FileToPdfJobEntity");
        JobUnderTest second = makeJob("FileToPdfJobEntity");
        RowProbe firstRow, secondRow;
        first.connectRow(&firstRow);
        second.connectRow(&secondRow);
        first.job->start();
        second.job->start();
        QTRY_VERIFY_WITH_TIMEOUT(firstRow.resultSeen() && secondRow.resultSeen(), 10000);
        const auto runs = m_engine.runs();
        QVERIFY(runs.at(runs.size() - 1).arguments.at(4) !=
                runs.at(runs.size() - 2).arguments.at(4));
    }

    void resultAfterExitZero_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<QStringList>("stateLines"); // "<none>": the engine writes no state
        QTest::addColumn<bool>("succeeds");          // with the path of the file the engine wrote
        const QString path = "file_0=" + outputMark;
        QTest::newRow("to pdf, one file")
            << "FileToPdfJobEntity" << QStringList{"[outputfiles]", "filecount=1", path} << true;
        QTest::newRow("to pdf, two files")
            << "FileToPdfJobEntity" << QStringList{"[outputfiles]", "filecount=2", path} << false;
        QTest::newRow("to pdf, no state file")
            << "FileToPdfJobEntity" << QStringList{"<none>"} << false;
        QTest::newRow("from pdf, two files")
            << "PdfToFileJobEntity" << QStringList{"[outputfiles]", "filecount=2", path, "file_1=x"}
            << true;
        QTest::newRow("from pdf, count padded and quoted")
            << "PdfToFileJobEntity"
            << QStringList{"[OutputFiles]", "FileCount = 3 ", "file_0=\"" + outputMark + "\""}
            << true;
        QTest::newRow("from pdf, no files")
            << "PdfToFileJobEntity" << QStringList{"[outputfiles]", "filecount=0", path} << false;
        QTest::newRow("from pdf, no path")
            << "PdfToFileJobEntity" << QStringList{"[outputfiles]", "filecount=1"} << false;
        QTest::newRow("from pdf, no count")
            << "PdfToFileJobEntity" << QStringList{"[outputfiles]", path} << false;
        QTest::newRow("from pdf, no state file")
            << "PdfToFileJobEntity" << QStringList{"<none>"} << false;
        for (const QString className : {"FileToPdfJobEntity", "PdfToFileJobEntity"}) {
            QTest::newRow(qPrintable(className.left(9) + ", names a file that is not there"))
                << className << QStringList{"[outputfiles]", "filecount=1", path + ".missing"}
                << false;
            QTest::newRow(qPrintable(className.left(9) + ", names a folder"))
                << className
                << QStringList{"[outputfiles]", "filecount=1", "file_0=" + m_output.path()}
                << false;
        }
    }

    // A success is shown only with a file that is there, under the very path it has.
    void resultAfterExitZero()
    {
        QFETCH(QString, className);
        QFETCH(QStringList, stateLines);
        QFETCH(bool, succeeds);
        const QString folder = m_output.filePath("桌面/a, b");
        QVERIFY(QDir().mkpath(folder));
        const QString outputPath = folder + "/年度报告.docx";
        QCOMPARE(runToResult(className, outputPath, stateLines),
                 succeeds ? "result true " + outputPath : QString("result false "));
        QFile::remove(outputPath);
    }

    // Longer than the 2047 bytes the profile reader gives of a value: a cut path would name
    // another file, or none.
    void longResultPathIsNotCut()
    {
        QString folder = m_output.path();
        while (folder.toUtf8().size() < 2200)
            folder += "/" + QString(200, QChar(0x6587)).left(80); // 240 bytes a component
        QVERIFY(QDir().mkpath(folder));
        const QString outputPath = folder + "/r.pdf";
        QCOMPARE(runToResult("FileToPdfJobEntity", outputPath,
                             {"[outputfiles]", "filecount=1", "file_0=" + outputMark}),
                 "result true " + outputPath);
    }

    // On Linux a backslash is part of a name: "report\2024.txt" must not land in (and
    // overwrite) "report/2024.txt".
    void backslashInANameIsNoSeparator()
    {
        QVERIFY(QDir().mkpath(m_output.filePath("report")));
        QFile existing(m_output.filePath("report/2024.txt"));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write("keep me");
        existing.close();
        const QString outputPath = m_output.filePath("report\\2024.txt");
        QCOMPARE(runToResult("PdfToFileJobEntity", outputPath,
                             {"[outputfiles]", "filecount=1", "file_0=" + outputMark}),
                 "result true " + outputPath);
        QVERIFY(existing.open(QIODevice::ReadOnly));
        QCOMPARE(existing.readAll(), QByteArray("keep me"));
        QFile written(outputPath);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), QByteArray("converted"));
    }

    void unexpectedEndsFail_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("ending");
        QTest::addColumn<bool>("stateFileKept");
        for (const QString className : {"FileToPdfJobEntity", "PdfToFileJobEntity"}) {
            const QByteArray prefix = className.left(9).toLatin1() + ", ";
            QTest::newRow(prefix + "exit 1") << className << "exit 1" << false;
            QTest::newRow(prefix + "exit 2") << className << "exit 2" << true;
            QTest::newRow(prefix + "crash") << className << "abort" << true;
            QTest::newRow(prefix + "killed") << className << "kill" << true;
        }
    }

    void unexpectedEndsFail()
    {
        QFETCH(QString, className);
        QFETCH(QString, ending);
        QFETCH(bool, stateFileKept);
        EngineStandIn::setScript(
            {"state [outputfiles]", "state filecount=1", "state file_0=/out/a.docx", ending});
        RowProbe row;
        JobUnderTest job = startJob(className, "/in/a.pdf", "/out/a.docx", &row);
        QTRY_VERIFY_WITH_TIMEOUT(row.resultSeen(), 10000);
        QTest::qWait(700); // a late poll must not add anything
        QCOMPARE(row.events.filter("result"), QStringList{"result false "});
        QCOMPARE(row.events.last(), QString("result false "));
        const QString statePath = m_engine.runs().last().arguments.at(4);
        QCOMPARE(QFile::exists(statePath), stateFileKept);
        QFile::remove(statePath);
    }

    void progressIsPolledAndFiltered()
    {
        EngineStandIn::setScript({"state progress=0", "sleep 700", "state progress=101",
                                  "sleep 700", "state filesize=1000", "state step=55", "sleep 1200",
                                  "exit 1"});
        RowProbe row;
        JobUnderTest job = startJob("PdfToFileJobEntity", "/in/a.pdf", "/out/a.docx", &row);
        QTRY_VERIFY_WITH_TIMEOUT(row.resultSeen(), 15000);
        QTest::qWait(700);
        QCOMPARE(row.events.first(), QString("state 0"));
        QCOMPARE(row.events.last(), QString("result false "));
        const QStringList polled = row.events.mid(1, row.events.size() - 2);
        QVERIFY2(!polled.isEmpty(), qPrintable(row.events.join('|')));
        for (const QString &event : polled)
            QCOMPARE(event, QString("state 55"));
    }

    void stoppingEndsEngineWithoutLateEvents()
    {
        EngineStandIn::setScript({"state progress=30", "sleep 30000"});
        RowProbe row;
        JobUnderTest job = startJob("FileToPdfJobEntity", "/in/a.docx", "/out/a.pdf", &row);
        // The progress arrives just after a poll, so the job's thread has only begun its
        // half-second pause: the stop below must cut that pause short.
        QTRY_VERIFY_WITH_TIMEOUT(row.events.contains("state 30"), 10000);
        QCOMPARE(EngineStandIn::runningEngines(), 1);

        QElapsedTimer timer;
        timer.start();
        job.stopJob();
        QCOMPARE(EngineStandIn::runningEngines(), 0);
        const QStringList eventsAtStop = row.events;
        job.processfinished(1); // an end reported after the stop changes nothing
        job.job.reset();
        QVERIFY2(timer.elapsed() < 350, qPrintable(QString::number(timer.elapsed())));
        QTest::qWait(700);
        QCOMPARE(row.events, eventsAtStop);
        QVERIFY(!row.resultSeen());
    }

    void deletingRunningJobKillsEngineAtOnce()
    {
        EngineStandIn::setScript({"sleep 30000"});
        RowProbe row;
        JobUnderTest job = startJob("PdfToFileJobEntity", "/in/a.pdf", "/out/a.txt", &row);
        QTRY_COMPARE_WITH_TIMEOUT(EngineStandIn::runningEngines(), 1, 10000);
        QElapsedTimer timer;
        timer.start();
        job.job.reset();
        QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(EngineStandIn::runningEngines(), 0);
        QTest::qWait(300);
        QCOMPARE(row.events, QStringList{"state 0"});
    }

    // Converters that the engine started (pdftoppm, soffice) end with it, whether the job is
    // stopped or deleted.
    void endingAJobEndsEveryProcessOfItsEngine_data()
    {
        QTest::addColumn<bool>("deleteInstead");
        QTest::newRow("stopped") << false;
        QTest::newRow("deleted") << true;
    }

    void endingAJobEndsEveryProcessOfItsEngine()
    {
        QFETCH(bool, deleteInstead);
        EngineStandIn::setScript({"child 30000", "child 30000", "sleep 30000"});
        RowProbe row;
        JobUnderTest job = startJob("PdfToFileJobEntity", "/in/a.pdf", "/out/a.png", &row);
        QTRY_COMPARE_WITH_TIMEOUT(ProcessTree::runningDescendants(), 3, 10000);
        if (deleteInstead)
            job.job.reset();
        else
            job.stopJob();
        QTRY_COMPARE_WITH_TIMEOUT(ProcessTree::runningDescendants(), 0, 5000);
        QVERIFY(!row.resultSeen());
    }

    // What the engine prints is of no use to a conversion and must not pile up in memory.
    void engineOutputIsNotKept()
    {
        const qint64 flood = 128 * 1024 * 1024;
        const QString output = m_output.filePath("flood.txt");
        EngineStandIn::setScript({QString("flood %1").arg(flood), "output converted",
                                  "state [outputfiles]", "state filecount=1",
                                  "state file_0=" + native(output), "exit 0"});
        const qint64 residentBefore = residentBytes();
        RowProbe row;
        JobUnderTest job = startJob("PdfToFileJobEntity", "/in/a.pdf", output, &row);
        QTRY_VERIFY_WITH_TIMEOUT(row.resultSeen(), 30000);
        QCOMPARE(row.events.last(), "result true " + output);
        const qint64 growth = residentBytes() - residentBefore;
        QVERIFY2(growth < flood / 4, qPrintable(QString::number(growth)));
    }

    void jobsEndedBeforeTheEngineStartsStartNone_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<bool>("stopFirst"); // else deleted right after the thread start
        QTest::addColumn<bool>("started");
        QTest::newRow("never started, deleted") << "FileToPdfJobEntity" << false << false;
        QTest::newRow("started, deleted") << "PdfToFileJobEntity" << false << true;
        QTest::newRow("started, stopped") << "FileToPdfJobEntity" << true << true;
    }

    void jobsEndedBeforeTheEngineStartsStartNone()
    {
        QFETCH(QString, className);
        QFETCH(bool, stopFirst);
        QFETCH(bool, started);
        EngineStandIn::setScript({"sleep 30000"});
        const int runsBefore = m_engine.runs().size();
        JobUnderTest job = makeJob(className);
        job.setJobParams("/in/a.pdf", "/out/a.docx");
        RowProbe row;
        job.connectRow(&row);
        QElapsedTimer timer;
        timer.start();
        if (started)
            job.job->start();
        if (stopFirst) {
            job.stopJob();
            QTest::qWait(300); // the queued start request arrives after the stop
        }
        job.job.reset();
        QVERIFY(timer.elapsed() < (stopFirst ? 1300 : 1000));
        QTest::qWait(300);
        QCOMPARE(m_engine.runs().size(), runsBefore);
        QCOMPARE(EngineStandIn::runningEngines(), 0);
        QVERIFY(row.events.isEmpty());
    }

private:
    // Runs a job whose engine writes the state lines (the output path standing for
    // outputMark) and "converted" into its output file, ends with 0; the one result seen.
    QString runToResult(const QString &className, const QString &outputPath,
                        const QStringList &stateLines)
    {
        QStringList script;
        if (stateLines != QStringList{"<none>"}) {
            for (QString line : stateLines)
                script << "state " + line.replace(outputMark, native(outputPath));
        }
        EngineStandIn::setScript(script << "output converted"
                                        << "exit 0");
        RowProbe row;
        JobUnderTest job = startJob(className, "/in/a.pdf", outputPath, &row);
        if (!QTest::qWaitFor([&row] { return row.resultSeen(); }, 10000))
            return "no result";
        QTest::qWait(100);
        const QStringList results = row.events.filter("result");
        if (QFile::exists(m_engine.runs().last().arguments.at(4)))
            return "state file left";
        if (!QFile::exists(outputPath))
            return "the engine got a path it could not write to";
        return results.size() == 1 ? results.first() : results.join('|');
    }

    static qint64 residentBytes()
    {
        QFile status("/proc/self/status");
        if (!status.open(QIODevice::ReadOnly))
            return 0;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
        }
        return 0;
    }

    EngineStandIn m_engine;
    QTemporaryDir m_output;
};

QTEST_GUILESS_MAIN(ConversionJobsTest)
#include "tst_ConversionJobs.moc"
