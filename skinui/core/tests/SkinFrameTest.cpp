#include "ContainerUI.h"
#include "FontEntry.h"
#include "ProgressUI.h"
#include "SkinFrame.h"
#include "SkinResourceSource.h"
#include "TabLayoutUI.h"
#include "TestFiles.h"
#include "TestWindow.h"
#include "TreeText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cwchar>
#include <thread>
#include <string>
#include <vector>

using namespace SkinUI;
using namespace SkinUI::Testing;

namespace {

// A stand-in with the class name of a control the framework does not have yet, so that the
// test skins build as they will with the real one.
class StandInControl : public CControlUI
{
public:
    explicit StandInControl(const wchar_t *className) : m_class(className) {}
    const wchar_t *GetClass() const override { return m_class.GetData(); }

private:
    CWideString m_class;
};

CControlUI *CreateStandIn(const wchar_t *className)
{
    for (const wchar_t *leaf : {L"Option", L"Text"})
        if (wcscmp(className, leaf) == 0)
            return new StandInControl(className);
    return nullptr;
}

// Points the process's skin source at one of the tests' skins. The old package is closed
// before the package kind changes, as it is closed by its own kind.
void SelectSource(ResourceSourceKind kind)
{
    CWindowManagerUI::SetResourcePackageFile(L"", false);
    CWindowManagerUI::SetSevenZipPackage(kind == SourcePackageResource);
    const bool folder = kind == SourceDirectory || kind == SourceXmlResource;
    CWindowManagerUI::SetResourcePath((FrameSkinRoot() + (folder ? L"skin\\" : L"")).c_str());
}

struct ProcessSetUp
{
    ProcessSetUp()
    {
        CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
        registerShadowClass(GetModuleHandleW(nullptr));
    }
};

void SetUpProcess()
{
    static ProcessSetUp once;
}

// A frame over one of the tests' skins that records its clicks and the calls of InitWindow.
class TestFrame : public CSkinFrame
{
public:
    explicit TestFrame(ResourceSourceKind kind, const wchar_t *skinFile = L"frame.xml",
                       int resourceId = 132, bool selectSource = true)
        : CSkinFrame(SkinFrameSetup{kind, resourceId, L"", skinFile, L"SkinFrameTestWindow"})
    {
        SetUpProcess();
        if (selectSource)
            SelectSource(kind);
    }
    ~TestFrame() override
    {
        if (IsWindow(m_hWnd))
            DestroyWindow(m_hWnd);
    }

