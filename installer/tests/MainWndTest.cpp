#include "MainWnd.h"
#include "TestSupport.h"
#include "UninstallEvent.h"
#include "utils/RegistryTree.h"
#include "utils/Strings.h"

#include "CShadowWindow.h"
#include "LabelUI.h"
#include "ProgressUI.h"
#include "TabLayoutUI.h"
#include "DibSurface.h"
#include "TestWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>

using namespace SkinUI;
using TestSupport::FileExists;
using TestSupport::ProgramFolder;
using TestSupport::ScratchFolder;
using TestSupport::WriteBytes;

namespace {

// The bound of a wait on the window, its worker and the silent uninstaller it starts: a Wine
// program started on a busy machine takes seconds, so the bound is a safety net only.
constexpr DWORD kWaitMs = 120000;
const wchar_t kProductKey[] = L"Software\\TzSoft\\Quorvane";
const wchar_t kProductSubKey[] = L"Software\\TzSoft\\Quorvane\\Settings";
const wchar_t kMakerKey[] = L"Software\\TzSoft";
const wchar_t kOtherProductKey[] = L"Software\\TzSoft\\Other";

std::string Utf8(const std::wstring &text)
{
    return Utils::ToNarrowString(text, CP_UTF8);
}

bool KeyExists(const wchar_t *path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

void CreateKey(const wchar_t *path)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) == ERROR_SUCCESS) {
        const wchar_t value[] = L"C:\\Quorvane";
        RegSetValueExW(key, L"InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE *>(value),
                       sizeof(value));
        RegCloseKey(key);
    }
}

bool Pump(const std::function<bool()> &condition, DWORD timeoutMs = kWaitMs)
{
    return Testing::TestWindow::PumpUntil(condition, timeoutMs);
}

// The silent uninstaller the window runs: the stand-in lying beside this test program under
// the name uninst gives it, playing the script beside it.
std::wstring UninstallerPath()
{
    return ProgramFolder() + L"\\" + TestSupport::kStandInName;
}

void ScriptUninstaller(const std::string &script)
{
    const std::wstring path = UninstallerPath();
    const std::wstring base = path.substr(0, path.rfind(L'.'));
    WriteBytes(base + L".script", script);
    DeleteFileW((base + L".log").c_str());
}

// Answers every message box captioned "温馨提示" of this process with OK, from a thread of
// its own as a user would, while the window's thread waits in the box. It looks until it
// goes, so that no box, however late it comes on a busy machine, holds the window's thread
// for good. The first box's text and place are kept.
class MessageBoxAnswer
{
public:
    MessageBoxAnswer()
        : thread_([this] {
              while (!stop_) {
                  const HWND box =
                      TestSupport::WaitForMessageBox(GetCurrentProcessId(), L"温馨提示", 0);
                  if (box != nullptr) {
                      Answer(box);
                  }
                  Sleep(20);
              }
          })
    {
    }
    ~MessageBoxAnswer()
    {
        stop_ = true;
        thread_.join();
    }

    // Whether a box came up and was answered. The window goes only once its box is, so
    // after that this is settled.
    bool Answered()
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        return answered_;
    }
    // How many boxes came up.
    std::size_t Count()
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        return boxes_.size();
    }
    std::wstring Text()
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        return text_;
    }
    // Whether the whole box, its button included, lay on the screen.
    bool OnScreen()
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        return rect_.left >= screen.left && rect_.top >= screen.top &&
               rect_.right <= screen.right && rect_.bottom <= screen.bottom;
    }

private:
    // Held while the box is answered, so that whoever sees the box gone sees it answered.
    void Answer(HWND box)
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        boxes_.insert(box);
        if (answered_) {
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            return;
        }
        text_ = TestSupport::MessageBoxText(box);
        GetWindowRect(box, &rect_);
        answered_ = PostMessageW(box, WM_COMMAND, IDOK, 0) != FALSE;
    }

    std::mutex mutex_;
    std::wstring text_;
    RECT rect_ = {};
    bool answered_ = false;
    std::set<HWND> boxes_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// The uninstall window over a product folder as the installer leaves it, with the data files
