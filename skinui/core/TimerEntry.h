#pragma once

#include <windows.h>

namespace SkinUI {

class CControlUI;

// One control timer of a window manager. A killed entry stays and can be re-armed.
struct TimerEntry
{
    CControlUI *sender = nullptr;
    UINT localId = 0;
    HWND window = nullptr;
    UINT windowsId = 0;
    bool killed = false;
};

} // namespace SkinUI
