#pragma once

#include <QByteArray>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include <sys/types.h>

// What one engine start needs, taken in the GUI thread.
struct SpawnRequest
{
    QByteArray program;
    std::vector<QByteArray> arguments; // the program's name first
    std::vector<QByteArray> environment;
    QByteArray workingDirectory;
    int outputFd = -1; // the write end for standard output, or -1 for the null device
    // Work the user waits for only indirectly (page counts): the engine runs in a session of
    // its own at a lower priority, so that engines, however many, neither take the window's
    // share of the processors nor slow it down.
    bool background = false;
};

// The outcome of one start, shared between the GUI thread and the launcher.
struct SpawnTicket
{
    std::mutex mutex;
    bool done = false;      // the launcher has tried
    bool cancelled = false; // the engine was stopped first: the launcher ends what it started
    pid_t pid = -1;         // the engine, when the start succeeded
    int outputReadEnd = -1; // handed over with the ticket; closed by whoever drops it
};

// Starts engines from threads of their own, one for background requests. A spawn keeps the
// calling thread waiting until the new program has replaced its copy of the caller, which on
// a busy machine can take a while: the GUI thread only hands the request over and hears back
// through its event loop.
namespace EngineLauncher {

// Starts the engine of request in the launcher thread; unless the ticket was cancelled by
// then, done runs afterwards in the GUI thread. The output write end is closed either way.
void spawn(SpawnRequest request, std::shared_ptr<SpawnTicket> ticket, std::function<void()> done);

// Ends every process of the engine group led by pid and reaps the engine.
void endGroup(pid_t pid);

} // namespace EngineLauncher
