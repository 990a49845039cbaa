#include "TestSupport.h"
#include "utils/NamedMutex.h"
#include "utils/Strings.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using TestSupport::ChildProcess;
using TestSupport::FileExists;
using TestSupport::MessageBoxText;
using TestSupport::ReadBytes;
using TestSupport::ScratchFolder;
using TestSupport::WaitForMessageBox;

constexpr DWORD kRunTimeoutMs = 60000;
constexpr DWORD kRefused = static_cast<DWORD>(-1);
const char kInstallerBytes[] = "the product installer";
const wchar_t kMessageCaption[] = L"温馨提示";
const wchar_t kNoUninstallerText[] = L"找不到卸载程序";
const wchar_t kNoTempCopyText[] = L"无法将卸载程序复制到临时文件夹，请关闭正在运行的卸载程序后重试";
const wchar_t *const kTempCopies[] = {L"TZQuorvane_Installer.exe", L"TZQuorvane_uninstdata.exe",
                                      L"TZQuorvane_uninstall.exe"};

std::string Utf8(const std::wstring &text)
{
    return Utils::ToNarrowString(text, CP_UTF8);
}

bool SameFolder(const std::string &a, const std::wstring &b)
{
    std::wstring left = TestSupport::FromUtf8(a);
    std::wstring right = b;
    for (std::wstring *path : {&left, &right}) {
        while (!path->empty() && path->back() == L'\\') {
            path->pop_back();
        }
    }
    return _wcsicmp(left.c_str(), right.c_str()) == 0;
}

