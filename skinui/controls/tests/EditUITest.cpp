#include "EditUI.h"

#include "ProbeControl.h"
#include "TestWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace SkinUI;
using namespace SkinUI::Testing;

// The edit box on the shared test window with its real native EDIT window: opened by the
// focus, typed into with posted characters, Enter, password and tip painting, limits and
// styles of the open box, clicks into it, hiding and closing, and a box whose control goes
// while it is open.
namespace {

const DWORD kBlack = 0x000000;
const DWORD kRed = 0xFF0000;
const DWORD kBlue = 0x0000FF;

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

// One edit box at (10, 10)-(190, 40) of a shown 200 x 100 window, beside a probe that can
// take the focus away.
struct EditWindow
{
    explicit EditWindow(const wchar_t *attributes = L"")
    {
        edit = new CEditUI;
        edit->SetName(L"edit");
        edit->SetAttributeList(attributes);
        other = new ProbeControl(L"other");
        other->behaviorFlags = BehaviorTabStop;
        root->Add(edit, RECT{10, 10, 190, 40});
        root->Add(other, RECT{10, 60, 190, 90});
        window.Attach(root);
        window.Show();
    }

    HWND Open()
    {
        edit->SetFocus();
        return edit->GetNativeWindow();
    }
    void Type(HWND box, const wchar_t *text)
    {
        for (const wchar_t *at = text; *at; ++at)
            PostMessageW(box, WM_CHAR, *at, 1);
        const size_t expected = window.Notifications().Of(L"textchanged").size() + wcslen(text);
        EXPECT_TRUE(window.PumpUntil([&] {
            return window.Notifications().Of(L"textchanged").size() >= expected;
        })) << "the box did not take every typed character";
    }
    std::wstring Text() const { return edit->GetText().GetData(); }
    RECT BoxRect(HWND box) { return window.Manager().GetNativeWindowRect(box); }

