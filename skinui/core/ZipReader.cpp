#include "ZipReader.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace SkinUI {

namespace {

const uint32_t kEndRecordSignature = 0x06054B50;
const uint32_t kCentralSignature = 0x02014B50;
const uint32_t kLocalSignature = 0x04034B50;
const uint32_t kEndRecordSize = 22;
const uint32_t kCentralFixedSize = 46;
const uint32_t kLocalFixedSize = 30;
const uint32_t kEndRecordSearchSpan = 0xFFFF;
const uint32_t kReadChunk = 0x4000;
const uint32_t kZip64Marker = 0xFFFFFFFF;
const size_t kMaxQueryNameBytes = 255;
const uint16_t kFlagEncrypted = 0x0001;
const uint16_t kFlagDataDescriptor = 0x0008;
const uint16_t kMethodStored = 0;
const uint16_t kMethodDeflated = 8;

uint16_t Read16(const uint8_t *p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t Read32(const uint8_t *p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint8_t AsciiUpper(uint8_t c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<uint8_t>(c - 'a' + 'A') : c;
}

} // namespace

struct ZipCentralEntry
{
    uint16_t flags;
    uint16_t method;
    uint16_t time;
    uint16_t date;
    uint32_t crc;
    uint32_t compressedSize;
    uint32_t unpackedSize;
    uint32_t externalAttributes;
    uint32_t localOffset;
    const uint8_t *name;
    uint16_t nameLength;
};

struct CZipReader::EntryReadState
{
    ZipCentralEntry central = {};
    uint64_t nextRead = 0;
    uint32_t compressedLeft = 0;
    uint32_t delivered = 0;
    uint32_t crc = 0;
    bool finished = false;
    bool inflating = false;
    z_stream stream = {};
    std::vector<uint8_t> readBuffer;

    ~EntryReadState()
    {
        if (inflating)
            inflateEnd(&stream);
    }
};

CZipReader::CZipReader()
    : m_memory(nullptr), m_sourceSize(0), m_archiveStart(0), m_entryCount(0), m_openIndex(-1),
      m_cachedIndex(-1), m_cachedInfo()
{
}

CZipReader::~CZipReader()
{
    CloseEntry();
}

ZipResult CZipReader::OpenFile(const wchar_t *name)
{
    m_file.Reset(CreateFileW(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    if (!m_file.IsValid() || !GetFileSizeEx(m_file.Get(), &size))
        return kZipCannotOpenArchive;
    m_sourceSize = static_cast<uint64_t>(size.QuadPart);
    return OpenArchive();
}

ZipResult CZipReader::OpenMemory(const void *data, uint32_t length)
{
    if (data == nullptr)
        return kZipBadArgument;
    m_memory = static_cast<const uint8_t *>(data);
    m_sourceSize = length;
    return OpenArchive();
}

bool CZipReader::ReadAt(uint64_t offset, void *buffer, uint32_t length)
{
    if (offset > m_sourceSize || length > m_sourceSize - offset)
        return false;
    if (m_memory != nullptr) {
        memcpy(buffer, m_memory + offset, length);
        return true;
    }
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(m_file.Get(), position, nullptr, FILE_BEGIN))
        return false;
    DWORD read = 0;
    return ReadFile(m_file.Get(), buffer, length, &read, nullptr) && read == length;
}

bool CZipReader::FindEndRecord(uint64_t &position)
{
    uint32_t span = static_cast<uint32_t>(std::min<uint64_t>(m_sourceSize, kEndRecordSearchSpan));
    if (span < kEndRecordSize)
        return false;
    std::vector<uint8_t> tail(span);
    uint64_t tailStart = m_sourceSize - span;
    if (!ReadAt(tailStart, tail.data(), span))
        return false;
    // The last signature whose whole record fits wins: the comment may hold anything.
    for (uint32_t i = span - kEndRecordSize + 1; i-- > 0;) {
        if (Read32(&tail[i]) == kEndRecordSignature) {
            position = tailStart + i;
            return true;
        }
    }
    return false;
}

ZipResult CZipReader::OpenArchive()
{
    uint64_t recordPosition = 0;
    uint8_t record[kEndRecordSize];
    if (!FindEndRecord(recordPosition) || !ReadAt(recordPosition, record, kEndRecordSize))
        return kZipCannotOpenArchive;
    uint16_t disk = Read16(record + 4);
    uint16_t centralDisk = Read16(record + 6);
    uint16_t entriesOnDisk = Read16(record + 8);
    uint16_t totalEntries = Read16(record + 10);
    uint32_t centralSize = Read32(record + 12);
    uint32_t centralOffset = Read32(record + 16);
    if (disk != 0 || centralDisk != 0 || entriesOnDisk != totalEntries)
        return kZipCannotOpenArchive;
    // Zip64 archives keep their real numbers elsewhere; they are not skin packages.
    if (totalEntries == 0xFFFF || centralSize == kZip64Marker || centralOffset == kZip64Marker)
        return kZipCannotOpenArchive;
    uint64_t centralSpan = static_cast<uint64_t>(centralOffset) + centralSize;
    if (centralSpan > recordPosition)
        return kZipCannotOpenArchive;
    // Data before the archive (a self-extractor stub, say) shifts every offset.
    m_archiveStart = recordPosition - centralSpan;
    m_centralDirectory.resize(centralSize);
    if (centralSize > 0 &&
        !ReadAt(m_archiveStart + centralOffset, m_centralDirectory.data(), centralSize))
        return kZipCannotOpenArchive;
    m_entryCount = totalEntries;

    // Walk the directory once; a malformed entry ends the walk and hides all behind it.
    size_t offset = 0;
    for (int i = 0; i < m_entryCount; ++i) {
        if (m_centralDirectory.size() - offset < kCentralFixedSize)
            break;
        const uint8_t *p = &m_centralDirectory[offset];
        if (Read32(p) != kCentralSignature)
            break;
        size_t entrySize = kCentralFixedSize + Read16(p + 28) + Read16(p + 30) + Read16(p + 32);
        if (m_centralDirectory.size() - offset < entrySize)
            break;
        m_entryOffsets.push_back(static_cast<uint32_t>(offset));
        offset += entrySize;
    }
    return kZipOk;
}

bool CZipReader::GetCentralEntry(int index, ZipCentralEntry &entry) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_entryOffsets.size())
        return false;
    const uint8_t *p = &m_centralDirectory[m_entryOffsets[static_cast<size_t>(index)]];
    entry.flags = Read16(p + 8);
    entry.method = Read16(p + 10);
    entry.time = Read16(p + 12);
    entry.date = Read16(p + 14);
    entry.crc = Read32(p + 16);
    entry.compressedSize = Read32(p + 20);
    entry.unpackedSize = Read32(p + 24);
    entry.nameLength = Read16(p + 28);
    entry.externalAttributes = Read32(p + 38);
    entry.localOffset = Read32(p + 42);
    entry.name = p + kCentralFixedSize;
    return true;
}

ZipResult CZipReader::CheckLocalHeader(const ZipCentralEntry &entry, uint64_t &dataOffset)
{
    if (entry.compressedSize == kZip64Marker || entry.unpackedSize == kZip64Marker ||
        entry.localOffset == kZip64Marker)
        return kZipCorruptEntry;
    if (entry.method != kMethodStored && entry.method != kMethodDeflated)
        return kZipCorruptEntry;
    uint8_t header[kLocalFixedSize];
    uint64_t headerOffset = m_archiveStart + entry.localOffset;
    if (!ReadAt(headerOffset, header, kLocalFixedSize) || Read32(header) != kLocalSignature)
        return kZipCorruptEntry;
    if (Read16(header + 8) != entry.method || Read16(header + 26) != entry.nameLength)
        return kZipCorruptEntry;
    if (!(entry.flags & kFlagDataDescriptor) &&
        (Read32(header + 14) != entry.crc || Read32(header + 18) != entry.compressedSize ||
         Read32(header + 22) != entry.unpackedSize))
        return kZipCorruptEntry;
    uint16_t extraLength = Read16(header + 28);
    std::vector<uint8_t> extra(extraLength);
    uint64_t extraOffset = headerOffset + kLocalFixedSize + entry.nameLength;
    if (extraLength > 0 && !ReadAt(extraOffset, extra.data(), extraLength))
        return kZipBadExtraField;
    dataOffset = extraOffset + extraLength;
    return kZipOk;
}

ZipResult CZipReader::GetItem(int index, ZipEntryInfo &info)
{
    if (index == m_cachedIndex) {
        info = m_cachedInfo;
        return kZipOk;
    }
    ZipCentralEntry entry;
    if (!GetCentralEntry(index, entry))
        return kZipCorruptEntry;
    uint64_t dataOffset = 0;
    ZipResult result = CheckLocalHeader(entry, dataOffset);
    if (result != kZipOk)
        return result;

    ZipEntryInfo found = {};
    found.index = index;
    int nameBytes = std::min<int>(entry.nameLength, 256);
    int converted = MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char *>(entry.name),
                                        nameBytes, found.name, 259);
    found.name[converted > 0 ? converted : 0] = L'\0';
    found.attributes = entry.externalAttributes;
    FILETIME local = {};
    if (DosDateTimeToFileTime(entry.date, entry.time, &local))
        LocalFileTimeToFileTime(&local, &found.writeTime);
    found.accessTime = found.writeTime;
    found.creationTime = found.writeTime;
    found.compressedSize = entry.compressedSize;
    found.unpackedSize = entry.unpackedSize;

