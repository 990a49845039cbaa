#include "BlendRoutines.h"
#include "DibSurface.h"
#include "GdiPainter.h"
#include "ImageDecoder.h"
#include "ImageFiles.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cwchar>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace SkinUI;
using namespace SkinUI::Testing;

// Decoding into premultiplied DIB sections, nine-grid drawing part by part, blending and
// recolouring, checked on the pixels of a memory DC.
namespace {

const uint32_t kWhite = 0xFFFFFF;
const uint32_t kRed = 0xFF0000;
const uint32_t kGreen = 0x00FF00;
const uint32_t kBlue = 0x0000FF;
const uint32_t kYellow = 0xFFFF00;
const uint32_t kTopEdge = 0x800000;
const uint32_t kBottomEdge = 0x008000;
const uint32_t kLeftEdge = 0x000080;
const uint32_t kRightEdge = 0x808000;

// Centre pixel (column, row) of grid.png, 4x4 at (4, 4).
uint32_t CentreColour(int column, int row)
{
    return uint32_t(0x20 + 0x40 * column) << 16 | uint32_t(0x20 + 0x40 * row) << 8 | 0x80;
}

struct ImageDeleter
{
    void operator()(ImageEntry *entry) const { CGdiPainter::FreeImage(entry); }
};
using Image = std::unique_ptr<ImageEntry, ImageDeleter>;

Image Decode(const wchar_t *name, uint32_t mask = 0)
{
    std::vector<uint8_t> bytes = ReadWholeFile(ImageFixture(std::wstring(L"res\\") + name));
    return Image(ImageDecoder::Decode(bytes.data(), bytes.size(), mask));
}

uint32_t StoredPixel(const ImageEntry &image, int x, int y)
{
    return reinterpret_cast<const uint32_t *>(image.bits)[y * image.width + x];
}

const RECT kNoCorner = {0, 0, 0, 0};
const RECT kGridSource = {0, 0, 12, 12};
const RECT kCorner4 = {4, 4, 4, 4};

TEST(ImageDecoding, OpaquePictureIsCopiedAsIs)
{
    Image grid = Decode(L"grid.png");
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->width, 12);
    EXPECT_EQ(grid->height, 12);
    EXPECT_FALSE(grid->hasAlpha);
    EXPECT_EQ(StoredPixel(*grid, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(StoredPixel(*grid, 11, 11), 0xFFFFFF00u);
    EXPECT_EQ(StoredPixel(*grid, 5, 6), 0xFF000000u | CentreColour(1, 2));
    EXPECT_EQ(grid->savedBits, nullptr);
    EXPECT_FALSE(grid->keepsCopy);
}

TEST(ImageDecoding, TranslucentPixelsArePremultiplied)
{
    Image half = Decode(L"half.png");
    ASSERT_NE(half, nullptr);
    EXPECT_TRUE(half->hasAlpha);
    EXPECT_EQ(StoredPixel(*half, 0, 0), 0x80800000u);
    EXPECT_EQ(StoredPixel(*half, 1, 0), 0xFF0000FFu);
}

TEST(ImageDecoding, MaskMatchesOnlyWithItsAlphaByte)
{
    Image masked = Decode(L"mask.png", 0xFFFF00FF);
    ASSERT_NE(masked, nullptr);
    EXPECT_TRUE(masked->hasAlpha);
    EXPECT_EQ(StoredPixel(*masked, 0, 0), 0u);
    EXPECT_EQ(StoredPixel(*masked, 1, 0), 0xFF00FF00u);

    Image unmatched = Decode(L"mask.png", 0x00FF00FF);
    ASSERT_NE(unmatched, nullptr);
    EXPECT_FALSE(unmatched->hasAlpha);
    EXPECT_EQ(StoredPixel(*unmatched, 0, 0), 0xFFFF00FFu);
}

TEST(ImageDecoding, DamagedAndUnknownFilesGiveNoImage)
{
    EXPECT_EQ(Decode(L"damaged.png"), nullptr);
    EXPECT_EQ(Decode(L"unknown.png"), nullptr);
    EXPECT_EQ(Decode(L"missing.png"), nullptr);
    EXPECT_EQ(ImageDecoder::Decode(nullptr, 10, 0), nullptr);
}

TEST(ImageDecoding, EveryFormatSkinsUseDecodes)
{
    for (const wchar_t *name : {L"grid.png", L"grid.jpg", L"grid.bmp", L"grid.gif"}) {
        const std::vector<uint8_t> bytes =
            ReadWholeFile(ImageFixture(std::wstring(L"res\\") + name));
        EXPECT_TRUE(ImageDecoder::Decodes(bytes.data(), bytes.size())) << name;
        Image image = Decode(name);
        ASSERT_NE(image, nullptr) << name;
        EXPECT_EQ(image->width, 12) << name;
        EXPECT_EQ(image->height, 12) << name;
        // JPEG is lossy, and its colours bleed a little across the parts' borders.
        EXPECT_TRUE(NearColor(StoredPixel(*image, 1, 1), 0xFFFF0000u, 40)) << name;
        EXPECT_TRUE(NearColor(StoredPixel(*image, 10, 10), 0xFFFFFF00u, 40)) << name;
    }
    Image widest = Decode(L"widest.png");
    ASSERT_NE(widest, nullptr) << "the largest side decoded";
    EXPECT_EQ(widest->width, 16384);
}

TEST(ImageDecoding, OtherFormatsAndAbsurdSizesAreRefusedAtOnce)
{
    // A cut run-length picture kept the decoder busy for ever, and a GIF of 35 bytes that
    // declares 20000 x 20000 pixels for minutes (4096 x 4096 for seconds): each is refused
    // before it is decoded. The bound is a safety net for a machine under load only.
    static const wchar_t *const names[] = {L"grid.tga",  L"grid.ppm",     L"truncated.hdr",
                                           L"huge.gif",  L"too-wide.png", L"too-many.png",
                                           L"sparse.gif"};
    auto accepted = std::make_shared<std::string>();
    std::packaged_task<void()> task([accepted] {
        for (const wchar_t *name : names) {
            const std::vector<uint8_t> bytes =
                ReadWholeFile(ImageFixture(std::wstring(L"res\\") + name));
            Image image(ImageDecoder::Decode(bytes.data(), bytes.size(), 0));
            if (image != nullptr || ImageDecoder::Decodes(bytes.data(), bytes.size()))
                *accepted += std::string(name, name + wcslen(name)) + " ";
        }
    });
    std::future<void> done = task.get_future();
    std::thread(std::move(task)).detach();
    ASSERT_EQ(done.wait_for(std::chrono::seconds(60)), std::future_status::ready)
        << "a picture kept the decoder busy";
    EXPECT_EQ(*accepted, "");
}

TEST(ImageDecoding, PicturesAboveTheSkinFileLimitDecode)
{
    Image big = Decode(L"big.png");
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->width, 1200);
    EXPECT_EQ(big->height, 1200);
}

TEST(ImageDecoding, SolidColourIsOnePremultipliedPixel)
{
    Image color(ImageDecoder::SolidColor(0x80FF0000));
    ASSERT_NE(color, nullptr);
    EXPECT_EQ(color->width, 1);
    EXPECT_EQ(StoredPixel(*color, 0, 0), 0x80800000u);
    EXPECT_TRUE(color->hasAlpha);
}

TEST(ImageDecoding, PixelCopyIsKeptForRecolouring)
{
    Image grid = Decode(L"grid.png");
    ASSERT_TRUE(grid->KeepPixelCopy());
    EXPECT_TRUE(grid->keepsCopy);
    EXPECT_EQ(reinterpret_cast<uint32_t *>(grid->savedBits)[0], 0xFFFF0000u);
}

class NineGrid : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_grid = Decode(L"grid.png");
        ASSERT_NE(m_grid, nullptr);
    }

    void Draw(const RECT &destination, const RECT &corner, bool hole = false, bool xTiled = false,
              bool yTiled = false, uint8_t fade = 255, const RECT *paint = nullptr)
    {
        CGdiPainter::DrawImage(m_surface.Dc(), m_grid->bitmap, destination,
                               paint != nullptr ? *paint : m_surface.Bounds(), kGridSource, corner,
                               m_grid->hasAlpha, fade, hole, xTiled, yTiled);
    }

    Image m_grid;
    DibSurface m_surface{60, 60};
};

