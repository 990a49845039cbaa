#include "FilePageCount.h"

#include "EngineFolders.h"
#include "EngineProcess.h"
#include "EngineProgram.h"
#include "FileUtils.h"
#include "PageCountQueue.h"
#include "ProfileStringReader.h"
#include "TextUtils.h"

#include <QFile>
#include <QTimer>

#include <atomic>

namespace {

// What a row shows as "未知": the same answer a damaged file gets from the engine.
const QString kUnknownCount = QStringLiteral("-1");

std::atomic<int> timeLimitMs{30000};
std::atomic<int> officeTimeLimitMs{300000};

} // namespace

void FilePageCount::setTimeLimit(int milliseconds)
{
    timeLimitMs = milliseconds;
}

void FilePageCount::setOfficeTimeLimit(int milliseconds)
{
    officeTimeLimitMs = milliseconds;
}

FilePageCount::FilePageCount(const QString &filePath)
    : QThread(nullptr), m_engineProcess(new EngineProcess(EngineProcess::Output::Captured, this)),
      m_timeLimit(new QTimer(this)), m_enginePath(engineProgramPath()), m_filePath(filePath),
      m_fileSize(fileSize(filePath)), m_isOfficeFile(isOfficeFile(filePath))
{
    m_engineProcess->setPriority(EngineProcess::Priority::Background);
    m_timeLimit->setSingleShot(true);
    connect(m_timeLimit, &QTimer::timeout, this, &FilePageCount::giveUp);
    connect(this, &FilePageCount::StartProcessSignal, this, &FilePageCount::StartProcessSlot);
    // The time runs from the engine's start: neither the wait for a turn nor a start delayed
    // on a busy machine is taken from it.
    connect(m_engineProcess, &EngineProcess::started, this,
            [this] { m_timeLimit->start(m_isOfficeFile ? officeTimeLimitMs : timeLimitMs); });
    connect(m_engineProcess, &EngineProcess::finished, this, &FilePageCount::ProcessFinished);
    connect(m_engineProcess, &EngineProcess::failedToStart, this,
            [this] { answerOnce(kUnknownCount); });
}

FilePageCount::~FilePageCount()
{
    m_answered = true; // the engine ended here must not answer a row that is going away
    m_engineProcess->stop(leftovers());
    queue().release(this);
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

void FilePageCount::start(Priority priority)
{
    queue().request(this, [this, priority] { QThread::start(priority); });
}

void FilePageCount::run()
{
    emit StartProcessSignal();
}

void FilePageCount::StartProcessSlot()
{
    if (m_answered || m_engineProcess->isRunning())
        return;
    if (!engineLibrariesPresent()) {
        answerOnce(kUnknownCount);
        return;
    }
    queue().request(this, [this] { startEngine(); });
}

PageCountQueue &FilePageCount::queue() const
{
    return m_isOfficeFile ? PageCountQueue::officeInstance() : PageCountQueue::instance();
}

void FilePageCount::startEngine()
{
    m_stateFilePath = newPageCountStateFilePath();
    // A working directory that does not exist would keep the engine from starting at all.
    ensureDirExists(applicationDataDir());
    m_engineProcess->setWorkingDirectory(applicationDataDir());
    m_engineProcess->start(m_enginePath,
                           {QStringLiteral("getfilepagenum"), m_filePath, m_stateFilePath});
}

// An engine that hangs must neither leave its row without a count nor hold its place in the
// queue for good.
void FilePageCount::giveUp()
{
    m_engineProcess->stop(leftovers());
    answerOnce(kUnknownCount);
}

// The state file, while an engine may still write it.
QStringList FilePageCount::leftovers() const
{
    if (!m_engineProcess->isRunning() || m_stateFilePath.isEmpty())
        return {};
    return {m_stateFilePath};
}

void FilePageCount::ProcessFinished(int codeId)
{
    Q_UNUSED(codeId)
    QString answer = readAnswer();
    if (answer.isEmpty())
        answer = QStringLiteral("全部");
    answerOnce(answer);
}

void FilePageCount::answerOnce(const QString &answer)
{
    if (m_answered)
        return;
    m_answered = true;
    m_timeLimit->stop();
    // The engine has been reaped or handed on to be ended: its place goes to the next file.
    queue().release(this);
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

// A count in the state file wins over what the engine printed, which comes without the blanks
// and the line end around it.
QString FilePageCount::readAnswer()
{
    QString answer = decodeUtf8UpToZero(m_engineProcess->capturedOutput()).trimmed();
    if (m_stateFilePath.isEmpty() || !QFile::exists(m_stateFilePath))
        return answer;
    const QByteArray pageCount = readProfileString(m_stateFilePath, "filepagenum", "pagenum");
    if (!pageCount.isEmpty())
        answer = decodeUtf8UpToZero(pageCount);
    QFile::remove(m_stateFilePath);
    return answer;
}
