#pragma once

#include <windows.h>

namespace Utils {

// The folder "~TZTemp\" in the user's temp folder, made when missing. Returns 0 with the path
// (ending in a backslash) in the buffer, or 1 with the buffer untouched when the folder can be
// neither found nor made, or when its path does not fit the buffer.
unsigned int GetPrivateTempFolder(DWORD bufferSize, wchar_t *buffer);

} // namespace Utils
