#pragma once

#include <string>

namespace SkinUI {
namespace Testing {

// The folder of the painter's test pictures beside the test program, with a trailing
// backslash; the pictures themselves lie in its "res" folder.
std::wstring ImageFixtureFolder();
std::wstring ImageFixture(const std::wstring &relativePath);

} // namespace Testing
} // namespace SkinUI
