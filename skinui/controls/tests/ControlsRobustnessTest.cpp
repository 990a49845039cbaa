#include "ControlFiles.h"
#include "ContainerUI.h"
#include "FreedMemoryWatch.h"
#include "GifAnimUI.h"
#include "ImageFiles.h"
#include "Mutators.h"
#include "ProbeControl.h"
#include "RobustnessRun.h"
#include "TestFiles.h"
#include "TestWindow.h"
#include "VerticalLayoutUI.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

using namespace SkinUI;
using namespace SkinUI::Testing;

// Seeded robustness runs over the controls: damaged skins that use them (attributes, image
// descriptors, sources, shapes of absurd size) built, painted, clicked, typed into and
// ticked, also with their controls moved between two windows, and damaged pictures of every
// format decoded, painted and played by the animated picture. Seeds are fixed, so a failure
// reproduces; every run is bounded in time, and RobustnessRun tells how to make it longer.
namespace {

const auto kCpuBudget = std::chrono::seconds(30);
const UINT kFirstTimerId = 17;

// A file of the run's own in the temp folder, removed at the end.
class TempFile
{
public:
    explicit TempFile(const wchar_t *name)
    {
        wchar_t folder[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, folder);
        m_path = std::wstring(folder) + L"skinui-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                 name;
    }
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;
    ~TempFile() { DeleteFileW(m_path.c_str()); }

    const std::wstring &Path() const { return m_path; }
    void Write(const std::vector<uint8_t> &bytes) const
    {
        HANDLE file = CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        DWORD written = 0;
        if (!bytes.empty())
            WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }

private:
    std::wstring m_path;
};

std::wstring ReadUtf8(const std::wstring &path)
{
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    std::wstring text(bytes.size(), L'\0');
    const int length = MultiByteToWideChar(CP_UTF8, 0, reinterpret_cast<const char *>(bytes.data()),
                                           static_cast<int>(bytes.size()), &text[0],
                                           static_cast<int>(text.size()));
    text.resize(length > 0 ? length : 0);
    return text;
}

// Clicks over the whole window, then types into whatever native window took the focus.
void Exercise(TestWindow &window)
{
    for (int y = 5; y < 240; y += 23) {
        for (int x = 7; x < 300; x += 61)
            window.Click(x, y);
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window.Handle(), focus)) {
            PostMessageW(focus, WM_CHAR, L'7', 1);
            PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 1);
            PostMessageW(focus, WM_KEYUP, y % 2 ? VK_ESCAPE : VK_BACK, 0xC0000001);
        }
        window.PumpPending();
    }
    for (UINT id = kFirstTimerId; id < kFirstTimerId + 4; ++id)
        window.Tick(id);
    window.PaintWindow();
}

TEST(ControlsRobustness, DamagedSkinsOfTheControlsBuildPaintAndTakeInputSafely)
{
    UseControlSkinSource();
    const std::wstring originals[] = {ReadUtf8(ImageFixture(L"skins\\periphery.xml")),
                                      ReadUtf8(ImageFixture(L"skins\\shapes.xml"))};
    ASSERT_FALSE(originals[0].empty());
    ASSERT_FALSE(originals[1].empty());
    {
        TestWindow window{300, 240};
        ASSERT_NE(nullptr, window.AttachSkin(originals[0].c_str())) << "the undamaged skin builds";
        ASSERT_NE(nullptr, window.Manager().FindControlByName(L"partbutton"));
        window.Show();
        Exercise(window);
        // The exercise reaches the controls: typed, Enter, a link and an option.
        for (const wchar_t *type : {L"textchanged", L"return", L"link", L"selectchanged"})
            EXPECT_GT(window.Notifications().Count(type), 0) << type;
    }
    {
        TestWindow window{300, 240};
        ASSERT_NE(nullptr, window.AttachSkin(originals[1].c_str())) << "the absurd shapes build";
        ASSERT_NE(nullptr, window.Manager().FindControlByName(L"big"));
        window.Show();
        Exercise(window);
    }
    TextMutator mutator(20260118);
    RobustnessRun run("skins", kCpuBudget, 300);
    while (run.Next()) {
        const std::wstring skin =
            mutator.Mutate(originals[run.Index() % 2], L"<>/=\" '#0123456789,-.{}\\");
        TestWindow window{300, 240};
        window.Show();
        window.AttachSkin(skin.c_str());
        Exercise(window);
    }
    EXPECT_GT(run.Count(), 50);
}

// The container that holds the control for whoever added it: the outermost ancestor that
// counts it among its items (a list rather than its body); null when none does.
IContainerUI *Holder(CControlUI *control)
{
    IContainerUI *holder = nullptr;
    for (CControlUI *above = control->GetParent(); above != nullptr; above = above->GetParent()) {
        auto *container = static_cast<IContainerUI *>(above->GetInterface(L"IContainer"));
        if (container != nullptr && container->GetItemIndex(control) >= 0)
            holder = container;
    }
    return holder;
}

