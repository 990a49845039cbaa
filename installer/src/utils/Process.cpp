#include "utils/Process.h"

#include "utils/CloseHandleAndClear.h"
#include "utils/Exception.h"

namespace Utils {

namespace {

constexpr DWORD kMaxDiscardPerCall = 64 * 1024;

bool PeekPipe(HANDLE readEnd, DWORD &available)
{
    available = 0;
    return readEnd != nullptr && PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr);
}

} // namespace

Process::Process(const std::wstring &commandLine, DWORD startFlags, WORD showCommand,
                 const std::wstring &applicationPath)
    : errorPipe_(-1, -1), outputPipe_(-1, -1), inputPipe_(-1, -1)
{
    Create(commandLine, startFlags, showCommand, applicationPath);
}

Process::~Process()
{
    Close();
}

void Process::Create(const std::wstring &commandLine, DWORD startFlags, WORD showCommand,
                     const std::wstring &applicationPath)
{
    // CreateProcessW may write into the command line, so it gets a copy; a longer one would
    // have to be cut, which would start the child with other arguments.
    if (commandLine.size() >= kCommandLineCapacity) {
        throw Exception();
    }
    commandLine.copy(commandLine_, commandLine.size());
    commandLine_[commandLine.size()] = L'\0';

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = startFlags;
    startup.wShowWindow = showCommand;
    startup.hStdInput = inputPipe_.GiveReadEndToChild();
    startup.hStdOutput = outputPipe_.GiveWriteEndToChild();
    startup.hStdError = errorPipe_.GiveWriteEndToChild();

    const wchar_t *application = applicationPath.empty() ? nullptr : applicationPath.c_str();
    if (!CreateProcessW(application, commandLine_, nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &info_)) {
        info_ = PROCESS_INFORMATION{};
        throw Exception();
    }
    // Only the child may hold these ends, so the pipes break when the child's side closes.
    outputPipe_.CloseWriteEnd();
    errorPipe_.CloseWriteEnd();
    inputPipe_.CloseReadEnd();
}

bool Process::HasExited() const
{
    DWORD exitCode = 0;
    if (info_.hProcess == nullptr || !GetExitCodeProcess(info_.hProcess, &exitCode)) {
        return false;
    }
    return exitCode != kStillActive;
}

bool Process::WaitForExit(DWORD timeoutMs) const
{
    return info_.hProcess == nullptr ||
           WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

std::optional<DWORD> Process::ExitCode() const
{
    DWORD exitCode = 0;
    if (!WaitForExit(0) || info_.hProcess == nullptr ||
        !GetExitCodeProcess(info_.hProcess, &exitCode)) {
        return std::nullopt;
    }
    return exitCode;
}

bool Process::ReadOutput(void *buffer, DWORD byteCount, DWORD &bytesRead)
{
    bytesRead = 0;
    HANDLE readEnd = outputPipe_.ReadEnd();
    return readEnd != nullptr && ReadFile(readEnd, buffer, byteCount, &bytesRead, nullptr);
}

bool Process::PeekOutput(DWORD &available) const
{
    return PeekPipe(outputPipe_.ReadEnd(), available);
}

DWORD Process::DiscardErrorOutput()
{
    DWORD dropped = 0;
    DWORD available = 0;
    char buffer[4096];
    // Bounded, so that a child flooding its error output cannot keep the caller here.
    while (dropped < kMaxDiscardPerCall && PeekPipe(errorPipe_.ReadEnd(), available) &&
           available > 0) {
        DWORD bytesRead = 0;
        const DWORD wanted = available < sizeof(buffer) ? available : sizeof(buffer);
        if (!ReadFile(errorPipe_.ReadEnd(), buffer, wanted, &bytesRead, nullptr) ||
            bytesRead == 0) {
            break;
        }
        dropped += bytesRead;
    }
    return dropped;
}

void Process::Close()
{
    CloseHandleAndClear(info_.hThread);
    CloseHandleAndClear(info_.hProcess);
    outputPipe_.Close();
    inputPipe_.Close();
    errorPipe_.Close();
}

} // namespace Utils
