#include "ProgressUI.h"

#include "ProbeControl.h"
#include "TestWindow.h"

#include <gtest/gtest.h>

#include <string>

using namespace SkinUI;
using namespace SkinUI::Testing;

namespace {

const DWORD kGreen = 0x00FF00;

// A progress bar whose range the tests read.
class Progress : public CProgressUI
{
public:
    using CProgressUI::m_max;
    using CProgressUI::m_min;
};

// One bar at the given place of a 300 x 300 window, filled with green.
struct ProgressWindow
{
    ProgressWindow(RECT place, const wchar_t *attributes) : window(300, 300), place(place)
    {
        progress = new Progress;
        progress->SetAttributeList(L"foreimage=\"color='FF00FF00'\"");
        progress->SetAttributeList(attributes);
        auto *root = new ProbeParent(L"root");
        root->Add(progress, place);
        window.Attach(root);
    }

    int GreenPixels() { return window.PaintTree(0xFFFFFFFF).CountRgb(kGreen, place); }

    TestWindow window;
    RECT place;
    Progress *progress;
};

} // namespace

TEST(ProgressUI, HorizontalFillWidthFollowsTheValueWithinTheRange)
{
    struct FillCase
    {
        const wchar_t *attributes;
        int value;
        int stored;
        int width;
    };
    const FillCase cases[] = {
        {L"", 0, 0, 0},
        {L"", 37, 37, 74},
        {L"", 100, 100, 200},
        {L"", 150, 100, 200},
        {L"", -5, 0, 0},
        {L"min=\"0\" max=\"3\"", 1, 1, 66},
        {L"min=\"-50\" max=\"50\"", 0, 0, 100},
        // Products and differences beyond 32 bits.
        {L"min=\"0\" max=\"2000000000\"", 1000000000, 1000000000, 100},
        {L"min=\"-2000000000\" max=\"2000000000\"", 1000000000, 1000000000, 150},
    };
    for (const FillCase &c : cases) {
        ProgressWindow w(RECT{20, 40, 220, 60}, c.attributes);
        w.progress->SetValue(c.value);
        const std::wstring label = std::wstring(c.attributes) + L" " + std::to_wstring(c.value);
        EXPECT_EQ(c.stored, w.progress->GetValue()) << label;
        EXPECT_EQ(c.width * 20, w.GreenPixels()) << label;
        if (c.width > 0) {
            const Pixels pixels = w.window.PaintTree(0xFFFFFFFF);
            EXPECT_EQ(kGreen, pixels.RgbAt(20, 50)) << "it grows from the left: " << label;
        }
    }
}

TEST(ProgressUI, VerticalFillGrowsFromTheBottom)
{
    const int values[] = {0, 37, 100, 150, -5};
    const int heights[] = {0, 74, 200, 200, 0};
    for (int i = 0; i < 5; ++i) {
        ProgressWindow w(RECT{40, 20, 60, 220}, L"hor=\"false\"");
        w.progress->SetValue(values[i]);
        EXPECT_EQ(heights[i] * 20, w.GreenPixels()) << values[i];
        const Pixels pixels = w.window.PaintTree(0xFFFFFFFF);
        if (heights[i] > 0) {
            EXPECT_EQ(kGreen, pixels.RgbAt(50, 219)) << values[i];
            EXPECT_EQ(kGreen, pixels.RgbAt(50, 220 - heights[i])) << values[i];
        }
    }
}

TEST(ProgressUI, TheFirstPaintRepairsAnEmptyRange)
{
    ProgressWindow w(RECT{20, 40, 220, 60}, L"min=\"5\" max=\"5\" value=\"9\"");
    EXPECT_EQ(5, w.progress->GetValue()) << "limited to max, then min";
    EXPECT_EQ(0, w.GreenPixels());
    EXPECT_EQ(6, w.progress->m_max) << "stored by the paint";

    ProgressWindow top(RECT{20, 40, 220, 60}, L"min=\"2147483647\" max=\"0\"");
    EXPECT_EQ(0, top.GreenPixels());
    EXPECT_LT(top.progress->m_min, top.progress->m_max) << "no overflow at the top of int";

    ProgressWindow reversed(RECT{20, 40, 220, 60}, L"min=\"10\" max=\"0\"");
    reversed.progress->SetAttribute(L"value", L"3");
    EXPECT_EQ(10, reversed.progress->GetValue());
    reversed.GreenPixels();
    EXPECT_EQ(11, reversed.progress->m_max);

    EXPECT_STREQ(L"Progress", w.progress->GetClass());
    EXPECT_EQ(w.progress, w.progress->GetInterface(L"Label"));
    EXPECT_EQ(12, w.progress->GetFixedHeight());
    EXPECT_EQ(UINT{DT_CENTER | DT_SINGLELINE}, w.progress->GetTextStyle());
}
