// Runs one test program on a desktop of its own and returns its exit code.
//
// All programs of one wineserver share its default desktop, and the foreground with it: when a
// program's active window goes, Wine hands the foreground to the next visible window in the
// desktop's z-order, often another test program's; the next program that shows a window with
// activation then takes the foreground from that one, which loses its active window and its
// keyboard focus in the middle of its test. On a desktop of its own a test sees only its own
// windows and those of the programs it starts, which inherit the desktop.
//
// The program runs in a job that ends with this process, so a test stopped at ctest's timeout
// takes its whole process tree with it.
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

struct Handle
{
    HANDLE value = nullptr;
    Handle() = default;
    explicit Handle(HANDLE handle) : value(handle) {}
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    ~Handle()
    {
        if (value)
            CloseHandle(value);
    }
};

struct Desktop
{
    HDESK value = nullptr;
    explicit Desktop(HDESK desktop) : value(desktop) {}
    Desktop(const Desktop &) = delete;
    Desktop &operator=(const Desktop &) = delete;
    ~Desktop()
    {
        if (value)
            CloseDesktop(value);
    }
};

// Exit code of a test that could not be started; ctest reports it as a failure.
const int kNotStarted = 125;

int Say(const char *message)
{
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), message, lstrlenA(message), &written, nullptr);
    return kNotStarted;
}

int Fail(const char *what)
{
    char message[160];
    wsprintfA(message, "wine-own-desktop: %s failed (error %lu)\r\n", what, GetLastError());
    return Say(message);
}

// The command line after this program's own name, quoting kept as it was given.
const wchar_t *CommandAfterOwnName()
{
    const wchar_t *at = GetCommandLineW();
    if (*at == L'"') {
        at = std::wcschr(at + 1, L'"');
        at = at ? at + 1 : L"";
    } else {
        while (*at && *at != L' ' && *at != L'\t')
            ++at;
    }
    while (*at == L' ' || *at == L'\t')
        ++at;
    return at;
}

// The process that draws the desktop's window. Wine starts it with the desktop's first window,
// handing it the output of the program that made that window, and ends it about a second after
// the desktop's last program; closing its window ends it at once, so that ctest, which reads
// that output to its end, does not wait for it.
class DesktopHost
{
public:
    DesktopHost() : m_window(GetDesktopWindow())
    {
        DWORD processId = 0;
        GetWindowThreadProcessId(m_window, &processId);
        m_process.value = OpenProcess(SYNCHRONIZE, FALSE, processId);
    }
    DesktopHost(const DesktopHost &) = delete;
    DesktopHost &operator=(const DesktopHost &) = delete;
    ~DesktopHost()
    {
        if (m_process.value && PostMessageW(m_window, WM_CLOSE, 0, 0))
            WaitForSingleObject(m_process.value, 5000);
    }

private:
    HWND m_window;
    Handle m_process;
};

// Whether a window can be made on the thread's desktop. Wine starts the desktop's process with
// the desktop's first window and gives up waiting for it after a few seconds, which a busy
// machine may take; no window can be made then, and asked again, the process is there. The
// bound is a safety net far above what the desktop takes on a loaded machine.
bool DesktopAnswers()
{
    const DWORD kBoundMs = 600000;
    const DWORD start = GetTickCount();
    for (;;) {
        if (GetDesktopWindow()) {
            HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                         GetModuleHandleW(nullptr), nullptr);
            if (probe) {
                DestroyWindow(probe);
                return true;
            }
        }
        if (GetTickCount() - start > kBoundMs)
            return false;
        Sleep(200);
    }
}

// A job whose processes end when it is closed.
HANDLE CreateKillOnCloseJob()
{
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (!job)
        return nullptr;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof(limits))) {
        CloseHandle(job);
        return nullptr;
    }
    return job;
}

// Starts the program suspended. On a loaded machine Wine now and then fails a start with an
// internal error before the program ran a single instruction; that start is made again, so
// that the test decides its outcome, not the start.
bool StartSuspended(std::wstring &command, STARTUPINFOW &startup, PROCESS_INFORMATION &started)
{
    const int kStarts = 5;
    for (int start = 1;; ++start) {
        if (CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr,
                           nullptr, &startup, &started))
            return true;
        if (GetLastError() != ERROR_INTERNAL_ERROR || start == kStarts)
            return false;
        Say("wine-own-desktop: the start failed inside Wine (error 1359), starting again\r\n");
        Sleep(1000 * start);
    }
}

} // namespace

int wmain()
{
    std::wstring command = CommandAfterOwnName();
    if (command.empty())
        return Say("usage: wine-own-desktop <program> [arguments...]\r\n");

    const std::wstring name = L"test-" + std::to_wstring(GetCurrentProcessId());
    Desktop desktop(CreateDesktopW(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr));
    if (!desktop.value)
        return Fail("CreateDesktop");
    if (!SetThreadDesktop(desktop.value))
        return Fail("SetThreadDesktop");
    // Made here, the desktop's window neither costs the test time at its first window nor
    // takes the test's output with it.
    if (!DesktopAnswers())
        return Fail("a window on the test's desktop");
    DesktopHost host;

    // Declared after the host, so that what the test left running goes before the host does.
    Handle job(CreateKillOnCloseJob());
    if (!job.value)
        return Fail("CreateJobObject");

    std::wstring desktopPath = L"WinSta0\\" + name;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.lpDesktop = &desktopPath[0];
    PROCESS_INFORMATION started = {};
    if (!StartSuspended(command, startup, started))
        return Fail("CreateProcess");
    Handle process(started.hProcess);
    Handle thread(started.hThread);
    if (!AssignProcessToJobObject(job.value, process.value)) {
        TerminateProcess(process.value, kNotStarted);
        return Fail("AssignProcessToJobObject");
    }
    ResumeThread(thread.value);

    WaitForSingleObject(process.value, INFINITE);
    DWORD exitCode = kNotStarted;
    GetExitCodeProcess(process.value, &exitCode);
    return static_cast<int>(exitCode);
}
