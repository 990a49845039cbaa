#include "CheckBoxUI.h"
#include "Delegate.h"
#include "HorizontalLayoutUI.h"
#include "LabelUI.h"
#include "LargeLists.h"
#include "ListBodyUI.h"
#include "ListHBoxElementUI.h"
#include "ListHeaderItemUI.h"
#include "ListHeaderUI.h"
#include "ListLabelElementUI.h"
#include "ListUI.h"
#include "RectText.h"
#include "TestWindow.h"
#include "TreeNodeUI.h"
#include "TreeViewUI.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

using namespace SkinUI;
using namespace SkinUI::Testing;

// Lists and trees of 10,000 items: a step (expanding, collapsing, scrolling, selecting) lays
// out what it changes or shows, not every row, and still leaves every item where a layout of
// every row would; building that many items takes time in proportion to their number.
namespace {

const int kLarge = 10000;
const int kFolderSize = 100;
// Processor time far above what a step or a build takes on a loaded machine (the goals are
// 50 ms a step and a second a build of 10,000 items), which a cost growing with the square of
// the items still passes; what a step lays out is counted row by row.
const double kStepCpuLimitMs = 500.0;
const double kBuildCpuLimitMs = 5000.0;
// A window 400 pixels high shows 23 rows of 18 pixels, of 10,000: a step lays out or moves
// the rows it shows, and the rows of what it changes that come into view.
const int kRowsOfAStep = 100;

double CpuMsOf(const std::function<void()> &work)
{
    const double start = ThreadCpuMs();
    work();
    return ThreadCpuMs() - start;
}

CTreeNodeUI *NodeAt(CListUI *list, int index)
{
    return static_cast<CTreeNodeUI *>(list->GetItemAt(index)->GetInterface(L"TreeNode"));
}

void SetFolderCollapsed(CListUI *tree, int folderIndex, bool collapsed)
{
    NodeAt(tree, folderIndex)->GetFolderButton()->SetSelected(collapsed, true);
}

// ---- Steps in a tree of 10,000 ----

// Counts the rows of a tree's nodes that a step lays out or moves: a node's row is laid out
// with the node, and moves with it.
class RowWatch
{
public:
    explicit RowWatch(CTreeViewUI *tree) : m_tree(tree)
    {
        for (int i = 0; i < tree->GetCount(); ++i) {
            CControlUI *row = NodeAt(tree, i)->GetRow();
            row->SetTag(static_cast<UINT_PTR>(i));
            row->SizeListeners.Add(CFunctionDelegate(&Count, this));
        }
    }

    void Start()
    {
        m_laidOut.assign(static_cast<size_t>(m_tree->GetCount()), false);
        m_places.clear();
        for (int i = 0; i < m_tree->GetCount(); ++i)
            m_places.push_back(NodeAt(m_tree, i)->GetRow()->GetPos());
    }

    // Rows laid out or moved since Start.
    int Touched() const
    {
        int touched = 0;
        for (int i = 0; i < m_tree->GetCount(); ++i) {
            const RECT &now = NodeAt(m_tree, i)->GetRow()->GetPos();
            if (m_laidOut[static_cast<size_t>(i)] || !EqualRect(&now, &m_places[i]))
                ++touched;
        }
        return touched;
    }

private:
    static bool Count(void *object, void *row)
    {
        auto *watch = static_cast<RowWatch *>(object);
        watch->m_laidOut.at(static_cast<CControlUI *>(row)->GetTag()) = true;
        return true;
    }

