#include "ContainerUI.h"
#include "DibSurface.h"
#include "GdiPainter.h"
#include "GuardedBuffer.h"
#include "ImageDescriptor.h"
#include "ImageDecoder.h"
#include "ImageDescriptorText.h"
#include "ImageEntry.h"
#include "ImageFiles.h"
#include "Mutators.h"
#include "RobustnessRun.h"
#include "TestFiles.h"
#include "TestWindow.h"
#include "WindowManagerUI.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <new>
#include <random>
#include <string>
#include <vector>

using namespace SkinUI;
using namespace SkinUI::Testing;

// Thousands of damaged image descriptors, attribute lists, marked-up texts and pictures go
// through the parsers, the decoder, the painter and the control base, shapes of absurd size
// among them (fonts, corners, borders and controls larger than any screen, long text in a
// narrow rectangle). Every input text, and the link slots of the markup, end where an
// inaccessible page begins, so a read or write behind them fails the run at once. Seeds are
// fixed: a failure reproduces. RobustnessRun tells how to make a run longer.
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

class PainterRobustness : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CWindowManagerUI::SetResourcePath(ImageFixtureFolder().c_str());
        m_window->Manager().AddFont(0, L"Tahoma", 12, false, false, false);
    }

    // Images and fonts that damaged texts name stay in the window's tables until the window
    // goes: a new window now and then keeps a long run's tables as small as a window's life
    // makes them, so that the memory the run reports is what the painting itself keeps.
    bool RenewWindowNowAndThen(int input)
    {
        if (input % 500 != 499)
            return false;
        m_window = std::make_unique<TestWindow>(120, 80);
        m_window->Manager().AddFont(0, L"Tahoma", 12, false, false, false);
        return true;
    }

    std::unique_ptr<TestWindow> m_window = std::make_unique<TestWindow>(120, 80);
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
    RobustnessRun run("image descriptors", kCpuBudget, kRuns);
    while (run.Next()) {
        RenewWindowNowAndThen(run.Index());
        const std::wstring text =
            mutator.Mutate(seeds[run.Index() % 4], L"='\" ,#0123456789abcdefx\t");
        GuardedText guarded(text);
        ImageDescriptor parsed;
        ImageDescriptorText::Parse(guarded.Get(), parsed);
        ImageDescriptor drawn;
        drawn.text = guarded.Get();
        CGdiPainter::DrawImageDescriptor(m_surface.Dc(), &m_window->Manager(), RECT{5, 5, 115, 75},
                                         m_surface.Bounds(), drawn);
    }
    EXPECT_GT(run.Count(), 500);
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
        // Corners, borders and sizes far beyond any screen, translucent colours over them.
        L"borderround=\"2147483647,100\" minwidth=\"2147483647\" minheight=\"99999999\" "
        L"bordersize=\"2147483647\" bordercolor=\"#FFFF0000\" bkcolor=\"#80FF0000\" "
        L"bkcolor2=\"#8000FF00\" bkcolor3=\"#800000FF\" focusbordercolor=\"#FF00FF00\" "
        L"bkimage=\"file='res\\grid.png' corner='2147483647,4,4,2147483647' xtiled='true' "
        L"ytiled='true'\" borderstyle=\"2\" padding=\"-2147483647,0,0,0\"",
    };
    TextMutator mutator(4242);
    auto *root = new CContainerUI;
    m_window->Attach(root);
    RobustnessRun run("attribute lists", kCpuBudget, kRuns);
    while (run.Next()) {
        if (RenewWindowNowAndThen(run.Index())) {
            root = new CContainerUI;
            m_window->Attach(root);
        }
        const std::wstring list =
            mutator.Mutate(seeds[run.Index() % 3], L"=\" ,#0123456789.-<>n\t");
        GuardedText guarded(list);
        auto *child = new CContainerUI;
        root->Add(child);
        child->SetAttributeList(guarded.Get());
        root->SetAttributeList(guarded.Get());
        root->SetPos(RECT{0, 0, 120, 80}, false);
        root->Paint(m_surface.Dc(), m_surface.Bounds(), nullptr);
        root->RemoveAll();
        root->SetVisible(true);
        // The manager deletes removed controls after the message at hand.
        TestWindow::PumpPending();
    }
    EXPECT_GT(run.Count(), 300);
}

// Every tag nested the given depth, each holding a word and the next.
std::wstring NestedMarkup(int depth)
{
    const wchar_t *const opening[] = {L"<a x>", L"{b}", L"{c #FF0000}", L"{f Tahoma 13}", L"{i}",
                                      L"{p 2}", L"{s}", L"{u}",         L"{v top}"};
    const wchar_t *const closing[] = {L"</a>", L"{/b}", L"{/c}", L"{/f}", L"{/i}",
                                      L"{/p}", L"{/s}", L"{/u}", L"{/v}"};
    std::wstring text;
    for (int i = 0; i < depth; ++i)
        text += std::wstring(opening[i % 9]) + L"ab ";
    for (int i = depth - 1; i >= 0; --i)
        text += std::wstring(closing[i % 9]) + L"cd ";
    return text;
}

