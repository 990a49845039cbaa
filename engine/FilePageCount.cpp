#include "FilePageCount.h"

#include "EngineProgram.h"
#include "FileUtils.h"
#include "ProfileStringReader.h"
#include "TextUtils.h"

#include <QFile>

FilePageCount::FilePageCount(const QString &filePath)
    : QThread(nullptr), m_engineProcess(new QProcess(this)), m_enginePath(engineProgramPath()),
      m_filePath(filePath), m_fileSize(fileSize(filePath))
{
    connect(this, &FilePageCount::StartProcessSignal, this, &FilePageCount::StartProcessSlot);
    connect(m_engineProcess, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &FilePageCount::ProcessFinished);
}

FilePageCount::~FilePageCount()
{
    // Disconnected first: the engine killed here must not answer a row that is going away.
    m_engineProcess->disconnect(this);
    m_engineProcess->close();
    wait();
}

QString FilePageCount::fileSizeText() const
{
    constexpr qint64 mega = 1048576;
    const double size = static_cast<double>(m_fileSize);
    if (m_fileSize >= mega)
        return QString::asprintf("%.2fMB", size / mega);
    return QString::asprintf("%.2fKB", size / 1024);
}

void FilePageCount::run()
{
    emit StartProcessSignal();
}

void FilePageCount::StartProcessSlot()
{
    if (!m_engineProcess)
        return;
    // Stamps are taken one after another in the GUI thread, a millisecond apart, so no two
    // workers share a state file.
    const QString stamp = timestampText();
    QThread::msleep(1);
    m_stateFilePath = applicationDataDir() + QStringLiteral("/state/") + stamp;
    const QStringList arguments = {QStringLiteral("getfilepagenum"), m_filePath, m_stateFilePath};
    if (!engineLibrariesPresent())
        return;
    // A working directory that does not exist would keep the engine from starting at all.
    ensureDirExists(applicationDataDir());
    m_engineProcess->setWorkingDirectory(applicationDataDir());
    m_engineProcess->start(m_enginePath, arguments, QIODevice::ReadWrite);
}

void FilePageCount::ProcessFinished(int codeId)
{
    Q_UNUSED(codeId)
    m_engineProcess->disconnect(this); // one answer per worker
    QString answer = readAnswer();
    if (answer.isEmpty())
        answer = QStringLiteral("全部");
    emit PageCountResultSignal(answer);
}

bool FilePageCount::engineLibrariesPresent() const
{
    for (const char *library :
         {"/Aspose.Cells.dll", "/Aspose.Pdf.dll", "/Aspose.Slides.dll", "/Aspose.Words.dll"}) {
        if (!QFile::exists(applicationDir() + QLatin1String(library)))
            return false;
    }
    return true;
}

// A count in the state file wins over what the engine printed.
QString FilePageCount::readAnswer()
{
    QString answer = decodeUtf8UpToZero(m_engineProcess->readAllStandardOutput());
    if (m_stateFilePath.isEmpty() || !QFile::exists(m_stateFilePath))
        return answer;
    const QByteArray pageCount = readProfileString(m_stateFilePath, "filepagenum", "pagenum");
    if (!pageCount.isEmpty())
        answer = decodeUtf8UpToZero(pageCount);
    QFile::remove(m_stateFilePath);
    return answer;
}