    CTreeViewUI *m_tree;
    std::vector<bool> m_laidOut;
    std::vector<RECT> m_places;
};

struct TreeStep
{
    const char *what;
    std::function<void(TestWindow &, CTreeViewUI *)> run;
    // The step did what it stands for: one that does nothing would lay nothing out.
    std::function<bool(CTreeViewUI *)> acted;
};

bool Shown(CTreeViewUI *tree, int index)
{
    return NodeAt(tree, index)->IsVisible();
}

TEST(ListScale, StepsInATreeOf10000LayOutWhatTheyChangeOrShow)
{
    TestWindow window(400, 400);
    CTreeViewUI *tree = NewTree(kLarge, kFolderSize);
    window.Attach(tree);
    window.PaintWindow();
    tree->SetFocus();
    RowWatch rows(tree);
    const int last = kLarge - kFolderSize;
    const int second = kFolderSize;
    const TreeStep steps[] = {
        {"collapse the last folder",
         [=](TestWindow &, CTreeViewUI *t) { SetFolderCollapsed(t, last, true); },
         [=](CTreeViewUI *t) { return !Shown(t, last + 1); }},
        {"expand it again",
         [=](TestWindow &, CTreeViewUI *t) { SetFolderCollapsed(t, last, false); },
         [=](CTreeViewUI *t) { return Shown(t, last + 1); }},
        {"collapse the second folder, moving every row below it",
         [=](TestWindow &, CTreeViewUI *t) { SetFolderCollapsed(t, second, true); },
         [=](CTreeViewUI *t) { return !Shown(t, second + 1); }},
        {"expand it again",
         [=](TestWindow &, CTreeViewUI *t) { SetFolderCollapsed(t, second, false); },
         [=](CTreeViewUI *t) { return Shown(t, second + 1); }},
        {"turn the wheel", [](TestWindow &w, CTreeViewUI *) { w.Wheel(50, 50, -WHEEL_DELTA); },
         [](CTreeViewUI *t) { return t->GetScrollPos().cy > 0; }},
        {"page down", [](TestWindow &w, CTreeViewUI *) { w.KeyDown(VK_NEXT); },
         [](CTreeViewUI *t) { return t->GetScrollPos().cy > 300; }},
        {"select the last node", [](TestWindow &w, CTreeViewUI *) { w.KeyDown(VK_END); },
         [](CTreeViewUI *t) { return t->GetCurSel() == kLarge - 1; }},
        {"collapse the last folder, the view at its end",
         [=](TestWindow &, CTreeViewUI *t) { SetFolderCollapsed(t, last, true); },
         [=](CTreeViewUI *t) { return !Shown(t, last + 1); }},
        // The selected node went with its folder, and the focus with it.
        {"select the first node",
         [](TestWindow &w, CTreeViewUI *t) {
             t->SetFocus();
             w.KeyDown(VK_HOME);
         },
         [](CTreeViewUI *t) { return t->GetCurSel() == 0 && t->GetScrollPos().cy == 0; }},
    };
    for (const TreeStep &step : steps) {
        rows.Start();
        const double cpuMs = CpuMsOf([&] {
            step.run(window, tree);
            window.PaintWindow();
        });
        EXPECT_TRUE(step.acted(tree)) << step.what;
        EXPECT_LE(rows.Touched(), kRowsOfAStep) << step.what;
        EXPECT_LT(cpuMs, kStepCpuLimitMs) << step.what;
    }
}

// ---- What a step shows ----

// Every control of the subtree with its rectangle, in search order.
std::vector<std::string> SubtreePlaces(CControlUI *control)
{
    std::vector<std::string> places;
    control->FindControl(
        [](CControlUI *visited, void *data) -> CControlUI * {
            static_cast<std::vector<std::string> *>(data)->push_back(
                std::string(visited->IsVisible() ? "" : "hidden ") + RectText(visited->GetPos()));
            return nullptr;
        },
        &places, 0);
    return places;
}

bool AlwaysTrue(void *, void *)
{
    return true;
}

// The same list twice: as the list lays it out, and as a reference whose items all have a
// size listener, which makes the list lay every one of them out whole at every layout and
// move it whole at every scroll.
struct ListPair
{
    explicit ListPair(const std::function<CListUI *()> &make) : made(make()), reference(make())
    {
        for (int i = 0; i < reference->GetCount(); ++i)
            reference->GetItemAt(i)->SizeListeners.Add(CFunctionDelegate(&AlwaysTrue));
        window.Attach(made);
        referenceWindow.Attach(reference);
    }

    void Run(const std::function<void(CListUI *)> &step)
    {
        step(made);
        step(reference);
        for (int i = 0; i < reference->GetCount(); ++i)
            reference->GetItemAt(i)->SizeListeners.Add(CFunctionDelegate(&AlwaysTrue));
    }

