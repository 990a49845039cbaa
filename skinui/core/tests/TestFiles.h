#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace SkinUI {
namespace Testing {

// The folder of the skin test files beside the test program, with a trailing backslash.
std::wstring SkinFixtureFolder();
std::wstring SkinFixture(const std::wstring &relativePath);
std::vector<uint8_t> ReadWholeFile(const std::wstring &path);

} // namespace Testing
} // namespace SkinUI
