#pragma once

#include <string>

class AppState;

// The full path of the running program.
std::wstring ModulePath();
// Drive and folder of the running program, ending with a backslash.
std::wstring ModuleFolder();
// A file of that name in the running program's folder.
std::wstring FileBesideModule(const std::wstring &name);

// The silent uninstaller and the product installer as they lie beside uninst.
std::wstring GetUninstallerDataPath(const AppState &state);
std::wstring GetInstallerDataPath(const AppState &state);
