#include "EngineFolders.h"
#include "EngineProcess.h"
#include "EngineProgram.h"
#include "EngineReaper.h"
#include "EngineStandIn.h"
#include "NoDescriptorsLeft.h"
#include "RunOwnedFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include <csignal>
#include <functional>
#include <memory>
#include <vector>

#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace {

constexpr int kWaitMs = EngineStandIn::kWaitMs;
// An engine or converter that only a stop ends within a test's wait.
const QString untilStopped = QString::number(EngineStandIn::kUntilStoppedMs);

long minorFaults()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

} // namespace

// The engine process layer against the stand-in engine, started as a real child process.
class EngineProcessTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_engine.isValid()); }

    void cleanup() { QVERIFY2(EngineStandIn::allEnginesEnd(), EngineStandIn::leftRunning); }

    void exitCodesAndCrashes_data()
    {
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("crashed");
        QTest::newRow("success") << QStringList{} << 0 << false;
        QTest::newRow("failure") << QStringList{"exit 1"} << 1 << false;
        QTest::newRow("crash") << QStringList{"abort"} << -1 << true;
    }

    void exitCodesAndCrashes()
    {
        QFETCH(QStringList, script);
        QFETCH(int, code);
        QFETCH(bool, crashed);
        EngineStandIn::setScript(script);
        EngineProcess engine(EngineProcess::Output::Discarded);
        QSignalSpy ends(&engine, &EngineProcess::finished);
        engine.start(engineProgramPath(), {"a"});
        QVERIFY(ends.wait(kWaitMs));
        QCOMPARE(ends.takeFirst(), QVariantList({code, crashed}));
        QVERIFY(!engine.isRunning());
    }

    // A spawn shares the program's memory until the engine replaces itself; a fork would mark
    // every page of it copy-on-write, which the program then pays for page by page.
    void startLeavesTheProgramsMemoryAlone()
    {
        constexpr size_t size = 64 * 1024 * 1024;
        const long pageSize = sysconf(_SC_PAGESIZE);
        void *mapped =
            mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        QVERIFY(mapped != MAP_FAILED);
        madvise(mapped, size, MADV_NOHUGEPAGE);
        auto *memory = static_cast<volatile char *>(mapped);
        const auto touchAll = [&] {
            for (size_t offset = 0; offset < size; offset += static_cast<size_t>(pageSize))
                memory[offset] = memory[offset] + 1;
        };
        touchAll();

        EngineStandIn::setScript({"sleep 200"});
        EngineProcess engine(EngineProcess::Output::Captured);
        QSignalSpy ends(&engine, &EngineProcess::finished);
        const long before = minorFaults();
        engine.start(engineProgramPath(), {});
        touchAll(); // while the engine runs
        const long faults = minorFaults() - before;
        QVERIFY(ends.wait(kWaitMs));
        munmap(mapped, size);
        const long pages = static_cast<long>(size) / pageSize;
        QVERIFY2(faults < pages / 4,
                 qPrintable(QString("%1 faults for %2 pages").arg(faults).arg(pages)));
    }

    void capturedOutputIsBoundedAndDrained()
    {
        EngineStandIn::setScript({"stdout first line", "flood 8388608", "exit 0"});
        EngineProcess engine(EngineProcess::Output::Captured);
        QSignalSpy ends(&engine, &EngineProcess::finished);
        engine.start(engineProgramPath(), {});
        QVERIFY(ends.wait(kWaitMs));
        QCOMPARE(ends.takeFirst(), QVariantList({0, false}));
        QCOMPARE(engine.capturedOutput().size(), EngineProcess::kOutputLimit);
        QVERIFY(engine.capturedOutput().startsWith("first line\nxxx"));
    }

    // Reaped as soon as it ends: nothing of the engine stays open or waits to be collected.
    void endedEngineHoldsNothing()
    {
        EngineStandIn::setScript({"stdout 3"});
        const int descriptorsBefore = NoDescriptorsLeft::openDescriptors();
        std::vector<std::unique_ptr<EngineProcess>> engines;
        int ended = 0;
        for (int i = 0; i < 10; ++i) {
            engines.push_back(std::make_unique<EngineProcess>(EngineProcess::Output::Captured));
            connect(engines.back().get(), &EngineProcess::finished, this, [&] { ++ended; });
            engines.back()->start(engineProgramPath(), {});
        }
        QTRY_COMPARE_WITH_TIMEOUT(ended, 10, kWaitMs);
        QCOMPARE(NoDescriptorsLeft::openDescriptors(), descriptorsBefore);
        QCOMPARE(waitpid(-1, nullptr, WNOHANG), -1); // no child left to collect
        QCOMPARE(engines.front()->capturedOutput(), QByteArray("3\n"));
    }

    // Ended as the program ends, even by a kill: neither a conversion's engine nor a page
    // count's (in a session of its own) runs on.
    void enginesEndWithTheProgramEvenWhenItIsKilled_data()
    {
        QTest::addColumn<bool>("background");
        QTest::newRow("conversion") << false;
        QTest::newRow("page count") << true;
    }

    void enginesEndWithTheProgramEvenWhenItIsKilled()
    {
        QFETCH(bool, background);
        EngineStandIn::setScript({"sleep " + untilStopped});
        QProcess program;
        program.start(applicationDir() + "/engine_holder",
                      background ? QStringList{"--background"} : QStringList{});
        QVERIFY(program.waitForStarted(kWaitMs));
        QTRY_COMPARE_WITH_TIMEOUT(EngineStandIn::runningEngines(), 2, kWaitMs); // with its engine
        ::kill(pid_t(program.processId()), SIGKILL);
        QVERIFY(program.waitForFinished(kWaitMs));
        QVERIFY2(EngineStandIn::allEnginesEnd(), EngineStandIn::leftRunning);
    }

    // What the engine leaves running in its group when it ends on its own goes with it.
    void engineEndingOnItsOwnTakesItsGroupAlong()
    {
        EngineStandIn::setScript({"child " + untilStopped, "child " + untilStopped, "exit 0"});
        EngineProcess engine(EngineProcess::Output::Discarded);
        QSignalSpy ends(&engine, &EngineProcess::finished);
        engine.start(engineProgramPath(), {});
        QVERIFY(ends.wait(kWaitMs));
        QCOMPARE(ends.takeFirst(), QVariantList({0, false}));
        QVERIFY2(EngineStandIn::allEnginesEnd(), EngineStandIn::leftRunning);
    }

    // An engine that ended on its own just before it was stopped, before the program heard
    // of it, still takes its group along: its converters, no longer below it once it ended,
    // also where they ignore the request to end.
    void stoppingAnEndedEngineTakesItsGroupAlong()
    {
        EngineStandIn::setScript({"ignore-term", "child " + untilStopped, "child " + untilStopped,
                                  m_engine.awaitGate(), "exit 0"});
        EngineProcess engine(EngineProcess::Output::Discarded);
        QSignalSpy ends(&engine, &EngineProcess::finished);
        engine.start(engineProgramPath(), {});
        QVERIFY(QTest::qWaitFor([] { return EngineStandIn::runningEngines() >= 3; }, kWaitMs));
        QCOMPARE(EngineStandIn::runningEngines(), 3);
        QVERIFY(m_engine.release());
        // Without the event loop, so that the program does not hear of the end before the stop.
        QVERIFY(holdsWithoutEvents([] { return EngineStandIn::runningEngines() == 2; }));
        engine.stop();
        QVERIFY2(EngineStandIn::allEnginesEnd(), EngineStandIn::leftRunning);
        QCOMPARE(ends.size(), 0);
    }

    // A stop never waits for the engine to end: it is handed on, and the caller goes on at
    // once, however long the engine takes.
    void stopHandsTheEngineOnWithoutWaiting_data() { addStopOrDelete(); }

    void stopHandsTheEngineOnWithoutWaiting()
    {
        QFETCH(bool, deleteInstead);
        EngineReaper::setGrace(std::chrono::minutes(1));
        auto engines = startReadyEngines(5, {"ignore-term"});
        QVERIFY(engines.size() == 5);
        for (auto &engine : engines) {
            if (deleteInstead)
                engine.reset();
            else
                engine->stop();
        }
        // Asked to end, they ignore it: all still run, none was waited for.
        QCOMPARE(EngineStandIn::runningEngines(), 5);
        QCOMPARE(EngineReaper::ending(), 5);
        EngineReaper::finish(std::chrono::milliseconds(0)); // killed now
        EngineReaper::setGrace(EngineReaper::kGrace);
        QTRY_COMPARE_WITH_TIMEOUT(EngineReaper::ending(), 0, kWaitMs);
        QVERIFY2(EngineStandIn::allEnginesEnd(), EngineStandIn::leftRunning);
    }

    // Ten engines that ignore the request to end are given their grace all at once: stopping
    // them and quitting takes about as long as for one, not ten times as long.
    void stoppedEnginesShareOneGrace()
    {
        const qint64 one = stopAndQuitMs(1);
        const qint64 ten = stopAndQuitMs(10);
        QVERIFY2(one > 0 && ten > 0, "engines were left running");
        QVERIFY2(ten < 4 * one, qPrintable(QString("one: %1 ms, ten: %2 ms").arg(one).arg(ten)));
    }

    void stopAsksTheEngineToEndFirst_data()
    {
        QTest::addColumn<bool>("ignoresTheRequest");
        QTest::addColumn<int>("endedBy");
        QTest::newRow("a converter that ends when asked") << false << SIGTERM;
        QTest::newRow("a converter that ignores the request") << true << SIGKILL;
    }

    // A stop asks the engine's group to end (SIGTERM) and kills it a grace of a second later.
    // Told by how a converter of the engine ended, which the kernel settles as the signal is
    // sent: one that ends when asked ends by the request however long the loaded machine
    // takes to run it, one that ignores it by the kill, not before the grace is over.
    void stopAsksTheEngineToEndFirst()
    {
        QFETCH(bool, ignoresTheRequest);
        QFETCH(int, endedBy);
        QStringList setup{"child " + untilStopped};
        if (ignoresTheRequest)
            setup.prepend("ignore-term");
        auto engines = startReadyEngines(1, setup);
        QVERIFY(engines.size() == 1);
        const pid_t converter = grandchild();
        QVERIFY(converter > 0);
        QElapsedTimer clock;
        clock.start();
        engines.front()->stop();
        // Handed to this process, its subreaper, once the engine has gone.
        siginfo_t ended = {};
        QVERIFY(QTest::qWaitFor(
            [&] {
                return waitid(P_PID, id_t(converter), &ended, WEXITED | WNOHANG) == 0 &&
                       ended.si_pid == converter;
            },
            kWaitMs));
        const qint64 elapsed = clock.elapsed();
        QCOMPARE(ended.si_code, CLD_KILLED);
        QCOMPARE(ended.si_status, endedBy);
        if (ignoresTheRequest)
            QVERIFY2(elapsed >= EngineReaper::kGrace.count(), qPrintable(QString::number(elapsed)));
    }

    void engineKeepsItsTemporaryFilesInAFolderThatGoesWithIt_data()
    {
        QTest::addColumn<QString>("ending");
        for (const char *ending : {"ended on its own", "crashed", "stopped", "deleted", "quitting"})
            QTest::newRow(ending) << ending;
    }

    // Each engine keeps its temporary files in a folder of its own in the program's work
    // folder, which goes once the engine has ended however it ended, also when it takes
    // nothing away itself.
    void engineKeepsItsTemporaryFilesInAFolderThatGoesWithIt()
    {
        QFETCH(QString, ending);
        const bool endsOnItsOwn = ending == "ended on its own" || ending == "crashed";
        EngineStandIn::setScript({"ignore-term", "tmpfile work", m_engine.awaitGate(),
                                  ending == "crashed"            ? QString("abort")
                                  : ending == "ended on its own" ? QString("exit 0")
                                                                 : "sleep " + untilStopped});
        auto engine = std::make_unique<EngineProcess>(EngineProcess::Output::Discarded);
        QSignalSpy ends(engine.get(), &EngineProcess::finished);
        const int runsBefore = m_engine.runs().size();
        engine->start(engineProgramPath(), {});
        QTRY_COMPARE_WITH_TIMEOUT(m_engine.runs().size(), runsBefore + 1, kWaitMs);
        const QString folder = m_engine.runs().last().tempFolder;
        QVERIFY2(folder.startsWith(RunOwnedFiles::namePrefix(engineWorkFolder()) + "engine-"),
                 qPrintable(folder));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(folder + "/work"), kWaitMs);

        if (endsOnItsOwn) {
            QVERIFY(m_engine.release());
            QVERIFY(ends.wait(kWaitMs));
        } else if (ending == "deleted") {
            engine.reset();
        } else {
            engine->stop();
        }
        if (ending == "quitting") {
            // Quitting waits for the engines a bounded time only, which a loaded machine can
            // outlast: what it has seen end is gone with its folder by then.
            EngineProcess::finishEnding();
            if (EngineReaper::ending() == 0)
                QVERIFY(!QFileInfo::exists(folder));
        }
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(folder), kWaitMs);
    }

    // A run of the program that was killed leaves its engines' files behind; the next start
    // removes them, and never those of a run that goes on beside it (nor this test's own),
    // which, quitting while its engines are at work, leaves nothing behind either.
    void whatAKilledRunLeftGoesAtTheNextStart()
    {
        QVERIFY(EngineStandIn::placeLibraries());
        const auto removeLibraries = qScopeGuard([] { EngineStandIn::removeLibraries(); });
        EngineStandIn::setScript({"tmpfile work", "state progress=5", "sleep " + untilStopped});
        QTemporaryDir marks;
        const QString document = marks.filePath("a.pdf");
        QVERIFY(QFile(document).open(QIODevice::WriteOnly));
        const QString quitMark = marks.filePath("quit");
        QProcess killed, goingOn;
        for (QProcess *program : {&killed, &goingOn}) {
            program->start(applicationDir() + "/engine_holder", {"--files", document, quitMark});
            QVERIFY(program->waitForStarted(kWaitMs));
        }
        // Each keeps, beside its lock, the conversion's state file and both engines' folders
        // in the work folder, and the count's state file in the state folder.
        const qint64 killedId = killed.processId(), goingOnId = goingOn.processId();
        const auto atWork = [](qint64 program) {
            const QStringList work = runFiles(engineWorkFolder(), program);
            return work.size() == 4 && work.filter("-engine-").size() == 2 &&
                   QFile::exists(engineWorkFolder() + "/" + work.filter("-engine-").first() +
                                 "/work") &&
                   runFiles(holderStateFolder(), program).size() == 2;
        };
        QVERIFY(QTest::qWaitFor([&] { return atWork(killedId) && atWork(goingOnId); }, kWaitMs));
        const QStringList goingOnsFiles =
            runFiles(engineWorkFolder(), goingOnId) + runFiles(holderStateFolder(), goingOnId);

        ::kill(pid_t(killedId), SIGKILL);
        QVERIFY(killed.waitForFinished(kWaitMs));
        // Its engines end with it; its files stay.
        QTRY_COMPARE_WITH_TIMEOUT(EngineStandIn::runningEngines(), 3, kWaitMs);
        QVERIFY(atWork(killedId));

        const QString ownLock = RunOwnedFiles::namePrefix(engineWorkFolder()).chopped(1) + ".lock";
        QProcess nextStart;
        nextStart.start(applicationDir() + "/engine_holder", {"--start"});
        QVERIFY(nextStart.waitForStarted(kWaitMs));
        const qint64 nextStartId = nextStart.processId();
        QVERIFY(nextStart.waitForFinished(kWaitMs));
        QCOMPARE(nextStart.exitCode(), 0);
        QCOMPARE(runFiles(engineWorkFolder(), killedId), QStringList());
        QCOMPARE(runFiles(holderStateFolder(), killedId), QStringList());
        QCOMPARE(runFiles(engineWorkFolder(), goingOnId) + runFiles(holderStateFolder(), goingOnId),
                 goingOnsFiles);
        QVERIFY(QFile::exists(ownLock));

        QVERIFY(QFile(quitMark).open(QIODevice::WriteOnly));
        QVERIFY(goingOn.waitForFinished(kWaitMs));
        QCOMPARE(goingOn.exitCode(), 0);
        QCOMPARE(runFiles(engineWorkFolder(), goingOnId), QStringList());
        QCOMPARE(runFiles(holderStateFolder(), goingOnId), QStringList());
        QCOMPARE(runFiles(engineWorkFolder(), nextStartId), QStringList());
    }

    // Converters that resist are ended all the same: those that ignore the request to end are
    // killed after the grace with the engine's group, and those that left the engine's
    // session and group, as daemons do, are found below the engine.
    void stopEndsConvertersThatResist_data()
    {
        QTest::addColumn<QStringList>("setup");
        QTest::newRow("ignoring SIGTERM")
            << QStringList{"ignore-term", "child " + untilStopped, "child " + untilStopped};
        QTest::newRow("in sessions of their own")
            << QStringList{"daemon " + untilStopped, "daemon " + untilStopped};
    }

    void stopEndsConvertersThatResist()
    {
        QFETCH(QStringList, setup);
        auto engines = startReadyEngines(1, setup);
        QVERIFY(engines.size() == 1);
        QVERIFY(QTest::qWaitFor([] { return EngineStandIn::runningEngines() >= 3; }, kWaitMs));
        QCOMPARE(EngineStandIn::runningEngines(), 3);
        engines.front()->stop();
        QVERIFY2(EngineStandIn::allEnginesEnd(), EngineStandIn::leftRunning);
    }

    void stopEndsEveryProcessOfTheEngine_data() { addStopOrDelete(); }

    void stopEndsEveryProcessOfTheEngine()
    {
        QFETCH(bool, deleteInstead);
        EngineStandIn::setScript(
            {"child " + untilStopped, "child " + untilStopped, "sleep " + untilStopped});
        auto engine = std::make_unique<EngineProcess>(EngineProcess::Output::Captured);
        QSignalSpy ends(engine.get(), &EngineProcess::finished);
        engine->start(engineProgramPath(), {});
        QVERIFY(QTest::qWaitFor([] { return EngineStandIn::runningEngines() >= 3; }, kWaitMs));
        QCOMPARE(EngineStandIn::runningEngines(), 3);
        if (deleteInstead)
            engine.reset();
        else
            engine->stop();
        QVERIFY2(EngineStandIn::allEnginesEnd(), EngineStandIn::leftRunning);
        QTest::qWait(100);
        QCOMPARE(ends.size(), 0);
    }

    void failedStartIsReportedLater_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("folder");
        QTest::newRow("no program") << "/nonexistent/Morvex" << QString();
        QTest::newRow("no working folder") << engineProgramPath() << "/nonexistent/folder";
    }

    void failedStartIsReportedLater()
    {
        QFETCH(QString, program);
        QFETCH(QString, folder);
        EngineProcess engine(EngineProcess::Output::Discarded);
        engine.setWorkingDirectory(folder);
        QSignalSpy failures(&engine, &EngineProcess::failedToStart);
        engine.start(program, {});
        QCOMPARE(failures.size(), 0);
        QVERIFY(failures.wait(kWaitMs));
        QVERIFY(!engine.isRunning());
    }

    // A background engine (a page count) leads a session of its own at a lower priority, the
    // session too where the scheduler shares out by session; a normal one (a conversion)
    // shares the program's session and priority. Either leads its own process group.
    void backgroundEngineRunsBehindTheProgram_data()
    {
        QTest::addColumn<bool>("background");
        QTest::newRow("normal") << false;
        QTest::newRow("background") << true;
    }

    void backgroundEngineRunsBehindTheProgram()
    {
        QFETCH(bool, background);
        // The session's priority is set just after the start: a background engine waits for
        // it (as long as the test lets it); a normal one has none to wait for.
        const QString script =
            QStringLiteral("while [ %1 = 1 ] && [ -w /proc/$$/autogroup ] &&"
                           " ! grep -q ' nice 10$' /proc/$$/autogroup; do sleep 0.05; done;"
                           "set -- $(cat /proc/$$/stat); echo $$ $5 $6 ${19};"
                           "cat /proc/$$/autogroup 2>/dev/null || echo none")
                .arg(background ? 1 : 0);
        EngineProcess engine(EngineProcess::Output::Captured);
        if (background)
            engine.setPriority(EngineProcess::Priority::Background);
        QSignalSpy ends(&engine, &EngineProcess::finished);
        engine.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script});
        QVERIFY(ends.wait(kWaitMs));
        const QStringList lines = QString::fromLatin1(engine.capturedOutput()).split('\n');
        const QStringList ids = lines.value(0).split(' '); // pid, group, session, nice
        QCOMPARE(ids.size(), 4);
        QCOMPARE(ids[1], ids[0]);
        errno = 0;
        const int ownNice = getpriority(PRIO_PROCESS, 0);
        QCOMPARE(errno, 0);
        if (background) {
            QCOMPARE(ids[2], ids[0]);
            QCOMPARE(ids[3].toInt(), qMin(ownNice + 10, 19));
            if (lines.value(1) != "none")
                QVERIFY2(lines.value(1).endsWith(" nice 10"), qPrintable(lines.value(1)));
        } else {
            QCOMPARE(ids[2].toInt(), int(getsid(0)));
            QCOMPARE(ids[3].toInt(), ownNice);
        }
    }

    void noDescriptorsLeftFailsTheStart()
    {
        EngineProcess engine(EngineProcess::Output::Captured);
        QSignalSpy failures(&engine, &EngineProcess::failedToStart);
        {
            const NoDescriptorsLeft noneLeft;
            engine.start(engineProgramPath(), {});
        }
        QVERIFY(failures.wait(kWaitMs));
    }

