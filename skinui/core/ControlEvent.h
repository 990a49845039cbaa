#pragma once

#include <windows.h>

namespace SkinUI {

class CControlUI;

// The event numbers that the window manager hands to controls.
enum ControlEventType
{
    EventKeyDown = 3,
    EventKeyUp = 4,
    EventChar = 5,
    EventSysKey = 6,
    EventMouseMove = 9,
    EventMouseLeave = 10,
    EventMouseEnter = 11,
    EventMouseHover = 12,
    EventButtonDown = 13,
    EventButtonUp = 14,
    EventRightButtonDown = 15,
    EventDoubleClick = 16,
    EventContextMenu = 17,
    EventScrollWheel = 18,
    EventKillFocus = 20,
    EventSetFocus = 21,
    EventWindowSize = 22,
    EventSetCursor = 23,
    EventTimer = 24,

    EventFirstMouse = EventMouseMove,
    EventLastMouse = EventScrollWheel,
};

inline bool IsMouseEvent(int type)
{
    return type >= EventFirstMouse && type <= EventLastMouse;
}

// Modifier bits of ControlEvent::keyState outside mouse-button events.
enum ModifierKeyBits
{
    ModifierLeftButton = 0x01,
    ModifierRightButton = 0x02,
    ModifierShift = 0x04,
    ModifierControl = 0x08,
    ModifierAlt = 0x20,
};

// What the window manager hands to a control's Event. Built on the stack per delivery.
struct ControlEvent
{
    int type = 0;
    CControlUI *sender = nullptr; // for focus events: the control that gains the focus
    DWORD timestamp = 0;
    POINT mousePoint = {0, 0};
    wchar_t key = 0;
    WORD keyState = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

} // namespace SkinUI
