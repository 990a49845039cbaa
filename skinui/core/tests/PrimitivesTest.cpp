#include "ClipScope.h"
#include "DibSurface.h"
#include "GdiPainter.h"
#include "GradientBands.h"

#include <gtest/gtest.h>

#include <climits>

using namespace SkinUI;
using namespace SkinUI::Testing;

// Colours, gradients, lines and frames, and the clip scope, checked on DIB pixels.
namespace {

const uint32_t kWhite = 0xFFFFFF;

TEST(DrawColor, AlphaDecidesBetweenNothingFillingAndBlending)
{
    DibSurface surface(20, 20);
    CGdiPainter::DrawColor(surface.Dc(), {2, 2, 10, 10}, 0x00FF0000);
    EXPECT_EQ(surface.CountOtherThan(surface.Bounds(), kWhite), 0);

    CGdiPainter::DrawColor(surface.Dc(), {2, 2, 10, 10}, 0xFFFF0000);
    EXPECT_EQ(surface.Rgb(2, 2), 0xFF0000u);
    EXPECT_EQ(surface.Rgb(9, 9), 0xFF0000u);
    EXPECT_EQ(surface.BoundsOfOtherThan(kWhite).right, 10);
    EXPECT_EQ(surface.BoundsOfOtherThan(kWhite).bottom, 10);

    CGdiPainter::DrawColor(surface.Dc(), {12, 0, 20, 20}, 0x80FF0000);
    EXPECT_TRUE(NearColor(surface.Rgb(15, 5), 0xFF7F7F)) << std::hex << surface.Rgb(15, 5);
    DibSurface black(4, 4, 0xFF000000);
    CGdiPainter::DrawColor(black.Dc(), black.Bounds(), 0x80FF0000);
    EXPECT_TRUE(NearColor(black.Rgb(1, 1), 0x800000)) << std::hex << black.Rgb(1, 1);
}

struct GradientCase
{
    bool vertical;
    bool bands;
};

class Gradient : public ::testing::TestWithParam<GradientCase>
{
protected:
    void Draw(HDC dc, const RECT &rect, uint32_t first, uint32_t second)
    {
        if (GetParam().bands)
            GradientBands::Fill(dc, rect, first, second, GetParam().vertical, 64);
        else
            CGdiPainter::DrawGradient(dc, rect, first, second, GetParam().vertical, 64);
    }
};

TEST_P(Gradient, EndsCarryTheTwoColours)
{
    DibSurface surface(70, 70);
    const RECT rect = {3, 3, 67, 67};
    Draw(surface.Dc(), rect, 0xFF0000FF, 0xFFFF0000);
    const bool vertical = GetParam().vertical;
    const uint32_t nearEnd = vertical ? surface.Rgb(30, 3) : surface.Rgb(3, 30);
    const uint32_t farEnd = vertical ? surface.Rgb(30, 66) : surface.Rgb(66, 30);
    EXPECT_TRUE(NearColor(nearEnd, 0x0000FF, 8)) << std::hex << nearEnd;
    EXPECT_TRUE(NearColor(farEnd, 0xFF0000, 8)) << std::hex << farEnd;
    const uint32_t middle = surface.Rgb(35, 35);
    EXPECT_TRUE(NearColor(middle, 0x800080, 12)) << std::hex << middle;
    EXPECT_EQ(surface.BoundsOfOtherThan(kWhite).left, 3);
    EXPECT_EQ(surface.BoundsOfOtherThan(kWhite).bottom, 67);
}

INSTANTIATE_TEST_SUITE_P(Painter, Gradient,
                         ::testing::Values(GradientCase{true, false}, GradientCase{false, false},
                                           GradientCase{true, true}, GradientCase{false, true}));

TEST(DrawGradient, MeanAlphaDecidesHowMuchShowsThrough)
{
    DibSurface surface(20, 20);
    CGdiPainter::DrawGradient(surface.Dc(), surface.Bounds(), 0x000000FF, 0x00FF0000, true, 8);
    EXPECT_EQ(surface.CountOtherThan(surface.Bounds(), kWhite), 0);

    // Alpha FF and 00 average to 7F: the (opaque) black gradient covers half of the white.
    CGdiPainter::DrawGradient(surface.Dc(), surface.Bounds(), 0xFF000000, 0x00000000, true, 8);
    EXPECT_TRUE(NearColor(surface.Rgb(10, 10), 0x808080)) << std::hex << surface.Rgb(10, 10);
}

TEST(Lines, FramesLieInsideTheirRectangle)
{
    DibSurface surface(30, 30);
    CGdiPainter::DrawRect(surface.Dc(), {5, 5, 25, 20}, 2, 0xFF0000FF);
    EXPECT_EQ(surface.Rgb(5, 5), 0x0000FFu);
    EXPECT_EQ(surface.Rgb(6, 6), 0x0000FFu);
    EXPECT_EQ(surface.Rgb(24, 19), 0x0000FFu);
    EXPECT_EQ(surface.Rgb(7, 7), kWhite);
    EXPECT_EQ(surface.BoundsOfOtherThan(kWhite).right, 25);
    EXPECT_EQ(surface.BoundsOfOtherThan(kWhite).bottom, 20);

    surface.Fill(0xFFFFFFFF);
    CGdiPainter::DrawLine(surface.Dc(), {2, 10, 28, 10}, 1, 0xFF00FF00);
    EXPECT_EQ(surface.Rgb(2, 10), 0x00FF00u);
    EXPECT_EQ(surface.Rgb(27, 10), 0x00FF00u);
    EXPECT_EQ(surface.CountOtherThan(surface.Bounds(), kWhite), 26);

    surface.Fill(0xFFFFFFFF);
    CGdiPainter::DrawRoundRect(surface.Dc(), {0, 0, 30, 30}, 1, 12, 12, 0xFFFF0000);
    EXPECT_EQ(surface.Rgb(0, 0), kWhite) << "the corner is rounded off";
    EXPECT_EQ(surface.Rgb(15, 0), 0xFF0000u);
    EXPECT_EQ(surface.Rgb(0, 15), 0xFF0000u);
}

// A damaged skin can ask for shapes of billions of pixels, which the platform's GDI does
// not survive; within the surface they look as they would if GDI could draw them.
TEST(Shapes, AbsurdSizesAreDrawnWithinTheSurfaceOnly)
{
    DibSurface surface(120, 60);
    const RECT endless = {0, 0, INT_MAX, 50};
    CGdiPainter::DrawRoundRect(surface.Dc(), endless, 1, INT_MAX, 100, 0xFFFF0000);
    EXPECT_GT(surface.CountOtherThan(surface.Bounds(), kWhite), 60) << "the frame's arc";
    EXPECT_EQ(surface.Rgb(0, 0), kWhite);
    CGdiPainter::DrawRoundRect(surface.Dc(), endless, 1, 20, 20, 0xFFFF0000);
    EXPECT_EQ(surface.Rgb(60, 0), 0xFF0000u) << "a small corner keeps the top edge straight";

    surface.Fill(0xFFFFFFFF);
    {
        CClipScope scope;
        CClipScope::MakeRoundRectClip(surface.Dc(), surface.Bounds(), endless, INT_MAX, 100, scope);
        CGdiPainter::DrawColor(surface.Dc(), surface.Bounds(), 0xFF000000);
    }
    EXPECT_EQ(surface.Rgb(0, 0), kWhite) << "the corner is rounded off";
    EXPECT_EQ(surface.Rgb(60, 25), 0u);

    surface.Fill(0xFFFFFFFF);
    CGdiPainter::DrawLine(surface.Dc(), {-INT_MAX, 30, INT_MAX, 30}, 1 << 20, 0xFF00FF00);
    CGdiPainter::DrawRect(surface.Dc(), {-INT_MAX, -INT_MAX, INT_MAX, INT_MAX}, INT_MAX,
                          0xFF00FF00);
    EXPECT_EQ(surface.Rgb(60, 30), 0x00FF00u);

    // A translucent gradient: the part that is seen is the part of the whole.
    DibSurface whole(240, 20);
    CGdiPainter::DrawGradient(whole.Dc(), {0, 0, 240, 20}, 0x80FF0000, 0x800000FF, false, 16);
    surface.Fill(0xFFFFFFFF);
    CGdiPainter::DrawGradient(surface.Dc(), {-120, 0, 120, 20}, 0x80FF0000, 0x800000FF, false, 16);
    for (int x = 0; x < 120; x += 17)
        EXPECT_TRUE(NearColor(surface.Rgb(x, 10), whole.Rgb(x + 120, 10))) << x;
    surface.Fill(0xFFFFFFFF);
    CGdiPainter::DrawGradient(surface.Dc(), {0, 0, 1 << 24, 60}, 0x80FF0000, 0x800000FF, false, 16);
    EXPECT_TRUE(NearColor(surface.Rgb(5, 5), 0xFF7F7F)) << std::hex << surface.Rgb(5, 5);
}

TEST(ClipScope, PaintingStaysInsideTheScopeUntilItEnds)
{
    DibSurface surface(40, 40);
    {
        CClipScope scope;
        CClipScope::MakeRectClip(surface.Dc(), {10, 10, 20, 20}, scope);
        CGdiPainter::DrawColor(surface.Dc(), surface.Bounds(), 0xFF000000);
        EXPECT_EQ(surface.CountOtherThan(surface.Bounds(), kWhite), 100);
        {
            CClipScope inner;
            CClipScope::MakeRectClip(surface.Dc(), {15, 15, 30, 30}, inner);
            CGdiPainter::DrawColor(surface.Dc(), surface.Bounds(), 0xFFFF0000);
            EXPECT_EQ(surface.CountOtherThan(surface.Bounds(), 0xFFFFFF), 100);
            EXPECT_EQ(surface.Rgb(14, 14), 0x000000u);
            EXPECT_EQ(surface.Rgb(15, 15), 0xFF0000u);
            EXPECT_EQ(surface.Rgb(19, 19), 0xFF0000u);
            EXPECT_EQ(surface.Rgb(20, 20), kWhite) << "the inner clip lies within the outer";

            CClipScope::SelectOuterRegion(surface.Dc(), inner);
            CGdiPainter::DrawColor(surface.Dc(), {10, 10, 11, 11}, 0xFF00FF00);
            EXPECT_EQ(surface.Rgb(10, 10), 0x00FF00u);
            CClipScope::SelectOwnRegion(surface.Dc(), inner);
            CGdiPainter::DrawColor(surface.Dc(), {11, 11, 12, 12}, 0xFF00FF00);
            EXPECT_EQ(surface.Rgb(11, 11), 0x000000u);
        }
        CGdiPainter::DrawColor(surface.Dc(), {0, 0, 40, 12}, 0xFF0000FF);
        EXPECT_EQ(surface.Rgb(5, 5), kWhite) << "the outer scope is back";
        EXPECT_EQ(surface.Rgb(12, 10), 0x0000FFu);
    }
    CGdiPainter::DrawColor(surface.Dc(), {0, 0, 40, 40}, 0xFF00FFFF);
    EXPECT_EQ(surface.CountOtherThan(surface.Bounds(), 0x00FFFF), 0);
}

TEST(ClipScope, RoundedClipCutsTheCorners)
{
    DibSurface surface(40, 40);
    CClipScope scope;
    CClipScope::MakeRoundRectClip(surface.Dc(), surface.Bounds(), {0, 0, 39, 39}, 16, 16, scope);
    CGdiPainter::DrawColor(surface.Dc(), surface.Bounds(), 0xFF000000);
    EXPECT_EQ(surface.Rgb(0, 0), kWhite);
    EXPECT_EQ(surface.Rgb(39, 39), kWhite);
    EXPECT_EQ(surface.Rgb(20, 0), 0u);
    EXPECT_EQ(surface.Rgb(20, 20), 0u);
}

} // namespace
