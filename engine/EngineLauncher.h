#pragma once

#include "EngineSpawn.h"

#include <QByteArray>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include <sys/types.h>

// The outcome of one start, shared between the GUI thread and the launcher.
struct SpawnTicket
{
    std::mutex mutex;
    bool done = false;      // the launcher has tried
    bool cancelled = false; // the engine was stopped first: the launcher ends what it started
    pid_t pid = -1;         // the engine, when the start succeeded
    int outputReadEnd = -1; // handed over with the ticket; closed by whoever drops it
    std::vector<QByteArray> leftovers; // of a cancelled start: removed once it has ended
};

// Starts engines from threads of their own, one for background requests, which last as long
// as the program (an engine's parent-death signal follows the thread that started it). A
// start keeps the calling thread waiting until the new program has replaced its copy of the
// caller, which on a busy machine can take a while: the GUI thread only hands the request
// over and hears back through its event loop.
namespace EngineLauncher {

// Starts the engine of request in the launcher thread; unless the ticket was cancelled by
// then, done runs afterwards in the GUI thread. The output write end is closed either way.
void spawn(SpawnRequest request, std::shared_ptr<SpawnTicket> ticket, std::function<void()> done);

} // namespace EngineLauncher
