#pragma once

#include "FontEntry.h"
#include "PointerArray.h"
#include "StringKeyedMap.h"

#include <windows.h>

namespace SkinUI {

// The process-wide tables of the window managers, built on first use and kept to the end
// of the process.
struct ManagerProcessState
{
    CPointerArray managers; // every manager that has a window, in the order of Init
    CPointerArray controlFactories;
    HPEN updatePen = nullptr;
    HINSTANCE instance = nullptr;
    FontEntry sharedDefaultFont;
    DWORD sharedColors[5] = {};
    CStringKeyedMap sharedFonts{83};
    CStringKeyedMap sharedImages{83};
    CStringKeyedMap sharedAttributeLists{83};
    CStringKeyedMap languageStrings{83};
    CPointerArray retiredSharedImages;
    bool hslOn = false;
    short hue = 180;
    short saturation = 100;
    short lightness = 100;

    static ManagerProcessState &Get();
};

} // namespace SkinUI
