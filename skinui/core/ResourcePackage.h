#pragma once

#include <cstdint>

namespace SkinUI {

// The operations every reader of skin packages needs, over either kind of package. A
// handle is a zip handle or a 7z package, as the sevenZip flag of each call says.
namespace ResourcePackage {

// The most any entry of a package is inflated to, far above any skin file: a package of a
// few kilobytes can declare entries of gigabytes.
const uint64_t kMaxInflatedSize = 16 * 1024 * 1024;

void *OpenFile(const wchar_t *path, bool sevenZip);
// A zip package reads the block in place (it must outlive the handle); a 7z package
// copies it.
void *OpenMemory(const void *data, uint32_t length, bool sevenZip);
bool Find(void *handle, bool sevenZip, const wchar_t *name, int *index, uint64_t *size);
// Extracts a whole entry of the size Find reported into a buffer of that size.
bool Extract(void *handle, bool sevenZip, int index, void *buffer, uint64_t size);
void Close(void *handle, bool sevenZip);

} // namespace ResourcePackage

} // namespace SkinUI
