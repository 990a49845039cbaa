#include "UninstallWorker.h"

#include "OutputLineBuffer.h"
#include "UninstallEvent.h"
#include "utils/AdminCheck.h"
#include "utils/Exception.h"
#include "utils/Strings.h"

#include <shlwapi.h>

#include <cwchar>

namespace {

constexpr DWORD kStartFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
constexpr DWORD kReadSize = 1024;
// How long the run sleeps on the child when neither pipe has anything to read.
constexpr DWORD kIdleWaitMs = 10;
constexpr uint32_t kUtf8CodePage = 65001;

const wchar_t kProgressPrefix[] = L"Progress=";
const wchar_t kErrorPrefix[] = L"Error=";
const wchar_t kStatePrefix[] = L"State=";
const wchar_t kEncodePrefix[] = L"Encode=";

bool TakeValue(const std::wstring &line, const wchar_t *prefix, std::wstring &value)
{
    const std::size_t length = std::wcslen(prefix);
    if (line.compare(0, length, prefix) != 0) {
        return false;
    }
    value = line.substr(length);
    return true;
}

double ReadNumber(const std::wstring &text)
{
    double number = 0.0;
    if (std::swscanf(text.c_str(), L"%lf", &number) != 1) {
        return 0.0;
    }
    return number;
}

} // namespace

const wchar_t UninstallWorker::kMissingUninstallerText[] = L"可执行卸载文件不存在";
const wchar_t UninstallWorker::kUninstallFailedText[] = L"安装包卸载失败";
const wchar_t UninstallWorker::kThreadName[] = L"UnInstaller";

UninstallWorker::UninstallWorker(EventSink sink, std::wstring uninstallerPath,
                                 std::wstring installDir)
    : sink_(std::move(sink)), uninstallerPath_(std::move(uninstallerPath)),
      installDir_(std::move(installDir))
{
}

UninstallWorker::~UninstallWorker()
{
    thread_.reset();
    process_.reset();
}

bool UninstallWorker::Start()
{
    if (!sink_) {
        return false;
    }
    if (thread_ && !thread_->WaitForEnd(0)) {
        return false;
    }
    thread_.reset();
    outcome_ = Outcome::None;
    commandLine_ = BuildCommandLine();
    thread_ = std::make_unique<Utils::Thread>();
    thread_->Start(&UninstallWorker::ThreadEntry, this, kThreadName);
    return thread_->Resume();
}

bool UninstallWorker::WaitUntilDone(DWORD timeoutMs) const
{
    return !thread_ || thread_->WaitForEnd(timeoutMs);
}

AdminStatus UninstallWorker::QueryAdminStatus()
{
    std::wstring userName;
    AdminStatus status = {};
    if (Utils::GetActiveSessionUserName(userName)) {
        status.accountIsAdmin = Utils::IsUserAdmin(userName);
    }
    status.runsAsAdmin = Utils::IsRunAsAdmin();
    return status;
}

std::wstring UninstallWorker::BuildCommandLine() const
{
    return FormatCommandLine(uninstallerPath_, QueryAdminStatus(), installDir_);
}

std::wstring UninstallWorker::FormatCommandLine(const std::wstring &uninstallerPath,
                                                const AdminStatus &admin,
                                                const std::wstring &installDir)
{
    // The uninstaller reads "_?=" as the rest of its command line, so it comes last, and
    // the path is left unquoted as the uninstaller expects.
    return uninstallerPath + L" /S -adminact=" + (admin.accountIsAdmin ? L"true" : L"false") +
           L"  -authorizationact=" + (admin.runsAsAdmin ? L"true" : L"false") +
           L" -console=show _?=" + installDir;
}

uint32_t UninstallWorker::ThreadEntry(void *worker)
{
    UninstallWorker *self = static_cast<UninstallWorker *>(worker);
    if (self == nullptr) {
        return 0;
    }
    try {
        self->Run();
    } catch (...) {
        // Nothing may escape the thread; an unexpected failure must not look like success.
        self->process_.reset();
        self->Send(kUninstallErrorEvent, 0.0, kUninstallFailedText);
    }
    return 0;
}

void UninstallWorker::Run()
{
    if (!PathFileExistsW(uninstallerPath_.c_str())) {
        Send(kUninstallStartFailedEvent, 1.0, kMissingUninstallerText);
        return;
    }
    Send(kUninstallProgressEvent, 0.0, std::wstring());

    process_.reset();
    try {
        process_ =
            std::make_unique<Utils::Process>(commandLine_, kStartFlags, SW_HIDE, uninstallerPath_);
    } catch (const Utils::Exception &) {
        Send(kUninstallStartFailedEvent, 2.0, std::wstring());
        return;
    }

    const bool noResultLine = ReadUntilExit(*process_);
    process_->Wait();
    const std::optional<DWORD> exitCode = process_->ExitCode();
    process_->Close();
    process_.reset();
    if (!noResultLine) {
        return;
    }
    // Older uninstallers print nothing and end with 0; anything else without a result line
    // (a crash, an error code) leaves the product possibly installed.
    if (exitCode == DWORD{0}) {
        Send(kUninstallSucceededEvent, 1.0, std::wstring());
    } else {
        Send(kUninstallErrorEvent, 0.0, kUninstallFailedText);
    }
}

