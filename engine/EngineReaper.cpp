#include "EngineReaper.h"

#include "ProcessFamily.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <deque>
#include <filesystem>
#include <mutex>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace EngineReaper {
namespace {

using Clock = std::chrono::steady_clock;

// How often the engines that are ending are looked at, and how often the process table is
// read again while they live, so that what they start meanwhile is not missed.
constexpr std::chrono::milliseconds kLookInterval{10};
constexpr std::chrono::milliseconds kRescanInterval{250};
// Beyond the grace, how long quitting waits for killed engines to be reaped.
constexpr std::chrono::milliseconds kReapAllowance{500};

// The priority of an engine that is being ended: the lowest.
constexpr int kEndingNice = 19;

std::atomic<std::chrono::milliseconds::rep> graceMs{kGrace.count()};

struct Ending
{
    pid_t engine = -1; // -1: reaped already, only its leftovers are left
    std::vector<QByteArray> leftovers;
    Clock::time_point deadline;                // set once it has been asked to end
    std::vector<ProcessFamily::Member> family; // what ran below the engine
    bool asked = false;
    bool killed = false;
};

enum class EngineState
{
    Running,
    Ended, // and not reaped yet
    Gone   // reaped by someone else: its id may have passed on
};

EngineState engineState(pid_t pid)
{
    siginfo_t info = {};
    if (::waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0)
        return EngineState::Gone;
    return info.si_pid == pid ? EngineState::Ended : EngineState::Running;
}

void reap(pid_t pid)
{
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

// Files, and folders with all in them; links are removed, never followed.
void removeLeftovers(const std::vector<QByteArray> &leftovers)
{
    for (const QByteArray &path : leftovers) {
        std::error_code error;
        std::filesystem::remove_all(std::filesystem::path(path.constData()), error);
    }
}

void addFamily(Ending &ending, const ProcessFamily::Table &table)
{
    for (const ProcessFamily::Member &member : table.descendantsOf(ending.engine)) {
        const bool known = std::any_of(ending.family.begin(), ending.family.end(), [&](auto &m) {
            return m.pid == member.pid && m.startTime == member.startTime;
        });
        if (!known)
            ending.family.push_back(member);
    }
}

void signalAll(Ending &ending, int signal, EngineState state)
{
    // The engine is not reaped before this, so its group id cannot have passed on.
    if (state != EngineState::Gone)
        ::kill(-ending.engine, signal);
    for (const ProcessFamily::Member &member : ending.family)
        ProcessFamily::signal(member, signal);
}

class Reaper
{
public:
    static Reaper &instance()
    {
        // Never torn down, so that it outlives every caller.
        static Reaper *reaper = new Reaper;
        return *reaper;
    }

    void add(pid_t engine, std::vector<QByteArray> leftovers)
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            Ending ending;
            ending.engine = engine;
            ending.leftovers = std::move(leftovers);
            m_handedOver.push_back(std::move(ending));
            ++m_count;
        }
        m_changed.notify_all();
    }

    void finish(std::chrono::milliseconds limit)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        const Clock::time_point killAt = Clock::now() + limit;
        m_killBy = std::min(m_killBy, killAt);
        m_changed.notify_all();
        m_changed.wait_until(lock, killAt + kReapAllowance, [this] { return m_count == 0; });
        m_killBy = Clock::time_point::max(); // those left have been killed
    }

    int count()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_count;
    }

private:
    Reaper()
    {
        std::thread([this] { serve(); }).detach();
    }

    void serve()
    {
        std::vector<Ending> endings;
        Clock::time_point nextScan;
        for (;;) {
            Clock::time_point killBy;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                if (endings.empty())
                    m_changed.wait(lock, [this] { return !m_handedOver.empty(); });
                else
                    m_changed.wait_for(lock, kLookInterval);
                for (Ending &ending : m_handedOver)
                    endings.push_back(std::move(ending));
                m_handedOver.clear();
                killBy = m_killBy;
            }
            // One reading of the process table serves every engine; it is made without the
            // lock, so that a stop never waits for it.
            const Clock::time_point now = Clock::now();
            // Leftovers of engines reaped already need no reading.
            const bool newcomers =
                std::any_of(endings.begin(), endings.end(), [](const Ending &ending) {
                    return !ending.asked && ending.engine > 0;
                });
            const bool engines =
                std::any_of(endings.begin(), endings.end(),
                            [](const Ending &ending) { return ending.engine > 0; });
            ProcessFamily::Table table;
            const bool scanned = engines && (newcomers || now >= nextScan);
            if (scanned) {
                table = ProcessFamily::Table::read();
                nextScan = now + kRescanInterval;
            }
            const size_t before = endings.size();
            endings.erase(std::remove_if(endings.begin(), endings.end(),
                                         [&](Ending &ending) {
                                             return look(ending, killBy,
                                                         scanned ? &table : nullptr);
                                         }),
                          endings.end());
            if (endings.size() != before) {
                {
                    const std::lock_guard<std::mutex> lock(m_mutex);
                    m_count -= int(before - endings.size());
                }
                m_changed.notify_all();
            }
        }
    }

    // True once the engine has ended, been reaped, and its leftovers removed. table: the
    // process table as it is now, when it was read.
    static bool look(Ending &ending, Clock::time_point killBy, const ProcessFamily::Table *table)
    {
        if (ending.engine <= 0) {
            removeLeftovers(ending.leftovers);
            return true;
        }
        const EngineState state = engineState(ending.engine);
        const bool ended = state != EngineState::Running;
        if (!ended && table)
            addFamily(ending, *table); // also what a converter started meanwhile
        if (!ending.asked) {
            ending.asked = true;
            ending.deadline = Clock::now() + std::chrono::milliseconds(graceMs.load());
            // Its clean-up runs behind the window: many engines ended at once would otherwise
            // take the window's share of the processors.
            if (state != EngineState::Gone)
                ::setpriority(PRIO_PGRP, id_t(ending.engine), kEndingNice);
            signalAll(ending, SIGTERM, state);
        }
        const Clock::time_point now = Clock::now();
        if (!ending.killed && (ended || now >= ending.deadline || now >= killBy)) {
            // An engine that ended on its own leaves nothing behind either.
            signalAll(ending, SIGKILL, state);
            ending.killed = true;
        }
        if (!ended || !ending.killed)
            return false;
        if (state == EngineState::Ended)
            reap(ending.engine);
        removeLeftovers(ending.leftovers);
        return true;
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Ending> m_handedOver;
    int m_count = 0;
    Clock::time_point m_killBy = Clock::time_point::max();
};

} // namespace

void start()
{
    Reaper::instance();
}

void setGrace(std::chrono::milliseconds grace)
{
    graceMs = grace.count();
}

void end(pid_t engine, std::vector<QByteArray> leftovers)
{
    Reaper::instance().add(engine, std::move(leftovers));
}

void remove(std::vector<QByteArray> leftovers)
{
    if (!leftovers.empty())
        Reaper::instance().add(-1, std::move(leftovers));
}

void finish(std::chrono::milliseconds limit)
{
    Reaper::instance().finish(limit);
}

int ending()
{
    return Reaper::instance().count();
}

} // namespace EngineReaper