// and the registry key that a successful uninstall removes, and a key of another product of
// the same maker that it keeps.
class UninstallWindow : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
        CWindowManagerUI::SetSevenZipPackage(true);
        registerShadowClass(GetModuleHandleW(nullptr));
    }

    void SetUp() override
    {
        PlantLeftovers();
        CreateKey(kOtherProductKey);
    }

    void PlantLeftovers()
    {
        WriteBytes(product_.File(L"Installer.data"), "the product installer");
        WriteBytes(product_.File(L"unins.data"), "left behind by the product");
        CreateKey(kProductSubKey);
    }

    void TearDown() override
    {
        if (IsWindow(handle_)) {
            DestroyWindow(handle_);
        }
        window_.reset();
        Testing::TestWindow::PumpPending();
        Utils::DeleteRegistryKeyTree(HKEY_CURRENT_USER, kMakerKey);
    }

    void Open(DWORD windowlessWaitMs = CMainWnd::kWindowlessWaitMs)
    {
        window_ = std::make_unique<CMainWnd>(product_.Path(), windowlessWaitMs);
        handle_ = window_->Create(nullptr, L"Quorvane 卸载", WS_VISIBLE | WS_OVERLAPPEDWINDOW, 0);
        ASSERT_NE(handle_, nullptr);
        Testing::TestWindow::PumpPending();
    }

    CControlUI *Find(const wchar_t *name) { return window_->GetManager().FindControlByName(name); }
    template <class T> T *FindAs(const wchar_t *name, const wchar_t *kind)
    {
        CControlUI *control = Find(name);
        return control ? static_cast<T *>(control->GetInterface(kind)) : nullptr;
    }
    int Page() { return FindAs<CTabLayoutUI>(L"mainTabLt", CTabLayoutUI::kClassName)->GetCurSel(); }
    CProgressUI *Progress() { return FindAs<CProgressUI>(L"installPrg", CProgressUI::kClassName); }

    // A click as the mouse posts it, through the message loop, on the control where the
    // window last laid it out. False, with a failure, when there is no such control: the
    // caller stops at once instead of waiting for what the click would have done.
    [[nodiscard]] bool Click(const wchar_t *name)
    {
        UpdateWindow(handle_);
        CControlUI *control = Find(name);
        if (control == nullptr) {
            ADD_FAILURE() << "no control named " << Utf8(name) << " to click";
            return false;
        }
        const RECT &rect = control->GetPos();
        const LPARAM centre =
            MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        PostMessageW(handle_, WM_LBUTTONDOWN, MK_LBUTTON, centre);
        PostMessageW(handle_, WM_LBUTTONUP, 0, centre);
        return true;
    }

    // Whether the middle of the progress bar's fill, as the bar paints itself, is the green of
    // the finished fill rather than the blue of the running one.
    bool FillIsGreen()
    {
        CProgressUI *bar = Progress();
        const RECT pos = bar->GetPos();
        RECT client = {};
        GetClientRect(handle_, &client);
        Testing::DibSurface surface(client.right, client.bottom);
        bar->Paint(surface.Dc(), pos, nullptr);
        const int filled = (pos.right - pos.left) * bar->GetValue() / 100;
        const uint32_t rgb = surface.Rgb(pos.left + filled / 2, (pos.top + pos.bottom) / 2);
        return ((rgb >> 8) & 0xFF) > (rgb & 0xFF);
    }

    // Confirms the uninstall, with the silent uninstaller playing this script, and waits for
    // the progress page.
    [[nodiscard]] bool StartUninstall(const std::string &script,
                                      DWORD windowlessWaitMs = CMainWnd::kWindowlessWaitMs)
    {
        ScriptUninstaller(script);
        Open(windowlessWaitMs);
        return Click(L"uninsBtn") && Pump([&] { return Page() == 1; });
    }

    bool WaitUntilClosed()
    {
        return Pump([&] { return !IsWindow(handle_); });
    }

    // The title row and background that go with a page.
    void ExpectLookOfPage(int page)
    {
        SCOPED_TRACE("look of page " + std::to_string(page));
        EXPECT_EQ(Find(L"titleGrpCtn")->IsVisible(), page != 1) << "window buttons";
        EXPECT_EQ(FindAs<CTabLayoutUI>(L"titleTabLt", CTabLayoutUI::kClassName)->GetCurSel(),
                  page == 0 ? 0 : 1);
        const std::wstring background = L"res\\mainWnd\\bg" + std::to_wstring(page + 1) + L".png";
        EXPECT_EQ(Utf8(Find(L"winCtn")->GetBkImage().GetData()), Utf8(background));
    }

    bool LeftoversPresent() const
    {
        return FileExists(product_.File(L"Installer.data")) &&
               FileExists(product_.File(L"unins.data")) && KeyExists(kProductKey);
    }
    bool LeftoversGone() const
    {
        return !FileExists(product_.File(L"Installer.data")) &&
               !FileExists(product_.File(L"unins.data")) && !KeyExists(kProductKey);
    }

    ScratchFolder product_;
    std::unique_ptr<CMainWnd> window_;
    HWND handle_ = nullptr;
};

