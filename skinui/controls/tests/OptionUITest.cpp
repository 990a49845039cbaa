#include "CheckBoxUI.h"
#include "OptionUI.h"

#include "ProbeControl.h"
#include "TestWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace SkinUI;
using namespace SkinUI::Testing;

// Options and check boxes on the shared test window: radio groups through the window's
// option groups with exactly one selected, toggling without a group, the notifications of
// each change, and the selected images, colours and text colour in the painted pixels.
namespace {

const DWORD kRed = 0xFF0000;
const DWORD kGreen = 0x00FF00;
const DWORD kBlue = 0x0000FF;
const DWORD kYellow = 0xFFFF00;
const DWORD kMagenta = 0xFF00FF;

// Options side by side, 40 x 30 each from (0, 0), in a 200 x 40 window.
struct OptionRow
{
    COptionUI *Add(const wchar_t *attributes, COptionUI *option = new COptionUI)
    {
        const int index = static_cast<int>(options.size());
        option->SetName((L"option" + std::to_wstring(index)).c_str());
        option->SetAttributeList(attributes);
        root->Add(option, RECT{index * 40, 0, index * 40 + 40, 30});
        root->SetPos(root->GetPos(), false);
        options.push_back(option);
        return option;
    }
    void Attach() { window.Attach(root); }
    void Click(int index) { window.Click(index * 40 + 20, 15); }
    std::vector<bool> Selection() const
    {
        std::vector<bool> selected;
        for (COptionUI *option : options)
            selected.push_back(option->IsSelected());
        return selected;
    }
    std::vector<std::wstring> SelectChangedFrom()
    {
        std::vector<std::wstring> senders;
        for (const auto &record : window.Notifications().Of(L"selectchanged"))
            senders.push_back(record.senderName);
        return senders;
    }
    DWORD CentreOf(int index) { return window.PaintTree(0xFFFFFFFF).RgbAt(index * 40 + 20, 15); }

