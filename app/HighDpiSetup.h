#pragma once

#include <QSize>

// Scaling is only worth it on desktops larger than 2323 x 1539 pixels.
bool wantsHighDpiScaling(bool haveDesktopSize, const QSize &desktopSize);

// Sets the application attributes for the high-DPI mode; must run before the
// application object exists.
void applyHighDpiAttributes(bool haveDesktopSize, const QSize &desktopSize);
