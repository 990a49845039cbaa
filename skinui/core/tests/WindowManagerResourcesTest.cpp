#include "ProbeControl.h"
#include "TestWindow.h"
#include "ThreadCpuTime.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <string>
#include <vector>

using namespace SkinUI;
using namespace SkinUI::Testing;

namespace {

struct FakeNotifier : INotifyUI
{
    void Notify(NotifyMessage &) override {}
};

struct FakeFilter : IMessageFilterUI
{
    LRESULT MessageHandler(UINT message, WPARAM, LPARAM, bool &handled) override
    {
        if (message == handledMessage) {
            handled = true;
            return 99;
        }
        return 0;
    }
    UINT handledMessage = 0;
};

std::wstring Repeated(const wchar_t *piece, int times)
{
    std::wstring text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

} // namespace

TEST(WindowManagerRegistration, ListsRefuseNullsAndDuplicatesAsEachListSays)
{
    TestWindow window;
    CWindowManagerUI &manager = window.Manager();
    FakeNotifier notifier;
    FakeFilter filter;
    ProbeControl control(L"probe");

    EXPECT_FALSE(manager.AddNotifier(nullptr));
    EXPECT_FALSE(manager.AddMessageFilter(nullptr));
    EXPECT_FALSE(manager.AddPreMessageFilter(nullptr));
    EXPECT_FALSE(manager.AddPostPaint(nullptr));
    EXPECT_FALSE(manager.AddMouseLeaveListener(nullptr));
    EXPECT_FALSE(manager.AddNativeWindow(nullptr, window.Handle()));
    EXPECT_FALSE(manager.AddNativeWindow(&control, nullptr));
    EXPECT_FALSE(manager.AddOptionGroup(nullptr, &control));

    EXPECT_TRUE(manager.AddNotifier(&notifier));
    EXPECT_TRUE(manager.RemoveNotifier(&notifier));
    EXPECT_FALSE(manager.RemoveNotifier(&notifier));

    HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, window.Handle(),
                                 nullptr, nullptr, nullptr);
    EXPECT_TRUE(manager.AddNativeWindow(&control, child));
    EXPECT_FALSE(manager.AddNativeWindow(&control, child)) << "registered before";
    EXPECT_TRUE(manager.RemoveNativeWindow(child));
    EXPECT_FALSE(manager.RemoveNativeWindow(child));

    EXPECT_TRUE(manager.AddOptionGroup(L"group", &control));
    EXPECT_FALSE(manager.AddOptionGroup(L"group", &control));
    ASSERT_NE(nullptr, manager.GetOptionGroup(L"group"));
    EXPECT_EQ(1, manager.GetOptionGroup(L"group")->GetCount());
    EXPECT_TRUE(manager.RemoveOptionGroup(L"group", &control));
    EXPECT_EQ(nullptr, manager.GetOptionGroup(L"group")) << "the last member takes the group";

    // A message filter that handles a mouse message still moves the manager's mouse point.
    filter.handledMessage = WM_LBUTTONDOWN;
    EXPECT_TRUE(manager.AddMessageFilter(&filter));
    EXPECT_EQ(99, window.Send(WM_LBUTTONDOWN, 0, MAKELPARAM(12, 34)));
    EXPECT_EQ(12, manager.GetMousePos().x);
    EXPECT_EQ(34, manager.GetMousePos().y);
    manager.RemoveMessageFilter(&filter);
}

