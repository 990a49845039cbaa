#include "DateTimeUI.h"

#include "ProbeControl.h"
#include "TestWindow.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

using namespace SkinUI;
using namespace SkinUI::Testing;

// The date control on the shared test window with its real native date picker: opened by
// the focus, dates set through the picker's own messages and written back as year, month
// and day when it loses the focus, Escape, Backspace and a control that goes while its
// picker is open.
namespace {

std::wstring Formatted(const SYSTEMTIME &date)
{
    wchar_t text[32] = {};
    swprintf(text, 32, L"%4d-%02d-%02d", date.wYear, date.wMonth, date.wDay);
    return text;
}

std::wstring Today()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return Formatted(now);
}

SYSTEMTIME Date(WORD year, WORD month, WORD day)
{
    SYSTEMTIME date = {};
    date.wYear = year;
    date.wMonth = month;
    date.wDay = day;
    date.wHour = 12;
    return date;
}

// One date control at (10, 10)-(190, 40) of a shown 200 x 100 window, beside a probe that
// takes the focus away when it is clicked.
struct DateWindow
{
    DateWindow()
    {
        control = new CDateTimeUI;
        control->SetName(L"date");
        other = new ProbeControl(L"other");
        root->Add(control, RECT{10, 10, 190, 40});
        root->Add(other, RECT{10, 60, 190, 90});
        window.Attach(root);
        window.Show();
    }

    HWND Open()
    {
        window.Click(100, 25);
        return control->GetNativeWindow();
    }
    void FocusElsewhere() { window.Click(100, 75); }
    std::wstring Text() const { return control->GetText().GetData(); }
    bool WaitClosed(HWND picker)
    {
        return window.PumpUntil([&] { return !IsWindow(picker); });
    }

    TestWindow window{200, 100};
    ProbeParent *root = new ProbeParent;
    CDateTimeUI *control;
    ProbeControl *other;
};

std::wstring PickerDate(HWND picker)
{
    SYSTEMTIME date = {};
    SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date));
    return Formatted(date);
}

void SetPickerDate(HWND picker, SYSTEMTIME date)
{
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&date));
}

TEST(DateTimeUI, ANewControlShowsTodayAsYearMonthDay)
{
    const std::wstring before = Today();
    CDateTimeUI control;
    const std::wstring shown = control.GetText().GetData();
    EXPECT_TRUE(shown == before || shown == Today()) << shown;
    EXPECT_STREQ(control.GetClass(), L"DateTime");
    EXPECT_EQ(control.GetInterface(L"DateTime"), &control);
    EXPECT_EQ(control.GetInterface(L"Label"), static_cast<CLabelUI *>(&control));
    EXPECT_EQ(1u, control.GetBehaviorFlags());

    SYSTEMTIME fifth = Date(2026, 1, 5);
    EXPECT_EQ(L"2026-01-05", Formatted(fifth)) << "month and day zero-padded";
}

TEST(DateTimeUI, ADateSetThroughThePickerIsWrittenBackWhenItLosesTheFocus)
{
    DateWindow w;
    HWND picker = w.Open();
    ASSERT_NE(nullptr, picker);
    wchar_t name[64] = {};
    GetClassNameW(picker, name, 64);
    EXPECT_STREQ(L"DateTimeWnd", name);
    EXPECT_EQ(picker, GetFocus());
    EXPECT_EQ(w.Text(), PickerDate(picker)) << "the picker starts at the shown date";

    SetPickerDate(picker, Date(2026, 1, 5));
    EXPECT_EQ(w.Text(), Today()) << "nothing written while picking";
    w.FocusElsewhere();
    EXPECT_TRUE(w.WaitClosed(picker));
    EXPECT_EQ(L"2026-01-05", w.Text());
    EXPECT_EQ(nullptr, w.control->GetNativeWindow());

    picker = w.Open();
    ASSERT_NE(nullptr, picker);
    EXPECT_EQ(L"2026-01-05", PickerDate(picker)) << "reopened at the written date";
}

TEST(DateTimeUI, EscapeKeepsTheTextAndBackspaceClearsIt)
{
    DateWindow w;
    HWND picker = w.Open();
    ASSERT_NE(nullptr, picker);
    const std::wstring before = w.Text();
    SetPickerDate(picker, Date(1999, 12, 31));
    PostMessageW(picker, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    EXPECT_TRUE(w.WaitClosed(picker));
    EXPECT_EQ(before, w.Text()) << "the focus loss after Escape writes nothing";

    for (WPARAM key : {static_cast<WPARAM>(VK_BACK), static_cast<WPARAM>(VK_DELETE)}) {
        w.FocusElsewhere();
        w.control->SetText(L"2001-02-03");
        picker = w.Open();
        ASSERT_NE(nullptr, picker);
        PostMessageW(picker, WM_KEYUP, key, 0xC0000001);
        EXPECT_TRUE(w.WaitClosed(picker));
        EXPECT_EQ(L"", w.Text());
    }

    // An emptied control starts picking at the current local time.
    w.FocusElsewhere();
    const std::wstring today = Today();
    picker = w.Open();
    ASSERT_NE(nullptr, picker);
    const std::wstring started = PickerDate(picker);
    EXPECT_TRUE(started == today || started == Today()) << started;
}

TEST(DateTimeUI, APickerOutOfSightIsHidden)
{
    DateWindow w;
    HWND picker = w.Open();
    ASSERT_NE(nullptr, picker);
    const RECT before = w.window.Manager().GetNativeWindowRect(picker);
    EXPECT_EQ(10, before.left);
    EXPECT_EQ(190, before.right);
    w.root->SetPos(RECT{0, 0, 200, 5}, false);
    EXPECT_FALSE(IsWindow(picker) && IsWindowVisible(picker));
}

TEST(DateTimeUI, AControlThatGoesWhileItsPickerIsOpenTakesThePickerWithIt)
{
    DateWindow w;
    HWND picker = w.Open();
    ASSERT_NE(nullptr, picker);
    w.root->Remove(w.control, false);
    delete w.control;
    EXPECT_FALSE(IsWindow(picker));
    w.window.PumpPending();
    EXPECT_TRUE(w.window.Manager().AddNativeWindow(w.other, w.window.Handle()))
        << "the picker left the manager's list";
    w.window.Manager().RemoveNativeWindow(w.window.Handle());
}

} // namespace

namespace {

TEST(DateTimeUI, BuiltFromASkinItPicksADate)
{
    TestWindow window{200, 60};
    window.Show();
    window.AttachSkin(L"<Window><VerticalLayout><DateTime name=\"date\" height=\"30\" />"
                      L"<Control name=\"rest\" /></VerticalLayout></Window>");
    CControlUI *date = window.Manager().FindControlByName(L"date");
    ASSERT_NE(nullptr, date);
    EXPECT_STREQ(L"DateTime", date->GetClass());
    window.Click(100, 15);
    HWND picker = date->GetNativeWindow();
    ASSERT_NE(nullptr, picker);
    SetPickerDate(picker, Date(2030, 7, 9));
    window.Click(100, 45);
    EXPECT_TRUE(window.PumpUntil([&] { return !IsWindow(picker); }));
    EXPECT_EQ(L"2030-07-09", std::wstring(date->GetText().GetData()));
}

} // namespace
