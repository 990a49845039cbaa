// Opens one skinned window with the skin source given on the command line and ends with 0
// once it stands: skin-kind, skin file, package resource id, resource folder.
#include "SkinFrame.h"

#include <windows.h>

#include <shellapi.h>

#include <cwchar>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    int count = 0;
    LPWSTR *arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments || count < 5)
        return 2;
    SkinUI::CWindowManagerUI::SetInstance(instance);
    SkinUI::CWindowManagerUI::SetSevenZipPackage(true);
    SkinUI::CWindowManagerUI::SetResourcePath(arguments[4]);
    SkinUI::SkinFrameSetup setup = {static_cast<SkinUI::ResourceSourceKind>(_wtoi(arguments[1])),
                                    _wtoi(arguments[3]), L"", arguments[2], L"SkinWindowProbe"};
    LocalFree(arguments);
    SkinUI::CSkinFrame frame(setup);
    HWND window = frame.Create(nullptr, L"probe", WS_POPUP, 0, 0, 0, 100, 100);
    if (!window)
        return 3;
    DestroyWindow(window);
    return 0;
}
