#pragma once

#include "WideString.h"

#include <windows.h>

namespace SkinUI {

class CControlUI;

// A named notification that a control sends to its window's listeners ("click",
// "windowinit", "setfocus", "killfocus", "timer" ...).
struct NotifyMessage
{
    CWideString type;
    CWideString virtualWindow;    // the sender's virtual-window name when the manager uses them
    CControlUI *sender = nullptr; // null in a queued copy whose control has gone
    DWORD timestamp = 0;
    POINT mousePoint = {0, 0};
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

} // namespace SkinUI
