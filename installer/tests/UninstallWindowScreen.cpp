// Shows the uninstall window as uninst shows it and takes it through its three pages for
// screenshots taken from outside (ScreenShots): the question, the progress at 37 (from the
// stand-in uninstaller beside this program), and the finished page after success. Argument:
// the shot folder.
#include "MainWnd.h"

#include "CShadowWindow.h"
#include "ControlUI.h"
#include "ProgressUI.h"
#include "ScreenShots.h"
#include "TabLayoutUI.h"
#include "TestWindow.h"

#include <windows.h>

#include <cwchar>
#include <string>
#include <utility>
#include <vector>

using namespace SkinUI;

namespace {

const DWORD kWaitMs = 60000;
const int kProgress = 37;

bool WriteFile(const std::wstring &path, const std::string &bytes)
{
    FILE *file = _wfopen(path.c_str(), L"wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

std::string Utf8(const std::wstring &text)
{
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &bytes[0], size, nullptr, nullptr);
    return bytes.c_str();
}

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.rfind(L'\\'));
}

// The stand-in uninstaller beside this program reports the progress, then succeeds once the
// file goOn appears.
bool ScriptUninstaller(const std::wstring &goOn)
{
    return WriteFile(ProgramFolder() + L"\\TZQuorvane_uninstdata.script",
                     "out Progress=0.37\\n\nwaitfor " + Utf8(goOn) + "\nout State=Success\\n\n");
}

CControlUI *FindByText(CControlUI *control, void *text)
{
    return std::wcscmp(control->GetText().GetData(), static_cast<const wchar_t *>(text)) == 0
               ? control
               : nullptr;
}

// The coming shot: the controls whose places the check needs, by key.
class Screen
{
public:
    Screen(CMainWnd &window, const std::wstring &folder) : m_window(window), m_shots(folder) {}

    void Add(const char *key, CControlUI *control) { m_controls.emplace_back(key, control); }
    void AddNamed(const char *key, const wchar_t *name)
    {
        Add(key, m_window.GetManager().FindControlByName(name));
    }
    void AddWithText(const char *key, const wchar_t *text)
    {
        CControlUI *root = m_window.GetManager().GetRoot();
        Add(key, root->FindControl(FindByText, const_cast<wchar_t *>(text), FindSelfFirst));
    }
    // Lets the page settle on the screen, then takes the shot with the places of the window
    // and the controls as laid out.
    bool Take()
    {
        UpdateWindow(m_window);
        Testing::TestWindow::PumpUntil([] { return false; }, 500);
        RECT client;
        GetClientRect(m_window, &client);
        m_shots.AddRect("window", m_window, client);
        for (const auto &[key, control] : m_controls) {
            if (control)
                m_shots.AddRect(key, m_window, control->GetPos());
        }
        m_controls.clear();
        return m_shots.Take();
    }
    int Page()
    {
        return static_cast<CTabLayoutUI *>(m_window.GetManager().FindControlByName(L"mainTabLt"))
            ->GetCurSel();
    }

private:
    CMainWnd &m_window;
    Testing::ScreenShots m_shots;
    std::vector<std::pair<const char *, CControlUI *>> m_controls;
};

int ShowPages(CMainWnd &window, const std::wstring &folder, const std::wstring &goOn)
{
    Screen screen(window, folder);
    screen.AddWithText("question", L"真的要说再见吗？");
    screen.AddNamed("thinkBtn", L"thinkBtn");
    screen.AddNamed("closebtn", L"closebtn");
    screen.AddNamed("softNameLbl", L"softNameLbl");
    if (!screen.Take())
        return 10;

    CControlUI *uninstall = window.GetManager().FindControlByName(L"uninsBtn");
    const RECT &rect = uninstall->GetPos();
    const LPARAM centre = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    PostMessageW(window, WM_LBUTTONUP, 0, centre);
    auto *progress =
        static_cast<CProgressUI *>(window.GetManager().FindControlByName(L"installPrg"));
    if (!Testing::TestWindow::PumpUntil([&] { return progress->GetValue() == kProgress; }, kWaitMs))
        return 11;
    screen.Add("progress", progress);
    screen.AddWithText("running", L"正在卸载...");
    screen.AddNamed("closebtn", L"closebtn");
    if (!screen.Take())
        return 12;

    if (!WriteFile(goOn, "") ||
        !Testing::TestWindow::PumpUntil([&] { return screen.Page() == 2; }, kWaitMs))
        return 13;
    screen.AddNamed("finishBtn", L"finishBtn");
    screen.AddNamed("getNewestBtn", L"getNewestBtn");
    screen.AddWithText("feature", L"· 更多功能持续更新");
    if (!screen.Take())
        return 14;
    return 0;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc < 2)
        return 2;
    const std::wstring folder = argv[1];
    const std::wstring product = folder + L"\\product";
    const std::wstring goOn = folder + L"\\go-on";
    CreateDirectoryW(product.c_str(), nullptr);
    DeleteFileW(goOn.c_str());
    if (!WriteFile(product + L"\\Installer.data", "installer") ||
        !WriteFile(product + L"\\unins.data", "left behind") || !ScriptUninstaller(goOn))
        return 3;

    CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    CWindowManagerUI::SetSevenZipPackage(true);
    registerShadowClass(GetModuleHandleW(nullptr));
    CMainWnd window(product);
    if (!window.Create(nullptr, L"Quorvane 卸载", WS_VISIBLE | WS_OVERLAPPEDWINDOW, 0))
        return 4;
    window.CenterWindow();
    const int result = ShowPages(window, folder, goOn);
    DestroyWindow(window);
    return result;
}
