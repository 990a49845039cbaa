#include "SliderUI.h"

#include "ProbeControl.h"
#include "TestWindow.h"

#include <gtest/gtest.h>

using namespace SkinUI;
using namespace SkinUI::Testing;

namespace {

const DWORD kRed = 0xFF0000;
const DWORD kGreen = 0x00FF00;
const DWORD kBlue = 0x0000FF;

// A slider at the given place of a 300 x 300 window.
struct SliderWindow
{
    SliderWindow(RECT place, const wchar_t *attributes) : window(300, 300)
    {
        slider = new CSliderUI;
        slider->SetAttributeList(attributes);
        auto *root = new ProbeParent(L"root");
        root->Add(slider, place);
        window.Attach(root);
    }

    int Changes() { return window.Notifications().Count(L"valuechanged"); }

    TestWindow window;
    CSliderUI *slider;
};

// A horizontal track from x 10 to 210 (y 10 to 30) with a 10 x 10 thumb: the thumb's left
// edge runs over 190 pixels.
const RECT kHorizontal = {10, 10, 210, 30};

bool SameRect(const RECT &a, const RECT &b)
{
    return EqualRect(&a, &b) != FALSE;
}

} // namespace

TEST(SliderUI, ThumbPositionsFollowTheValue)
{
    struct ThumbCase
    {
        const wchar_t *attributes;
        RECT place;
        int value;
        RECT thumb;
    };
    const ThumbCase cases[] = {
        {L"", kHorizontal, 0, {10, 15, 20, 25}},
        {L"", kHorizontal, 50, {105, 15, 115, 25}},
        {L"", kHorizontal, 100, {200, 15, 210, 25}},
        {L"thumbsize=\"20,6\"", kHorizontal, 50, {100, 17, 120, 23}},
        {L"min=\"-100\" max=\"100\"", kHorizontal, 0, {105, 15, 115, 25}},
        {L"hor=\"false\"", {10, 10, 30, 210}, 0, {15, 200, 25, 210}},
        {L"hor=\"false\"", {10, 10, 30, 210}, 100, {15, 10, 25, 20}},
        {L"hor=\"false\"", {10, 10, 30, 210}, 50, {15, 105, 25, 115}},
        {L"max=\"2000000000\"", kHorizontal, 2000000000, {200, 15, 210, 25}},
    };
    for (const ThumbCase &c : cases) {
        SliderWindow w(c.place, c.attributes);
        w.slider->SetValue(c.value);
        const RECT thumb = w.slider->GetThumbRect();
        EXPECT_TRUE(SameRect(c.thumb, thumb))
            << c.attributes << " value " << c.value << ": " << thumb.left << "," << thumb.top << ","
            << thumb.right << "," << thumb.bottom;
    }

    // An empty range reaches the thumb before any paint, through the cursor.
    SliderWindow empty(kHorizontal, L"min=\"5\" max=\"5\" value=\"5\"");
    EXPECT_TRUE(SameRect(RECT{10, 15, 20, 25}, empty.slider->GetThumbRect()));
    ControlEvent cursor;
    cursor.type = EventSetCursor;
    cursor.mousePoint = POINT{15, 20};
    empty.slider->Event(cursor);
}

TEST(SliderUI, AClickMovesTheValueAndTellsOnRelease)
{
    SliderWindow w(kHorizontal, L"");
    w.window.LeftDown(110, 20);
    EXPECT_EQ(50, w.slider->GetValue()) << "(110 - 5 - 10) * 100 / 190";
    EXPECT_EQ(0, w.Changes()) << "not before the release";
    w.window.LeftUp(110, 20);
    EXPECT_EQ(50, w.slider->GetValue());
    EXPECT_EQ(1, w.Changes());

    w.window.Click(14, 20);
    EXPECT_EQ(0, w.slider->GetValue()) << "within half a thumb of the left end";
    w.window.Click(206, 20);
    EXPECT_EQ(100, w.slider->GetValue()) << "within half a thumb of the right end";
    EXPECT_EQ(3, w.Changes());

    SliderWindow vertical(RECT{10, 10, 30, 210}, L"hor=\"false\"");
    vertical.window.Click(20, 12);
    EXPECT_EQ(100, vertical.slider->GetValue()) << "the top is max";
    vertical.window.Click(20, 120);
    EXPECT_EQ(44, vertical.slider->GetValue()) << "(210 - 5 - 120) * 100 / 190";
    vertical.window.Click(20, 208);
    EXPECT_EQ(0, vertical.slider->GetValue());

    w.slider->SetEnabled(false);
    EXPECT_EQ(0u, w.slider->GetBehaviorFlags());
    w.window.Click(110, 20);
    EXPECT_EQ(100, w.slider->GetValue()) << "a disabled slider stays";
    EXPECT_EQ(3, w.Changes());
}

