#pragma once

#include <string>

// What the product leaves behind once its silent uninstaller is done: the installer and
// uninstaller data files in the install folder and the product's registry key of the user.
// Deletes them; what cannot be deleted stays, silently.
void RemoveProductLeftovers(const std::wstring &installDir);
