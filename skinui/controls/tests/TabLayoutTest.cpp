#include "ProbeControl.h"
#include "RectText.h"
#include "TabLayoutUI.h"
#include "TestWindow.h"

#include <gtest/gtest.h>

using namespace SkinUI;
using namespace SkinUI::Testing;

// The tab layout: one current page shown, the others hidden, "tabselect" on a change, and
// the current index kept on its page while pages come and go.
namespace {

class TabLayout : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_window.Attach(m_tabs);
        for (int i = 0; i < 3; ++i) {
            m_pages[i] = new ProbeControl(nullptr, 0xFF000000 | (0x40 << (8 * i)));
            ASSERT_TRUE(m_tabs->Add(m_pages[i]));
        }
    }

    std::vector<bool> Shown() const
    {
        std::vector<bool> shown;
        for (int i = 0; i < m_tabs->GetCount(); ++i)
            shown.push_back(m_tabs->GetItemAt(i)->IsVisible());
        return shown;
    }

    TestWindow m_window{200, 100};
    CTabLayoutUI *m_tabs = new CTabLayoutUI;
    ProbeControl *m_pages[3] = {};
};

TEST_F(TabLayout, FirstVisiblePageIsCurrentAndSelectingNotifiesOnce)
{
    EXPECT_STREQ(L"TabLayout", m_tabs->GetClass());
    EXPECT_EQ(m_tabs, m_tabs->GetInterface(L"TabLayout"));
    EXPECT_EQ(0, m_tabs->GetCurSel());
    EXPECT_EQ((std::vector<bool>{true, false, false}), Shown());

    EXPECT_TRUE(m_tabs->SelectItem(2, true));
    EXPECT_EQ(2, m_tabs->GetCurSel());
    EXPECT_EQ((std::vector<bool>{false, false, true}), Shown());
    const std::vector<RecordingNotifier::Record> sent = m_window.Notifications().Of(L"tabselect");
    ASSERT_EQ(1u, sent.size()) << "sent at once, not queued";
    EXPECT_EQ(m_tabs, sent[0].sender);
    EXPECT_EQ(2u, sent[0].wParam);
    EXPECT_EQ(0, sent[0].lParam);

    EXPECT_TRUE(m_tabs->SelectItem(2, true));
    EXPECT_FALSE(m_tabs->SelectItem(3, true));
    EXPECT_FALSE(m_tabs->SelectItem(-1, true));
    m_tabs->SetAttribute(L"selectedid", L"5");
    EXPECT_EQ(2, m_tabs->GetCurSel());
    EXPECT_STREQ(L"5", m_tabs->GetCustomAttribute(L"selectedid")) << "kept as well";
    EXPECT_EQ(1u, m_window.Notifications().Of(L"tabselect").size());

    m_tabs->SetAttribute(L"selectedid", L"1");
    EXPECT_EQ(1, m_tabs->GetCurSel());
    EXPECT_EQ(2, m_window.Notifications().Of(L"tabselect").back().lParam);
    EXPECT_TRUE(m_tabs->SelectItem(0, false));
    EXPECT_EQ(2u, m_window.Notifications().Of(L"tabselect").size()) << "asked not to tell";
}

TEST_F(TabLayout, CurrentIndexStaysWithItsPage)
{
    m_tabs->SelectItem(1, false);
    auto *inserted = new ProbeControl;
    EXPECT_TRUE(m_tabs->AddAt(inserted, 0));
    EXPECT_FALSE(inserted->IsVisible());
    EXPECT_EQ(2, m_tabs->GetCurSel()) << "the same page";

    EXPECT_TRUE(m_tabs->Remove(inserted));
    EXPECT_EQ(1, m_tabs->GetCurSel());

    EXPECT_TRUE(m_tabs->Remove(m_pages[1]));
    EXPECT_EQ(0, m_tabs->GetCurSel()) << "the first page takes over";
    EXPECT_EQ((std::vector<bool>{true, false}), Shown());
    EXPECT_TRUE(m_window.Notifications().Of(L"tabselect").empty());

    m_tabs->SelectItem(1, false);
    EXPECT_TRUE(m_tabs->Remove(m_pages[0], true));
    delete m_pages[0];
    EXPECT_EQ(0, m_tabs->GetCurSel()) << "a page before the current one went";
    EXPECT_FALSE(m_tabs->Remove(nullptr));

    m_tabs->RemoveAll();
    EXPECT_EQ(-1, m_tabs->GetCurSel());
    auto *hidden = new ProbeControl;
    hidden->SetVisible(false);
    m_tabs->Add(hidden);
    EXPECT_EQ(-1, m_tabs->GetCurSel()) << "only a visible child becomes current";
    m_tabs->Add(new ProbeControl);
    EXPECT_EQ(1, m_tabs->GetCurSel());
}

TEST_F(TabLayout, OnlyTheCurrentPageIsPlacedAndPainted)
{
    m_tabs->SetAttribute(L"inset", L"10,10,10,10");
    m_pages[1]->SetAttribute(L"padding", L"5,0,0,5");
    m_tabs->SetPos(RECT{0, 0, 200, 100}, false);
    EXPECT_EQ(RectText(RECT{10, 10, 190, 90}), RectText(m_pages[0]->GetPos()));
    EXPECT_EQ(RectText(RECT{0, 0, 0, 0}), RectText(m_pages[1]->GetPos()));

    m_tabs->SelectItem(1, true);
    m_tabs->SetPos(RECT{0, 0, 200, 100}, false);
    EXPECT_EQ(RectText(RECT{15, 10, 190, 85}), RectText(m_pages[1]->GetPos()));
    const Pixels pixels = m_window.PaintTree();
    EXPECT_EQ(0x004000u, pixels.RgbAt(100, 50)) << "the second page's colour";
}

TEST_F(TabLayout, SelectingMovesTheFocusIntoThePage)
{
    auto *page = new CContainerUI;
    auto *field = new ProbeControl(L"field");
    field->behaviorFlags = BehaviorTabStop;
    page->Add(field);
    m_tabs->Add(page);
    m_window.PaintWindow();
    m_tabs->SelectItem(3, true);
    EXPECT_TRUE(m_window.PumpUntil([&] {
        m_window.PaintWindow();
        return m_window.Manager().GetFocus() == field;
    }));
}

} // namespace