TEST(WindowManagerAttributes, WindowAttributesSetTheirFieldsOrBecomeCustom)
{
    TestWindow window;
    CWindowManagerUI &manager = window.Manager();
    struct Case
    {
        const wchar_t *name;
        const wchar_t *value;
    } attributes[] = {{L"sizebox", L"4,5,6,7"},        {L"CAPTION", L"0,0,0,30"},
                      {L"roundcorner", L"8,9"},        {L"mininfo", L"300"},
                      {L"maxinfo", L"800,600"},        {L"showdirty", L"TRUE"},
                      {L"NOACTIVATE", L"true"},        {L"defaultfontcolor", L"#FF112233"},
                      {L"linkfontcolor", L"FF445566"}, {L"selectedcolor", L"#80FFFFFF"},
                      {L"showshadow", L"true"},        {L"showshadow", L"false"}};
    for (const Case &c : attributes)
        manager.SetWindowAttribute(c.name, c.value);

    EXPECT_EQ(4, manager.GetSizeBox().left);
    EXPECT_EQ(7, manager.GetSizeBox().bottom);
    EXPECT_EQ(30, manager.GetCaptionRect().bottom);
    EXPECT_EQ(9, manager.GetRoundCorner().cy);
    EXPECT_EQ(300, manager.GetMinInfo().cx);
    EXPECT_EQ(0, manager.GetMinInfo().cy) << "a short list leaves the rest 0";
    EXPECT_EQ(600, manager.GetMaxInfo().cy);
    EXPECT_TRUE(manager.IsShowDirty());
    EXPECT_FALSE(manager.IsNoActivate()) << "noactivate is compared exactly";
    EXPECT_STREQ(L"true", manager.GetWindowCustomAttribute(L"NOACTIVATE"));
    EXPECT_STREQ(L"true", manager.GetWindowCustomAttribute(L"showshadow")) << "first value stays";
    EXPECT_EQ(0xFF112233u, manager.GetDefaultFontColor());
    EXPECT_EQ(0xFF445566u, manager.GetDefaultLinkFontColor());
    EXPECT_EQ(0x80FFFFFFu, manager.GetDefaultSelectedBkColor());
    EXPECT_EQ(nullptr, manager.GetWindowCustomAttribute(L""));

    // Another manager keeps the process defaults.
    CWindowManagerUI other;
    EXPECT_EQ(0xFF000000u, other.GetDefaultFontColor());
    EXPECT_EQ(0xFFA7A6AAu, other.GetDefaultDisabledColor());

    // "size" resizes the window only while no tree is attached.
    manager.SetWindowAttribute(L"size", L"320,240");
    RECT rect;
    GetWindowRect(window.Handle(), &rect);
    EXPECT_EQ(320, rect.right - rect.left);
    window.Attach(new ProbeControl);
    manager.SetWindowAttribute(L"size", L"100,100");
    GetWindowRect(window.Handle(), &rect);
    EXPECT_EQ(320, rect.right - rect.left);
    EXPECT_EQ(100, manager.GetInitSize().cx);

    manager.SetWindowAttribute(L"noactivate", L"true");
    EXPECT_TRUE(manager.IsNoActivate());
    EXPECT_EQ(MA_NOACTIVATE, window.Send(WM_MOUSEACTIVATE));
}

TEST(WindowManagerFonts, FontsByIdPerWindowAndShared)
{
    TestWindow window;
    CWindowManagerUI &manager = window.Manager();
    HFONT defaultFont = manager.GetFont(-1);
    ASSERT_NE(nullptr, defaultFont);
    EXPECT_EQ(defaultFont, manager.GetFont(12345)) << "unknown ids give the default font";
    EXPECT_EQ(manager.GetDefaultFontInfo(), manager.GetFontInfo(12345));

    HFONT first = manager.AddFont(1, L"Arial", 14, false, false, false);
    ASSERT_NE(nullptr, first);
    HFONT second = manager.AddFont(1, L"Arial", 20, true, false, false);
    EXPECT_EQ(second, manager.GetFont(1));
    EXPECT_EQ(0u, GetObjectType(first)) << "the replaced font is deleted";
    FontEntry *info = manager.GetFontInfo(1);
    EXPECT_EQ(20, info->size);
    EXPECT_TRUE(info->bold);
    EXPECT_GT(info->metrics.tmHeight, 0);
    EXPECT_EQ(info, manager.GetFontInfo(second));
    EXPECT_EQ(second, manager.FindFont(L"Arial", 20, true, false, false));
    EXPECT_EQ(nullptr, manager.FindFont(L"Arial", 20, false, false, false));

    HFONT shared = manager.AddFont(2, L"Arial", 11, false, true, false, true);
    CWindowManagerUI other;
    EXPECT_EQ(shared, other.GetFont(2)) << "shared fonts serve every manager";
    EXPECT_EQ(other.GetFont(-1), other.GetFont(1)) << "window fonts stay with their window";
    manager.RemoveAllFonts(true);
    EXPECT_EQ(manager.GetFont(-1), other.GetFont(2));

    manager.SetDefaultFont(L"Arial", 30, false, false, false);
    EXPECT_EQ(30, manager.GetDefaultFontInfo()->size);
    EXPECT_NE(30, other.GetDefaultFontInfo()->size);
}

