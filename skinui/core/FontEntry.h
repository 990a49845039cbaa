#pragma once

#include "WideString.h"

#include <windows.h>

namespace SkinUI {

// A font of a window manager, per window or shared. The metrics are measured on first use
// (a height of 0 means not measured yet).
struct FontEntry
{
    HFONT font = nullptr;
    CWideString faceName;
    int size = 0;
    bool bold = false;
    bool underline = false;
    bool italic = false;
    TEXTMETRICW metrics = {};
};

} // namespace SkinUI
