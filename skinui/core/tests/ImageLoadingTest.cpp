#include "DibSurface.h"
#include "GdiPainter.h"
#include "ImageDescriptor.h"
#include "ImageFiles.h"
#include "TestWindow.h"
#include "WindowManagerUI.h"

#include <gtest/gtest.h>

#include <string>

using namespace SkinUI;
using namespace SkinUI::Testing;

// Images loaded through the window manager from every source (program resources, the skin
// folder, zip and 7z packages, paths, solid colours), and every key of the descriptor text
// seen in the pixels it draws.
namespace {

const uint32_t kWhite = 0xFFFFFF;
const uint32_t kRed = 0xFF0000;
const uint32_t kYellow = 0xFFFF00;

struct ImageDeleter
{
    void operator()(ImageEntry *entry) const { CGdiPainter::FreeImage(entry); }
};

// Sets the process-wide skin source: the picture folder, and optionally a package in it.
void UseSkinSource(const wchar_t *package, bool sevenZip)
{
    CWindowManagerUI::SetResourcePackageFile(L"", false);
    CWindowManagerUI::SetResourcePath(ImageFixtureFolder().c_str());
    CWindowManagerUI::SetSevenZipPackage(sevenZip);
    if (package != nullptr)
        CWindowManagerUI::SetResourcePackageFile(package, true);
}

class ImageLoading : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
        UseSkinSource(nullptr, false);
    }
    void TearDown() override { UseSkinSource(nullptr, false); }

    static int WidthOf(ResourceNameOrId name, const wchar_t *type = nullptr, uint32_t mask = 0)
    {
        std::unique_ptr<ImageEntry, ImageDeleter> image(CGdiPainter::LoadImage(name, type, mask));
        return image ? image->width : -1;
    }
};

TEST_F(ImageLoading, EverySourceGivesTheSamePicture)
{
    const std::wstring absolute = ImageFixture(L"res\\grid.png");
    struct Case
    {
        const char *what;
        const wchar_t *package;
        bool sevenZip;
        std::wstring name;
        const wchar_t *type;
        int width; // -1: no image
    } cases[] = {
        {"skin folder", nullptr, false, L"res\\grid.png", nullptr, 12},
        {"absolute path", nullptr, false, absolute, nullptr, 12},
        {"folder, missing", nullptr, false, L"res\\missing.png", nullptr, -1},
        {"folder, damaged", nullptr, false, L"res\\damaged.png", nullptr, -1},
        {"folder, not a picture", nullptr, false, L"res\\unknown.png", nullptr, -1},
        {"folder, above 4 MB", nullptr, false, L"res\\big.png", nullptr, 1200},
        {"zip", L"images.zip", false, L"res/grid.png", nullptr, 12},
        {"zip, any case", L"images.zip", false, L"RES/GRID.PNG", nullptr, 12},
        {"zip, damaged entry", L"images.zip", false, L"res/damaged.png", nullptr, -1},
        {"zip, missing entry falls to the path", L"images.zip", false, absolute, nullptr, 12},
        {"7z", L"images.7z", true, L"res/grid.png", nullptr, 12},
        {"7z, damaged entry", L"images.7z", true, L"res/damaged.png", nullptr, -1},
        {"7z, missing entry", L"images.7z", true, L"res/missing.png", nullptr, -1},
        {"resource by name", nullptr, false, L"GRID", L"PNG", 12},
        {"resource missing, name as path", nullptr, false, absolute, L"PNG", 12},
        {"solid colour", nullptr, false, L"#80FF0000", L"*COLOR*", 1},
    };
    for (const Case &c : cases) {
        UseSkinSource(c.package, c.sevenZip);
        EXPECT_EQ(WidthOf(c.name.c_str(), c.type), c.width) << c.what;
    }
}

TEST_F(ImageLoading, NumericResourceIdsAreNeverPaths)
{
    EXPECT_EQ(WidthOf(101u, L"PNG"), 12);
    EXPECT_EQ(WidthOf(102u, L"PNG"), -1) << "damaged resource";
    EXPECT_EQ(WidthOf(103u, L"PNG"), -1);
    EXPECT_EQ(WidthOf(101u, nullptr), -1);

    TestWindow window;
    ImageEntry *byDigits = window.Manager().AddImage(L"101", L"PNG");
    ASSERT_NE(byDigits, nullptr) << "digits with a type are a resource id";
    EXPECT_EQ(byDigits->resourceType, L"PNG");
    EXPECT_EQ(window.Manager().AddImage(L"101"), nullptr) << "without a type: a file name";
}