bool UninstallWorker::ReadUntilExit(Utils::Process &process)
{
    OutputLineBuffer lines;
    bool assumeSuccess = true;
    bool outputOpen = true;
    auto parsePending = [&](bool atEnd) {
        std::string line;
        while (atEnd ? lines.TakeRest(line) : lines.TakeLine(line)) {
            if (ParseBytes(line) != 0) {
                assumeSuccess = false;
            }
        }
    };

    // Watching the process as well as the pipe: a grandchild may hold the pipe open long
    // after the child has gone, and a child may close its output and live on.
    while (!process.WaitForExit(0)) {
        bool busy = process.DiscardErrorOutput() > 0;
        DWORD available = 0;
        if (outputOpen && !process.PeekOutput(available)) {
            outputOpen = false;
        }
        if (outputOpen && available > 0) {
            busy = ReadAvailableOutput(process, available, lines) > 0 || busy;
            parsePending(false);
        }
        if (!busy) {
            process.WaitForExit(kIdleWaitMs);
        }
    }

    // Everything the child wrote is in the pipe by now, its last lines included. Read that
    // much and no more: a grandchild holding the pipe could keep writing for ever.
    DWORD remaining = 0;
    if (outputOpen && process.PeekOutput(remaining)) {
        while (remaining > 0) {
            const DWORD bytesRead = ReadAvailableOutput(process, remaining, lines);
            if (bytesRead == 0) {
                break;
            }
            remaining -= bytesRead;
        }
    }
    parsePending(true);
    return assumeSuccess;
}

DWORD UninstallWorker::ReadAvailableOutput(Utils::Process &process, DWORD byteCount,
                                           OutputLineBuffer &lines)
{
    char buffer[kReadSize];
    const DWORD wanted = byteCount < kReadSize ? byteCount : kReadSize;
    DWORD bytesRead = 0;
    if (!process.ReadOutput(buffer, wanted, bytesRead)) {
        return 0;
    }
    lines.Append(buffer, bytesRead);
    return bytesRead;
}

int UninstallWorker::ParseBytes(const std::string &line)
{
    // Each line is converted whole, with the code page in force when it arrives.
    return ParseOutput(Utils::ToWideString(line, codePage_));
}

int UninstallWorker::ParseOutput(const std::wstring &chunk)
{
    int result = 0;
    std::size_t start = 0;
    while (start <= chunk.size()) {
        std::size_t end = chunk.find(L'\n', start);
        if (end == std::wstring::npos) {
            end = chunk.size();
        }
        if (const std::optional<int> lineResult = ParseLine(chunk.substr(start, end - start))) {
            result = *lineResult;
        }
        start = end + 1;
    }
    return result;
}

std::optional<int> UninstallWorker::ParseLine(const std::wstring &line)
{
    std::wstring value;
    if (TakeValue(line, kProgressPrefix, value)) {
        Send(kUninstallProgressEvent, ReadNumber(value), std::wstring());
        return std::nullopt;
    }
    if (TakeValue(line, kErrorPrefix, value)) {
        Send(kUninstallErrorEvent, 0.0, value);
        return 1000;
    }
    if (TakeValue(line, kStatePrefix, value)) {
        const std::wstring state = Utils::Trim(value);
        if (state == L"Success") {
            Send(kUninstallSucceededEvent, 0.0, std::wstring());
            return 1;
        }
        if (state == L"Fail") {
            Send(kUninstallErrorEvent, 0.0, kUninstallFailedText);
            return 1000;
        }
        return std::nullopt;
    }
    if (TakeValue(line, kEncodePrefix, value)) {
        codePage_ = Utils::Trim(value) == L"UTF8" ? kUtf8CodePage : 0;
    }
    return std::nullopt;
}

void UninstallWorker::Send(int32_t code, double value, const std::wstring &text)
{
    if (code == kUninstallSucceededEvent || code == kUninstallErrorEvent ||
        code == kUninstallStartFailedEvent) {
        Outcome none = Outcome::None;
        outcome_.compare_exchange_strong(none, code == kUninstallSucceededEvent ? Outcome::Succeeded
                                                                                : Outcome::Failed);
    }
    if (sink_) {
        sink_(code, value, text);
    }
}
