#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace SkinUI {
namespace Testing {

// The folder of the skin test files beside the test program, with a trailing backslash.
std::wstring SkinFixtureFolder();
std::wstring SkinFixture(const std::wstring &relativePath);
// The skinned-window tests' skin beside the test program, with a trailing backslash: the
// skin folder is "skin\", the packages "frame.zip" and "frame.7z".
std::wstring FrameSkinRoot();
std::vector<uint8_t> ReadWholeFile(const std::wstring &path);

} // namespace Testing
} // namespace SkinUI
