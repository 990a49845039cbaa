#pragma once

#include <string>

namespace SkinUI {

class CControlUI;

namespace Testing {

// A tree written as "Class:name[child,child]", children through the container interface,
// so that a test compares a whole built tree in one line. Null gives "(none)".
std::wstring TreeText(CControlUI *control);

} // namespace Testing
} // namespace SkinUI
