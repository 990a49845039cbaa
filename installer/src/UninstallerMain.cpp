#include "UninstallerMain.h"

#include "AppState.h"
#include "CShadowWindow.h"
#include "HardenDllSearchPath.h"
#include "MainProgramTurn.h"
#include "RelaunchFromTemp.h"
#include "TempCopies.h"
#include "utils/NamedMutex.h"

namespace {

const wchar_t kUninstallerMutexName[] = L"UnInstaller_Quorvane";

// A crash takes the system's usual way.
LONG WINAPI LeaveToSystem(EXCEPTION_POINTERS *)
{
    return EXCEPTION_CONTINUE_SEARCH;
}

int RunStageTwo(HINSTANCE instance, const std::wstring &installDir, UninstallWindowStep showWindow)
{
    Utils::NamedMutex mutex(kUninstallerMutexName);
    if (!mutex.Acquire()) {
        return -1;
    }
    registerShadowClass(instance);
    const bool installerStarted = showWindow(instance, installDir);
    RemoveTempCopiesBesideProgram(installerStarted);
    return 0;
}

} // namespace

int RunUninstaller(HINSTANCE instance, const wchar_t *arguments, UninstallWindowStep showWindow)
{
    RunMainProgramTurn();
    SetUnhandledExceptionFilter(LeaveToSystem);
    HardenDllSearchPath();

    AppState &state = AppState::Process();
    state.SetCommandLine(arguments != nullptr ? arguments : L"");
    ParseCommandLine(state, GetCommandLineW());
    if (state.InstallDir().empty()) {
        return RelaunchFromTemp(state);
    }
    return RunStageTwo(instance, state.InstallDir(), showWindow);
}