TEST_F(ImageLoading, ReplacedImagesStayUsableUntilTheManagerGoes)
{
    TestWindow window;
    ImageEntry *first = window.Manager().AddImage(L"res\\grid.png");
    ASSERT_NE(first, nullptr);
    ImageEntry *second = window.Manager().AddImage(L"res\\grid.png", nullptr, 0, true);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(window.Manager().GetImage(L"res\\grid.png"), second);
    EXPECT_TRUE(second->keepsCopy);
    BITMAP info = {};
    EXPECT_NE(GetObjectW(first->bitmap, sizeof(info), &info), 0) << "the old bitmap is alive";
    EXPECT_EQ(info.bmWidth, 12);
}

class Descriptor : public ImageLoading
{
protected:
    bool Draw(const wchar_t *text, const RECT &item = RECT{10, 10, 34, 34})
    {
        m_descriptor.Clear();
        m_descriptor.text = text;
        m_surface.Fill(0xFFFFFFFF);
        return CGdiPainter::DrawImageDescriptor(m_surface.Dc(), &m_window.Manager(), item,
                                                m_surface.Bounds(), m_descriptor);
    }

    TestWindow m_window;
    ImageDescriptor m_descriptor;
    DibSurface m_surface{60, 60};
};

TEST_F(Descriptor, BareNameAndFileKeyLoadTheSameImage)
{
    ASSERT_TRUE(Draw(L"res\\grid.png"));
    ImageEntry *bare = m_descriptor.image;
    EXPECT_EQ(m_descriptor.imageName, L"res\\grid.png");
    ASSERT_TRUE(Draw(L"file='res\\grid.png'"));
    EXPECT_EQ(m_descriptor.image, bare);
    ASSERT_TRUE(Draw(L"  file = 'res\\grid.png'  fade='255'"));
    EXPECT_EQ(m_descriptor.image, bare);
    EXPECT_EQ(m_descriptor.source.right, 12) << "an all-zero source is the whole image";
    // The whole 12x12 picture stretched over the 24x24 item.
    EXPECT_EQ(m_surface.Rgb(10, 10), kRed);
    EXPECT_EQ(m_surface.Rgb(33, 33), kYellow);
    EXPECT_EQ(m_surface.Rgb(34, 34), kWhite);
}

TEST_F(Descriptor, KeysChangeWhatIsDrawn)
{
    struct Probe
    {
        int x, y;
        uint32_t rgb;
    };
    struct Case
    {
        const wchar_t *text;
        Probe probes[3];
    } cases[] = {
        {L"file='res\\grid.png' dest='2,4,14,16'",
         {{12, 14, kRed}, {23, 25, kYellow}, {11, 13, kWhite}}},
        {L"file='res\\grid.png' dest='2,6,14,16'",
         {{12, 16, kRed}, {12, 15, kWhite}, {23, 25, kYellow}}},
        // A destination reaching past the item is cut at the item's edges.
        {L"file='res\\grid.png' dest='12,12,100,100'",
         {{22, 22, kRed}, {33, 33, kYellow}, {34, 34, kWhite}}},
        {L"file='res\\grid.png' source='0,0,4,4'",
         {{10, 10, kRed}, {33, 33, kRed}, {34, 34, kWhite}}},
        {L"file='res\\grid.png' source='8,8,100,100'",
         {{10, 10, kYellow}, {33, 33, kYellow}, {9, 9, kWhite}}},
        {L"file='res\\grid.png' corner='4,4,4,4'",
         {{13, 13, kRed}, {30, 30, kYellow}, {20, 11, 0x800000}}},
        {L"file='res\\grid.png' scale9='4,4,4,4' hole='true'",
         {{13, 13, kRed}, {20, 20, kWhite}, {30, 30, kYellow}}},
        {L"file='res\\grid.png' corner='4,4,4,4' hole='TRUE'",
         {{13, 13, kRed}, {20, 20, 0x606080}, {30, 30, kYellow}}},
        {L"file='res\\grid.png' corner='4,4,4,4' xtiled='true' ytiled='true'",
         {{14, 14, 0x202080}, {18, 19, 0x206080}, {29, 29, 0xE0E080}}},
        {L"file='res\\grid.png' fade='128'",
         {{10, 10, 0xFF7F7F}, {33, 33, 0xFFFF7F}, {34, 34, kWhite}}},
        {L"color='FF00FF00'", {{10, 10, 0x00FF00}, {33, 33, 0x00FF00}, {34, 34, kWhite}}},
        {L"color='#80FF0000'", {{10, 10, 0xFF7F7F}, {33, 33, 0xFF7F7F}, {9, 9, kWhite}}},
        {L"file='res\\mask.png' mask='#FFFF00FF'",
         {{10, 10, kWhite}, {33, 33, 0x00FF00}, {21, 20, kWhite}}},
        // The cache is keyed by name: another spelling of the path loads it again.
        {L"file='res\\..\\res\\mask.png' mask='FF00FF'",
         {{10, 10, 0xFF00FF}, {33, 33, 0x00FF00}, {9, 9, kWhite}}},
        {L"file='res\\grid.png' unknown='1' dest='0,0,12,12'",
         {{10, 10, kRed}, {21, 21, kYellow}, {22, 22, kWhite}}},
        // A short list leaves the missing numbers 0: only the top-left corner is kept.
        {L"file='res\\grid.png' corner='4,4'",
         {{13, 13, kRed}, {33, 33, kYellow}, {20, 11, 0x800000}}},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(Draw(c.text)) << testing::PrintToString(std::wstring(c.text));
        for (const Probe &p : c.probes)
            EXPECT_TRUE(NearColor(m_surface.Rgb(p.x, p.y), p.rgb))
                << testing::PrintToString(std::wstring(c.text)) << " at " << p.x << "," << p.y
                << std::hex << ": " << m_surface.Rgb(p.x, p.y);
    }
}

