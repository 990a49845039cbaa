#include "BuildLimits.h"
#include "ChildLayoutUI.h"
#include "ContainerUI.h"
#include "DialogBuilder.h"
#include "TestWindow.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

using namespace SkinUI;
using namespace SkinUI::Testing;

// No skin may make a build overflow the stack or go on without end: controls nest no
// deeper than the build's depth bound, whether through one document, included documents
// or child layouts, and one build makes a bounded number of controls and reads a bounded
// number of documents. The deep trees are built, bound, laid out, painted, clicked and
// deleted on a thread with the program's default stack.
namespace {

const DWORD kSafetyNetMs = 120000;
const unsigned char kStackPattern = 0xA5;

// A folder of skin files of the test's own in the temp folder, the skin source while the
// folder lives.
class SkinFolder
{
public:
    SkinFolder()
    {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        m_path =
            std::wstring(temp) + L"skinui-limits-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(m_path.c_str(), nullptr);
        CWindowManagerUI::SetResourcePackageFile(L"", false);
        CWindowManagerUI::SetResourcePath(m_path.c_str());
    }
    SkinFolder(const SkinFolder &) = delete;
    SkinFolder &operator=(const SkinFolder &) = delete;
    ~SkinFolder()
    {
        for (const std::wstring &name : m_files)
            DeleteFileW((m_path + name).c_str());
        RemoveDirectoryW(m_path.c_str());
    }

