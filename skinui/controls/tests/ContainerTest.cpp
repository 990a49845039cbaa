#include "ContainerUI.h"
#include "DibSurface.h"
#include "GdiPainter.h"
#include "ProbeControl.h"
#include "TestWindow.h"
#include "WindowManagerUI.h"

#include <gtest/gtest.h>

using namespace SkinUI;
using namespace SkinUI::Testing;

// The container base on the shared test window: ownership and deletion of children, insets
// and alignment attributes, clipped painting, hit-testing and event routing, and the child
// list operations.
namespace {

const DWORD kRed = 0xFFFF0000;
const DWORD kGreen = 0xFF00FF00;
const DWORD kBlue = 0xFF0000FF;

CControlUI *HitTest(CControlUI *control, void *data)
{
    return PtInRect(&control->GetPos(), *static_cast<POINT *>(data)) ? control : nullptr;
}

CControlUI *Find(CContainerUI &container, int x, int y, UINT flags = 0x15)
{
    POINT point = {x, y};
    return container.FindControl(HitTest, &point, flags);
}

class Container : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_container->SetAttribute(L"bkcolor", L"#FF0000FF");
        m_window.Attach(m_container);
    }

    ProbeControl *AddProbe(DWORD fill, bool *deleted = nullptr)
    {
        auto *probe = new ProbeControl(nullptr, fill);
        probe->deletedFlag = deleted;
        EXPECT_TRUE(m_container->Add(probe));
        return probe;
    }

    void Layout() { m_container->SetPos(RECT{0, 0, 100, 60}, false); }

    TestWindow m_window{100, 60};
    CContainerUI *m_container = new CContainerUI;
};

TEST_F(Container, AnswersItsClassAndInterfaces)
{
    EXPECT_STREQ(m_container->GetClass(), L"Container");
    EXPECT_EQ(m_container->GetInterface(L"Container"), m_container);
    EXPECT_EQ(m_container->GetInterface(L"IContainer"), static_cast<IContainerUI *>(m_container));
    EXPECT_EQ(m_container->GetInterface(L"Control"), static_cast<CControlUI *>(m_container));
    EXPECT_EQ(m_container->GetInterface(L"Button"), nullptr);
}

TEST_F(Container, ChildrenAreDeletedAtOnceOrAfterTheCurrentMessage)
{
    bool kept = false, later = false, atOnce = false;
    ProbeControl *keep = AddProbe(kRed, &kept);
    ProbeControl *removeLater = AddProbe(kRed, &later);
    EXPECT_EQ(keep->GetManager(), &m_window.Manager());
    EXPECT_EQ(keep->GetParent(), m_container);

    EXPECT_TRUE(m_container->Remove(keep, true));
    EXPECT_FALSE(kept) << "handed back to the caller";
    EXPECT_FALSE(m_container->Remove(keep));
    EXPECT_FALSE(m_container->Remove(nullptr));

    EXPECT_TRUE(m_container->Remove(removeLater));
    EXPECT_FALSE(later) << "deleted by the manager after the current message";
    EXPECT_TRUE(m_window.PumpUntil([&] { return later; }));

    m_container->SetDeferredDelete(false);
    AddProbe(kRed, &atOnce);
    EXPECT_TRUE(m_container->RemoveAt(0));
    EXPECT_TRUE(atOnce);
    EXPECT_FALSE(m_container->RemoveAt(0));
    keep->Delete();
}

TEST_F(Container, RemoveAllDeletesOnlyWhatItOwns)
{
    bool first = false, second = false;
    m_container->SetDeferredDelete(false);
    m_container->SetDeleteChildrenOnRemove(false);
    ProbeControl *a = AddProbe(kRed, &first);
    m_container->RemoveAll();
    EXPECT_EQ(m_container->GetCount(), 0);
    EXPECT_FALSE(first);
    a->Delete();

    m_container->SetDeleteChildrenOnRemove(true);
    AddProbe(kRed, &second);
    m_container->RemoveAll();
    EXPECT_TRUE(second);

    bool owned = false;
    {
        CContainerUI standalone;
        auto *child = new ProbeControl;
        child->deletedFlag = &owned;
        standalone.Add(child);
        EXPECT_EQ(child->GetManager(), nullptr);
    }
    EXPECT_TRUE(owned) << "the container's destructor deletes its children";
}

