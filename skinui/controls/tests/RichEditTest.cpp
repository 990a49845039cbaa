// The rich edit control on Wine's rich-text services (msftedit): what a user sees and does.
#include "ContainerUI.h"
#include "DialogBuilder.h"
#include "ProbeControl.h"
#include "RichEditUI.h"
#include "ScrollBarUI.h"
#include "TestWindow.h"
#include "TxtWinHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace SkinUI;
using SkinUI::Testing::Pixels;
using SkinUI::Testing::ProbeControl;
using SkinUI::Testing::TestWindow;

namespace {

typedef std::vector<std::pair<const wchar_t *, const wchar_t *>> Attributes;

const int kWidth = 300;
const int kHeight = 200;

// Holds a modifier key down in the thread's key state for a scope.
class HeldKey
{
public:
    explicit HeldKey(int key) : m_key(key) { Set(0x80); }
    ~HeldKey() { Set(0); }

private:
    void Set(BYTE state)
    {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[m_key] = state;
        SetKeyboardState(keys);
    }
    int m_key;
};

class RichEditTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        if (window->Manager().GetRoot() != root)
            delete root;
    }

    // A rich edit over the root's client area with the attributes given, in the window.
    CRichEditUI *Edit(const Attributes &attributes)
    {
        auto *edit = new CRichEditUI;
        for (const auto &attribute : attributes)
            edit->SetAttribute(attribute.first, attribute.second);
        root->Add(edit);
        if (window->Manager().GetRoot() != root)
            window->Attach(root);
        return edit;
    }

    // Starts again in a new window (for tables of cases).
    void FreshWindow()
    {
        if (window->Manager().GetRoot() != root)
            delete root;
        window = std::make_unique<TestWindow>(kWidth, kHeight);
        root = new CContainerUI;
    }

    static std::wstring Text(CRichEditUI *edit) { return edit->GetText().GetData(); }

    static LRESULT Send(CRichEditUI *edit, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        LRESULT result = 0;
        edit->TxSendMessage(message, wParam, lParam, &result);
        return result;
    }

    static CHARRANGE Selection(CRichEditUI *edit)
    {
        CHARRANGE range = {-1, -1};
        Send(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
        return range;
    }

    static void Select(CRichEditUI *edit, LONG from, LONG to)
    {
        CHARRANGE range = {from, to};
        Send(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    }

    // A key as the keyboard gives it: posted, translated (WM_CHAR follows) and dispatched
    // through the framework's pre-translation.
    void Type(WPARAM virtualKey)
    {
        const UINT scan = MapVirtualKeyW(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC);
        PostMessageW(window->Handle(), WM_KEYDOWN, virtualKey, 1 | (scan << 16));
        window->PumpPending();
    }

    std::unique_ptr<TestWindow> window = std::make_unique<TestWindow>(kWidth, kHeight);
    CContainerUI *root = new CContainerUI;
};

bool IsDark(DWORD rgb)
{
    return ((rgb >> 16) & 0xFF) < 0x70 && ((rgb >> 8) & 0xFF) < 0x70 && (rgb & 0xFF) < 0x70;
}

bool IsRed(DWORD rgb)
{
    return ((rgb >> 16) & 0xFF) > 0xC0 && ((rgb >> 8) & 0xFF) < 0x50 && (rgb & 0xFF) < 0x50;
}

bool IsBlue(DWORD rgb)
{
    return ((rgb >> 16) & 0xFF) < 0x50 && ((rgb >> 8) & 0xFF) < 0x50 && (rgb & 0xFF) > 0xC0;
}

// The leftmost and rightmost columns holding a pixel that passes the test; (-1, -1) for none.
std::pair<int, int> ColumnsOf(const Pixels &pixels, const std::function<bool(DWORD)> &test)
{
    std::pair<int, int> columns = {-1, -1};
    for (int y = 0; y < pixels.height; ++y) {
        for (int x = 0; x < pixels.width; ++x) {
            if (!test(pixels.RgbAt(x, y)))
                continue;
            if (columns.first < 0 || x < columns.first)
                columns.first = x;
            if (x > columns.second)
                columns.second = x;
        }
    }
    return columns;
}

TEST_F(RichEditTest, TextIsSetAndReadBack)
{
    auto *edit = new CRichEditUI;
    edit->SetText(L"before the window");
    EXPECT_EQ(edit->TxSendMessage(EM_GETLINECOUNT, 0, 0, nullptr), S_FALSE)
        << "no text services before initialisation";
    EXPECT_EQ(Text(edit), L"");
    root->Add(edit);
    window->Attach(root);
    ASSERT_NE(edit->GetTextHost(), nullptr) << "Wine's msftedit gives the text services";
    EXPECT_EQ(Text(edit), L"before the window") << "the stored text is the initial text";

    edit->SetText(L"温馨提示: uninstall");
    EXPECT_EQ(Text(edit), L"温馨提示: uninstall");
    edit->SetText(L"first\rsecond");
    EXPECT_EQ(Text(edit), L"first\rsecond");
    EXPECT_EQ(Send(edit, EM_GETLINECOUNT), 2);
    edit->SetText(L"");
    EXPECT_EQ(Text(edit), L"");
}

TEST_F(RichEditTest, TypingReplacesTheSelectionOnlyWhileFocused)
{
    CRichEditUI *edit = Edit({});
    edit->SetText(L"Hello world");
    Send(edit, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE);

    window->Char(L'x');
    EXPECT_EQ(Text(edit), L"Hello world") << "keys go to the focused control only";

    window->Click(100, 100);
    EXPECT_TRUE(edit->IsFocused());
    Select(edit, 0, 5);
    wchar_t selected[16] = {};
    Send(edit, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(selected));
    EXPECT_STREQ(selected, L"Hello");
    EXPECT_NE(std::find(window->seenMessages.begin(), window->seenMessages.end(),
                        static_cast<UINT>(WM_NOTIFY)),
              window->seenMessages.end())
        << "a selection change reaches the window as WM_NOTIFY";

    window->Char(L'J');
    EXPECT_EQ(Text(edit), L"J world");
    const CHARRANGE caret = Selection(edit);
    EXPECT_EQ(caret.cpMin, 1);
    EXPECT_EQ(caret.cpMax, 1);
    EXPECT_GE(window->Notifications().Count(L"textchanged"), 1);

    window->KeyDown(VK_END);
    window->Char(L'!');
    EXPECT_EQ(Text(edit), L"J world!");
}

TEST_F(RichEditTest, FormatRunsAndTextColourChangeThePaintedText)
{
    CRichEditUI *edit = Edit({{L"bkcolor", L"#FFFFFFFF"}, {L"textpadding", L"4,4,4,4"}});
    edit->SetText(L"MMMMMMMM");
    Pixels before = window->PaintTree();
    const auto dark = ColumnsOf(before, IsDark);
    ASSERT_GE(dark.first, 4) << "the text is drawn inside its padding";
    EXPECT_EQ(ColumnsOf(before, IsRed).first, -1);

    CHARFORMAT2W red = {};
    red.cbSize = sizeof(red);
    red.dwMask = CFM_COLOR;
    red.crTextColor = RGB(255, 0, 0);
    Select(edit, 0, 4);
    Send(edit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&red));
    Pixels after = window->PaintTree();
    const auto redColumns = ColumnsOf(after, IsRed);
    const auto darkColumns = ColumnsOf(after, IsDark);
    ASSERT_GE(redColumns.first, 0) << "the format run is painted red";
    ASSERT_GE(darkColumns.first, 0);
    EXPECT_LT(redColumns.second, darkColumns.first) << "the first four letters are the red ones";
}