TEST_F(NineGrid, CornersStayUnscaledAndEdgesStretch)
{
    Draw({10, 10, 40, 34}, kCorner4);
    struct Probe
    {
        int x, y;
        uint32_t rgb;
    } probes[] = {
        {10, 10, kRed},      {13, 13, kRed},       {36, 10, kGreen},      {39, 13, kGreen},
        {10, 30, kBlue},     {13, 33, kBlue},      {36, 30, kYellow},     {39, 33, kYellow},
        {14, 11, kTopEdge},  {35, 12, kTopEdge},   {20, 31, kBottomEdge}, {11, 14, kLeftEdge},
        {11, 29, kLeftEdge}, {38, 20, kRightEdge}, {9, 9, kWhite},        {40, 34, kWhite},
        {40, 10, kWhite},    {10, 34, kWhite},
    };
    for (const Probe &probe : probes)
        EXPECT_EQ(m_surface.Rgb(probe.x, probe.y), probe.rgb) << "at " << probe.x << "," << probe.y;
    EXPECT_EQ(m_surface.BoundsOfOtherThan(kWhite).left, 10);
    EXPECT_EQ(m_surface.BoundsOfOtherThan(kWhite).bottom, 34);
    // The 4x4 centre stretched over 22x16: its first column covers the first pixels.
    EXPECT_EQ(m_surface.Rgb(14, 14), CentreColour(0, 0));
    EXPECT_EQ(m_surface.Rgb(35, 29), CentreColour(3, 3));
}

