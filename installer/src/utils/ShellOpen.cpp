#include "utils/ShellOpen.h"

#include <shellapi.h>

namespace Utils {

HINSTANCE ShellOpen(const wchar_t *fileOrAddress, int showCommand)
{
    return ShellExecuteW(nullptr, L"open", fileOrAddress, nullptr, nullptr, showCommand);
}

} // namespace Utils
