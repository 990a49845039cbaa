#pragma once

// The drop shadow that follows a frameless window: a layered Win32 popup in uninst's
// cross build, a translucent Qt top-level in Quorvane's native build. Both render the
// same ShadowBitmap and take the same setters.
#ifdef _WIN32
#include "CShadowWindowWin32.h"
#else
#include "CShadowWindowQt.h"
#endif