TEST_F(NineGrid, HoleLeavesTheCentreUntouched)
{
    Draw({10, 10, 40, 34}, kCorner4, true);
    EXPECT_EQ(m_surface.CountOtherThan({14, 14, 36, 30}, kWhite), 0);
    EXPECT_EQ(m_surface.Rgb(20, 11), kTopEdge);
    EXPECT_EQ(m_surface.Rgb(38, 20), kRightEdge);
}

TEST_F(NineGrid, XTiledCentreRepeatsAndCutsTheLastRepeat)
{
    // Centre 22 wide: five whole repeats of 4 columns and a last one of 2.
    Draw({10, 10, 40, 34}, kCorner4, false, true);
    for (int x = 14; x < 36; ++x)
        EXPECT_EQ(m_surface.Rgb(x, 14), CentreColour((x - 14) % 4, 0)) << "column " << x;
    // Each repeat is stretched to the centre's height (16 rows for 4).
    EXPECT_EQ(m_surface.Rgb(15, 29), CentreColour(1, 3));
    EXPECT_EQ(m_surface.Rgb(36, 20), kRightEdge);
}

TEST_F(NineGrid, ATiledCentreEndsAtItsOwnEdgeWhereNoBorderCoversIt)
{
    // Without right and bottom borders nothing is drawn over the last repeats: a repeat that
    // is not cut at the centre's edge would show beyond the destination.
    const RECT noRightOrBottom = {4, 4, 0, 0};
    for (int tiling = 1; tiling <= 3; ++tiling) {
        m_surface.Fill(0xFFFFFFFF);
        Draw({10, 10, 41, 35}, noRightOrBottom, false, (tiling & 1) != 0, (tiling & 2) != 0);
        const RECT ink = m_surface.BoundsOfOtherThan(kWhite);
        EXPECT_EQ(ink.right, 41) << tiling;
        EXPECT_EQ(ink.bottom, 35) << tiling;
        // The centre's source is 8 x 8 (the picture's right and bottom edges included): the
        // last repeat along a tiled direction starts 24 pixels in and shows its first 3.
        if (tiling & 1) {
            EXPECT_EQ(m_surface.Rgb(38, 14), CentreColour(0, 0)) << tiling;
        }
        if (tiling == 3) {
            EXPECT_EQ(m_surface.Rgb(40, 33), CentreColour(2, 3)) << tiling;
        }
    }
}

