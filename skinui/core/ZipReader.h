#pragma once

#include "ScopedHandle.h"
#include "ZipPackage.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace SkinUI {

struct ZipCentralEntry;

// One open zip archive, read from a file or straight from a caller's memory block. Every
// read is checked against the size of its source.
class CZipReader
{
public:
    CZipReader();
    CZipReader(const CZipReader &) = delete;
    CZipReader &operator=(const CZipReader &) = delete;
    ~CZipReader();

    ZipResult OpenFile(const wchar_t *name);
    ZipResult OpenMemory(const void *data, uint32_t length);

    int GetEntryCount() const { return m_entryCount; }
    ZipResult Find(const wchar_t *name, bool ignoreCase, int *index, ZipEntryInfo *info);
    ZipResult Unzip(int index, void *buffer, uint32_t size);
    void CloseEntry();

private:
    struct EntryReadState;

    ZipResult OpenArchive();
    bool FindEndRecord(uint64_t &position);
    bool ReadAt(uint64_t offset, void *buffer, uint32_t length);
    bool GetCentralEntry(int index, ZipCentralEntry &entry) const;
    ZipResult CheckLocalHeader(const ZipCentralEntry &entry, uint64_t &dataOffset);
    ZipResult GetItem(int index, ZipEntryInfo &info);
    ZipResult OpenEntry(int index);
    ZipResult ReadEntry(uint8_t *buffer, uint32_t size);
    bool ProbeEntryEnd();
    bool FinishedEntryIsIntact() const;

    ScopedHandle m_file;
    const uint8_t *m_memory;
    uint64_t m_sourceSize;
    uint64_t m_archiveStart;
    int m_entryCount;
    std::vector<uint8_t> m_centralDirectory;
    std::vector<uint32_t> m_entryOffsets;
    int m_openIndex;
    std::unique_ptr<EntryReadState> m_entry;
    int m_cachedIndex;
    ZipEntryInfo m_cachedInfo;
};

} // namespace SkinUI