// Every control of the tree, parents before their children.
std::vector<CControlUI *> ControlsOf(CControlUI *root)
{
    std::vector<CControlUI *> controls;
    root->FindControl(
        [](CControlUI *control, void *list) -> CControlUI * {
            static_cast<std::vector<CControlUI *> *>(list)->push_back(control);
            return nullptr;
        },
        &controls, FindSelfFirst);
    return controls;
}

// Takes about one control in four, eight at most, out of the first window's tree (with what
// it holds) and adds it to the second window's root; then one of them goes back to the first
// window's root.
void MoveSome(TestWindow &first, CContainerUI &secondRoot, TextMutator &chance)
{
    std::vector<CControlUI *> moved;
    for (CControlUI *control : ControlsOf(first.Manager().GetRoot())) {
        if (chance.Next(4) != 0 || moved.size() >= 8)
            continue;
        IContainerUI *holder = Holder(control);
        if (holder != nullptr && holder->Remove(control, true) && secondRoot.Add(control))
            moved.push_back(control);
    }
    auto *firstRoot =
        static_cast<IContainerUI *>(first.Manager().GetRoot()->GetInterface(L"IContainer"));
    if (!moved.empty() && firstRoot != nullptr) {
        CControlUI *back = moved[chance.Next(moved.size())];
        if (secondRoot.Remove(back, true))
            firstRoot->Add(back);
    }
}

// Controls of damaged skins taken out of their window's tree and added to a second window's,
// some of them back again; the first window is clicked, typed into and ticked before and the
// second one after. Then the second window goes and the first one goes on, with freed memory
// kept aside, so that reaching a control that the second window deleted faults at once.
TEST(ControlsRobustness, ControlsOfDamagedSkinsMoveBetweenTwoWindowsSafely)
{
    UseControlSkinSource();
    const std::wstring originals[] = {ReadUtf8(ImageFixture(L"skins\\periphery.xml")),
                                      ReadUtf8(ImageFixture(L"skins\\shapes.xml"))};
    ASSERT_FALSE(originals[0].empty());
    ASSERT_FALSE(originals[1].empty());
    TextMutator mutator(20260120);
    RobustnessRun run("skins moved between windows", kCpuBudget, 100);
    while (run.Next()) {
        // Every third skin is whole, so that every control of it moves now and then.
        const std::wstring &original = originals[run.Index() % 2];
        const std::wstring skin = run.Index() % 3 == 0
                                      ? original
                                      : mutator.Mutate(original, L"<>/=\" '#0123456789,-.{}\\");
        TestWindow first{300, 240};
        first.Show();
        if (first.AttachSkin(skin.c_str()) == nullptr)
            continue;
        auto second = std::make_unique<TestWindow>(300, 240);
        second->Show();
        auto *secondRoot = new CVerticalLayoutUI;
        second->Attach(secondRoot);
        Exercise(first);
        MoveSome(first, *secondRoot, mutator);
        Exercise(*second);
        FreedMemoryWatch freed;
        second.reset();
        Exercise(first);
    }
    EXPECT_GT(run.Count(), 50);
}

// The platform's decoders behind the animated picture do not survive every damaged
// picture: pictures of every format, damaged and cut, must never reach them.
TEST(ControlsRobustness, DamagedPicturesDecodePaintAndPlaySafely)
{
    UseControlSkinSource();
    std::vector<std::vector<uint8_t>> originals;
    for (const wchar_t *name : {L"anim.gif", L"still.gif", L"still.png", L"still.jpg", L"still.bmp",
                                L"still.tga", L"damaged.bmp"}) {
        originals.push_back(ReadWholeFile(ImageFixture(std::wstring(L"res\\") + name)));
        ASSERT_FALSE(originals.back().empty()) << "missing picture";
    }
    // Two names in turn: the control loads a picture again only under a new name.
    TempFile files[] = {TempFile(L"damaged-a.gif"), TempFile(L"damaged-b.gif")};

    TestWindow window{40, 32};
    auto *parent = new ProbeParent;
    auto *gif = new CGifAnimUI;
    parent->Add(gif, RECT{4, 4, 36, 28});
    window.Attach(parent);

    ByteMutator mutator(20260117);
    // Wine's GDI+, which plays the frames, keeps some 2 KB of every picture it decodes (a
    // program that calls only GDI+ grows as fast).
    const size_t kKeptByGdiPlus = 4096;
    RobustnessRun run("animated pictures", kCpuBudget, 1000, kKeptByGdiPlus);
    while (run.Next()) {
        const int runs = run.Index();
        const TempFile &file = files[runs % 2];
        const std::vector<uint8_t> &original = originals[(runs / 2) % originals.size()];
        // Every third picture is only cut, anywhere; the others are damaged as well.
        file.Write(runs % 3 == 0
                       ? std::vector<uint8_t>(original.begin(),
                                              original.begin() + mutator.Next(original.size()))
                       : mutator.Mutate(original, "\x21\xF9\x2C\x3B\x00\xFF\x04\x01"));
        gif->SetBkImage(file.Path().c_str());
        window.PaintTree();
        gif->SetVisible(false);
        gif->SetVisible(true);
        for (int tick = 0; tick < 4; ++tick) {
            window.Tick(kFirstTimerId);
            window.PaintTree();
        }
    }
    EXPECT_GT(run.Count(), 100);
}

} // namespace