TEST_F(UninstallWindow, RunsOneUninstallFromTheQuestionToTheFinishedPage)
{
    const std::wstring goOn = product_.File(L"go-on");
    ScriptUninstaller("out Progress=0.37\\n\nwaitfor " + Utf8(goOn) + "\nout State=Success\\n\n");
    Open();
    EXPECT_EQ(Page(), 0);
    ExpectLookOfPage(0);
    auto *productName = FindAs<CLabelUI>(L"softNameLbl", CLabelUI::kClassName);
    ASSERT_NE(productName, nullptr);
    EXPECT_EQ(Utf8(productName->GetText().GetData()), "Quorvane");
    EXPECT_GT(productName->GetFixedWidth(), 30);
    EXPECT_LT(productName->GetFixedWidth(), 200);

    ASSERT_TRUE(Click(L"uninsBtn"));
    ASSERT_TRUE(Pump([&] { return Page() == 1; })) << "the click did not start the uninstall";
    ExpectLookOfPage(1);
    ASSERT_TRUE(Pump([&] { return Progress()->GetValue() == 37; }))
        << "progress " << Progress()->GetValue();
    EXPECT_TRUE(LeftoversPresent()) << "removed before the uninstaller succeeded";
    EXPECT_FALSE(FillIsGreen());

    WriteBytes(goOn, "");
    // The window removes the leftovers in the same message that starts the finished page's
    // delay, so the last time they were seen here comes before that start: measured from it, a
    // busy machine can only make the delay look longer.
    DWORD lastSeenPresent = GetTickCount();
    ASSERT_TRUE(Pump([&] {
        if (LeftoversGone())
            return true;
        lastSeenPresent = GetTickCount();
        return false;
    })) << "the leftovers stayed";
    EXPECT_EQ(Page(), 1) << "the finished page came at once";
    EXPECT_TRUE(FillIsGreen()) << "the finished fill from the skin package was not used";
    ASSERT_TRUE(Pump([&] { return Page() == 2; }));
    EXPECT_GE(GetTickCount() - lastSeenPresent, 900u) << "the finished page came too early";
    ExpectLookOfPage(2);
    EXPECT_EQ(Progress()->GetValue(), 37);
    EXPECT_TRUE(KeyExists(kOtherProductKey)) << "another product's key went too";

    const std::string log = TestSupport::StandInLog(UninstallerPath());
    EXPECT_NE(log.find("_?=" + Utf8(product_.Path())), std::string::npos) << log;

    ASSERT_TRUE(Click(L"closebtn"));
    EXPECT_TRUE(WaitUntilClosed());
}