    TestWindow window{200, 40};
    ProbeParent *root = new ProbeParent;
    std::vector<COptionUI *> options;
};

TEST(OptionUI, ClassNamesAndInterfaces)
{
    COptionUI option;
    CCheckBoxUI checkBox;
    EXPECT_STREQ(option.GetClass(), L"Option");
    EXPECT_STREQ(checkBox.GetClass(), L"CheckBox");
    for (const wchar_t *name : {L"CheckBox", L"Option", L"Button", L"Label", L"Control"})
        EXPECT_NE(checkBox.GetInterface(name), nullptr) << name;
    EXPECT_EQ(option.GetInterface(L"Option"), &option);
    EXPECT_EQ(option.GetInterface(L"CheckBox"), nullptr);
    EXPECT_EQ(option.GetInterface(L"Button"), static_cast<CButtonUI *>(&option));
}

TEST(OptionUI, AGroupKeepsExactlyOneSelectedAndOnlyTheNewOneNotifies)
{
    OptionRow row;
    for (int i = 0; i < 3; ++i)
        row.Add(L"group=\"g\"");
    row.Add(L"group=\"other\" selected=\"true\"");
    row.Attach();

    row.Click(1);
    EXPECT_EQ((std::vector<bool>{false, true, false, true}), row.Selection());
    row.Click(0);
    EXPECT_EQ((std::vector<bool>{true, false, false, true}), row.Selection());
    EXPECT_EQ((std::vector<std::wstring>{L"option1", L"option0"}), row.SelectChangedFrom());

    row.window.Notifications().Clear();
    row.Click(0);
    EXPECT_EQ(1, row.window.Notifications().Count(L"click"));
    EXPECT_EQ(0, row.window.Notifications().Count(L"selectchanged")) << "already selected";
    EXPECT_TRUE(row.options[0]->IsSelected());

    row.options[2]->SetSelected(true, false);
    EXPECT_EQ((std::vector<bool>{false, false, true, true}), row.Selection());
    EXPECT_EQ(0, row.window.Notifications().Count(L"selectchanged")) << "asked for none";
    EXPECT_EQ(3, row.window.Manager().GetOptionGroup(L"g")->GetCount());
}

TEST(OptionUI, WithoutAGroupEveryClickTogglesAndNotifies)
{
    OptionRow row;
    COptionUI *box = row.Add(L"", new CCheckBoxUI);
    row.Attach();
    row.Click(0);
    EXPECT_TRUE(box->IsSelected());
    row.Click(0);
    EXPECT_FALSE(box->IsSelected());
    EXPECT_EQ((std::vector<std::wstring>{L"option0", L"option0"}), row.SelectChangedFrom());

    box->SetFocus();
    row.window.KeyDown(VK_SPACE);
    EXPECT_TRUE(box->IsSelected()) << "space activates as a click does";
}

TEST(OptionUI, BeforeItHasAWindowSelectingOnlySetsTheFlag)
{
    OptionRow row;
    COptionUI *first = row.Add(L"group=\"g\" selected=\"true\"");
    COptionUI *second = row.Add(L"group=\"g\" selected=\"true\"");
    EXPECT_TRUE(first->IsSelected());
    EXPECT_TRUE(second->IsSelected());
    EXPECT_EQ(second->GetButtonState() & StateSelected, static_cast<UINT>(StateSelected));
    row.Attach();
    EXPECT_EQ(0, row.window.Notifications().Count(L"selectchanged"));
    EXPECT_EQ(2, row.window.Manager().GetOptionGroup(L"g")->GetCount()) << "joined when attached";

    first->SetSelected(false);
    row.Click(0);
    EXPECT_EQ((std::vector<bool>{true, false}), row.Selection()) << "one again after a change";
}

TEST(OptionUI, GroupsAreLeftOnRenameAndOnDestruction)
{
    OptionRow row;
    COptionUI *first = row.Add(L"group=\"a\"");
    COptionUI *second = row.Add(L"group=\"a\"");
    row.Attach();
    CWindowManagerUI &manager = row.window.Manager();

    second->SetGroup(L"b");
    EXPECT_EQ(1, manager.GetOptionGroup(L"a")->GetCount());
    EXPECT_EQ(1, manager.GetOptionGroup(L"b")->GetCount());
    second->SetSelected(true);
    first->SetSelected(true);
    EXPECT_TRUE(second->IsSelected()) << "another group now";

    row.root->Remove(second, false);
    delete second;
    row.options.pop_back();
    EXPECT_TRUE(manager.GetOptionGroup(L"b") == nullptr ||
                manager.GetOptionGroup(L"b")->GetCount() == 0);
    COptionUI *third = row.Add(L"group=\"b\"");
    row.Click(1);
    EXPECT_TRUE(third->IsSelected()) << "the group holds no deleted member";
}

TEST(OptionUI, DisablingKeepsTheSelection)
{
    OptionRow row;
    COptionUI *option = row.Add(L"selected=\"true\" selectedbkcolor=\"#FF0000FF\"");
    row.Attach();
    row.window.MouseMove(20, 15);
    option->SetEnabled(false);
    EXPECT_TRUE(option->IsSelected());
    EXPECT_EQ(static_cast<UINT>(StateSelected), option->GetButtonState());
    EXPECT_EQ(kBlue, row.CentreOf(0));
}

TEST(OptionUI, SelectedImagesColoursAndTheForeImage)
{
    const wchar_t *images = L"normalimage=\"color='FFFF0000'\" pushedimage=\"color='FF00FF00'\" "
                            L"selectedimage=\"color='FF0000FF'\" "
                            L"selectedhotimage=\"color='FFFFFF00'\"";
    struct Case
    {
        const wchar_t *what;
        std::wstring attributes;
        bool selected;
        bool hover;
        bool press;
        DWORD centre;
    };
    const Case cases[] = {
        {L"not selected", images, false, false, false, kRed},
        {L"pressed: never the pushed image", images, false, true, true, kRed},
        {L"selected", images, true, false, false, kBlue},
        {L"selected and hot", images, true, true, false, kYellow},
        {L"selected, pressed", images, true, true, true, kYellow},
        {L"selected colour without images", L"selectedbkcolor=\"#FFFF00FF\"", true, false, false,
         kMagenta},
        {L"selected image wins over the colour",
         std::wstring(images) + L" selectedbkcolor=\"#FFFF00FF\"", true, false, false, kBlue},
        {L"no selected picture: the button's",
         L"normalimage=\"color='FFFF0000'\" hotimage=\"color='FF00FF00'\"", true, true, false,
         kGreen},
        {L"the option's fore image last", std::wstring(images) + L" foreimage=\"color='FF00FF00'\"",
         true, false, false, kGreen},
    };
    for (const Case &c : cases) {
        OptionRow row;
        COptionUI *option = row.Add(c.attributes.c_str());
        row.Attach();
        option->SetSelected(c.selected, false);
        if (c.hover)
            row.window.MouseMove(20, 15);
        if (c.press)
            row.window.LeftDown(20, 15);
        EXPECT_EQ(c.centre, row.CentreOf(0)) << c.what;
    }
}

TEST(OptionUI, SelectedTextColourOnlyWhileSelected)
{
    OptionRow row;
    COptionUI *option = row.Add(L"text=\"MMMM\" textcolor=\"#FF000000\" "
                                L"selectedtextcolor=\"#FF0000FF\" hottextcolor=\"#FFFF0000\"");
    COptionUI *empty = row.Add(L"textcolor=\"#FF00FF00\" selectedtextcolor=\"#FF0000FF\"");
    row.Attach();
    const RECT first = {0, 0, 40, 30};
    const RECT second = {40, 0, 80, 30};

    option->SetSelected(true, false);
    row.window.MouseMove(20, 15);
    Pixels pixels = row.window.PaintTree(0xFFFFFFFF);
    EXPECT_GT(pixels.CountRgb(kBlue, first), 0) << "selected wins over hot";
    EXPECT_EQ(0, pixels.CountRgb(kRed, first));

    option->SetSelected(false, false);
    pixels = row.window.PaintTree(0xFFFFFFFF);
    EXPECT_EQ(0, pixels.CountRgb(kBlue, first));
    EXPECT_GT(pixels.CountRgb(kRed, first), 0);
    EXPECT_EQ(0xFF000000, option->GetTextColor()) << "the stored colour is unchanged";

    empty->SetSelected(true, false);
    row.window.PaintTree(0xFFFFFFFF);
    empty->SetSelected(false, false);
    empty->SetText(L"MMMM");
    pixels = row.window.PaintTree(0xFFFFFFFF);
    EXPECT_GT(pixels.CountRgb(kGreen, second), 0);
}

} // namespace

