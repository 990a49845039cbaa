#include "ProbeControl.h"
#include "TestWindow.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

using namespace SkinUI;
using namespace SkinUI::Testing;

namespace {

// A 200 x 100 window: root "root" over all of it with "left" (0,0,100,100) and "right"
// (100,0,200,100); "right" holds "inner" at (110,10,150,50).
struct SmallTree
{
    explicit SmallTree(TestWindow &window)
    {
        root = new ProbeParent(L"root");
        left = new ProbeControl(L"left");
        right = new ProbeParent(L"right");
        inner = new ProbeControl(L"inner");
        right->Add(inner, RECT{10, 10, 50, 50});
        root->Add(left, RECT{0, 0, 100, 100});
        root->Add(right, RECT{100, 0, 200, 100});
        window.Attach(root);
    }
    ProbeParent *root;
    ProbeControl *left;
    ProbeParent *right;
    ProbeControl *inner;
};

} // namespace

// The tests' window says at once when it cannot be made, so that a test fails there and not
// in every check after it (an extended style that asks for an MDI parent it does not have).
TEST(TestWindowFixture, AWindowThatCannotBeMadeFailsAtOnceWithTheReason)
{
    try {
        TestWindow window(200, 100, WS_EX_MDICHILD);
        ADD_FAILURE() << "the window was made";
    } catch (const std::runtime_error &error) {
        EXPECT_NE(nullptr, std::strstr(error.what(), "could not be made (error"))
            << error.what();
    }
}

TEST(WindowManagerTree, FindsControlsByNameAndAtAPoint)
{
    TestWindow window;
    SmallTree tree(window);
    CWindowManagerUI &manager = window.Manager();

    EXPECT_EQ(tree.inner, manager.FindControlByName(L"inner"));
    EXPECT_EQ(tree.root, manager.FindControlByName(L"root"));
    EXPECT_EQ(nullptr, manager.FindControlByName(L"missing"));

    struct Case
    {
        POINT point;
        CControlUI *expected;
    } cases[] = {{{5, 5}, tree.left},     {{99, 99}, tree.left},   {{100, 0}, tree.right},
                 {{120, 20}, tree.inner}, {{150, 50}, tree.right}, {{250, 50}, nullptr}};
    for (const Case &c : cases)
        EXPECT_EQ(c.expected, manager.FindControlAtPoint(c.point)) << c.point.x << "," << c.point.y;

    tree.inner->SetVisible(false);
    EXPECT_EQ(tree.right, manager.FindControlAtPoint(POINT{120, 20}));
    tree.right->SetMouseEnabled(false);
    tree.inner->SetVisible(true);
    EXPECT_EQ(tree.inner, manager.FindControlAtPoint(POINT{120, 20}));
    EXPECT_EQ(tree.root, manager.FindControlAtPoint(POINT{160, 60}))
        << "right is not mouse-enabled";
}

TEST(WindowManagerTree, RenamesAndForgetsControls)
{
    TestWindow window;
    SmallTree tree(window);
    CWindowManagerUI &manager = window.Manager();

    EXPECT_FALSE(manager.RenameControl(tree.inner, L"left")) << "name taken";
    EXPECT_FALSE(manager.RenameControl(tree.inner, L""));
    EXPECT_TRUE(manager.RenameControl(tree.inner, L"inner"));
    EXPECT_TRUE(manager.RenameControl(tree.inner, L"renamed"));
    EXPECT_EQ(tree.inner, manager.FindControlByName(L"renamed"));
    EXPECT_EQ(nullptr, manager.FindControlByName(L"inner"));
    EXPECT_STREQ(L"renamed", tree.inner->GetName().GetData());

    ProbeControl stranger(L"stranger");
    EXPECT_FALSE(manager.RenameControl(&stranger, L"free")) << "belongs to no manager";

    tree.right->Remove(tree.inner, false);
    delete tree.inner;
    EXPECT_EQ(nullptr, manager.FindControlByName(L"renamed"));
}

TEST(WindowManagerTree, ReplacingTheRootDeletesTheOldTreeAfterTheCurrentMessage)
{
    TestWindow window;
    bool oldRootDeleted = false;
    auto *oldRoot = new ProbeParent(L"old");
    oldRoot->deletedFlag = &oldRootDeleted;
    window.Attach(oldRoot);
    window.Manager().SendNotify(oldRoot, L"queued", 0, 0, true);

    auto *newRoot = new ProbeParent(L"new");
    window.Attach(newRoot);
    EXPECT_FALSE(oldRootDeleted);
    EXPECT_EQ(nullptr, window.Manager().FindControlByName(L"old"));
    EXPECT_EQ(newRoot, window.Manager().FindControlByName(L"new"));

    EXPECT_TRUE(window.PumpUntil([&] { return oldRootDeleted; }));
    EXPECT_EQ(0, window.Notifications().Count(L"queued")) << "queued notifications are dropped";
}
