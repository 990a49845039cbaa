// Stand-in for the product's silent uninstaller. It appends its command line to the file
// "<own name>.log" beside itself, then plays "<own name>.script", one command a line:
//   out TEXT     write TEXT to standard output in one write (escapes \n \r \\ \xHH)
//   err COUNT    write COUNT bytes to standard error
//   sleep MS     wait
//   waitfor PATH wait until the file PATH exists, at most ten minutes (beyond every bound
//                of a test's wait)
//   closeout     close standard output and go on
//   spawn MS     start a copy of itself that holds the same output pipe for MS and logs
//                "grandchild PID" (the log's second line is "pid PID" of the stand-in itself)
//   exit CODE    end with that exit code
//   crash        end by an access violation, without the system's crash dialog
//   hang         wait for ever
// Started with "--linger MS" it only waits MS and ends.
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

constexpr DWORD kLongestFileWaitMs = 600000;

std::wstring OwnPath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring WithoutExtension(const std::wstring &path)
{
    const std::size_t dot = path.rfind(L'.');
    return dot == std::wstring::npos ? path : path.substr(0, dot);
}

std::string ToUtf8(const std::wstring &text)
{
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string result(size > 0 ? size : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &result[0], size, nullptr, nullptr);
    return result.c_str();
}

void AppendLog(const std::wstring &logPath, const std::string &line)
{
    HANDLE file = CreateFileW(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

std::string Unescape(const std::string &text)
{
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            bytes += text[i];
            continue;
        }
        const char kind = text[++i];
        if (kind == 'n') {
            bytes += '\n';
        } else if (kind == 'r') {
            bytes += '\r';
        } else if (kind == 'x' && i + 2 < text.size()) {
            bytes += static_cast<char>(std::strtol(text.substr(i + 1, 2).c_str(), nullptr, 16));
            i += 2;
        } else {
            bytes += kind;
        }
    }
    return bytes;
}

std::wstring FromUtf8(const std::string &text)
{
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring result(size > 0 ? size : 1, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &result[0], size);
    return result.c_str();
}

void WaitForFile(const std::string &path)
{
    const std::wstring widePath = FromUtf8(path);
    const DWORD start = GetTickCount();
    while (GetFileAttributesW(widePath.c_str()) == INVALID_FILE_ATTRIBUTES &&
           GetTickCount() - start < kLongestFileWaitMs) {
        Sleep(20);
    }
}

void WriteAll(HANDLE handle, const std::string &bytes)
{
    DWORD written = 0;
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void SpawnLingeringCopy(const std::wstring &ownPath, const std::wstring &logPath, int lingerMs)
{
    std::wstring commandLine = L"\"" + ownPath + L"\" --linger " + std::to_wstring(lingerMs);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION info = {};
    if (CreateProcessW(ownPath.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                       nullptr, &startup, &info)) {
        AppendLog(logPath, "grandchild " + std::to_string(info.dwProcessId));
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
}

LONG WINAPI EndAtOnce(EXCEPTION_POINTERS *)
{
    return EXCEPTION_EXECUTE_HANDLER;
}

void Crash()
{
    // No crash dialog and no debugger: the process ends with the exception's code.
    SetUnhandledExceptionFilter(EndAtOnce);
    volatile int *nowhere = nullptr;
    *nowhere = 1;
}

void PlayScript(const std::wstring &ownPath, const std::wstring &logPath,
                const std::wstring &scriptPath)
{
    std::ifstream script(scriptPath.c_str(), std::ios::binary);
    std::string line;
    while (std::getline(script, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::size_t blank = line.find(' ');
        const std::string command = line.substr(0, blank);
        const std::string argument = blank == std::string::npos ? "" : line.substr(blank + 1);
        if (command == "out") {
            WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), Unescape(argument));
        } else if (command == "err") {
            WriteAll(GetStdHandle(STD_ERROR_HANDLE), std::string(std::atoi(argument.c_str()), 'e'));
        } else if (command == "sleep") {
            Sleep(std::atoi(argument.c_str()));
        } else if (command == "waitfor") {
            WaitForFile(argument);
        } else if (command == "closeout") {
            CloseHandle(GetStdHandle(STD_OUTPUT_HANDLE));
            SetStdHandle(STD_OUTPUT_HANDLE, nullptr);
        } else if (command == "spawn") {
            SpawnLingeringCopy(ownPath, logPath, std::atoi(argument.c_str()));
        } else if (command == "exit") {
            ExitProcess(static_cast<UINT>(std::strtoul(argument.c_str(), nullptr, 10)));
        } else if (command == "crash") {
            Crash();
        } else if (command == "hang") {
            Sleep(INFINITE);
        }
    }
}

} // namespace

int main()
{
    const std::wstring commandLine = GetCommandLineW();
    const std::size_t linger = commandLine.find(L" --linger ");
    if (linger != std::wstring::npos) {
        Sleep(static_cast<DWORD>(_wtoi(commandLine.c_str() + linger + 10)));
        return 0;
    }
    const std::wstring ownPath = OwnPath();
    const std::wstring base = WithoutExtension(ownPath);
    AppendLog(base + L".log", ToUtf8(commandLine));
    AppendLog(base + L".log", "pid " + std::to_string(GetCurrentProcessId()));
    PlayScript(ownPath, base + L".log", base + L".script");
    return 0;
}
