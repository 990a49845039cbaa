#include "EngineJobRun.h"

#include "EngineFolders.h"
#include "EngineProcess.h"
#include "EngineProgram.h"
#include "EngineStateFile.h"
#include "FileUtils.h"
#include "TextUtils.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <atomic>
#include <utility>

namespace {
std::atomic<int> pollingIntervalMs{500};
}

void EngineJobRun::setPollingInterval(int milliseconds)
{
    pollingIntervalMs = milliseconds;
}

QString engineOutputPath(const QString &outputPath)
{
    return QDir::toNativeSeparators(outputPath);
}

EngineJobRun::EngineJobRun(QThread *job, OutputCountTest outputCountTest,
                           ProgressHandler onProgress, ResultHandler onResult)
    : m_job(job), m_outputCountTest(outputCountTest), m_onProgress(std::move(onProgress)),
      m_onResult(std::move(onResult)),
      m_engineProcess(new EngineProcess(EngineProcess::Output::Discarded, job)),
      m_enginePath(engineProgramPath()), m_applicationFolder(applicationDir()),
      m_stateFilePath(newConversionStateFilePath())
{
    m_engineProcess->setWorkingDirectory(m_applicationFolder);
    QObject::connect(m_engineProcess, &EngineProcess::finished, job,
                     [this](int code, bool crashed) { onEngineEnded(code, crashed); });
    QObject::connect(m_engineProcess, &EngineProcess::failedToStart, job,
                     [this] { onEngineFailedToStart(); });
}

void EngineJobRun::runInJobThread(const std::function<void()> &requestStart)
{
    if (!m_stop.isRaised())
        m_outputCheck = EngineOutputCheck(m_outputPath); // before the engine can write
    requestStart();
    pollUntilStopped();
    if (m_resultToRead)
        readJobOutputFiles();
}

void EngineJobRun::startEngine(const QStringList &arguments)
{
    if (m_stop.isRaised())
        return;
    m_onProgress(0);
    m_engineProcess->start(m_enginePath, arguments);
}

void EngineJobRun::engineFinished(int code)
{
    // The flag is raised in this thread alone: raised already, the run was stopped or has
    // ended, and there is nothing to read.
    if (code == 0 && !m_stop.isRaised())
        m_resultToRead = true;
    m_stop.raise();
    if (code != 0)
        reportJobFailure(code == 1);
}

void EngineJobRun::stop()
{
    m_stop.raise();
    m_resultSent = true; // a stopped run has nothing more to report
    // The engine and every converter it started end; a stopped engine reports nothing, and
    // its state file goes once it can no longer write to it. The state file of an engine that
    // ended unexpectedly stays for inspection.
    QStringList leftovers;
    if (m_engineProcess->isRunning())
        leftovers << m_stateFilePath;
    m_engineProcess->stop(leftovers);
}

void EngineJobRun::pollUntilStopped()
{
    if (m_stop.isRaised())
        return;
    do {
        const int progress = readJobProgress();
        if (progress >= 1 && progress <= 100) {
            // Delivered through the job in the GUI thread, so that no progress reaches the
            // owner after the result or after the job was stopped or deleted.
            QMetaObject::invokeMethod(
                m_job,
                [this, progress] {
                    if (!m_stop.isRaised())
                        m_onProgress(progress);
                },
                Qt::QueuedConnection);
        }
    } while (!m_stop.waitFor(pollingIntervalMs));
}

int EngineJobRun::readJobProgress() const
{
    return readStateFileProgress(m_stateFilePath);
}

void EngineJobRun::readJobOutputFiles()
{
    const EngineOutputFiles outputs = readStateFileOutputs(m_stateFilePath);
    QFile::remove(m_stateFilePath);
    // A missing state file, a failed count test or a path that names no output of this run
    // is no result to show as success.
    const bool usable =
        m_outputCountTest(outputs.fileCount) && m_outputCheck.accepts(outputs.firstFile);
    const QString outputPath = usable ? outputs.firstFile : QString();
    // Through the job in the GUI thread: a run stopped or a job deleted meanwhile reports
    // nothing.
    QMetaObject::invokeMethod(
        m_job, [this, usable, outputPath] { reportResultOnce(usable, outputPath); },
        Qt::QueuedConnection);
}

void EngineJobRun::reportJobFailure(bool removeStateFile)
{
    reportResultOnce(false, QString());
    if (removeStateFile)
        QFile::remove(m_stateFilePath);
}

void EngineJobRun::reportResultOnce(bool result, const QString &outputPath)
{
    if (m_resultSent)
        return;
    m_resultSent = true;
    m_onResult(result, outputPath);
}

void EngineJobRun::onEngineEnded(int code, bool crashed)
{
    if (!crashed) {
        engineFinished(code);
        return;
    }
    // A crashed engine leaves its state file for inspection, like any unexpected end.
    m_stop.raise();
    reportJobFailure(false);
}

void EngineJobRun::onEngineFailedToStart()
{
    m_stop.raise();
    reportJobFailure(false);
}