    m_cachedIndex = index;
    m_cachedInfo = found;
    info = found;
    return kZipOk;
}

ZipResult CZipReader::Find(const wchar_t *name, bool ignoreCase, int *index, ZipEntryInfo *info)
{
    if (name == nullptr || index == nullptr || info == nullptr)
        return kZipBadArgument;
    CloseEntry();
    *index = -1;
    // Slashes are turned round before the conversion: in double-byte code pages a
    // backslash byte can be the second half of a character.
    std::wstring wide(name);
    std::replace(wide.begin(), wide.end(), L'\\', L'/');
    char query[kMaxQueryNameBytes + 1];
    int queryLength =
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), query,
                            static_cast<int>(kMaxQueryNameBytes), nullptr, nullptr);
    if (queryLength <= 0 && !wide.empty())
        return kZipNotFound;

    for (int i = 0; i < static_cast<int>(m_entryOffsets.size()); ++i) {
        ZipCentralEntry entry;
        GetCentralEntry(i, entry);
        if (entry.nameLength != queryLength)
            continue;
        bool same = true;
        for (int c = 0; c < queryLength && same; ++c) {
            uint8_t a = entry.name[c];
            uint8_t b = static_cast<uint8_t>(query[c]);
            same = ignoreCase ? AsciiUpper(a) == AsciiUpper(b) : a == b;
        }
        if (!same)
            continue;
        ZipResult result = GetItem(i, *info);
        if (result == kZipOk)
            *index = i;
        return result;
    }
    return kZipNotFound;
}