    // The same pixels, every item in the same place, and the items in view the same inside.
    void ExpectSame(const char *what)
    {
        const Pixels pixels = window.PaintWindow();
        const Pixels referencePixels = referenceWindow.PaintWindow();
        EXPECT_TRUE(pixels.data == referencePixels.data) << what << ": the pictures differ";
        ASSERT_EQ(made->GetCount(), reference->GetCount()) << what;
        const RECT view = made->GetBody()->GetPos();
        int inView = 0;
        for (int i = 0; i < made->GetCount(); ++i) {
            CControlUI *item = made->GetItemAt(i);
            CControlUI *referenceItem = reference->GetItemAt(i);
            ASSERT_EQ(referenceItem->IsVisible(), item->IsVisible()) << what << ", item " << i;
            if (!item->IsVisible())
                continue;
            ASSERT_EQ(RectText(referenceItem->GetPos()), RectText(item->GetPos()))
                << what << ", item " << i;
            RECT shown;
            if (!IntersectRect(&shown, &view, &item->GetPos()))
                continue;
            ++inView;
            ASSERT_EQ(SubtreePlaces(referenceItem), SubtreePlaces(item)) << what << ", item " << i;
        }
        EXPECT_GT(inView, 0) << what;
    }

    TestWindow window{300, 300};
    TestWindow referenceWindow{300, 300};
    CListUI *made;
    CListUI *reference;
};

// The visible item at the middle of the list's view.
int ItemInView(CListUI *list)
{
    const RECT view = list->GetBody()->GetPos();
    const int middle = (view.top + view.bottom) / 2;
    for (int i = 0; i < list->GetCount(); ++i) {
        const RECT &place = list->GetItemAt(i)->GetPos();
        if (list->GetItemAt(i)->IsVisible() && place.top <= middle && middle < place.bottom)
            return i;
    }
    return -1;
}

struct ListStep
{
    const char *what;
    std::function<void(CListUI *)> run;
};

TEST(ListScale, ATreeShowsAfterEachStepWhatALayoutOfEveryRowShows)
{
    const int folderSize = 50;
    ListPair pair([=] { return NewTree(1000, folderSize); });
    const ListStep steps[] = {
        {"collapse a folder out of view", [=](CListUI *t) { SetFolderCollapsed(t, 600, true); }},
        {"scroll down some lines",
         [](CListUI *t) {
             for (int i = 0; i < 5; ++i)
                 t->LineDown();
         }},
        {"collapse the first folder", [](CListUI *t) { SetFolderCollapsed(t, 0, true); }},
        {"page down", [](CListUI *t) { t->PageDown(); }},
        {"select the last node", [](CListUI *t) { t->SelectItem(t->GetCount() - 1); }},
        {"expand the folder out of view", [=](CListUI *t) { SetFolderCollapsed(t, 600, false); }},
        {"expand the first folder", [](CListUI *t) { SetFolderCollapsed(t, 0, false); }},
        {"scroll to the middle",
         [](CListUI *t) {
             t->SetScrollPos(SIZE{0, t->GetScrollRange().cy / 2});
         }},
        {"hide a node in view and add one to its folder",
         [](CListUI *t) {
             CTreeNodeUI *node = NodeAt(t, ItemInView(t));
             node->SetVisible(false);
             (node->GetParentNode() ? node->GetParentNode() : node)->Add(NewNode(L"added"));
         }},
        {"remove a folder in view",
         [](CListUI *t) {
             CTreeNodeUI *node = NodeAt(t, ItemInView(t));
             t->Remove(node->GetParentNode() ? node->GetParentNode() : node);
         }},
        {"scroll to the top", [](CListUI *t) { t->ScrollToTop(); }},
    };
    pair.ExpectSame("built");
    for (const ListStep &step : steps) {
        pair.Run(step.run);
        pair.ExpectSame(step.what);
    }
    // A window narrower and shorter: every row in another place.
    for (TestWindow *window : {&pair.window, &pair.referenceWindow})
        SetWindowPos(window->Handle(), nullptr, 0, 0, 240, 200, SWP_NOMOVE | SWP_NOZORDER);
    pair.ExpectSame("a smaller window");
}

// Rows of three columns wider than the window, so that they scroll sideways as well.
CListUI *NewColumnList(int count)
{
    auto *list = new CListUI;
    list->SetAttributeList(L"vscrollbar=\"true\" hscrollbar=\"true\" itemvlinesize=\"1\" "
                           L"itemhlinesize=\"1\" itemaltbk=\"true\" itembkcolor=\"#FFEEEEEE\"");
    auto *header = new CListHeaderUI;
    header->SetFixedHeight(20);
    for (int width : {90, 140, 160}) {
        auto *column = new CListHeaderItemUI;
        column->SetFixedWidth(width);
        column->SetText(L"column");
        header->Add(column);
    }
    list->Add(header);
    for (int i = 0; i < count; ++i) {
        auto *row = new CListHBoxElementUI;
        row->SetFixedHeight(i % 3 == 0 ? 30 : 20);
        for (int c = 0; c < 3; ++c) {
            auto *cell = new CLabelUI;
            cell->SetText((std::to_wstring(i) + L"." + std::to_wstring(c)).c_str());
            cell->SetBkColor(0xFF000000 | static_cast<DWORD>(0x102030 * (c + 1)));
            row->Add(cell);
        }
        list->Add(row);
    }
    return list;
}

TEST(ListScale, AListOfColumnsShowsAfterEachStepWhatALayoutOfEveryRowShows)
{
    ListPair pair([] { return NewColumnList(1000); });
    const ListStep steps[] = {
        {"scroll right", [](CListUI *l) { l->LineRight(); }},
        {"scroll down a page", [](CListUI *l) { l->PageDown(); }},
        {"widen the first column",
         [](CListUI *l) { l->GetHeader()->GetItemAt(0)->SetFixedWidth(130); }},
        {"scroll to the right edge", [](CListUI *l) { l->ScrollToRightEdge(); }},
        {"select a row far down", [](CListUI *l) { l->SelectItem(700); }},
        {"narrow the last column",
         [](CListUI *l) { l->GetHeader()->GetItemAt(2)->SetFixedWidth(40); }},
        {"remove the selected row and insert one before it",
         [](CListUI *l) {
             const int at = l->GetCurSel();
             l->RemoveAt(at);
             auto *row = new CListHBoxElementUI;
             row->SetFixedHeight(40);
             row->Add(new CLabelUI);
             l->AddAt(row, at - 1);
         }},
        {"scroll to the top left",
         [](CListUI *l) {
             l->SetScrollPos(SIZE{0, 0});
         }},
    };
    pair.ExpectSame("built");
    for (const ListStep &step : steps) {
        pair.Run(step.run);
        pair.ExpectSame(step.what);
    }
}

// ---- Building 10,000 items ----

struct Build
{
    const char *what;
    std::function<void(TestWindow &)> run;
    int items;
};

CContainerUI *Owner(TestWindow &window)
{
    return static_cast<CContainerUI *>(window.Manager().GetRoot());
}

TEST(ListScale, TenThousandItemsBuildInTimeInProportionToTheirNumber)
{
    const std::wstring listSkin = ItemsSkin(L"List", L"ListLabelElement", kLarge);
    const std::wstring comboSkin = ItemsSkin(L"Combo", L"ListLabelElement", kLarge);
    const std::wstring treeSkin = TreeSkin(kLarge, kFolderSize);
    const Build builds[] = {
        {"a list from a skin", [&](TestWindow &w) { w.AttachSkin(listSkin.c_str()); }, kLarge - 1},
        {"a combo box from a skin", [&](TestWindow &w) { w.AttachSkin(comboSkin.c_str()); },
         kLarge - 1},
        {"a tree from a skin", [&](TestWindow &w) { w.AttachSkin(treeSkin.c_str()); }, kLarge - 1},
        {"list items added to a list in a window",
         [](TestWindow &w) {
             auto *list = new CListUI;
             w.Attach(list);
             for (int i = 0; i < kLarge; ++i) {
                 auto *item = new CListLabelElementUI;
                 item->SetText(L"item");
                 list->Add(item);
             }
         },
         kLarge},
        {"tree nodes added to a tree in a window",
         [](TestWindow &w) { w.Attach(NewTree(kLarge, kFolderSize)); }, kLarge},
        {"tree nodes added under one node of a tree in a window",
         [](TestWindow &w) {
             auto *tree = new CTreeViewUI;
             w.Attach(tree);
             CTreeNodeUI *top = NewNode(L"top");
             tree->Add(top);
             for (int i = 1; i < kLarge; ++i)
                 top->Add(NewNode(L"node"));
         },
         kLarge},
    };
    for (const Build &build : builds) {
        TestWindow window(400, 400);
        const double cpuMs = CpuMsOf([&] {
            build.run(window);
            window.PaintWindow();
        });
        ASSERT_NE(nullptr, Owner(window)) << build.what;
        EXPECT_EQ(build.items, Owner(window)->GetCount()) << build.what;
        EXPECT_LT(cpuMs, kBuildCpuLimitMs) << build.what;
    }
}

} // namespace
