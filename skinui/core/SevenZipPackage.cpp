#include "SevenZipPackage.h"

#include "MemoryInStream.h"
#include "ResourcePackage.h"

#include <7z.h>
#include <7zCrc.h>
#include <7zFile.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

namespace SkinUI {

namespace {

const size_t kLookAheadBufferSize = 1 << 14;

void *AllocateBlock(ISzAllocPtr, size_t size)
{
    return size == 0 ? nullptr : malloc(size);
}

void FreeBlock(ISzAllocPtr, void *address)
{
    free(address);
}

const ISzAlloc kAllocator = {AllocateBlock, FreeBlock};

void GenerateCrcTableOnce()
{
    static bool generated = false;
    if (!generated) {
        CrcGenerateTable();
        generated = true;
    }
}

// Owns the decoder's archive database and its shared output buffer.
class ArchiveDatabase
{
public:
    ArchiveDatabase() { SzArEx_Init(&db); }
    ~ArchiveDatabase()
    {
        ISzAlloc_Free(&kAllocator, outBuffer);
        SzArEx_Free(&db, &kAllocator);
    }

    CSzArEx db;
    UInt32 blockIndex = 0xFFFFFFFF;
    Byte *outBuffer = nullptr;
    size_t outBufferSize = 0;
};

// The decoder inflates an entry's whole block at once: a block beyond the limit is not
// inflated, for none of its entries.
bool BlockTooLarge(const CSzArEx &db, UInt32 index)
{
    const UInt32 block = db.FileToFolder[index];
    return block != static_cast<UInt32>(-1) &&
           SzAr_GetFolderUnpackSize(&db.db, block) > ResourcePackage::kMaxInflatedSize;
}

std::unique_ptr<SevenZipEntry> ExtractEntry(ArchiveDatabase &archive, ILookInStreamPtr stream,
                                            UInt32 index)
{
    std::unique_ptr<SevenZipEntry> entry(new (std::nothrow) SevenZipEntry());
    size_t nameLength = SzArEx_GetFileNameUtf16(&archive.db, index, nullptr);
    if (entry == nullptr || nameLength == 0 || nameLength > INT32_MAX)
        return nullptr;
    std::unique_ptr<UInt16[]> name(new (std::nothrow) UInt16[nameLength]);
    entry->name.reset(new (std::nothrow) wchar_t[nameLength]);
    if (name == nullptr || entry->name == nullptr)
        return nullptr;
    SzArEx_GetFileNameUtf16(&archive.db, index, name.get());
    for (size_t i = 0; i < nameLength; ++i)
        entry->name[i] = static_cast<wchar_t>(name[i]);
    entry->name[nameLength - 1] = L'\0';
    entry->nameLength = static_cast<int>(nameLength);
    entry->index = static_cast<int>(index);
    if (BlockTooLarge(archive.db, index)) {
        entry->size = SzArEx_GetFileSize(&archive.db, index);
        return entry;
    }

    size_t offset = 0;
    size_t processed = 0;
    SRes result =
        SzArEx_Extract(&archive.db, stream, index, &archive.blockIndex, &archive.outBuffer,
                       &archive.outBufferSize, &offset, &processed, &kAllocator, &kAllocator);
    if (result != SZ_OK)
        return nullptr;
    entry->data.reset(new (std::nothrow) uint8_t[processed > 0 ? processed : 1]);
    if (entry->data == nullptr)
        return nullptr;
    if (processed > 0)
        memcpy(entry->data.get(), archive.outBuffer + offset, processed);
    entry->size = processed;
    return entry;
}

C7zPackage *ReadArchive(ISeekInStreamPtr source)
{
    CLookToRead2 look = {};
    LookToRead2_CreateVTable(&look, False);
    std::unique_ptr<Byte[]> lookBuffer(new (std::nothrow) Byte[kLookAheadBufferSize]);
    if (lookBuffer == nullptr)
        return nullptr;
    look.buf = lookBuffer.get();
    look.bufSize = kLookAheadBufferSize;
    look.realStream = source;
    LookToRead2_INIT(&look);

    GenerateCrcTableOnce();
    ArchiveDatabase archive;
    if (SzArEx_Open(&archive.db, &look.vt, &kAllocator, &kAllocator) != SZ_OK)
        return nullptr;

    std::unique_ptr<C7zPackage> package(new (std::nothrow) C7zPackage);
    if (package == nullptr)
        return nullptr;
    for (UInt32 i = 0; i < archive.db.NumFiles; ++i) {
        if (SzArEx_IsDir(&archive.db, i))
            continue;
        // An entry that cannot be decoded ends the table; what came before stays usable.
        std::unique_ptr<SevenZipEntry> entry = ExtractEntry(archive, &look.vt, i);
        if (entry == nullptr)
            break;
        package->entries.push_back(std::move(entry));
    }
    return package.release();
}

} // namespace

C7zPackage *SevenZipOpenMemory(const void *data, uint32_t length)
{
    std::unique_ptr<MemoryInStream> stream(new (std::nothrow) MemoryInStream);
    if (stream == nullptr || data == nullptr || !stream->Assign(data, length))
        return nullptr;
    return ReadArchive(&stream->vt);
}

C7zPackage *SevenZipOpenFile(const wchar_t *fileName)
{
    if (fileName == nullptr)
        return nullptr;
    CFileInStream stream;
    FileInStream_CreateVTable(&stream);
    File_Construct(&stream.file);
    if (InFile_OpenW(&stream.file, fileName) != 0)
        return nullptr;
    C7zPackage *package = ReadArchive(&stream.vt);
    File_Close(&stream.file);
    return package;
}

uint32_t SevenZipFindItem(C7zPackage *package, const wchar_t *name, int *index, uint64_t *size)
{
    if (package == nullptr || name == nullptr)
        return kSevenZipFailed;
    std::wstring wanted(name);
    for (wchar_t &c : wanted) {
        if (c == L'\\')
            c = L'/';
    }
    for (const std::unique_ptr<SevenZipEntry> &entry : package->entries) {
        if (static_cast<size_t>(entry->nameLength) != wanted.size() + 1)
            continue;
        if (lstrcmpiW(entry->name.get(), wanted.c_str()) == 0) {
            if (index != nullptr)
                *index = entry->index;
            if (size != nullptr)
                *size = entry->size;
            return kSevenZipOk;
        }
    }
    return kSevenZipFailed;
}

uint32_t SevenZipExtractItem(C7zPackage *package, int index, void *buffer, uint64_t bufferSize)
{
    if (package == nullptr)
        return kSevenZipFailed;
    for (const std::unique_ptr<SevenZipEntry> &entry : package->entries) {
        if (entry->index != index)
            continue;
        if (entry->size > bufferSize || (entry->size > 0 && (buffer == nullptr || !entry->data)))
            return kSevenZipFailed;
        if (entry->size > 0)
            memcpy(buffer, entry->data.get(), static_cast<size_t>(entry->size));
        return kSevenZipOk;
    }
    return kSevenZipFailed;
}

uint32_t SevenZipClose(C7zPackage *package)
{
    if (package == nullptr)
        return kSevenZipFailed;
    delete package;
    return kSevenZipOk;
}

} // namespace SkinUI