TEST_F(NineGrid, EveryPartComesFromItsOwnPlaceInASourceThatDoesNotStartAtTheOrigin)
{
    // The source starts 2 pixels into the picture, with 2-pixel left and top borders: every
    // part has its colour only when it is taken relative to the source's own edges.
    const RECT source = {2, 2, 12, 12};
    const RECT corner = {2, 2, 4, 4};
    CGdiPainter::DrawImage(m_surface.Dc(), m_grid->bitmap, {10, 10, 40, 34}, m_surface.Bounds(),
                           source, corner, m_grid->hasAlpha, 255);
    struct Probe
    {
        int x, y;
        uint32_t rgb;
    } probes[] = {
        {10, 10, kRed},
        {11, 11, kRed},
        {20, 10, kTopEdge},
        {20, 11, kTopEdge},
        {36, 10, kGreen},
        {39, 11, kGreen},
        {10, 20, kLeftEdge},
        {11, 29, kLeftEdge},
        {36, 20, kRightEdge},
        {39, 20, kRightEdge},
        {10, 30, kBlue},
        {11, 33, kBlue},
        {20, 30, kBottomEdge},
        {20, 33, kBottomEdge},
        {36, 30, kYellow},
        {39, 33, kYellow},
        {12, 12, CentreColour(0, 0)},
        {35, 29, CentreColour(3, 3)},
    };
    for (const Probe &probe : probes)
        EXPECT_EQ(m_surface.Rgb(probe.x, probe.y), probe.rgb) << "at " << probe.x << "," << probe.y;
}

TEST_F(NineGrid, YTiledAndBothTiledCentres)
{
    Draw({10, 10, 40, 34}, kCorner4, false, false, true);
    for (int y = 14; y < 30; ++y)
        EXPECT_EQ(m_surface.Rgb(14, y), CentreColour(0, (y - 14) % 4)) << "row " << y;

    m_surface.Fill(0xFFFFFFFF);
    Draw({10, 10, 40, 34}, kCorner4, false, true, true);
    for (int y = 14; y < 30; ++y)
        for (int x = 14; x < 36; ++x)
            ASSERT_EQ(m_surface.Rgb(x, y), CentreColour((x - 14) % 4, (y - 14) % 4))
                << x << "," << y;
}

TEST_F(NineGrid, PartsOutsideThePaintRectangleAreSkipped)
{
    // Parts are skipped whole; clipping inside a part is the DC's clip region's job.
    const RECT paint = {0, 0, 12, 60};
    Draw({10, 10, 40, 34}, kCorner4, false, true, true, 255, &paint);
    EXPECT_EQ(m_surface.CountOtherThan({14, 0, 60, 60}, kWhite), 0);
    EXPECT_EQ(m_surface.Rgb(11, 20), kLeftEdge);
    EXPECT_EQ(m_surface.Rgb(10, 10), kRed);

    // Repeats keep their places when the paint area starts inside them: the first one drawn
    // is the one the area starts in, from its own start.
    m_surface.Fill(0xFFFFFFFF);
    const RECT inside = {20, 0, 60, 60};
    Draw({10, 10, 40, 34}, kCorner4, false, true, true, 255, &inside);
    for (int x = 18; x < 36; ++x)
        EXPECT_EQ(m_surface.Rgb(x, 14), CentreColour((x - 14) % 4, 0)) << "column " << x;

    // The one-to-one copy of an opaque image at its own size is clipped the same way.
    m_surface.Fill(0xFFFFFFFF);
    const RECT corner = {12, 12, 16, 16};
    Draw({10, 10, 22, 22}, kNoCorner, false, false, false, 255, &corner);
    EXPECT_EQ(m_surface.BoundsOfOtherThan(kWhite).left, 12);
    EXPECT_EQ(m_surface.BoundsOfOtherThan(kWhite).right, 16);
    EXPECT_EQ(m_surface.Rgb(12, 12), kRed);
    EXPECT_EQ(m_surface.Rgb(15, 15), CentreColour(1, 1));
}

TEST_F(NineGrid, CornersLargerThanTheImageDrawOnlyWhatHasArea)
{
    // Corners of 8 and 20 leave edges and centre without area: they are skipped, and the
    // tiled centre does not loop.
    for (int size : {6, 8, 20}) {
        m_surface.Fill(0xFFFFFFFF);
        const RECT corner = {size, size, size, size};
        Draw({5, 5, 55, 55}, corner, false, true, true);
        EXPECT_EQ(m_surface.CountOtherThan({0, 0, 60, 5}, kWhite), 0) << size;
        EXPECT_EQ(m_surface.CountOtherThan({55, 0, 60, 60}, kWhite), 0) << size;
    }
    // A destination smaller than its corners, and tiles of zero width, end too.
    const RECT wide = {4, 4, 4, 4};
    Draw({5, 5, 9, 9}, wide, false, true, true);
    const RECT zeroSource = {0, 0, 0, 0};
    CGdiPainter::DrawImage(m_surface.Dc(), m_grid->bitmap, {0, 0, 60, 60}, m_surface.Bounds(),
                           zeroSource, zeroSource, false, 255, false, true, true);
}

