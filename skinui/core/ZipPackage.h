#pragma once

#include <cstdint>
#include <windows.h>

namespace SkinUI {

class CZipReader;

// Result codes of the zip package operations.
using ZipResult = uint32_t;
const ZipResult kZipOk = 0;
const ZipResult kZipCannotOpenArchive = 0x200;
const ZipResult kZipNotFound = 0x500;
// Data was delivered and the entry may hold more; callers that ask for the whole entry
// in one call take it as success.
const ZipResult kZipMore = 0x600;
const ZipResult kZipCorruptEntry = 0x700;
const ZipResult kZipBadExtraField = 0x800;
const ZipResult kZipBadArgument = 0x10000;
const ZipResult kZipNotZipHandle = 0x80000;
const ZipResult kZipCannotDecode = 0x5000000;

// Where ZipOpen reads the archive from, and where ZipUnzipItem writes to.
const int kZipSourceFile = 2;
const int kZipSourceMemory = 3;

struct ZipEntryInfo
{
    int index;
    wchar_t name[260];
    DWORD attributes;
    FILETIME accessTime;
    FILETIME creationTime;
    FILETIME writeTime;
    // Unsigned: a size that only looks small because it went negative is no size at all.
    uint32_t compressedSize;
    uint32_t unpackedSize;
};

struct ZipHandle
{
    int marker;
    CZipReader *reader;
};

// Opens an archive from a file name (kZipSourceFile, length ignored) or from a memory
// block that must outlive the handle (kZipSourceMemory). Null on failure.
ZipHandle *ZipOpen(const void *source, uint32_t length, int kind);

// Finds an entry by name; backslashes match slashes, and with ignoreCase the letters a-z
// match A-Z. On failure *index is -1 and *info is left alone.
ZipResult ZipFindItem(ZipHandle *handle, const wchar_t *name, bool ignoreCase, int *index,
                      ZipEntryInfo *info);

// Decodes up to size bytes of an entry into buffer (kind kZipSourceMemory). Every entry
// read to its end is checked against its recorded length and CRC.
ZipResult ZipUnzipItem(ZipHandle *handle, int index, void *buffer, uint32_t size, int kind);

ZipResult ZipClose(ZipHandle *handle);

} // namespace SkinUI