TEST_F(RichEditTest, TextColourIsTheDefaultFormatsColour)
{
    CRichEditUI *rich = Edit({{L"bkcolor", L"#FFFFFFFF"}, {L"textcolor", L"#FF0000FF"}});
    rich->SetText(L"MMMM");
    Pixels blue = window->PaintTree();
    EXPECT_GE(ColumnsOf(blue, IsBlue).first, 0);
    EXPECT_EQ(ColumnsOf(blue, IsDark).first, -1);

    // A later colour and font become the host's default format for the text services.
    rich->SetTextColor(0x80FF0000);
    window->Manager().AddFont(7, L"Courier New", 20, true, false, true);
    rich->SetFont(7);
    const CHARFORMATW *format = nullptr;
    rich->GetTextHost()->TxGetCharFormat(&format);
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(format->crTextColor, RGB(255, 0, 0)) << "the alpha is dropped";
    EXPECT_STREQ(format->szFaceName, L"Courier New");
    EXPECT_EQ(format->dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE),
              static_cast<DWORD>(CFE_BOLD | CFE_ITALIC));
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    LOGFONTW font = {};
    GetObjectW(window->Manager().GetFont(7), sizeof(font), &font);
    EXPECT_EQ(format->yHeight, font.lfHeight * -1440 / dpi) << "the height in twips";
}

