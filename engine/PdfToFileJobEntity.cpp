#include "PdfToFileJobEntity.h"

#include "EngineProgram.h"
#include "EngineStateFile.h"
#include "FileUtils.h"
#include "TextUtils.h"

#include <QFile>

namespace {

constexpr int pollingIntervalMs = 500;

struct EngineKind
{
    QString name; // empty: no kind fits the suffix
    QStringList tail;
};

// The text after the last "." of the file name, in lower case. The output path carries
// "\" separators by now.
QString outputSuffix(const QString &outputPath)
{
    const QString fileName = outputPath.mid(outputPath.lastIndexOf(QLatin1Char('\\')) + 1);
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : fileName.mid(dot + 1).toLower();
}

// The first test in this order that the suffix passes decides ("docx" and "doc" are Word).
EngineKind engineKindForSuffix(const QString &suffix)
{
    const QString none;
    auto contains = [&suffix](const char *text) { return suffix.contains(QLatin1String(text)); };
    if (contains("doc"))
        return {QStringLiteral("file2word"), {none, none, none}};
    if (contains("jpg") || contains("jpeg") || contains("png") || contains("bmp"))
        return {QStringLiteral("file2img"),
                {none, none, none, QStringLiteral("576"), QStringLiteral("3")}};
    if (contains("xls"))
        return {QStringLiteral("file2excel"), {none, none, none, none, none, QStringLiteral("0")}};
    if (contains("ppt"))
        return {QStringLiteral("file2ppt"), {none, none, none}};
    if (contains("txt"))
        return {QStringLiteral("file2txt"), {none, none, none}};
    if (contains("html"))
        return {QStringLiteral("file2html"), {none, none, none}};
    return {};
}

} // namespace

PdfToFileJobEntity::PdfToFileJobEntity()
    : QThread(nullptr), m_enginePath(engineProgramPath()), m_applicationFolder(applicationDir()),
      m_stateFilePath(tempWorkDir() + newUuidString())
{
    connect(this, &PdfToFileJobEntity::StartProcessSignal, this,
            &PdfToFileJobEntity::StartProcessSlot);
    m_engineProcess = new QProcess(this);
    m_engineProcess->setWorkingDirectory(m_applicationFolder);
    connect(m_engineProcess, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &PdfToFileJobEntity::onEngineFinished);
    connect(m_engineProcess, &QProcess::errorOccurred, this, &PdfToFileJobEntity::onEngineError);
}

PdfToFileJobEntity::~PdfToFileJobEntity()
{
    stopJob();
    wait();
}

void PdfToFileJobEntity::setJobParams(const QString &sourcePath, const QString &outputPath)
{
    m_sourcePath = sourcePath;
    m_outputPath = outputPath;
    m_outputPath.replace(QLatin1Char('/'), QLatin1Char('\\'));
}

void PdfToFileJobEntity::stopJob()
{
    m_stop.raise();
    // Disconnected first: the engine killed here must not report back to the owner.
    m_engineProcess->disconnect(this);
    m_engineProcess->close();
}

void PdfToFileJobEntity::run()
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

void PdfToFileJobEntity::StartProcessSlot()
{
    if (!m_engineProcess || m_stop.isRaised())
        return;
    emit ProcessState(0);
    m_engineProcess->start(m_enginePath, buildPdfToFileArguments(), QIODevice::ReadWrite);
}

void PdfToFileJobEntity::processfinished(int code)
{
    m_stop.raise();
    if (code == 0)
        readJobOutputFiles();
    else
        reportJobFailure(code == 1);
}

QStringList PdfToFileJobEntity::buildPdfToFileArguments() const
{
    const EngineKind kind = engineKindForSuffix(outputSuffix(m_outputPath));
    if (kind.name.isEmpty())
        return {};
    const QString pageRange;
    QStringList arguments = {QString(),
                             kind.name,
                             m_sourcePath,
                             m_outputPath,
                             m_stateFilePath,
                             pageRange,
                             outputSuffix(m_outputPath)};
    return arguments + kind.tail;
}

int PdfToFileJobEntity::readJobProgress() const
{
    return readStateFileProgress(m_stateFilePath);
}

void PdfToFileJobEntity::readJobOutputFiles()
{
    const EngineOutputFiles outputs = readStateFileOutputs(m_stateFilePath);
    QFile::remove(m_stateFilePath);
    // An image conversion may write several files; the first one stands for them all.
    const bool usable = outputs.fileCount.toInt() > 0 && !outputs.firstFile.isEmpty();
    emitResultOnce(usable, usable ? outputs.firstFile : QString());
}

void PdfToFileJobEntity::reportJobFailure(bool removeStateFile)
{
    emitResultOnce(false, QString());
    if (removeStateFile)
        QFile::remove(m_stateFilePath);
}

void PdfToFileJobEntity::emitResultOnce(bool result, const QString &outputPath)
{
    if (m_resultSent)
        return;
    m_resultSent = true;
    emit ProcessResult(result, outputPath);
}

void PdfToFileJobEntity::forwardProgress(int progress)
{
    if (!m_stop.isRaised())
        emit ProcessState(progress);
}

void PdfToFileJobEntity::onEngineFinished(int code, QProcess::ExitStatus status)
{
    if (status == QProcess::NormalExit) {
        processfinished(code);
        return;
    }
    // A crashed engine leaves its state file for inspection, like any unexpected end.
    m_stop.raise();
    reportJobFailure(false);
}

void PdfToFileJobEntity::onEngineError(QProcess::ProcessError error)
{
    // Only a failed start never reaches finished(); every other error is followed by it.
    if (error != QProcess::FailedToStart)
        return;
    m_stop.raise();
    reportJobFailure(false);
}
