// Tries to take the uninstaller's named mutex given as the only argument.
// Exit code 0: acquired; 1: another holder has it; 2: bad arguments.
#include "utils/NamedMutex.h"

#include <windows.h>

#include <shellapi.h>

int main()
{
    int count = 0;
    LPWSTR *arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr || count != 2) {
        return 2;
    }
    Utils::NamedMutex mutex(arguments[1]);
    LocalFree(arguments);
    return mutex.Acquire() ? 0 : 1;
}