TEST_F(Container, HiddenContainersHideNewChildren)
{
    m_container->SetVisible(false);
    ProbeControl *child = AddProbe(kRed);
    EXPECT_FALSE(child->IsVisible());
    m_container->SetVisible(true);
    EXPECT_TRUE(child->IsVisible());
}

TEST_F(Container, ChildListOperations)
{
    ProbeControl *c[4];
    for (auto &probe : c)
        probe = AddProbe(kRed);
    auto order = [&] {
        std::string text;
        for (int i = 0; i < m_container->GetCount(); ++i)
            for (int k = 0; k < 4; ++k)
                if (m_container->GetItemAt(i) == c[k])
                    text += static_cast<char>('a' + k);
        return text;
    };
    EXPECT_EQ(m_container->GetItemIndex(c[2]), 2);
    EXPECT_EQ(m_container->GetItemAt(4), nullptr);
    EXPECT_EQ(m_container->GetItemAt(-1), nullptr);
    EXPECT_TRUE(m_container->SetItemIndex(c[3], 0));
    EXPECT_EQ(order(), "dabc");
    EXPECT_TRUE(m_container->MoveItemRange(c[0], 2, 2));
    EXPECT_EQ(order(), "dcab");
    EXPECT_TRUE(m_container->MoveItemRange(c[2], 2, 1)) << "already there";
    EXPECT_FALSE(m_container->MoveItemRange(c[0], 3, 0)) << "the run passes the end";
    EXPECT_FALSE(m_container->MoveItemRange(c[0], -1, 0));
    EXPECT_FALSE(m_container->MoveItemRange(nullptr, 1, 0));
    EXPECT_EQ(order(), "dcab");

    auto *stray = new ProbeControl;
    EXPECT_FALSE(m_container->AddAt(stray, 9));
    EXPECT_EQ(stray->GetManager(), &m_window.Manager()) << "bound before the index was refused";
    EXPECT_TRUE(m_container->AddAt(stray, 1));
    EXPECT_EQ(m_container->GetItemIndex(stray), 1);
    EXPECT_EQ(m_container->FindSelectable(5, false), -1);
    EXPECT_EQ(m_container->FindSelectable(0, true), -1);
}

TEST_F(Container, InsetsAlignmentAndPaddingAttributes)
{
    m_container->SetAttributeList(
        L"inset=\"10,5,20,15\" childpadding=\"-4\" childalign=\"center\" childvalign=\"bottom\"");
    EXPECT_EQ(m_container->GetChildPadding(), 0);
    EXPECT_EQ(m_container->GetChildAlign(), 1u);
    EXPECT_EQ(m_container->GetChildVAlign(), 8u);
    m_container->SetAttribute(L"childalign", L"centre");
    m_container->SetAttribute(L"childvalign", L"middle");
    EXPECT_EQ(m_container->GetChildAlign(), 1u);
    EXPECT_EQ(m_container->GetChildVAlign(), 8u);
    m_container->SetAttribute(L"childpadding", L"6");
    EXPECT_EQ(m_container->GetChildPadding(), 6);

    ProbeControl *wide = AddProbe(kRed);
    ProbeControl *narrow = AddProbe(kGreen);
    narrow->SetAttribute(L"maxwidth", L"30");
    narrow->SetAttribute(L"minheight", L"60");
    Layout();
    EXPECT_EQ(m_container->GetClientPos().left, 10);
    EXPECT_EQ(m_container->GetClientPos().bottom, 45);
    const RECT wideRect = wide->GetPos();
    EXPECT_EQ(wideRect.left, 10);
    EXPECT_EQ(wideRect.top, 5);
    EXPECT_EQ(wideRect.right, 80);
    EXPECT_EQ(wideRect.bottom, 45);
    EXPECT_EQ(narrow->GetPos().right, 40);
    EXPECT_EQ(narrow->GetPos().bottom, 65);
}

