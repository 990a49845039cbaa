#include "EngineJobRun.h"

#include "EngineProgram.h"
#include "EngineStateFile.h"
#include "FileUtils.h"
#include "TextUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <utility>

namespace {
constexpr int pollingIntervalMs = 500;
}

QString engineOutputPath(const QString &outputPath)
{
    return QDir::toNativeSeparators(outputPath);
}

EngineJobRun::EngineJobRun(QThread *job, OutputCountTest outputCountTest,
                           ProgressHandler onProgress, ResultHandler onResult)
    : m_job(job), m_outputCountTest(outputCountTest), m_onProgress(std::move(onProgress)),
      m_onResult(std::move(onResult)), m_engineProcess(new QProcess(job)),
      m_enginePath(engineProgramPath()), m_applicationFolder(applicationDir()),
      m_stateFilePath(tempWorkDir() + newUuidString())
{
    m_engineProcess->setWorkingDirectory(m_applicationFolder);
    QObject::connect(
        m_engineProcess, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), job,
        [this](int code, QProcess::ExitStatus status) { onEngineEnded(code, status); });
    QObject::connect(m_engineProcess, &QProcess::errorOccurred, job,
                     [this](QProcess::ProcessError error) { onEngineError(error); });
}

void EngineJobRun::startEngine(const QStringList &arguments)
{
    if (m_stop.isRaised())
        return;
    m_onProgress(0);
    m_engineProcess->start(m_enginePath, arguments, QIODevice::ReadWrite);
}

void EngineJobRun::engineFinished(int code)
{
    m_stop.raise();
    if (code == 0)
        readJobOutputFiles();
    else
        reportJobFailure(code == 1);
}

void EngineJobRun::stop()
{
    m_stop.raise();
    m_resultSent = true; // a stopped run has nothing more to report
    // Disconnected first: the engine killed here must not report back through the job.
    m_engineProcess->disconnect(m_job);
    m_engineProcess->close();
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
    // A missing state file, a failed count test or a path that names no file is no result to
    // show as success.
    const bool usable = m_outputCountTest(outputs.fileCount) && !outputs.firstFile.isEmpty() &&
                        QFileInfo(outputs.firstFile).isFile();
    reportResultOnce(usable, usable ? outputs.firstFile : QString());
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

void EngineJobRun::onEngineEnded(int code, QProcess::ExitStatus status)
{
    if (status == QProcess::NormalExit) {
        engineFinished(code);
        return;
    }
    // A crashed engine leaves its state file for inspection, like any unexpected end.
    m_stop.raise();
    reportJobFailure(false);
}

void EngineJobRun::onEngineError(QProcess::ProcessError error)
{
    // Only a failed start never reaches finished(); every other error is followed by it.
    if (error != QProcess::FailedToStart)
        return;
    m_stop.raise();
    reportJobFailure(false);
}
