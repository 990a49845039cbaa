#include "ControlState.h"
#include "ProbeControl.h"
#include "RectText.h"
#include "ScrollBarUI.h"
#include "TestWindow.h"

#include <gtest/gtest.h>

#include <string>

using namespace SkinUI;
using namespace SkinUI::Testing;

// The scroll bar on its own (without an owner container): part layout, position rules,
// held buttons and track through synthetic timer ticks, thumb drags, queued "scroll"
// notifications and the state images in pixels.
namespace {

// A fresh manager hands out Windows timer ids from 17 on; the bar's repeat timer is the
// only timer of these windows.
const UINT kRepeatTimer = 17;

struct PartCase
{
    const char *what;
    bool horizontal;
    RECT rect;
    int range;
    int position;
    bool button1;
    bool button2;
    RECT expectedButton1;
    RECT expectedButton2;
    RECT expectedThumb;
};

TEST(ScrollBar, PartsShareTheBarByRangeAndPosition)
{
    const PartCase cases[] = {
        {"top",
         false,
         {0, 0, 16, 200},
         100,
         0,
         true,
         true,
         {0, 0, 16, 16},
         {0, 184, 16, 200},
         {0, 16, 16, 128}},
        {"middle",
         false,
         {0, 0, 16, 200},
         100,
         50,
         true,
         true,
         {0, 0, 16, 16},
         {0, 184, 16, 200},
         {0, 44, 16, 156}},
        {"end",
         false,
         {0, 0, 16, 200},
         100,
         100,
         true,
         true,
         {0, 0, 16, 16},
         {0, 184, 16, 200},
         {0, 72, 16, 184}},
        {"thumb never shorter than the thickness",
         false,
         {0, 0, 16, 200},
         10000,
         10000,
         true,
         true,
         {0, 0, 16, 16},
         {0, 184, 16, 200},
         {0, 168, 16, 184}},
        {"no range fills the track",
         false,
         {0, 0, 16, 200},
         0,
         0,
         true,
         true,
         {0, 0, 16, 16},
         {0, 184, 16, 200},
         {0, 16, 16, 184}},
        {"hidden buttons",
         false,
         {0, 0, 16, 200},
         100,
         0,
         false,
         false,
         {0, 0, 0, 0},
         {0, 200, 0, 200},
         {0, 0, 16, 133}},
        {"track of exactly one thickness",
         false,
         {0, 0, 16, 48},
         100,
         0,
         true,
         true,
         {0, 0, 16, 16},
         {0, 32, 16, 48},
         {0, 0, 0, 0}},
        {"short bar keeps its buttons",
         false,
         {0, 0, 16, 40},
         100,
         0,
         true,
         true,
         {0, 0, 16, 16},
         {0, 24, 16, 40},
         {0, 0, 0, 0}},
        {"shorter than two buttons halves them",
         false,
         {0, 0, 16, 20},
         100,
         0,
         true,
         true,
         {0, 0, 16, 10},
         {0, 10, 16, 20},
         {0, 0, 0, 0}},
        {"horizontal",
         true,
         {10, 5, 210, 21},
         100,
         50,
         true,
         true,
         {10, 5, 26, 21},
         {194, 5, 210, 21},
         {54, 5, 166, 21}},
    };
    for (const PartCase &c : cases) {
        CScrollBarUI bar;
        bar.SetHorizontal(c.horizontal);
        bar.SetShowButton1(c.button1);
        bar.SetShowButton2(c.button2);
        bar.SetScrollRange(c.range);
        bar.SetScrollPos(c.position, false);
        bar.SetPos(c.rect, false);
        EXPECT_EQ(RectText(c.expectedButton1), RectText(bar.GetButton1Rect())) << c.what;
        EXPECT_EQ(RectText(c.expectedButton2), RectText(bar.GetButton2Rect())) << c.what;
        EXPECT_EQ(RectText(c.expectedThumb), RectText(bar.GetThumbRect())) << c.what;
    }
}

TEST(ScrollBar, PositionsStayInRangeAndSnapToTheScrollUnit)
{
    CScrollBarUI bar;
    EXPECT_STREQ(L"ScrollBar", bar.GetClass());
    EXPECT_EQ(&bar, bar.GetInterface(L"ScrollBar"));
    EXPECT_EQ(&bar, bar.GetInterface(L"Control"));
    EXPECT_EQ(16, bar.GetFixedWidth());
    EXPECT_EQ(100, bar.GetScrollRange());

    bar.SetAttribute(L"scrollunit", L"10");
    const struct
    {
        const wchar_t *value;
        int expected;
    } snaps[] = {{L"37", 40}, {L"34", 30}, {L"35", 40}, {L"-7", 0}, {L"98", 100}, {L"250", 100}};
    for (const auto &snap : snaps) {
        bar.SetAttribute(L"value", snap.value);
        EXPECT_EQ(snap.expected, bar.GetScrollPos()) << testing::PrintToString(snap.value);
    }
    EXPECT_EQ(10, bar.GetLineStep()) << "the unit is the step";
    bar.SetAttribute(L"scrollunit", L"1");
    bar.SetAttribute(L"linesize", L"-3");
    EXPECT_EQ(8, bar.GetLineStep()) << "a negative line size is ignored";

    bar.SetAttribute(L"range", L"-5");
    EXPECT_EQ(0, bar.GetScrollRange());
    EXPECT_EQ(0, bar.GetScrollPos()) << "the position follows the range down";

    bar.SetAttribute(L"hor", L"true");
    EXPECT_EQ(0, bar.GetFixedWidth());
    EXPECT_EQ(16, bar.GetFixedHeight());
    bar.SetAttribute(L"hor", L"false");
    EXPECT_EQ(16, bar.GetFixedWidth());
    EXPECT_EQ(0, bar.GetFixedHeight());
}

TEST(ScrollBar, PartsTravelWithTheBar)
{
    CScrollBarUI bar;
    bar.SetPos(RECT{0, 0, 16, 200}, false);
    bar.Move(5, 30, false);
    EXPECT_EQ(RectText(RECT{5, 30, 21, 46}), RectText(bar.GetButton1Rect()));
    EXPECT_EQ(RectText(RECT{5, 46, 21, 158}), RectText(bar.GetThumbRect()));
}

// A vertical bar of range 100 at (10, 10, 26, 210) in a window, without owner.
class LoneScrollBar : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto *root = new ProbeParent(L"root");
        root->Add(m_bar, RECT{10, 10, 26, 210});
        m_window.Attach(root);
    }

    void Ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            m_window.Tick(kRepeatTimer);
    }

    std::vector<std::pair<WPARAM, LPARAM>> ScrollNotes()
    {
        m_window.PumpPending();
        std::vector<std::pair<WPARAM, LPARAM>> notes;
        for (const RecordingNotifier::Record &record : m_window.Notifications().Of(L"scroll"))
            notes.emplace_back(record.wParam, record.lParam);
        return notes;
    }

    TestWindow m_window{100, 220};
    CScrollBarUI *m_bar = new CScrollBarUI;
};