TEST_F(RichEditTest, AlignmentPlacesTheText)
{
    CRichEditUI *edit = Edit({{L"bkcolor", L"#FFFFFFFF"}, {L"align", L"center right"}});
    edit->SetText(L"MM");
    const auto columns = ColumnsOf(window->PaintTree(), IsDark);
    ASSERT_GE(columns.first, 0);
    EXPECT_GT(columns.first, kWidth * 3 / 4) << "center and right end right-aligned";
    EXPECT_GE(columns.second, kWidth - 4);
    EXPECT_EQ(edit->GetStyle() & (ES_CENTER | ES_RIGHT), static_cast<DWORD>(ES_RIGHT));
}

TEST_F(RichEditTest, LongTextScrollsThroughTheContainersBar)
{
    CRichEditUI *edit = Edit({{L"vscrollbar", L"true"}, {L"bkcolor", L"#FFFFFFFF"}});
    edit->SetText(L"short");
    window->PaintWindow();
    std::wstring text;
    for (int line = 0; line < 60; ++line)
        text += L"line " + std::to_wstring(line) + L"\r";
    edit->SetText(text.c_str());
    window->PaintWindow();

    CScrollBarUI *bar = edit->GetVerticalScrollBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_GT(bar->GetScrollRange(), kHeight);
    EXPECT_EQ(bar->GetScrollPos(), 0);
    const RECT barRect = bar->GetPos();
    EXPECT_EQ(barRect.right, kWidth) << "the bar stands at the right edge";
    EXPECT_EQ(barRect.left, kWidth - bar->GetFixedWidth());
    EXPECT_EQ(edit->GetTextHost()->GetClientRect().right, barRect.left)
        << "the text area ends where the bar begins";

    window->Wheel(100, 100, -WHEEL_DELTA);
    const int afterWheel = bar->GetScrollPos();
    EXPECT_GT(afterWheel, 0) << "a wheel turn scrolls down";
    EXPECT_GT(Send(edit, EM_GETFIRSTVISIBLELINE), 0);

    edit->ScrollToBottom();
    EXPECT_EQ(bar->GetScrollPos(), bar->GetScrollRange());
    EXPECT_GE(Send(edit, EM_GETFIRSTVISIBLELINE), 40);

    // Dragging the thumb moves the bar first; the text follows it.
    edit->SetScrollPos(SIZE{0, 0});
    EXPECT_EQ(bar->GetScrollPos(), 0);
    EXPECT_EQ(Send(edit, EM_GETFIRSTVISIBLELINE), 0);
    edit->PageDown();
    EXPECT_GT(bar->GetScrollPos(), afterWheel);

    // Short text again: the bar goes, and the text area takes the whole width.
    edit->SetText(L"short");
    window->PaintWindow();
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_EQ(edit->GetTextHost()->GetClientRect().right, kWidth);
}

