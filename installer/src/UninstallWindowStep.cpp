#include "UninstallWindowStep.h"

#include "MainWnd.h"

namespace {

const wchar_t kWindowTitle[] = L"Quorvane 卸载";

} // namespace

bool ShowUninstallWindow(HINSTANCE instance, const std::wstring &installDir)
{
    SkinUI::CWindowManagerUI::SetInstance(instance);
    SkinUI::CWindowManagerUI::SetSevenZipPackage(true);
    bool installerStarted = false;
    {
        CMainWnd window(installDir);
        if (window.Create(nullptr, kWindowTitle, WS_VISIBLE | WS_OVERLAPPEDWINDOW, 0)) {
            // Building the skin moves the window; it is centred once that is done.
            window.CenterWindow();
            window.ShowModal();
        }
        installerStarted = window.InstallerStarted();
    }
    SkinUI::CWindowManagerUI::CloseResourcePackage();
    return installerStarted;
}