namespace {

TEST(OptionUI, BuiltFromASkinAGroupKeepsTheLastSelected)
{
    TestWindow window{200, 40};
    window.AttachSkin(L"<Window><HorizontalLayout>"
                      L"<Option name=\"a\" group=\"g\" selected=\"true\" width=\"40\" />"
                      L"<Option name=\"b\" group=\"g\" selected=\"true\" width=\"40\" />"
                      L"<Option name=\"c\" group=\"g\" width=\"40\" />"
                      L"<CheckBox name=\"box\" selected=\"true\" width=\"40\" />"
                      L"</HorizontalLayout></Window>");
    auto option = [&](const wchar_t *name) {
        CControlUI *control = window.Manager().FindControlByName(name);
        return control ? static_cast<COptionUI *>(control->GetInterface(L"Option")) : nullptr;
    };
    ASSERT_NE(nullptr, option(L"a"));
    ASSERT_NE(nullptr, option(L"box"));
    EXPECT_STREQ(L"CheckBox", option(L"box")->GetClass());
    EXPECT_FALSE(option(L"a")->IsSelected());
    EXPECT_TRUE(option(L"b")->IsSelected());
    EXPECT_TRUE(option(L"box")->IsSelected()) << "no group of its own";

    window.Click(100, 20);
    EXPECT_FALSE(option(L"b")->IsSelected());
    EXPECT_TRUE(option(L"c")->IsSelected());
    window.Click(140, 20);
    EXPECT_FALSE(option(L"box")->IsSelected());
}

} // namespace
