#include "ListFixture.h"

#include "DialogBuilder.h"
#include "ListHBoxElementUI.h"
#include "ListHeaderItemUI.h"
#include "ListHeaderUI.h"
#include "ListTextElementUI.h"
#include "ProbeControl.h"
#include "RectText.h"
#include "TreeText.h"

#include <gtest/gtest.h>

#include <string>

using namespace SkinUI;
using namespace SkinUI::Testing;
using namespace ListFixture;

// The list elements: measuring, clicks and activation, the item background by state, the
// text element's columns and links, the HBox element's columns, and lists built from skins.
namespace {

const uint32_t kWhite = 0xFFFFFF;

bool Reddish(uint32_t rgb)
{
    return ((rgb >> 16) & 0xFF) > 128 && ((rgb >> 8) & 0xFF) < 100 && (rgb & 0xFF) < 100;
}

int CountIn(const DibSurface &surface, RECT area, bool (*test)(uint32_t))
{
    int count = 0;
    for (int y = std::max<int>(area.top, 0); y < area.bottom && y < surface.Height(); ++y)
        for (int x = std::max<int>(area.left, 0); x < area.right && x < surface.Width(); ++x)
            count += test(surface.Rgb(x, y)) ? 1 : 0;
    return count;
}

TEST(ListLabelElement, MeasuresFromTheStyleAndKeepsTheMeasure)
{
    ListWindow w(3, L"header=\"hidden\" itemtextpadding=\"4,2,6,3\"");
    auto *label = static_cast<CListLabelElementUI *>(w.Item(0));
    const int height = w.FontHeight() + 8 + 5;
    EXPECT_EQ(label->GetPos().bottom - label->GetPos().top, height);
    const SIZE desired = label->GetDesiredSize(SIZE{200, 200});
    EXPECT_GT(desired.cx, 10 + 20) << "the text's width plus the padding";

    const int measured = label->GetMeasureCount();
    w.LayOut();
    w.LayOut();
    EXPECT_EQ(label->GetMeasureCount(), measured) << "a relayout answers from the cache";
    w.list->SetAttribute(L"itemtextpadding", L"0,0,0,0");
    w.LayOut();
    EXPECT_EQ(label->GetMeasureCount(), measured + 1);
    EXPECT_EQ(label->GetPos().bottom - label->GetPos().top, w.FontHeight() + 8);

    w.list->SetAttribute(L"itemheight", L"30");
    w.LayOut();
    EXPECT_EQ(label->GetPos().bottom - label->GetPos().top, 30);

    CListLabelElementUI alone;
    EXPECT_EQ(alone.GetDesiredSize(SIZE{100, 100}).cy, 0) << "no owner, no style";
    EXPECT_EQ(alone.GetOwner(), nullptr);
    alone.SetOwner(nullptr);
    EXPECT_EQ(alone.GetOwner(), nullptr);
}

TEST(ListElement, ClicksSelectDoubleClicksAndReturnActivate)
{
    ListWindow w(4, L"header=\"hidden\" itemheight=\"20\"");
    w.Item(2)->SetEnabled(false);
    w.window.Click(50, 50);
    EXPECT_EQ(w.Count(L"itemclick"), 0) << "a disabled element";
    EXPECT_EQ(w.list->GetCurSel(), -1);

    w.window.Click(50, 30);
    EXPECT_EQ(w.Count(L"itemclick"), 1);
    EXPECT_EQ(w.list->GetCurSel(), 1);
    EXPECT_EQ(w.window.Manager().GetFocus(), w.Item(1));
    w.window.DoubleClick(50, 30);
    EXPECT_EQ(w.Count(L"itemactivate"), 1);
    w.window.KeyDown(VK_RETURN);
    EXPECT_EQ(w.Count(L"itemactivate"), 2);
    EXPECT_EQ(w.window.Notifications().Of(L"itemactivate")[1].sender, w.Item(1));

    // Hiding the selected element leaves the list without selection, quietly.
    w.window.Notifications().Clear();
    w.Item(1)->SetVisible(false);
    EXPECT_EQ(w.list->GetCurSel(), -1);
    EXPECT_FALSE(w.ListItem(1)->IsSelected());
    EXPECT_EQ(w.Count(L"itemselect"), 0);
}

// Rows 1, 3 and 5 are bare, yet show the hot and selected colours.
TEST(ListElement, BackgroundByStateAndAlternateRows)
{
    ListWindow w(6, L"header=\"hidden\" itemheight=\"20\" itemaltbk=\"true\" "
                    L"itembkcolor=\"#FF00FF00\" itemselectedbkcolor=\"#FF0000FF\" "
                    L"itemhotbkcolor=\"#FFFF00FF\" itemdisabledbkcolor=\"#FF808080\"");
    w.list->SelectItem(3);
    w.Item(4)->SetEnabled(false);
    w.window.MouseMove(190, 110);
    ASSERT_TRUE(static_cast<CListElementUI *>(w.Item(5))->IsHot());

    DibSurface surface(200, 200);
    w.Paint(surface);
    const uint32_t expected[] = {0x00FF00, kWhite, 0x00FF00, 0x0000FF, 0x808080, 0xFF00FF};
    for (int row = 0; row < 6; ++row)
        EXPECT_EQ(surface.Rgb(190, row * 20 + 10), expected[row]) << "row " << row;
}

CListTextElementUI *NewTextElement(const wchar_t *first, const wchar_t *second,
                                   const wchar_t *third)
{
    auto *element = new CListTextElementUI;
    element->SetColumnText(0, first);
    element->SetColumnText(1, second);
    element->SetColumnText(2, third);
    return element;
}

// A list of three columns of 100 pixels, its text red.
struct ColumnList : ListWindow
{
    explicit ColumnList(const wchar_t *attributes) : ListWindow(0, attributes, 300, 200)
    {
        for (int i = 0; i < 3; ++i) {
            auto *column = new CListHeaderItemUI;
            column->SetAttribute(L"width", L"100");
            list->Add(column);
        }
    }