TEST_F(Container, ChildrenPaintClippedToTheClientAreaAndFloatingOnesToTheItem)
{
    m_container->SetAttribute(L"inset", L"10,10,10,10");
    ProbeControl *big = AddProbe(kRed);
    big->SetAttribute(L"minwidth", L"200");
    ProbeControl *floating = AddProbe(kGreen);
    floating->SetAttributeList(L"float=\"true\" pos=\"-5,40,25,70\"");
    Layout();
    EXPECT_EQ(floating->GetPos().left, -5);
    Pixels pixels = m_window.PaintTree(0xFFFFFFFF);
    EXPECT_EQ(pixels.RgbAt(50, 20), 0xFF0000u);
    EXPECT_EQ(pixels.RgbAt(95, 20), 0x0000FFu) << "the child is cut at the client area";
    EXPECT_EQ(pixels.RgbAt(5, 55), 0x00FF00u) << "a floating child reaches into the inset";
    EXPECT_EQ(pixels.RgbAt(50, 5), 0x0000FFu);

    // A paint area that misses the client area still paints the floating child.
    DibSurface surface(100, 60);
    m_container->Paint(surface.Dc(), RECT{0, 52, 100, 60}, nullptr);
    EXPECT_EQ(surface.Rgb(5, 55), 0x00FF00u);
    EXPECT_EQ(surface.Rgb(50, 55), 0x0000FFu);
    EXPECT_EQ(surface.Rgb(50, 20), 0xFFFFFFu) << "outside the paint area";
}

TEST_F(Container, FloatingChildrenArePlacedByRatiosAndOffsets)
{
    ProbeControl *child = AddProbe(kRed);
    child->SetAttributeList(L"float=\"0.5,0.5,0.5,0.5\" pos=\"-10,-5,10,5\"");
    Layout();
    const RECT rect = child->GetPos();
    EXPECT_EQ(rect.left, 40);
    EXPECT_EQ(rect.top, 25);
    EXPECT_EQ(rect.right, 60);
    EXPECT_EQ(rect.bottom, 35);
}

TEST_F(Container, StopControlEndsPaintingAfterTheEarlierSiblings)
{
    ProbeControl *first = AddProbe(kRed);
    ProbeControl *second = AddProbe(kGreen);
    first->SetAttributeList(L"float=\"true\" pos=\"0,0,50,60\"");
    second->SetAttributeList(L"float=\"true\" pos=\"50,0,100,60\"");
    Layout();
    DibSurface surface(100, 60);
    EXPECT_FALSE(m_container->Paint(surface.Dc(), RECT{0, 0, 100, 60}, second));
    EXPECT_EQ(surface.Rgb(25, 30), 0xFF0000u);
    EXPECT_EQ(surface.Rgb(75, 30), 0x0000FFu) << "the stop control is not painted";
    surface.Fill(0xFFFFFFFF);
    EXPECT_FALSE(m_container->Paint(surface.Dc(), RECT{0, 0, 100, 60}, m_container));
    EXPECT_EQ(surface.Rgb(25, 30), 0xFFFFFFu);
}

