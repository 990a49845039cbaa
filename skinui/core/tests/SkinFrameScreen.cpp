// Shows the tests' skin as uninst shows its own: a CSkinFrame from the 7z package resource
// "ZIPRES" 132, with its drop shadow, on the second page with the progress bar at 60, for one
// screenshot taken from outside (ScreenShots). Argument: the shot folder.
#include "ProgressUI.h"
#include "ScreenShots.h"
#include "SkinFrame.h"
#include "TabLayoutUI.h"
#include "TestWindow.h"

#include <windows.h>

using namespace SkinUI;

namespace {

const int kProgressValue = 60;

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc < 2)
        return 2;
    CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    CWindowManagerUI::SetSevenZipPackage(true);
    registerShadowClass(GetModuleHandleW(nullptr));

    CSkinFrame frame(
        SkinFrameSetup{SourcePackageResource, 132, L"", L"frame.xml", L"SkinFrameScreen"});
    HWND window = frame.Create(nullptr, L"SkinUI frame", WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX, 0,
                               0, 0, 0, 0);
    if (!window)
        return 3;
    SetWindowPos(window, nullptr, 120, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    CWindowManagerUI &manager = frame.GetManager();
    auto *pages = static_cast<CTabLayoutUI *>(manager.FindControlByName(L"pages"));
    auto *progress = static_cast<CProgressUI *>(manager.FindControlByName(L"progress"));
    if (!pages || !progress)
        return 4;
    pages->SelectItem(1);
    progress->SetValue(kProgressValue);
    frame.ShowWindow(true, false);
    UpdateWindow(window);
    Testing::TestWindow::PumpUntil([] { return false; }, 500);

    RECT client;
    GetClientRect(window, &client);
    Testing::ScreenShots shots(argv[1]);
    shots.AddRect("window", window, client);
    shots.AddRect("progress", window, progress->GetPos());
    shots.AddNumber("value", kProgressValue);
    const bool taken = shots.Take();
    DestroyWindow(window);
    return taken ? 0 : 6;
}
