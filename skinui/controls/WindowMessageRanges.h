#pragma once

#include <windows.h>

namespace SkinUI {

// The client-area mouse messages a control's message filter takes: WM_MOUSEMOVE up to
// WM_XBUTTONDBLCLK (the horizontal wheel is not among them).
inline bool IsMouseMessage(UINT message)
{
    return message >= WM_MOUSEFIRST && message <= WM_XBUTTONDBLCLK;
}

// WM_KEYDOWN up to the last key message before WM_UNICHAR.
inline bool IsKeyMessage(UINT message)
{
    const UINT lastKeyMessage = 0x0108;
    return message >= WM_KEYFIRST && message <= lastKeyMessage;
}

} // namespace SkinUI