private:
    using Engines = std::vector<std::unique_ptr<EngineProcess>>;

    static void addStopOrDelete()
    {
        QTest::addColumn<bool>("deleteInstead");
        QTest::newRow("stop") << false;
        QTest::newRow("delete") << true;
    }

    // Starts count engines that play setup and then run until stopped; returns once every
    // one of them has played it (none if they did not within the bound of an engine wait).
    Engines startReadyEngines(int count, const QStringList &setup)
    {
        QTemporaryDir marks;
        const QString ready = marks.filePath("ready");
        qputenv("MORVEX_STATE", ready.toLocal8Bit());
        EngineStandIn::setScript(setup + QStringList{"state ready", "sleep " + untilStopped});
        Engines engines;
        for (int i = 0; i < count; ++i) {
            engines.push_back(std::make_unique<EngineProcess>(EngineProcess::Output::Discarded));
            engines.back()->start(engineProgramPath(), {});
        }
        const bool allReady = QTest::qWaitFor([&] { return readyCount(ready) == count; }, kWaitMs);
        qunsetenv("MORVEX_STATE");
        return allReady ? std::move(engines) : Engines();
    }

    // Waits until condition holds, within the bound of an engine wait, with the event loop
    // left alone.
    static bool holdsWithoutEvents(const std::function<bool()> &condition)
    {
        QElapsedTimer clock;
        clock.start();
        while (!condition()) {
            if (clock.hasExpired(kWaitMs))
                return false;
            QThread::msleep(10);
        }
        return true;
    }

    // The one process below this one's children: an engine's converter.
    static pid_t grandchild()
    {
        const QList<qint64> running = ProcessTree::runningDescendantIds();
        for (qint64 pid : running) {
            QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
            if (!stat.open(QIODevice::ReadOnly))
                continue;
            const QByteArray line = stat.readAll();
            const qint64 parent =
                line.mid(line.lastIndexOf(')') + 2).split(' ').value(1).toLongLong();
            if (parent != QCoreApplication::applicationPid())
                return pid_t(pid);
        }
        return -1;
    }

    // The names of what the run of the program with process id pid keeps in folder.
    static QStringList runFiles(const QString &folder, qint64 pid)
    {
        return QDir(folder)
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name)
            .filter(QRegularExpression(QStringLiteral("^%1-").arg(pid)));
    }

    // The page counts' state folder of the program engine_holder.
    static QString holderStateFolder()
    {
        return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
               "/engine_holder/state";
    }

    static int readyCount(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll().count('\n') : 0;
    }

    // Starts count engines that ignore SIGTERM, stops them all and quits: the time until all
    // have ended, or 0 when engines were left running.
    qint64 stopAndQuitMs(int count)
    {
        Engines engines = startReadyEngines(count, {"ignore-term"});
        if (int(engines.size()) != count)
            return 0;
        QElapsedTimer clock;
        clock.start();
        for (auto &engine : engines)
            engine->stop();
        EngineReaper::finish();
        const bool ended = QTest::qWaitFor([] { return EngineReaper::ending() == 0; }, kWaitMs);
        const qint64 elapsed = clock.elapsed();
        return ended && EngineStandIn::allEnginesEnd() ? elapsed : 0;
    }

    EngineStandIn m_engine;
};

QTEST_GUILESS_MAIN(EngineProcessTest)
#include "tst_EngineProcess.moc"