TEST_F(RichEditTest, ReturnIsTypedOrReportedAsTheBoxWantsIt)
{
    struct Case
    {
        Attributes attributes;
        bool controlHeld;
        bool inserted;
        bool reported;
    };
    const Case cases[] = {
        {{}, false, true, false},
        {{{L"wantreturn", L"false"}}, false, false, true},
        {{{L"wantreturn", L"false"}}, true, false, true},
        {{{L"wantctrlreturn", L"false"}}, true, false, true},
        {{{L"wantctrlreturn", L"false"}}, false, true, false},
        {{{L"multiline", L"false"}}, false, false, false},
        {{{L"multiline", L"false"}, {L"wantreturn", L"false"}}, false, false, true},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&test - cases));
        FreshWindow();
        CRichEditUI *edit = Edit(test.attributes);
        edit->SetText(L"ab");
        window->Click(100, 100);
        ASSERT_TRUE(edit->IsFocused());
        Select(edit, 1, 1);
        {
            std::unique_ptr<HeldKey> control(test.controlHeld ? new HeldKey(VK_CONTROL) : nullptr);
            Type(VK_RETURN);
        }
        EXPECT_EQ(Text(edit), test.inserted ? L"a\rb" : L"ab");
        EXPECT_EQ(window->Notifications().Count(L"return"), test.reported ? 1 : 0);
    }
}

TEST_F(RichEditTest, TabIsTypedWhenWantedElseMovesTheFocus)
{
    auto *next = new ProbeControl(L"next");
    next->behaviorFlags = BehaviorTabStop;
    next->SetFloat(true);
    next->SetFixedWidth(10);
    next->SetFixedHeight(10);
    root->Add(next);
    CRichEditUI *edit = Edit({{L"textpadding", L"20,0,0,0"}});
    // The window's first focus move waits for its first layout.
    window->PaintWindow();
    window->PumpPending();
    EXPECT_EQ(edit->GetAttribute(L"wanttab"), L"true");
    window->Click(100, 100);
    ASSERT_TRUE(edit->IsFocused());
    Type(VK_TAB);
    EXPECT_EQ(Text(edit), L"\t");
    EXPECT_TRUE(edit->IsFocused());

    edit->SetAttribute(L"wanttab", L"false");
    EXPECT_EQ(edit->GetAttribute(L"wanttab"), L"false");
    Type(VK_TAB);
    EXPECT_EQ(Text(edit), L"\t");
    EXPECT_EQ(window->Manager().GetFocus(), next);
}

// A layered window shows no system caret: the control draws it as a black line and blinks
// it by its own timer; a normal window leaves the caret to the system.
TEST_F(RichEditTest, LayeredWindowGetsAHandDrawnBlinkingCaret)
{
    for (bool layered : {true, false}) {
        SCOPED_TRACE(layered ? "layered" : "normal");
        FreshWindow();
        if (layered)
            window->Manager().SetLayered(true);
        ASSERT_EQ(window->Manager().IsLayered(), layered);
        CRichEditUI *edit = Edit({{L"bkcolor", L"#FFFFFFFF"}, {L"textpadding", L"30,30,0,0"}});
        window->Click(100, 100);
        ASSERT_TRUE(edit->IsFocused());
        ASSERT_EQ(GetFocus(), window->Handle());
        ASSERT_TRUE(edit->GetTextHost()->IsCaretShown());
        POINT caret = {};
        GetCaretPos(&caret);
        EXPECT_EQ(caret.x, 30);

        const RECT caretColumn = {caret.x, caret.y, caret.x + 1, caret.y + 8};
        EXPECT_EQ(window->PaintTree(0xFFFFFFFF).CountRgb(0, caretColumn), layered ? 8 : 0);

        ControlEvent tick;
        tick.type = EventTimer;
        tick.wParam = CRichEditUI::kCaretTimerId;
        edit->Event(tick);
        EXPECT_EQ(window->PaintTree(0xFFFFFFFF).CountRgb(0, caretColumn), 0)
            << "the caret's off phase";
        edit->Event(tick);
        EXPECT_EQ(window->PaintTree(0xFFFFFFFF).CountRgb(0, caretColumn), layered ? 8 : 0);
        EXPECT_EQ(window->Manager().KillTimer(edit, CRichEditUI::kCaretTimerId), layered)
            << "the blink timer runs in layered windows only";
    }
}

TEST_F(RichEditTest, ReadOnlyBoxKeepsItsText)
{
    CRichEditUI *edit = Edit({{L"readonly", L"true"}});
    edit->SetText(L"fixed");
    window->Click(100, 100);
    window->Char(L'x');
    Type(VK_RETURN);
    EXPECT_EQ(Text(edit), L"fixed");
    EXPECT_TRUE(edit->IsReadOnly());
}

