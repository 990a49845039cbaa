#include "AppState.h"

#include "utils/CommandLine.h"

namespace {

const wchar_t kInstallDirKey[] = L"-instdir";

AppState processState;

} // namespace

const wchar_t AppState::kUninstallerDataName[] = L"uninst.data";
const wchar_t AppState::kInstallerDataName[] = L"Installer.data";

AppState &AppState::Process()
{
    return processState;
}

void ParseCommandLine(AppState &state, const wchar_t *commandLine)
{
    Utils::CommandLine arguments;
    arguments.Parse(commandLine);
    if (arguments.Has(kInstallDirKey)) {
        state.SetInstallDir(arguments.Value(kInstallDirKey));
    }
}
