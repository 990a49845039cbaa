#pragma once

#include <windows.h>

namespace SkinUI {

class CControlUI;

// Placement of the native child windows that controls lay over themselves while they are
// being edited (the edit box, the date picker).
namespace NativeChildPlacement {

// The rectangle clipped by the client area of every ancestor of the control; empty when an
// ancestor is hidden or the rectangle falls outside one, so that a scrolled-away child is
// hidden rather than squeezed.
RECT ClipToAncestorClients(const CControlUI &control, RECT rect);

// Moves the window over the rectangle and shows it without activating it, or hides it when
// the rectangle is empty.
void Place(HWND window, const RECT &rect);

} // namespace NativeChildPlacement

} // namespace SkinUI
