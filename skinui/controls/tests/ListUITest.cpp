#include "ListFixture.h"

#include "ComboUI.h"
#include "ListBodyUI.h"
#include "ListContainerElementUI.h"
#include "ListHBoxElementUI.h"
#include "ListHeaderItemUI.h"
#include "ListHeaderUI.h"
#include "ListTextElementUI.h"
#include "ProbeControl.h"
#include "RectText.h"
#include "ScrollBarUI.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace SkinUI;
using namespace SkinUI::Testing;
using namespace ListFixture;

// The list control: names and interfaces of the family, the item style, selection by keys,
// wheel and calls, scrolling, expansion, the column header and the body's layout.
namespace {

struct NamesCase
{
    std::function<CControlUI *()> make;
    const wchar_t *className;
    std::vector<const wchar_t *> answersItself;
    std::vector<const wchar_t *> answersPart; // interfaces answered by a part, not the control
    UINT behavior;
};

TEST(ListFamily, ClassNamesInterfacesAndBehaviour)
{
    const NamesCase cases[] = {
        {[] { return new CListUI; },
         L"List",
         {L"List", L"VerticalLayout", L"Container"},
         {L"IList", L"IListOwner"},
         BehaviorTabStop},
        {[] { return new CListHeaderUI; },
         L"ListHeader",
         {L"ListHeader", L"HorizontalLayout"},
         {},
         0},
        {[] { return new CListHeaderItemUI; },
         L"ListHeaderItem",
         {L"ListHeaderItem", L"Control"},
         {},
         BehaviorSetCursor},
        {[] { return new CListLabelElementUI; },
         L"ListLabelElement",
         {L"ListLabelElement", L"ListElement"},
         {L"IListItem"},
         BehaviorListItem},
        {[] { return new CListTextElementUI; },
         L"ListTextElement",
         {L"ListTextElement", L"ListLabelElement", L"ListElement"},
         {L"IListItem"},
         BehaviorListItem},
        {[] { return new CListContainerElementUI; },
         L"ListContainerElement",
         {L"ListContainerElement", L"Container"},
         {L"IListItem"},
         BehaviorListItem},
        {[] { return new CListHBoxElementUI; },
         L"ListHBoxElement",
         {L"ListHBoxElement", L"ListContainerElement"},
         {L"IListItem"},
         BehaviorListItem},
        {[] { return new CComboUI; },
         L"Combo",
         {L"Combo", L"Container"},
         {L"IListOwner"},
         BehaviorTabStop},
    };
    for (const NamesCase &c : cases) {
        std::unique_ptr<CControlUI, void (*)(CControlUI *)> control(
            c.make(), [](CControlUI *p) { p->Delete(); });
        SCOPED_TRACE(testing::Message() << c.className);
        EXPECT_STREQ(control->GetClass(), c.className);
        for (const wchar_t *name : c.answersItself)
            EXPECT_EQ(control->GetInterface(name), control.get()) << name;
        for (const wchar_t *name : c.answersPart) {
            EXPECT_NE(control->GetInterface(name), nullptr) << name;
            EXPECT_NE(control->GetInterface(name), static_cast<void *>(control.get())) << name;
        }
        EXPECT_EQ(control->GetBehaviorFlags(), c.behavior);
    }
    CListHeaderItemUI noSeparator;
    noSeparator.SetAttribute(L"sepwidth", L"0");
    EXPECT_EQ(noSeparator.GetBehaviorFlags(), 0u);
}

struct StyleCase
{
    const char *what;
    std::vector<std::pair<const wchar_t *, const wchar_t *>> attributes;
    std::function<bool(const ListItemStyle &)> holds;
};

TEST(ListItemStyle, AttributesFillTheStyle)
{
    const StyleCase cases[] = {
        {"defaults",
         {},
         [](const ListItemStyle &s) {
             return s.textStyle == (DT_VCENTER | DT_SINGLELINE) && s.font == -1 &&
                    s.selectedBkColor == 0xFFC1E3FF && s.hotBkColor == 0xFFE9F5FF &&
                    s.disabledTextColor == 0xFFCCCCCC && s.hLineColor == 0xFF3C3C3C;
         }},
        {"the last alignment word wins",
         {{L"itemalign", L"left right"}},
         [](const ListItemStyle &s) { return (s.textStyle & (DT_CENTER | DT_RIGHT)) == DT_RIGHT; }},
        {"no alignment word changes nothing",
         {{L"itemalign", L"center"}, {L"itemalign", L"middle"}},
         [](const ListItemStyle &s) { return (s.textStyle & DT_CENTER) != 0; }},
        {"booleans are the exact text true",
         {{L"itemaltbk", L"True"}, {L"itemshowhtml", L"true"}},
         [](const ListItemStyle &s) { return !s.alternateBk && s.showHtml; }},
        {"colours with and without the hash",
         {{L"itembkcolor", L"#FF112233"}, {L"itemtextcolor", L"FF112233"}},
         [](const ListItemStyle &s) {
             return s.bkColor == 0xFF112233 && s.textColor == s.bkColor;
         }},
        {"multi-line breaks words, single-line keeps the break bit",
         {{L"itemmultiline", L"true"}, {L"itemmultiline", L"false"}},
         [](const ListItemStyle &s) {
             return (s.textStyle & (DT_SINGLELINE | DT_WORDBREAK)) ==
                    (DT_SINGLELINE | DT_WORDBREAK);
         }},
        {"numbers and the padding",
         {{L"itemheight", L"22"},
          {L"itemtextpadding", L"1,2,3,4"},
          {L"itemhlinesize", L"2"},
          {L"multiexpanding", L"true"}},
         [](const ListItemStyle &s) {
             return s.itemHeight == 22 && s.textPadding.left == 1 && s.textPadding.bottom == 4 &&
                    s.hLineSize == 2 && s.multiExpanding;
         }},
    };
    for (const StyleCase &c : cases) {
        ListItemStyle style;
        for (const auto &attribute : c.attributes)
            SetItemStyleAttribute(style, attribute.first, attribute.second, true);
        EXPECT_TRUE(c.holds(style)) << c.what;
    }
    ListItemStyle comboStyle;
    EXPECT_EQ(SetItemStyleAttribute(comboStyle, L"itemvalign", L"top", false),
              ItemStyleChange::NotStyle);
    EXPECT_EQ(SetItemStyleAttribute(comboStyle, L"itemtextpadding", L"1,1,1,1", false),
              ItemStyleChange::Layout);
}

const wchar_t kPlainList[] = L"header=\"hidden\" itemheight=\"20\" vscrollbar=\"true\"";

TEST(ListUI, ThousandItemsScrollByWheelAndSelectByKeys)
{
    ListWindow w(1000, kPlainList);
    CListBodyUI *body = w.list->GetBody();
    ASSERT_EQ(body->GetScrollRange().cy, 1000 * 20 - 200);
    EXPECT_EQ(RectText(w.Item(0)->GetPos()), "(0,0,184,20)");

    const int line = w.FontHeight() + 8;
    for (int i = 0; i < 3; ++i)
        w.window.Wheel(50, 50, -WHEEL_DELTA);
    w.window.Wheel(50, 50, WHEEL_DELTA);
    EXPECT_EQ(w.list->GetScrollPos().cy, 2 * line);
    EXPECT_EQ(w.Item(0)->GetPos().top, -2 * line);
    EXPECT_EQ(w.list->GetCurSel(), -1);

    w.list->SetFocus();
    struct Step
    {
        WPARAM key;
        int selected;
        int scrolled;
    };
    const Step steps[] = {
        {VK_END, 999, 19800}, {VK_UP, 998, 19800}, {VK_HOME, 0, 0}, {VK_NEXT, 0, 200},
        {VK_DOWN, 1, 20},     {VK_PRIOR, 1, 0},    {VK_DOWN, 2, 0},
    };
    int previous = -1;
    for (const Step &step : steps) {
        w.window.KeyDown(step.key);
        EXPECT_EQ(w.list->GetCurSel(), step.selected) << step.key;
        EXPECT_EQ(w.list->GetScrollPos().cy, step.scrolled) << step.key;
        if (step.selected != previous) {
            const auto record = w.window.Notifications().Of(L"itemselect").back();
            EXPECT_EQ(record.wParam, static_cast<WPARAM>(step.selected));
            EXPECT_EQ(record.lParam, static_cast<LPARAM>(previous));
        }
        previous = step.selected;
    }
    EXPECT_EQ(w.Count(L"itemselect"), 5);
    // The end of the list shows its last item at the bottom of the view.
    w.window.KeyDown(VK_END);
    EXPECT_EQ(RectText(w.Item(999)->GetPos()), "(0,180,184,200)");
    EXPECT_EQ(w.Item(990)->GetPos().top, 0);
}

TEST(ListUI, ScrollSelectMovesTheSelectionByWheel)
{
    ListWindow w(10, L"header=\"hidden\" itemheight=\"20\" scrollselect=\"true\"", 200, 100);
    w.Item(1)->SetEnabled(false);
    w.window.Wheel(50, 50, -WHEEL_DELTA);
    EXPECT_EQ(w.list->GetCurSel(), 0);
    w.window.Wheel(50, 50, -WHEEL_DELTA);
    EXPECT_EQ(w.list->GetCurSel(), 2) << "a disabled item is passed over";
    w.window.Wheel(50, 50, WHEEL_DELTA);
    EXPECT_EQ(w.list->GetCurSel(), 0);
    EXPECT_EQ(w.list->GetScrollPos().cy, 0);
}

TEST(ListUI, SelectItemRules)
{
    ListWindow w(5, kPlainList);
    w.list->Add(new ProbeControl(L"probe"));
    w.Item(3)->SetVisible(false);
    w.Item(4)->SetEnabled(false);

    EXPECT_TRUE(w.list->SelectItem(1, false, true));
    EXPECT_TRUE(w.ListItem(1)->IsSelected());
    EXPECT_TRUE(w.list->SelectItem(1, false, true)) << "the selection again";
    EXPECT_EQ(w.Count(L"itemselect"), 1);

    for (int refused : {-1, 3, 4, 5, 6}) {
        EXPECT_TRUE(w.list->SelectItem(1, false, false));
        EXPECT_FALSE(w.list->SelectItem(refused, false, true)) << refused;
        EXPECT_EQ(w.list->GetCurSel(), -1) << "the old item was let go first";
        EXPECT_FALSE(w.ListItem(1)->IsSelected());
    }
    EXPECT_EQ(w.Count(L"itemselect"), 1);
}

TEST(ListUI, SelectionFollowsItsItemThroughInsertsRemovesAndMoves)
{
    ListWindow w(5, kPlainList);
    ASSERT_TRUE(w.list->SelectItem(2, false, false));
    w.list->AddAt(NewLabel(L"new"), 0);
    EXPECT_EQ(w.list->GetCurSel(), 3);
    for (int i = 0; i < w.list->GetCount(); ++i)
        EXPECT_EQ(w.ListItem(i)->GetIndex(), i);

    w.list->RemoveAt(0);
    EXPECT_EQ(w.list->GetCurSel(), 2);
    CControlUI *selected = w.Item(2);
    w.list->SetItemIndex(selected, 4);
    EXPECT_EQ(w.list->GetCurSel(), 4);
    EXPECT_EQ(w.ListItem(4)->GetIndex(), 4);

    // The selected item goes: the one now before its place takes the selection.
    w.window.Notifications().Clear();
    w.list->Remove(selected);
    EXPECT_EQ(w.list->GetCurSel(), 3);
    ASSERT_EQ(w.Count(L"itemselect"), 1);
    EXPECT_EQ(w.window.Notifications().Of(L"itemselect")[0].wParam, 3u);

    w.list->RemoveAll();
    EXPECT_EQ(w.list->GetCurSel(), -1);
    EXPECT_EQ(w.list->GetCount(), 0);
}

// An item inserted just before, exactly at or just after the selected one, in a list and in
// a combo box: the selection stays on the item it was on, whose index moves on when the new
// one goes in at or before it.
TEST(ListFamily, SelectionStaysOnItsItemWhenOneIsInsertedAtItsIndex)
{
    const struct
    {
        const char *name;
        std::function<CControlUI *()> make;
    } owners[] = {{"list", [] { return new CListUI; }}, {"combo box", [] { return new CComboUI; }}};
    const int selected = 2;
    for (const auto &kind : owners) {
        for (int at : {selected - 1, selected, selected + 1}) {
            SCOPED_TRACE(std::string(kind.name) + ", inserted at " + std::to_string(at));
            TestWindow window;
            CControlUI *control = kind.make();
            window.Attach(control);
            auto *items = static_cast<IContainerUI *>(control->GetInterface(L"IContainer"));
            auto *owner = static_cast<IListOwnerUI *>(control->GetInterface(L"IListOwner"));
            for (int i = 0; i < 5; ++i)
                ASSERT_TRUE(items->Add(NewLabel(Numbered(L"item", i))));
            ASSERT_TRUE(owner->SelectItem(selected, false, false));
            CControlUI *selectedItem = items->GetItemAt(selected);

            ASSERT_TRUE(items->AddAt(NewLabel(L"new"), at));
            const int expected = at <= selected ? selected + 1 : selected;
            EXPECT_EQ(owner->GetCurSel(), expected);
            EXPECT_EQ(items->GetItemAt(expected), selectedItem);
            for (int i = 0; i < items->GetCount(); ++i) {
                auto *item =
                    static_cast<IListItemUI *>(items->GetItemAt(i)->GetInterface(L"IListItem"));
                EXPECT_EQ(item->IsSelected(), i == expected) << i;
                EXPECT_EQ(item->GetIndex(), i);
            }
        }
    }
}

CListContainerElementUI *NewExpandable()
{
    auto *element = new CListContainerElementUI;
    element->SetAttribute(L"expandable", L"true");
    element->SetAttribute(L"height", L"20");
    return element;
}

bool Expanded(ListWindow &w, int index)
{
    return w.ListItem(index)->IsExpanded();
}

// The expanded item is found by its index, which inserts and removes shift.
TEST(ListUI, ExpandedItemFollowsInsertsAndRemoves)
{
    ListWindow w(0, kPlainList);
    for (int i = 0; i < 6; ++i)
        w.list->Add(NewExpandable());
    ASSERT_TRUE(w.list->ExpandItem(3));
    EXPECT_TRUE(Expanded(w, 3));
    EXPECT_EQ(w.Count(L"itemexpand"), 1);

    w.list->AddAt(NewExpandable(), 0);
    EXPECT_EQ(w.list->GetExpandedItem(), 4);
    w.list->RemoveAt(1);
    EXPECT_EQ(w.list->GetExpandedItem(), 3);
    ASSERT_TRUE(Expanded(w, 3));

    // Expanding another collapses the right one.
    ASSERT_TRUE(w.ListItem(1)->Expand(true));
    EXPECT_EQ(w.list->GetExpandedItem(), 1);
    EXPECT_FALSE(Expanded(w, 3));
    EXPECT_EQ(w.Count(L"itemcollapse"), 1);

    w.list->RemoveAt(1);
    EXPECT_EQ(w.list->GetExpandedItem(), -1);
    EXPECT_TRUE(w.list->ExpandItem(2));
    EXPECT_FALSE(w.list->ExpandItem(99)) << "no item there";
    EXPECT_EQ(w.list->GetExpandedItem(), -1);
    EXPECT_FALSE(Expanded(w, 2));
}

TEST(ListUI, MultiExpandingKeepsSeveralOpen)
{
    ListWindow w(0, L"header=\"hidden\" multiexpanding=\"true\"");
    for (int i = 0; i < 3; ++i)
        w.list->Add(NewExpandable());
    EXPECT_TRUE(w.list->ExpandItem(0));
    EXPECT_TRUE(w.ListItem(2)->Expand(true));
    EXPECT_TRUE(Expanded(w, 0));
    EXPECT_TRUE(Expanded(w, 2));
    EXPECT_EQ(w.list->GetExpandedItem(), 2);
}

// ---- Header ----

CListHeaderItemUI *NewColumn(const wchar_t *attributes)
{
    auto *column = new CListHeaderItemUI;
    column->SetAttributeList(attributes);
    return column;
}

// Three columns of 100 pixels over a list 300 pixels wide.
struct ColumnsWindow : ListWindow
{
    explicit ColumnsWindow(const wchar_t *firstColumn = L"width=\"100\"",
                           const wchar_t *listAttributes = L"itemheight=\"20\"")
        : ListWindow(0, listAttributes, 300, 200)
    {
        list->Add(NewColumn(firstColumn));
        list->Add(NewColumn(L"width=\"100\""));
        list->Add(NewColumn(L"width=\"100\""));
        window.Show();
        LayOut();
    }

