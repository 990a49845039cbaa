#include "EngineProcess.h"

#include "EngineFolders.h"
#include "EngineLauncher.h"
#include "EngineReaper.h"
#include "RunOwnedFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

constexpr int kExitPollMs = 20;

// A descriptor that becomes readable when the process ends, or -1 where the kernel has none
// (or no descriptor is left); the caller then polls.
int openExitNotice(pid_t pid)
{
#ifdef SYS_pidfd_open
    const long fd = syscall(SYS_pidfd_open, pid, 0);
    return fd >= 0 ? static_cast<int>(fd) : -1;
#else
    Q_UNUSED(pid)
    return -1;
#endif
}

void closeDescriptor(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

std::vector<QByteArray> encodedNames(const QStringList &paths)
{
    std::vector<QByteArray> names;
    for (const QString &path : paths)
        names.push_back(QFile::encodeName(path));
    return names;
}

void removeFiles(const QStringList &paths)
{
    for (const QString &path : paths) {
        const QFileInfo entry(path);
        if (entry.isDir() && !entry.isSymLink())
            QDir(path).removeRecursively();
        else
            QFile::remove(path);
    }
}

// A folder of the engine's own for its temporary files, in the program's work folder, or ""
// when none can be made (the engine then keeps the program's TMPDIR).
QString makeTempFolder()
{
    QByteArray pattern = QFile::encodeName(RunOwnedFiles::namePrefix(engineWorkFolder()) +
                                           QStringLiteral("engine-XXXXXX"));
    return ::mkdtemp(pattern.data()) ? QFile::decodeName(pattern) : QString();
}

// The program's environment, with TMPDIR naming tempFolder when there is one.
std::vector<QByteArray> engineEnvironment(const QString &tempFolder)
{
    std::vector<QByteArray> environment;
    for (char **variable = environ; *variable; ++variable) {
        if (tempFolder.isEmpty() || qstrncmp(*variable, "TMPDIR=", 7) != 0)
            environment.emplace_back(*variable);
    }
    if (!tempFolder.isEmpty())
        environment.push_back("TMPDIR=" + QFile::encodeName(tempFolder));
    return environment;
}

} // namespace

EngineProcess::EngineProcess(Output output, QObject *parent) : QObject(parent), m_outputMode(output)
{
}

EngineProcess::~EngineProcess()
{
    stop();
}

bool EngineProcess::isRunning() const
{
    return m_ticket != nullptr; // starting or running
}

void EngineProcess::start(const QString &program, const QStringList &arguments)
{
    if (isRunning())
        return;
    m_output.clear();
    m_startFailurePending = false;
    spawn(program, arguments);
}

void EngineProcess::spawn(const QString &program, const QStringList &arguments)
{
    int pipeEnds[2] = {-1, -1};
    if (m_outputMode == Output::Captured && ::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        reportFailedStart();
        return;
    }
    SpawnRequest request;
    request.program = QFile::encodeName(program);
    request.arguments.push_back(request.program);
    for (const QString &argument : arguments)
        request.arguments.push_back(argument.toLocal8Bit());
    m_tempFolder = makeTempFolder();
    request.environment = engineEnvironment(m_tempFolder);
    request.workingDirectory = QFile::encodeName(m_workingDirectory);
    request.outputFd = pipeEnds[1];
    request.background = m_priority == Priority::Background;

    auto ticket = std::make_shared<SpawnTicket>();
    ticket->outputReadEnd = pipeEnds[0];
    m_ticket = ticket;
    const QPointer<EngineProcess> self(this);
    EngineLauncher::spawn(std::move(request), ticket, [self, ticket] {
        if (self && self->m_ticket == ticket)
            self->takeSpawned();
    });
}

void EngineProcess::takeSpawned()
{
    pid_t pid = -1;
    int readEnd = -1;
    {
        const std::lock_guard<std::mutex> lock(m_ticket->mutex);
        pid = m_ticket->pid;
        std::swap(readEnd, m_ticket->outputReadEnd);
    }
    if (pid <= 0) {
        closeDescriptor(readEnd);
        removeFiles(withTempFolder({}));
        forget();
        reportFailedStart();
        return;
    }
    m_pid = pid;
    watchExit();
    if (readEnd >= 0)
        watchOutput(readEnd);
    emit started();
}

