#include "TextUI.h"

#include "ProbeControl.h"
#include "TestWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace SkinUI;
using namespace SkinUI::Testing;

// Text with links on the shared test window: the links are found in the painted pixels by
// their colour, then clicked, hovered and pointed at like a user would.
namespace {

const wchar_t kTenLinks[] = L"{a l0}MMM{/a}xx{a l1}MMM{/a}xx{a l2}MMM{/a}xx{a l3}MMM{/a}xx"
                            L"{a l4}MMM{/a}xx{a l5}MMM{/a}xx{a l6}MMM{/a}xx{a l7}MMM{/a}xx"
                            L"{a l8}MMM{/a}xx{a l9}MMM{/a}";

struct TextWindow
{
    explicit TextWindow(const wchar_t *text, const wchar_t *attributes = L"showhtml=\"true\"")
    {
        control = new CTextUI;
        control->SetAttributeList(attributes);
        control->SetAttribute(L"textcolor", L"#FF000000");
        control->SetText(text);
        root->Add(control, RECT{0, 0, 600, 40});
        window.Attach(root);
    }

    // The horizontal spans of pixels in the link colour, left to right: one per drawn link.
    std::vector<POINT> LinkCentres()
    {
        Pixels pixels = window.PaintTree(0xFFFFFFFF);
        const DWORD link = window.Manager().GetDefaultLinkFontColor() & 0xFFFFFF;
        std::vector<POINT> centres;
        int start = -1;
        int last = -1;
        for (int x = 0; x <= 600; ++x) {
            bool hit = false;
            for (int y = 0; y < 40 && x < 600; ++y)
                hit = hit || pixels.RgbAt(x, y) == link;
            if (hit && start < 0)
                start = x;
            if (hit)
                last = x;
            if (start >= 0 && (x == 600 || x - last > 3)) {
                centres.push_back(POINT{(start + last) / 2, 0});
                start = -1;
            }
        }
        const int middle = MiddleRow(pixels, link);
        for (POINT &centre : centres)
            centre.y = middle;
        return centres;
    }

    static int MiddleRow(const Pixels &pixels, DWORD rgb)
    {
        int top = -1, bottom = -1;
        for (int y = 0; y < pixels.height; ++y) {
            for (int x = 0; x < pixels.width; ++x) {
                if (pixels.RgbAt(x, y) != rgb)
                    continue;
                if (top < 0)
                    top = y;
                bottom = y;
            }
        }
        return (top + bottom) / 2;
    }

    std::vector<WPARAM> LinksNotified()
    {
        std::vector<WPARAM> indexes;
        for (const auto &record : window.Notifications().Of(L"link"))
            indexes.push_back(record.wParam);
        return indexes;
    }

    bool Invalidated()
    {
        RECT update;
        return GetUpdateRect(window.Handle(), &update, FALSE) != FALSE;
    }