// Measuring text in a font of tens of thousands of pixels takes GDI minutes: every way a
// font is made keeps its height within 500 pixels, either sign.
TEST(WindowManagerFonts, AbsurdFontSizesAreBroughtWithinBounds)
{
    TestWindow window;
    CWindowManagerUI &manager = window.Manager();
    struct Case
    {
        int size;
        int kept;
    } cases[] = {{-66233, -500}, {99999, 500}, {501, 500}, {500, 500},
                 {14, 14},       {0, 0},       {-12, -12}, {INT_MIN, -500}};
    for (const Case &c : cases) {
        HFONT font = manager.AddFont(7, L"Tahoma", c.size, false, false, false);
        ASSERT_NE(nullptr, font) << c.size;
        LOGFONTW logFont = {};
        GetObjectW(font, sizeof(logFont), &logFont);
        EXPECT_EQ(-c.kept, logFont.lfHeight) << c.size;
        EXPECT_EQ(c.kept, manager.GetFontInfo(7)->size) << c.size;
        EXPECT_EQ(font, manager.FindFont(L"Tahoma", c.size, false, false, false))
            << "looked up by the size asked for: " << c.size;
    }
    manager.SetDefaultFont(L"Tahoma", -66233, false, false, false);
    EXPECT_EQ(-500, manager.GetDefaultFontInfo()->size);
}

TEST(WindowManagerLanguage, TokensAreReplacedAndNestedOnesAreBounded)
{
    CWindowManagerUI::AddLanguageString(1, L"Quorvane");
    CWindowManagerUI::AddLanguageString(2, L"卸载 %{1}");
    CWindowManagerUI::AddLanguageString(3, L"a%{3}"); // holds its own token
    CWindowManagerUI::AddLanguageString(0, L"zero");
    struct Case
    {
        const wchar_t *text;
        const wchar_t *expected;
    } cases[] = {{L"%{1}", L"Quorvane"},
                 {L"卸载 %{1} and %{1}", L"卸载 Quorvane and Quorvane"},
                 {L"%{2}!", L"卸载 Quorvane!"},
                 {L"%{9} stays", L"%{9} stays"},
                 {L"%{} is zero", L"zero is zero"},
                 {L"%{1 and % and %", L"%{1 and % and %"}};
    for (const Case &c : cases) {
        CWideString text(c.text);
        CWindowManagerUI::ReplaceLanguageTokens(text);
        EXPECT_STREQ(c.expected, text.GetData()) << c.text;
    }
    CWideString endless(L"%{3}");
    CWindowManagerUI::ReplaceLanguageTokens(endless);
    EXPECT_LT(endless.GetLength(), 1000) << "self-reference is cut off";
    EXPECT_EQ(L'a', endless.GetAt(0));

    // The bound is on expansion only: texts that merely hold many tokens, or are long, are
    // replaced whole.
    struct Honest
    {
        std::wstring text;
        std::wstring expected;
    } honest[] = {
        {Repeated(L"%{1}", 300) + L"%{2}", Repeated(L"Quorvane", 300) + L"卸载 Quorvane"},
        {Repeated(L"%{2}", 300), Repeated(L"卸载 Quorvane", 300)},
        {std::wstring(33000, L'x') + L"%{1}", std::wstring(33000, L'x') + L"Quorvane"},
        {L"%{3}" + Repeated(L"%{1}", 300), L""},
    };
    for (const Honest &c : honest) {
        CWideString text(c.text.c_str());
        CWindowManagerUI::ReplaceLanguageTokens(text);
        const std::wstring replaced = text.GetData();
        if (c.expected.empty())
            EXPECT_EQ(std::wstring::npos, replaced.find(L"%{1}")) << "beside an endless token";
        else
            EXPECT_TRUE(replaced == c.expected) << c.text.substr(0, 20).c_str();
    }
    CWindowManagerUI::RemoveAllLanguageStrings();
}