TEST_F(LoneScrollBar, HeldButtonStepsAtOnceThenFromTheSixthTick)
{
    m_window.LeftDown(18, 205);
    EXPECT_EQ(8, m_bar->GetScrollPos()) << "one step at once";
    EXPECT_TRUE(m_bar->GetButton2State() & StatePushed);
    Ticks(5);
    EXPECT_EQ(8, m_bar->GetScrollPos()) << "the first five ticks wait";
    Ticks(1);
    EXPECT_EQ(16, m_bar->GetScrollPos());
    Ticks(2);
    EXPECT_EQ(32, m_bar->GetScrollPos());
    m_window.LeftUp(18, 205);
    EXPECT_FALSE(m_bar->GetButton2State() & StatePushed);
    Ticks(3);
    EXPECT_EQ(32, m_bar->GetScrollPos()) << "the timer ends with the button";

    EXPECT_TRUE(m_window.Notifications().Of(L"scroll").empty()) << "queued, not sent";
    const std::vector<std::pair<WPARAM, LPARAM>> expected = {{8, 0}, {16, 8}, {24, 16}, {32, 24}};
    EXPECT_EQ(expected, ScrollNotes());

    m_window.LeftDown(18, 15);
    m_window.LeftUp(18, 15);
    EXPECT_EQ(24, m_bar->GetScrollPos()) << "the first button steps back";
}

TEST_F(LoneScrollBar, ADisabledBarLeavesPressesToWhatItPassesEventsTo)
{
    auto *root = static_cast<ProbeParent *>(m_bar->GetParent());
    m_bar->SetEnabled(false);
    for (int type : {EventButtonDown, EventDoubleClick}) {
        ControlEvent event;
        event.type = type;
        event.mousePoint = POINT{18, 205};
        m_bar->DoEvent(event);
        EXPECT_EQ(1, root->CountOf(type)) << type;
    }
    EXPECT_EQ(0, m_bar->GetScrollPos());
    EXPECT_FALSE(m_bar->GetButton2State() & StatePushed);
    Ticks(8);
    EXPECT_EQ(0, m_bar->GetScrollPos()) << "no repeat timer either";

    m_bar->SetEnabled(true);
    root->ClearEvents();
    m_window.LeftDown(18, 205);
    EXPECT_EQ(0, root->CountOf(EventButtonDown)) << "an enabled bar keeps its presses";
    EXPECT_EQ(8, m_bar->GetScrollPos());
}

TEST_F(LoneScrollBar, TrackClicksPageByTheBarsLengthAndHeldTrackFollowsTheCursor)
{
    m_window.Click(18, 180); // after the thumb at (26, 138)
    EXPECT_EQ(100, m_bar->GetScrollPos()) << "a page of 200 ends at the range";
    m_window.Click(18, 30); // before the thumb, now at (82, 194)
    EXPECT_EQ(0, m_bar->GetScrollPos());

    // Held on the track, the bar pages towards the cursor once the delay has passed.
    const POINT below = m_window.ToScreen(18, 180);
    if (!SetCursorPos(below.x, below.y))
        GTEST_SKIP() << "no cursor to place";
    m_window.LeftDown(18, 180);
    EXPECT_EQ(100, m_bar->GetScrollPos());
    m_bar->SetScrollPos(0, false);
    Ticks(5);
    EXPECT_EQ(0, m_bar->GetScrollPos());
    SetCursorPos(below.x, below.y);
    Ticks(1);
    EXPECT_EQ(100, m_bar->GetScrollPos()) << "the cursor lies after the thumb";
    m_window.LeftUp(18, 180);
}