    void Write(const std::wstring &name, const std::wstring &skin)
    {
        std::string bytes(skin.begin(), skin.end()); // the skins are plain ASCII
        HANDLE file = CreateFileW((m_path + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
        m_files.push_back(name);
    }

private:
    std::wstring m_path;
    std::vector<std::wstring> m_files;
};

// Levels of vertical layouts, one inside the other, around the innermost markup.
std::wstring Nested(int levels, const std::wstring &innermost)
{
    std::wstring markup;
    for (int i = 0; i < levels; ++i)
        markup += L"<VerticalLayout>";
    markup += innermost;
    for (int i = 0; i < levels; ++i)
        markup += L"</VerticalLayout>";
    return markup;
}

std::wstring Window(const std::wstring &content)
{
    return L"<Window>" + content + L"</Window>";
}

// Levels of controls from this one down through the first children, the way the chains of
// these tests nest.
int TreeDepth(CControlUI *control)
{
    int depth = 0;
    while (control) {
        ++depth;
        // A child layout holds its built tree but does not say it is a container.
        auto *container = control->GetInterface(L"ChildLayout")
                              ? static_cast<CChildLayoutUI *>(control)
                              : static_cast<IContainerUI *>(control->GetInterface(L"IContainer"));
        control = container ? container->GetItemAt(0) : nullptr;
    }
    return depth;
}

struct StackRun
{
    bool finished = false;
    size_t peak = 0; // bytes of stack the work used, at least
    size_t reserve = 0;
};

struct StackRunData
{
    std::function<void()> work;
    size_t peak = 0;
};

// The pages of this thread's stack in use so far: the committed run from just above the guard
// page up to the stack's base.
void CommittedStack(unsigned char **low, unsigned char **base)
{
    MEMORY_BASIC_INFORMATION region = {};
    VirtualQuery(__builtin_frame_address(0), &region, sizeof(region));
    auto *address = static_cast<unsigned char *>(region.AllocationBase);
    while (VirtualQuery(address, &region, sizeof(region)) != 0) {
        if (region.State == MEM_COMMIT && region.Protect == PAGE_READWRITE) {
            *low = address;
            *base = address + region.RegionSize;
            return;
        }
        address += region.RegionSize;
    }
}

// Lays a pattern over the unused stack below the caller and, after the work, finds how far
// down it was overwritten.
DWORD WINAPI RunMeasured(void *parameter)
{
    auto *data = static_cast<StackRunData *>(parameter);
    unsigned char *low = nullptr;
    unsigned char *base = nullptr;
    CommittedStack(&low, &base);
    unsigned char *top = static_cast<unsigned char *>(__builtin_frame_address(0)) - 4096;
    if (top > low)
        std::memset(low, kStackPattern, static_cast<size_t>(top - low));
    data->work();
    unsigned char *lowestUsed = top;
    for (unsigned char *p = low; p < top; ++p) {
        if (*p != kStackPattern) {
            lowestUsed = p;
            break;
        }
    }
    data->peak = static_cast<size_t>(base - lowestUsed);
    return 0;
}

size_t DefaultStackReserve()
{
    auto *module = reinterpret_cast<const unsigned char *>(GetModuleHandleW(nullptr));
    auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(module);
    auto *headers = reinterpret_cast<const IMAGE_NT_HEADERS *>(module + dos->e_lfanew);
    return static_cast<size_t>(headers->OptionalHeader.SizeOfStackReserve);
}

// Runs the work on a new thread with the program's default stack and waits for it to end;
// the wait's bound is a safety net only.
StackRun RunOnDefaultStack(std::function<void()> work)
{
    StackRunData data{std::move(work)};
    StackRun run;
    run.reserve = DefaultStackReserve();
    HANDLE thread = CreateThread(nullptr, 0, RunMeasured, &data, 0, nullptr);
    if (!thread)
        return run;
    run.finished = WaitForSingleObject(thread, kSafetyNetMs) == WAIT_OBJECT_0;
    CloseHandle(thread);
    run.peak = data.peak;
    return run;
}

// Builds the skin into a window, lays it out, paints it, clicks and tabs through it and
// deletes it again; gives the depth of the built tree.
int BuildAndUse(const std::wstring &skin)
{
    TestWindow window{120, 90};
    CControlUI *root = window.AttachSkin(skin.c_str());
    window.Show();
    window.PaintWindow();
    window.Click(5, 5);
    window.Manager().MoveFocusToNextTabStop(true);
    window.PumpPending();
    return TreeDepth(root);
}

} // namespace

TEST(DialogBuilderLimits, ControlsNestNoDeeperThanTheBoundAcrossIncludes)
{
    SkinFolder folder;
    const int outerLevels = 200;
    folder.Write(L"outer.xml", Window(Nested(outerLevels, L"<Include source=\"inner.xml\"/>")));
    for (int beyond : {0, 1}) {
        SCOPED_TRACE(beyond ? "one level past the bound" : "at the bound");
        const int innerLevels = CBuildLimits::kMaxDepth - outerLevels - 1 + beyond;
        folder.Write(L"inner.xml", Window(Nested(innerLevels, L"<Label/>")));
        int depth = 0;
        StackRun run = RunOnDefaultStack([&] { depth = BuildAndUse(L"outer.xml"); });
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(CBuildLimits::kMaxDepth, depth);
        EXPECT_LT(run.peak, run.reserve / 2) << "the deepest tree leaves half the stack free";
        std::cout << "stack used at depth " << depth << ": " << run.peak << " of " << run.reserve
                  << " bytes\n";
    }
}

TEST(DialogBuilderLimits, ChildLayoutsBuiltInsideOneAnotherShareTheDepthBound)
{
    SkinFolder folder;
    folder.Write(L"chain.xml", Window(Nested(100, L"<ChildLayout xmlfile=\"chain.xml\"/>")));
    int depth = 0;
    StackRun run = RunOnDefaultStack([&] { depth = BuildAndUse(L"chain.xml"); });
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(CBuildLimits::kMaxDepth, depth);
}

// Child layouts in the tree that were filled with a built tree.
int FilledChildLayouts(CControlUI *control)
{
    int filled = 0;
    control->FindControl(
        [](CControlUI *visited, void *data) -> CControlUI * {
            if (visited->GetInterface(L"ChildLayout") &&
                static_cast<CChildLayoutUI *>(visited)->GetCount() > 0)
                ++*static_cast<int *>(data);
            return nullptr;
        },
        &filled, 0);
    return filled;
}

TEST(DialogBuilderLimits, ChildLayoutsThatBuildThemselvesOftenReadABoundedNumberOfDocuments)
{
    SkinFolder folder;
    std::wstring tenTimes;
    for (int i = 0; i < 10; ++i)
        tenTimes += L"<ChildLayout xmlfile=\"fanout.xml\"/>";
    folder.Write(L"fanout.xml", Window(L"<HorizontalLayout>" + tenTimes + L"</HorizontalLayout>"));
    int filled = -1;
    StackRun run = RunOnDefaultStack([&] {
        TestWindow window;
        CControlUI *root = window.AttachSkin(L"fanout.xml");
        filled = FilledChildLayouts(root);
    });
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(CBuildLimits::kMaxIncludes, filled);
}

int ChildCount(CControlUI *control)
{
    return static_cast<IContainerUI *>(control->GetInterface(L"IContainer"))->GetCount();
}

TEST(DialogBuilderLimits, IncludesStopAtAMissingSourceAndABuildAtItsBounds)
{
    SkinFolder folder;
    // Counts beyond reach: of a missing file, and of files that include themselves, one
    // with a control and one with more controls than a build may make.
    folder.Write(L"self.xml", Window(L"<Control/><Include source=\"self.xml\" count=\"10\"/>"));
    std::wstring many;
    for (int i = 0; i < 500; ++i)
        many += L"<Control/>";
    folder.Write(L"many.xml", Window(many + L"<Include source=\"many.xml\" count=\"10\"/>"));
    int missingChildren = -1;
    int selfChildren = -1;
    int manyChildren = -1;
    StackRun run = RunOnDefaultStack([&] {
        for (auto [source, children] : {std::make_pair(L"missing.xml", &missingChildren),
                                        std::make_pair(L"self.xml", &selfChildren),
                                        std::make_pair(L"many.xml", &manyChildren)}) {
            CDialogBuilder builder;
            const std::wstring skin = std::wstring(L"<Window><Container><Include source=\"") +
                                      source + L"\" count=\"2147483647\"/><Control/>" +
                                      L"</Container></Window>";
            CControlUI *root = builder.CreateFromSource(skin.c_str());
            *children = ChildCount(root);
            root->Delete();
        }
    });
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(1, missingChildren) << "the control after the include";
    EXPECT_EQ(CBuildLimits::kMaxIncludes + 1, selfChildren)
        << "a control for each document read and the control after the include";
    EXPECT_EQ(CBuildLimits::kMaxControls - 1, manyChildren) << "the container counts as well";
}
