#include "ButtonUI.h"

#include "ImageFiles.h"
#include "ProbeControl.h"
#include "TestWindow.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace SkinUI;
using namespace SkinUI::Testing;

namespace {

const DWORD kWhite = 0xFFFFFF;
const DWORD kRed = 0xFF0000;
const DWORD kGreen = 0x00FF00;
const DWORD kBlue = 0x0000FF;
const DWORD kYellow = 0xFFFF00;
const DWORD kMagenta = 0xFF00FF;
const DWORD kCyan = 0x00FFFF;
const DWORD kBlack = 0x000000;

// The button covers (20, 20)-(120, 60) of a 200 x 100 window; its parent records what the
// button passes on.
struct ButtonWindow
{
    explicit ButtonWindow(const wchar_t *attributes) : root(new ProbeParent(L"root"))
    {
        button = new CButtonUI;
        button->SetName(L"button");
        root->Add(button, RECT{20, 20, 120, 60});
        window.Attach(root);
        button->SetAttributeList(attributes);
    }

    DWORD CentreAfterPaint() { return window.PaintTree(0xFFFFFFFF).RgbAt(70, 40); }
    int Clicks() { return window.Notifications().Count(L"click"); }

    TestWindow window;
    ProbeParent *root;
    CButtonUI *button;
};

const wchar_t kStateImages[] =
    L"normalimage=\"color='FFFF0000'\" hotimage=\"color='FF00FF00'\" "
    L"pushedimage=\"color='FF0000FF'\" focusedimage=\"color='FFFFFF00'\" "
    L"disabledimage=\"color='FFFF00FF'\"";

} // namespace

TEST(ButtonUI, EveryStateShowsItsImage)
{
    struct StateCase
    {
        const wchar_t *state;
        const wchar_t *attributes;
        std::function<void(ButtonWindow &)> enter;
        DWORD centre;
    };
    auto hover = [](ButtonWindow &w) { w.window.MouseMove(70, 40); };
    auto press = [](ButtonWindow &w) {
        w.window.MouseMove(70, 40);
        w.window.LeftDown(70, 40);
    };
    auto pressAndLeave = [](ButtonWindow &w) {
        w.window.MouseMove(70, 40);
        w.window.LeftDown(70, 40);
        w.window.MouseMove(150, 80, MK_LBUTTON);
    };
    auto focus = [](ButtonWindow &w) { w.button->SetFocus(); };
    auto disable = [](ButtonWindow &w) { w.button->SetEnabled(false); };
    auto none = [](ButtonWindow &) {};
    const StateCase cases[] = {
        {L"normal", kStateImages, none, kRed},
        {L"hot", kStateImages, hover, kGreen},
        {L"pushed", kStateImages, press, kBlue},
        {L"pushed, pointer outside", kStateImages, pressAndLeave, kGreen},
        {L"focused", kStateImages, focus, kYellow},
        {L"disabled", kStateImages, disable, kMagenta},
        {L"disabled without image", L"normalimage=\"color='FFFF0000'\"", disable, kRed},
        {L"hot without image", L"normalimage=\"color='FFFF0000'\"", hover, kRed},
        {L"pushed without image", L"normalimage=\"color='FFFF0000'\"", press, kRed},
        {L"focused without image", L"normalimage=\"color='FFFF0000'\"", focus, kRed},
        {L"hot background", L"hotbkcolor=\"#FF00FF00\" pushedbkcolor=\"#FF0000FF\"", hover, kGreen},
        {L"pushed background", L"hotbkcolor=\"#FF00FF00\" pushedbkcolor=\"#FF0000FF\"", press,
         kBlue},
        {L"disabled background", L"disabledbkcolor=\"#FFFF00FF\"", disable, kMagenta},
        {L"no colour when not hot", L"hotbkcolor=\"#FF00FF00\"", none, kWhite},
    };
    for (const StateCase &c : cases) {
        ButtonWindow w(c.attributes);
        c.enter(w);
        EXPECT_EQ(c.centre, w.CentreAfterPaint()) << c.state;
    }
}

TEST(ButtonUI, ForeImagesLieOverTheStateImage)
{
    ButtonWindow w(L"normalimage=\"color='FFFF0000'\" hotimage=\"color='FF00FF00'\" "
                   L"foreimage=\"color='FF000000' dest='90,0,100,10'\" "
                   L"hotforeimage=\"color='FF00FFFF' dest='0,0,10,10'\"");
    Pixels pixels = w.window.PaintTree(0xFFFFFFFF);
    EXPECT_EQ(kBlack, pixels.RgbAt(115, 25)) << "the fore image";
    EXPECT_EQ(kRed, pixels.RgbAt(25, 25));

    w.window.MouseMove(70, 40);
    pixels = w.window.PaintTree(0xFFFFFFFF);
    EXPECT_EQ(kCyan, pixels.RgbAt(25, 25)) << "the hot fore image";
    EXPECT_EQ(kGreen, pixels.RgbAt(115, 25)) << "in place of the plain fore image";
}