    TestWindow window{600, 40};
    ProbeParent *root = new ProbeParent;
    CTextUI *control;
};

HCURSOR CursorAfterSetCursorAt(CTextUI *control, POINT point)
{
    ::SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    ControlEvent event;
    event.type = EventSetCursor;
    event.mousePoint = point;
    control->Event(event);
    return ::GetCursor();
}

TEST(TextUI, ClassInterfacesAndDefaults)
{
    CTextUI text;
    EXPECT_STREQ(text.GetClass(), L"Text");
    EXPECT_EQ(text.GetInterface(L"Text"), &text);
    EXPECT_EQ(text.GetInterface(L"Label"), static_cast<CLabelUI *>(&text));
    EXPECT_EQ(text.GetInterface(L"Button"), nullptr);
    EXPECT_EQ(static_cast<UINT>(DT_WORDBREAK), text.GetTextStyle());
    const RECT padding = text.GetTextPadding();
    EXPECT_EQ((std::vector<LONG>{2, 0, 2, 0}),
              (std::vector<LONG>{padding.left, padding.top, padding.right, padding.bottom}));
    EXPECT_EQ(0u, text.GetBehaviorFlags()) << "no links before the first paint";
}

TEST(TextUI, OnlyTheFirstEightOfTenLinksAreClickable)
{
    TextWindow w(kTenLinks);
    const std::vector<POINT> links = w.LinkCentres();
    ASSERT_EQ(10u, links.size()) << "every link is drawn";
    EXPECT_EQ(static_cast<UINT>(BehaviorSetCursor), w.control->GetBehaviorFlags());
    for (const POINT &link : links)
        w.window.Click(link.x, link.y);
    EXPECT_EQ((std::vector<WPARAM>{0, 1, 2, 3, 4, 5, 6, 7}), w.LinksNotified());
}

TEST(TextUI, AClickMustEndOnALinkOfAnEnabledText)
{
    TextWindow w(kTenLinks);
    const std::vector<POINT> links = w.LinkCentres();
    ASSERT_GE(links.size(), 2u);
    w.window.LeftDown(links[0].x, links[0].y);
    w.window.LeftUp(links[0].x + 1, 39);
    EXPECT_TRUE(w.LinksNotified().empty()) << "released off the link";

    w.control->SetEnabled(false);
    w.LinkCentres();
    w.window.Click(links[1].x, links[1].y);
    EXPECT_TRUE(w.LinksNotified().empty()) << "disabled";
    EXPECT_EQ(0u, w.control->GetBehaviorFlags());
}

TEST(TextUI, TheHandCursorOnlyOverLinks)
{
    TextWindow w(L"plain {a x}MMMM{/a} plain");
    const std::vector<POINT> links = w.LinkCentres();
    ASSERT_EQ(1u, links.size());
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    EXPECT_EQ(hand, CursorAfterSetCursorAt(w.control, links[0]));
    EXPECT_NE(hand, CursorAfterSetCursorAt(w.control, POINT{1, 1}));
}

TEST(TextUI, MovingBetweenLinksRepaintsOncePerChange)
{
    TextWindow w(kTenLinks);
    w.window.Show();
    const std::vector<POINT> links = w.LinkCentres();
    ASSERT_GE(links.size(), 2u);
    auto moveTo = [&](int x, int y) {
        ValidateRect(w.window.Handle(), nullptr);
        w.window.MouseMove(x, y);
        return w.Invalidated();
    };
    EXPECT_TRUE(moveTo(links[0].x, links[0].y)) << "onto the first link";
    EXPECT_FALSE(moveTo(links[0].x + 1, links[0].y)) << "within it";
    EXPECT_TRUE(moveTo(links[1].x, links[1].y)) << "straight onto the next";
    EXPECT_TRUE(moveTo(links[1].x, 39)) << "off every link";
}

TEST(TextUI, PlainTextAndAClearedTextHaveNoLinks)
{
    TextWindow plain(L"{a x}MMMM{/a}", L"showhtml=\"false\"");
    plain.LinkCentres();
    EXPECT_EQ(0u, plain.control->GetBehaviorFlags());

    TextWindow cleared(L"{a x}MMMM{/a}");
    const std::vector<POINT> links = cleared.LinkCentres();
    ASSERT_EQ(1u, links.size());
    cleared.control->SetText(L"");
    cleared.LinkCentres();
    EXPECT_EQ(0u, cleared.control->GetBehaviorFlags());
    cleared.window.Click(links[0].x, links[0].y);
    EXPECT_TRUE(cleared.LinksNotified().empty());
}

} // namespace

namespace {

TEST(TextUI, BuiltFromASkinItsLinkIsClicked)
{
    TestWindow window{300, 40};
    window.AttachSkin(L"<Window><VerticalLayout><Text name=\"text\" showhtml=\"true\" "
                      L"text=\"see {a help}MMMMMM{/a}\" /></VerticalLayout></Window>");
    CControlUI *text = window.Manager().FindControlByName(L"text");
    ASSERT_NE(nullptr, text);
    EXPECT_STREQ(L"Text", text->GetClass());
    const Pixels pixels = window.PaintTree(0xFFFFFFFF);
    const DWORD link = window.Manager().GetDefaultLinkFontColor() & 0xFFFFFF;
    for (int x = 0; x < 300 && window.Notifications().Count(L"link") == 0; ++x) {
        for (int y = 0; y < 40; ++y) {
            if (pixels.RgbAt(x, y) == link) {
                window.Click(x, y);
                break;
            }
        }
    }
    ASSERT_EQ(1, window.Notifications().Count(L"link"));
    EXPECT_EQ(L"text", window.Notifications().Of(L"link")[0].senderName);
}

} // namespace