TEST_F(Descriptor, StoredValuesFollowTheText)
{
    ASSERT_TRUE(Draw(L"color='80FF0000'"));
    EXPECT_EQ(*reinterpret_cast<uint32_t *>(m_descriptor.image->bits), 0x80800000u);
    EXPECT_EQ(m_descriptor.image->resourceType, L"*COLOR*");

    ASSERT_TRUE(Draw(L"file='res\\half.png' hsl='true' fade='300' xtiled='yes'"));
    EXPECT_TRUE(m_descriptor.image->keepsCopy);
    EXPECT_EQ(m_descriptor.fade, 255);
    EXPECT_FALSE(m_descriptor.xTiled);

    ASSERT_TRUE(Draw(L"res='GRID' restype='PNG' fade='20' ytiled='true'"));
    EXPECT_EQ(m_descriptor.image->width, 12);
    EXPECT_EQ(m_descriptor.fade, 20);
    EXPECT_TRUE(m_descriptor.yTiled);
}

TEST_F(Descriptor, NothingIsDrawnForAnEmptyDestinationOrOutsideThePaintArea)
{
    ASSERT_TRUE(Draw(L"file='res\\grid.png' dest='10,10,0,0'"));
    EXPECT_EQ(m_surface.CountOtherThan(m_surface.Bounds(), kWhite), 0);

    m_descriptor.Clear();
    m_descriptor.text = L"res\\grid.png";
    const RECT item = {10, 10, 34, 34};
    const RECT elsewhere = {40, 40, 60, 60};
    EXPECT_TRUE(CGdiPainter::DrawImageDescriptor(m_surface.Dc(), &m_window.Manager(), item,
                                                 elsewhere, m_descriptor));
    EXPECT_EQ(m_surface.CountOtherThan(m_surface.Bounds(), kWhite), 0);
}

TEST_F(Descriptor, FailuresAreFalseAndNotRetriedUntilTheTextChanges)
{
    EXPECT_FALSE(Draw(L""));
    m_descriptor.text = L"res\\grid.png";
    EXPECT_FALSE(CGdiPainter::DrawImageDescriptor(m_surface.Dc(), nullptr, m_surface.Bounds(),
                                                  m_surface.Bounds(), m_descriptor));
    EXPECT_FALSE(Draw(L"file='res\\grid.png")) << "no closing quote: the whole text is the name";
    EXPECT_EQ(m_descriptor.imageName, L"file='res\\grid.png");

    // A descriptor whose file appears after the first try stays unloaded.
    const std::wstring late = ImageFixture(L"res\\late.png");
    DeleteFileW(late.c_str());
    EXPECT_FALSE(Draw(L"res\\late.png"));
    ASSERT_TRUE(CopyFileW(ImageFixture(L"res\\grid.png").c_str(), late.c_str(), FALSE));
    EXPECT_FALSE(CGdiPainter::DrawImageDescriptor(
        m_surface.Dc(), &m_window.Manager(), m_surface.Bounds(), m_surface.Bounds(), m_descriptor));
    EXPECT_TRUE(Draw(L"res\\late.png")) << "a new text is tried again";
    DeleteFileW(late.c_str());

    // Without a DC the image is only loaded.
    m_descriptor.Clear();
    m_descriptor.text = L"res\\grid.png";
    EXPECT_TRUE(CGdiPainter::DrawImageDescriptor(nullptr, &m_window.Manager(), m_surface.Bounds(),
                                                 m_surface.Bounds(), m_descriptor));
    EXPECT_NE(m_descriptor.image, nullptr);
}

} // namespace
