#pragma once

namespace SkinUI {
namespace Testing {

// Points the process-wide skin source at the control tests' picture folder (the shared
// image fixture folder), and at a package in it when one is named.
void UseControlSkinSource(const wchar_t *package = nullptr, bool sevenZip = false);

} // namespace Testing
} // namespace SkinUI
