#pragma once

#include <QString>

// Hands a local file or folder to the desktop, which opens it with its default program. When
// the desktop cannot (no program to open it with, or no way to ask the desktop at all), the
// user is told so in the program's message box instead of nothing happening. An empty path
// opens nothing and tells nothing.
void openWithDesktop(const QString &path);
