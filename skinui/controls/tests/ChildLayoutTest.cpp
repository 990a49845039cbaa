#include "ChildLayoutUI.h"

#include "ContainerUI.h"
#include "ControlFiles.h"
#include "TestWindow.h"
#include "TreeText.h"

#include <gtest/gtest.h>

#include <string>

using namespace SkinUI;
using namespace SkinUI::Testing;

// The child layout built by the dialog builder from a window skin: its children come from a
// second skin file at initialisation; an empty or missing source leaves it empty, and skins
// that take themselves in again end.
namespace {

const DWORD kGreen = 0x00FF00;

class ChildLayout : public ::testing::Test
{
protected:
    void SetUp() override { UseControlSkinSource(); }
    void TearDown() override { UseControlSkinSource(); }

    CChildLayoutUI *Build(const std::wstring &childAttributes)
    {
        const std::wstring skin = L"<Window><VerticalLayout name=\"root\"><ChildLayout "
                                  L"name=\"child\" " +
                                  childAttributes + L" /></VerticalLayout></Window>";
        m_window.AttachSkin(skin.c_str());
        CControlUI *child = m_window.Manager().FindControlByName(L"child");
        return child ? static_cast<CChildLayoutUI *>(child->GetInterface(L"ChildLayout")) : nullptr;
    }

    TestWindow m_window{200, 100};
};

bool CountInits(void *counter, void *)
{
    ++*static_cast<int *>(counter);
    return true;
}

// How many child layouts lie inside one another below the control.
int NestingBelow(CControlUI *control)
{
    auto *container = static_cast<IContainerUI *>(control->GetInterface(L"IContainer"));
    auto *child = static_cast<CChildLayoutUI *>(control->GetInterface(L"ChildLayout"));
    int deepest = 0;
    const int count = child ? child->GetCount() : container ? container->GetCount() : 0;
    for (int i = 0; i < count; ++i) {
        CControlUI *item = child ? child->GetItemAt(i) : container->GetItemAt(i);
        const int below = NestingBelow(item);
        deepest = below > deepest ? below : deepest;
    }
    return deepest + (child ? 1 : 0);
}

TEST_F(ChildLayout, ClassAndInterfaces)
{
    CChildLayoutUI layout;
    EXPECT_STREQ(layout.GetClass(), L"ChildLayout");
    EXPECT_EQ(layout.GetInterface(L"ChildLayout"), &layout);
    EXPECT_EQ(layout.GetInterface(L"Control"), static_cast<CControlUI *>(&layout));
    EXPECT_EQ(layout.GetInterface(L"Container"), nullptr);
    EXPECT_EQ(layout.GetInterface(L"IContainer"), nullptr);
}

TEST_F(ChildLayout, ItsChildrenComeFromASecondSkinFile)
{
    CChildLayoutUI *child = Build(L"xmlfile=\"skins\\childpart.xml\"");
    ASSERT_NE(nullptr, child);
    ASSERT_EQ(1, child->GetCount());
    EXPECT_EQ(L"VerticalLayout:part[Label:partlabel,Button:partbutton]",
              TreeText(child->GetItemAt(0)));
    CControlUI *button = m_window.Manager().FindControlByName(L"partbutton");
    ASSERT_NE(nullptr, button);
    EXPECT_EQ(&m_window.Manager(), button->GetManager());
    EXPECT_EQ(
        L"从另一个皮肤",
        std::wstring(m_window.Manager().FindControlByName(L"partlabel")->GetText().GetData()));
    EXPECT_EQ(kGreen, m_window.PaintTree().RgbAt(100, 75)) << "the part paints in the window";
}

// A combo box binds its items again each time it opens, and an application may move a
// control to another parent: the child layout keeps the one tree it built.
TEST_F(ChildLayout, BoundAgainItKeepsTheTreeItBuilt)
{
    CChildLayoutUI *child = Build(L"xmlfile=\"skins\\childpart.xml\"");
    ASSERT_NE(nullptr, child);
    auto *root = static_cast<IContainerUI *>(
        m_window.Manager().FindControlByName(L"root")->GetInterface(L"IContainer"));
    for (int rebinding = 0; rebinding < 3; ++rebinding) {
        ASSERT_TRUE(root->Remove(child, true));
        ASSERT_TRUE(root->Add(child));
    }
    ASSERT_EQ(1, child->GetCount());
    EXPECT_EQ(L"VerticalLayout:part[Label:partlabel,Button:partbutton]",
              TreeText(child->GetItemAt(0)));
    EXPECT_EQ(kGreen, m_window.PaintTree().RgbAt(100, 75));
}

TEST_F(ChildLayout, AnEmptyOrMissingSourceLeavesItEmpty)
{
    CChildLayoutUI *missing = Build(L"xmlfile=\"skins\\missing.xml\"");
    ASSERT_NE(nullptr, missing);
    EXPECT_EQ(0, missing->GetCount());

    // Without a source no initialisation runs at all, not even the init listeners.
    TestWindow window;
    auto *root = new CContainerUI;
    window.Attach(root);
    auto *empty = new CChildLayoutUI;
    int inits = 0;
    empty->InitListeners.Add(CFunctionDelegate(&CountInits, &inits));
    root->Add(empty);
    EXPECT_EQ(0, inits);
    EXPECT_EQ(0, empty->GetCount());
}

TEST_F(ChildLayout, ASkinThatTakesItselfInAgainEnds)
{
    for (const wchar_t *source : {L"skins\\childself.xml", L"skins\\childping.xml"}) {
        SCOPED_TRACE(source);
        TestWindow nested;
        nested.AttachSkin((std::wstring(L"<Window><HorizontalLayout><ChildLayout "
                                        L"name=\"outer\" xmlfile=\"") +
                           source + L"\" /></HorizontalLayout></Window>")
                              .c_str());
        CControlUI *outer = nested.Manager().FindControlByName(L"outer");
        ASSERT_NE(nullptr, outer);
        // The outer layout and seven within build; the ninth is refused and stays empty.
        EXPECT_EQ(CChildLayoutUI::kMaxNestingDepth + 1, NestingBelow(outer));
        nested.PaintTree();
    }
}

} // namespace