TEST_F(RichEditTest, ControlOverTheTextKeepsTheClickFromIt)
{
    auto *edit = new CRichEditUI;
    root->Add(edit);
    auto *cover = new ProbeControl(L"cover"); // added later, it lies above the edit
    cover->SetFloat(true);
    cover->SetFixedWidth(100);
    cover->SetFixedHeight(100);
    root->Add(cover);
    window->Attach(root);
    edit->SetText(L"under the cover");
    Select(edit, 3, 3);

    window->Click(50, 50);
    EXPECT_FALSE(edit->IsFocused());
    EXPECT_EQ(Selection(edit).cpMin, 3) << "the click did not reach the text services";
    window->Click(200, 150);
    EXPECT_TRUE(edit->IsFocused());
}

TEST_F(RichEditTest, WordsWrapUnlessTheBoxScrollsSideways)
{
    const std::wstring longLine(80, L'w');
    for (const wchar_t *scroll : {L"", L"autohscroll", L"hscrollbar"}) {
        SCOPED_TRACE(testing::Message()
                     << "scroll attribute " << std::string(scroll, scroll + wcslen(scroll)));
        FreshWindow();
        CRichEditUI *edit = *scroll ? Edit({{scroll, L"true"}}) : Edit({});
        edit->SetText((longLine + L" " + longLine).c_str());
        const bool wraps = *scroll == L'\0';
        EXPECT_EQ(edit->GetTextHost()->IsWordWrap(), wraps);
        EXPECT_EQ(Send(edit, EM_GETLINECOUNT) > 1, wraps);
    }
}

