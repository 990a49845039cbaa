#include "StartupMode.h"

StartupMode startupModeFromArguments(const QStringList &arguments)
{
    for (int i = 1; i < arguments.size(); ++i) {
        const QString argument = arguments.at(i).toLower();
        if (argument.contains(QLatin1String("-uninstall")))
            return StartupMode::Uninstall;
        if (argument.contains(QLatin1String("-install")))
            return StartupMode::Install;
    }
    return StartupMode::Normal;
}
