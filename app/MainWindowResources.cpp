#include "MainWindowResources.h"

#include <QtGlobal>

static void registerMainWindowResources()
{
    Q_INIT_RESOURCE(mainwindow);
}

void initMainWindowResources()
{
    static const bool registered = (registerMainWindowResources(), true);
    Q_UNUSED(registered);
}