TEST_F(LoneScrollBar, DraggedThumbMovesOnTimerTicks)
{
    // Thumb 112 long from y 26; the track leaves 200 - 112 - 32 = 56 pixels to move in.
    ASSERT_EQ(RectText(RECT{10, 26, 26, 138}), RectText(m_bar->GetThumbRect()));
    m_window.LeftDown(18, 50);
    EXPECT_EQ(StateCaptured | StatePushed, m_bar->GetThumbState() & (StateCaptured | StatePushed));
    m_window.MouseMove(18, 78, MK_LBUTTON);
    EXPECT_EQ(0, m_bar->GetScrollPos()) << "moves only compute the offset";
    Ticks(1);
    EXPECT_EQ(50, m_bar->GetScrollPos()) << "28 of 56 pixels is half the range";
    m_window.MouseMove(18, 400, MK_LBUTTON);
    Ticks(1);
    EXPECT_EQ(100, m_bar->GetScrollPos());
    m_window.LeftUp(18, 400);
    EXPECT_EQ(0u, m_bar->GetThumbState() & (StateCaptured | StatePushed));

    // Without a range the thumb fills the track: nothing to drag, nothing divided by zero.
    m_bar->SetScrollRange(0);
    m_window.LeftDown(18, 100);
    m_window.MouseMove(18, 150, MK_LBUTTON);
    Ticks(1);
    m_window.LeftUp(18, 150);
    EXPECT_EQ(0, m_bar->GetScrollPos());
}

// Every part's state image drawn from a solid colour: normal, hot, pushed and disabled.
class PaintedScrollBar : public LoneScrollBar
{
protected:
    void SetUp() override
    {
        LoneScrollBar::SetUp();
        m_bar->SetAttributeList(
            L"bknormalimage=\"color='#FF101010'\" bkpushedimage=\"color='#FF303030'\" "
            L"button1normalimage=\"color='#FFFF0000'\" button1hotimage=\"color='#FF00FF00'\" "
            L"button1pushedimage=\"color='#FF0000FF'\" "
            L"button1disabledimage=\"color='#FF808080'\" button2color=\"#FF800000\" "
            L"thumbnormalimage=\"color='#FFFFFF00'\" thumbhotimage=\"color='#FF00FFFF'\" "
            L"thumbpushedimage=\"color='#FFFF00FF'\" thumbdisabledimage=\"color='#FF404040'\" "
            L"railnormalimage=\"color='#FFFFFFFF'\"");
    }

    // The colours at button 1, button 2, the thumb, the rail (centred on the thumb) and
    // the track below the thumb.
    std::vector<DWORD> PartColors()
    {
        const Pixels pixels = m_window.PaintTree();
        const RECT &thumb = m_bar->GetThumbRect();
        const int railY = (thumb.top + thumb.bottom) / 2;
        return {pixels.RgbAt(18, 18), pixels.RgbAt(18, 202), pixels.RgbAt(18, thumb.top + 2),
                pixels.RgbAt(18, railY), pixels.RgbAt(18, thumb.bottom + 2)};
    }
};

TEST_F(PaintedScrollBar, EveryPartShowsTheImageOfItsState)
{
    using Colors = std::vector<DWORD>;
    EXPECT_EQ((Colors{0xFF0000, 0x800000, 0xFFFF00, 0xFFFFFF, 0x101010}), PartColors()) << "normal";

    m_window.MouseMove(18, 40);
    EXPECT_EQ((Colors{0x00FF00, 0x800000, 0x00FFFF, 0xFFFFFF, 0x101010}), PartColors())
        << "hot: the rail without a hot image keeps its normal one";

    m_window.LeftDown(18, 40);
    EXPECT_EQ((Colors{0x00FF00, 0x800000, 0xFF00FF, 0xFFFFFF, 0x303030}), PartColors())
        << "the pushed thumb pushes the track too";
    m_window.LeftUp(18, 40);

    m_window.LeftDown(18, 15);
    EXPECT_EQ(0x0000FFu, PartColors()[0]) << "pushed button";
    m_window.LeftUp(18, 15);

    m_window.MouseMove(60, 100); // off the bar
    EXPECT_EQ((Colors{0xFF0000, 0x800000, 0xFFFF00, 0xFFFFFF, 0x101010}), PartColors())
        << "leaving the bar ends the hot state";

    m_bar->SetEnabled(false);
    EXPECT_EQ((Colors{0x808080, 0x800000, 0x404040, 0xFFFFFF, 0x101010}), PartColors())
        << "disabled";
    m_window.LeftDown(18, 205);
    EXPECT_EQ(0, m_bar->GetScrollPos()) << "a disabled bar does not scroll";
    m_window.LeftUp(18, 205);
}

} // namespace
