#include "HighDpiSetup.h"

#include <QCoreApplication>

bool wantsHighDpiScaling(bool haveDesktopSize, const QSize &desktopSize)
{
    return haveDesktopSize && desktopSize.width() > 2323 && desktopSize.height() > 1539;
}

void applyHighDpiAttributes(bool haveDesktopSize, const QSize &desktopSize)
{
    if (wantsHighDpiScaling(haveDesktopSize, desktopSize))
        QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    else
        QCoreApplication::setAttribute(Qt::AA_DisableHighDpiScaling);
    // Qt lets the disabling attribute win, so small desktops stay unscaled.
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
}
