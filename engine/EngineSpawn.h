#pragma once

#include <QByteArray>

#include <sys/types.h>

#include <vector>

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

// Starts the engine of request as a child of this process and gives its id, or -1 and the
// reason in error. Linux only.
//
// The child shares the caller's memory until the engine replaces it (as a spawn does, not a
// fork: a start costs the same however large the program has grown), and sets itself up on
// the way: standard input and error from and to the null device, standard output to
// outputFd, the working folder, no other descriptor inherited, default signal handling, and
// a process group of its own (in a session of its own for background engines). Beyond what
// a spawn offers, the engine
// - is ended by the kernel when this program ends, even by a kill (a parent-death signal,
//   given up on when the program has ended already before it was set);
// - takes in whatever its converters leave behind when they end before their own children
//   (it is their "subreaper"), so that a converter that left the engine's session and group
//   is still found below the engine.
// The parent-death signal follows the thread that starts the engine: only threads that last
// as long as the program may call this.
pid_t spawnEngineChild(const SpawnRequest &request, int &error);
