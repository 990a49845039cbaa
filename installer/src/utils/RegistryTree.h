#pragma once

#include <windows.h>

namespace Utils {

// Deletes a registry key with all its sub-keys, deepest first. A link in the tree is deleted
// itself; the key it points to stays. True when the key is gone (deleted, or never there). Stops
// with false at the first key it cannot delete, keeping what was deleted so far, and refuses an
// empty path or one longer than 519 characters.
bool DeleteRegistryKeyTree(HKEY root, const wchar_t *subKey);

} // namespace Utils
