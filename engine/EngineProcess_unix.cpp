#include "EngineProcess.h"

#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

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

// The spawn's file actions and attributes: standard input and error from and to the null
// device, standard output to outputFd (or the null device), the working folder, no other
// descriptor inherited, a process group of its own and default signal handling.
class SpawnSetup
{
public:
    SpawnSetup(int outputFd, const QByteArray &workingDirectory)
    {
        posix_spawn_file_actions_init(&m_actions);
        posix_spawnattr_init(&m_attributes);
        posix_spawn_file_actions_addopen(&m_actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        if (outputFd >= 0)
            posix_spawn_file_actions_adddup2(&m_actions, outputFd, STDOUT_FILENO);
        else
            posix_spawn_file_actions_addopen(&m_actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&m_actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        if (!workingDirectory.isEmpty())
            posix_spawn_file_actions_addchdir_np(&m_actions, workingDirectory.constData());
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
        posix_spawn_file_actions_addclosefrom_np(&m_actions, STDERR_FILENO + 1);
#endif
        sigset_t signalSet;
        sigemptyset(&signalSet);
        posix_spawnattr_setsigmask(&m_attributes, &signalSet);
        sigfillset(&signalSet);
        posix_spawnattr_setsigdefault(&m_attributes, &signalSet);
        posix_spawnattr_setpgroup(&m_attributes, 0);
        posix_spawnattr_setflags(&m_attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                                    POSIX_SPAWN_SETSIGDEF);
    }
    ~SpawnSetup()
    {
        posix_spawnattr_destroy(&m_attributes);
        posix_spawn_file_actions_destroy(&m_actions);
    }
    SpawnSetup(const SpawnSetup &) = delete;
    SpawnSetup &operator=(const SpawnSetup &) = delete;

    const posix_spawn_file_actions_t *actions() const
    {
        return &m_actions;
    }
    const posix_spawnattr_t *attributes() const
    {
        return &m_attributes;
    }

private:
    posix_spawn_file_actions_t m_actions;
    posix_spawnattr_t m_attributes;
};

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
    return m_pid > 0;
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
    const QByteArray programPath = QFile::encodeName(program);
    std::vector<QByteArray> storage{programPath};
    for (const QString &argument : arguments)
        storage.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &item : storage)
        argv.push_back(item.data());
    argv.push_back(nullptr);

    pid_t pid = -1;
    int error = 0;
    {
        const SpawnSetup setup(pipeEnds[1], QFile::encodeName(m_workingDirectory));
        error = posix_spawn(&pid, programPath.constData(), setup.actions(), setup.attributes(),
                            argv.data(), environ);
    }
    closeDescriptor(pipeEnds[1]);
    if (error != 0) {
        closeDescriptor(pipeEnds[0]);
        reportFailedStart();
        return;
    }
    m_pid = pid;
    watchExit();
    if (pipeEnds[0] >= 0)
        watchOutput(pipeEnds[0]);
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
    int status = 0;
    pid_t reaped = -1;
    do {
        reaped = ::waitpid(m_pid, &status, WNOHANG);
    } while (reaped < 0 && errno == EINTR);
    if (reaped == 0)
        return;
    // Whatever the engine wrote before it ended; a converter that it left behind and that
    // still holds the pipe is not waited for.
    readOutput();
    closeOutput();
    forget();
    const bool exited = reaped > 0 && WIFEXITED(status);
    emit finished(exited ? WEXITSTATUS(status) : -1, !exited);
}

void EngineProcess::stop()
{
    m_startFailurePending = false;
    if (m_pid > 0) {
        // The engine leads its own group: the whole group goes, converters included. The
        // engine is not reaped yet, so its id cannot have passed to another process.
        ::kill(-m_pid, SIGKILL);
        int status = 0;
        while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    closeOutput();
    forget();
}

void EngineProcess::forget()
{
    m_pid = -1;
    delete m_exitNotifier;
    m_exitNotifier = nullptr;
    delete m_exitPoll;
    m_exitPoll = nullptr;
    closeDescriptor(m_exitNotice);
}