void CZipReader::CloseEntry()
{
    m_entry.reset();
    m_openIndex = -1;
}

ZipResult CZipReader::OpenEntry(int index)
{
    std::unique_ptr<EntryReadState> state(new EntryReadState);
    if (!GetCentralEntry(index, state->central))
        return kZipCannotDecode;
    const ZipCentralEntry &entry = state->central;
    uint64_t dataOffset = 0;
    if (CheckLocalHeader(entry, dataOffset) != kZipOk || (entry.flags & kFlagEncrypted))
        return kZipCannotDecode;
    if (dataOffset > m_sourceSize || entry.compressedSize > m_sourceSize - dataOffset)
        return kZipCannotDecode;
    if (entry.method == kMethodStored && entry.compressedSize != entry.unpackedSize)
        return kZipCannotDecode;
    state->nextRead = dataOffset;
    state->compressedLeft = entry.compressedSize;
    state->crc = crc32(0, nullptr, 0);
    state->readBuffer.resize(kReadChunk);
    if (entry.method == kMethodDeflated) {
        if (inflateInit2(&state->stream, -MAX_WBITS) != Z_OK)
            return kZipCannotDecode;
        state->inflating = true;
    }
    m_entry = std::move(state);
    m_openIndex = index;
    return kZipOk;
}

bool CZipReader::FinishedEntryIsIntact() const
{
    return m_entry->delivered == m_entry->central.unpackedSize &&
           m_entry->crc == m_entry->central.crc;
}

