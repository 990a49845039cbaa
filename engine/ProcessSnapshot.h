#pragma once

#include <cstdint>
#include <map>
#include <string>

// The platform's list of running processes, reduced to what the engine client needs:
// which processes run a given executable, and who started them.
namespace ProcessSnapshot {

#ifdef _WIN32
using NativeName = std::wstring; // UTF-16, as the Tool Help records give it
#else
using NativeName = std::string; // UTF-8 file name of the executable
#endif

// Process id -> parent process id of every process whose executable file name (without
// folder) equals exeName exactly. Empty when the name is empty or the list is unreadable.
std::map<std::uint32_t, std::uint32_t> processesByExeName(const NativeName &exeName);

} // namespace ProcessSnapshot
