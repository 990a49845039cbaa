#include "ProcessSnapshot.h"

#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

bool isNumber(const char *text)
{
    if (!*text)
        return false;
    for (; *text; ++text) {
        if (*text < '0' || *text > '9')
            return false;
    }
    return true;
}

// The name comes from the executable link: "comm" is cut at 15 characters.
std::string executableFileName(const std::string &procDir)
{
    char target[4096];
    const ssize_t length = readlink((procDir + "/exe").c_str(), target, sizeof(target) - 1);
    if (length <= 0)
        return {};
    std::string path(target, static_cast<size_t>(length));
    const std::string deletedMark = " (deleted)";
    if (path.size() > deletedMark.size() &&
        path.compare(path.size() - deletedMark.size(), deletedMark.size(), deletedMark) == 0)
        path.resize(path.size() - deletedMark.size());
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The parent id is the second field after the command name, which may itself hold blanks
// and parentheses; so the fields are read after the last ')'.
bool parentProcessId(const std::string &procDir, std::uint32_t &parent)
{
    std::ifstream statFile(procDir + "/stat");
    std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
    const auto close = stat.rfind(')');
    if (close == std::string::npos)
        return false;
    std::istringstream fields(stat.substr(close + 1));
    std::string state;
    unsigned long ppid = 0;
    if (!(fields >> state >> ppid))
        return false;
    parent = static_cast<std::uint32_t>(ppid);
    return true;
}

} // namespace

namespace ProcessSnapshot {

std::map<std::uint32_t, std::uint32_t> processesByExeName(const NativeName &exeName)
{
    std::map<std::uint32_t, std::uint32_t> found;
    if (exeName.empty())
        return found;

    DIR *proc = opendir("/proc");
    if (!proc)
        return found;
    while (const dirent *entry = readdir(proc)) {
        if (!isNumber(entry->d_name))
            continue;
        const std::string procDir = std::string("/proc/") + entry->d_name;
        std::uint32_t parent = 0;
        if (executableFileName(procDir) == exeName && parentProcessId(procDir, parent))
            found[static_cast<std::uint32_t>(std::strtoul(entry->d_name, nullptr, 10))] = parent;
    }
    closedir(proc);
    return found;
}

} // namespace ProcessSnapshot
