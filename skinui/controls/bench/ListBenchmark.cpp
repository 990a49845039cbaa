// The list family at scale: a step of selecting, scrolling and expanding in a list and a
// tree view of 100 and of 10,000 items, each step with the window's repaint, timed and
// printed side by side so that the growth shows. Ends with 1 when the typical (median) step of
// the large ones takes 50 ms or more, or when a step did not do what it stands for. Runs under
// Wine through scripts/bench-lists.sh.

#include "CheckBoxUI.h"
#include "ListContainerElementUI.h"
#include "ListLabelElementUI.h"
#include "ListUI.h"
#include "TestWindow.h"
#include "TreeNodeUI.h"
#include "TreeViewUI.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace SkinUI;
using namespace SkinUI::Testing;

namespace {

const int kSmall = 100;
const int kLarge = 10000;
const double kStepLimitMs = 50.0;
const int kRepetitions = 15;

double NowMs()
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The times of the repetitions of one step, each with the window's repaint, and whether the
// steps did what they stand for (a step that does nothing would be timed as fast).
struct Timing
{
    double median = 0.0;
    double slowest = 0.0;
    bool painted = false; // every step was painted
    bool acted = false;
};

void Repaint(TestWindow &window)
{
    InvalidateRect(window.Handle(), nullptr, FALSE);
    UpdateWindow(window.Handle());
}

// One untimed step first, so that what the first step of a window pays once (fonts, the
// offscreen bitmap) is not counted.
int Paints(const TestWindow &window)
{
    return static_cast<int>(
        std::count(window.seenMessages.begin(), window.seenMessages.end(), WM_PAINT));
}

Timing TimeStep(TestWindow &window, const std::function<void(int)> &step)
{
    const int paintsBefore = Paints(window);
    step(0);
    Repaint(window);
    std::vector<double> times;
    for (int i = 1; i <= kRepetitions; ++i) {
        const double start = NowMs();
        step(i);
        Repaint(window);
        times.push_back(NowMs() - start);
    }
    std::sort(times.begin(), times.end());
    return Timing{times[times.size() / 2], times.back(),
                  Paints(window) - paintsBefore == kRepetitions + 1, false};
}

CListUI *NewList(int count, bool expandable)
{
    auto *list = new CListUI;
    list->SetAttributeList(L"header=\"hidden\" itemheight=\"20\" vscrollbar=\"true\" "
                           L"itemaltbk=\"true\" itemhlinesize=\"1\"");
    for (int i = 0; i < count; ++i) {
        if (expandable) {
            auto *element = new CListContainerElementUI;
            element->SetAttribute(L"expandable", L"true");
            list->Add(element);
        } else {
            auto *label = new CListLabelElementUI;
            label->SetText((L"item " + std::to_wstring(i)).c_str());
            list->Add(label);
        }
    }
    return list;
}

// Folders of 99 nodes under one top node each, one folder per hundred nodes.
CTreeViewUI *NewTree(int count)
{
    auto *tree = new CTreeViewUI;
    tree->SetAttribute(L"vscrollbar", L"true");
    for (int made = 0; made < count;) {
        auto *folder = new CTreeNodeUI;
        folder->SetAttribute(L"text", L"folder");
        ++made;
        for (int i = 1; i < 100 && made < count; ++i, ++made) {
            auto *leaf = new CTreeNodeUI;
            leaf->SetAttribute(L"text", (L"node " + std::to_wstring(made)).c_str());
            folder->Add(leaf);
        }
        tree->Add(folder);
    }
    return tree;
}

struct Row
{
    const char *what;
    Timing small;
    Timing large;
};

Timing MeasureList(int count, const std::string &what)
{
    TestWindow window(400, 400);
    CListUI *list = NewList(count, what == "list expand");
    window.Attach(list);
    window.PaintWindow();
    list->SetFocus();
    Timing timing;
    if (what == "list select") {
        timing = TimeStep(window, [&](int i) { window.KeyDown(i % 4 == 3 ? VK_END : VK_DOWN); });
        timing.acted = list->GetCurSel() == count - 1;
    } else if (what == "list jump") {
        timing = TimeStep(window, [&](int i) { window.KeyDown(i % 2 ? VK_HOME : VK_END); });
        timing.acted = list->GetCurSel() == (kRepetitions % 2 ? 0 : count - 1);
    } else if (what == "list scroll") {
        timing = TimeStep(window, [&](int i) {
            if (i % 2)
                window.KeyDown(VK_NEXT);
            else
                window.Wheel(50, 50, -WHEEL_DELTA);
        });
        timing.acted = list->GetScrollPos().cy > 0;
    } else {
        const int spacing = count / (kRepetitions + 1);
        timing = TimeStep(window, [&](int i) { list->ExpandItem(i * spacing); });
        timing.acted = list->GetExpandedItem() == kRepetitions * spacing;
    }
    return timing;
}

Timing MeasureTree(int count, const std::string &what)
{
    TestWindow window(400, 400);
    CTreeViewUI *tree = NewTree(count);
    window.Attach(tree);
    window.PaintWindow();
    tree->SetFocus();
    Timing timing;
    if (what == "tree select") {
        timing = TimeStep(window, [&](int i) { window.KeyDown(i % 4 == 3 ? VK_END : VK_DOWN); });
        timing.acted = tree->GetCurSel() == count - 1;
    } else if (what == "tree scroll") {
        timing = TimeStep(window, [&](int) { window.Wheel(50, 50, -WHEEL_DELTA); });
        timing.acted = tree->GetScrollPos().cy > 0;
    } else {
        // A folder of 99 nodes collapsed and expanded in turn, far down the tree.
        auto *folder = static_cast<CTreeNodeUI *>(tree->GetItemAt(count - kSmall));
        CCheckBoxUI *button = folder->GetFolderButton();
        bool shown = folder->GetChildNode(0)->IsVisible();
        int turns = 0;
        timing = TimeStep(window, [&](int) {
            button->SetSelected(!button->IsSelected(), true);
            const bool nowShown = folder->GetChildNode(0)->IsVisible();
            turns += nowShown != shown ? 1 : 0;
            shown = nowShown;
        });
        timing.acted = turns == kRepetitions + 1;
    }
    return timing;
}

} // namespace

