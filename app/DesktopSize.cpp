#include "DesktopSize.h"

#ifdef Q_OS_WIN
#include <windows.h>

bool queryDesktopSize(QSize &size)
{
    HDC screen = GetDC(nullptr);
    if (!screen)
        return false;
    size = QSize(GetDeviceCaps(screen, DESKTOPHORZRES), GetDeviceCaps(screen, DESKTOPVERTRES));
    ReleaseDC(nullptr, screen);
    return true;
}

#else
#include <X11/Xlib.h>

bool queryDesktopSize(QSize &size)
{
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    const int screen = DefaultScreen(display);
    size = QSize(DisplayWidth(display, screen), DisplayHeight(display, screen));
    XCloseDisplay(display);
    return true;
}
#endif
