#include "TestSupport.h"
#include "UninstallEvent.h"
#include "UninstallWorker.h"
#include "utils/Strings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <ostream>
#include <sstream>
#include <vector>

namespace {

constexpr DWORD kRunTimeoutMs = TestSupport::kProgramWaitMs;
const std::wstring kInstallDir = L"C:\\Program Files\\Quorvane";

struct Event
{
    int32_t code;
    double value;
    std::wstring text;

    bool operator==(const Event &other) const
    {
        return code == other.code && value == other.value && text == other.text;
    }
};

std::ostream &operator<<(std::ostream &out, const Event &event)
{
    return out << "{" << event.code << ", " << event.value << ", \""
               << Utils::ToNarrowString(event.text, CP_UTF8) << "\"}";
}

const Event kStarted{kUninstallProgressEvent, 0.0, L""};
const Event kFinished{kUninstallSucceededEvent, 1.0, L""};
const Event kStateSuccess{kUninstallSucceededEvent, 0.0, L""};
// "State=Fail", and a run that ended badly without saying so.
const Event kStateFail{kUninstallErrorEvent, 0.0, L"安装包卸载失败"};

Event Progress(double value)
{
    return {kUninstallProgressEvent, value, L""};
}

Event Error(const std::wstring &text)
{
    return {kUninstallErrorEvent, 0.0, text};
}

// Chinese text as it reads when taken in the system ANSI code page.
std::wstring AsAnsi(const std::string &utf8)
{
    return Utils::ToWideString(utf8, 0);
}

std::vector<DWORD> ProcessIdsInLog(const std::string &log)
{
    std::vector<DWORD> ids;
    std::istringstream lines(log);
    std::string word;
    while (lines >> word) {
        DWORD id = 0;
        if ((word == "pid" || word == "grandchild") && lines >> id) {
            ids.push_back(id);
        }
    }
    return ids;
}

struct WorkerRun
{
    std::vector<Event> events;
    bool finished = false;
    DWORD elapsedMs = 0;
};

// Runs a worker on the given uninstaller path to its end, bounded in time: processes the
// stand-in names in its log are ended when the run overstays, so the worker can finish.
WorkerRun RunWorker(const std::wstring &uninstallerPath, DWORD timeoutMs = kRunTimeoutMs)
{
    WorkerRun run;
    std::mutex lock;
    UninstallWorker worker(
        [&](int32_t code, double value, const std::wstring &text) {
            std::lock_guard<std::mutex> guard(lock);
            run.events.push_back({code, value, text});
        },
        uninstallerPath, kInstallDir);
    const DWORD start = GetTickCount();
    EXPECT_TRUE(worker.Start());
    run.finished = worker.WaitUntilDone(timeoutMs);
    run.elapsedMs = GetTickCount() - start;
    if (!run.finished) {
        for (DWORD id : ProcessIdsInLog(TestSupport::StandInLog(uninstallerPath))) {
            TestSupport::EndProcess(id);
        }
    }
    return run;
}

WorkerRun RunScript(const std::string &script, DWORD timeoutMs = kRunTimeoutMs)
{
    TestSupport::ScratchFolder folder;
    return RunWorker(TestSupport::InstallStandIn(folder.Path(), script), timeoutMs);
}

struct ProtocolCase
{
    const char *name;
    std::string script;
    std::vector<Event> expected;
};

// Runs each script to its end and compares every event the worker sent.
template <std::size_t N> void ExpectEventsOfEachScript(const ProtocolCase (&cases)[N])
{
    for (const ProtocolCase &c : cases) {
        SCOPED_TRACE(c.name);
        const WorkerRun run = RunScript(c.script);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.events, c.expected);
    }
}

