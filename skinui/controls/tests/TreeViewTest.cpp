#include "CheckBoxUI.h"
#include "DialogBuilder.h"
#include "HorizontalLayoutUI.h"
#include "LabelUI.h"
#include "ListHeaderUI.h"
#include "RectText.h"
#include "TestWindow.h"
#include "TreeNodeUI.h"
#include "TreeViewUI.h"

#include <gtest/gtest.h>

#include <string>

using namespace SkinUI;
using namespace SkinUI::Testing;

// The tree view: nodes built from skins and by code, expanded and collapsed by their folder
// buttons and double clicks, checked with their descendants, and removed with them.
namespace {

const wchar_t kTreeSkin[] =
    L"<Window><VerticalLayout>"
    L"<TreeView name=\"tree\" visiblecheckbtn=\"true\">"
    L"<TreeNode text=\"A\">"
    L"<TreeNode text=\"A1\"><TreeNode text=\"A1a\"/><TreeNode text=\"A1b\"/>"
    L"</TreeNode>"
    L"<TreeNode text=\"A2\"/>"
    L"</TreeNode>"
    L"<TreeNode text=\"B\"><Label name=\"extra\" width=\"10\"/></TreeNode>"
    L"</TreeView></VerticalLayout></Window>";

struct TreeWindow
{
    TreeWindow() : window(300, 300)
    {
        CDialogBuilder builder;
        CControlUI *root = builder.CreateFromSource(kTreeSkin, nullptr, nullptr, &window.Manager());
        window.Attach(root);
        window.Show();
        tree = static_cast<CTreeViewUI *>(window.Manager().FindControlByName(L"tree"));
    }

    CTreeNodeUI *Node(int index) const
    {
        return static_cast<CTreeNodeUI *>(tree->GetItemAt(index)->GetInterface(L"TreeNode"));
    }
    // The texts of the nodes in list order, the hidden ones in brackets.
    std::wstring Shown() const
    {
        std::wstring text;
        for (int i = 0; i < tree->GetCount(); ++i) {
            const std::wstring name = Node(i)->GetItemButton()->GetText().GetData();
            text += (i ? L" " : L"") + (Node(i)->IsVisible() ? name : L"(" + name + L")");
        }
        return text;
    }
    void LayOut()
    {
        window.Manager().GetRoot()->SetPos(window.Manager().GetRoot()->GetPos(), false);
    }
    void ClickOn(CControlUI *control)
    {
        LayOut();
        const RECT &at = control->GetPos();
        window.Click((at.left + at.right) / 2, (at.top + at.bottom) / 2);
    }

