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
    // such as "sleep 300" or a gate's, or none), writes the file it was asked for and
    // succeeds with output as its one result file. A success names a file that is there, so
    // output is the file the row asks for, or one the test made.
    static void succeedWith(const QString &output, int progress = 37, const QString &hold = {})
    {
        QStringList script{"state progress=" + QString::number(progress)};
        if (!hold.isEmpty())
            script << hold;
        EngineStandIn::setScript(script << "output converted"
                                        << "state [outputfiles]"
                                        << "state filecount=1"
                                        << "state file_0=" + output << "exit 0");
    }

    static void failAfter(int holdMs)
    {
        EngineStandIn::setScript(
            {"state progress=20", "sleep " + QString::number(holdMs), "exit 1"});
    }

    static void runFor(int ms) { EngineStandIn::setScript({"sleep " + QString::number(ms)}); }

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

    // A command that holds the engines started from now on until release().
    QString awaitGate() const { return m_engine.awaitGate(); }
    bool release() const { return m_engine.release(); }

private:
    EngineStandIn m_engine;
};
