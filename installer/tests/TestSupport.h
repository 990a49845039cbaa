#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

// Helpers shared by uninst's tests: scratch folders, files, and the helper programs built
// beside the test programs.
namespace TestSupport {

const wchar_t kStandInName[] = L"TZQuorvane_uninstdata.exe";

// The bound of a wait on a program a test starts: a Wine program started on a busy machine
// takes seconds before it runs, so the bound is a safety net only.
const DWORD kProgramWaitMs = 60000;

// The folder of the running test program, without a trailing backslash.
std::wstring ProgramFolder();

// A fresh folder in the temp folder, removed with everything in it on destruction.
class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    const std::wstring &Path() const { return path_; }
    std::wstring File(const std::wstring &name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

bool WriteBytes(const std::wstring &path, const std::string &bytes);
std::string ReadBytes(const std::wstring &path);
bool FileExists(const std::wstring &path);
std::wstring FromUtf8(const std::string &text);

// Copies the uninstaller stand-in to folder\name and writes its script beside it as
// "<name without extension>.script"; returns the program's path.
std::wstring InstallStandIn(const std::wstring &folder, const std::string &script,
                            const std::wstring &name = kStandInName);
// The stand-in's log: its command line first, then what it reports.
std::string StandInLog(const std::wstring &programPath);

// A program started by a test; one still running when the object goes is ended.
class ChildProcess
{
public:
    struct Options
    {
        // Variables set for the program on top of the test's own environment.
        std::vector<std::pair<std::wstring, std::wstring>> environment;
        // Its current folder; empty: the test's.
        std::wstring folder;
    };

    explicit ChildProcess(const std::wstring &commandLine, const Options &options = Options());
    ~ChildProcess();
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    bool Started() const { return process_ != nullptr; }
    DWORD Id() const { return id_; }
    // The exit code once the program has ended; nothing when it did not start or outlived
    // timeoutMs, and then it is ended.
    std::optional<DWORD> Wait(DWORD timeoutMs);

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// Runs a program and returns its exit code, or -1 when it could not start or outlived
// timeoutMs (it is then terminated).
long RunProgram(const std::wstring &commandLine, DWORD timeoutMs);

// Waits up to timeoutMs for a process of that id to end; true when it is gone.
bool WaitForProcessEnd(DWORD processId, DWORD timeoutMs);

// Ends a process this test started (directly or through a stand-in), by its id.
void EndProcess(DWORD processId);

// A top-level window of the process with this window class and title (null: any), waited for
// up to timeoutMs; null when none came.
HWND WaitForTopWindow(DWORD processId, const wchar_t *className, const wchar_t *title,
                      DWORD timeoutMs);
// The message box with this caption that the process shows, once it shows (its text set),
// waited for up to timeoutMs.
HWND WaitForMessageBox(DWORD processId, const wchar_t *caption, DWORD timeoutMs);
// The text of a message box.
std::wstring MessageBoxText(HWND box);

} // namespace TestSupport