TEST_F(UninstallWindow, TellsTheUserOfAFailedUninstallAndCloses)
{
    enum class Uninstaller
    {
        StandIn,
        Missing,
        NotAProgram,
    };
    struct Case
    {
        const char *name;
        std::string script;
        Uninstaller uninstaller;
        std::wstring message;
        // Shown with line breaks of its own, which the comparison leaves out.
        bool brokenIntoLines = false;
    };
    const std::wstring failed = L"安装包卸载失败";
    // Error lines far longer than the 771 characters the box shows: words, one word, Chinese
    // (wrapped by the box between its characters), a row of ellipses (between which it does
    // not wrap) and lines ended by carriage returns alone.
    const auto repeated = [](const std::string &part) {
        std::string text;
        while (text.size() < 200000) {
            text += part;
        }
        return text;
    };
    const std::string hugeError = repeated("cannot remove ");
    const std::string hugeWord = repeated("x");
    const std::wstring chinese =
        TestSupport::FromUtf8(repeated("无法删除文件，请关闭正在运行的程序。"));
    const std::wstring ellipses = TestSupport::FromUtf8(repeated("…"));
    const std::string returns = repeated("line\\r");
    const std::wstring returnsShown = TestSupport::FromUtf8(repeated("line ").substr(0, 771));
    const auto inUtf8 = [](const std::string &line) {
        return "out Encode=UTF8\\n\nout Error=" + line + "\\n\nexit 0\n";
    };
    const Case cases[] = {
        {"an error line", inUtf8("卸载文件被占用"), Uninstaller::StandIn, L"卸载文件被占用"},
        // A path the box widens for, without breaking it.
        {"an error line holding a path",
         inUtf8(
             "无法删除 "
             "C:\\\\Users\\\\somebody\\\\AppData\\\\Roaming\\\\Quorvane\\\\plugins\\\\convert.dll"),
         Uninstaller::StandIn,
         L"无法删除 C:\\Users\\somebody\\AppData\\Roaming\\Quorvane\\plugins\\convert.dll"},
        {"an error line larger than any screen", "out Error=" + hugeError + "\\n\nexit 0\n",
         Uninstaller::StandIn, TestSupport::FromUtf8(hugeError.substr(0, 771))},
        {"an error line of one word", "out Error=" + hugeWord + "\\n\nexit 0\n",
         Uninstaller::StandIn, TestSupport::FromUtf8(hugeWord.substr(0, 771)), true},
        {"an error line of Chinese", inUtf8(Utf8(chinese)), Uninstaller::StandIn,
         chinese.substr(0, 771)},
        {"an error line of ellipses", inUtf8(Utf8(ellipses)), Uninstaller::StandIn,
         ellipses.substr(0, 771), true},
        {"an error line of carriage returns", "out Error=" + returns + "\\n\nexit 0\n",
         Uninstaller::StandIn, returnsShown, true},
        {"a crash", "out Progress=0.5\\n\ncrash\n", Uninstaller::StandIn, failed},
        {"an error code", "out Progress=0.5\\n\nexit 3\n", Uninstaller::StandIn, failed},
        {"no silent uninstaller", "", Uninstaller::Missing, L"可执行卸载文件不存在"},
        {"a silent uninstaller that is no program", "", Uninstaller::NotAProgram, failed},
    };
    const std::wstring uninstaller = UninstallerPath();
    const std::wstring putAside = uninstaller + L".aside";
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ScriptUninstaller(c.script);
        if (c.uninstaller != Uninstaller::StandIn) {
            ASSERT_TRUE(
                MoveFileExW(uninstaller.c_str(), putAside.c_str(), MOVEFILE_REPLACE_EXISTING));
        }
        if (c.uninstaller == Uninstaller::NotAProgram) {
            ASSERT_TRUE(WriteBytes(uninstaller, "not a program"));
        }
        Open();
        // The click is only posted: the box comes once the window's messages run.
        ASSERT_TRUE(Click(L"uninsBtn"));
        MessageBoxAnswer answer;
        EXPECT_TRUE(WaitUntilClosed()) << "the window stayed";
        EXPECT_TRUE(answer.Answered()) << "no message came up";
        std::wstring shown = answer.Text();
        if (c.brokenIntoLines) {
            shown.erase(std::remove(shown.begin(), shown.end(), L'\n'), shown.end());
        }
        EXPECT_EQ(Utf8(shown), Utf8(c.message));
        EXPECT_TRUE(answer.OnScreen()) << "the message box reached beyond the screen";
        window_.reset();
        if (c.uninstaller != Uninstaller::StandIn) {
            MoveFileExW(putAside.c_str(), uninstaller.c_str(), MOVEFILE_REPLACE_EXISTING);
        }
        EXPECT_TRUE(LeftoversPresent()) << "removed after a failed uninstall";
    }
}

