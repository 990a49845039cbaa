#pragma once

#include "EngineStandIn.h"
#include "FileUtils.h"

#include <QFile>
#include <QStringList>

// The stand-in engine beside the test executable, with the four libraries that the page
// count looks for before it starts the engine.
class EngineFixture
{
public:
    bool prepare()
    {
        for (const QString &library : libraries()) {
            QFile file(applicationDir() + "/" + library);
            if (!file.open(QIODevice::WriteOnly))
                return false;
        }
        return m_engine.isValid();
    }

    void removeLibraries()
    {
        for (const QString &library : libraries())
            QFile::remove(applicationDir() + "/" + library);
    }

    // Every engine started from now on answers a page count of pages.
    static void answerPageCount(const QString &pages)
    {
        EngineStandIn::setScript({"state [filepagenum]", "state pagenum=" + pages});
    }

    // Every engine started from now on reports progress, waits holdMs and succeeds with
    // output (made here, as a success names a file that is there) as its one result file.
    static void succeedWith(const QString &output, int progress = 37, int holdMs = 0)
    {
        QFile file(output);
        if (file.open(QIODevice::WriteOnly))
            file.write("converted");
        EngineStandIn::setScript({"state progress=" + QString::number(progress),
                                  "sleep " + QString::number(holdMs), "state [outputfiles]",
                                  "state filecount=1", "state file_0=" + output, "exit 0"});
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

private:
    static QStringList libraries()
    {
        return {"Aspose.Cells.dll", "Aspose.Pdf.dll", "Aspose.Slides.dll", "Aspose.Words.dll"};
    }

    EngineStandIn m_engine;
};
