#include "BuildLimits.h"

#include <windows.h>

namespace SkinUI {

namespace {

struct ThreadBuilds
{
    int sessions = 0;
    int levels = 0;
    int controls = 0;
    int includes = 0;
    bool depthReported = false;
    bool controlsReported = false;
    bool includesReported = false;
    bool deepIncludeReported = false;
};

void LogOnce(bool &reported, const wchar_t *line)
{
    if (reported)
        return;
    reported = true;
    CBuildLimits::Log(line);
}

thread_local ThreadBuilds builds;

// Counts one more while the count is below the bound; the first refusal is logged.
bool CountUpTo(int &count, int bound, bool &reported, const wchar_t *line)
{
    if (count < bound) {
        ++count;
        return true;
    }
    LogOnce(reported, line);
    return false;
}

} // namespace

CBuildLimits::Session::Session()
{
    if (builds.sessions == 0) {
        // Levels belong to the stack, which an outermost session may start partway down.
        const int levels = builds.levels;
        builds = ThreadBuilds{};
        builds.levels = levels;
    }
    ++builds.sessions;
}

CBuildLimits::Session::~Session()
{
    --builds.sessions;
}

CBuildLimits::Level::Level()
{
    ++builds.levels;
}

CBuildLimits::Level::~Level()
{
    --builds.levels;
}

int CBuildLimits::OpenLevels()
{
    return builds.levels;
}

bool CBuildLimits::MayNest()
{
    if (builds.levels < kMaxDepth)
        return true;
    LogOnce(builds.depthReported,
            L"SkinUI: controls nested deeper than a build allows are left out");
    return false;
}

bool CBuildLimits::CountControl()
{
    return CountUpTo(builds.controls, kMaxControls, builds.controlsReported,
                     L"SkinUI: the build made as many controls as it may; the rest are left out");
}

bool CBuildLimits::CountInclude()
{
    return CountUpTo(
        builds.includes, kMaxIncludes, builds.includesReported,
        L"SkinUI: the build read as many included documents as it may; the rest are left out");
}

int CBuildLimits::ControlsMade()
{
    return builds.controls;
}

void CBuildLimits::ReportDeepInclude()
{
    LogOnce(builds.deepIncludeReported,
            L"SkinUI: an Include nested deeper than a build allows is left out");
}

void CBuildLimits::Log(const wchar_t *line)
{
    OutputDebugStringW(line);
    OutputDebugStringW(L"\n");
}

} // namespace SkinUI