TEST(UninstallWorker, TurnsEachOutputLineIntoItsEvents)
{
    const std::wstring chineseAsAnsi = AsAnsi("磁盘已满");
    const ProtocolCase cases[] = {
        {"progress values",
         "out Progress=0.25\\n\nout Progress=abc\\n\nout Progress= 1\\r\\n\n",
         {kStarted, Progress(0.25), Progress(0.0), Progress(1.0), kFinished}},
        {"success with carriage return", "out State=Success\\r\\n\n", {kStarted, kStateSuccess}},
        {"fail", "out Progress=0.5\\nState=Fail\\n\n", {kStarted, Progress(0.5), kStateFail}},
        {"error", "out Error=disk full\\n\n", {kStarted, Error(L"disk full")}},
        {"error keeps its carriage return", "out Error=bad\\r\\n\n", {kStarted, Error(L"bad\r")}},
        {"error then success",
         "out Error=x\\nState=Success\\n\n",
         {kStarted, Error(L"x"), kStateSuccess}},
        {"utf8 before a Chinese error",
         "out Encode=UTF8\\n\nout Error=磁盘已满\\n\n",
         {kStarted, Error(L"磁盘已满")}},
        {"utf8 in the same write as the error",
         "out Encode= UTF8 \\r\\nError=磁盘已满\\n\n",
         {kStarted, Error(L"磁盘已满")}},
        {"utf8 after the Chinese error",
         "out Error=磁盘已满\\nEncode=UTF8\\n\n",
         {kStarted, Error(chineseAsAnsi)}},
        {"other encoding switches back",
         "out Encode=UTF8\\nEncode=GBK\\nError=磁盘已满\\n\n",
         {kStarted, Error(chineseAsAnsi)}},
        {"silent run", "", {kStarted, kFinished}},
        {"unknown lines and states",
         "out Hello\\nState=Busy\\nprogress=0.5\\nError\\n\n",
         {kStarted, kFinished}},
        {"last line without line feed", "out Progress=0.5\n", {kStarted, Progress(0.5), kFinished}},
    };
    ExpectEventsOfEachScript(cases);
}

// Older uninstallers print no result line; then their exit code tells how the run ended.
TEST(UninstallWorker, JudgesARunWithoutAResultLineByItsExitCode)
{
    const ProtocolCase cases[] = {
        {"exit 0", "out Progress=0.5\\n\nexit 0\n", {kStarted, Progress(0.5), kFinished}},
        {"exit 3", "out Progress=0.5\\n\nexit 3\n", {kStarted, Progress(0.5), kStateFail}},
        {"crash", "out Progress=0.5\\n\ncrash\n", {kStarted, Progress(0.5), kStateFail}},
        {"success line, then exit 3", "out State=Success\\n\nexit 3\n", {kStarted, kStateSuccess}},
        {"error line, then exit 3", "out Error=x\\n\nexit 3\n", {kStarted, Error(L"x")}},
    };
    ExpectEventsOfEachScript(cases);
}

TEST(UninstallWorker, ReportsAMissingUninstallerOnly)
{
    TestSupport::ScratchFolder folder;
    const WorkerRun run = RunWorker(folder.File(TestSupport::kStandInName));
    ASSERT_TRUE(run.finished);
    const std::vector<Event> expected = {
        {kUninstallStartFailedEvent, 1.0, L"可执行卸载文件不存在"}};
    EXPECT_EQ(run.events, expected);
}

TEST(UninstallWorker, ReportsAStartFailure)
{
    TestSupport::ScratchFolder folder;
    const std::wstring notAProgram = folder.File(TestSupport::kStandInName);
    ASSERT_TRUE(TestSupport::WriteBytes(notAProgram, "not a program"));
    const WorkerRun run = RunWorker(notAProgram);
    ASSERT_TRUE(run.finished);
    const std::vector<Event> expected = {kStarted, {kUninstallStartFailedEvent, 2.0, L""}};
    EXPECT_EQ(run.events, expected);
}

