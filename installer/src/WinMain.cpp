#include "UninstallWindowStep.h"
#include "UninstallerMain.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int)
{
    return RunUninstaller(instance, arguments, ShowUninstallWindow);
}
