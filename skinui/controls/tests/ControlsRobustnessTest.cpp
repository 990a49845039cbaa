#include "ControlFiles.h"
#include "GifAnimUI.h"
#include "ImageFiles.h"
#include "Mutators.h"
#include "ProbeControl.h"
#include "TestFiles.h"
#include "TestWindow.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

using namespace SkinUI;
using namespace SkinUI::Testing;

// Seeded robustness runs over the controls: damaged skins that use them (attributes, image
// descriptors, sources) built, painted, clicked, typed into and ticked, and damaged GIF
// pictures decoded, painted and played. Seeds are fixed, so a failure reproduces; every run
// is bounded in time.
namespace {

const auto kCpuBudget = std::chrono::seconds(30);
const UINT kFirstTimerId = 17;

bool InTime(int runs, int limit, const CpuBudget &budget)
{
    return runs < limit && budget.Left();
}

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
    const std::wstring original = ReadUtf8(ImageFixture(L"skins\\periphery.xml"));
    ASSERT_FALSE(original.empty());
    {
        TestWindow window{300, 240};
        ASSERT_NE(nullptr, window.AttachSkin(original.c_str())) << "the undamaged skin builds";
        ASSERT_NE(nullptr, window.Manager().FindControlByName(L"partbutton"));
        window.Show();
        Exercise(window);
        // The exercise reaches the controls: typed, Enter, a link and an option.
        for (const wchar_t *type : {L"textchanged", L"return", L"link", L"selectchanged"})
            EXPECT_GT(window.Notifications().Count(type), 0) << type;
    }
    TextMutator mutator(20260118);
    const CpuBudget budget(kCpuBudget);
    int runs = 0;
    for (; InTime(runs, 300, budget); ++runs) {
        const std::wstring skin = mutator.Mutate(original, L"<>/=\" '#0123456789,-.{}\\");
        TestWindow window{300, 240};
        window.Show();
        window.AttachSkin(skin.c_str());
        Exercise(window);
    }
    EXPECT_GT(runs, 50);
}

TEST(ControlsRobustness, DamagedGifPicturesDecodePaintAndPlaySafely)
{
    UseControlSkinSource();
    const std::vector<uint8_t> original = ReadWholeFile(ImageFixture(L"res\\anim.gif"));
    ASSERT_FALSE(original.empty());
    // Two names in turn: the control loads a picture again only under a new name.
    TempFile files[] = {TempFile(L"damaged-a.gif"), TempFile(L"damaged-b.gif")};

    TestWindow window{40, 32};
    auto *parent = new ProbeParent;
    auto *gif = new CGifAnimUI;
    parent->Add(gif, RECT{4, 4, 36, 28});
    window.Attach(parent);

    ByteMutator mutator(20260117);
    const CpuBudget budget(kCpuBudget);
    int runs = 0;
    for (; InTime(runs, 1000, budget); ++runs) {
        const TempFile &file = files[runs % 2];
        file.Write(mutator.Mutate(original, "\x21\xF9\x2C\x3B\x00\xFF\x04\x01"));
        gif->SetBkImage(file.Path().c_str());
        window.PaintTree();
        gif->SetVisible(false);
        gif->SetVisible(true);
        for (int tick = 0; tick < 4; ++tick) {
            window.Tick(kFirstTimerId);
            window.PaintTree();
        }
    }
    EXPECT_GT(runs, 100);
}

} // namespace
