#include "ControlFiles.h"
#include "ImageFiles.h"
#include "GifAnimUI.h"
#include "ProbeControl.h"
#include "TestWindow.h"
#include "WindowManagerUI.h"

#include <gtest/gtest.h>

#include <string>

using namespace SkinUI;
using namespace SkinUI::Testing;

// The animated picture on the shared test window: frames and their delays from the drawn
// three-frame GIF, advanced by timer ticks and seen in the painted pixels; still pictures,
// every source of the picture, hiding, and input that goes nowhere.
namespace {

const DWORD kRed = 0xFF0000;
const DWORD kGreen = 0x00FF00;
const DWORD kBlue = 0x0000FF;
const DWORD kYellow = 0xFFFF00;
const DWORD kGrey = 0x808080;
// The first Windows timer id a new manager hands out; the frame timer keeps it when it is
// re-armed for the next frame.
const UINT kFirstTimerId = 17;
const RECT kGifPlace = {4, 4, 36, 28};

class GifAnim : public ::testing::Test
{
protected:
    void SetUp() override { UseControlSkinSource(); }
    void TearDown() override { UseControlSkinSource(); }

    // The picture inside a recording parent; attributes apply before the window takes the
    // tree, as the dialog builder applies them.
    CGifAnimUI *Show(std::initializer_list<std::pair<const wchar_t *, const wchar_t *>> attributes)
    {
        auto *gif = new CGifAnimUI;
        for (const auto &attribute : attributes)
            gif->SetAttribute(attribute.first, attribute.second);
        m_parent->Add(gif, kGifPlace);
        m_window.Attach(m_parent);
        return gif;
    }

    DWORD CentreColour() { return m_window.PaintTree(0xFF808080).RgbAt(20, 16); }
    bool FrameTimerRuns(CGifAnimUI *gif)
    {
        // Killing answers whether a live timer was there; a running one is re-armed.
        bool running = m_window.Manager().KillTimer(gif, CGifAnimUI::kFrameTimerId);
        if (running)
            m_window.Manager().SetTimer(gif, CGifAnimUI::kFrameTimerId, 60000);
        return running;
    }

