#include "ResourcePackage.h"

#include "SevenZipPackage.h"
#include "ZipPackage.h"

namespace SkinUI {

namespace ResourcePackage {

void *OpenFile(const wchar_t *path, bool sevenZip)
{
    if (sevenZip)
        return SevenZipOpenFile(path);
    return ZipOpen(path, 0, kZipSourceFile);
}

void *OpenMemory(const void *data, uint32_t length, bool sevenZip)
{
    if (sevenZip)
        return SevenZipOpenMemory(data, length);
    return ZipOpen(data, length, kZipSourceMemory);
}

bool Find(void *handle, bool sevenZip, const wchar_t *name, int *index, uint64_t *size)
{
    if (sevenZip)
        return SevenZipFindItem(static_cast<C7zPackage *>(handle), name, index, size) ==
               kSevenZipOk;
    ZipEntryInfo info;
    if (ZipFindItem(static_cast<ZipHandle *>(handle), name, true, index, &info) != kZipOk)
        return false;
    *size = info.unpackedSize;
    return true;
}

bool Extract(void *handle, bool sevenZip, int index, void *buffer, uint64_t size)
{
    if (sevenZip)
        return SevenZipExtractItem(static_cast<C7zPackage *>(handle), index, buffer, size) ==
               kSevenZipOk;
    if (size > UINT32_MAX)
        return false;
    ZipResult result = ZipUnzipItem(static_cast<ZipHandle *>(handle), index, buffer,
                                    static_cast<uint32_t>(size), kZipSourceMemory);
    return result == kZipOk || result == kZipMore;
}

void Close(void *handle, bool sevenZip)
{
    if (sevenZip)
        SevenZipClose(static_cast<C7zPackage *>(handle));
    else
        ZipClose(static_cast<ZipHandle *>(handle));
}

} // namespace ResourcePackage

} // namespace SkinUI
