#include "ContainerUI.h"
#include "DibSurface.h"
#include "GdiPainter.h"
#include "GuardedBuffer.h"
#include "ImageDescriptor.h"
#include "ImageDescriptorText.h"
#include "ImageFiles.h"
#include "Mutators.h"
#include "TestWindow.h"
#include "WindowManagerUI.h"

#include <gtest/gtest.h>

#include <chrono>
#include <new>
#include <random>
#include <string>
#include <vector>

using namespace SkinUI;
using namespace SkinUI::Testing;

// Thousands of damaged image descriptors, attribute lists and marked-up texts go through the
// parsers, the painter and the control base. Every input text, and the link slots of the
// markup, end where an inaccessible page begins, so a read or write behind them fails the
// run at once. Seeds are fixed: a failure reproduces.
namespace {

const auto kCpuBudget = std::chrono::seconds(30);
const int kRuns = 3000;

// The text with its terminator, ending at the guard page.
class GuardedText
{
public:
    explicit GuardedText(const std::wstring &text) : m_buffer((text.size() + 1) * sizeof(wchar_t))
    {
        memcpy(m_buffer.Data(), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    }
    const wchar_t *Get() const { return reinterpret_cast<const wchar_t *>(m_buffer.Data()); }

private:
    GuardedBuffer m_buffer;
};

bool InTime(int runs, const CpuBudget &budget)
{
    return runs < kRuns && budget.Left();
}

class PainterRobustness : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CWindowManagerUI::SetResourcePath(ImageFixtureFolder().c_str());
        m_window.Manager().AddFont(0, L"Tahoma", 12, false, false, false);
    }

    TestWindow m_window{120, 80};
    DibSurface m_surface{120, 80};
};

TEST_F(PainterRobustness, DamagedImageDescriptorsParseAndDrawSafely)
{
    const std::wstring seeds[] = {
        L"file='res\\grid.png' corner='4,4,4,4' source='0,0,12,12' dest='2,2,100,60' fade='200' "
        L"hole='false' xtiled='true' ytiled='true'",
        L"res='GRID' restype='PNG' mask='#FFFF00FF' scale9='1,2,3,4' hsl='true'",
        L"color='#80FF0000' dest='0,0,50,50'",
        L"res\\half.png",
    };
    TextMutator mutator(20261210);
    const CpuBudget budget(kCpuBudget);
    int runs = 0;
    for (; InTime(runs, budget); ++runs) {
        const std::wstring text = mutator.Mutate(seeds[runs % 4], L"='\" ,#0123456789abcdefx\t");
        GuardedText guarded(text);
        ImageDescriptor parsed;
        ImageDescriptorText::Parse(guarded.Get(), parsed);
        ImageDescriptor drawn;
        drawn.text = guarded.Get();
        CGdiPainter::DrawImageDescriptor(m_surface.Dc(), &m_window.Manager(), RECT{5, 5, 115, 75},
                                         m_surface.Bounds(), drawn);
    }
    EXPECT_GT(runs, 500);
}

TEST_F(PainterRobustness, DamagedAttributeListsApplySafely)
{
    const std::wstring seeds[] = {
        L"pos=\"10,10,110,40\" padding=\"1,2,3,4\" bkcolor=\"#FF00FF00\" bkcolor2=\"#80FF0000\" "
        L"bkcolor3=\"#FF0000FF\" bordersize=\"1,2,3,4\" bordercolor=\"#FFFF0000\" "
        L"borderround=\"6,6\" float=\"0.5,0,0.5,0\" name=\"probe\" text=\"t\" tooltip=\"a<n>b\"",
        L"width=\"40\" height=\"20\" minwidth=\"5\" maxwidth=\"500\" "
        L"bkimage=\"file='res\\grid.png' "
        L"corner='4,4,4,4'\" visible=\"true\" enabled=\"false\" shortcut=\"x\" tag=\"7\" "
        L"inset=\"1,1,1,1\" childpadding=\"3\" childalign=\"center\" mousechild=\"false\"",
    };
    TextMutator mutator(4242);
    auto *root = new CContainerUI;
    m_window.Attach(root);
    const CpuBudget budget(kCpuBudget);
    int runs = 0;
    for (; InTime(runs, budget); ++runs) {
        const std::wstring list = mutator.Mutate(seeds[runs % 2], L"=\" ,#0123456789.-<>n\t");
        GuardedText guarded(list);
        auto *child = new CContainerUI;
        root->Add(child);
        child->SetAttributeList(guarded.Get());
        root->SetAttributeList(guarded.Get());
        root->SetPos(RECT{0, 0, 120, 80}, false);
        root->Paint(m_surface.Dc(), m_surface.Bounds(), nullptr);
        root->RemoveAll();
        root->SetVisible(true);
    }
    EXPECT_GT(runs, 300);
}

TEST_F(PainterRobustness, DamagedMarkupDrawsWithinItsLinkSlots)
{
    const std::wstring seeds[] = {
        L"plain {b}bold{/b} {c #FF0000}red{/c} <a one>link text</a>{n}{i}it{/i} {u}u{/u} "
        L"{f Tahoma 14 bold italic}f{/f}",
        L"<p 4>para <v center>{i res\\grid.png 2 1}</v> {x 10}{y 20}<s>sel</s></p><r><b>raw</r>",
        L"<a first>aaaa bbbb cccc dddd eeee ffff</a> <{> {<} %{1} 卸载完成 \U0001D11E end",
    };
    CWindowManagerUI::AddLanguageString(1, L"token %{1}");
    const UINT formats[] = {DT_SINGLELINE,
                            DT_WORDBREAK,
                            DT_WORDBREAK | DT_END_ELLIPSIS,
                            DT_SINGLELINE | DT_END_ELLIPSIS | DT_CENTER | DT_VCENTER,
                            DT_CALCRECT | DT_WORDBREAK,
                            DT_RIGHT | DT_BOTTOM};
    TextMutator mutator(777);
    const CpuBudget budget(kCpuBudget);
    int runs = 0;
    for (; InTime(runs, budget); ++runs) {
        const std::wstring text = mutator.Mutate(seeds[runs % 3], L"<>{}/abcfinprsuvxy #0123 ");
        GuardedText guarded(text);
        const int capacity = static_cast<int>(runs % 3);
        GuardedBuffer linkMemory(sizeof(RECT) * 2);
        GuardedBuffer nameMemory(sizeof(CWideString) * 2);
        RECT *links = reinterpret_cast<RECT *>(linkMemory.Data() + sizeof(RECT) * (2 - capacity));
        auto *names = reinterpret_cast<CWideString *>(nameMemory.Data() +
                                                      sizeof(CWideString) * (2 - capacity));
        for (int i = 0; i < capacity; ++i)
            new (&names[i]) CWideString;
        RECT rect = {2, 2, 30 + static_cast<int>(runs % 90), 78};
        int count = capacity;
        CGdiPainter::DrawHtmlText(m_surface.Dc(), &m_window.Manager(), rect, guarded.Get(),
                                  0xFF000000, links, names, count, 0, formats[runs % 6]);
        ASSERT_LE(count, capacity);
        ASSERT_GE(count, 0);
        for (int i = 0; i < capacity; ++i)
            names[i].~CWideString();
    }
    EXPECT_GT(runs, 300);
}

} // namespace