void EngineProcess::watchExit()
{
    m_exitNotice = openExitNotice(m_pid);
    if (m_exitNotice >= 0) {
        m_exitNotifier = new QSocketNotifier(m_exitNotice, QSocketNotifier::Read, this);
        connect(m_exitNotifier, &QSocketNotifier::activated, this, [this] { reapIfEnded(); });
        return;
    }
    m_exitPoll = new QTimer(this);
    connect(m_exitPoll, &QTimer::timeout, this, [this] { reapIfEnded(); });
    m_exitPoll->start(kExitPollMs);
}

void EngineProcess::watchOutput(int readEnd)
{
    m_outputPipe = readEnd;
    ::fcntl(m_outputPipe, F_SETFL, ::fcntl(m_outputPipe, F_GETFL) | O_NONBLOCK);
    m_outputNotifier = new QSocketNotifier(m_outputPipe, QSocketNotifier::Read, this);
    connect(m_outputNotifier, &QSocketNotifier::activated, this, [this] { readOutput(); });
}

void EngineProcess::readOutput()
{
    char chunk[16384];
    while (m_outputPipe >= 0) {
        const ssize_t got = ::read(m_outputPipe, chunk, sizeof(chunk));
        if (got > 0) {
            appendOutput(QByteArray::fromRawData(chunk, static_cast<int>(got)));
        } else if (got < 0 && errno == EINTR) {
            continue;
        } else {
            // The end of the output, or nothing more for now.
            if (got == 0 || errno != EAGAIN)
                closeOutput();
            return;
        }
    }
}

void EngineProcess::closeOutput()
{
    delete m_outputNotifier;
    m_outputNotifier = nullptr;
    closeDescriptor(m_outputPipe);
}

void EngineProcess::reapIfEnded()
{
    siginfo_t ended = {};
    const bool known = ::waitid(P_PID, id_t(m_pid), &ended, WEXITED | WNOHANG | WNOWAIT) == 0;
    if (known && ended.si_pid != m_pid)
        return; // still running
    // What the engine left running in its group (a converter still writing to the output)
    // ends with it, before its result is read. The engine is not reaped yet, so its group id
    // cannot have passed on.
    if (known)
        ::kill(-m_pid, SIGKILL);
    int status = 0;
    pid_t reaped = -1;
    do {
        reaped = ::waitpid(m_pid, &status, 0);
    } while (reaped < 0 && errno == EINTR);
    // Whatever the engine wrote before it ended; a converter that it left behind and that
    // still holds the pipe is not waited for.
    readOutput();
    closeOutput();
    // What the engine's group kept in its temporary folder; a large one is not removed here.
    EngineReaper::remove(encodedNames(withTempFolder({})));
    forget();
    const bool exited = reaped > 0 && WIFEXITED(status);
    emit finished(exited ? WEXITSTATUS(status) : -1, !exited);
}

void EngineProcess::stop(const QStringList &leftovers)
{
    m_startFailurePending = false;
    const QStringList everything = withTempFolder(leftovers);
    if (m_ticket && m_pid <= 0)
        dropStart(everything);
    else if (m_pid > 0)
        EngineReaper::end(m_pid, encodedNames(everything));
    else
        removeFiles(everything);
    closeOutput();
    forget();
}

void EngineProcess::finishEnding()
{
    EngineReaper::finish();
    releaseEngineFolders();
}

QStringList EngineProcess::withTempFolder(const QStringList &leftovers) const
{
    return m_tempFolder.isEmpty() ? leftovers : leftovers + QStringList{m_tempFolder};
}

// The engine is being started, or its start has not reached this object yet.
void EngineProcess::dropStart(const QStringList &leftovers)
{
    pid_t pid = -1;
    int readEnd = -1;
    {
        const std::lock_guard<std::mutex> lock(m_ticket->mutex);
        if (!m_ticket->done) {
            m_ticket->cancelled = true; // the launcher ends it
            m_ticket->leftovers = encodedNames(leftovers);
            return;
        }
        pid = m_ticket->pid;
        std::swap(readEnd, m_ticket->outputReadEnd);
    }
    if (pid > 0)
        EngineReaper::end(pid, encodedNames(leftovers));
    else
        removeFiles(leftovers);
    closeDescriptor(readEnd);
}

void EngineProcess::forget()
{
    m_pid = -1;
    m_ticket.reset();
    m_tempFolder.clear();
    delete m_exitNotifier;
    m_exitNotifier = nullptr;
    delete m_exitPoll;
    m_exitPoll = nullptr;
    closeDescriptor(m_exitNotice);
}
