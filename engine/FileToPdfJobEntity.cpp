#include "FileToPdfJobEntity.h"

namespace {

// One document makes exactly one PDF.
bool isSingleOutputFile(const QString &fileCount)
{
    return fileCount == QLatin1String("1");
}

} // namespace

FileToPdfJobEntity::FileToPdfJobEntity()
    : QThread(nullptr),
      m_engineRun(
          this, isSingleOutputFile, [this](int percent) { emit ProcessState(percent); },
          [this](bool result, const QString &path) { emit ProcessResult(result, path); })
{
    connect(this, &FileToPdfJobEntity::StartProcessSignal, this,
            &FileToPdfJobEntity::StartProcessSlot);
}

FileToPdfJobEntity::~FileToPdfJobEntity()
{
    stopJob();
    wait();
}

void FileToPdfJobEntity::setJobParams(const QString &sourcePath, const QString &outputPath)
{
    m_sourcePath = sourcePath;
    m_outputPath = engineOutputPath(outputPath);
    m_engineRun.setOutputPath(m_outputPath);
}

void FileToPdfJobEntity::stopJob()
{
    m_engineRun.stop();
}

void FileToPdfJobEntity::run()
{
    m_engineRun.runInJobThread([this] { emit StartProcessSignal(); });
}

void FileToPdfJobEntity::StartProcessSlot()
{
    m_engineRun.startEngine(buildFileToPdfArguments());
}

void FileToPdfJobEntity::processfinished(int code)
{
    m_engineRun.engineFinished(code);
}

QStringList FileToPdfJobEntity::buildFileToPdfArguments() const
{
    const QString pageRange;
    return {QString(),
            QStringLiteral("file2pdf"),
            m_sourcePath,
            m_outputPath,
            m_engineRun.stateFilePath(),
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
