#pragma once

#include <windows.h>

namespace Utils {

// Opens a file or address with the shell's "open" verb; returns the shell's result (greater
// than 32 on success).
HINSTANCE ShellOpen(const wchar_t *fileOrAddress, int showCommand);

} // namespace Utils