    const RECT &Column(int i) { return list->GetItemStyle()->columns[i]; }
    int ColumnWidth(int i) { return Column(i).right - Column(i).left; }

    // A press, moves and a release posted as the system would, run through the loop until
    // the first column has the width.
    bool Drag(int fromX, std::vector<int> toX, int column, int width)
    {
        window.Post(WM_LBUTTONDOWN, MK_LBUTTON, TestWindow::PointParam(fromX, 5));
        for (int x : toX)
            window.Post(WM_MOUSEMOVE, MK_LBUTTON, TestWindow::PointParam(x, 5));
        window.Post(WM_LBUTTONUP, 0, TestWindow::PointParam(toX.back(), 5));
        return window.PumpUntil([&] { return ColumnWidth(column) == width; }, 3000);
    }
};

TEST(ListHeader, DraggingTheRightEdgeResizesTheColumn)
{
    ColumnsWindow w;
    ASSERT_EQ(w.list->GetItemStyle()->columnCount, 3);
    ASSERT_EQ(RectText(w.Column(1)), RectText(RECT{100, 0, 200, w.Column(1).bottom}));

    EXPECT_TRUE(w.Drag(98, {88, 78, 68}, 0, 70));
    EXPECT_EQ(w.Column(1).left, 70) << "the next column follows";
    EXPECT_EQ(w.Count(L"headerclick"), 0);

    // Below the minimum width the column keeps the last width above it.
    EXPECT_TRUE(w.Drag(68, {50, 10}, 0, 52));
    w.window.PumpPending();
    EXPECT_EQ(w.ColumnWidth(0), 52);

    EXPECT_TRUE(w.Drag(120, {120}, 0, 52));
    w.window.PumpPending();
    EXPECT_EQ(w.Count(L"headerclick"), 1) << "a press beside the separator";
}

TEST(ListHeader, LeftSeparatorAndFixedColumns)
{
    ColumnsWindow left(L"width=\"100\"");
    auto *second = static_cast<CListHeaderItemUI *>(left.list->GetHeader()->GetItemAt(1));
    second->SetAttribute(L"sepwidth", L"-6");
    EXPECT_EQ(RectText(second->GetThumbRect()),
              RectText(RECT{100, 0, 106, second->GetPos().bottom}));
    EXPECT_TRUE(left.Drag(102, {122}, 1, 80)) << "dragging right narrows the column";

    ColumnsWindow fixed(L"width=\"100\" dragable=\"false\"");
    fixed.window.Post(WM_LBUTTONDOWN, MK_LBUTTON, TestWindow::PointParam(98, 5));
    fixed.window.Post(WM_MOUSEMOVE, MK_LBUTTON, TestWindow::PointParam(60, 5));
    fixed.window.Post(WM_LBUTTONUP, 0, TestWindow::PointParam(60, 5));
    fixed.window.PumpPending();
    fixed.LayOut();
    EXPECT_EQ(fixed.ColumnWidth(0), 100);
    EXPECT_EQ(fixed.Count(L"headerclick"), 0);
}

TEST(ListHeader, HeightAndColumnsOfTheHeader)
{
    ColumnsWindow w;
    CListHeaderUI *header = w.list->GetHeader();
    const int line = w.FontHeight() + 8;
    static_cast<CListHeaderItemUI *>(header->GetItemAt(0))->SetFixedHeight(20);
    static_cast<CListHeaderItemUI *>(header->GetItemAt(1))->SetFixedHeight(26);
    EXPECT_EQ(header->GetDesiredSize(SIZE{300, 200}).cy, std::max(26, line));
    EXPECT_EQ(header->GetDesiredSize(SIZE{300, 200}).cx, 300);

    // A hidden header still gives the columns their widths.
    ColumnsWindow hidden(L"width=\"100\"", L"header=\"hidden\" itemheight=\"20\"");
    EXPECT_FALSE(hidden.list->GetHeader()->IsVisible());
    EXPECT_EQ(hidden.Column(2).left, 200);
    EXPECT_EQ(hidden.ColumnWidth(2), 100);

    // Only the first 64 header items are columns.
    for (int i = 0; i < 70; ++i)
        w.list->Add(NewColumn(L"width=\"10\""));
    EXPECT_EQ(w.list->GetItemStyle()->columnCount, 64);
}

TEST(ListHeader, ASecondHeaderReplacesOnlyAnEmptyOne)
{
    ListWindow w(0, L"");
    CListHeaderUI *first = w.list->GetHeader();
    auto *second = new CListHeaderUI;
    w.list->Add(second);
    EXPECT_EQ(w.list->GetHeader(), second) << "the empty header made way";
    EXPECT_FALSE(w.list->Remove(second)) << "the list keeps its header";
    (void)first;

    w.list->Add(NewColumn(L"width=\"50\""));
    auto *third = new CListHeaderUI;
    w.list->Add(third);
    EXPECT_EQ(w.list->GetHeader(), second);
    EXPECT_EQ(w.list->GetItemIndex(third), 0) << "only put first among the list's children";
    EXPECT_EQ(w.list->GetItemIndex(second), 1);
}

// ---- Body ----

TEST(ListBody, ItemsAreSpacedByPaddingAndLine)
{
    ListWindow w(3, L"header=\"hidden\" itemheight=\"20\" childpadding=\"4\" itemhlinesize=\"2\"");
    EXPECT_EQ(w.list->GetChildPadding(), 4) << "the body's";
    EXPECT_EQ(w.Item(1)->GetPos().top, 26);
    EXPECT_EQ(w.Item(2)->GetPos().top, 52);
}

// Thirty rows under three columns wider than the list, with both scroll bars.
struct WideColumnList : ListWindow
{
    WideColumnList() : ListWindow(30, L"itemheight=\"20\" vscrollbar=\"true\" hscrollbar=\"true\"")
    {
        for (int i = 0; i < 3; ++i)
            list->Add(NewColumn(L"width=\"150\""));
        LayOut();
    }
};

// Scrolling both ways at once moves the columns sideways only: the header does not scroll
// up or down with the items.
TEST(ListBody, SidewaysScrollingMovesTheColumnsInTheHeader)
{
    WideColumnList w;
    CListHeaderUI *header = w.list->GetHeader();
    const RECT before = header->GetItemAt(1)->GetPos();
    ASSERT_GT(w.list->GetScrollRange().cx, 30);
    w.list->SetScrollPos(SIZE{30, 40});
    const RECT after = header->GetItemAt(1)->GetPos();
    EXPECT_EQ(after.left, before.left - 30);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(w.list->GetItemStyle()->columns[1].left, before.left - 30);
    EXPECT_EQ(w.Item(0)->GetPos().left, -30);
}

// Over the horizontal bar the wheel scrolls sideways: wParam 0 to the left, 1 to the right;
// any other value is the list's to handle, and scrolls nothing there.
TEST(ListBody, TheWheelOverTheHorizontalBarScrollsSidewaysOnlyForItsTwoDirections)
{
    WideColumnList w;
    CScrollBarUI *bar = w.list->GetHorizontalScrollBar();
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(bar->IsVisible());
    const RECT place = bar->GetPos();
    struct Case
    {
        WPARAM wParam;
        int moved;
    } cases[] = {{0, -1}, {1, 1}, {2, 0}, {5, 0}};
    for (const Case &c : cases) {
        w.list->SetScrollPos(SIZE{60, 0});
        ControlEvent wheel;
        wheel.type = EventScrollWheel;
        wheel.wParam = c.wParam;
        wheel.mousePoint = POINT{(place.left + place.right) / 2, (place.top + place.bottom) / 2};
        w.list->GetBody()->DoEvent(wheel);
        const int moved = w.list->GetScrollPos().cx - 60;
        EXPECT_EQ(c.moved, moved > 0 ? 1 : moved < 0 ? -1 : 0) << c.wParam;
        EXPECT_EQ(0, w.list->GetScrollPos().cy) << c.wParam;
    }
}

} // namespace
