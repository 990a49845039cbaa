#pragma once

#include <string>

namespace SkinUI {
namespace Testing {

// The folder of the control tests' pictures and skins beside the test program, with a
// trailing backslash.
std::wstring ControlFixtureFolder();
std::wstring ControlFixture(const std::wstring &relativePath);

// Points the process-wide skin source at that folder, and at a package in it when one is
// named.
void UseControlSkinSource(const wchar_t *package = nullptr, bool sevenZip = false);

} // namespace Testing
} // namespace SkinUI