TEST(UninstallWorker, FormatsTheCommandLineForEveryAdministratorAnswer)
{
    struct Case
    {
        AdminStatus admin;
        const wchar_t *expected;
    };
    const Case cases[] = {
        {{false, false},
         L"C:\\t\\u.exe /S -adminact=false  -authorizationact=false "
         L"-console=show _?=D:\\Quorvane"},
        {{true, false},
         L"C:\\t\\u.exe /S -adminact=true  -authorizationact=false "
         L"-console=show _?=D:\\Quorvane"},
        {{false, true},
         L"C:\\t\\u.exe /S -adminact=false  -authorizationact=true "
         L"-console=show _?=D:\\Quorvane"},
        {{true, true},
         L"C:\\t\\u.exe /S -adminact=true  -authorizationact=true "
         L"-console=show _?=D:\\Quorvane"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(UninstallWorker::FormatCommandLine(L"C:\\t\\u.exe", c.admin, L"D:\\Quorvane"),
                  c.expected);
    }
}

TEST(UninstallWorker, GivesTheUninstallerExactlyTheBuiltCommandLine)
{
    TestSupport::ScratchFolder folder;
    const std::wstring program = TestSupport::InstallStandIn(folder.Path(), "");
    UninstallWorker worker([](int32_t, double, const std::wstring &) {}, program, kInstallDir);
    const std::wstring expected = UninstallWorker::FormatCommandLine(
        program, UninstallWorker::QueryAdminStatus(), kInstallDir);
    EXPECT_EQ(worker.BuildCommandLine(), expected);
    ASSERT_TRUE(worker.Start());
    ASSERT_TRUE(worker.WaitUntilDone(kRunTimeoutMs));
    const std::string log = TestSupport::StandInLog(program);
    EXPECT_EQ(log.substr(0, log.find('\n')), Utils::ToNarrowString(expected, CP_UTF8));
}

TEST(UninstallWorker, StartsTheUninstallerByItsFullPathDespiteBlanks)
{
    // Started without its application name, "...\my dir\TZQuorvane_uninstdata.exe /S ..."
    // would run "...\my.exe".
    TestSupport::ScratchFolder folder;
    const std::wstring decoy = TestSupport::InstallStandIn(folder.Path(), "", L"my.exe");
    const std::wstring blankFolder = folder.File(L"my dir");
    ASSERT_TRUE(CreateDirectoryW(blankFolder.c_str(), nullptr));
    const std::wstring program = TestSupport::InstallStandIn(blankFolder, "out State=Success\\n\n");

    const WorkerRun run = RunWorker(program);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.events, (std::vector<Event>{kStarted, kStateSuccess}));
    EXPECT_EQ(TestSupport::StandInLog(decoy), "");
    EXPECT_EQ(TestSupport::StandInLog(program).find(Utils::ToNarrowString(program, CP_UTF8)), 0u);
}

TEST(UninstallWorker, ReadsTheLastLinesWrittenJustBeforeExit)
{
    std::string manyLines;
    for (int i = 0; i < 200; ++i) {
        manyLines += "Progress=0." + std::to_string(i % 10) + "\\n";
    }
    const ProtocolCase cases[] = {
        {"fail", "out " + manyLines + "\nout State=Fail\\n\nexit 0\n", {kStateFail}},
        {"error", "out " + manyLines + "\nout Error=denied\\n\nexit 0\n", {Error(L"denied")}},
        {"error without line feed", "out Error=denied\nexit 1\n", {Error(L"denied")}},
    };
    for (const ProtocolCase &c : cases) {
        SCOPED_TRACE(c.name);
        const WorkerRun run = RunScript(c.script);
        ASSERT_TRUE(run.finished);
        ASSERT_FALSE(run.events.empty());
        EXPECT_EQ(run.events.back(), c.expected.back());
        EXPECT_EQ(std::count(run.events.begin(), run.events.end(), kFinished), 0);
    }
}

TEST(UninstallWorker, JoinsLinesAndCharactersSplitBetweenReads)
{
    const ProtocolCase cases[] = {
        {"number split",
         "out Progress=0.\nsleep 300\nout 75\\n\n",
         {kStarted, Progress(0.75), kFinished}},
        {"prefix split", "out Sta\nsleep 300\nout te=Fail\\n\n", {kStarted, kStateFail}},
        // 磁 is E7 A3 81 in UTF-8; the write ends inside it.
        {"character split",
         "out Encode=UTF8\\n\nout Error=\\xe7\\xa3\nsleep 300\nout \\x81盘已满\\n\n",
         {kStarted, Error(L"磁盘已满")}},
    };
    ExpectEventsOfEachScript(cases);
}

