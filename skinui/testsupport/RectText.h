#pragma once

#include <windows.h>

#include <string>

namespace SkinUI {
namespace Testing {

// "(left,top,right,bottom)": rectangles compared as text print readably when they differ.
std::string RectText(const RECT &rect);

} // namespace Testing
} // namespace SkinUI
