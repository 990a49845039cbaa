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
    bool includeReported = false;
};

void LogOnce(bool &reported, const wchar_t *line)
{
    if (reported)
        return;
    reported = true;
    CBuildLimits::Log(line);
}

thread_local ThreadBuilds builds;

} // namespace

CBuildLimits::Session::Session()
{
    if (builds.sessions++ == 0) {
        builds.controls = 0;
        builds.includes = 0;
        builds.depthReported = false;
        builds.controlsReported = false;
        builds.includesReported = false;
        builds.includeReported = false;
    }
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
    if (builds.controls < kMaxControls) {
        ++builds.controls;
        return true;
    }
    LogOnce(builds.controlsReported,
            L"SkinUI: the build made as many controls as it may; the rest are left out");
    return false;
}

bool CBuildLimits::CountInclude()
{
    if (builds.includes < kMaxIncludes) {
        ++builds.includes;
        return true;
    }
    LogOnce(builds.includesReported,
            L"SkinUI: the build read as many included documents as it may; the rest are left out");
    return false;
}

int CBuildLimits::ControlsMade()
{
    return builds.controls;
}

void CBuildLimits::ReportDeepInclude()
{
    LogOnce(builds.includeReported,
            L"SkinUI: an Include nested deeper than a build allows is left out");
}

void CBuildLimits::Log(const wchar_t *line)
{
    OutputDebugStringW(line);
    OutputDebugStringW(L"\n");
}

} // namespace SkinUI