    TestWindow window;
    CTreeViewUI *tree = nullptr;
};

TEST(TreeView, ThreeLevelsFromASkin)
{
    TreeWindow w;
    ASSERT_NE(w.tree, nullptr);
    EXPECT_EQ(w.Shown(), L"A A1 A1a A1b A2 B");
    EXPECT_FALSE(w.tree->GetHeader()->IsVisible());
    CTreeNodeUI *a = w.Node(0);
    ASSERT_EQ(a->GetCountChild(), 2);
    EXPECT_EQ(a->GetChildNode(0), w.Node(1));
    EXPECT_EQ(w.Node(2)->GetParentNode(), w.Node(1));
    EXPECT_EQ(w.Node(1)->GetTreeIndex(), 1);
    EXPECT_FALSE(a->GetDotLine()->IsVisible());
    EXPECT_EQ(w.Node(1)->GetDotLine()->GetFixedWidth(), 18);
    EXPECT_EQ(w.Node(2)->GetDotLine()->GetFixedWidth(), 34);
    EXPECT_TRUE(w.Node(3)->GetCheckBox()->IsVisible());
    CControlUI *extra = w.window.Manager().FindControlByName(L"extra");
    ASSERT_NE(extra, nullptr);
    EXPECT_EQ(extra->GetParent(), w.Node(5)->GetRow()) << "a node's own controls stand in its row";
    EXPECT_EQ(w.Node(1)->GetPos().top, 18);
}

TEST(TreeView, FolderButtonsAndDoubleClicksExpandAndCollapse)
{
    TreeWindow w;
    w.ClickOn(w.Node(1)->GetFolderButton());
    EXPECT_EQ(w.Shown(), L"A A1 (A1a) (A1b) A2 B");
    EXPECT_FALSE(w.Node(1)->IsNodeExpanded());

    w.ClickOn(w.Node(0)->GetFolderButton());
    EXPECT_EQ(w.Shown(), L"A (A1) (A1a) (A1b) (A2) B");
    w.LayOut();
    EXPECT_EQ(w.Node(5)->GetPos().top, 18) << "the hidden rows take no room";

    // Expanding again shows the children, and a collapsed child keeps its children hidden.
    w.ClickOn(w.Node(0)->GetFolderButton());
    EXPECT_EQ(w.Shown(), L"A A1 (A1a) (A1b) A2 B");

    const RECT &row = w.Node(1)->GetPos();
    w.LayOut();
    w.window.DoubleClick(200, (row.top + row.bottom) / 2);
    EXPECT_EQ(w.Shown(), L"A A1 A1a A1b A2 B");
    EXPECT_FALSE(w.Node(1)->GetFolderButton()->IsSelected());
}

TEST(TreeView, CheckingANodeChecksItsDescendants)
{
    TreeWindow w;
    w.ClickOn(w.Node(0)->GetCheckBox());
    ASSERT_TRUE(w.Node(0)->GetCheckBox()->IsSelected());
    for (int i = 1; i <= 4; ++i)
        EXPECT_TRUE(w.Node(i)->GetCheckBox()->IsSelected()) << i;
    EXPECT_FALSE(w.Node(5)->GetCheckBox()->IsSelected());

    w.ClickOn(w.Node(1)->GetCheckBox());
    EXPECT_FALSE(w.Node(2)->GetCheckBox()->IsSelected());
    EXPECT_FALSE(w.Node(3)->GetCheckBox()->IsSelected());
    EXPECT_TRUE(w.Node(4)->GetCheckBox()->IsSelected());
    EXPECT_TRUE(w.Node(0)->GetCheckBox()->IsSelected()) << "the node's own parent stays";
}

// A removed node takes its subtree out of the list and leaves its parent's children.
TEST(TreeView, RemovingANodeRemovesItsSubtree)
{
    TreeWindow w;
    CTreeNodeUI *a = w.Node(0);
    ASSERT_TRUE(w.tree->Remove(w.Node(1)));
    EXPECT_EQ(w.Shown(), L"A A2 B");
    ASSERT_EQ(a->GetCountChild(), 1);
    EXPECT_EQ(a->GetChildNode(0), w.Node(1));
    w.window.PumpPending();

    w.ClickOn(a->GetFolderButton());
    EXPECT_EQ(w.Shown(), L"A (A2) B");

    // By index, and handed back when asked: the subtree comes back with the node.
    CTreeNodeUI *b = w.Node(2);
    auto *b1 = new CTreeNodeUI;
    b1->SetAttribute(L"text", L"B1");
    ASSERT_TRUE(b->Add(b1));
    ASSERT_TRUE(w.tree->RemoveAt(2, true));
    EXPECT_EQ(w.Shown(), L"A (A2)");
    EXPECT_EQ(b->GetChildNode(0), b1);
    ASSERT_TRUE(w.tree->Add(b));
    EXPECT_EQ(w.Shown(), L"A (A2) B B1");
}

// Built by code, the last node of the list can get children, and a child appended to a
// node stands after that node's whole subtree.
TEST(TreeView, NodesAddedByCode)
{
    TestWindow window(300, 300);
    auto *tree = new CTreeViewUI;
    window.Attach(tree);
    auto text = [tree] {
        std::wstring shown;
        for (int i = 0; i < tree->GetCount(); ++i)
            shown += std::wstring(i ? L" " : L"") + static_cast<CTreeNodeUI *>(tree->GetItemAt(i))
                                                        ->GetItemButton()
                                                        ->GetText()
                                                        .GetData();
        return shown;
    };
    auto node = [](const wchar_t *name) {
        auto *made = new CTreeNodeUI;
        made->SetAttribute(L"text", name);
        return made;
    };
    auto *root = node(L"R");
    ASSERT_TRUE(tree->Add(root));
    auto *first = node(L"R1");
    ASSERT_TRUE(root->Add(first));
    ASSERT_TRUE(first->Add(node(L"R1a")));
    ASSERT_TRUE(tree->Add(node(L"S")));
    ASSERT_TRUE(root->AddAt(node(L"R2"), 5));
    ASSERT_TRUE(root->AddAt(node(L"R0"), 0));
    EXPECT_EQ(text(), L"R R0 R1 R1a R2 S");
    EXPECT_FALSE(tree->Add(new CLabelUI)) << "only nodes";
    EXPECT_EQ(static_cast<CTreeNodeUI *>(tree->GetItemAt(5))->GetTreeView(), tree);

    // The settings reach the nodes there are and the nodes to come.
    tree->SetAttribute(L"visiblecheckbtn", L"true");
    tree->SetAttribute(L"itemminwidth", L"300");
    auto *later = node(L"T");
    tree->Add(later);
    EXPECT_TRUE(root->GetCheckBox()->IsVisible());
    EXPECT_TRUE(later->GetCheckBox()->IsVisible());
    EXPECT_EQ(later->GetMinWidth(), 300);

    // Selecting a node with no selected-text colour gives its text colour 0; the mouse
    // leaving keeps it.
    tree->SetAttribute(L"itemtextcolor", L"#FF102030");
    ASSERT_TRUE(tree->SelectItem(1));
    auto *r0 = static_cast<CTreeNodeUI *>(tree->GetItemAt(1));
    EXPECT_EQ(r0->GetItemButton()->GetTextColor(), 0u);
    EXPECT_EQ(static_cast<CTreeNodeUI *>(tree->GetItemAt(2))->GetItemButton()->GetTextColor(),
              0xFF102030u);
}

} // namespace