    TestWindow m_window{40, 32};
    ProbeParent *m_parent = new ProbeParent;
};

TEST_F(GifAnim, AnswersItsClassAndInterfaces)
{
    CGifAnimUI gif;
    EXPECT_STREQ(gif.GetClass(), L"GifAnim");
    EXPECT_EQ(gif.GetInterface(L"GifAnim"), &gif);
    EXPECT_EQ(gif.GetInterface(L"Control"), &gif);
    EXPECT_EQ(gif.GetInterface(L"Label"), nullptr);
}

TEST_F(GifAnim, EveryTickPaintsTheNextFrameAndWrapsAround)
{
    CGifAnimUI *gif = Show({{L"bkimage", L"res\\anim.gif"}});
    EXPECT_EQ(kRed, CentreColour());
    EXPECT_EQ(kRed, CentreColour()) << "painting again does not advance";
    for (DWORD expected : {kGreen, kBlue, kRed, kGreen}) {
        m_window.Tick(kFirstTimerId);
        EXPECT_EQ(expected, CentreColour());
    }
    EXPECT_TRUE(FrameTimerRuns(gif));
    EXPECT_EQ(kGrey, m_window.PaintTree(0xFF808080).RgbAt(2, 2)) << "only the item is painted";
}

TEST_F(GifAnim, TheTimerRunsEachFrameForItsOwnDelay)
{
    // 20 ms for the red frame and 100 ms for the green one (its delay is 0), then 10 s of
    // blue: within a second nothing moves on from blue. A busy machine may run the timers
    // late, never early: the wait for blue is bounded generously, and blue may only have
    // gone when this test was held up for the whole of its 10 s.
    CGifAnimUI *gif = Show({{L"bkimage", L"res\\anim.gif"}});
    ASSERT_EQ(kRed, CentreColour());
    DWORD beforeBlue = GetTickCount();
    ASSERT_TRUE(m_window.PumpUntil(
        [&] {
            if (CentreColour() == kBlue)
                return true;
            beforeBlue = GetTickCount(); // blue's timer starts after this
            return false;
        },
        TestWindow::kWaitMs));
    m_window.PumpUntil([] { return false; }, 1000);
    EXPECT_TRUE(FrameTimerRuns(gif));
    if (GetTickCount() - beforeBlue >= 10000)
        GTEST_SKIP() << "held up for the whole of blue's 10 s: its delay could not be checked";
    EXPECT_EQ(kBlue, CentreColour());
}

TEST_F(GifAnim, HidingStopsAtTheFirstFrameAndShowingPlaysFromThere)
{
    CGifAnimUI *gif = Show({{L"bkimage", L"res\\anim.gif"}});
    m_window.Tick(kFirstTimerId);
    ASSERT_EQ(kGreen, CentreColour());

    gif->SetVisible(false);
    EXPECT_FALSE(FrameTimerRuns(gif));
    EXPECT_EQ(kGrey, CentreColour());

    gif->SetVisible(true);
    EXPECT_EQ(kRed, CentreColour());
    EXPECT_TRUE(FrameTimerRuns(gif));
    m_window.Tick(kFirstTimerId);
    EXPECT_EQ(kGreen, CentreColour());
}

TEST_F(GifAnim, AutoPlayOffShowsTheFirstFrameUntilShown)
{
    CGifAnimUI *gif = Show({{L"bkimage", L"res\\anim.gif"}, {L"autoplay", L"false"}});
    EXPECT_EQ(kRed, CentreColour());
    EXPECT_FALSE(FrameTimerRuns(gif));
    gif->SetVisible(true);
    EXPECT_TRUE(FrameTimerRuns(gif)) << "showing plays whatever autoplay says";
}

TEST_F(GifAnim, AutoSizeTakesThePictureSize)
{
    CGifAnimUI *sized = Show({{L"bkimage", L"res\\anim.gif"}, {L"autosize", L"true"}});
    EXPECT_EQ(8, sized->GetFixedWidth());
    EXPECT_EQ(6, sized->GetFixedHeight());

    CGifAnimUI plain;
    plain.SetAttribute(L"bkimage", L"res\\anim.gif");
    plain.SetAttribute(L"autosize", L"True");
    m_parent->Add(&plain, kGifPlace);
    EXPECT_EQ(0, plain.GetFixedWidth()) << "only the exact text true";
    m_parent->Remove(&plain, false);
}

TEST_F(GifAnim, AStillPictureIsShownButNeverAnimated)
{
    // A picture without frame delays: neither initialising, nor showing it, nor the reload
    // at the next paint after a change of picture starts a timer.
    CGifAnimUI *gif = Show({{L"bkimage", L"res\\still.gif"}});
    EXPECT_EQ(kYellow, CentreColour());
    EXPECT_FALSE(FrameTimerRuns(gif));
    gif->SetVisible(false);
    gif->SetVisible(true);
    EXPECT_FALSE(FrameTimerRuns(gif));
    m_window.Tick(kFirstTimerId);
    EXPECT_EQ(kYellow, CentreColour());

    gif->SetBkImage(L"res\\anim.gif");
    EXPECT_EQ(kRed, CentreColour()) << "loaded by the paint";
    EXPECT_FALSE(FrameTimerRuns(gif)) << "a new picture waits to be shown";
    gif->SetBkImage(L"res\\still.gif");
    EXPECT_EQ(kYellow, CentreColour());
    gif->SetVisible(false);
    gif->SetVisible(true);
    EXPECT_FALSE(FrameTimerRuns(gif));
}

TEST_F(GifAnim, ANewPictureStopsTheOldOneAndTheSameNameChangesNothing)
{
    CGifAnimUI *gif = Show({{L"bkimage", L"res\\anim.gif"}});
    m_window.Tick(kFirstTimerId);
    gif->SetAttribute(L"bkimage", L"res\\anim.gif");
    EXPECT_EQ(kGreen, CentreColour());
    EXPECT_TRUE(FrameTimerRuns(gif));

    gif->SetAttribute(L"bkimage", L"res\\still.gif");
    EXPECT_FALSE(FrameTimerRuns(gif));
    EXPECT_EQ(kYellow, CentreColour());
    EXPECT_EQ(std::wstring(L"res\\still.gif"), gif->GetBkImage().GetData());
}

TEST_F(GifAnim, PicturesComeFromTheFolderAPackageOrAPath)
{
    struct Case
    {
        const wchar_t *package;
        bool sevenZip;
        std::wstring name;
        DWORD expected;
    };
    const Case cases[] = {
        {nullptr, false, L"res\\anim.gif", kRed},
        {L"controls.zip", false, L"res/anim.gif", kRed},
        {L"controls.7z", true, L"res/anim.gif", kRed},
        {L"controls.zip", false, ImageFixture(L"res\\still.gif"), kYellow},
        {nullptr, false, ImageFixture(L"res\\still.gif"), kYellow},
        {nullptr, false, L"res\\missing.gif", kGrey},
        {L"controls.7z", true, L"res/missing.gif", kGrey},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << (c.package ? c.package : L""));
        UseControlSkinSource(c.package, c.sevenZip);
        TestWindow window{40, 32};
        auto *gif = new CGifAnimUI;
        gif->SetAttribute(L"bkimage", c.name.c_str());
        auto *parent = new ProbeParent;
        parent->Add(gif, kGifPlace);
        window.Attach(parent);
        EXPECT_EQ(c.expected, window.PaintTree(0xFF808080).RgbAt(20, 16));
    }
}

