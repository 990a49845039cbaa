#pragma once

#include "EngineStandIn.h"
#include "FileUtils.h"

#include <QStringList>

// The stand-in engine beside the test executable, with the four libraries that the page
// count looks for before it starts the engine.
class EngineFixture
{
public:
    bool prepare() { return EngineStandIn::placeLibraries() && m_engine.isValid(); }

    void removeLibraries() { EngineStandIn::removeLibraries(); }

    // Every engine started from now on answers a page count of pages.
    static void answerPageCount(const QString &pages)
    {
        EngineStandIn::setScript({"state [filepagenum]", "state pagenum=" + pages});
    }

    // Every engine started from now on reports progress, then plays hold (a script command
    // such as "sleep 300" or a gate's, or none) and succeeds with output as its one result
    // file, which it writes (a success is a file the run wrote where it was asked to);
    // "{output}" stands for each engine's own output path.
    static void succeedWith(const QString &output, int progress = 37, const QString &hold = {})
    {
        QStringList script{"state progress=" + QString::number(progress)};
        if (!hold.isEmpty())
            script << hold;
        EngineStandIn::setScript(script << "write " + output << "state [outputfiles]"
                                        << "state filecount=1"
                                        << "state file_0=" + output << "exit 0");
    }

    static void failAfter(int holdMs)
    {
        EngineStandIn::setScript(
            {"state progress=20", "sleep " + QString::number(holdMs), "exit 1"});
    }

    static void runFor(int ms) { EngineStandIn::setScript({"sleep " + QString::number(ms)}); }
    static void runUntilStopped() { runFor(EngineStandIn::kUntilStoppedMs); }

    // The conversion runs so far, page counts left out.
    QList<EngineRun> conversions() const
    {
        QList<EngineRun> runs;
        for (const EngineRun &run : m_engine.runs()) {
            if (run.arguments.value(0) != "getfilepagenum")
                runs.append(run);
        }
        return runs;
    }

    static int runningEngines() { return EngineStandIn::runningEngines(); }
    // True once no engine process runs, within the bound of an engine wait.
    static bool allEnginesEnd() { return EngineStandIn::allEnginesEnd({}, EngineStandIn::kWaitMs); }

    // The engine processes that run once at least (or at most) count do, waited for within
    // the bound of an engine wait; what runs then when that never happened.
    static int runningOnceAtLeast(int count)
    {
        waitUntil([count] { return runningEngines() >= count; });
        return runningEngines();
    }
    static int runningOnceAtMost(int count)
    {
        waitUntil([count] { return runningEngines() <= count; });
        return runningEngines();
    }

    // The number of conversion runs once there are at least count, waited for likewise.
    int conversionsOnceAtLeast(int count) const
    {
        waitUntil([this, count] { return conversions().size() >= count; });
        return conversions().size();
    }

    // A command that holds the engines started from now on until release().
    QString awaitGate() const { return m_engine.awaitGate(); }
    bool release() const { return m_engine.release(); }

private:
    // Runs the event loop until condition holds or the bound of an engine wait is up; the
    // caller checks what came of it.
    template <typename Condition> static void waitUntil(Condition condition)
    {
        static_cast<void>(QTest::qWaitFor(condition, EngineStandIn::kWaitMs));
    }

    EngineStandIn m_engine;
};