TEST(UninstallWorker, KeepsLongErrorLinesWhole)
{
    for (std::size_t length : {1000u, 3000u}) {
        SCOPED_TRACE(length);
        const WorkerRun run = RunScript("out Error=" + std::string(length, 'x') + "\\n\n");
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.events, (std::vector<Event>{kStarted, Error(std::wstring(length, L'x'))}));
    }
}

TEST(UninstallWorker, DrainsAFloodOnStandardError)
{
    const WorkerRun run = RunScript("err 3000000\nout State=Success\\n\n");
    ASSERT_TRUE(run.finished) << "the child blocked on its full error pipe";
    EXPECT_EQ(run.events, (std::vector<Event>{kStarted, kStateSuccess}));
}

TEST(UninstallWorker, EndsWhenTheChildEndsThoughAGrandchildHoldsThePipe)
{
    TestSupport::ScratchFolder folder;
    const std::wstring program = TestSupport::InstallStandIn(
        folder.Path(), "out Progress=0.5\\n\nspawn 600000\nsleep 300\nexit 0\n");
    // The grandchild holds the pipe for ten minutes, far beyond the bound of the run.
    const WorkerRun run = RunWorker(program);
    for (DWORD id : ProcessIdsInLog(TestSupport::StandInLog(program))) {
        TestSupport::EndProcess(id);
    }
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.events, (std::vector<Event>{kStarted, Progress(0.5), kFinished}));
}

TEST(UninstallWorker, WaitsWithoutSpinningForAChildThatClosedItsOutput)
{
    FILETIME creation, exit, kernelBefore, userBefore, kernelAfter, userAfter;
    GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernelBefore, &userBefore);
    const WorkerRun run = RunScript("out Progress=0.5\\n\ncloseout\nsleep 2000\nout lost\\n\n");
    GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernelAfter, &userAfter);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.events, (std::vector<Event>{kStarted, Progress(0.5), kFinished}));
    EXPECT_GE(run.elapsedMs, 2000u);

    auto ticks = [](const FILETIME &time) {
        return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    const ULONGLONG busyMs =
        (ticks(kernelAfter) - ticks(kernelBefore) + ticks(userAfter) - ticks(userBefore)) / 10000;
    EXPECT_LT(busyMs, 500u) << "the worker spun while the child lived on";
}

TEST(UninstallWorker, EndsForAChildThatExitsWithTheStillActiveCode)
{
    const WorkerRun run = RunScript("out Progress=0.5\\n\nexit 259\n");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.events, (std::vector<Event>{kStarted, Progress(0.5), kStateFail}));
}

TEST(UninstallWorker, ParsesAChunkLineByLine)
{
    std::vector<Event> events;
    UninstallWorker worker(
        [&](int32_t code, double value, const std::wstring &text) {
            events.push_back({code, value, text});
        },
        L"", L"");
    EXPECT_EQ(worker.ParseOutput(L"Progress=0.5\nState=Success\r\nNoise"), 1);
    EXPECT_EQ(worker.ParseOutput(L"State=Success\nError=late"), 1000);
    EXPECT_EQ(worker.ParseOutput(L"Progress=1\nState=Other\n"), 0);
    EXPECT_EQ(worker.ParseOutput(L"Encode=UTF8\r\n"), 0);
    EXPECT_EQ(worker.CodePage(), 65001u);
    EXPECT_EQ(events, (std::vector<Event>{Progress(0.5), kStateSuccess, kStateSuccess,
                                          Error(L"late"), Progress(1.0)}));
}

TEST(UninstallWorker, WithoutASinkNeverStarts)
{
    UninstallWorker worker(nullptr, L"C:\\missing.exe", L"");
    EXPECT_FALSE(worker.Start());
    EXPECT_TRUE(worker.WaitUntilDone(0));
}

} // namespace