// Texts made of thousands of tokens are replaced in one pass over the text, in a time that
// grows with the text only; replacing token by token rebuilt the whole text for each.
TEST(WindowManagerLanguage, TextsOfThousandsOfTokensAreReplacedAtOnce)
{
    CWindowManagerUI::AddLanguageString(1, L"Quorvane");
    CWindowManagerUI::AddLanguageString(4, L"100%"); // a percent sign that starts no token
    CWindowManagerUI::AddLanguageString(12345, L"卸载");
    std::wstring distinct;
    std::wstring distinctReplaced;
    for (int id = 20000; id < 20000 + 8192; ++id) {
        CWindowManagerUI::AddLanguageString(id, (L"s" + std::to_wstring(id)).c_str());
        distinct += L"%{" + std::to_wstring(id) + L"}";
        distinctReplaced += L"s" + std::to_wstring(id);
    }
    // Strings that each bring their next one twice.
    for (int id = 40; id < 80; ++id) {
        const std::wstring next = L"%{" + std::to_wstring(id + 1) + L"}";
        CWindowManagerUI::AddLanguageString(id, (L"x" + next + next).c_str());
    }
    struct Case
    {
        const char *what;
        std::wstring text;
        std::wstring expected; // empty: only the length is bounded
    } cases[] = {
        {"10,000 tokens", Repeated(L"%{1}", 10000), Repeated(L"Quorvane", 10000)},
        {"8,192 tokens of 8 characters", Repeated(L"%{12345}", 8192), Repeated(L"卸载", 8192)},
        {"8,192 different tokens", distinct, distinctReplaced},
        {"strings with a percent sign", Repeated(L"%{4}", 10000), Repeated(L"100%", 10000)},
        {"percent signs of the text", Repeated(L"100% %{", 10000), Repeated(L"100% %{", 10000)},
        {"strings that double", L"%{40}", L""},
    };
    for (const Case &c : cases) {
        CWideString text(c.text.c_str());
        const std::chrono::milliseconds spent =
            ThreadCpuTimeOf([&text] { CWindowManagerUI::ReplaceLanguageTokens(text); });
        EXPECT_LE(spent.count(), 50) << "milliseconds of CPU time: " << c.what;
        if (c.expected.empty())
            EXPECT_LT(text.GetLength(), 100000) << c.what;
        else
            EXPECT_TRUE(text.GetData() == c.expected) << c.what;
    }
    CWindowManagerUI::RemoveAllLanguageStrings();
}

TEST(WindowManagerResources, DefaultAttributeListsAndTheSkinSource)
{
    TestWindow window;
    CWindowManagerUI &manager = window.Manager();
    manager.AddDefaultAttributeList(L"Button", L"width=\"10\"");
    manager.AddDefaultAttributeList(L"Button", L"width=\"20\"");
    manager.AddDefaultAttributeList(L"Label", L"shared=\"1\"", true);
    EXPECT_STREQ(L"width=\"20\"", manager.GetDefaultAttributeList(L"Button"));
    CWindowManagerUI other;
    EXPECT_EQ(nullptr, other.GetDefaultAttributeList(L"Button"));
    EXPECT_STREQ(L"shared=\"1\"", other.GetDefaultAttributeList(L"Label"));
    manager.RemoveAllDefaultAttributeLists(true);

    CWindowManagerUI::SetResourcePath(L"C:\\skin");
    EXPECT_STREQ(L"C:\\skin\\", CWindowManagerUI::GetResourcePath().GetData());
    CWindowManagerUI::SetResourcePath(L"C:/skin/");
    EXPECT_STREQ(L"C:/skin/", CWindowManagerUI::GetResourcePath().GetData());
    CWindowManagerUI::SetResourcePath(L"");
    EXPECT_TRUE(CWindowManagerUI::GetResourcePath().IsEmpty());

    CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    CWideString folder = CWindowManagerUI::GetInstancePath();
    EXPECT_EQ(L'\\', folder.GetAt(folder.GetLength() - 1));

    // A package that cannot be opened leaves no handle; closing is then harmless.
    CWindowManagerUI::SetResourcePackageFile(L"missing.zip", true);
    EXPECT_STREQ(L"missing.zip", CWindowManagerUI::GetResourcePackageName().GetData());
    EXPECT_EQ(nullptr, CWindowManagerUI::GetResourcePackageHandle());
    CWindowManagerUI::CloseResourcePackage();
    CWindowManagerUI::SetResourcePackageFile(L"", false);
}
