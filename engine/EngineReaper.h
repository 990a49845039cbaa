#pragma once

#include <QByteArray>

#include <sys/types.h>

#include <chrono>
#include <vector>

// Ends engines away from the window's thread, all at once: each is asked to end (SIGTERM to
// its process group and to whatever it started in other sessions or groups, at the lowest
// priority so that its clean-up runs behind the window), given a grace of a second to take
// away what it made, then killed with all of those, reaped, and the files and folders it was
// writing are removed. Linux only.
namespace EngineReaper {

constexpr std::chrono::milliseconds kGrace{1000};

// The grace for the engines handed over afterwards; tests lengthen it, to see that nothing
// waits for it.
void setGrace(std::chrono::milliseconds grace);

// Starts the thread that ends engines, at the calling thread's priority, unless it runs
// already; the first end() starts it too.
void start();

// Ends engine, the leader of its own process group and a child of this program that has not
// been reaped; leftovers (files, and folders with all in them) are removed once it has ended.
// Returns at once.
void end(pid_t engine, std::vector<QByteArray> leftovers = {});

// Removes the leftovers of an engine that has ended and been reaped already, away from the
// calling thread. Returns at once.
void remove(std::vector<QByteArray> leftovers);

// For quitting: waits until every engine handed over has ended, at most limit for all of
// them together, then kills those left. Engines handed over later are still ended.
void finish(std::chrono::milliseconds limit = kGrace);

// How many engines are being ended.
int ending();

} // namespace EngineReaper
