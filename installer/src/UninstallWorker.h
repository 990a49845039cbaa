#pragma once

#include "utils/Process.h"
#include "utils/Thread.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class OutputLineBuffer;

// The administrator answers that the silent uninstaller is told about.
struct AdminStatus
{
    bool accountIsAdmin; // the session user's account has administrator privilege
    bool runsAsAdmin;    // this process's token is in the Administrators group
};

// Runs the product's silent uninstaller on the thread "UnInstaller", reads its output lines
// ("Progress=", "Error=", "State=", "Encode=") and reports them as UninstallEvents to the sink,
// which is called on that thread.
class UninstallWorker
{
public:
    using EventSink = std::function<void(int32_t code, double value, const std::wstring &text)>;

    static const wchar_t kMissingUninstallerText[];
    static const wchar_t kUninstallFailedText[];
    static const wchar_t kThreadName[];

    UninstallWorker(EventSink sink, std::wstring uninstallerPath, std::wstring installDir);
    // Waits for a running uninstall to end.
    ~UninstallWorker();
    UninstallWorker(const UninstallWorker &) = delete;
    UninstallWorker &operator=(const UninstallWorker &) = delete;

    // Starts the run on its own thread; false when it could not start (or is still running).
    bool Start();
    // True once the run has ended (or none was started); waits up to timeoutMs.
    bool WaitUntilDone(DWORD timeoutMs) const;

    std::wstring BuildCommandLine() const;
    static AdminStatus QueryAdminStatus();
    static std::wstring FormatCommandLine(const std::wstring &uninstallerPath,
                                          const AdminStatus &admin, const std::wstring &installDir);

    static uint32_t ThreadEntry(void *worker);
    void Run();
    // Parses output text line by line and sends its events; returns 1 after "State=Success",
    // 1000 after an error or "State=Fail" (the last such line decides), else 0.
    int ParseOutput(const std::wstring &chunk);

    uint32_t CodePage() const { return codePage_; }
    // Whether the first result the run reported (the one the window acts on) was a success;
    // results that follow it do not change that.
    bool Succeeded() const { return outcome_ == Outcome::Succeeded; }

private:
    std::optional<int> ParseLine(const std::wstring &line);
    // Reads and parses the output until the child has gone; true when no line ("Error=",
    // "State=Success" or "State=Fail") told how the uninstall ended.
    bool ReadUntilExit(Utils::Process &process);
    // Reads at most byteCount bytes (all waiting in the pipe); returns the number read.
    DWORD ReadAvailableOutput(Utils::Process &process, DWORD byteCount, OutputLineBuffer &lines);
    int ParseBytes(const std::string &line);
    void Send(int32_t code, double value, const std::wstring &text);

    EventSink sink_;
    std::wstring commandLine_;
    std::wstring uninstallerPath_;
    std::wstring installDir_;
    uint32_t codePage_ = 0;
    enum class Outcome
    {
        None,
        Succeeded,
        Failed,
    };
    std::atomic<Outcome> outcome_{Outcome::None};
    std::unique_ptr<Utils::Thread> thread_;
    std::unique_ptr<Utils::Process> process_;
};
