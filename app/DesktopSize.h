#pragma once

#include <QSize>

// The pixel size of the whole desktop, asked of the window system before any Qt object
// exists (GDI on Windows, the X server elsewhere). False when no display can be reached.
bool queryDesktopSize(QSize &size);
