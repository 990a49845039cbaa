#pragma once

#include <windows.h>

#include <string>

// Shows the uninstall window for the product in installDir and returns once it is gone: true
// when the user started the product installer's copy from it.
using UninstallWindowStep = bool (*)(HINSTANCE instance, const std::wstring &installDir);

// The whole run of uninst as wWinMain makes it: the main program's turn, the hardened library
// search, then stage one (relaunch from the temp folder) without an install folder, or stage
// two: the single-instance mutex, the uninstall window and the removal of the temp copies it
// no longer needs. The result is the process exit code: 0, or -1 when another uninstaller is
// running, or when stage one is given up by the user or has no copy to start.
int RunUninstaller(HINSTANCE instance, const wchar_t *arguments, UninstallWindowStep showWindow);
