#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace SkinUI {

const uint32_t kSevenZipOk = 0;
const uint32_t kSevenZipFailed = 0x10000;

struct SevenZipEntry
{
    std::unique_ptr<wchar_t[]> name;
    int nameLength;                  // characters, terminator included
    int index;                       // index of the entry in the archive
    std::unique_ptr<uint8_t[]> data; // null for an entry left uninflated
    uint64_t size;
};

// A 7z package decoded whole when it is opened: afterwards every read is a table search
// and a copy, and neither the source nor the decoder is needed any more. An entry whose
// block would inflate beyond the packages' limit is listed with its size but not inflated,
// and cannot be extracted.
struct C7zPackage
{
    std::vector<std::unique_ptr<SevenZipEntry>> entries; // archive order, no folders
};

// Null when the bytes are not a readable 7z archive. The block is copied.
C7zPackage *SevenZipOpenMemory(const void *data, uint32_t length);
// Null when the file cannot be opened or is not a readable 7z archive.
C7zPackage *SevenZipOpenFile(const wchar_t *fileName);

// Backslashes match slashes; letters match in any case.
uint32_t SevenZipFindItem(C7zPackage *package, const wchar_t *name, int *index, uint64_t *size);
// Copies a whole entry; refused when it does not fit the buffer.
uint32_t SevenZipExtractItem(C7zPackage *package, int index, void *buffer, uint64_t bufferSize);
uint32_t SevenZipClose(C7zPackage *package);

} // namespace SkinUI
