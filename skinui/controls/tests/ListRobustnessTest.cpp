#include "ComboWnd.h"
#include "ListFixture.h"
#include "Mutators.h"
#include "RobustnessRun.h"
#include "TestWindow.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <string>

using namespace SkinUI;
using namespace SkinUI::Testing;

// A seeded robustness run over damaged skins of the list family: lists with headers and
// every kind of element, a combo box and a tree view, with rows out of view, built, painted,
// clicked, scrolled, typed at, with pop-ups opened and left open. The seed is fixed, so a
// failure reproduces; the run is bounded in CPU time, so that a busy machine runs as many
// skins as an idle one.
namespace {

const auto kCpuBudget = std::chrono::seconds(30);

const wchar_t kSkin[] =
    L"<Window size=\"300,240\"><VerticalLayout>"
    L"<List name=\"list\" height=\"110\" itemheight=\"18\" itemaltbk=\"true\" "
    L"itemshowhtml=\"true\" "
    L"itemhlinesize=\"1\" itemvlinesize=\"1\" vscrollbar=\"true\" hscrollbar=\"true\" "
    L"itemtextpadding=\"2,0,2,0\" multiexpanding=\"false\" scrollselect=\"false\">"
    L"<ListHeader height=\"20\"><ListHeaderItem text=\"Name\" width=\"120\" sepwidth=\"4\"/>"
    L"<ListHeaderItem text=\"Kind\" width=\"90\" sepwidth=\"-4\" dragable=\"true\"/>"
    L"<ListHeaderItem text=\"Size\" width=\"140\"/></ListHeader>"
    L"<ListTextElement text=\"{a one}one{/a} {a two}two{/a}\"/>"
    L"<ListLabelElement text=\"label\" selected=\"true\"/>"
    L"<ListHBoxElement><Label text=\"a\"/><Button text=\"b\"/><Label text=\"c\"/></ListHBoxElement>"
    L"<ListContainerElement expandable=\"true\" height=\"30\"><Label "
    L"text=\"in\"/></ListContainerElement>"
    L"<ListTextElement text=\"plain\" enabled=\"false\"/><ListLabelElement text=\"last\"/>"
    L"<ListHBoxElement><Label text=\"below\"/><Button text=\"the\"/><Label "
    L"text=\"view\"/></ListHBoxElement>"
    L"</List>"
    L"<HorizontalLayout height=\"24\">"
    L"<Combo name=\"combo\" width=\"150\" dropboxsize=\"0,80\" itemheight=\"18\" "
    L"dropbox=\"inset=&quot;2,2,2,2&quot;\">"
    L"<ListLabelElement text=\"pdf\"/><ListLabelElement text=\"docx\"/>"
    L"<ListTextElement text=\"xlsx\"/><ListLabelElement text=\"png\"/></Combo>"
    L"</HorizontalLayout>"
    L"<TreeView name=\"tree\" visiblecheckbtn=\"true\" itemminwidth=\"100\" vscrollbar=\"true\">"
    L"<TreeNode text=\"root\"><TreeNode text=\"child\"><TreeNode text=\"leaf\"/></TreeNode>"
    L"<TreeNode text=\"second\"/></TreeNode><TreeNode text=\"other\"><Label text=\"x\"/></TreeNode>"
    L"<TreeNode text=\"below\"><TreeNode text=\"the\"><Label text=\"y\"/></TreeNode>"
    L"<TreeNode text=\"view\"/></TreeNode>"
    L"</TreeView>"
    L"</VerticalLayout></Window>";

// Keys at the focus and at an open drop-down; the drop-down may stay open for the window's
// end to take down.
void Type(TestWindow &window, int round)
{
    const WPARAM keys[] = {VK_DOWN, VK_END, VK_UP, VK_HOME, VK_NEXT, VK_RETURN, VK_F4};
    for (WPARAM key : keys)
        window.KeyDown(key);
    if (HWND popup = ListFixture::FindOwnWindow(CComboWnd::kWindowClassName)) {
        SendMessageW(popup, WM_KEYDOWN, VK_DOWN, 1);
        SendMessageW(popup, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
        SendMessageW(popup, WM_LBUTTONDOWN, MK_LBUTTON, TestWindow::PointParam(10, 10));
        SendMessageW(popup, WM_LBUTTONUP, 0, TestWindow::PointParam(10, 10));
        if (round % 3 == 0)
            SendMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 1);
    }
    window.PumpPending();
}

void Exercise(TestWindow &window)
{
    int round = 0;
    for (int y = 3; y < 240; y += 17, ++round) {
        for (int x = 5; x < 300; x += 47) {
            window.Click(x, y);
            if ((x + y) % 3 == 0)
                window.DoubleClick(x, y);
            window.Wheel(x, y, (x + y) % 2 ? WHEEL_DELTA : -WHEEL_DELTA);
        }
        // A drag along the header's separators.
        window.Post(WM_LBUTTONDOWN, MK_LBUTTON, TestWindow::PointParam(118, 10));
        window.Post(WM_MOUSEMOVE, MK_LBUTTON, TestWindow::PointParam(118 - y, 10));
        window.Post(WM_LBUTTONUP, 0, TestWindow::PointParam(118 - y, 10));
        Type(window, round);
    }
    window.PaintWindow();
}

TEST(ListRobustness, DamagedListSkinsBuildPaintAndTakeInputSafely)
{
    {
        TestWindow window{300, 240};
        ASSERT_NE(nullptr, window.AttachSkin(kSkin)) << "the undamaged skin builds";
        ASSERT_NE(nullptr, window.Manager().FindControlByName(L"tree"));
        window.Show();
        Exercise(window);
        for (const wchar_t *type : {L"itemselect", L"itemclick", L"headerclick", L"dropdown"})
            EXPECT_GT(window.Notifications().Count(type), 0) << type;
    }
    TextMutator mutator(20260119);
    {
        RobustnessRun run("damaged list skins", kCpuBudget, 200);
        while (run.Next()) {
            const std::wstring skin = mutator.Mutate(kSkin, L"<>/=\" '#0123456789,-{}");
            TestWindow window{300, 240};
            window.Show();
            window.AttachSkin(skin.c_str());
            Exercise(window);
        }
        EXPECT_GT(run.Count(), 5);
    }
    EXPECT_EQ(ListFixture::FindOwnWindow(CComboWnd::kWindowClassName), nullptr)
        << "no drop-down outlives its window";
}

} // namespace
