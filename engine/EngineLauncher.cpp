#include "EngineLauncher.h"

#include "EngineReaper.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <condition_variable>
#include <deque>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

// How much lower than the program's own a background engine's priority is.
constexpr int kBackgroundNice = 10;

struct Job
{
    SpawnRequest request;
    std::shared_ptr<SpawnTicket> ticket;
    std::function<void()> done;
};

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
    const pid_t pid = spawnEngineChild(job.request, error);
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
                EngineReaper::end(pid, std::move(job.ticket->leftovers));
            else
                EngineReaper::remove(std::move(job.ticket->leftovers));
            if (job.ticket->outputReadEnd >= 0)
                ::close(job.ticket->outputReadEnd);
            job.ticket->outputReadEnd = -1;
            return;
        }
    }
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(job.done),
                              Qt::QueuedConnection);
}

// A launcher thread and its queue; never torn down, so that it outlives every caller and
// every engine it started. An engine inherits the priority of the thread that starts it:
// the background launcher runs at the lower priority, set once as it starts.
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
    // Made here rather than by the background launcher, which would hand its lower priority
    // on to the thread that ends the engines.
    EngineReaper::start();
    const bool background = request.background;
    Launcher::instance(background).add({std::move(request), std::move(ticket), std::move(done)});
}

} // namespace EngineLauncher
