#pragma once

#include <string>

// What uninst knows about its own run, one record for the whole process.
class AppState
{
public:
    static const wchar_t kUninstallerDataName[];
    static const wchar_t kInstallerDataName[];

    // The record of this process, made before wWinMain runs.
    static AppState &Process();

    void SetInstallDir(const std::wstring &folder) { installDir_ = folder; }
    const std::wstring &InstallDir() const { return installDir_; }

    void SetCommandLine(const std::wstring &arguments) { commandLine_ = arguments; }
    // The arguments uninst was given, without its program name.
    const std::wstring &CommandLine() const { return commandLine_; }

    // Files beside uninst: the silent uninstaller and the product installer.
    const std::wstring &UninstallerDataName() const { return uninstallerDataName_; }
    const std::wstring &InstallerDataName() const { return installerDataName_; }

private:
    std::wstring commandLine_;
    std::wstring installDir_;
    std::wstring uninstallerDataName_ = kUninstallerDataName;
    std::wstring installerDataName_ = kInstallerDataName;
};

// Reads "-instdir" of the command line into the state; other keys are ignored. An empty
// value leaves the install folder empty, so uninst runs as the first stage.
void ParseCommandLine(AppState &state, const wchar_t *commandLine);
