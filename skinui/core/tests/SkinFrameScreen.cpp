// Shows the tests' skin as uninst shows its own: a CSkinFrame from the 7z package resource
// "ZIPRES" 132, with its drop shadow, on the second page with the progress bar at 60. Then
// writes where the window and the progress bar are on the screen into the ready file and
// keeps the window up until the done file appears (at most a minute), for a screenshot taken
// from outside. Arguments: ready file, done file.
#include "ProgressUI.h"
#include "SkinFrame.h"
#include "TabLayoutUI.h"
#include "TestWindow.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdio>

using namespace SkinUI;

namespace {

const int kProgressValue = 60;
const DWORD kMaxWaitMs = 60000;

bool Exists(const wchar_t *path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

RECT ScreenRect(HWND window, RECT rect)
{
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

bool WriteReady(const wchar_t *path, const RECT &window, const RECT &progress, int value)
{
    FILE *file = _wfopen(path, L"w");
    if (!file)
        return false;
    fprintf(file, "window %ld %ld %ld %ld\n", window.left, window.top, window.right, window.bottom);
    fprintf(file, "progress %ld %ld %ld %ld\n", progress.left, progress.top, progress.right,
            progress.bottom);
    fprintf(file, "value %d\n", value);
    fclose(file);
    return true;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc < 3)
        return 2;
    const wchar_t *readyFile = argv[1];
    const wchar_t *doneFile = argv[2];
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
    if (!WriteReady(readyFile, ScreenRect(window, client), ScreenRect(window, progress->GetPos()),
                    kProgressValue))
        return 5;
    const bool done = Testing::TestWindow::PumpUntil([&] { return Exists(doneFile); }, kMaxWaitMs);
    DestroyWindow(window);
    return done ? 0 : 6;
}