TEST(ButtonUI, TextColourFollowsTheState)
{
    const wchar_t *colours = L"text=\"MMMMMMMM\" textcolor=\"#FF000000\" "
                             L"disabledtextcolor=\"#FFFF00FF\" hottextcolor=\"#FF00FF00\" "
                             L"pushedtextcolor=\"#FF0000FF\" focusedtextcolor=\"#FFFF0000\"";
    const DWORD stateColours[] = {kBlack, kGreen, kBlue, kRed, kMagenta};
    const RECT buttonRect = {20, 20, 120, 60};
    struct TextCase
    {
        const wchar_t *state;
        std::function<void(ButtonWindow &)> enter;
        DWORD colour;
    };
    const TextCase cases[] = {
        {L"normal", [](ButtonWindow &) {}, kBlack},
        {L"hot", [](ButtonWindow &w) { w.window.MouseMove(70, 40); }, kGreen},
        {L"pushed and hot",
         [](ButtonWindow &w) {
             w.window.MouseMove(70, 40);
             w.window.LeftDown(70, 40);
         },
         kBlue},
        {L"focused", [](ButtonWindow &w) { w.button->SetFocus(); }, kRed},
        {L"focused and hot",
         [](ButtonWindow &w) {
             w.button->SetFocus();
             w.window.MouseMove(70, 40);
         },
         kGreen},
        {L"disabled", [](ButtonWindow &w) { w.button->SetEnabled(false); }, kMagenta},
    };
    for (const TextCase &c : cases) {
        ButtonWindow w(colours);
        c.enter(w);
        const Pixels pixels = w.window.PaintTree(0xFFFFFFFF);
        for (DWORD colour : stateColours) {
            if (colour == c.colour)
                EXPECT_GT(pixels.CountRgb(colour, buttonRect), 0) << c.state;
            else
                EXPECT_EQ(0, pixels.CountRgb(colour, buttonRect)) << c.state << " " << colour;
        }
    }
}

TEST(ButtonUI, MouseClicksAndHoverNotifications)
{
    ButtonWindow w(L"menu=\"true\"");
    w.window.MouseMove(70, 40);
    w.window.Click(70, 40);
    EXPECT_EQ(1, w.Clicks());
    EXPECT_EQ(1, w.window.Notifications().Count(L"mouseenter"));
    EXPECT_EQ(L"button", w.window.Notifications().Of(L"click")[0].senderName);

    // Out while pressed: no click, and pushed only while the pointer is inside.
    w.window.LeftDown(70, 40);
    EXPECT_TRUE(w.button->GetButtonState() & StatePushed);
    w.window.MouseMove(150, 80, MK_LBUTTON);
    EXPECT_FALSE(w.button->GetButtonState() & StatePushed);
    w.window.LeftUp(150, 80);
    EXPECT_EQ(1, w.Clicks());
    EXPECT_EQ(0u, w.button->GetButtonState() & (StatePushed | StateCaptured));

    // Out and back in before the release still clicks.
    w.window.LeftDown(70, 40);
    w.window.MouseMove(150, 80, MK_LBUTTON);
    w.window.MouseMove(70, 40, MK_LBUTTON);
    w.window.LeftUp(70, 40);
    EXPECT_EQ(2, w.Clicks());

    w.window.MouseMove(150, 80);
    EXPECT_EQ(1, w.window.Notifications().Count(L"mouseleave"));
    EXPECT_FALSE(w.button->GetButtonState() & StateHot);

    w.window.RightDown(70, 40);
    POINT screen = w.window.ToScreen(70, 40);
    w.window.Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(w.window.Handle()),
                  MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(1, w.window.Notifications().Count(L"menu"));

    w.button->SetEnabled(false);
    w.window.MouseMove(70, 40);
    w.window.Click(70, 40);
    EXPECT_EQ(2, w.Clicks()) << "a disabled button does not click";
    EXPECT_EQ(0u, w.button->GetButtonState());
}

TEST(ButtonUI, WithoutMouseInputEventsGoToTheParent)
{
    ButtonWindow w(L"mouse=\"false\"");
    // The manager finds no control of its own under the point: the parent is hit and the
    // button never sees the pointer. Events given to the button go on to the parent.
    ControlEvent enter;
    enter.type = EventMouseEnter;
    enter.mousePoint = POINT{70, 40};
    w.button->Event(enter);
    ControlEvent down = enter;
    down.type = EventButtonDown;
    w.button->Event(down);
    EXPECT_EQ(0u, w.button->GetButtonState()) << "never hot, never pushed";
    EXPECT_EQ(1, w.root->CountOf(EventMouseEnter));
    EXPECT_EQ(1, w.root->CountOf(EventButtonDown));
    w.window.Click(70, 40);
    EXPECT_EQ(0, w.Clicks());
}