bool EndsWith(const std::string &text, const std::string &end)
{
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// What the probe's window step reported: the fields of its first report, and how many
// reports the log holds.
struct WindowReport
{
    std::map<std::string, std::string> fields;
    int count = 0;

    const std::string &Field(const std::string &name) { return fields[name]; }
};

WindowReport ReadWindowReport(const std::wstring &logPath)
{
    WindowReport report;
    std::istringstream lines(ReadBytes(logPath));
    std::string line;
    while (std::getline(lines, line)) {
        if (line == "window") {
            ++report.count;
        }
        const std::size_t equals = line.find('=');
        if (report.count == 1 && equals != std::string::npos) {
            report.fields.emplace(line.substr(0, equals), line.substr(equals + 1));
        }
    }
    return report;
}

// Waits until the log holds a whole report; the report is empty when none came in time.
WindowReport WaitForWindowReport(const std::wstring &logPath, DWORD timeoutMs = kRunTimeoutMs)
{
    const DWORD start = GetTickCount();
    while (ReadBytes(logPath).find("\nend\n") == std::string::npos) {
        if (GetTickCount() - start > timeoutMs) {
            return WindowReport();
        }
        Sleep(50);
    }
    return ReadWindowReport(logPath);
}

DWORD ProcessIdOf(WindowReport &report)
{
    return static_cast<DWORD>(std::strtoul(report.Field("pid").c_str(), nullptr, 10));
}

// Answers the next message box of the process, once its text is known and, when one follows
// it, once it has gone. The text, or nothing when no box came.
std::optional<std::wstring> AnswerMessageBox(const ChildProcess &process, int answer)
{
    const HWND box = WaitForMessageBox(process.Id(), kMessageCaption, kRunTimeoutMs);
    if (box == nullptr) {
        return std::nullopt;
    }
    const std::wstring text = MessageBoxText(box);
    PostMessageW(box, WM_COMMAND, answer, 0);
    const DWORD start = GetTickCount();
    while (IsWindow(box) && GetTickCount() - start < kRunTimeoutMs) {
        Sleep(20);
    }
    return text;
}

// Keeps the second stage at its window step, and so its copies in place, until released.
class StageTwoHold
{
public:
    StageTwoHold()
        : name_(L"UninstProbeRelease_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                std::to_wstring(++count_)),
          event_(CreateEventW(nullptr, TRUE, FALSE, name_.c_str()))
    {
    }
    ~StageTwoHold()
    {
        Release();
        CloseHandle(event_);
    }
    StageTwoHold(const StageTwoHold &) = delete;
    StageTwoHold &operator=(const StageTwoHold &) = delete;

    std::wstring Argument() const { return L" -probehold=" + name_; }
    void Release() { SetEvent(event_); }

private:
    static inline int count_ = 0;
    std::wstring name_;
    HANDLE event_;
};

// A file held open without sharing, as by a program still running from it.
class HeldFile
{
public:
    explicit HeldFile(const std::wstring &path)
        : file_(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr))
    {
    }
    ~HeldFile()
    {
        if (file_ != INVALID_HANDLE_VALUE) {
            CloseHandle(file_);
        }
    }
    HeldFile(const HeldFile &) = delete;
    HeldFile &operator=(const HeldFile &) = delete;

    bool Held() const { return file_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE file_;
};

// A product folder as the installer leaves it: uninst, the silent uninstaller as
// "uninst.data" and the product installer as "Installer.data". Everything uninst starts
// from it gets a temp folder of its own, so that its "~TZTemp" is this test's alone.
class ProductFolder
{
public:
    ProductFolder()
    {
        const std::wstring built = TestSupport::ProgramFolder() + L"\\";
        CopyFileW((built + L"uninst_startup_probe.exe").c_str(), Uninst().c_str(), FALSE);
        CopyFileW((built + TestSupport::kStandInName).c_str(), File(L"uninst.data").c_str(), FALSE);
        TestSupport::WriteBytes(File(L"Installer.data"), kInstallerBytes);
    }

    const std::wstring &Folder() const { return product_.Path(); }
    std::wstring File(const std::wstring &name) const { return product_.File(name); }
    std::wstring Uninst() const { return File(L"uninst.exe"); }
    std::wstring PrivateTemp() const { return temp_.Path() + L"\\~TZTemp\\"; }
    bool MakePrivateTemp() const { return CreateDirectoryW(PrivateTemp().c_str(), nullptr); }
    std::wstring InstallDirArgument() const { return L"-instdir=\"" + Folder() + L"\""; }

    ChildProcess::Options Options() const
    {
        ChildProcess::Options options;
        options.environment = {{L"TMP", temp_.Path()}, {L"TEMP", temp_.Path()}};
        return options;
    }

    std::wstring Command(const std::wstring &arguments) const
    {
        return L"\"" + Uninst() + L"\" " + arguments;
    }

    std::optional<DWORD> Run(const std::wstring &arguments,
                             const ChildProcess::Options &options) const
    {
        ChildProcess uninst(Command(arguments), options);
        return uninst.Wait(kRunTimeoutMs);
    }
    std::optional<DWORD> Run(const std::wstring &arguments) const
    {
        return Run(arguments, Options());
    }

    std::wstring StageTwoLog() const { return PrivateTemp() + L"TZQuorvane_uninstall.log"; }

    // The report of the second stage that the first one started, once that has ended (and
    // been let go, when held).
    WindowReport FinishStageTwo(StageTwoHold *hold = nullptr) const
    {
        WindowReport report = WaitForWindowReport(StageTwoLog());
        EXPECT_EQ(report.count, 1) << "stage two did not reach its window exactly once";
        if (hold != nullptr) {
            hold->Release();
        }
        EXPECT_TRUE(TestSupport::WaitForProcessEnd(ProcessIdOf(report), kRunTimeoutMs));
        return report;
    }

private:
    ScratchFolder product_;
    ScratchFolder temp_;
};

TEST(StageOne, CopiesTheThreeFilesAndStartsTheCopyWithTheInstallFolderAndItsArguments)
{
    struct Case
    {
        const char *name;
        std::wstring arguments;
    };
    const Case cases[] = {
        {"extra arguments", L"-downloadurl=http://example.test/a?b=c plain"},
        {"an empty install folder is no install folder", L"-instdir="},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ProductFolder product;
        StageTwoHold hold;
        const std::wstring arguments = c.arguments + hold.Argument();
        EXPECT_EQ(product.Run(arguments), 0u);

        const std::wstring temp = product.PrivateTemp();
        EXPECT_EQ(ReadBytes(temp + L"TZQuorvane_Installer.exe"), kInstallerBytes);
        EXPECT_EQ(ReadBytes(temp + L"TZQuorvane_uninstdata.exe"),
                  ReadBytes(product.File(L"uninst.data")));
        EXPECT_EQ(ReadBytes(temp + L"TZQuorvane_uninstall.exe"), ReadBytes(product.Uninst()));

        WindowReport report = product.FinishStageTwo(&hold);
        EXPECT_TRUE(SameFolder(report.Field("instdir"), product.Folder()))
            << report.Field("instdir");
        EXPECT_TRUE(SameFolder(report.Field("cwd"), temp)) << report.Field("cwd");
        const std::string passedOn = Utf8(product.InstallDirArgument() + L" " + arguments);
        EXPECT_TRUE(EndsWith(report.Field("cmdline"), passedOn)) << report.Field("cmdline");

        // Once stage two has ended, only the running program's own copy is left.
        EXPECT_FALSE(FileExists(temp + L"TZQuorvane_Installer.exe"));
        EXPECT_FALSE(FileExists(temp + L"TZQuorvane_uninstdata.exe"));
        EXPECT_TRUE(FileExists(temp + L"TZQuorvane_uninstall.exe"));
    }
}

TEST(StageOne, WithoutTheSilentUninstallerAsksWhetherToGoOn)
{
    for (const int answer : {IDCANCEL, IDOK}) {
        SCOPED_TRACE(answer == IDOK ? "OK" : "Cancel");
        ProductFolder product;
        DeleteFileW(product.File(L"uninst.data").c_str());
        ChildProcess uninst(product.Command(L"plain"), product.Options());

        const HWND box = WaitForMessageBox(uninst.Id(), kMessageCaption, kRunTimeoutMs);
        ASSERT_NE(box, nullptr) << "no question came up";
        EXPECT_EQ(MessageBoxText(box), L"找不到卸载程序");
        PostMessageW(box, WM_COMMAND, answer, 0);

        const std::wstring uninstCopy = product.PrivateTemp() + L"TZQuorvane_uninstall.exe";
        if (answer == IDCANCEL) {
            EXPECT_EQ(uninst.Wait(kRunTimeoutMs), kRefused);
            EXPECT_FALSE(FileExists(uninstCopy));
            continue;
        }
        EXPECT_EQ(uninst.Wait(kRunTimeoutMs), 0u);
        // The copy is told about a stand-in folder, and not about the arguments.
        WindowReport report = product.FinishStageTwo();
        EXPECT_EQ(report.Field("instdir"), "Test");
        EXPECT_TRUE(EndsWith(report.Field("cmdline"), " -instdir=\"Test\""))
            << report.Field("cmdline");
    }
}

// A silent uninstaller left by an earlier run would run on the stand-in folder "Test", and its
// success would remove the product's registry key while the product stays.
TEST(StageOne, LeavesNoEarlierRunsCopyForTheSecondStage)
{
    ProductFolder product;
    ASSERT_TRUE(product.MakePrivateTemp());
    for (const wchar_t *name : kTempCopies) {
        ASSERT_TRUE(TestSupport::WriteBytes(product.PrivateTemp() + name, "an earlier run's copy"));
    }
    DeleteFileW(product.File(L"uninst.data").c_str());
    DeleteFileW(product.File(L"Installer.data").c_str());
    ChildProcess uninst(product.Command(L""), product.Options());
    EXPECT_EQ(AnswerMessageBox(uninst, IDOK), std::optional<std::wstring>(kNoUninstallerText));
    EXPECT_EQ(uninst.Wait(kRunTimeoutMs), 0u);

    WindowReport report = product.FinishStageTwo();
    EXPECT_EQ(report.Field("instdir"), "Test");
    EXPECT_EQ(report.Field("uninstaller"), "absent");
    EXPECT_EQ(report.Field("installer"), "absent");
}

// A copy from an earlier run that is still in use cannot be replaced: stage one says so and
// ends with a failure, and starts nothing.
TEST(StageOne, ReportsACopyItCannotMakeAndStartsNothing)
{
    struct Case
    {
        const char *name;
        const wchar_t *heldCopy;
        std::vector<std::wstring> messages;
    };
    const Case cases[] = {
        {"uninst's own copy", L"TZQuorvane_uninstall.exe", {kNoTempCopyText}},
        {"the silent uninstaller's copy",
         L"TZQuorvane_uninstdata.exe",
         {kNoUninstallerText, kNoTempCopyText}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ProductFolder product;
        ASSERT_TRUE(product.MakePrivateTemp());
        HeldFile held(product.PrivateTemp() + c.heldCopy);
        ASSERT_TRUE(held.Held());
        ChildProcess uninst(product.Command(L""), product.Options());
        for (const std::wstring &message : c.messages) {
            EXPECT_EQ(AnswerMessageBox(uninst, IDOK), std::optional<std::wstring>(message));
        }
        EXPECT_EQ(uninst.Wait(kRunTimeoutMs), kRefused);
        EXPECT_FALSE(FileExists(product.StageTwoLog())) << "a second stage started";
    }
}

TEST(StageOne, WithoutATempFolderCopiesNothingIntoTheCurrentFolder)
{
    ProductFolder product;
    ScratchFolder current;
    ChildProcess::Options options;
    // A file where the temp folder should be: "~TZTemp" cannot be made in it.
    options.environment = {{L"TMP", product.File(L"Installer.data")},
                           {L"TEMP", product.File(L"Installer.data")}};
    options.folder = current.Path();
    ChildProcess uninst(product.Command(L"plain"), options);

    EXPECT_EQ(AnswerMessageBox(uninst, IDOK), std::optional<std::wstring>(kNoUninstallerText));
    EXPECT_EQ(AnswerMessageBox(uninst, IDOK), std::optional<std::wstring>(kNoTempCopyText));
    EXPECT_EQ(uninst.Wait(kRunTimeoutMs), kRefused);
    for (const wchar_t *name : kTempCopies) {
        EXPECT_FALSE(FileExists(current.File(name))) << Utf8(name);
    }
}

TEST(StageTwo, OnlyOneUninstallerRunsAtATime)
{
    ProductFolder product;
    const std::wstring releaseName =
        L"UninstProbeRelease_" + std::to_wstring(GetCurrentProcessId());
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, releaseName.c_str());
    ASSERT_NE(release, nullptr);
    ChildProcess first(
        product.Command(product.InstallDirArgument() + L" -probehold=" + releaseName),
        product.Options());
    WindowReport report = WaitForWindowReport(product.File(L"uninst.log"));
    ASSERT_EQ(report.count, 1) << "the first uninstaller did not reach its window";
    EXPECT_TRUE(SameFolder(report.Field("instdir"), product.Folder()));

    {
        Utils::NamedMutex mutex(L"UnInstaller_Quorvane");
        EXPECT_FALSE(mutex.Acquire()) << "the running uninstaller does not hold its mutex";
    }
    EXPECT_EQ(product.Run(product.InstallDirArgument()), kRefused);

    SetEvent(release);
    EXPECT_EQ(first.Wait(kRunTimeoutMs), 0u);
    CloseHandle(release);
    EXPECT_EQ(ReadWindowReport(product.File(L"uninst.log")).count, 1);
    Utils::NamedMutex mutex(L"UnInstaller_Quorvane");
    EXPECT_TRUE(mutex.Acquire()) << "the mutex outlived its uninstaller";
}

TEST(MainProgramTurn, UninstWaitsForQuorvaneToEnd)
{
    ProductFolder product;
    const std::wstring quorvane =
        TestSupport::InstallStandIn(product.Folder(), "sleep 4000\n", L"Quorvane.exe");
    EXPECT_EQ(product.Run(L""), 0u);

    const std::string log = TestSupport::StandInLog(quorvane);
    EXPECT_NE(log.find(" -uninstall"), std::string::npos) << log;
    const std::size_t pid = log.find("\npid ");
    ASSERT_NE(pid, std::string::npos) << log;
    const DWORD quorvaneId = std::strtoul(log.c_str() + pid + 5, nullptr, 10);
    EXPECT_TRUE(TestSupport::WaitForProcessEnd(quorvaneId, 0))
        << "uninst went on while Quorvane was still running";
    product.FinishStageTwo();
}

TEST(MainProgramTurn, UninstGoesOnWhenThereIsNothingToWaitFor)
{
    struct Case
    {
        const char *name;
        void (*prepare)(const ProductFolder &product);
    };
    const Case cases[] = {
        {"Quorvane ending with the code that also means still running",
         [](const ProductFolder &product) {
             TestSupport::InstallStandIn(product.Folder(), "exit 259\n", L"Quorvane.exe");
         }},
        {"a folder named Quorvane.exe",
         [](const ProductFolder &product) {
             CreateDirectoryW(product.File(L"Quorvane.exe").c_str(), nullptr);
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ProductFolder product;
        c.prepare(product);
        EXPECT_EQ(product.Run(L""), 0u);
        product.FinishStageTwo();
    }
}

} // namespace
