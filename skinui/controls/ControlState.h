#pragma once

#include <windows.h>

namespace SkinUI {

// Bits of the one state word that stateful controls (buttons, options, check boxes,
// sliders, scroll bars) keep.
enum ControlStateBits : UINT
{
    StateFocused = 0x01,
    StateSelected = 0x02,
    StateDisabled = 0x04,
    StateHot = 0x08,
    StatePushed = 0x10,
    StateCaptured = 0x40,
};

} // namespace SkinUI