ZipResult CZipReader::ReadEntry(uint8_t *buffer, uint32_t size)
{
    EntryReadState &state = *m_entry;
    uint32_t delivered = 0;
    bool failed = false;
    while (delivered < size && !state.finished && !failed) {
        uint32_t produced = 0;
        if (!state.inflating) {
            uint32_t count = std::min({size - delivered, state.compressedLeft, kReadChunk});
            if (!ReadAt(state.nextRead, buffer + delivered, count)) {
                failed = true;
                break;
            }
            state.nextRead += count;
            state.compressedLeft -= count;
            produced = count;
        } else {
            if (state.stream.avail_in == 0 && state.compressedLeft > 0) {
                uint32_t count = std::min(state.compressedLeft, kReadChunk);
                if (!ReadAt(state.nextRead, state.readBuffer.data(), count)) {
                    failed = true;
                    break;
                }
                state.nextRead += count;
                state.compressedLeft -= count;
                state.stream.next_in = state.readBuffer.data();
                state.stream.avail_in = count;
            }
            state.stream.next_out = buffer + delivered;
            state.stream.avail_out = size - delivered;
            int rc = inflate(&state.stream, Z_SYNC_FLUSH);
            produced = size - delivered - state.stream.avail_out;
            if (rc == Z_STREAM_END)
                state.finished = true;
            else if (rc == Z_BUF_ERROR && state.stream.avail_in == 0 && state.compressedLeft == 0)
                failed = true; // the compressed data ends before the stream does
            else if (rc != Z_OK && rc != Z_BUF_ERROR)
                failed = true;
        }
        state.crc = crc32(state.crc, buffer + delivered, produced);
        delivered += produced;
        if (produced > state.central.unpackedSize - state.delivered) {
            failed = true;
            break;
        }
        state.delivered += produced;
        if (!state.inflating && state.delivered == state.central.unpackedSize)
            state.finished = true;
    }
    if (!failed && !state.inflating && state.delivered == state.central.unpackedSize)
        state.finished = true;

    bool complete = state.delivered == state.central.unpackedSize;
    if (failed || ((state.finished || complete) && !FinishedEntryIsIntact())) {
        CloseEntry();
        return kZipCannotDecode;
    }
    if (delivered > 0)
        return kZipMore;
    if (!state.finished && !ProbeEntryEnd()) {
        CloseEntry();
        return kZipCannotDecode;
    }
    CloseEntry();
    return kZipOk;
}

bool CZipReader::ProbeEntryEnd()
{
    // Every promised byte was delivered; the deflate stream must now end without more.
    EntryReadState &state = *m_entry;
    if (!state.inflating)
        return state.delivered == state.central.unpackedSize;
    uint8_t scratch = 0;
    for (;;) {
        if (state.stream.avail_in == 0 && state.compressedLeft > 0) {
            uint32_t count = std::min(state.compressedLeft, kReadChunk);
            if (!ReadAt(state.nextRead, state.readBuffer.data(), count))
                return false;
            state.nextRead += count;
            state.compressedLeft -= count;
            state.stream.next_in = state.readBuffer.data();
            state.stream.avail_in = count;
        }
        state.stream.next_out = &scratch;
        state.stream.avail_out = 1;
        int rc = inflate(&state.stream, Z_SYNC_FLUSH);
        if (state.stream.avail_out == 0)
            return false;
        if (rc == Z_STREAM_END)
            return FinishedEntryIsIntact();
        bool moreInput = state.stream.avail_in == 0 && state.compressedLeft > 0;
        if ((rc != Z_OK && rc != Z_BUF_ERROR) || (rc == Z_BUF_ERROR && !moreInput))
            return false;
    }
}

ZipResult CZipReader::Unzip(int index, void *buffer, uint32_t size)
{
    if (index < 0 || index >= m_entryCount || (buffer == nullptr && size > 0))
        return kZipBadArgument;
    if (index != m_openIndex) {
        CloseEntry();
        if (OpenEntry(index) != kZipOk)
            return kZipCannotDecode;
    }
    return ReadEntry(static_cast<uint8_t *>(buffer), size);
}

} // namespace SkinUI