TEST_F(NineGrid, FadeBlendsAndFullFadeCopies)
{
    Draw({0, 0, 12, 12}, kNoCorner, false, false, false, 128);
    EXPECT_TRUE(NearColor(m_surface.Rgb(0, 0), 0xFF7F7F)) << std::hex << m_surface.Rgb(0, 0);
    Draw({20, 0, 32, 12}, kNoCorner, false, false, false, 255);
    EXPECT_EQ(m_surface.Rgb(20, 0), kRed);
}

TEST(Blending, TranslucentPixelsMixWithTheBackground)
{
    Image half = Decode(L"half.png");
    DibSurface surface(4, 1);
    const RECT source = {0, 0, 2, 1};
    CGdiPainter::DrawImage(surface.Dc(), half->bitmap, {0, 0, 2, 1}, surface.Bounds(), source,
                           kNoCorner, half->hasAlpha);
    EXPECT_TRUE(NearColor(surface.Rgb(0, 0), 0xFF7F7F)) << std::hex << surface.Rgb(0, 0);
    EXPECT_EQ(surface.Rgb(1, 0), kBlue);
}

TEST(Blending, FallbackBlenderMatchesAlphaBlend)
{
    Image half = Decode(L"half.png");
    HDC image = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(image, half->bitmap);
    for (uint8_t constant : {255, 128, 40}) {
        DibSurface looked(8, 4, 0xFF406080);
        DibSurface own(8, 4, 0xFF406080);
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, constant, AC_SRC_ALPHA};
        ASSERT_TRUE(BlendRoutines::AlphaBlend(looked.Dc(), 1, 1, 6, 2, image, 0, 0, 2, 1, blend));
        ASSERT_TRUE(
            BlendRoutines::FallbackAlphaBlend(own.Dc(), 1, 1, 6, 2, image, 0, 0, 2, 1, blend));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 8; ++x)
                EXPECT_TRUE(NearColor(own.Rgb(x, y), looked.Rgb(x, y)))
                    << int(constant) << " at " << x << "," << y << std::hex << ": " << own.Rgb(x, y)
                    << " vs " << looked.Rgb(x, y);
    }
    SelectObject(image, previous);
    DeleteDC(image);
}

TEST(Recolouring, ColoursTurnAroundTheHueCircle)
{
    EXPECT_EQ(CGdiPainter::AdjustColor(0x80123456, 180, 100, 100), 0x80123456u);
    EXPECT_EQ(CGdiPainter::AdjustColor(0xFFFF0000, 300, 100, 100), 0xFF00FF00u);
    EXPECT_EQ(CGdiPainter::AdjustColor(0xFFFF0000, 60, 100, 100), 0xFF0000FFu);
    EXPECT_EQ(CGdiPainter::AdjustColor(0x7FFF0000, 180, 100, 0), 0x7F000000u);
    EXPECT_EQ(CGdiPainter::AdjustColor(0xFFFF0000, 180, 0, 100), 0xFF808080u);
}

TEST(Recolouring, ImagesRecolourFromTheirCopyAndComeBack)
{
    Image grid = Decode(L"grid.png");
    CGdiPainter::AdjustImage(true, grid.get(), 300, 100, 100);
    EXPECT_EQ(StoredPixel(*grid, 0, 0), 0xFFFF0000u) << "no copy kept: nothing changes";

    ASSERT_TRUE(grid->KeepPixelCopy());
    CGdiPainter::AdjustImage(true, grid.get(), 300, 100, 100);
    EXPECT_EQ(StoredPixel(*grid, 0, 0), 0xFF00FF00u);
    CGdiPainter::AdjustImage(false, grid.get(), 300, 100, 100);
    EXPECT_EQ(StoredPixel(*grid, 0, 0), 0xFFFF0000u);

    Image half = Decode(L"half.png");
    ASSERT_TRUE(half->KeepPixelCopy());
    CGdiPainter::AdjustImage(true, half.get(), 300, 100, 100);
    EXPECT_EQ(StoredPixel(*half, 0, 0), 0x80008000u) << "alpha kept, colour premultiplied";
}

} // namespace