    TestWindow window{200, 100};
    ProbeParent *root = new ProbeParent;
    CEditUI *edit;
    ProbeControl *other;
};

TEST(EditUI, ClassInterfacesAndDefaults)
{
    CEditUI edit;
    EXPECT_STREQ(edit.GetClass(), L"Edit");
    EXPECT_EQ(edit.GetInterface(L"Edit"), &edit);
    EXPECT_EQ(edit.GetInterface(L"Label"), static_cast<CLabelUI *>(&edit));
    EXPECT_EQ(edit.GetInterface(L"Button"), nullptr);
    EXPECT_EQ(0xFFFFFFFFu, edit.GetBkColor());
    EXPECT_EQ(255, edit.GetMaxChar());
    EXPECT_EQ(L'*', edit.GetPasswordChar());
    const RECT padding = edit.GetTextPadding();
    EXPECT_EQ((std::vector<LONG>{4, 3, 4, 3}),
              (std::vector<LONG>{padding.left, padding.top, padding.right, padding.bottom}));
    EXPECT_EQ(3u, edit.GetBehaviorFlags());
    edit.SetEnabled(false);
    EXPECT_EQ(0u, edit.GetBehaviorFlags());
    EXPECT_EQ(nullptr, edit.GetNativeWindow());
}

TEST(EditUI, AClickOpensARealEditWindowOverTheTextAreaAndLosingTheFocusClosesIt)
{
    EditWindow w(L"text=\"hello\"");
    w.window.Click(100, 11);
    HWND box = w.edit->GetNativeWindow();
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(L"EditWnd", ClassOf(box));
    EXPECT_EQ(w.window.Handle(), GetParent(box));
    EXPECT_EQ(box, GetFocus());
    EXPECT_TRUE(IsWindowVisible(box));
    EXPECT_EQ(L"hello", TextOf(box));

    // The text area (14, 13)-(186, 37), one line of the font high and centred in it.
    const int line = w.window.Manager().GetFontInfo(-1)->metrics.tmHeight;
    const RECT rect = w.BoxRect(box);
    EXPECT_EQ(14, rect.left);
    EXPECT_EQ(186, rect.right);
    EXPECT_EQ(line, rect.bottom - rect.top);
    EXPECT_EQ(13 + (24 - line) / 2, rect.top);

    DWORD start = 0, end = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(5u, start) << "the caret at the end";
    EXPECT_EQ(5u, end);

    w.window.Click(100, 75);
    EXPECT_EQ(w.other, w.window.Manager().GetFocus());
    EXPECT_FALSE(IsWindow(box));
    EXPECT_EQ(nullptr, w.edit->GetNativeWindow());
    EXPECT_EQ(L"hello", w.Text());
}

TEST(EditUI, PostedCharactersReachTextChangedAndReturnKeepsTheBoxOpen)
{
    EditWindow w;
    HWND box = w.Open();
    ASSERT_NE(nullptr, box);
    w.Type(box, L"abc");
    EXPECT_EQ(L"abc", w.Text());
    const auto changes = w.window.Notifications().Of(L"textchanged");
    ASSERT_EQ(3u, changes.size());
    EXPECT_EQ(L"edit", changes.back().senderName);

    PostMessageW(box, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_TRUE(w.window.PumpUntil([&] { return w.window.Notifications().Count(L"return") == 1; }));
    EXPECT_TRUE(IsWindow(box));
    EXPECT_EQ(L"abc", TextOf(box)) << "Enter is not typed";

    w.edit->SetText(L"set");
    EXPECT_EQ(L"set", TextOf(box)) << "set through the control";
}

TEST(EditUI, LimitsAndStylesOfTheBox)
{
    EditWindow w(L"maxchar=\"4\" readonly=\"true\" numberonly=\"true\" align=\"right\"");
    HWND box = w.Open();
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(4, SendMessageW(box, EM_GETLIMITTEXT, 0, 0));
    LONG_PTR style = GetWindowLongPtrW(box, GWL_STYLE);
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_TRUE(style & ES_NUMBER);
    EXPECT_TRUE(style & ES_RIGHT);

    w.edit->SetAttribute(L"maxchar", L"9");
    EXPECT_EQ(9, SendMessageW(box, EM_GETLIMITTEXT, 0, 0)) << "at once";
    w.edit->SetReadOnly(false);
    EXPECT_FALSE(GetWindowLongPtrW(box, GWL_STYLE) & ES_READONLY);
    w.edit->SetAttribute(L"numberonly", L"false");
    EXPECT_TRUE(GetWindowLongPtrW(box, GWL_STYLE) & ES_NUMBER) << "only at the next opening";

    w.window.Click(100, 75);
    box = w.Open();
    ASSERT_NE(nullptr, box);
    EXPECT_FALSE(GetWindowLongPtrW(box, GWL_STYLE) & ES_NUMBER);
}

TEST(EditUI, PasswordsPaintOneMaskPerCharacterAndTheBoxMasksItself)
{
    EditWindow masked(L"password=\"true\" text=\"abc\" textcolor=\"#FF000000\"");
    EditWindow plain(L"text=\"***\" textcolor=\"#FF000000\"");
    const Pixels maskedPixels = masked.window.PaintTree(0xFFFFFFFF);
    const Pixels plainPixels = plain.window.PaintTree(0xFFFFFFFF);
    EXPECT_GT(maskedPixels.CountRgb(kBlack, RECT{10, 10, 190, 40}), 0);
    EXPECT_EQ(maskedPixels.data, plainPixels.data);

    HWND box = masked.Open();
    ASSERT_NE(nullptr, box);
    EXPECT_TRUE(GetWindowLongPtrW(box, GWL_STYLE) & ES_PASSWORD);
    EXPECT_EQ(L'*', static_cast<wchar_t>(SendMessageW(box, EM_GETPASSWORDCHAR, 0, 0)));
    EXPECT_EQ(L"abc", TextOf(box));
}

TEST(EditUI, TheTipStandsInTheTipColourUntilTheTextDiffers)
{
    EditWindow w(L"tipvalue=\"type here\" tipvaluecolor=\"#FFFF0000\" textcolor=\"#FF0000FF\"");
    EXPECT_EQ(L"type here", w.Text()) << "an empty field takes the tip";
    const RECT area = {10, 10, 190, 40};
    Pixels pixels = w.window.PaintTree(0xFFFFFFFF);
    EXPECT_GT(pixels.CountRgb(kRed, area), 0);
    EXPECT_EQ(0, pixels.CountRgb(kBlue, area));

    w.edit->SetText(L"");
    pixels = w.window.PaintTree(0xFFFFFFFF);
    EXPECT_GT(pixels.CountRgb(kRed, area), 0) << "the tip shows in an empty field";

    w.edit->SetText(L"mine");
    pixels = w.window.PaintTree(0xFFFFFFFF);
    EXPECT_EQ(0, pixels.CountRgb(kRed, area));
    EXPECT_GT(pixels.CountRgb(kBlue, area), 0);
}

TEST(EditUI, ClicksIntoAnOpenBoxPlaceTheCaretUnlessAllIsSelected)
{
    for (bool selectAll : {false, true}) {
        EditWindow w(selectAll ? L"text=\"abcdefghij\" autoselall=\"true\""
                               : L"text=\"abcdefghij\"");
        HWND box = w.Open();
        ASSERT_NE(nullptr, box);
        // A press on the field while its box is open (a click on the box itself goes to the
        // box): the caret goes to the point, 1 pixel into the text area.
        ControlEvent press;
        press.type = EventButtonDown;
        press.mousePoint = POINT{15, 25};
        press.wParam = MK_LBUTTON;
        w.edit->Event(press);
        DWORD start = 99, end = 99;
        SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        if (selectAll) {
            EXPECT_EQ(0u, start);
            EXPECT_EQ(10u, end) << "the whole text stays selected";
        } else {
            EXPECT_EQ(0u, start) << "the caret at the click, before the first letter";
            EXPECT_EQ(0u, end);
        }
        SendMessageW(box, WM_LBUTTONUP, 0, 0);
    }
}

TEST(EditUI, ABoxOutOfItsAncestorsSightIsHiddenNotSqueezed)
{
    EditWindow w;
    HWND box = w.Open();
    ASSERT_NE(nullptr, box);
    // The parent shrinks to leave the edit below its client area: the box is hidden, which
    // hands the keyboard focus back to the window and so closes it. It never got smaller.
    const RECT before = w.BoxRect(box);
    w.root->SetPos(RECT{0, 0, 200, 5}, false);
    EXPECT_FALSE(IsWindow(box) && IsWindowVisible(box));
    if (IsWindow(box)) {
        const RECT after = w.BoxRect(box);
        EXPECT_EQ(before.bottom - before.top, after.bottom - after.top);
    }
    EXPECT_EQ(nullptr, w.edit->GetNativeWindow());
}

TEST(EditUI, HidingTheControlClosesItsBox)
{
    EditWindow w;
    HWND box = w.Open();
    ASSERT_NE(nullptr, box);
    w.edit->SetVisible(false);
    EXPECT_FALSE(IsWindow(box));
    EXPECT_EQ(nullptr, w.edit->GetNativeWindow());
}

TEST(EditUI, AControlThatGoesWhileItsBoxIsOpenTakesTheBoxWithIt)
{
    EditWindow w(L"text=\"x\"");
    HWND box = w.Open();
    ASSERT_NE(nullptr, box);
    w.root->Remove(w.edit, false);
    delete w.edit;
    EXPECT_FALSE(IsWindow(box));
    w.window.PumpPending();
    EXPECT_TRUE(w.window.Manager().AddNativeWindow(w.other, w.window.Handle()))
        << "the box left the manager's list";
    w.window.Manager().RemoveNativeWindow(w.window.Handle());

    // A control deleted by its own notification handler, in the middle of the box's message.
    EditWindow again;
    box = again.Open();
    ASSERT_NE(nullptr, box);
    struct Deleter : INotifyUI
    {
        EditWindow *w;
        void Notify(NotifyMessage &message) override
        {
            if (message.type == L"textchanged" && w->edit) {
                w->root->Remove(w->edit, false);
                delete w->edit;
                w->edit = nullptr;
            }
        }
    } deleter;
    deleter.w = &again;
    again.window.Manager().AddNotifier(&deleter);
    PostMessageW(box, WM_CHAR, L'q', 1);
    EXPECT_TRUE(again.window.PumpUntil([&] { return again.edit == nullptr; }));
    EXPECT_FALSE(IsWindow(box));
    again.window.Manager().RemoveNotifier(&deleter);
}

TEST(EditUI, NativeBackgroundBrushes)
{
    struct Case
    {
        const wchar_t *colour;
        bool systemDefault;
        bool sameBrushEachTime;
    };
    const Case cases[] = {
        {L"#FFFFFFFF", true, false}, {L"#FF00FF00", false, true}, {L"#8000FF00", false, false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.colour);
        EditWindow w((std::wstring(L"nativebkcolor=\"") + c.colour + L"\"").c_str());
        HWND box = w.Open();
        ASSERT_NE(nullptr, box);
        HDC dc = GetDC(box);
        std::vector<HBRUSH> brushes;
        // The picture of each pattern brush, read while the brush is there to say it.
        std::vector<HGDIOBJ> pictures;
        for (int i = 0; i < 20; ++i) {
            brushes.push_back(reinterpret_cast<HBRUSH>(w.window.Send(
                WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(box))));
            LOGBRUSH brush = {};
            GetObjectW(brushes.back(), sizeof(brush), &brush);
            pictures.push_back(reinterpret_cast<HGDIOBJ>(brush.lbHatch));
        }
        ReleaseDC(box, dc);
        if (c.systemDefault) {
            EXPECT_EQ(nullptr, brushes.back());
            continue;
        }
        ASSERT_NE(nullptr, brushes.back());
        EXPECT_EQ(static_cast<DWORD>(OBJ_BRUSH), GetObjectType(brushes.back()));
        if (c.sameBrushEachTime) {
            EXPECT_EQ(brushes.front(), brushes.back());
            continue;
        }
        // A translucent colour paints what lies under the box: each message makes a new
        // pattern brush, and the one before goes with the picture behind it.
        ASSERT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(pictures.back()));
        for (int i = 0; i < 19; ++i) {
            EXPECT_EQ(0u, GetObjectType(brushes[i])) << i;
            EXPECT_EQ(0u, GetObjectType(pictures[i])) << i;
        }
    }
}

} // namespace

namespace {

TEST(EditUI, BuiltFromASkinItOpensAndTakesTyping)
{
    TestWindow window{200, 60};
    window.Show();
    window.AttachSkin(L"<Window><VerticalLayout><Edit name=\"edit\" height=\"30\" "
                      L"maxchar=\"5\" /></VerticalLayout></Window>");
    CControlUI *edit = window.Manager().FindControlByName(L"edit");
    ASSERT_NE(nullptr, edit);
    EXPECT_STREQ(L"Edit", edit->GetClass());
    window.Click(100, 2);
    HWND box = edit->GetNativeWindow();
    ASSERT_NE(nullptr, box);
    for (wchar_t ch : std::wstring(L"typed!"))
        PostMessageW(box, WM_CHAR, ch, 1);
    EXPECT_TRUE(
        window.PumpUntil([&] { return window.Notifications().Count(L"textchanged") == 5; }));
    EXPECT_EQ(L"typed", std::wstring(edit->GetText().GetData())) << "five characters at most";
}

} // namespace