TEST_F(Container, HitTestingStaysInTheClientAreaUnlessAChildFloats)
{
    m_container->SetAttribute(L"inset", L"10,10,10,10");
    ProbeControl *big = AddProbe(kRed);
    big->SetAttribute(L"minwidth", L"200");
    ProbeControl *floating = AddProbe(kGreen);
    floating->SetAttributeList(L"float=\"true\" pos=\"0,0,8,8\"");
    Layout();
    EXPECT_EQ(Find(*m_container, 50, 30), big);
    EXPECT_EQ(Find(*m_container, 95, 30), m_container) << "scrolled-out part of a child";
    EXPECT_EQ(Find(*m_container, 4, 4), floating);
    EXPECT_EQ(m_window.Manager().FindControlAtPoint(POINT{4, 4}), floating);

    m_container->SetAttribute(L"mousechild", L"false");
    EXPECT_EQ(Find(*m_container, 50, 30), m_container);
    m_container->SetAttribute(L"mousechild", L"true");
    m_container->SetMouseEnabled(false);
    EXPECT_EQ(Find(*m_container, 95, 30), nullptr);
    EXPECT_EQ(Find(*m_container, 50, 30), big);
}

TEST_F(Container, TopFirstSearchFindsTheLastChildFirst)
{
    ProbeControl *below = AddProbe(kRed);
    ProbeControl *above = AddProbe(kGreen);
    Layout();
    EXPECT_EQ(Find(*m_container, 50, 30, 0x15), above);
    EXPECT_EQ(Find(*m_container, 50, 30, 0x05), below);
}

TEST_F(Container, MouseEventsOfAMouseDisabledContainerGoToItsParent)
{
    auto *parent = new ProbeParent;
    auto *inner = new CContainerUI;
    parent->Add(inner, RECT{0, 0, 100, 60});
    m_window.Attach(parent);
    inner->SetMouseEnabled(false);
    ControlEvent move;
    move.type = EventMouseMove;
    inner->DoEvent(move);
    EXPECT_EQ(parent->CountOf(EventMouseMove), 1);

    ControlEvent focus;
    focus.type = EventSetFocus;
    inner->DoEvent(focus);
    EXPECT_TRUE(inner->IsFocused());
    EXPECT_EQ(parent->CountOf(EventSetFocus), 0);
    focus.type = EventKillFocus;
    inner->DoEvent(focus);
    EXPECT_FALSE(inner->IsFocused());

    inner->SetMouseEnabled(true);
    ControlEvent key;
    key.type = EventKeyDown;
    inner->DoEvent(key);
    EXPECT_EQ(parent->CountOf(EventKeyDown), 1) << "without scroll bars keys go up";
}

} // namespace

namespace {

TEST_F(Container, TreeRendersIntoABitmapUpToTheStopControl)
{
    ProbeControl *left = AddProbe(kRed);
    ProbeControl *right = AddProbe(kGreen);
    left->SetAttributeList(L"float=\"true\" pos=\"0,0,50,60\"");
    right->SetAttributeList(L"float=\"true\" pos=\"50,0,100,60\"");
    Layout();

    HBITMAP whole =
        CGdiPainter::RenderToBitmap(&m_window.Manager(), RECT{40, 10, 60, 30}, nullptr, 0);
    ASSERT_NE(whole, nullptr);
    Pixels pixels = ReadBitmap(whole);
    DeleteObject(whole);
    ASSERT_EQ(pixels.width, 20);
    ASSERT_EQ(pixels.height, 20);
    EXPECT_EQ(pixels.RgbAt(0, 0), 0xFF0000u);
    EXPECT_EQ(pixels.RgbAt(19, 19), 0x00FF00u);

    HBITMAP stopped =
        CGdiPainter::RenderToBitmap(&m_window.Manager(), RECT{40, 10, 60, 30}, right, 0x80FFFFFF);
    ASSERT_NE(stopped, nullptr);
    pixels = ReadBitmap(stopped);
    DeleteObject(stopped);
    EXPECT_TRUE(NearColor(pixels.RgbAt(0, 0), 0xFF7F7F)) << "the colour is laid over it";
    EXPECT_NE(pixels.RgbAt(19, 19) & 0x00FF00, 0x00FF00u) << "painting stopped before it";
    EXPECT_EQ(CGdiPainter::RenderToBitmap(nullptr, RECT{0, 0, 10, 10}, nullptr, 0), nullptr);
}

} // namespace