// A worker still busy with an uninstall refuses to start again, as one that cannot start at
// all does: the user is told and the window closes, rather than waiting on the progress page.
TEST_F(UninstallWindow, TellsTheUserWhenTheUninstallCannotStartAndCloses)
{
    const std::wstring goOn = product_.File(L"go-on");
    ASSERT_TRUE(StartUninstall("waitfor " + Utf8(goOn) + "\n"));

    CControlUI *button = Find(L"uninsBtn");
    ASSERT_NE(button, nullptr);
    MessageBoxAnswer answer;
    NotifyMessage again;
    again.type = L"click";
    again.sender = button;
    EXPECT_FALSE(window_->OnClick(again));
    EXPECT_TRUE(WaitUntilClosed()) << "the window stayed on the progress page";
    EXPECT_TRUE(answer.Answered()) << "no message came up";
    EXPECT_EQ(Utf8(answer.Text()), "安装包卸载失败");
    WriteBytes(goOn, "");
}

// An uninstaller may report more than one result, and a failure box's own message loop
// handles the events that come while it is up: the first result is the answer, and what
// follows it changes nothing.
TEST_F(UninstallWindow, ActsOnTheFirstResultOnly)
{
    struct Case
    {
        const char *name;
        std::string script;
        const char *message;
    };
    std::string errors;
    for (int i = 1; i <= 2000; ++i) {
        errors += "out Error=error " + std::to_string(i) + "\\n\n";
    }
    const Case failures[] = {
        {"an error, then success",
         "out Encode=UTF8\\n\nout Error=卸载文件被占用\\nState=Success\\n\n", "卸载文件被占用"},
        {"2,000 errors", errors, "error 1"},
    };
    for (const Case &c : failures) {
        SCOPED_TRACE(c.name);
        ScriptUninstaller(c.script);
        Open();
        MessageBoxAnswer answer;
        ASSERT_TRUE(Click(L"uninsBtn"));
        EXPECT_TRUE(WaitUntilClosed()) << "the window stayed";
        // Waits for the uninstaller's last event.
        window_.reset();
        EXPECT_EQ(answer.Count(), 1u);
        EXPECT_EQ(Utf8(answer.Text()), c.message);
        EXPECT_TRUE(LeftoversPresent()) << "removed after the failure was shown";
    }

    SCOPED_TRACE("success, then failure");
    ScriptUninstaller("out State=Success\\nState=Fail\\n\n");
    Open();
    MessageBoxAnswer answer;
    ASSERT_TRUE(Click(L"uninsBtn"));
    ASSERT_TRUE(Pump([&] { return !IsWindow(handle_) || Page() == 2; }));
    Testing::TestWindow::PumpPending();
    EXPECT_TRUE(IsWindow(handle_)) << "the window closed after its success";
    EXPECT_EQ(answer.Count(), 0u) << "a failure was shown after the success";
    EXPECT_TRUE(LeftoversGone());
}

