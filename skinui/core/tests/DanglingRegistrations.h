#pragma once

#include "FreedMemoryWatch.h"
#include "WindowManagerUI.h"

#include <string>
#include <vector>

namespace SkinUI {
namespace Testing {

// Every registration of the manager that still points into memory freed while the watch
// lived: the focus, the controls found under the names given, the members of the option
// groups given, and every filter, accelerator, notifier, post-paint control, mouse-leave
// listener and timer. Each one found in a list is taken out of it, so that the window can go
// on after a failed check.
std::vector<std::string> DanglingRegistrations(CWindowManagerUI &manager,
                                               const FreedMemoryWatch &freed,
                                               const std::vector<const wchar_t *> &names,
                                               const std::vector<const wchar_t *> &groups);

std::string Joined(const std::vector<std::string> &parts);

} // namespace Testing
} // namespace SkinUI
