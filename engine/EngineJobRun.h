#pragma once

#include "EngineOutputCheck.h"
#include "StopFlag.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

class EngineProcess;
class QThread;

// The output path as the engine takes it, with the platform's own separators: on Linux a
// backslash is part of a file name, never a separator.
QString engineOutputPath(const QString &outputPath);

// One engine run of a conversion job, shared by both job classes: the engine is started,
// watched and stopped in the GUI thread, while the job's own thread notes what stands in the
// output folder, polls the state file and, once the engine has ended, reads its result. The
// job owns this object and turns its handlers into the job's signals; every handler is
// called in the GUI thread, and none is called once the run is stopped or has ended.
class EngineJobRun
{
public:
    using ProgressHandler = std::function<void(int percent)>;
    using ResultHandler = std::function<void(bool result, const QString &outputPath)>;
    // Whether the output count of the state file promises a usable result.
    using OutputCountTest = bool (*)(const QString &fileCount);

    // job: the parent of the engine process and the context of every callback. The engine's
    // output is not wanted and goes to the null device.
    EngineJobRun(QThread *job, OutputCountTest outputCountTest, ProgressHandler onProgress,
                 ResultHandler onResult);

    QString stateFilePath() const { return m_stateFilePath; }

    // GUI thread, before the job's thread starts. What the engine is asked to write: the
    // result it reports must lie in that folder.
    void setOutputPath(const QString &outputPath) { m_outputPath = outputPath; }

    // Job thread: all it does. Notes what stands in the output folder, then calls
    // requestStart, which is to have startEngine called in the GUI thread; reports the
    // progress every half second until the run stops; and, after an engine that ended with
    // 0, reads the result, so that a long state file never holds the window.
    void runInJobThread(const std::function<void()> &requestStart);

    // GUI thread. Reports 0 percent and starts the engine, unless the run was stopped.
    void startEngine(const QStringList &arguments);
    // GUI thread. The engine ended normally with this exit code.
    void engineFinished(int code);
    // GUI thread. Ends the engine, without waiting for it, and removes its state file once it
    // has ended; the run reports nothing more.
    void stop();

    // The pause between two reads of the state file, for every run: half a second. Tests
    // change it, to prove with a generous bound that a stop cuts a long pause short, or to
    // read every state the engine passes through.
    static void setPollingInterval(int milliseconds);

private:
    void pollUntilStopped();
    int readJobProgress() const;
    void readJobOutputFiles();
    void reportJobFailure(bool removeStateFile);
    void reportResultOnce(bool result, const QString &outputPath);
    void onEngineEnded(int code, bool crashed);
    void onEngineFailedToStart();

    QThread *m_job;
    OutputCountTest m_outputCountTest;
    ProgressHandler m_onProgress;
    ResultHandler m_onResult;
    EngineProcess *m_engineProcess;
    QString m_enginePath;
    QString m_applicationFolder;
    StopFlag m_stop;
    QString m_stateFilePath;
    QString m_outputPath;
    EngineOutputCheck m_outputCheck;         // job thread only
    std::atomic<bool> m_resultToRead{false}; // set before the stop it ends polling with
    bool m_resultSent = false;               // GUI thread only
};
