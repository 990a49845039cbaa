#include "ControlFiles.h"
#include "ImageFiles.h"
#include "Mutators.h"
#include "RobustnessRun.h"
#include "TestWindow.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <random>
#include <string>

using namespace SkinUI;
using namespace SkinUI::Testing;

// Seeded skins made of the shapes that once let a build leave dangling registrations or run
// away: controls under parents that hold no children, option groups, selected list items,
// rich edits and tab layouts inside tree nodes, replaced covers, deep nesting, includes
// repeated by count (of markup, of missing files and of a file that includes itself) and
// child layouts that build themselves. Each skin is built, attached, painted, clicked,
// tabbed through, ticked, resized and deleted.
//
// The run is short by default; RobustnessRun tells how to make it longer.
namespace {

const auto kCpuBudget = std::chrono::seconds(30);
// Enough skins after the first tenth for a skin that leaves tens of KB behind to show.
const int kDefaultSkins = 200;

// The file that includes itself, named for this process: runs side by side do not share it.
std::wstring SelfFile()
{
    return L"shapes-self-" + std::to_wstring(GetCurrentProcessId()) + L".xml";
}

class ShapeWriter
{
public:
    explicit ShapeWriter(uint32_t seed) : m_random(seed) {}

    std::wstring Skin()
    {
        std::wstring skin = L"<Window";
        if (Chance(4))
            skin += Pick({L" layeredimage=\"d\"", L" layeredimage=\"color='#80FFFFFF'\""});
        skin += L">";
        m_budget = 60;
        skin += Element(0);
        skin += Element(0);
        return skin + L"</Window>";
    }

private:
    bool Chance(int oneIn) { return m_random() % oneIn == 0; }
    int Number(int bound) { return static_cast<int>(m_random() % bound); }
    const wchar_t *Pick(std::initializer_list<const wchar_t *> choices)
    {
        return choices.begin()[Number(static_cast<int>(choices.size()))];
    }

    std::wstring Attributes()
    {
        std::wstring text;
        if (Chance(5))
            text += L" cover=\"true\"";
        if (Chance(6))
            text += L" visible=\"false\"";
        if (Chance(6))
            text += L" enabled=\"false\"";
        if (Chance(3))
            text += L" group=\"g" + std::to_wstring(Number(3)) + L"\"";
        if (Chance(3))
            text += L" selected=\"true\"";
        if (Chance(4))
            text += L" selectedid=\"" + std::to_wstring(Number(4)) + L"\"";
        if (Chance(5))
            text += L" name=\"n" + std::to_wstring(Number(5)) + L"\"";
        if (Chance(4))
            text += L" height=\"" + std::to_wstring(Number(60)) + L"\"";
        return text;
    }

    std::wstring Include()
    {
        const wchar_t *count = Pick({L"0", L"1", L"3", L"40", L"2147483647", L"-5", L"99999999"});
        const std::wstring self = SelfFile();
        const wchar_t *source =
            Pick({self.c_str(), L"missing-shape.xml",
                  L"&lt;Window&gt;&lt;List&gt;&lt;ListLabelElement selected=&quot;true&quot;/&gt;"
                  L"&lt;/List&gt;&lt;Option group=&quot;g1&quot;/&gt;&lt;/Window&gt;"});
        return std::wstring(L"<Include source=\"") + source + L"\" count=\"" + count + L"\"/>";
    }

    std::wstring Chain()
    {
        const int levels = 50 + Number(300);
        std::wstring text;
        for (int i = 0; i < levels; ++i)
            text += i % 2 ? L"<HorizontalLayout>" : L"<VerticalLayout>";
        text += L"<Option group=\"g0\" selected=\"true\"/>";
        for (int i = levels - 1; i >= 0; --i)
            text += i % 2 ? L"</HorizontalLayout>" : L"</VerticalLayout>";
        return text;
    }

    std::wstring Element(int depth)
    {
        if (m_budget-- <= 0)
            return L"<Label/>";
        switch (Number(depth > 6 ? 4 : 9)) {
        case 0:
            return std::wstring(L"<") +
                   Pick({L"Label", L"Button", L"Option", L"CheckBox", L"ListLabelElement",
                         L"RichEdit", L"Edit", L"Control", L"Progress"}) +
                   Attributes() + L"/>";
        case 1:
            return Include();
        case 2:
            return L"<ChildLayout xmlfile=\"" + SelfFile() + L"\"" + Attributes() + L"/>";
        case 3:
            return L"<TreeNode" + Attributes() + L">" + Element(depth + 1) + L"</TreeNode>";
        case 4:
            return Chain();
        default: {
            const wchar_t *name =
                Pick({L"VerticalLayout", L"HorizontalLayout", L"TabLayout", L"List", L"Combo",
                      L"TreeView", L"Container", L"Label", L"Progress", L"Button", L"Option"});
            std::wstring text = std::wstring(L"<") + name + Attributes() + L">";
            const int children = 1 + Number(4);
            for (int i = 0; i < children; ++i)
                text += Element(depth + 1);
            return text + L"</" + name + L">";
        }
        }
    }

    std::mt19937 m_random;
    int m_budget = 0;
};

void WriteSkinFile(const std::wstring &path, const std::wstring &skin)
{
    std::string bytes(skin.begin(), skin.end());
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

void UseSkin(const std::wstring &skin)
{
    TestWindow window{160, 120};
    window.Show();
    window.AttachSkin(skin.c_str());
    window.PaintWindow();
    for (int y = 4; y < 120; y += 57) {
        for (int x = 5; x < 160; x += 61)
            window.Click(x, y);
    }
    for (int tab = 0; tab < 3; ++tab) {
        MSG message = {window.Handle(), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
        TestWindow::Dispatch(message);
    }
    window.Tick(17);
    window.Send(WM_TIMER, CWindowManagerUI::kLayeredTimerId);
    SetWindowPos(window.Handle(), nullptr, 0, 0, 300, 200,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    window.Send(WM_TIMER, CWindowManagerUI::kLayeredTimerId);
    window.PaintWindow();
    window.PumpPending();
}

} // namespace

TEST(BuildShapesRobustness, SkinsOfTheRiskyShapesBuildAndGoSafely)
{
    UseControlSkinSource();
    // The file that includes itself lies in the skin source, beside the pictures.
    const std::wstring selfPath = ImageFixture(SelfFile());
    WriteSkinFile(selfPath, L"<Window><VerticalLayout><Option group=\"g2\" selected=\"true\"/>"
                            L"<Include source=\"" +
                                SelfFile() + L"\" count=\"4\"/><ChildLayout xmlfile=\"" +
                                SelfFile() + L"\"/></VerticalLayout></Window>");

    ShapeWriter writer(20260301);
    {
        RobustnessRun run("builder shapes", kCpuBudget, kDefaultSkins);
        while (run.Next())
            UseSkin(writer.Skin());
        EXPECT_GT(run.Count(), 10);
    }
    DeleteFileW(selfPath.c_str());
}
