#include "TestSupport.h"

#include "utils/Strings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <cwchar>

namespace TestSupport {

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.rfind(L'\\'));
}

ScratchFolder::ScratchFolder()
{
    static unsigned int counter = 0;
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    // Process ids come round again within one test session, and a process of the same id may
    // have left its folder with a program still running in it: the start time keeps them apart.
    path_ = std::wstring(temp) + L"uninst_test_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
            std::to_wstring(GetTickCount64()) + L"_" + std::to_wstring(++counter);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
    std::filesystem::create_directories(path_, ignored);
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

bool WriteBytes(const std::wstring &path, const std::string &bytes)
{
    std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file.good();
}

std::string ReadBytes(const std::wstring &path)
{
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool FileExists(const std::wstring &path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring FromUtf8(const std::string &text)
{
    return Utils::ToWideString(text, CP_UTF8);
}

std::wstring InstallStandIn(const std::wstring &folder, const std::string &script,
                            const std::wstring &name)
{
    const std::wstring program = folder + L"\\" + name;
    if (!CopyFileW((ProgramFolder() + L"\\" + kStandInName).c_str(), program.c_str(), FALSE)) {
        ADD_FAILURE() << "the stand-in could not be copied to "
                      << Utils::ToNarrowString(program, CP_UTF8) << " (error " << GetLastError()
                      << ")";
    }
    WriteBytes(program.substr(0, program.rfind(L'.')) + L".script", script);
    return program;
}

std::string StandInLog(const std::wstring &programPath)
{
    return ReadBytes(programPath.substr(0, programPath.rfind(L'.')) + L".log");
}

namespace {

// The test's environment with some variables set anew, as a block for CreateProcessW.
std::wstring EnvironmentBlock(const std::vector<std::pair<std::wstring, std::wstring>> &changes)
{
    std::wstring block;
    wchar_t *strings = GetEnvironmentStringsW();
    for (const wchar_t *entry = strings; *entry != L'\0'; entry += wcslen(entry) + 1) {
        const std::wstring text(entry);
        const std::wstring name = text.substr(0, text.find(L'=', 1));
        bool changed = false;
        for (const auto &change : changes) {
            changed = changed || _wcsicmp(name.c_str(), change.first.c_str()) == 0;
        }
        if (!changed) {
            block += text + L'\0';
        }
    }
    FreeEnvironmentStringsW(strings);
    for (const auto &change : changes) {
        block += change.first + L"=" + change.second + L'\0';
    }
    return block + L'\0';
}

} // namespace

ChildProcess::ChildProcess(const std::wstring &commandLine, const Options &options)
{
    std::wstring buffer = commandLine;
    std::wstring environment = EnvironmentBlock(options.environment);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, &buffer[0], nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        &environment[0], options.folder.empty() ? nullptr : options.folder.c_str(),
                        &startup, &info)) {
        return;
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
}

ChildProcess::~ChildProcess()
{
    if (process_ != nullptr) {
        Wait(0);
        CloseHandle(process_);
    }
}

std::optional<DWORD> ChildProcess::Wait(DWORD timeoutMs)
{
    if (process_ == nullptr) {
        return std::nullopt;
    }
    if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, kProgramWaitMs);
        return std::nullopt;
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process_, &exitCode);
    return exitCode;
}

long RunProgram(const std::wstring &commandLine, DWORD timeoutMs)
{
    ChildProcess child(commandLine);
    const std::optional<DWORD> exitCode = child.Wait(timeoutMs);
    return exitCode ? static_cast<long>(*exitCode) : -1;
}

bool WaitForProcessEnd(DWORD processId, DWORD timeoutMs)
{
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (process == nullptr) {
        return true;
    }
    const bool ended = WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

void EndProcess(DWORD processId)
{
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
    if (process != nullptr) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, kProgramWaitMs);
        CloseHandle(process);
    }
}

namespace {

struct WindowSearch
{
    DWORD processId;
    const wchar_t *className;
    const wchar_t *title;
    HWND found;
};

bool Matches(const wchar_t *wanted, const wchar_t *actual)
{
    return wanted == nullptr || std::wcscmp(wanted, actual) == 0;
}

BOOL CALLBACK FindTopWindow(HWND window, LPARAM data)
{
    auto *search = reinterpret_cast<WindowSearch *>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    // Read as stored, never asked of the window: asking a window of this process sends it a
    // message, which hangs a searching thread while the window's own thread waits for it.
    wchar_t title[64] = {};
    InternalGetWindowText(window, title, 64);
    if (owner == search->processId && Matches(search->className, className) &&
        Matches(search->title, title)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND WaitForTopWindow(DWORD processId, const wchar_t *className, const wchar_t *title,
                      DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    WindowSearch search{processId, className, title, nullptr};
    while (EnumWindows(FindTopWindow, reinterpret_cast<LPARAM>(&search)) &&
           GetTickCount() - start < timeoutMs) {
        Sleep(50);
    }
    return search.found;
}

HWND WaitForMessageBox(DWORD processId, const wchar_t *caption, DWORD timeoutMs)
{
    // A box has its caption as soon as it is made, and its text only once it is set up, just
    // before it shows: on a busy machine a search may find it in between.
    const DWORD start = GetTickCount();
    const HWND box = WaitForTopWindow(processId, nullptr, caption, timeoutMs);
    while (box != nullptr && IsWindow(box) && !IsWindowVisible(box) &&
           GetTickCount() - start < timeoutMs) {
        Sleep(20);
    }
    return box != nullptr && IsWindowVisible(box) ? box : nullptr;
}

std::wstring MessageBoxText(HWND box)
{
    // The text of a message box is its static control of id 0xFFFF, read as stored (see
    // FindTopWindow); no box of ours holds more than a few thousand characters.
    const HWND label = GetDlgItem(box, 0xFFFF);
    std::wstring text(65536, L'\0');
    text.resize(static_cast<std::size_t>(
        InternalGetWindowText(label, &text[0], static_cast<int>(text.size()))));
    return text;
}

} // namespace TestSupport
