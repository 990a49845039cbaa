// The list family at scale: a step of selecting, scrolling and expanding in a list and a
// tree view of 100 and of 10,000 items, each step with the window's repaint, timed and
// printed side by side (the median and the slowest step) so that the growth shows; then the
// build of 10,000 items from a skin and in code, in processor time. Each line carries the
// machine's load as it ended. Ends with 1 when a step at 10,000 items takes more than 50 ms
// typically (median) or 100 ms at worst, a build takes more than a second of processor time,
// or a step did not do what it stands for. Runs under Wine through scripts/bench-lists.sh.

#include "CheckBoxUI.h"
#include "ContainerUI.h"
#include "LargeLists.h"
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
const int kFolderSize = 100;
const double kMedianLimitMs = 50.0;
const double kSlowestLimitMs = 100.0;
const double kBuildLimitMs = 1000.0;
const int kRepetitions = 15;

double NowMs()
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The machine's load average over the last minute, which Wine reads from Linux's own file.
std::string Load()
{
    char text[64] = {};
    if (FILE *file = std::fopen("Z:\\proc\\loadavg", "r")) {
        if (std::fscanf(file, "%63s", text) != 1)
            text[0] = '\0';
        std::fclose(file);
    }
    return text[0] != '\0' ? text : "?";
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

int Paints(const TestWindow &window)
{
    return static_cast<int>(
        std::count(window.seenMessages.begin(), window.seenMessages.end(), WM_PAINT));
}

// One untimed step first, so that what the first step of a window pays once (fonts, the
// offscreen bitmap) is not counted.
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

struct Row
{
    const char *what;
    Timing small;
    Timing large;
    std::string load;
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

// A folder of 99 nodes collapsed and expanded in turn: far down the tree, or near its top,
// where every row below it moves.
Timing ToggleFolder(TestWindow &window, CTreeNodeUI *folder)
{
    CCheckBoxUI *button = folder->GetFolderButton();
    bool shown = folder->GetChildNode(0)->IsVisible();
    int turns = 0;
    Timing timing = TimeStep(window, [&](int) {
        button->SetSelected(!button->IsSelected(), true);
        const bool nowShown = folder->GetChildNode(0)->IsVisible();
        turns += nowShown != shown ? 1 : 0;
        shown = nowShown;
    });
    timing.acted = turns == kRepetitions + 1;
    return timing;
}

Timing MeasureTree(int count, const std::string &what)
{
    TestWindow window(400, 400);
    CTreeViewUI *tree = NewTree(count, kFolderSize);
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
    } else if (what == "tree expand") {
        timing =
            ToggleFolder(window, static_cast<CTreeNodeUI *>(tree->GetItemAt(count - kFolderSize)));
    } else {
        timing = ToggleFolder(window, static_cast<CTreeNodeUI *>(tree->GetItemAt(0)));
    }
    return timing;
}

// ---- Builds ----

struct Build
{
    const char *what;
    std::function<void(TestWindow &)> run;
    // Items inserted before the others: each insertion renumbers the items after it, so the
    // time grows with the square of the items, and no bound is set.
    bool renumbers;
};

struct BuildRow
{
    const char *what;
    double cpuMs;
    double wallMs;
    int items;
    std::string load;
    bool renumbers;
};

int ItemCount(TestWindow &window)
{
    CControlUI *root = window.Manager().GetRoot();
    auto *owner =
        root != nullptr ? static_cast<IContainerUI *>(root->GetInterface(L"IContainer")) : nullptr;
    return owner != nullptr ? owner->GetCount() : 0;
}

// The build and the first layout and paint of the window.
BuildRow MeasureBuild(const Build &build)
{
    TestWindow window(400, 400);
    const double cpuStart = ThreadCpuMs();
    const double start = NowMs();
    build.run(window);
    window.PaintWindow();
    return BuildRow{build.what, ThreadCpuMs() - cpuStart, NowMs() - start, ItemCount(window),
                    Load(),     build.renumbers};
}

std::vector<BuildRow> MeasureBuilds()
{
    const std::wstring listSkin = ItemsSkin(L"List", L"ListLabelElement", kLarge);
    const std::wstring comboSkin = ItemsSkin(L"Combo", L"ListLabelElement", kLarge);
    const std::wstring treeSkin = TreeSkin(kLarge, kFolderSize);
    auto listInCode = [](bool first) {
        return [first](TestWindow &w) {
            auto *list = new CListUI;
            w.Attach(list);
            for (int i = 0; i < kLarge; ++i) {
                auto *item = new CListLabelElementUI;
                item->SetText((L"item " + std::to_wstring(i)).c_str());
                if (first)
                    list->AddAt(item, 0);
                else
                    list->Add(item);
            }
        };
    };
    const Build builds[] = {
        {"list skin", [&](TestWindow &w) { w.AttachSkin(listSkin.c_str()); }, false},
        {"combo skin", [&](TestWindow &w) { w.AttachSkin(comboSkin.c_str()); }, false},
        {"tree skin", [&](TestWindow &w) { w.AttachSkin(treeSkin.c_str()); }, false},
        {"list code", listInCode(false), false},
        {"tree code", [](TestWindow &w) { w.Attach(NewTree(kLarge, kFolderSize)); }, false},
        {"list first", listInCode(true), true},
        // The folders first, then their nodes in turns, each node before the next folder.
        {"tree folders",
         [](TestWindow &w) {
             auto *tree = new CTreeViewUI;
             w.Attach(tree);
             std::vector<CTreeNodeUI *> folders;
             for (int i = 0; i < kLarge / kFolderSize; ++i) {
                 folders.push_back(NewNode(L"folder"));
                 tree->Add(folders.back());
             }
             for (int i = static_cast<int>(folders.size()); i < kLarge; ++i)
                 folders[static_cast<size_t>(i) % folders.size()]->Add(NewNode(L"node"));
         },
         true},
    };
    std::vector<BuildRow> rows;
    for (const Build &build : builds)
        rows.push_back(MeasureBuild(build));
    return rows;
}

} // namespace