TEST_F(RichEditTest, HostAnswersForTheWindow)
{
    CRichEditUI *edit = Edit({{L"vscrollbar", L"true"}});
    CTxtWinHost *host = edit->GetTextHost();
    ASSERT_NE(host, nullptr);
    CScrollBarUI *bar = edit->GetVerticalScrollBar();
    const RECT client = host->GetClientRect();
    const int height = client.bottom - client.top;
    host->TxSetScrollRange(SB_VERT, 10, 10 + height + 1, TRUE);
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_EQ(bar->GetScrollRange(), 1);
    host->TxSetScrollRange(SB_VERT, 10, 10 + height, TRUE);
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_TRUE(host->TxSetScrollRange(SB_HORZ, 0, 5000, TRUE)) << "a missing bar is skipped";
    EXPECT_EQ(edit->GetHorizontalScrollBar(), nullptr);

    wchar_t password = L'*';
    host->TxGetPasswordChar(&password);
    EXPECT_EQ(password, L'\0');
    RECT inset = {1, 1, 1, 1};
    host->TxGetViewInset(&inset);
    EXPECT_TRUE(IsRectEmpty(&inset) && inset.left == 0 && inset.bottom == 0);
    EXPECT_EQ(host->TxReleaseDC(host->TxGetDC()), 1);
    EXPECT_EQ(host->TxGetDC(), window->Manager().GetPaintDC());
    DWORD bars = 0;
    host->TxGetScrollBars(&bars);
    EXPECT_EQ(bars, static_cast<DWORD>(WS_VSCROLL | ES_DISABLENOSCROLL));
    DWORD bits = 0;
    host->TxGetPropertyBits(0xFFFFFFFF, &bits);
    EXPECT_EQ(bits, static_cast<DWORD>(TXTBIT_RICHTEXT | TXTBIT_MULTILINE | TXTBIT_HIDESELECTION |
                                       TXTBIT_WORDWRAP));
    void *object = nullptr;
    EXPECT_EQ(host->QueryInterface(kIidTextHost, &object), S_OK);
    EXPECT_EQ(object, static_cast<ITextHost *>(host));
    host->Release();
    EXPECT_EQ(host->QueryInterface(IID_IDispatch, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
}

TEST_F(RichEditTest, SkinElementMakesABoxWithItsAttributes)
{
    delete root;
    CDialogBuilder builder;
    root = static_cast<CContainerUI *>(
        builder.CreateFromSource(L"<Window><VerticalLayout>"
                                 L"<RichEdit name=\"notes\" text=\"from the skin\" "
                                 L"vscrollbar=\"true\" wanttab=\"false\" />"
                                 L"</VerticalLayout></Window>",
                                 nullptr, nullptr, &window->Manager()));
    ASSERT_NE(root, nullptr);
    window->Attach(root);
    auto *edit = static_cast<CRichEditUI *>(
        window->Manager().FindControlByName(L"notes")->GetInterface(L"RichEdit"));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(Text(edit), L"from the skin");
    EXPECT_NE(edit->GetVerticalScrollBar(), nullptr);
    EXPECT_FALSE(edit->IsWantTab());
}

TEST_F(RichEditTest, AttributesSetTheStyleAndProperties)
{
    struct Case
    {
        const wchar_t *name;
        const wchar_t *value;
        DWORD style;
    };
    const Case cases[] = {
        {L"vscrollbar", L"true", ES_MULTILINE | WS_VSCROLL | ES_DISABLENOSCROLL},
        {L"hscrollbar", L"true", ES_MULTILINE | WS_HSCROLL | ES_DISABLENOSCROLL},
        {L"autovscroll", L"true", ES_MULTILINE | ES_AUTOVSCROLL},
        {L"autohscroll", L"true", ES_MULTILINE | ES_AUTOHSCROLL},
        {L"multiline", L"true", ES_MULTILINE},
        {L"multiline", L"no", ES_MULTILINE},
        {L"multiline", L"false", 0},
        {L"readonly", L"true", ES_MULTILINE | ES_READONLY},
        {L"readonly", L"false", ES_MULTILINE},
        {L"password", L"true", ES_MULTILINE | ES_PASSWORD},
        {L"align", L"center", ES_MULTILINE | ES_CENTER},
        {L"align", L"right", ES_MULTILINE | ES_RIGHT},
        {L"align", L"left", ES_MULTILINE},
        {L"vscrollbar", L"false", ES_MULTILINE},
    };
    for (const Case &test : cases) {
        CRichEditUI edit;
        edit.SetAttribute(test.name, test.value);
        EXPECT_EQ(edit.GetStyle(), test.style)
            << std::string(test.name, test.name + wcslen(test.name));
    }

    CRichEditUI edit;
    edit.SetAttribute(L"vscrollbar", L"true");
    EXPECT_NE(edit.GetVerticalScrollBar(), nullptr) << "the container makes its bar too";
    edit.SetAttribute(L"textcolor", L"  #FF112233");
    EXPECT_EQ(edit.GetTextColor(), 0xFF112233u);
    edit.SetAttribute(L"font", L"3");
    EXPECT_EQ(edit.GetFont(), 3);
    edit.SetAttribute(L"textpadding", L"1,2,3,4");
    const RECT padding = edit.GetTextPadding();
    EXPECT_TRUE(padding.left == 1 && padding.top == 2 && padding.right == 3 && padding.bottom == 4);
    edit.SetAttribute(L"wantreturn", L"yes");
    EXPECT_FALSE(edit.IsWantReturn());
    edit.SetAttribute(L"rich", L"false");
    EXPECT_FALSE(edit.IsRichText());
    edit.SetAttribute(L"transparent", L"false");
    EXPECT_FALSE(edit.IsTransparent());

    EXPECT_STREQ(edit.GetClass(), L"RichEdit");
    EXPECT_EQ(edit.GetInterface(L"RichEdit"), &edit);
    EXPECT_EQ(edit.GetInterface(L"Container"), static_cast<CContainerUI *>(&edit));
    EXPECT_EQ(edit.GetBehaviorFlags(), static_cast<UINT>(BehaviorTabStop | BehaviorSetCursor));
    edit.SetEnabled(false);
    EXPECT_EQ(edit.GetBehaviorFlags(), 0u);
}

TEST_F(RichEditTest, RemovedBoxLeavesNoFilterBehind)
{
    CRichEditUI *edit = Edit({});
    IMessageFilterUI *filter = edit;
    edit->SetText(L"going");
    window->Click(100, 100);
    root->Remove(edit);
    window->PumpPending();
    EXPECT_FALSE(window->Manager().RemoveMessageFilter(filter));
    window->Click(100, 100);
    window->Char(L'x');
}

} // namespace
