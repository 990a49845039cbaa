#pragma once

#include "EngineFolders.h"
#include "EngineProgram.h"
#include "FileUtils.h"
#include "ProcessTree.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest/qtestsystem.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

// Drives the stand-in engine "Morvex" beside the test executable (see its source for the
// script) and reads back how Quorvane started it.
struct EngineRun
{
    QString workingDirectory;
    QString tempFolder; // its TMPDIR
    QStringList arguments;
};

class EngineStandIn
{
public:
    EngineStandIn() : m_keepsOrphans(ProcessTree::keepOrphans())
    {
        qputenv("MORVEX_LOG", logPath().toLocal8Bit());
        setScript({});
        // As the program does at its start: the folders of the engines' files are claimed
        // for this run (a lock held while it lives) before any engine is counted.
        removeEngineFilesOfEndedRuns();
    }
    ~EngineStandIn()
    {
        qunsetenv("MORVEX_LOG");
        qunsetenv("MORVEX_SCRIPT");
    }

    bool isValid() const
    {
        return m_keepsOrphans && m_dir.isValid() && QFile::exists(engineProgramPath());
    }

    // The libraries that the page count looks for beside the engine before it starts one.
    static QStringList libraries()
    {
        return {"Aspose.Cells.dll", "Aspose.Pdf.dll", "Aspose.Slides.dll", "Aspose.Words.dll"};
    }
    static bool placeLibraries()
    {
        for (const QString &library : libraries()) {
            QFile file(applicationDir() + "/" + library);
            if (!file.open(QIODevice::WriteOnly))
                return false;
        }
        return true;
    }
    static void removeLibraries()
    {
        for (const QString &library : libraries())
            QFile::remove(applicationDir() + "/" + library);
    }

    // Commands for the engines started from now on.
    static void setScript(const QStringList &commands)
    {
        qputenv("MORVEX_SCRIPT", commands.join('\n').toUtf8());
    }

    // The runs whose record is whole. An engine appends its record in one write, but a
    // read beside it can still see part of it (the kernel makes a write that crosses a
    // page visible a page at a time), so a run counts once its "end" line is there.
    QList<EngineRun> runs() const
    {
        QList<EngineRun> runs;
        QFile log(logPath());
        if (!log.open(QIODevice::ReadOnly))
            return runs;
        const QStringList lines = QString::fromUtf8(log.readAll()).split('\n');
        std::optional<EngineRun> record;
        for (const QString &line : lines) {
            if (line == "run")
                record.emplace();
            else if (!record)
                continue;
            else if (line == "end")
                runs.append(*std::exchange(record, std::nullopt));
            else if (line.startsWith("cwd "))
                record->workingDirectory = line.mid(4);
            else if (line.startsWith("tmp "))
                record->tempFolder = line.mid(4);
            else if (line.startsWith("arg [") && line.endsWith(']'))
                record->arguments.append(line.mid(5, line.size() - 6));
        }
        return runs;
    }

    // The processes of engines that still run: every engine this test started and whatever
    // those started in turn, also once their engine has gone (this process is made their
    // subreaper), so that a converter left behind by a stopped engine is counted.
    // apartFrom: processes of the test's own that are no engines, with all below them.
    static int runningEngines(const QSet<qint64> &apartFrom = {})
    {
        return ProcessTree::runningDescendants(apartFrom);
    }

    // The bound of a wait on what an engine does: starting one, its run and the polls of it
    // take seconds on a machine at load 30, so the bound is a safety net only.
    static constexpr int kWaitMs = 60000;
    // How long an engine that a test means to stop runs when nothing stops it: far beyond
    // every bound of a wait for its end, so that only the stop can end it within one.
    static constexpr int kUntilStoppedMs = 600000;

    // True once no engine process runs, within withinMs. Those still running then are killed,
    // so that a case that left them behind fails alone, and at the bound rather than after
    // the further wait of a failed QTRY_COMPARE. An engine that a test means to stop runs
    // kUntilStoppedMs, so that only the stop ends it within the bound.
    static bool allEnginesEnd(const QSet<qint64> &apartFrom = {}, int withinMs = kWaitMs)
    {
        if (QTest::qWaitFor([&] { return runningEngines(apartFrom) == 0; }, withinMs))
            return true;
        ProcessTree::killDescendants(apartFrom);
        return false;
    }

    // Runs action, a stop or a deletion that must not wait for an engine to end, and tells
    // whether it returned within withinMs. Should it not, the engines are killed then, so
    // that it returns and the case fails at the bound rather than after kUntilStoppedMs.
    static bool returnsWithoutWaiting(const std::function<void()> &action, int withinMs = kWaitMs)
    {
        std::mutex mutex;
        std::condition_variable returnedCondition;
        bool returned = false;
        bool killed = false;
        std::thread watchdog([&] {
            std::unique_lock<std::mutex> lock(mutex);
            if (!returnedCondition.wait_for(lock, std::chrono::milliseconds(withinMs),
                                            [&] { return returned; })) {
                killed = true;
                ProcessTree::killDescendants();
            }
        });
        action();
        {
            const std::lock_guard<std::mutex> lock(mutex);
            returned = true;
        }
        returnedCondition.notify_one();
        watchdog.join();
        return !killed;
    }
    static constexpr const char *keptWaiting =
        "it did not return within the bound of an engine wait (engines then killed)";
    static constexpr const char *leftRunning =
        "engine processes still ran at the end of the wait (now killed)";

    // A script command that holds the engine until release() (see the stand-in's "await"),
    // so that a test sees what the engine shows meanwhile however slow the machine is. The
    // gate is closed again by each call.
    QString awaitGate() const
    {
        QFile::remove(gate());
        return "await " + gate();
    }
    bool release() const
    {
        QFile file(gate());
        return file.open(QIODevice::WriteOnly);
    }

private:
    QString gate() const { return m_dir.filePath(QStringLiteral("gate")); }
    QString logPath() const { return m_dir.filePath(QStringLiteral("engine.log")); }

    bool m_keepsOrphans;
    QTemporaryDir m_dir;
};
