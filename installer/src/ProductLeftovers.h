#pragma once

#include <string>
#include <vector>

// What the product leaves behind once its silent uninstaller is done: the installer and
// uninstaller data files in the install folder and the product's registry key of the user.
// Deletes them, read-only files included; returns those that stay (a file in use, say), each
// as the user would look for it: the file's path, or the key's full name.
std::vector<std::wstring> RemoveProductLeftovers(const std::wstring &installDir);