// After a success the finished page may start the new installer, which writes the product's
// data files and key anew: they are the new installation's, and stay when the window goes.
TEST_F(UninstallWindow, RemovesTheLeftoversOfASuccessOnce)
{
    ASSERT_TRUE(StartUninstall("out State=Success\\n\n"));
    ASSERT_TRUE(Pump([&] { return Page() == 2; }));
    ASSERT_TRUE(LeftoversGone());
    PlantLeftovers();
    ASSERT_TRUE(Click(L"closebtn"));
    ASSERT_TRUE(WaitUntilClosed());
    window_.reset();
    EXPECT_TRUE(LeftoversPresent()) << "removed again as the window object went";
}

// An uninstaller may print progress far faster than the window can show it: the window shows
// the latest value, no queue of records builds up, and the result behind the flood is acted
// on as soon as it comes.
TEST_F(UninstallWindow, TakesAProgressFloodWithoutQueueingIt)
{
    std::string flood;
    while (flood.size() < 4000000) {
        flood += "Progress=0.25\\nProgress=0.5\\n";
    }
    ScriptUninstaller("out " + flood + "Progress=0.77\\n\nout State=Success\\n\n");
    Open();
    const long recordsBefore = UninstallEvent::LiveCount();
    long mostQueued = 0;
    ASSERT_TRUE(Click(L"uninsBtn"));
    ASSERT_TRUE(Pump([&] {
        mostQueued = std::max(mostQueued, UninstallEvent::LiveCount() - recordsBefore);
        return LeftoversGone();
    })) << "the leftovers stayed";
    // The latest progress, and the success behind it.
    EXPECT_LE(mostQueued, 2) << "event records queued up";
    EXPECT_EQ(Progress()->GetValue(), 77);
}

