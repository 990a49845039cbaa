#include "TestSupport.h"

#include "utils/Strings.h"

#include <filesystem>
#include <fstream>
#include <iterator>

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
    path_ = std::wstring(temp) + L"uninst_test_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
            std::to_wstring(++counter);
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
    CopyFileW((ProgramFolder() + L"\\" + kStandInName).c_str(), program.c_str(), FALSE);
    WriteBytes(program.substr(0, program.rfind(L'.')) + L".script", script);
    return program;
}

std::string StandInLog(const std::wstring &programPath)
{
    return ReadBytes(programPath.substr(0, programPath.rfind(L'.')) + L".log");
}

long RunProgram(const std::wstring &commandLine, DWORD timeoutMs)
{
    std::wstring buffer = commandLine;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, &buffer[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
        return -1;
    }
    long result = -1;
    if (WaitForSingleObject(info.hProcess, timeoutMs) == WAIT_OBJECT_0) {
        DWORD exitCode = 0;
        GetExitCodeProcess(info.hProcess, &exitCode);
        result = static_cast<long>(exitCode);
    } else {
        TerminateProcess(info.hProcess, 1);
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return result;
}

void EndProcess(DWORD processId)
{
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
    if (process != nullptr) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
}

} // namespace TestSupport