    RECT Row(int index, int column)
    {
        const RECT &item = Item(index)->GetPos();
        const RECT &cell = list->GetItemStyle()->columns[column];
        return RECT{cell.left, item.top, cell.right, item.bottom};
    }
};

TEST(ListTextElement, EachTextStandsInItsColumn)
{
    ColumnList w(L"itemheight=\"20\" itemtextcolor=\"#FFFF0000\" itemvlinesize=\"2\" "
                 L"itemvlinecolor=\"#FF0000FF\"");
    w.list->Add(NewTextElement(L"WWWW", L"", L"WWWW"));
    w.list->Add(NewTextElement(L"", L"WWWW", L""));
    auto *own = new CListTextElementUI;
    own->SetText(L"WWWW");
    w.list->Add(own);
    w.LayOut();

    DibSurface surface(300, 200);
    w.Paint(surface);
    const bool shown[3][3] = {{true, false, true}, {false, true, false}, {true, false, false}};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(CountIn(surface, w.Row(row, column), Reddish) > 0, shown[row][column])
                << "row " << row << " column " << column;

    // Two vertical lines, at the right edges of the first two columns only.
    const int y = w.Item(0)->GetPos().top + 2;
    EXPECT_EQ(surface.Rgb(99, y), 0x0000FFu);
    EXPECT_EQ(surface.Rgb(199, y), 0x0000FFu);
    EXPECT_NE(surface.Rgb(299, y), 0x0000FFu);

    // A provider's texts take the place of the element's.
    struct Provider : IListTextProviderUI
    {
        CWideString GetItemText(CControlUI *, int index, int column) override
        {
            return index == 1 && column == 2 ? CWideString(L"WWWW") : CWideString();
        }
    } provider;
    w.list->SetTextProvider(&provider);
    w.Paint(surface);
    EXPECT_EQ(CountIn(surface, w.Row(0, 0), Reddish), 0);
    EXPECT_GT(CountIn(surface, w.Row(1, 2), Reddish), 0);
    w.list->SetTextProvider(nullptr);
}

std::wstring Links(const wchar_t *stem)
{
    std::wstring text;
    for (int i = 0; i < 4; ++i)
        text += L"<a " + std::wstring(stem) + std::to_wstring(i) + L">L</a> ";
    return text;
}

// Twelve links in three columns: only the first eight slots exist, and the third column's
// links take none of them.
TEST(ListTextElement, LinksOfAllColumnsShareEightSlots)
{
    ColumnList w(L"itemheight=\"20\" itemshowhtml=\"true\"");
    auto *element = NewTextElement(Links(L"a").c_str(), Links(L"b").c_str(), Links(L"c").c_str());
    w.list->Add(element);
    w.LayOut();
    DibSurface surface(300, 200);
    w.Paint(surface);

    ASSERT_EQ(element->GetLinkCount(), 8);
    EXPECT_STREQ(element->GetLinkName(0).GetData(), L"a0");
    EXPECT_STREQ(element->GetLinkName(7).GetData(), L"b3");
    EXPECT_EQ(element->GetBehaviorFlags(), 6u);
    for (int i = 0; i < 8; ++i)
        EXPECT_LT(element->GetLinkRect(i).right, 200) << "link " << i;
    EXPECT_NE(w.list->GetBody(), nullptr) << "the element's neighbours are intact";
    EXPECT_EQ(element->GetHotLink(), -1);

    const RECT link = element->GetLinkRect(7);
    w.window.Click((link.left + link.right) / 2, (link.top + link.bottom) / 2);
    ASSERT_EQ(w.Count(L"link"), 1);
    EXPECT_EQ(w.window.Notifications().Of(L"link")[0].wParam, 7u);
    w.window.Click(205, (link.top + link.bottom) / 2);
    EXPECT_EQ(w.Count(L"link"), 1) << "the third column's links are text";
}

TEST(ListHBoxElement, ChildrenTakeTheColumns)
{
    ColumnList w(L"itemheight=\"20\" itemvlinesize=\"4\"");
    auto *row = new CListHBoxElementUI;
    for (int i = 0; i < 4; ++i)
        row->Add(new ProbeControl);
    row->GetItemAt(1)->SetPadding(RECT{2, 1, 3, 1});
    w.list->Add(row);
    w.LayOut();
    const int top = row->GetPos().top;
    EXPECT_EQ(RectText(row->GetItemAt(0)->GetPos()), RectText(RECT{0, top, 96, top + 20}));
    EXPECT_EQ(RectText(row->GetItemAt(1)->GetPos()), RectText(RECT{102, top + 1, 193, top + 19}));
    EXPECT_EQ(RectText(row->GetItemAt(2)->GetPos()), RectText(RECT{200, top, 300, top + 20}));
    EXPECT_TRUE(IsRectEmpty(&row->GetItemAt(3)->GetPos())) << "no fourth column";
}

TEST(ListHBoxElement, ChildrenFollowColumnsThatChangeInTheSameSpan)
{
    ColumnList w(L"itemheight=\"20\"");
    auto *row = new CListHBoxElementUI;
    for (int i = 0; i < 3; ++i)
        row->Add(new ProbeControl);
    w.list->Add(row);
    w.LayOut();
    const RECT before = row->GetPos();

    w.list->GetHeader()->GetItemAt(0)->SetFixedWidth(60);
    w.list->GetHeader()->GetItemAt(1)->SetFixedWidth(140);
    w.LayOut();
    ASSERT_EQ(RectText(row->GetPos()), RectText(before)) << "the row keeps its size";
    EXPECT_EQ(RectText(row->GetItemAt(0)->GetPos()),
              RectText(RECT{0, before.top, 60, before.bottom}));
    EXPECT_EQ(RectText(row->GetItemAt(1)->GetPos()),
              RectText(RECT{60, before.top, 200, before.bottom}));
}

const wchar_t kListSkin[] =
    L"<Window><VerticalLayout>"
    L"<List name=\"files\" itemheight=\"20\" itemtextcolor=\"#FFFF0000\">"
    L"<ListHeader><ListHeaderItem text=\"Name\" width=\"120\"/>"
    L"<ListHeaderItem text=\"Size\" width=\"80\" sepwidth=\"-4\"/></ListHeader>"
    L"<ListTextElement text=\"WWW\"/><ListLabelElement text=\"two\" selected=\"true\"/>"
    L"<ListHBoxElement><Label/><Label/></ListHBoxElement>"
    L"<ListContainerElement expandable=\"true\" height=\"30\"/>"
    L"</List>"
    L"<Combo name=\"kinds\" dropboxsize=\"0,100\"><ListLabelElement text=\"pdf\"/></Combo>"
    L"<ComboBox/>"
    L"</VerticalLayout></Window>";

TEST(ListSkin, BuildsTheListFamilyFromSkinXml)
{
    TestWindow window(300, 300);
    CDialogBuilder builder;
    CControlUI *root = builder.CreateFromSource(kListSkin, nullptr, nullptr, &window.Manager());
    ASSERT_NE(root, nullptr);
    window.Attach(root);
    EXPECT_EQ(
        TreeText(root),
        L"VerticalLayout:[List:files[ListTextElement:,ListLabelElement:,"
        L"ListHBoxElement:[Label:,Label:],ListContainerElement:],Combo:kinds[ListLabelElement:],"
        L"Combo:]");
    auto *list = static_cast<CListUI *>(window.Manager().FindControlByName(L"files"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetHeader()->GetCount(), 2);
    EXPECT_EQ(list->GetCurSel(), 1) << "the element selected by its attribute";
    EXPECT_EQ(list->GetItemStyle()->columnCount, 2);
    EXPECT_EQ(list->GetItemStyle()->columns[1].left, 120);
    EXPECT_EQ(list->GetItemAt(3)->GetPos().bottom - list->GetItemAt(3)->GetPos().top, 30);
    for (int i = 0; i < list->GetCount(); ++i)
        EXPECT_EQ(
            static_cast<IListItemUI *>(list->GetItemAt(i)->GetInterface(L"IListItem"))->GetIndex(),
            i);
}

} // namespace