// A read-only leftover is removed like the others; one that another program holds stays, and
// the user is told which with the finished page.
TEST_F(UninstallWindow, RemovesReadOnlyLeftoversAndTellsOfThoseThatStay)
{
    const std::wstring installer = product_.File(L"Installer.data");
    ASSERT_TRUE(SetFileAttributesW(installer.c_str(), FILE_ATTRIBUTE_READONLY));
    {
        SCOPED_TRACE("a read-only Installer.data");
        MessageBoxAnswer answer;
        ASSERT_TRUE(StartUninstall("out State=Success\\n\n"));
        ASSERT_TRUE(Pump([&] { return Page() == 2; }));
        Testing::TestWindow::PumpPending();
        EXPECT_TRUE(LeftoversGone()) << "a leftover stayed";
        EXPECT_FALSE(answer.Answered()) << "told of a leftover that was removed";
        ASSERT_TRUE(Click(L"closebtn"));
        ASSERT_TRUE(WaitUntilClosed());
        window_.reset();
    }

    SCOPED_TRACE("an unins.data in use");
    PlantLeftovers();
    const std::wstring uninsData = product_.File(L"unins.data");
    const HANDLE inUse = CreateFileW(uninsData.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(inUse, INVALID_HANDLE_VALUE);
    MessageBoxAnswer answer;
    ASSERT_TRUE(StartUninstall("out State=Success\\n\n"));
    const bool told = Pump([&] { return answer.Answered(); });
    CloseHandle(inUse);
    ASSERT_TRUE(told) << "not told of the leftover that stayed";
    EXPECT_EQ(Page(), 2);
    std::wstring shown = answer.Text();
    shown.erase(std::remove(shown.begin(), shown.end(), L'\n'), shown.end());
    EXPECT_EQ(Utf8(shown), "卸载已完成，但以下残留未能删除，可手动删除：" + Utf8(uninsData));
    EXPECT_TRUE(FileExists(uninsData));
    EXPECT_FALSE(FileExists(installer));
    EXPECT_FALSE(KeyExists(kProductKey));
}

TEST_F(UninstallWindow, ClosesByItsButtonsButNotByEscape)
{
    ScriptUninstaller("");
    for (const wchar_t *button : {L"thinkBtn", L"closebtn"}) {
        SCOPED_TRACE(Utf8(button));
        Open();
        ASSERT_TRUE(Click(button));
        EXPECT_TRUE(WaitUntilClosed());
    }

    Open();
    PostMessageW(handle_, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageW(handle_, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    Pump([] { return false; }, 500);
    EXPECT_TRUE(IsWindow(handle_)) << "Escape closed the window";
    EXPECT_EQ(Page(), 0);
    EXPECT_FALSE(FileExists(UninstallerPath().substr(0, UninstallerPath().rfind(L'.')) + L".log"))
        << "closing started the uninstaller";
}

// The ways a user asks a window to close besides its own buttons.
struct CloseRequest
{
    const char *name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
const CloseRequest kCloseRequests[] = {
    {"close", WM_CLOSE, 0, 0},
    {"system close", WM_SYSCOMMAND, SC_CLOSE, 0},
    {"Alt+F4", WM_SYSKEYDOWN, VK_F4, static_cast<LPARAM>(KF_ALTDOWN) << 16 | 1},
};

TEST_F(UninstallWindow, RefusesEveryCloseRequestWhileTheUninstallRuns)
{
    ScriptUninstaller("");
    for (const CloseRequest &request : kCloseRequests) {
        SCOPED_TRACE(request.name);
        Open();
        PostMessageW(handle_, request.message, request.wParam, request.lParam);
        EXPECT_TRUE(WaitUntilClosed()) << "the request does not close the question page";
    }

    const std::wstring goOn = product_.File(L"go-on");
    ASSERT_TRUE(
        StartUninstall("out Progress=0.5\\n\nwaitfor " + Utf8(goOn) + "\nout State=Success\\n\n"));
    ASSERT_TRUE(Pump([&] { return Progress()->GetValue() == 50; }));
    for (const CloseRequest &request : kCloseRequests) {
        SCOPED_TRACE(request.name);
        PostMessageW(handle_, request.message, request.wParam, request.lParam);
        Testing::TestWindow::PumpPending();
        EXPECT_TRUE(IsWindow(handle_)) << "closed while the uninstall runs";
    }
    EXPECT_EQ(Page(), 1);

    WriteBytes(goOn, "");
    ASSERT_TRUE(Pump([&] { return LeftoversGone(); })) << "the leftovers stayed";
    PostMessageW(handle_, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntilClosed()) << "still refused once the uninstall has succeeded";
}

// The window may still go mid-way (it is destroyed from outside, or it closes after an error
// while the uninstaller lives on): the uninstall is still seen to its end, within a bound.
TEST_F(UninstallWindow, StillRemovesTheLeftoversOfASuccessThatCameAfterTheWindow)
{
    const std::wstring goOn = product_.File(L"go-on");
    ASSERT_TRUE(StartUninstall("waitfor " + Utf8(goOn) + "\nout State=Success\\n\n"));
    DestroyWindow(handle_);
    WriteBytes(goOn, "");
    window_.reset();
    EXPECT_TRUE(LeftoversGone()) << "the success came after the window and cleaned nothing";
}

TEST_F(UninstallWindow, WaitsForAHungUninstallerOnlyWithinABoundOnceTheWindowIsGone)
{
    constexpr DWORD kShortWaitMs = 500;
    ASSERT_TRUE(StartUninstall("hang\n", kShortWaitMs));
    std::string log;
    ASSERT_TRUE(Pump([&] {
        return (log = TestSupport::StandInLog(UninstallerPath())).find("\npid ") !=
               std::string::npos;
    }));
    DestroyWindow(handle_);
    // Without a bound this would wait for the hung uninstaller for ever.
    window_.reset();
    EXPECT_TRUE(LeftoversPresent());
    TestSupport::EndProcess(std::strtoul(log.c_str() + log.find("\npid ") + 5, nullptr, 10));
}

TEST_F(UninstallWindow, PassesOnNotificationsWithoutASender)
{
    Open();
    for (const wchar_t *type : {L"tabselect", L"timer", L"click"}) {
        SCOPED_TRACE(Utf8(type));
        NotifyMessage message;
        message.type = type;
        message.wParam = 1;
        window_->Notify(message);
        Testing::TestWindow::PumpPending();
        EXPECT_TRUE(IsWindow(handle_));
        EXPECT_EQ(Page(), 0);
    }
}

TEST_F(UninstallWindow, StartsTheNewestInstallerFromTheFinishedPage)
{
    const std::wstring installer =
        TestSupport::InstallStandIn(ProgramFolder(), "", L"TZQuorvane_Installer.exe");
    DeleteFileW((installer.substr(0, installer.rfind(L'.')) + L".log").c_str());
    EXPECT_EQ(Utf8(CMainWnd::GetInstallerPath()), Utf8(installer));
    Open();
    FindAs<CTabLayoutUI>(L"mainTabLt", CTabLayoutUI::kClassName)->SelectItem(2);
    ExpectLookOfPage(2);

    ASSERT_TRUE(Click(L"getNewestBtn"));
    EXPECT_TRUE(WaitUntilClosed());
    EXPECT_TRUE(window_->InstallerStarted());
    std::string log;
    EXPECT_TRUE(Pump([&] {
        return (log = TestSupport::StandInLog(installer)).find("\npid ") != std::string::npos;
    })) << "the installer did not start";
    const std::size_t pid = log.find("\npid ");
    if (pid != std::string::npos) {
        TestSupport::WaitForProcessEnd(std::strtoul(log.c_str() + pid + 5, nullptr, 10), kWaitMs);
    }
}

TEST_F(UninstallWindow, HoldsProgressBeyondTheBarAtItsEnds)
{
    struct Case
    {
        double fraction;
        int value;
    };
    const Case cases[] = {{0.5, 50}, {1e300, 100}, {-1e300, 0}, {2.0, 100}, {std::nan(""), 0}};
    Open();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fraction);
        window_->PostUninstallEvent(kUninstallProgressEvent, c.fraction, L"");
        Testing::TestWindow::PumpPending();
        EXPECT_EQ(Progress()->GetValue(), c.value);
    }
}

TEST_F(UninstallWindow, DropsEventsOnceTheWindowIsGone)
{
    Open();
    const long recordsBefore = UninstallEvent::LiveCount();
    DestroyWindow(handle_);
    window_->PostUninstallEvent(kUninstallProgressEvent, 0.5, L"");
    MSG message;
    EXPECT_FALSE(
        PeekMessageW(&message, nullptr, WM_UNINSTALL_EVENT, WM_UNINSTALL_EVENT, PM_NOREMOVE));
    EXPECT_EQ(UninstallEvent::LiveCount(), recordsBefore) << "a record was made for no window";
}

// Events still waiting in the queue when the window goes, those a thread posts up to its end
// included, go with it.
TEST_F(UninstallWindow, FreesTheEventsStillQueuedWhenTheWindowGoes)
{
    Open();
    const long recordsBefore = UninstallEvent::LiveCount();
    window_->PostUninstallEvent(kUninstallProgressEvent, 0.5, L"");
    window_->PostUninstallEvent(kUninstallErrorEvent, 0.0, L"still queued");
    ASSERT_EQ(UninstallEvent::LiveCount(), recordsBefore + 2);

    std::atomic<bool> windowGone{false};
    std::thread poster([&] {
        while (!windowGone) {
            window_->PostUninstallEvent(kUninstallProgressEvent, 0.5, L"");
        }
    });
    // Once the thread has posted, so that the window goes while it posts.
    const DWORD start = GetTickCount();
    while (UninstallEvent::LiveCount() == recordsBefore + 2 && GetTickCount() - start < kWaitMs) {
        std::this_thread::yield();
    }
    EXPECT_GT(UninstallEvent::LiveCount(), recordsBefore + 2) << "the thread posted nothing";
    DestroyWindow(handle_);
    windowGone = true;
    poster.join();
    EXPECT_EQ(UninstallEvent::LiveCount(), recordsBefore) << "queued records were left behind";
}

} // namespace