TEST_F(GifAnim, OnlyPicturesOurDecoderReadsReachThePlatformsDecoder)
{
    // The platform's decoder crashes on this picture: the control must never hand it on.
    CGifAnimUI *gif = Show({{L"bkimage", L"res\\damaged.bmp"}});
    EXPECT_EQ(kGrey, CentreColour());
    EXPECT_EQ(kGrey, CentreColour());
    EXPECT_FALSE(FrameTimerRuns(gif));
    gif->SetBkImage(L"res\\anim.gif");
    EXPECT_EQ(kRed, CentreColour()) << "a good picture after a damaged one";
}

TEST_F(GifAnim, AFailedLoadIsTriedAgainOnlyUnderANewName)
{
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path =
        std::wstring(folder) + L"skinui-gif-" + std::to_wstring(GetCurrentProcessId()) + L".gif";
    DeleteFileW(path.c_str());
    CGifAnimUI *gif = Show({{L"bkimage", path.c_str()}});
    EXPECT_EQ(kGrey, CentreColour()) << "no such file yet";

    ASSERT_TRUE(CopyFileW(ImageFixture(L"res\\anim.gif").c_str(), path.c_str(), FALSE));
    EXPECT_EQ(kGrey, CentreColour()) << "the failed name is not read again at every paint";
    gif->SetBkImage(path.c_str());
    EXPECT_EQ(kGrey, CentreColour()) << "nor when the same name is set again";
    gif->SetBkImage(L"res\\still.gif");
    gif->SetBkImage(path.c_str());
    EXPECT_EQ(kRed, CentreColour()) << "a change of name tries again";

    gif->DeleteGif();
    EXPECT_EQ(kRed, CentreColour()) << "a deleted picture is loaded again by the paint";
    DeleteFileW(path.c_str());
}

TEST_F(GifAnim, MouseInputEndsAtThePicture)
{
    Show({{L"bkimage", L"res\\anim.gif"}});
    m_window.MouseMove(20, 16);
    m_window.Click(20, 16);
    m_window.RightDown(20, 16);
    m_window.Wheel(20, 16, 120);
    EXPECT_EQ(0, m_parent->CountOf(EventButtonDown));
    EXPECT_EQ(0, m_parent->CountOf(EventButtonUp));
    EXPECT_EQ(0, m_parent->CountOf(EventScrollWheel));
    EXPECT_EQ(0, m_parent->CountOf(EventMouseEnter));
    EXPECT_EQ(0, m_window.Notifications().Count(L"timer"));
}

} // namespace

namespace {

TEST_F(GifAnim, BuiltFromASkinUnderItsExactName)
{
    TestWindow window{40, 32};
    window.AttachSkin(
        L"<Window><HorizontalLayout><GifAnim name=\"gif\" bkimage=\"res\\anim.gif\" "
        L"autosize=\"true\" /><gifanim name=\"lower\" /></HorizontalLayout></Window>");
    CControlUI *gif = window.Manager().FindControlByName(L"gif");
    ASSERT_NE(nullptr, gif);
    EXPECT_STREQ(L"GifAnim", gif->GetClass());
    EXPECT_EQ(nullptr, window.Manager().FindControlByName(L"lower")) << "letter case counts";
    EXPECT_EQ(8, gif->GetFixedWidth());
    EXPECT_EQ(kRed, window.PaintTree().RgbAt(4, 3));
    window.Tick(kFirstTimerId);
    EXPECT_EQ(kGreen, window.PaintTree().RgbAt(4, 3));
}

// Moved to another window while it plays, the picture plays on there, on that window's
// timer: the first window's ticks no longer reach it.
TEST_F(GifAnim, APictureMovedToAnotherWindowPlaysOnThere)
{
    CGifAnimUI *gif = Show({{L"bkimage", L"res\\anim.gif"}});
    EXPECT_EQ(kRed, CentreColour());
    TestWindow second{40, 32};
    auto *secondParent = new ProbeParent;
    second.Attach(secondParent);
    m_parent->Remove(gif, false);
    secondParent->Add(gif, kGifPlace);
    auto secondCentre = [&second] { return second.PaintTree(0xFF808080).RgbAt(20, 16); };

    m_window.Tick(kFirstTimerId);
    EXPECT_EQ(kRed, secondCentre()) << "a tick of the first window";
    second.Tick(kFirstTimerId);
    EXPECT_EQ(kGreen, secondCentre()) << "a tick of the second window";
}

} // namespace