    HWND Open(DWORD style = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)
    {
        return Create(nullptr, L"frame", style, 0, 50, 50, 100, 100);
    }
    // Shown in its present state, maximised or not, without taking the focus.
    void Show() { ::ShowWindow(m_hWnd, SW_SHOWNA); }
    Pixels Paint()
    {
        Show();
        InvalidateRect(m_hWnd, nullptr, FALSE);
        UpdateWindow(m_hWnd);
        return ReadBitmap(m_manager.GetOffscreenBitmap());
    }
    LRESULT HitTest(int x, int y)
    {
        POINT point = {x, y};
        ClientToScreen(m_hWnd, &point);
        return SendMessage(WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
    }
    CControlUI *Find(const wchar_t *name) { return m_manager.FindControlByName(name); }
    // A click posted as the mouse would post it, through the message loop; false when no
    // click reached OnClick.
    bool ClickAt(int x, int y)
    {
        const size_t before = clicks.size();
        PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        return TestWindow::PumpUntil([&] { return clicks.size() > before; });
    }
    bool ClickOn(CControlUI *control)
    {
        const RECT &rect = control->GetPos();
        return ClickAt((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    }

    const wchar_t *GetPackageFileName() const override { return L"frame.zip"; }
    CControlUI *CreateControl(const wchar_t *className) override
    {
        return CreateStandIn(className);
    }
    void InitWindow() override
    {
        ++initCount;
        CSkinFrame::InitWindow();
    }
    bool OnClick(NotifyMessage &message) override
    {
        clicks.push_back(message.sender ? message.sender->GetName().GetData() : L"");
        return CSkinFrame::OnClick(message);
    }
    void Notify(NotifyMessage &message) override
    {
        notifications.push_back(message.type.GetData());
        CSkinFrame::Notify(message);
    }

    int initCount = 0;
    std::vector<std::wstring> clicks;
    std::vector<std::wstring> notifications;
};

// The plain window base, whose default keys are its own.
class PlainSkinWindow : public WindowImplBase
{
public:
    PlainSkinWindow()
    {
        SetUpProcess();
        SelectSource(SourceDirectory);
    }
    ~PlainSkinWindow() override
    {
        if (IsWindow(m_hWnd))
            DestroyWindow(m_hWnd);
    }
    const wchar_t *GetWindowClassName() const override { return L"PlainSkinTestWindow"; }
    const wchar_t *GetSkinFolder() override { return L""; }
    const wchar_t *GetSkinFile() override { return L"hittest.xml"; }
    CControlUI *CreateControl(const wchar_t *className) override
    {
        return CreateStandIn(className);
    }
};

RECT WindowRect(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

// What became of a skinned window opened in a process of its own.
struct ProbeOutcome
{
    DWORD exitCode = STILL_ACTIVE;
    bool messageShown = false;
    std::wstring caption;
    std::vector<std::wstring> texts; // of the message box's controls
};

// Read as stored, never asked of the window: a window of a loaded process answers late.
std::wstring TextOf(HWND window)
{
    wchar_t text[256] = {};
    InternalGetWindowText(window, text, 256);
    return text;
}

HWND FindMessageBoxOf(DWORD processId)
{
    struct Search
    {
        DWORD processId;
        HWND found;
    } search = {processId, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto *search = reinterpret_cast<Search *>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t className[16] = {};
            GetClassNameW(window, className, 16);
            if (owner != search->processId || wcscmp(className, L"#32770") != 0)
                return TRUE;
            search->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Runs the probe, answers a message box it shows with OK and waits for its end (a Wine
// program started on a busy machine takes seconds; the bound is a safety net only).
ProbeOutcome RunProbe(ResourceSourceKind kind, const wchar_t *skinFile, int resourceId)
{
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring probe(module);
    probe.replace(probe.find_last_of(L"\\/") + 1, std::wstring::npos, L"skin_window_probe.exe");
    std::wstring command = L"\"" + probe + L"\" " + std::to_wstring(kind) + L" " + skinFile + L" " +
                           std::to_wstring(resourceId) + L" \"" + FrameSkinRoot() + L"skin\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    ProbeOutcome outcome;
    if (!CreateProcessW(probe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return outcome;
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT &&
           GetTickCount() - start < TestWindow::kWaitMs) {
        // A box has its caption and texts once it is set up, just before it shows: a search
        // on a busy machine may find it in between.
        HWND box = FindMessageBoxOf(process.dwProcessId);
        if (!box || !IsWindowVisible(box) || outcome.messageShown)
            continue;
        outcome.messageShown = true;
        outcome.caption = TextOf(box);
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            outcome.texts.push_back(TextOf(child));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(process.hProcess, 99);
    GetExitCodeProcess(process.hProcess, &outcome.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return outcome;
}

bool Holds(const std::vector<std::wstring> &texts, const wchar_t *wanted)
{
    for (const std::wstring &text : texts)
        if (text == wanted)
            return true;
    return false;
}

// A skin that cannot be built shows a message box and ends the process with 1. Nobody would
// answer it in these tests: this watchdog does, so that such a failure ends at once.
class MessageBoxWatchdog : public testing::Environment
{
public:
    void SetUp() override
    {
        m_thread = std::thread([this] {
            while (!m_stop) {
                if (HWND box = FindMessageBoxOf(GetCurrentProcessId())) {
                    fprintf(stderr, "a skin could not be built; its message box is answered\n");
                    PostMessageW(box, WM_COMMAND, IDOK, 0);
                }
                Sleep(100);
            }
        });
    }
    void TearDown() override
    {
        m_stop = true;
        m_thread.join();
    }

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

testing::Environment *const watchdog = testing::AddGlobalTestEnvironment(new MessageBoxWatchdog);

} // namespace

TEST(SkinFrame, TheSameSkinFromEverySourceGivesTheSameWindow)
{
    struct Source
    {
        const char *label;
        ResourceSourceKind kind;
        const wchar_t *skinFile;
    };
    const Source sources[] = {{"folder", SourceDirectory, L"frame.xml"},
                              {"zip file", SourceZipFile, L"frame.xml"},
                              {"xml resource", SourceXmlResource, L"201"},
                              {"7z resource", SourcePackageResource, L"frame.xml"}};
    std::wstring firstTree;
    for (const Source &source : sources) {
        SCOPED_TRACE(source.label);
        TestFrame frame(source.kind, source.skinFile);
        ASSERT_NE(nullptr, frame.Open());
        EXPECT_EQ(1, frame.initCount);
        CWindowManagerUI &manager = frame.GetManager();
        const std::wstring tree = TreeText(manager.GetRoot());
        EXPECT_NE(std::wstring::npos, tree.find(L"Progress:progress")) << tree.c_str();
        if (firstTree.empty())
            firstTree = tree;
        EXPECT_EQ(firstTree, tree);

        const RECT rect = WindowRect(frame);
        EXPECT_EQ(360, rect.right - rect.left) << "the skin's window size";
        EXPECT_EQ(240, rect.bottom - rect.top);
        EXPECT_EQ(16, manager.GetFontInfo(1)->size);
        EXPECT_STREQ(L"Frame", CWindowManagerUI::GetLanguageString(1));
        Pixels pixels = frame.Paint();
        ASSERT_EQ(360, pixels.width);
        EXPECT_EQ(0x3A5BA0u, pixels.RgbAt(180, 4)) << "pictures from the same source";
        EXPECT_EQ(0xF4F6FAu, pixels.RgbAt(180, 200));
    }
}

TEST(SkinFrame, AWindowFromThePackageResourceClicksSwitchesPagesAndFillsItsProgressBar)
{
    TestFrame frame(SourcePackageResource);
    ASSERT_NE(nullptr, frame.Open());
    frame.Paint();
    auto *title = frame.Find(L"title");
    auto *minButton = frame.Find(L"minbtn");
    auto *next = frame.Find(L"nextbtn");
    auto *pages = static_cast<CTabLayoutUI *>(frame.Find(L"pages"));
    auto *progress = static_cast<CProgressUI *>(frame.Find(L"progress"));
    ASSERT_TRUE(title && minButton && next && pages && progress);

    const RECT &label = title->GetPos();
    EXPECT_EQ(HTCAPTION, frame.HitTest(label.left + 2, label.top + 20)) << "the title label drags";
    const RECT &button = minButton->GetPos();
    EXPECT_EQ(HTCLIENT, frame.HitTest(button.left + 2, button.top + 2));
    EXPECT_EQ(HTTOPLEFT, frame.HitTest(2, 2));
    EXPECT_EQ(HTBOTTOMRIGHT, frame.HitTest(357, 237));

    ASSERT_TRUE(frame.ClickOn(next));
    EXPECT_EQ(L"nextbtn", frame.clicks.back());
    EXPECT_TRUE(pages->SelectItem(1));
    EXPECT_NE(frame.notifications.end(),
              std::find(frame.notifications.begin(), frame.notifications.end(), L"tabselect"));
    EXPECT_FALSE(next->IsVisible()) << "the first page went";

    progress->SetValue(37);
    Pixels pixels = frame.Paint();
    const RECT bar = progress->GetPos();
    const int fillEnd = bar.left + (bar.right - bar.left) * 37 / 100;
    const int middle = (bar.top + bar.bottom) / 2;
    EXPECT_EQ(0x20A060u, pixels.RgbAt(bar.left + 1, middle)) << "the fill picture";
    EXPECT_EQ(0x20A060u, pixels.RgbAt(fillEnd - 1, middle));
    EXPECT_EQ(0xD8DCE4u, pixels.RgbAt(fillEnd + 1, middle)) << "the track picture";
    EXPECT_EQ(0xD8DCE4u, pixels.RgbAt(bar.right - 1, middle));
}

TEST(SkinFrame, TheCaptionBandDragsExceptOverButtonsOptionsAndTexts)
{
    TestFrame frame(SourceDirectory, L"hittest.xml");
    ASSERT_NE(nullptr, frame.Open());
    frame.Paint();
    struct Case
    {
        int x, y;
        LRESULT expected;
    };
    const Case restored[] = {
        {1, 1, HTTOPLEFT},         {100, 3, HTTOP},      {198, 1, HTTOPRIGHT},
        {1, 75, HTLEFT},           {197, 75, HTRIGHT},   {196, 75, HTCLIENT},
        {1, 148, HTBOTTOMLEFT},    {100, 147, HTBOTTOM}, {100, 146, HTCLIENT},
        {198, 148, HTBOTTOMRIGHT}, {100, 4, HTCAPTION},  {20, 15, HTCAPTION},
        {50, 15, HTCLIENT},        {80, 15, HTCLIENT},   {110, 15, HTCLIENT},
        {5, 15, HTCLIENT},         {189, 15, HTCAPTION}, {190, 15, HTCLIENT},
        {20, 29, HTCAPTION},       {20, 30, HTCLIENT},   {20, 80, HTCLIENT},
    };
    for (const Case &c : restored)
        EXPECT_EQ(c.expected, frame.HitTest(c.x, c.y)) << "at " << c.x << "," << c.y;

    ::ShowWindow(frame, SW_MAXIMIZE);
    ASSERT_TRUE(IsZoomed(frame));
    frame.Paint();
    EXPECT_EQ(HTCAPTION, frame.HitTest(20, 1)) << "a maximised window has no size box";
    EXPECT_EQ(HTCLIENT, frame.HitTest(1, 1));
}

TEST(SkinFrame, MaximisingFillsTheWorkAreaAndTheSkinSetsTheMinimum)
{
    TestFrame frame(SourceDirectory, L"hittest.xml");
    ASSERT_NE(nullptr, frame.Open());
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(frame, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT &work = monitor.rcWork;

    MINMAXINFO info = {};
    frame.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(work.left - monitor.rcMonitor.left, info.ptMaxPosition.x);
    EXPECT_EQ(work.right - work.left, info.ptMaxTrackSize.x);
    EXPECT_EQ(work.bottom - work.top, info.ptMaxTrackSize.y);
    EXPECT_EQ(120, info.ptMinTrackSize.x);
    EXPECT_EQ(90, info.ptMinTrackSize.y);

    frame.SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
    ASSERT_TRUE(IsZoomed(frame));
    RECT maximised = WindowRect(frame);
    EXPECT_EQ(work.left, maximised.left);
    EXPECT_EQ(work.top, maximised.top);
    EXPECT_EQ(work.right, maximised.right);
    EXPECT_EQ(work.bottom, maximised.bottom);
    RECT client;
    GetClientRect(frame, &client);
    EXPECT_EQ(work.right - work.left, client.right) << "no frame around the client area";
}

TEST(SkinFrame, SystemCommandsSwapTheMaximiseButtonsAndCloseThroughClose)
{
    TestFrame frame(SourceDirectory, L"hittest.xml");
    ASSERT_NE(nullptr, frame.Open());
    CControlUI *maxButton = frame.Find(L"maxbtn");
    CControlUI *restoreButton = frame.Find(L"restorebtn");
    ASSERT_TRUE(maxButton && restoreButton);

    frame.SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
    EXPECT_FALSE(maxButton->IsVisible());
    EXPECT_TRUE(restoreButton->IsVisible());
    frame.SendMessage(WM_SYSCOMMAND, SC_RESTORE);
    EXPECT_TRUE(maxButton->IsVisible());
    EXPECT_FALSE(restoreButton->IsVisible());

    HWND window = frame;
    frame.SendMessage(WM_SYSCOMMAND, SC_CLOSE);
    EXPECT_FALSE(IsWindow(window));
}

TEST(SkinFrame, TheWindowsOwnButtonsActByTheirNamesWhenClicked)
{
    TestFrame frame(SourceDirectory, L"hittest.xml");
    HWND window = frame.Open();
    ASSERT_NE(nullptr, window);
    frame.Paint();
    ASSERT_TRUE(frame.ClickAt(152, 15));
    EXPECT_TRUE(IsZoomed(window)) << "maxbtn";
    frame.Paint();
    ASSERT_TRUE(frame.ClickAt(152, 15));
    EXPECT_FALSE(IsZoomed(window)) << "restorebtn, in maxbtn's place";
    ASSERT_TRUE(frame.ClickAt(50, 15));
    EXPECT_TRUE(IsWindow(window)) << "a button without a window role does nothing";
    ASSERT_TRUE(frame.ClickAt(137, 15));
    EXPECT_TRUE(IsIconic(window)) << "minbtn";
    ::ShowWindow(window, SW_RESTORE);
    frame.Paint();
    ASSERT_TRUE(frame.ClickAt(167, 15));
    EXPECT_TRUE(TestWindow::PumpUntil([&] { return !IsWindow(window); })) << "closebtn";
    EXPECT_EQ((std::vector<std::wstring>{L"maxbtn", L"restorebtn", L"bandbutton", L"minbtn",
                                         L"closebtn"}),
              frame.clicks);
}

TEST(SkinFrame, RoundCornersCutTheRegionAgainAtEverySize)
{
    TestFrame frame(SourceDirectory, L"hittest.xml");
    ASSERT_NE(nullptr, frame.Open());
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    for (SIZE size : {SIZE{200, 150}, SIZE{260, 170}}) {
        SetWindowPos(frame, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        ASSERT_NE(ERROR, GetWindowRgn(frame, region));
        RECT box;
        GetRgnBox(region, &box);
        EXPECT_EQ(size.cx, box.right) << "the region reaches the window's edge";
        EXPECT_EQ(size.cy, box.bottom);
        EXPECT_FALSE(PtInRegion(region, 0, 0)) << "corners are cut";
        EXPECT_FALSE(PtInRegion(region, size.cx - 1, size.cy - 1));
        EXPECT_TRUE(PtInRegion(region, 4, size.cy / 2));
        EXPECT_TRUE(PtInRegion(region, size.cx - 1, size.cy / 2));
    }
    DeleteObject(region);
}

TEST(SkinFrame, EscapeClosesAPlainSkinnedWindowButNotAFrame)
{
    PlainSkinWindow plain;
    ASSERT_NE(nullptr, plain.Create(nullptr, L"plain", WS_POPUP, 0, 0, 0, 100, 100));
    HWND plainWindow = plain;
    PostMessageW(plainWindow, WM_KEYDOWN, VK_RETURN, 1);
    TestWindow::PumpUntil([] { return false; }, 50);
    EXPECT_TRUE(IsWindow(plainWindow)) << "Return does nothing by default";
    PostMessageW(plainWindow, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_TRUE(TestWindow::PumpUntil([&] { return !IsWindow(plainWindow); }));

    TestFrame frame(SourceDirectory, L"hittest.xml");
    HWND frameWindow = frame.Open();
    ASSERT_NE(nullptr, frameWindow);
    PostMessageW(frameWindow, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageW(frameWindow, WM_KEYDOWN, VK_RETURN, 1);
    TestWindow::PumpUntil([] { return false; }, 200);
    EXPECT_TRUE(IsWindow(frameWindow));
}

TEST(SkinFrame, TheSkinConfiguresTheShadowWhenShowShadowIsTrueInAnyCase)
{
    TestFrame frame(SourceDirectory, L"frame.xml");
    ASSERT_NE(nullptr, frame.Open());
    EXPECT_EQ(&frame.GetShadow(), CShadowWindow::shadowOf(frame)) << "showshadow=\"TRUE\"";
    const ShadowParameters &parameters = frame.GetShadow().parameters();
    EXPECT_EQ(6, parameters.size);
    EXPECT_EQ(8, parameters.sharpness);
    EXPECT_EQ(160, parameters.darkness);
    EXPECT_EQ(0, parameters.xOffset);
    EXPECT_EQ(RGB(0x20, 0x40, 0xC0), parameters.color);
    EXPECT_EQ(0, GetWindowLongPtrW(frame, GWL_STYLE) & (WS_CAPTION | WS_MAXIMIZEBOX));

    TestFrame refused(SourceDirectory, L"shadow.xml");
    ASSERT_NE(nullptr, refused.Open());
    const ShadowParameters &kept = refused.GetShadow().parameters();
    EXPECT_EQ(0, kept.size) << "30 is out of range";
    EXPECT_EQ(150, kept.darkness) << "300 is out of range";
    EXPECT_EQ(10, kept.sharpness);
    EXPECT_EQ(1, kept.yOffset);
    EXPECT_EQ(RGB(0x00, 0x3B, 0x76), kept.color) << "#26003B76 is a dark blue";
    refused.Paint();
    HWND shadow = refused.GetShadow().shadowHandle();
    ASSERT_TRUE(TestWindow::PumpUntil([&] { return IsWindowVisible(shadow) != FALSE; }));
    const RECT window = WindowRect(refused);
    const RECT around = WindowRect(shadow);
    EXPECT_EQ(window.left - 8, around.left) << "the picture's corners widen the shadow";
    EXPECT_EQ(window.top - 6, around.top);
    EXPECT_EQ(window.bottom + 10, around.bottom);

    TestFrame none(SourceDirectory, L"noshadow.xml");
    ASSERT_NE(nullptr, none.Open());
    EXPECT_EQ(nullptr, CShadowWindow::shadowOf(none));
}

TEST(SkinFrame, APackageResourceIsCopiedOnceAndFreedWhenThePackageCloses)
{
    SkinResourceSource &source = SkinResourceSource::Process();
    TestFrame first(SourcePackageResource);
    ASSERT_NE(nullptr, first.Open());
    const uint8_t *copy = source.packageCopy.get();
    void *package = source.packageHandle;
    ASSERT_NE(nullptr, copy);
    ASSERT_NE(nullptr, package);

    TestFrame second(SourcePackageResource, L"frame.xml", 132, false);
    ASSERT_NE(nullptr, second.Open());
    EXPECT_EQ(copy, source.packageCopy.get()) << "the open package is used again";
    EXPECT_EQ(package, source.packageHandle);

    CWindowManagerUI::CloseResourcePackage();
    EXPECT_EQ(nullptr, source.packageCopy.get());
}

TEST(SkinFrame, ADamagedPictureAndAnUnknownClassBuildWhatTheyCan)
{
    TestFrame frame(SourceDirectory, L"damaged.xml");
    ASSERT_NE(nullptr, frame.Open());
    EXPECT_EQ(L"Container:root[Control:broken,Control:after]",
              TreeText(frame.GetManager().GetRoot()));
    Pixels pixels = frame.Paint();
    ASSERT_EQ(200, pixels.width);
    EXPECT_EQ(nullptr, frame.GetManager().GetImage(L"res\\damaged.png"));
    EXPECT_EQ(0x20A060u, pixels.RgbAt(150, 60)) << "the picture after it is drawn";
}

TEST(SkinFrame, ASkinThatCannotBeBuiltIsReportedAndEndsTheProcess)
{
    struct Case
    {
        const char *label;
        ResourceSourceKind kind;
        const wchar_t *skinFile;
        int resourceId;
    };
    const Case failing[] = {
        {"no package resource", SourcePackageResource, L"frame.xml", 999},
        {"an empty package resource", SourcePackageResource, L"frame.xml", 133},
        {"a package resource that is no package", SourcePackageResource, L"frame.xml", 134},
        {"a skin file that is not there", SourceDirectory, L"nosuchskin.xml", 0},
    };
    for (const Case &c : failing) {
        SCOPED_TRACE(c.label);
        ProbeOutcome outcome = RunProbe(c.kind, c.skinFile, c.resourceId);
        EXPECT_TRUE(outcome.messageShown);
        EXPECT_EQ(L"SkinUI", outcome.caption);
        EXPECT_TRUE(Holds(outcome.texts, L"加载资源文件失败"));
        EXPECT_EQ(1u, outcome.exitCode);
    }

    ProbeOutcome built = RunProbe(SourceDirectory, L"damaged.xml", 0);
    EXPECT_FALSE(built.messageShown);
    EXPECT_EQ(0u, built.exitCode);
}
