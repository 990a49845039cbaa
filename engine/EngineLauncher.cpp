#include "EngineLauncher.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <deque>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// How much lower than the program's own a background engine's priority is.
constexpr int kBackgroundNice = 10;

// The spawn's file actions and attributes: standard input and error from and to the null
// device, standard output to outputFd (or the null device), the working folder, no other
// descriptor inherited, a process group of its own (in a session of its own for background
// engines) and default signal handling.
class SpawnSetup
{
public:
    SpawnSetup(int outputFd, const QByteArray &workingDirectory, bool ownSession)
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
        // A new session is a new process group as well, led by the engine.
        posix_spawnattr_setpgroup(&m_attributes, 0);
        const short group = ownSession ? POSIX_SPAWN_SETSID : POSIX_SPAWN_SETPGROUP;
        posix_spawnattr_setflags(&m_attributes,
                                 group | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
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

// Waits up to limit for the child pid to end, leaving it unreaped.
void waitForExit(pid_t pid, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        siginfo_t info = {};
        if (::waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0 && errno != EINTR)
            return;
        if (info.si_pid == pid || std::chrono::steady_clock::now() >= deadline)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

struct Job
{
    SpawnRequest request;
    std::shared_ptr<SpawnTicket> ticket;
    std::function<void()> done;
};

pid_t spawnEngine(const SpawnRequest &request, int &error)
{
    std::vector<char *> argv;
    for (const QByteArray &item : request.arguments)
        argv.push_back(const_cast<char *>(item.constData()));
    argv.push_back(nullptr);
    std::vector<char *> envp;
    for (const QByteArray &item : request.environment)
        envp.push_back(const_cast<char *>(item.constData()));
    envp.push_back(nullptr);
    const SpawnSetup setup(request.outputFd, request.workingDirectory, request.background);
    pid_t pid = -1;
    error = posix_spawn(&pid, request.program.constData(), setup.actions(), setup.attributes(),
                        argv.data(), envp.data());
    return error == 0 ? pid : -1;
}

// Where the scheduler shares the processors out by session first (autogroups), a session
// of its own alone would give every background engine as large a share as the whole program:
// its session is given the lower priority too. The engine's own children share its session,
// whenever they were started. Without autogroups there is nothing to do.
void lowerSessionPriority(pid_t engine)
{
    QFile group(QStringLiteral("/proc/%1/autogroup").arg(engine));
    if (group.open(QIODevice::WriteOnly))
        group.write(QByteArray::number(kBackgroundNice));
}

void run(Job &job)
{
    int error = 0;
    const pid_t pid = spawnEngine(job.request, error);
    if (pid > 0 && job.request.background)
        lowerSessionPriority(pid);
    if (job.request.outputFd >= 0)
        ::close(job.request.outputFd);
    {
        const std::lock_guard<std::mutex> lock(job.ticket->mutex);
        job.ticket->done = true;
        job.ticket->pid = pid;
        if (job.ticket->cancelled) {
            if (pid > 0)
                EngineLauncher::endGroup(pid);
            if (job.ticket->outputReadEnd >= 0)
                ::close(job.ticket->outputReadEnd);
            job.ticket->outputReadEnd = -1;
            return;
        }
    }
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(job.done),
                              Qt::QueuedConnection);
}

// A launcher thread and its queue; never torn down, so that it outlives every caller. An
// engine inherits the priority of the thread that spawns it: the background launcher runs
// at the lower priority, set once as it starts.
class Launcher
{
public:
    static Launcher &instance(bool background)
    {
        static Launcher *foreground = new Launcher(0);
        static Launcher *backgroundLauncher = new Launcher(kBackgroundNice);
        return background ? *backgroundLauncher : *foreground;
    }

    void add(Job job)
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_jobs.push_back(std::move(job));
        }
        m_wake.notify_one();
    }

private:
    explicit Launcher(int niceIncrement)
    {
        std::thread([this, niceIncrement] { serve(niceIncrement); }).detach();
    }

    void serve(int niceIncrement)
    {
        if (niceIncrement > 0) {
            // On Linux a priority belongs to the thread: 0 names the calling one.
            errno = 0;
            const int own = ::getpriority(PRIO_PROCESS, 0);
            if (errno == 0)
                ::setpriority(PRIO_PROCESS, 0, qMin(own + niceIncrement, 19));
        }
        for (;;) {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return !m_jobs.empty(); });
            Job job = std::move(m_jobs.front());
            m_jobs.pop_front();
            lock.unlock();
            run(job);
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
};

} // namespace

namespace EngineLauncher {

void spawn(SpawnRequest request, std::shared_ptr<SpawnTicket> ticket, std::function<void()> done)
{
    const bool background = request.background;
    Launcher::instance(background).add({std::move(request), std::move(ticket), std::move(done)});
}

void endGroup(pid_t pid)
{
    // The engine leads its own group: the whole group goes, converters included. It is asked
    // first, so that it can take away what it made on the way (work folders, LibreOffice
    // profiles); what is left after a short while is killed. The engine is not reaped
    // before that, so its id cannot have passed to another process.
    ::kill(-pid, SIGTERM);
    waitForExit(pid, std::chrono::milliseconds(1000));
    ::kill(-pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

} // namespace EngineLauncher
