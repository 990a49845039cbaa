#pragma once

#include <QString>

// Path of the engine program "Morvex" in the application folder ("Morvex.exe" on Windows).
QString engineProgramPath();