TEST(ButtonUI, SpaceAndReturnClickAFocusedKeyboardButton)
{
    ButtonWindow w(L"");
    EXPECT_EQ(UINT{BehaviorTabStop | BehaviorSetCursor}, w.button->GetBehaviorFlags());
    w.button->SetFocus();
    w.window.KeyDown(VK_SPACE);
    w.window.KeyDown(VK_RETURN);
    w.window.KeyDown('A');
    EXPECT_EQ(2, w.Clicks());

    w.button->SetKeyboardEnabled(false);
    EXPECT_EQ(UINT{BehaviorSetCursor}, w.button->GetBehaviorFlags());
    w.window.KeyDown(VK_SPACE);
    EXPECT_EQ(2, w.Clicks()) << "keyboard input is off";

    w.button->SetVisible(false);
    EXPECT_FALSE(w.button->Activate()) << "hidden";
    EXPECT_EQ(2, w.Clicks());
}

TEST(ButtonUI, HoverStartsTheFadeAndTicksStepItUntilItStops)
{
    ButtonWindow w(L"fadedelta=\"100\" normalimage=\"color='FFFF0000'\" "
                   L"hotimage=\"color='FF00FF00'\"");
    // The fade timer is the first timer of this window: Windows timer id 17.
    const UINT fadeTimer = 17;
    w.window.MouseMove(70, 40);
    EXPECT_EQ(255, w.button->GetFadeValue());
    EXPECT_EQ(kRed, w.CentreAfterPaint()) << "the fade starts from the normal image";

    w.window.Tick(fadeTimer);
    EXPECT_EQ(155, w.button->GetFadeValue()) << "entering started the timer";
    const DWORD between = w.CentreAfterPaint();
    EXPECT_NE(kRed, between);
    EXPECT_NE(kGreen, between);
    w.window.Tick(fadeTimer);
    w.window.Tick(fadeTimer);
    EXPECT_EQ(0, w.button->GetFadeValue());
    EXPECT_EQ(kGreen, w.CentreAfterPaint());
    EXPECT_FALSE(w.window.Manager().KillTimer(w.button, CButtonUI::kFadeTimerId))
        << "the timer stopped itself at 0";

    w.window.MouseMove(150, 80);
    for (int tick = 0; tick < 3; ++tick)
        w.window.Tick(fadeTimer);
    EXPECT_EQ(255, w.button->GetFadeValue()) << "leaving fades back: 100, 200, 255";
    EXPECT_EQ(kRed, w.CentreAfterPaint());
    EXPECT_FALSE(w.window.Manager().KillTimer(w.button, CButtonUI::kFadeTimerId));
}

TEST(ButtonUI, FiveStatusImageSlicesOneStripIntoTheStates)
{
    const std::wstring strip = ImageFixture(L"res\\fivestatus.png");
    const std::wstring attributes = L"fivestatusimage=\"" + strip + L"\"";
    ButtonWindow w(attributes.c_str());
    EXPECT_EQ(kRed, w.CentreAfterPaint()) << "normal: the first slice";
    w.window.MouseMove(70, 40);
    EXPECT_EQ(kBlue, w.CentreAfterPaint()) << "hot: the third slice";
    w.window.LeftDown(70, 40);
    EXPECT_EQ(kGreen, w.CentreAfterPaint()) << "pushed: the second slice";
    w.window.LeftUp(70, 40);
    w.window.MouseMove(150, 80);
    w.button->SetFocus();
    EXPECT_EQ(kYellow, w.CentreAfterPaint()) << "focused: the fourth slice";
    w.button->SetEnabled(false);
    EXPECT_EQ(kMagenta, w.CentreAfterPaint()) << "disabled: the fifth slice";

    // A floating button without a size takes the size of one slice.
    auto *floating = new CButtonUI;
    w.root->Add(floating, RECT{0, 0, 0, 0});
    floating->SetAttribute(L"float", L"true");
    floating->SetAttribute(L"fivestatusimage", strip.c_str());
    EXPECT_EQ(20, floating->GetFixedWidth());
    EXPECT_EQ(8, floating->GetFixedHeight());
}

TEST(ButtonUI, DesiredHeightIsTheFontsUnlessFixed)
{
    ButtonWindow w(L"width=\"80\"");
    const int fontHeight = w.window.Manager().GetFontInfo(-1)->metrics.tmHeight;
    SIZE size = w.button->GetDesiredSize(SIZE{500, 500});
    EXPECT_EQ(80, size.cx);
    EXPECT_EQ(fontHeight + 8, size.cy);
    w.button->SetFixedHeight(30);
    size = w.button->GetDesiredSize(SIZE{500, 500});
    EXPECT_EQ(30, size.cy);
    EXPECT_STREQ(L"Button", w.button->GetClass());
    EXPECT_EQ(w.button, w.button->GetInterface(L"Label"));
}
