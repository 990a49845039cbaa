#include "ControlUI.h"
#include "Delegate.h"
#include "NotifyPump.h"
#include "WindowManagerUI.h"
#include "WindowWnd.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace SkinUI;

namespace {

class PlainWindow : public CWindowWnd
{
public:
    ~PlainWindow() = default;
    const wchar_t *GetWindowClassName() const override { return L"SkinUIPlainTestWindow"; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        messages.push_back(message);
        return CWindowWnd::HandleMessage(message, wParam, lParam);
    }
    void OnFinalMessage(HWND window) override { finalWindow = window; }

    std::vector<UINT> messages;
    HWND finalWindow = nullptr;
};

class EditSuperclass : public PlainWindow
{
public:
    const wchar_t *GetWindowClassName() const override { return L"SkinUITestEditWnd"; }
    const wchar_t *GetSuperClassName() const override { return WC_EDITW; }
};

struct InstanceSetUp
{
    InstanceSetUp() { CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr)); }
};

} // namespace

TEST(WindowWnd, BindsTheWindowToItsObjectFromCreationToTheFinalMessage)
{
    InstanceSetUp instance;
    PlainWindow window;
    HWND handle = window.Create(nullptr, L"plain", WS_POPUP, 0, 10, 20, 120, 80);
    ASSERT_NE(nullptr, handle);
    EXPECT_EQ(handle, window.GetHWND());
    EXPECT_EQ(WM_NCCREATE, window.messages.front());
    window.SendMessage(WM_USER + 5);
    EXPECT_EQ(WM_USER + 5, window.messages.back());
    DestroyWindow(handle);
    EXPECT_EQ(nullptr, window.GetHWND());
    EXPECT_EQ(handle, window.finalWindow);
    window.Close(1); // harmless on a window that is gone
    window.ShowWindow(true);
}

TEST(WindowWnd, SuperclassKeepsTheExtendedClassBehaviour)
{
    InstanceSetUp instance;
    EditSuperclass edit;
    HWND handle = edit.Create(nullptr, L"typed text", WS_POPUP, 0, 0, 0, 100, 30);
    ASSERT_NE(nullptr, handle);
    wchar_t text[32] = {};
    GetWindowTextW(handle, text, 32);
    EXPECT_STREQ(L"typed text", text) << "the edit class's own procedure runs";
    EXPECT_EQ(&edit, GetPropW(handle, L"WndX"));
    DestroyWindow(handle);
    EXPECT_EQ(handle, edit.finalWindow);
}

TEST(WindowWnd, ModalLoopReturnsTheCloseResultAndPassesQuitOn)
{
    InstanceSetUp instance;
    {
        PlainWindow window;
        window.Create(nullptr, L"modal", WS_POPUP, 0, 0, 0, 50, 50);
        window.Close(42);
        EXPECT_EQ(42u, window.ShowModal());
    }
    {
        PlainWindow window;
        window.Create(nullptr, L"modal", WS_POPUP, 0, 0, 0, 50, 50);
        PostQuitMessage(7);
        EXPECT_EQ(0u, window.ShowModal());
        MSG message;
        ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
            << "the quit message is posted again for the outer loop";
        EXPECT_EQ(7u, message.wParam);
        DestroyWindow(window.GetHWND());
    }
}

TEST(WindowWnd, CentringKeepsALargeWindowInsideTheWorkArea)
{
    InstanceSetUp instance;
    PlainWindow window;
    window.Create(nullptr, L"big", WS_POPUP, 0, 300, 300, 5000, 4000);
    window.CenterWindow();
    RECT rect;
    GetWindowRect(window.GetHWND(), &rect);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(window.GetHWND(), MONITOR_DEFAULTTONEAREST), &monitor);
    EXPECT_EQ(monitor.rcWork.left, rect.left);
    EXPECT_EQ(monitor.rcWork.top, rect.top);
    DestroyWindow(window.GetHWND());
}

namespace {

class SecondBase
{
public:
    virtual ~SecondBase() = default;
    int padding = 0;
};

// The pump is not the first base, so the handlers need their object offset.
class Listener : public SecondBase, public CNotifyPump
{
public:
    const NotifyMap *GetMessageMap() const override { return &kMap; }
    bool OnNamedClick(NotifyMessage &) { return record(L"named"); }
    bool OnAnyClick(NotifyMessage &) { return record(L"any"); }
    bool OnLaterAnyClick(NotifyMessage &) { return record(L"later-any"); }
    bool OnChange(WPARAM wParam, LPARAM lParam)
    {
        return record(L"change " + std::to_wstring(wParam) + L"," + std::to_wstring(lParam));
    }

