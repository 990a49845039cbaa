#include "ButtonUI.h"
#include "ComboUI.h"
#include "DanglingRegistrations.h"
#include "FreedMemoryWatch.h"
#include "ListLabelElementUI.h"
#include "ListUI.h"
#include "OptionUI.h"
#include "TabLayoutUI.h"
#include "TestWindow.h"
#include "VerticalLayoutUI.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace SkinUI;
using namespace SkinUI::Testing;

// Controls taken out of one window's tree and added to another window's: the first window
// keeps nothing of them, so that it never reaches them once the second window deleted them,
// and a container never holds one control twice. Freed memory is kept aside while a case
// runs, so a pointer left behind is seen, and a call through it faults, even where Wine would
// let it pass unnoticed.
namespace {

// The first window: a row that moves away, and an option that stays in the row's group.
const wchar_t kFirstSkin[] = L"<Window size=\"400,200\"><VerticalLayout name=\"home\">"
                             L"<HorizontalLayout name=\"row\" height=\"100\" sepwidth=\"4\">"
                             L"<Option name=\"moving option\" group=\"g\" width=\"50\"/>"
                             L"<Button name=\"moving button\" width=\"50\"/>"
                             L"<Edit name=\"moving edit\" width=\"80\"/>"
                             L"<RichEdit name=\"moving rich edit\" width=\"80\"/>"
                             L"<DateTime name=\"moving date\" width=\"100\"/>"
                             L"</HorizontalLayout>"
                             L"<Option name=\"staying\" group=\"g\" height=\"40\"/>"
                             L"</VerticalLayout></Window>";

const POINT kButton = {75, 50};
const POINT kEdit = {140, 50};
const POINT kDate = {310, 50};
const POINT kSeparator = {398, 50};
const POINT kStaying = {150, 120};
const POINT kNowhere = {150, 180};
const UINT kFirstTimerId = 17;

const std::vector<const wchar_t *> kMovingNames = {
    L"row",         L"moving option",    L"moving button",
    L"moving edit", L"moving rich edit", L"moving date"};

CControlUI *Named(TestWindow &window, const wchar_t *name)
{
    return window.Manager().FindControlByName(name);
}

// What the first window did with the row before it went, and what the first window does
// after the second one deleted it.
struct MoveCase
{
    const char *what;
    std::function<void(TestWindow &first)> before;
    std::function<void(TestWindow &first)> after;
};

const MoveCase kMoveCases[] = {
    {"an option of the first window's group: another one of the group is clicked", nullptr,
     [](TestWindow &first) {
         first.Click(kStaying.x, kStaying.y);
         EXPECT_TRUE(static_cast<COptionUI *>(Named(first, L"staying"))->IsSelected());
     }},
    {"a timer set in the first window ticks",
     [](TestWindow &first) {
         ASSERT_TRUE(first.Manager().SetTimer(Named(first, L"moving button"), 7, 60000));
     },
     [](TestWindow &first) {
         for (UINT id = kFirstTimerId; id < kFirstTimerId + 3; ++id)
             first.Tick(id);
     }},
    {"its names in the first window are asked for", nullptr,
     [](TestWindow &first) {
         for (const wchar_t *name : kMovingNames)
             EXPECT_EQ(nullptr, Named(first, name)) << "name";
     }},
    {"pressed with the mouse, hovered and focused, then the mouse moves on",
     [](TestWindow &first) {
         first.MouseMove(kButton.x, kButton.y);
         first.LeftDown(kButton.x, kButton.y);
         Named(first, L"moving button")->SetFocus();
     },
     [](TestWindow &first) {
         EXPECT_NE(first.Handle(), GetCapture()) << "the capture is held for the moved control";
         first.MouseMove(kNowhere.x, kNowhere.y, MK_LBUTTON);
         first.LeftUp(kNowhere.x, kNowhere.y);
         first.KeyDown(VK_SPACE);
         first.KeyUp(VK_SPACE);
     }},
    {"a rich edit is a message filter of the first window", nullptr,
     [](TestWindow &first) {
         first.MouseMove(kNowhere.x, kNowhere.y);
         first.Char(L'x');
     }},
    {"an edit's box was open in the first window",
     [](TestWindow &first) {
         first.Click(kEdit.x, kEdit.y);
         ASSERT_EQ(1u, first.ChildWindows().size()) << "the box opens";
     },
     [](TestWindow &first) { first.Click(kStaying.x, kStaying.y); }},
    {"a date's picker was open in the first window",
     [](TestWindow &first) {
         first.Click(kDate.x, kDate.y);
         ASSERT_EQ(1u, first.ChildWindows().size()) << "the picker opens";
     },
     [](TestWindow &first) { first.Click(kStaying.x, kStaying.y); }},
    {"the mouse left a hovered button",
     [](TestWindow &first) { first.MouseMove(kButton.x, kButton.y); },
     [](TestWindow &first) { first.MouseMove(kNowhere.x, kNowhere.y); }},
    {"the row's separator was being dragged (a post-paint control)",
     [](TestWindow &first) { first.LeftDown(kSeparator.x, kSeparator.y); },
     [](TestWindow &first) { first.PaintWindow(); }},
};

// Takes the row out of the first window's tree and adds it to the second window's.
void MoveRow(TestWindow &first, CContainerUI &secondRoot)
{
    CControlUI *row = Named(first, L"row");
    auto *home = static_cast<CContainerUI *>(Named(first, L"home"));
    ASSERT_TRUE(home->Remove(row, true));
    ASSERT_TRUE(secondRoot.Add(row));
}

TEST(ControlMove, TheFirstWindowKeepsNothingOfARowMovedToAnotherWindow)
{
    for (const MoveCase &move : kMoveCases) {
        SCOPED_TRACE(move.what);
        FreedMemoryWatch freed;
        TestWindow first{400, 200};
        ASSERT_NE(nullptr, first.AttachSkin(kFirstSkin));
        first.Show();
        first.PaintWindow();
        if (move.before)
            move.before(first);

        auto second = std::make_unique<TestWindow>(400, 200);
        auto *secondRoot = new CVerticalLayoutUI;
        second->Attach(secondRoot);
        MoveRow(first, *secondRoot);
        second->Show();
        second->PaintWindow();
        // It works where it went.
        EXPECT_NE(nullptr, Named(*second, L"moving button"));
        CPointerArray *group = second->Manager().GetOptionGroup(L"g");
        EXPECT_TRUE(group != nullptr && group->Find(Named(*second, L"moving option")) >= 0)
            << "the option joins the second window's group";
        EXPECT_TRUE(first.ChildWindows().empty()) << "a native window stays in the first window";
        second->Click(220, 50);
        second->Char(L'x');
        EXPECT_STREQ(L"x", Named(*second, L"moving rich edit")->GetText().GetData())
            << "the rich edit takes the keys typed in the second window";

        second.reset();
        const std::vector<std::string> dangling =
            DanglingRegistrations(first.Manager(), freed, kMovingNames, {L"g"});
        if (!dangling.empty()) {
            ADD_FAILURE() << "left behind: " << Joined(dangling);
            continue; // the first window cannot be used safely
        }
        move.after(first);
        first.PaintWindow();
        first.PumpPending();
    }
}

// A click handler that moves the button it was sent by to the other side, which holds it
// already from the second click on.
class SenderMover : public INotifyUI
{
public:
    SenderMover(CContainerUI &from, CContainerUI &to) : m_from(from), m_to(to) {}
    void Notify(NotifyMessage &message) override
    {
        if (message.type != L"click")
            return;
        m_from.Remove(message.sender, true);
        added.push_back(m_to.Add(message.sender));
    }
    std::vector<bool> added;

private:
    CContainerUI &m_from;
    CContainerUI &m_to;
};

// Held twice, the button would be deleted twice with the window.
TEST(ControlMove, AClickHandlerThatMovesItsSenderTwiceLeavesItHeldOnce)
{
    FreedMemoryWatch freed;
    TestWindow window{200, 100};
    ASSERT_NE(nullptr, window.AttachSkin(L"<Window><HorizontalLayout>"
                                         L"<VerticalLayout name=\"left\"><Button name=\"b\"/>"
                                         L"</VerticalLayout><VerticalLayout name=\"right\"/>"
                                         L"</HorizontalLayout></Window>"));
    auto *left = static_cast<CContainerUI *>(Named(window, L"left"));
    auto *right = static_cast<CContainerUI *>(Named(window, L"right"));
    SenderMover mover(*left, *right);
    window.Manager().AddNotifier(&mover);
    window.Show();
    window.PaintWindow();
    window.Click(50, 10);
    window.PaintWindow();
    window.Click(150, 10);
    window.PumpPending();
    window.Manager().RemoveNotifier(&mover);
    EXPECT_EQ((std::vector<bool>{true, false}), mover.added);
    EXPECT_EQ(1, right->GetCount());
}

// Every container that adds a control refuses one it holds already, and keeps its children,
// their order and their item numbers as they were.
struct HolderCase
{
    const char *what;
    std::function<CControlUI *()> make;
    std::function<CControlUI *()> child;
};

CListLabelElementUI *NewItem(const wchar_t *text)
{
    auto *item = new CListLabelElementUI;
    item->SetText(text);
    return item;
}

const HolderCase kHolders[] = {
    {"a layout", [] { return new CVerticalLayoutUI; }, [] { return new CControlUI; }},
    {"a tab layout", [] { return new CTabLayoutUI; }, [] { return new CControlUI; }},
    {"a list", [] { return new CListUI; }, [] { return NewItem(L"item"); }},
    {"a combo box", [] { return new CComboUI; }, [] { return NewItem(L"item"); }},
};

TEST(ControlMove, AContainerRefusesAControlItHoldsAlready)
{
    for (const HolderCase &holder : kHolders) {
        for (bool atIndex : {false, true}) {
            SCOPED_TRACE(std::string(holder.what) + (atIndex ? ", AddAt" : ", Add"));
            TestWindow window;
            CControlUI *control = holder.make();
            window.Attach(control);
            auto *container = static_cast<IContainerUI *>(control->GetInterface(L"IContainer"));
            ASSERT_NE(nullptr, container);
            CControlUI *children[] = {holder.child(), holder.child(), holder.child()};
            for (CControlUI *child : children)
                ASSERT_TRUE(container->Add(child));

            EXPECT_FALSE(atIndex ? container->AddAt(children[2], 0) : container->Add(children[0]));
            ASSERT_EQ(3, container->GetCount());
            for (int i = 0; i < 3; ++i) {
                EXPECT_EQ(children[i], container->GetItemAt(i));
                auto *item = static_cast<IListItemUI *>(children[i]->GetInterface(L"IListItem"));
                if (item != nullptr) {
                    EXPECT_EQ(i, item->GetIndex()) << "item number";
                }
            }
        }
    }
}

} // namespace
