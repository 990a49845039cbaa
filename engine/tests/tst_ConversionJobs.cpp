#include "EngineJobRun.h"
#include "EngineReaper.h"
#include "EngineStandIn.h"
#include "EngineStateFile.h"
#include "FileToPdfJobEntity.h"
#include "FileUtils.h"
#include "FinishedThreadDisposal.h"
#include "PdfToFileJobEntity.h"

#include <QPointer>
#include <QSemaphore>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>

#include <atomic>
#include <ctime>
#include <memory>
#include <thread>

namespace {

constexpr int kWaitMs = EngineStandIn::kWaitMs;
// An engine or converter that only a stop ends within a test's wait.
const QString untilStopped = QString::number(EngineStandIn::kUntilStoppedMs);
// A pause between two polls that only a stop cuts short within a test's wait.
constexpr int kLongPauseMs = 3 * kWaitMs;

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
    void initTestCase() { QVERIFY(m_engine.isValid()); }

    void cleanup()
    {
        EngineJobRun::setPollingInterval(500);
        QVERIFY2(EngineStandIn::allEnginesEnd(), EngineStandIn::leftRunning);
    }

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
        QTRY_VERIFY_WITH_TIMEOUT(row.resultSeen(), kWaitMs);

        const EngineRun run = m_engine.runs().last();
        QCOMPARE(run.workingDirectory, applicationDir());
        const QString statePath = expected.isEmpty() ? QString() : run.arguments.value(4);
        QCOMPARE(run.arguments, withState(expected, statePath));
        if (!expected.isEmpty())
            QVERIFY2(QRegularExpression("^" + QRegularExpression::escape(tempWorkDir()) +
                                        QString::number(QCoreApplication::applicationPid()) +
                                        "-[0-9a-z]{6}-[0-9a-f]{32}$")
                         .match(statePath)
                         .hasMatch(),
                     qPrintable(statePath));
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
        QTRY_VERIFY_WITH_TIMEOUT(firstRow.resultSeen() && secondRow.resultSeen(), kWaitMs);
        const auto runs = m_engine.runs();
        QVERIFY(runs.at(runs.size() - 1).arguments.at(4) !=
                runs.at(runs.size() - 2).arguments.at(4));
    }

    void resultAfterExitZero_data()
    {
        QTest::addColumn<QString>("className");
        // "<none>": the engine writes no state; "<fifo>": it makes a FIFO in its place;
        // "<fifo output>": it makes a FIFO in place of the output file.
        QTest::addColumn<QStringList>("stateLines");
        QTest::addColumn<bool>("succeeds"); // with the path of the file the engine wrote
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
            QTest::newRow(qPrintable(className.left(9) + ", names a FIFO"))
                << className << QStringList{"<fifo output>", "[outputfiles]", "filecount=1", path}
                << false;
            // Read as a file, a FIFO would hold the job's thread or the GUI thread for good.
            QTest::newRow(qPrintable(className.left(9) + ", state file a FIFO"))
                << className << QStringList{"<fifo>"} << false;
        }
    }

    // A success is shown only with a file that is there, under the very path it has.
    void resultAfterExitZero()
    {
        EngineJobRun::setPollingInterval(20); // the state file is read while the engine runs
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

    // A success is a file that this run wrote in the output folder, under the output path or
    // a name of the engine's own (the pages of an image conversion, say); nothing that stood
    // there before, whatever its name, and nothing elsewhere.
    // <dir>: the output folder; <output>: the output path; <elsewhere>: another folder.
    void onlyTheOutputOfThisRunIsAResult_data()
    {
        QTest::addColumn<QString>("requestedName");
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QString>("leftByEarlierRun"); // a file of that name, an hour old
        QTest::addColumn<QString>("result");           // the name reported as a success, or ""
        const QString name = "年度报告.png";
        auto writes = [](const QString &path) {
            return QStringList{"write " + path, "state file_0=" + path};
        };
        QTest::newRow("the output path")
            << name << QStringList{"output converted", "state file_0=<output>"} << "" << name;
        QTest::newRow("written over an earlier run's")
            << name << QStringList{"output converted", "state file_0=<output>"} << name << name;
        QTest::newRow("numbered with a dash") << name << writes("<dir>/年度报告-1.png") << ""
                                              << "年度报告-1.png";
        QTest::newRow("numbered with an underscore")
            << name << writes("<dir>/年度报告_12.png") << ""
            << "年度报告_12.png";
        QTest::newRow("numbered plainly") << name << writes("<dir>/年度报告3.png") << ""
                                          << "年度报告3.png";
        QTest::newRow("another name of the engine's own") << name << writes("<dir>/别的.png") << ""
                                                          << "别的.png";
        QTest::newRow("numbered with another suffix")
            << name << writes("<dir>/年度报告-1.jpg") << ""
            << "年度报告-1.jpg";
        QTest::newRow("not a number") << name << writes("<dir>/年度报告-a.png") << ""
                                      << "年度报告-a.png";
        QTest::newRow("left by an earlier run")
            << name << QStringList{"state file_0=<output>"} << name << "";
        QTest::newRow("numbered, left by an earlier run")
            << name << QStringList{"state file_0=<dir>/年度报告-1.png"} << "年度报告-1.png"
            << "";
        QTest::newRow("another name, left by an earlier run")
            << name << QStringList{"output converted", "state file_0=<dir>/别的.png"} << "别的.png"
            << "";
        QTest::newRow("empty") << name << QStringList{"output", "state file_0=<output>"} << ""
                               << "";
        QTest::newRow("same name in another folder")
            << name << writes("<elsewhere>/年度报告.png") << ""
            << "";
        QTest::newRow("a file of the system")
            << name << QStringList{"output converted", "state file_0=/etc/passwd"} << ""
            << "";
        // Written raw, the line break cuts the path short: what is left names an older file.
        QTest::newRow("line break in the name")
            << "年度报告\n2.png" << QStringList{"output converted", "state file_0=<output>"}
            << "年度报告"
            << "";
    }

    void onlyTheOutputOfThisRunIsAResult()
    {
        QFETCH(QString, requestedName);
        QFETCH(QStringList, script);
        QFETCH(QString, leftByEarlierRun);
        QFETCH(QString, result);
        const QString dir = m_output.filePath(QString("run-%1").arg(++m_runs));
        const QString elsewhere = dir + "-elsewhere";
        QVERIFY(QDir().mkpath(dir) && QDir().mkpath(elsewhere));
        const QString output = dir + "/" + requestedName;
        if (!leftByEarlierRun.isEmpty())
            QVERIFY(writeHourOldFile(dir + "/" + leftByEarlierRun));
        script.replaceInStrings("<dir>", dir)
            .replaceInStrings("<output>", output)
            .replaceInStrings("<elsewhere>", elsewhere);
        // Joined by line breaks, the script cuts a path with one as an engine writing it would.
        EngineStandIn::setScript(QStringList{"state [outputfiles]", "state filecount=1"} + script +
                                 QStringList{"exit 0"});
        RowProbe row;
        JobUnderTest job = startJob("PdfToFileJobEntity", "/in/a.pdf", output, &row);
        QTRY_VERIFY_WITH_TIMEOUT(row.resultSeen(), kWaitMs);
        QCOMPARE(
            row.events.filter("result"),
            QStringList{result.isEmpty() ? "result false " : "result true " + dir + "/" + result});
    }

    // Thousands of progress lines before the result: the progress goes on being read, and the
    // result still counts.
    void longStateFileIsReadToItsEnd()
    {
        EngineJobRun::setPollingInterval(20);
        const QString output = m_output.filePath("long.txt");
        EngineStandIn::setScript({"states 30000 progress=50", "state progress=77",
                                  m_engine.awaitGate(), "output converted", "state [outputfiles]",
                                  "state filecount=1", "state file_0=" + output, "exit 0"});
        RowProbe row;
        JobUnderTest job = startJob("PdfToFileJobEntity", "/in/a.pdf", output, &row);
        QTRY_VERIFY_WITH_TIMEOUT(row.events.contains("state 77"), kWaitMs);
        QVERIFY(m_engine.release());
        QTRY_VERIFY_WITH_TIMEOUT(row.resultSeen(), kWaitMs);
        QCOMPARE(row.events.last(), "result true " + output);
    }

    // The longest state file that is read (16 MB) takes a while to read: the job's thread reads
    // it, and the window's thread, which receives the result, spends next to nothing on it.
    void longStateFileIsReadAwayFromTheWindow()
    {
        EngineJobRun::setPollingInterval(20);
        const QString output = m_output.filePath("long-state.txt");
        EngineStandIn::setScript({"output converted", "state [outputfiles]", "state filecount=1",
                                  "state file_0=" + output, "states 1450000 filesize=1",
                                  "state progress=77", m_engine.awaitGate(), "exit 0"});
        RowProbe row;
        JobUnderTest job = startJob("PdfToFileJobEntity", "/in/a.pdf", output, &row);
        QSignalSpy result(static_cast<PdfToFileJobEntity *>(job.job.get()),
                          &PdfToFileJobEntity::ProcessResult);
        QTRY_VERIFY_WITH_TIMEOUT(row.events.contains("state 77"), kWaitMs);
        EngineJobRun::setPollingInterval(kLongPauseMs);
        const QString statePath = m_engine.runs().last().arguments.at(4);
        QVERIFY(QFileInfo(statePath).size() > 15 * 1000 * 1000);
        qint64 readingNs = threadCpuNs();
        QCOMPARE(readStateFileOutputs(statePath).firstFile, output);
        readingNs = threadCpuNs() - readingNs;

        const qint64 windowBefore = threadCpuNs();
        QVERIFY(m_engine.release());
        QVERIFY(result.wait(kWaitMs)); // in an event loop that sleeps until the result
        const qint64 windowNs = threadCpuNs() - windowBefore;
        QCOMPARE(row.events.last(), "result true " + output);
        QVERIFY2(windowNs < readingNs / 2,
                 qPrintable(QString("the window's thread spent %1 ms, a read takes %2 ms")
                                .arg(windowNs / 1e6)
                                .arg(readingNs / 1e6)));
    }

    // A converter that the engine left behind must not go on writing to the result that the
    // row shows as done.
    void resultIsNotWrittenToAfterTheEngineEnded()
    {
        const QString output = m_output.filePath("written.txt");
        EngineStandIn::setScript({"output converted", "writer " + untilStopped,
                                  "state [outputfiles]", "state filecount=1",
                                  "state file_0=" + output, "exit 0"});
        RowProbe row;
        JobUnderTest job = startJob("PdfToFileJobEntity", "/in/a.pdf", output, &row);
        QTRY_VERIFY_WITH_TIMEOUT(row.resultSeen(), kWaitMs);
        QCOMPARE(row.events.last(), "result true " + output);
        const bool writerEnded =
            QTest::qWaitFor([] { return EngineStandIn::runningEngines() == 0; }, kWaitMs);
        const QByteArray written = contentOf(output);
        QTest::qWait(200); // ten more lines from a writer that ran on
        QCOMPARE(contentOf(output), written);
        QVERIFY2(writerEnded, EngineStandIn::leftRunning);
    }

    // What the program made for an engine that it ended goes once the engine has ended:
    // stopped, deleted, or ended as the program quits.
    void endedJobsLeaveNoStateFile_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::newRow("stopped") << "stop";
        QTest::newRow("deleted") << "delete";
        QTest::newRow("quit") << "quit";
    }

    void endedJobsLeaveNoStateFile()
    {
        QFETCH(QString, ending);
        EngineStandIn::setScript({"state progress=30", "sleep " + untilStopped});
        RowProbe row;
        JobUnderTest job = startJob("FileToPdfJobEntity", "/in/a.docx", "/out/a.pdf", &row);
        QTRY_VERIFY_WITH_TIMEOUT(row.events.contains("state 30"), kWaitMs);
        const QString statePath = m_engine.runs().last().arguments.at(4);
        QVERIFY(QFile::exists(statePath));
        if (ending == "stop")
            job.stopJob();
        else
            job.job.reset();
        if (ending == "quit")
            EngineReaper::finish();
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(statePath), kWaitMs);
    }

    // A row lets a stopped job go without waiting for the job's thread, which on a busy
    // machine may take a while to end: the job goes once it has.
    void stoppedJobGoesOnceItsThreadHasEnded()
    {
        QSemaphore threadMayEnd;
        QSemaphore deletionReturned;
        std::atomic<bool> timedOut{false};
        auto *thread = QThread::create([&threadMayEnd] { threadMayEnd.acquire(); });
        const QPointer<QThread> watched(thread);
        thread->start();
        // Should the deletion wait for the thread, the thread is let go after a generous while.
        std::thread watchdog([&] {
            if (!deletionReturned.tryAcquire(1, kWaitMs)) {
                timedOut = true;
                threadMayEnd.release();
            }
        });
        deleteWhenFinished(thread);
        const bool returnedFirst = !timedOut;
        deletionReturned.release();
        watchdog.join();
        if (!timedOut)
            threadMayEnd.release();
        QVERIFY2(returnedFirst, "the deletion waited for the thread");
        QTRY_VERIFY_WITH_TIMEOUT(watched.isNull(), kWaitMs);
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
        QTRY_VERIFY_WITH_TIMEOUT(row.resultSeen(), kWaitMs);
        QVERIFY(deliverEverythingPolled(job)); // a late poll must not add anything
        QCOMPARE(row.events.filter("result"), QStringList{"result false "});
        QCOMPARE(row.events.last(), QString("result false "));
        const QString statePath = m_engine.runs().last().arguments.at(4);
        QCOMPARE(QFile::exists(statePath), stateFileKept);
        job.job.reset(); // as the row lets the job go: the file stays for inspection
        QTest::qWait(100);
        QCOMPARE(QFile::exists(statePath), stateFileKept);
        QFile::remove(statePath);
    }

    // Read every few milliseconds, the states 0 and 101 are seen too: none may pass.
    void progressIsPolledAndFiltered()
    {
        EngineJobRun::setPollingInterval(20);
        EngineStandIn::setScript({"state progress=0", "sleep 300", "state progress=101",
                                  "sleep 300", "state filesize=1000", "state step=55",
                                  m_engine.awaitGate(), "exit 1"});
        RowProbe row;
        JobUnderTest job = startJob("PdfToFileJobEntity", "/in/a.pdf", "/out/a.docx", &row);
        QTRY_VERIFY_WITH_TIMEOUT(row.events.contains("state 55"), kWaitMs);
        QVERIFY(m_engine.release());
        QTRY_VERIFY_WITH_TIMEOUT(row.resultSeen(), kWaitMs);
        QVERIFY(deliverEverythingPolled(job)); // none may come after the result
        QCOMPARE(row.events.first(), QString("state 0"));
        QCOMPARE(row.events.last(), QString("result false "));
        const QStringList polled = row.events.mid(1, row.events.size() - 2);
        QVERIFY2(!polled.isEmpty(), qPrintable(row.events.join('|')));
        for (const QString &event : polled)
            QCOMPARE(event, QString("state 55"));
    }

    void stoppingEndsEngineWithoutLateEvents()
    {
        EngineStandIn::setScript({"state progress=30", "sleep " + untilStopped});
        RowProbe row;
        JobUnderTest job = startJob("FileToPdfJobEntity", "/in/a.docx", "/out/a.pdf", &row);
        QTRY_VERIFY_WITH_TIMEOUT(row.events.contains("state 30"), kWaitMs);
        // The stop below must cut the job's long pause short, or the delete would wait.
        QVERIFY(pollsPausingLong(row));
        QCOMPARE(EngineStandIn::runningEngines(), 1);

        QStringList eventsAtStop;
        QVERIFY2(EngineStandIn::returnsWithoutWaiting([&] {
                     job.stopJob();
                     eventsAtStop = row.events;
                     job.processfinished(1); // an end reported after the stop changes nothing
                     job.job.reset();
                 }),
                 EngineStandIn::keptWaiting);
        QVERIFY2(EngineStandIn::allEnginesEnd(), EngineStandIn::leftRunning);
        QTest::qWait(700);
        QCOMPARE(row.events, eventsAtStop);
        QVERIFY(!row.resultSeen());
    }

    void deletingRunningJobKillsEngineAtOnce()
    {
        EngineStandIn::setScript({"state progress=30", "sleep " + untilStopped});
        RowProbe row;
        JobUnderTest job = startJob("PdfToFileJobEntity", "/in/a.pdf", "/out/a.txt", &row);
        QTRY_VERIFY_WITH_TIMEOUT(row.events.contains("state 30"), kWaitMs);
        QVERIFY(pollsPausingLong(row));
        QCOMPARE(EngineStandIn::runningEngines(), 1);
        const QStringList eventsAtDelete = row.events;
        // Neither the engine nor the job's long pause is waited for.
        QVERIFY2(EngineStandIn::returnsWithoutWaiting([&] { job.job.reset(); }),
                 EngineStandIn::keptWaiting);
        QVERIFY2(EngineStandIn::allEnginesEnd(), EngineStandIn::leftRunning);
        QTest::qWait(300);
        QCOMPARE(row.events, eventsAtDelete);
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
        EngineStandIn::setScript(
            {"child " + untilStopped, "child " + untilStopped, "sleep " + untilStopped});
        RowProbe row;
        JobUnderTest job = startJob("PdfToFileJobEntity", "/in/a.pdf", "/out/a.png", &row);
        QVERIFY(QTest::qWaitFor([] { return EngineStandIn::runningEngines() >= 3; }, kWaitMs));
        QCOMPARE(EngineStandIn::runningEngines(), 3);
        if (deleteInstead)
            job.job.reset();
        else
            job.stopJob();
        QVERIFY2(EngineStandIn::allEnginesEnd(), EngineStandIn::leftRunning);
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
        QTRY_VERIFY_WITH_TIMEOUT(row.resultSeen(), kWaitMs);
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
        EngineStandIn::setScript({"sleep " + untilStopped});
        EngineJobRun::setPollingInterval(kLongPauseMs);
        const int runsBefore = m_engine.runs().size();
        JobUnderTest job = makeJob(className);
        job.setJobParams("/in/a.pdf", "/out/a.docx");
        RowProbe row;
        job.connectRow(&row);
        // The job's long pause, which the stop cuts short, is not waited for.
        QVERIFY2(EngineStandIn::returnsWithoutWaiting([&] {
                     if (started)
                         job.job->start();
                     if (stopFirst) {
                         job.stopJob();
                         // The start request that the thread queued arrives after the stop.
                         if (job.job->wait(kWaitMs))
                             QCoreApplication::sendPostedEvents();
                     }
                     job.job.reset();
                 }),
                 EngineStandIn::keptWaiting);
        QTest::qWait(300);
        QCOMPARE(m_engine.runs().size(), runsBefore);
        QCOMPARE(EngineStandIn::runningEngines(), 0);
        QVERIFY(row.events.isEmpty());
    }

