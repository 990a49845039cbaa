#pragma once

#include "ControlEvent.h"

#include <windows.h>

namespace SkinUI {

class CControlUI;

// What the controls that lay a native child window over themselves while they are being
// edited (the edit box, the date picker) do alike: where the window goes, and the events
// they handle the same way.
namespace NativeChildHost {

// The rectangle clipped by the client area of every ancestor of the control; empty when an
// ancestor is hidden or the rectangle falls outside one, so that a scrolled-away child is
// hidden rather than squeezed.
RECT ClipToAncestorClients(const CControlUI &control, RECT rect);

// Moves the window over the rectangle and shows it without activating it, or hides it when
// the rectangle is empty.
void Place(HWND window, const RECT &rect);

// The shared part of the controls' event handling, given the open child window or null: the
// text cursor, the focus taken back after a window size change, the wheel kept from the
// open window, a repaint at focus loss, and mouse moves, releases and context menus that do
// nothing. True when the event ends here.
bool HandleEvent(CControlUI &control, HWND child, const ControlEvent &event);

} // namespace NativeChildHost

} // namespace SkinUI
