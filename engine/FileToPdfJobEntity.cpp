#include "FileToPdfJobEntity.h"

#include "EngineProgram.h"
#include "EngineStateFile.h"
#include "FileUtils.h"
#include "TextUtils.h"

#include <QFile>

namespace {
constexpr int pollingIntervalMs = 500;
}

FileToPdfJobEntity::FileToPdfJobEntity()
    : QThread(nullptr), m_enginePath(engineProgramPath()), m_applicationFolder(applicationDir()),
      m_stateFilePath(tempWorkDir() + newUuidString())
{
    connect(this, &FileToPdfJobEntity::StartProcessSignal, this,
            &FileToPdfJobEntity::StartProcessSlot);
    m_engineProcess = new QProcess(this);
    m_engineProcess->setWorkingDirectory(m_applicationFolder);
    connect(m_engineProcess, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &FileToPdfJobEntity::onEngineFinished);
    connect(m_engineProcess, &QProcess::errorOccurred, this, &FileToPdfJobEntity::onEngineError);
}

FileToPdfJobEntity::~FileToPdfJobEntity()
{
    stopJob();
    wait();
}

void FileToPdfJobEntity::setJobParams(const QString &sourcePath, const QString &outputPath)
{
    m_sourcePath = sourcePath;
    m_outputPath = outputPath;
    m_outputPath.replace(QLatin1Char('/'), QLatin1Char('\\'));
}

void FileToPdfJobEntity::stopJob()
{
    m_stop.raise();
    // Disconnected first: the engine killed here must not report back to the owner.
    m_engineProcess->disconnect(this);
    m_engineProcess->close();
}

void FileToPdfJobEntity::run()
{
    emit StartProcessSignal();
    if (m_stop.isRaised())
        return;
    do {
        const int progress = readJobProgress();
        if (progress >= 1 && progress <= 100) {
            // Delivered through the job in the GUI thread, so that no progress reaches the
            // owner after the result or after the job was stopped or deleted.
            QMetaObject::invokeMethod(
                this, [this, progress] { forwardProgress(progress); }, Qt::QueuedConnection);
        }
    } while (!m_stop.waitFor(pollingIntervalMs));
}

void FileToPdfJobEntity::StartProcessSlot()
{
    if (!m_engineProcess || m_stop.isRaised())
        return;
    emit ProcessState(0);
    m_engineProcess->start(m_enginePath, buildFileToPdfArguments(), QIODevice::ReadWrite);
}

void FileToPdfJobEntity::processfinished(int code)
{
    m_stop.raise();
    if (code == 0)
        readJobOutputFiles();
    else
        reportJobFailure(code == 1);
}

QStringList FileToPdfJobEntity::buildFileToPdfArguments() const
{
    const QString pageRange;
    return {QString(),
            QStringLiteral("file2pdf"),
            m_sourcePath,
            m_outputPath,
            m_stateFilePath,
            pageRange,
            QStringLiteral("pdf"),
            QString(),
            QString(),
            QString(),
            QString(),
            QString(),
            QStringLiteral("1"),
            QStringLiteral("0"),
            QStringLiteral("0"),
            QStringLiteral("0"),
            QStringLiteral("0")};
}

int FileToPdfJobEntity::readJobProgress() const
{
    return readStateFileProgress(m_stateFilePath);
}

void FileToPdfJobEntity::readJobOutputFiles()
{
    const EngineOutputFiles outputs = readStateFileOutputs(m_stateFilePath);
    QFile::remove(m_stateFilePath);
    // Exactly one PDF comes out of one document; anything else is no usable result.
    const bool usable = outputs.fileCount == QLatin1String("1") && !outputs.firstFile.isEmpty();
    emitResultOnce(usable, usable ? outputs.firstFile : QString());
}

void FileToPdfJobEntity::reportJobFailure(bool removeStateFile)
{
    emitResultOnce(false, QString());
    if (removeStateFile)
        QFile::remove(m_stateFilePath);
}

void FileToPdfJobEntity::emitResultOnce(bool result, const QString &outputPath)
{
    if (m_resultSent)
        return;
    m_resultSent = true;
    emit ProcessResult(result, outputPath);
}

void FileToPdfJobEntity::forwardProgress(int progress)
{
    if (!m_stop.isRaised())
        emit ProcessState(progress);
}

void FileToPdfJobEntity::onEngineFinished(int code, QProcess::ExitStatus status)
{
    if (status == QProcess::NormalExit) {
        processfinished(code);
        return;
    }
    // A crashed engine leaves its state file for inspection, like any unexpected end.
    m_stop.raise();
    reportJobFailure(false);
}

void FileToPdfJobEntity::onEngineError(QProcess::ProcessError error)
{
    // Only a failed start never reaches finished(); every other error is followed by it.
    if (error != QProcess::FailedToStart)
        return;
    m_stop.raise();
    reportJobFailure(false);
}
