#include "ZipPackage.h"

#include "ZipReader.h"

#include <new>

namespace SkinUI {

namespace {

const int kZipHandleMarker = 1;

ZipResult CheckHandle(ZipHandle *handle)
{
    if (handle == nullptr)
        return kZipBadArgument;
    if (handle->marker != kZipHandleMarker || handle->reader == nullptr)
        return kZipNotZipHandle;
    return kZipOk;
}

} // namespace

ZipHandle *ZipOpen(const void *source, uint32_t length, int kind)
{
    if (source == nullptr)
        return nullptr;
    CZipReader *reader = new (std::nothrow) CZipReader;
    if (reader == nullptr)
        return nullptr;
    ZipResult result = kZipBadArgument;
    if (kind == kZipSourceFile)
        result = reader->OpenFile(static_cast<const wchar_t *>(source));
    else if (kind == kZipSourceMemory)
        result = reader->OpenMemory(source, length);
    ZipHandle *handle =
        result == kZipOk ? new (std::nothrow) ZipHandle{kZipHandleMarker, reader} : nullptr;
    if (handle == nullptr)
        delete reader;
    return handle;
}

ZipResult ZipFindItem(ZipHandle *handle, const wchar_t *name, bool ignoreCase, int *index,
                      ZipEntryInfo *info)
{
    ZipResult result = CheckHandle(handle);
    if (result != kZipOk)
        return result;
    return handle->reader->Find(name, ignoreCase, index, info);
}

ZipResult ZipUnzipItem(ZipHandle *handle, int index, void *buffer, uint32_t size, int kind)
{
    ZipResult result = CheckHandle(handle);
    if (result != kZipOk)
        return result;
    if (kind != kZipSourceMemory)
        return kZipBadArgument;
    return handle->reader->Unzip(index, buffer, size);
}

ZipResult ZipClose(ZipHandle *handle)
{
    ZipResult result = CheckHandle(handle);
    if (result != kZipOk)
        return result;
    delete handle->reader;
    delete handle;
    return kZipOk;
}

} // namespace SkinUI
