#include "ControlUI.h"
#include "DanglingRegistrations.h"
#include "DialogBuilder.h"
#include "FreedMemoryWatch.h"
#include "TestWindow.h"

#include <gtest/gtest.h>

using namespace SkinUI;
using namespace SkinUI::Testing;

// Controls that the builder cannot place are deleted after their attributes were applied,
// and so after they may have registered with the manager. Whatever they registered must go
// with them. Freed memory is kept aside while a test runs, so a registration left behind
// is seen as a pointer into it, even where Wine would let a call through it pass unnoticed.
namespace {

const wchar_t kGroup[] = L"g";
const wchar_t kInnerName[] = L"inner";

struct DroppedSkin
{
    const char *what;
    const wchar_t *skin;
};

const DroppedSkin kDroppedSkins[] = {
    {"a combo's selected item under a label took the focus",
     L"<Window><Label><Combo><ListLabelElement selected=\"true\"/></Combo></Label></Window>"},
    {"a list's selected item under a progress bar took the focus",
     L"<Window><Progress><List><ListLabelElement selected=\"t\" /></List></Progress></Window>"},
    {"an option under a label joined its group",
     L"<Window><VerticalLayout><Label><HorizontalLayout><Option group=\"g\"/></HorizontalLayout>"
     L"</Label><Option group=\"g\" height=\"50\"/></VerticalLayout></Window>"},
    {"a rich edit in a dropped tree node became a message filter",
     L"<Window><VerticalLayout><TreeNode><RichEdit/></TreeNode></VerticalLayout></Window>"},
    {"a rich edit in a child of a dropped tree node became a message filter",
     L"<Window><VerticalLayout><TreeNode><TreeNode><RichEdit/></TreeNode></TreeNode>"
     L"</VerticalLayout></Window>"},
    {"a tab layout in a dropped tree node focused its selected page",
     L"<Window><VerticalLayout><TreeNode><TabLayout selectedid=\"1\"><Button/><Button/>"
     L"</TabLayout></TreeNode></VerticalLayout></Window>"},
    {"a cover replaced by a second one had joined an option group",
     L"<Window><VerticalLayout><Label><Option group=\"g\" cover=\"true\"/>"
     L"<Label cover=\"true\"/></Label></VerticalLayout></Window>"},
    {"an included list without a parent focused its selected item",
     L"<Window><Include source=\"&lt;Window&gt;&lt;List&gt;&lt;ListLabelElement "
     L"selected=&quot;true&quot;/&gt;&lt;/List&gt;&lt;/Window&gt;\"/></Window>"},
    {"a child layout in a dropped tree node registered the names of its tree",
     L"<Window><VerticalLayout><TreeNode><HorizontalLayout><ChildLayout xmlfile=\"&lt;Window&gt;"
     L"&lt;Label name=&quot;inner&quot;/&gt;&lt;/Window&gt;\"/></HorizontalLayout></TreeNode>"
     L"</VerticalLayout></Window>"},
};

} // namespace

TEST(DialogBuilderLifetime, ControlsTheBuildDropsLeaveNothingRegistered)
{
    for (const DroppedSkin &dropped : kDroppedSkins) {
        SCOPED_TRACE(dropped.what);
        FreedMemoryWatch freed;
        TestWindow window;
        CWindowManagerUI &manager = window.Manager();
        CControlUI *root = nullptr;
        {
            CDialogBuilder builder;
            root = builder.CreateFromSource(dropped.skin, nullptr, nullptr, &manager);
        }
        const std::vector<std::string> dangling =
            DanglingRegistrations(manager, freed, {kInnerName}, {kGroup});
        if (!dangling.empty()) {
            ADD_FAILURE() << "left behind: " << Joined(dangling);
            continue; // the window cannot be used safely
        }

        // What was built goes on working: attached, laid out, painted, tabbed through.
        if (root)
            window.Attach(root);
        window.Show();
        window.PaintWindow();
        manager.MoveFocusToNextTabStop(true);
        window.Click(10, 10);
        window.PumpPending();
        if (CPointerArray *group = manager.GetOptionGroup(kGroup)) {
            for (int i = 0; i < group->GetCount(); ++i)
                EXPECT_FALSE(freed.Contains(group->GetAt(i)));
        }
    }
}