int main()
{
    // A whole run first, unmeasured: what the first window of the program pays once.
    MeasureList(kSmall, "list select");
    std::vector<Row> rows;
    for (const char *what : {"list select", "list jump", "list scroll", "list expand"}) {
        const Timing small = MeasureList(kSmall, what);
        const Timing large = MeasureList(kLarge, what);
        rows.push_back(Row{what, small, large, Load()});
    }
    for (const char *what : {"tree select", "tree scroll", "tree expand", "tree expand top"}) {
        const Timing small = MeasureTree(kSmall, what);
        const Timing large = MeasureTree(kLarge, what);
        rows.push_back(Row{what, small, large, Load()});
    }

    std::printf("%-15s %22s %22s %8s %6s\n", "step", "100 items ms", "10000 items ms", "growth",
                "load");
    std::printf("%-15s %11s %10s %11s %10s\n", "", "median", "slowest", "median", "slowest");
    int missed = 0;
    for (const Row &row : rows) {
        std::printf("%-15s %11.2f %10.2f %11.2f %10.2f %7.1fx %6s\n", row.what, row.small.median,
                    row.small.slowest, row.large.median, row.large.slowest,
                    row.small.median > 0.0 ? row.large.median / row.small.median : 0.0,
                    row.load.c_str());
        if (row.large.median > kMedianLimitMs || row.large.slowest > kSlowestLimitMs)
            ++missed;
        const bool sound =
            row.small.painted && row.small.acted && row.large.painted && row.large.acted;
        if (!sound) {
            std::printf("%-15s did not do what it stands for\n", row.what);
            ++missed;
        }
    }
    std::printf("%d steps each, with the repaint; at 10000 items a median under %.0f ms and a "
                "slowest step under %.0f ms\n\n",
                kRepetitions, kMedianLimitMs, kSlowestLimitMs);
    std::fflush(stdout);

    std::printf("%-15s %7s %9s %9s %6s\n", "build", "items", "cpu ms", "wall ms", "load");
    for (const BuildRow &row : MeasureBuilds()) {
        std::printf("%-15s %7d %9.0f %9.0f %6s%s\n", row.what, row.items, row.cpuMs, row.wallMs,
                    row.load.c_str(), row.renumbers ? "  (inserted before others)" : "");
        if ((!row.renumbers && row.cpuMs > kBuildLimitMs) || row.items < kLarge - 1)
            ++missed;
    }
    std::printf("built with the first layout and paint; a skin makes at most 10000 controls, "
                "the owner one of them; each build under %.0f ms of processor time, but for "
                "items inserted before others, which renumbers the items after them\n",
                kBuildLimitMs);
    std::printf("%s\n", missed ? "MISSED" : "ok");
    std::fflush(stdout);
    return missed ? 1 : 0;
}