std::wstring Repeated(const wchar_t *piece, int times)
{
    std::wstring text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

TEST_F(PainterRobustness, DamagedMarkupDrawsWithinItsLinkSlots)
{
    const std::wstring seeds[] = {
        L"plain {b}bold{/b} {c #FF0000}red{/c} <a one>link text</a>{n}{i}it{/i} {u}u{/u} "
        L"{f Tahoma 14 bold italic}f{/f}",
        L"<p 4>para <v center>{i res\\grid.png 2 1}</v> {x 10}{y 20}<s>sel</s></p><r><b>raw</r>",
        L"<a first>aaaa bbbb cccc dddd eeee ffff</a> <{> {<} %{1} 卸载完成 \U0001D11E end",
        // Absurd fonts and line heights, and a long run for narrow rectangles.
        L"{f Tahoma 99999}big{/f} {f Tahoma -66233 bold}small{/f} {y 5}{y 2147483647}"
        L"{x -2147483647}{p 2147483647}p{/p}%{2}%{2}%{2}" +
            std::wstring(600, L'w'),
        // Hostile lengths: tags nested far past the nesting bound, a word of thousands of
        // characters among thousands of language tokens, a link whose long name wraps.
        NestedMarkup(300),
        std::wstring(3000, L'w') + Repeated(L"%{4}%{2} 100% ", 300) + L"%{1}",
        L"<a " + std::wstring(1000, L'n') + L">" + Repeated(L"ab cd ", 300) + L"</a>{r}" +
            std::wstring(1000, L'r') + L"{/r}",
    };
    const int seedCount = static_cast<int>(sizeof(seeds) / sizeof(seeds[0]));
    CWindowManagerUI::AddLanguageString(1, L"token %{1}");
    CWindowManagerUI::AddLanguageString(2, L"honest");
    CWindowManagerUI::AddLanguageString(4, L"100%");
    const UINT formats[] = {DT_SINGLELINE,
                            DT_WORDBREAK,
                            DT_WORDBREAK | DT_END_ELLIPSIS,
                            DT_SINGLELINE | DT_END_ELLIPSIS | DT_CENTER | DT_VCENTER,
                            DT_CALCRECT | DT_WORDBREAK,
                            DT_RIGHT | DT_BOTTOM};
    TextMutator mutator(777);
    RobustnessRun run("markup", kCpuBudget, kRuns);
    while (run.Next()) {
        const int runs = run.Index();
        RenewWindowNowAndThen(runs);
        const std::wstring text =
            mutator.Mutate(seeds[runs % seedCount], L"<>{}/abcfinprsuvxy #0123 ");
        GuardedText guarded(text);
        const int capacity = static_cast<int>(runs % 3);
        GuardedBuffer linkMemory(sizeof(RECT) * 2);
        GuardedBuffer nameMemory(sizeof(CWideString) * 2);
        RECT *links = reinterpret_cast<RECT *>(linkMemory.Data() + sizeof(RECT) * (2 - capacity));
        auto *names = reinterpret_cast<CWideString *>(nameMemory.Data() +
                                                      sizeof(CWideString) * (2 - capacity));
        for (int i = 0; i < capacity; ++i)
            new (&names[i]) CWideString;
        // Widths from one pixel on.
        RECT rect = {2, 2, 3 + static_cast<int>(runs % 90), 78};
        int count = capacity;
        CGdiPainter::DrawHtmlText(m_surface.Dc(), &m_window->Manager(), rect, guarded.Get(),
                                  0xFF000000, links, names, count, 0, formats[runs % 6]);
        ASSERT_LE(count, capacity);
        ASSERT_GE(count, 0);
        for (int i = 0; i < capacity; ++i)
            names[i].~CWideString();
    }
    EXPECT_GT(run.Count(), 300);
}

// Damaged and cut pictures of every format the framework decodes, and of formats it no
// longer decodes, go through the decoder and, when they decode, the nine-grid drawing.
TEST_F(PainterRobustness, DamagedPicturesOfEveryFormatDecodeAndDrawSafely)
{
    const wchar_t *const names[] = {L"grid.png", L"grid.jpg",    L"grid.bmp", L"grid.gif",
                                    L"half.png", L"grid.tga",    L"grid.ppm", L"truncated.hdr",
                                    L"huge.gif", L"too-many.png"};
    std::vector<std::vector<uint8_t>> originals;
    for (const wchar_t *name : names) {
        originals.push_back(ReadWholeFile(ImageFixture(std::wstring(L"res\\") + name)));
        ASSERT_FALSE(originals.back().empty()) << "missing picture";
    }
    ByteMutator mutator(20261211);
    RobustnessRun run("pictures", kCpuBudget, 4 * kRuns);
    int decoded = 0;
    while (run.Next()) {
        const std::vector<uint8_t> &original = originals[run.Index() % originals.size()];
        // Every other input is only cut, anywhere; the rest is damaged as well.
        const std::vector<uint8_t> bytes =
            run.Index() % 2 == 0
                ? std::vector<uint8_t>(original.begin(),
                                       original.begin() + mutator.Next(original.size()))
                : mutator.Mutate(original, "\x00\xFF\x7F\x80\x21\x2C\x3B");
        GuardedBuffer input(bytes);
        std::unique_ptr<ImageEntry, void (*)(ImageEntry *)> image(
            ImageDecoder::Decode(input.Data(), input.Size(), run.Index() % 3 == 0 ? 0xFF000000 : 0),
            [](ImageEntry *entry) { CGdiPainter::FreeImage(entry); });
        if (image == nullptr)
            continue;
        ASSERT_TRUE(ImageDecoder::Decodes(input.Data(), input.Size()));
        ++decoded;
        const RECT source = {0, 0, image->width, image->height};
        const RECT corner = {1, 1, 1, 1};
        CGdiPainter::DrawImage(m_surface.Dc(), image->bitmap, RECT{3, 3, 117, 77},
                               m_surface.Bounds(), source, corner, image->hasAlpha, 200, false,
                               true, run.Index() % 2 == 0);
    }
    EXPECT_GT(run.Count(), 1000);
    EXPECT_GT(decoded, 100) << "some damaged pictures still decode, and are drawn";
}

} // namespace