TEST(SliderUI, AReleaseItDidNotCaptureGoesOnToTheParent)
{
    SliderWindow w(kHorizontal, L"");
    auto *root = static_cast<ProbeParent *>(w.slider->GetParent());
    ControlEvent release;
    release.type = EventButtonUp;
    release.mousePoint = POINT{110, 20};
    w.slider->DoEvent(release);
    EXPECT_EQ(1, root->CountOf(EventButtonUp));
    EXPECT_EQ(0, w.slider->GetValue());
    EXPECT_EQ(0, w.Changes());

    w.window.LeftDown(110, 20);
    w.window.LeftUp(110, 20);
    EXPECT_EQ(1, root->CountOf(EventButtonUp)) << "a captured release is the slider's own";
    EXPECT_EQ(1, w.Changes());
}

TEST(SliderUI, DraggingTellsOnEveryMoveOnlyWhenImmediate)
{
    for (bool immediate : {false, true}) {
        SliderWindow w(kHorizontal, immediate ? L"imm=\"true\"" : L"");
        w.window.LeftDown(15, 20);
        w.window.MouseMove(53, 20, MK_LBUTTON);
        EXPECT_EQ(20, w.slider->GetValue()) << "(53 - 5 - 10) * 100 / 190";
        w.window.MouseMove(500, 20, MK_LBUTTON);
        EXPECT_EQ(100, w.slider->GetValue()) << "beyond the end";
        w.window.MouseMove(91, 20, MK_LBUTTON);
        EXPECT_EQ(40, w.slider->GetValue());
        EXPECT_EQ(immediate ? 3 : 0, w.Changes()) << immediate;
        w.window.LeftUp(91, 20);
        EXPECT_EQ(immediate ? 4 : 1, w.Changes()) << immediate;
        w.window.MouseMove(150, 20);
        EXPECT_EQ(40, w.slider->GetValue()) << "no capture, no drag";
    }
}

TEST(SliderUI, EachWheelNotchStepsAndTells)
{
    SliderWindow w(kHorizontal, L"step=\"30\" value=\"50\"");
    w.window.Wheel(100, 20, WHEEL_DELTA);
    EXPECT_EQ(80, w.slider->GetValue());
    w.window.Wheel(100, 20, WHEEL_DELTA);
    EXPECT_EQ(100, w.slider->GetValue()) << "limited to max";
    w.window.Wheel(100, 20, -WHEEL_DELTA);
    EXPECT_EQ(70, w.slider->GetValue());
    EXPECT_EQ(3, w.Changes()) << "one per notch, even at the end";

    SliderWindow large(kHorizontal, L"step=\"2147483647\" min=\"-10\" value=\"-5\"");
    large.window.Wheel(100, 20, -WHEEL_DELTA);
    EXPECT_EQ(-10, large.slider->GetValue()) << "a huge step does not wrap around";
}

TEST(SliderUI, ThumbImagesFollowHoverAndDrag)
{
    SliderWindow w(kHorizontal, L"thumbimage=\"color='FFFF0000'\" "
                                L"thumbhotimage=\"color='FF00FF00'\" "
                                L"thumbpushedimage=\"color='FF0000FF'\" value=\"50\"");
    EXPECT_EQ(kRed, w.window.PaintTree(0xFFFFFFFF).RgbAt(110, 20));
    w.window.MouseMove(60, 20);
    EXPECT_EQ(kGreen, w.window.PaintTree(0xFFFFFFFF).RgbAt(110, 20)) << "hot";
    w.window.LeftDown(110, 20);
    EXPECT_EQ(kBlue, w.window.PaintTree(0xFFFFFFFF).RgbAt(110, 20)) << "dragging";
    w.window.LeftUp(110, 20);
    w.window.MouseMove(250, 250);
    const Pixels pixels = w.window.PaintTree(0xFFFFFFFF);
    EXPECT_EQ(kRed, pixels.RgbAt(110, 20)) << "neither";
    EXPECT_EQ(100, pixels.CountRgb(kRed, kHorizontal)) << "the thumb alone";
    EXPECT_STREQ(L"Slider", w.slider->GetClass());
    EXPECT_EQ(w.slider, w.slider->GetInterface(L"Progress"));
}
