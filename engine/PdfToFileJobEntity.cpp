#include "PdfToFileJobEntity.h"

#include <QDir>
#include <QFileInfo>

namespace {

struct EngineKind
{
    QString name; // empty: no kind fits the suffix
    QStringList tail;
};

// The text after the last "." of the file name, in lower case. The output path carries the
// platform's separators by now.
QString outputSuffix(const QString &outputPath)
{
    const QString fileName = QFileInfo(QDir::fromNativeSeparators(outputPath)).fileName();
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

// An image conversion may write several files; the first one stands for them all.
bool hasOutputFiles(const QString &fileCount)
{
    return fileCount.toInt() > 0;
}

} // namespace

PdfToFileJobEntity::PdfToFileJobEntity()
    : QThread(nullptr),
      m_engineRun(
          this, hasOutputFiles, [this](int percent) { emit ProcessState(percent); },
          [this](bool result, const QString &path) { emit ProcessResult(result, path); })
{
    connect(this, &PdfToFileJobEntity::StartProcessSignal, this,
            &PdfToFileJobEntity::StartProcessSlot);
}

PdfToFileJobEntity::~PdfToFileJobEntity()
{
    stopJob();
    wait();
}

void PdfToFileJobEntity::setJobParams(const QString &sourcePath, const QString &outputPath)
{
    m_sourcePath = sourcePath;
    m_outputPath = engineOutputPath(outputPath);
    m_engineRun.setOutputPath(m_outputPath);
}

void PdfToFileJobEntity::stopJob()
{
    m_engineRun.stop();
}

void PdfToFileJobEntity::run()
{
    m_engineRun.runInJobThread([this] { emit StartProcessSignal(); });
}

void PdfToFileJobEntity::StartProcessSlot()
{
    m_engineRun.startEngine(buildPdfToFileArguments());
}

void PdfToFileJobEntity::processfinished(int code)
{
    m_engineRun.engineFinished(code);
}

QStringList PdfToFileJobEntity::buildPdfToFileArguments() const
{
    const QString suffix = outputSuffix(m_outputPath);
    const EngineKind kind = engineKindForSuffix(suffix);
    if (kind.name.isEmpty())
        return {};
    const QString pageRange;
    const QStringList head = {
        QString(), kind.name, m_sourcePath, m_outputPath, m_engineRun.stateFilePath(),
        pageRange, suffix};
    return head + kind.tail;
}
