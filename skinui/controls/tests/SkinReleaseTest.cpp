#include "LiveAllocations.h"
#include "TestWindow.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace SkinUI;
using namespace SkinUI::Testing;

// A window built from a skin, used and closed gives back every block it took: after more
// windows of the same skin the process holds as many blocks as after the first one, which
// also fills what the process keeps for good.
namespace {

struct ReleasedSkin
{
    const char *what;
    const wchar_t *skin;
};

const ReleasedSkin kReleasedSkins[] = {
    {"tree nodes in a tree node that no tree view takes",
     L"<Window><VerticalLayout><TreeNode><TreeNode><TreeNode><Label/></TreeNode></TreeNode>"
     L"<TreeNode><Option group=\"g\"/></TreeNode></TreeNode><Label/></VerticalLayout></Window>"},
    {"tree nodes in a tree node of a tree view",
     L"<Window><TreeView><TreeNode><TreeNode><TreeNode/></TreeNode><TreeNode/></TreeNode>"
     L"</TreeView></Window>"},
};

void UseSkin(const wchar_t *skin)
{
    TestWindow window{160, 120};
    window.Show();
    window.AttachSkin(skin);
    window.PaintWindow();
    window.Click(20, 9);
    window.PumpPending();
}

} // namespace

TEST(SkinRelease, WindowsOfTheSameSkinHoldNoMoreBlocksThanTheFirst)
{
    for (const ReleasedSkin &released : kReleasedSkins) {
        SCOPED_TRACE(released.what);
        UseSkin(released.skin);
        const AllocationTotals first = LiveAllocations();
        for (int round = 0; round < 4; ++round)
            UseSkin(released.skin);
        const AllocationTotals after = LiveAllocations();
        EXPECT_EQ(first.blocks, after.blocks);
        EXPECT_EQ(first.bytes, after.bytes);
    }
}