private:
    // Makes the running job's thread pause for kLongPauseMs between two reads of its state
    // file, and returns once it does. A progress that the test writes itself is read only
    // after the change, so the pause that follows that read is the long one.
    bool pollsPausingLong(const RowProbe &row)
    {
        EngineJobRun::setPollingInterval(kLongPauseMs);
        QFile state(m_engine.runs().last().arguments.at(4));
        if (!state.open(QIODevice::Append) || state.write("progress=31\n") < 0)
            return false;
        state.close();
        return QTest::qWaitFor([&row] { return row.events.contains("state 31"); }, kWaitMs);
    }

    // Once the job's thread has ended, everything it polled has been posted: delivered now,
    // whatever came too late shows. False when the thread did not end within the bound.
    static bool deliverEverythingPolled(const JobUnderTest &job)
    {
        if (!job.job->wait(kWaitMs))
            return false;
        QCoreApplication::sendPostedEvents();
        return true;
    }

    // Runs a job whose engine writes the state lines (the output path standing for
    // outputMark) and "converted" into its output file, ends with 0; the one result seen.
    QString runToResult(const QString &className, const QString &outputPath,
                        const QStringList &stateLines)
    {
        QStringList script;
        QString output = "output converted";
        for (QString line : stateLines) {
            if (line == "<fifo>")
                script << "fifo state"
                       << "sleep 300";
            else if (line == "<fifo output>")
                output = "fifo output";
            else if (line != "<none>")
                script << "state " + line.replace(outputMark, native(outputPath));
        }
        EngineStandIn::setScript(script << output << "exit 0");
        RowProbe row;
        JobUnderTest job = startJob(className, "/in/a.pdf", outputPath, &row);
        if (!QTest::qWaitFor([&row] { return row.resultSeen(); }, kWaitMs))
            return "no result";
        if (!deliverEverythingPolled(job))
            return "the job went on polling";
        const QStringList results = row.events.filter("result");
        if (QFile::exists(m_engine.runs().last().arguments.at(4)))
            return "state file left";
        if (!QFile::exists(outputPath))
            return "the engine got a path it could not write to";
        return results.size() == 1 ? results.first() : results.join('|');
    }

    static bool writeHourOldFile(const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write("earlier") < 0 || !file.flush())
            return false;
        return file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                QFileDevice::FileModificationTime);
    }

    // The CPU time of the calling thread, whatever else the machine runs.
    static qint64 threadCpuNs()
    {
        timespec now = {};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
    }

    static QByteArray contentOf(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
    int m_runs = 0;
};

QTEST_GUILESS_MAIN(ConversionJobsTest)
#include "tst_ConversionJobs.moc"
