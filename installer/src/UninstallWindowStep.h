#pragma once

#include <windows.h>

#include <string>

// The window step of uninst's second stage, made with the uninstall window: gives the
// framework the instance and the 7z skin packages, creates the uninstall window for the
// product in installDir, centres it and runs its modal loop; once the window is gone it
// destroys the window object (which waits for a running uninstall, within a bound) and closes
// the cached skin package. True when the user started the product installer's copy.
bool ShowUninstallWindow(HINSTANCE instance, const std::wstring &installDir);
