#pragma once

#include <QStringList>

enum class StartupMode
{
    Normal,
    Install,
    Uninstall
};

// The first argument after the program that holds "-uninstall" or "-install" in any
// letter case, anywhere inside it, decides; "-uninstall" is tested first.
StartupMode startupModeFromArguments(const QStringList &arguments);