int main()
{
    // A whole run first, unmeasured: what the first window of the program pays once.
    MeasureList(kSmall, "list select");
    std::vector<Row> rows;
    for (const char *what : {"list select", "list jump", "list scroll", "list expand"})
        rows.push_back(Row{what, MeasureList(kSmall, what), MeasureList(kLarge, what)});
    for (const char *what : {"tree select", "tree scroll", "tree expand"})
        rows.push_back(Row{what, MeasureTree(kSmall, what), MeasureTree(kLarge, what)});

    std::printf("%-12s %22s %22s %8s\n", "step", "100 items ms", "10000 items ms", "growth");
    std::printf("%-12s %11s %10s %11s %10s\n", "", "median", "slowest", "median", "slowest");
    int missed = 0;
    for (const Row &row : rows) {
        std::printf("%-12s %11.2f %10.2f %11.2f %10.2f %7.1fx\n", row.what, row.small.median,
                    row.small.slowest, row.large.median, row.large.slowest,
                    row.small.median > 0.0 ? row.large.median / row.small.median : 0.0);
        if (row.large.median >= kStepLimitMs)
            ++missed;
        const bool sound =
            row.small.painted && row.small.acted && row.large.painted && row.large.acted;
        if (!sound) {
            std::printf("%-12s did not do what it stands for\n", row.what);
            ++missed;
        }
    }
    std::printf("%d steps each, with the repaint; a step at 10000 items under %.0f ms: %s\n",
                kRepetitions, kStepLimitMs, missed ? "MISSED" : "ok");
    std::fflush(stdout);
    return missed ? 1 : 0;
}