    std::vector<std::wstring> calls;
    static const NotifyMap kMap;

private:
    bool record(const std::wstring &call)
    {
        calls.push_back(call);
        return true;
    }
};

const NotifyMapEntry kListenerEntries[] = {NotifyOn(L"click", L"", &Listener::OnAnyClick),
                                           NotifyOn(L"click", L"closebtn", &Listener::OnNamedClick),
                                           NotifyOn(L"textchanged", L"", &Listener::OnChange),
                                           NotifyMapEnd()};
const NotifyMapEntry kDerivedEntries[] = {NotifyOn(L"click", L"", &Listener::OnAnyClick),
                                          NotifyOn(L"click", L"", &Listener::OnLaterAnyClick),
                                          NotifyMapEnd()};
const NotifyMap kBaseListenerMap = {&CNotifyPump::kMessageMap, kListenerEntries};
const NotifyMap Listener::kMap = {&kBaseListenerMap, kDerivedEntries};

class BaseOnly : public Listener
{
public:
    const NotifyMap *GetMessageMap() const override { return &kBaseListenerMap; }
};

NotifyMessage Notification(const wchar_t *type, CControlUI *sender, WPARAM wParam = 0,
                           LPARAM lParam = 0)
{
    NotifyMessage message;
    message.type = type;
    message.sender = sender;
    message.wParam = wParam;
    message.lParam = lParam;
    return message;
}

} // namespace

TEST(NotifyPump, FindsHandlersBySenderNameTypeAndBaseMaps)
{
    CControlUI close;
    close.SetName(L"closebtn");
    CControlUI other;
    other.SetName(L"other");

    BaseOnly base;
    struct Case
    {
        NotifyMessage message;
        bool handled;
        const wchar_t *call;
    } cases[] = {{Notification(L"click", &close), true, L"named"},
                 {Notification(L"click", &other), true, L"any"},
                 {Notification(L"click", nullptr), true, L"any"},
                 {Notification(L"textchanged", &other, 3, 4), true, L"change 3,4"},
                 {Notification(L"selectchanged", &other), false, nullptr}};
    for (Case &c : cases) {
        base.calls.clear();
        EXPECT_EQ(c.handled, base.Dispatch(c.message)) << c.message.type.GetData();
        if (c.call)
            EXPECT_EQ((std::vector<std::wstring>{c.call}), base.calls);
        else
            EXPECT_TRUE(base.calls.empty());
    }

    // The derived map wins, and of two any-sender entries the later one is used.
    Listener derived;
    NotifyMessage click = Notification(L"click", &close);
    EXPECT_TRUE(derived.Dispatch(click));
    EXPECT_EQ((std::vector<std::wstring>{L"later-any"}), derived.calls);
    NotifyMessage change = Notification(L"textchanged", &close, 1, 2);
    EXPECT_TRUE(derived.Dispatch(change)) << "from the base map";
}

TEST(NotifyPump, VirtualWindowsGetTheirNotificationsFirst)
{
    CControlUI sender;
    BaseOnly host;
    BaseOnly page;
    ASSERT_TRUE(host.AddVirtualWnd(L"Page", &page));
    NotifyMessage click = Notification(L"click", &sender);
    click.virtualWindow = L"page";
    EXPECT_TRUE(host.Dispatch(click));
    EXPECT_EQ(1u, page.calls.size());
    EXPECT_TRUE(host.calls.empty());
}

namespace {

struct Counter
{
    bool Count(void *parameter)
    {
        seen.push_back(parameter);
        return answer;
    }
    std::vector<void *> seen;
    bool answer = true;
};

} // namespace

TEST(DelegateList, KeepsOneCopyPerObjectAndFunctionAndStopsAtFalse)
{
    Counter first;
    Counter second;
    CDelegateList list;
    EXPECT_FALSE(static_cast<bool>(list));
    EXPECT_TRUE(list.Invoke(nullptr)) << "an empty list";

    CDelegate<Counter, &Counter::Count> firstDelegate(&first);
    list.Add(firstDelegate);
    list.Add(CDelegate<Counter, &Counter::Count>(&first));
    list.Add(CDelegate<Counter, &Counter::Count>(&second));
    EXPECT_EQ(2, list.GetCount());

    int parameter = 0;
    EXPECT_TRUE(list.Invoke(&parameter));
    EXPECT_EQ(1u, first.seen.size());
    EXPECT_EQ(&parameter, second.seen[0]);

    first.answer = false;
    EXPECT_FALSE(list.Invoke(nullptr));
    EXPECT_EQ(1u, second.seen.size()) << "not reached after a false";

    EXPECT_TRUE(list.Remove(firstDelegate));
    EXPECT_TRUE(list.Invoke(nullptr));
}
