// uninst's start as the program runs it (the main program's turn, the hardened library
// search, the mutex, the window from the 7z skin resource, centred and run modally), timed to
// the end of the first frame its window paints; the window then closes. Started with
// -instdir="<folder>" like the second stage.
#include "BenchClock.h"
#include "MainWnd.h"
#include "UninstallerMain.h"

namespace {

class TimedMainWnd : public CMainWnd
{
public:
    using CMainWnd::CMainWnd;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        const LRESULT result = CMainWnd::HandleMessage(message, wParam, lParam);
        if (message == WM_PAINT && !m_painted) {
            m_painted = true;
            ReportFirstFrame();
            Close(1);
        }
        return result;
    }

private:
    bool m_painted = false;
};

// The window step of uninst with the timed window.
bool ShowTimedWindow(HINSTANCE instance, const std::wstring &installDir)
{
    SkinUI::CWindowManagerUI::SetInstance(instance);
    SkinUI::CWindowManagerUI::SetSevenZipPackage(true);
    {
        TimedMainWnd window(installDir);
        if (window.Create(nullptr, L"Quorvane 卸载", WS_VISIBLE | WS_OVERLAPPEDWINDOW, 0)) {
            window.CenterWindow();
            window.ShowModal();
        }
    }
    SkinUI::CWindowManagerUI::CloseResourcePackage();
    return false;
}

} // namespace

int wmain()
{
    return RunUninstaller(GetModuleHandleW(nullptr), L"", ShowTimedWindow);
}
