#include "ZipPackage.h"
#include "ByteFields.h"
#include "GuardedBuffer.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace SkinUI;
using namespace SkinUI::Testing;

namespace {

// Extracts an entry into a buffer of exactly its size, as the skin readers do.
ZipResult ExtractWhole(ZipHandle *zip, const wchar_t *name, std::vector<uint8_t> &out)
{
    int index = -1;
    ZipEntryInfo info;
    ZipResult found = ZipFindItem(zip, name, true, &index, &info);
    if (found != kZipOk)
        return found;
    GuardedBuffer buffer(info.unpackedSize);
    ZipResult result = ZipUnzipItem(zip, index, buffer.Data(), info.unpackedSize, kZipSourceMemory);
    out.assign(buffer.Data(), buffer.Data() + buffer.Size());
    return result;
}

class ZipPackages : public ::testing::TestWithParam<const wchar_t *>
{
};

} // namespace

TEST_P(ZipPackages, FindEntriesByAnyCaseAndBackslashAndDeliverTheirBytes)
{
    std::vector<uint8_t> package = ReadWholeFile(SkinFixture(GetParam()));
    ASSERT_FALSE(package.empty());
    GuardedBuffer memory(package);
    ZipHandle *fromFile = ZipOpen(SkinFixture(GetParam()).c_str(), 0, kZipSourceFile);
    ZipHandle *fromMemory =
        ZipOpen(memory.Data(), static_cast<uint32_t>(memory.Size()), kZipSourceMemory);
    ASSERT_NE(nullptr, fromFile);
    ASSERT_NE(nullptr, fromMemory);

    struct Case
    {
        const wchar_t *name;
        const wchar_t *plainFile;
    } cases[] = {
        {L"mainWnd.xml", L"plain\\mainWnd.xml"},
        {L"MAINWND.XML", L"plain\\mainWnd.xml"},
        {L"res\\mainWnd\\bg1.png", L"plain\\res\\mainWnd\\bg1.png"},
        {L"RES/MainWnd/BG1.png", L"plain\\res\\mainWnd\\bg1.png"},
        {L"exact.xml", L"plain\\exact.xml"},
    };
    for (ZipHandle *zip : {fromFile, fromMemory}) {
        for (const Case &c : cases) {
            std::vector<uint8_t> bytes;
            EXPECT_EQ(kZipMore, ExtractWhole(zip, c.name, bytes)) << c.name;
            EXPECT_EQ(ReadWholeFile(SkinFixture(c.plainFile)), bytes) << c.name;
        }
        int index = 7;
        ZipEntryInfo info;
        EXPECT_EQ(kZipOk, ZipFindItem(zip, L"over.xml", true, &index, &info));
        EXPECT_EQ(4194305u, info.unpackedSize);
        EXPECT_STREQ(L"over.xml", info.name);
        EXPECT_EQ(kZipOk, ZipFindItem(zip, L"empty.xml", true, &index, &info));
        EXPECT_EQ(0u, info.unpackedSize);
        EXPECT_EQ(kZipNotFound, ZipFindItem(zip, L"MAINWND.XML", false, &index, &info));
        EXPECT_EQ(-1, index);
        EXPECT_EQ(kZipNotFound, ZipFindItem(zip, L"res/mainWnd", true, &index, &info));
    }
    EXPECT_EQ(kZipOk, ZipClose(fromFile));
    EXPECT_EQ(kZipOk, ZipClose(fromMemory));
}

INSTANTIATE_TEST_SUITE_P(StoredDeflatedAndPrefixed, ZipPackages,
                         ::testing::Values(L"stored.zip", L"deflated.zip", L"prefixed.zip"));

TEST(ZipPackage, ExtractingIntoAnExactBufferGivesMoreThenEnd)
{
    ZipHandle *zip = ZipOpen(SkinFixture(L"deflated.zip").c_str(), 0, kZipSourceFile);
    ASSERT_NE(nullptr, zip);
    int index = -1;
    ZipEntryInfo info;
    ASSERT_EQ(kZipOk, ZipFindItem(zip, L"mainWnd.xml", true, &index, &info));
    std::vector<uint8_t> buffer(info.unpackedSize);
    EXPECT_EQ(kZipMore, ZipUnzipItem(zip, index, buffer.data(), info.unpackedSize, 3));
    EXPECT_EQ(kZipOk, ZipUnzipItem(zip, index, buffer.data(), info.unpackedSize, 3));

    // Read in small pieces, the entry continues where it stopped.
    std::vector<uint8_t> pieces;
    uint8_t piece[100];
    ZipResult result = kZipMore;
    while ((result = ZipUnzipItem(zip, index, piece, sizeof piece, 3)) == kZipMore)
        pieces.insert(pieces.end(), piece,
                      piece + std::min<size_t>(sizeof piece, buffer.size() - pieces.size()));
    EXPECT_EQ(kZipOk, result);
    EXPECT_EQ(buffer, pieces);
    EXPECT_EQ(ReadWholeFile(SkinFixture(L"plain\\mainWnd.xml")), buffer);
    ZipClose(zip);
}

TEST(ZipPackage, RefusesBadArgumentsAndForeignHandles)
{
    EXPECT_EQ(kZipBadArgument, ZipClose(nullptr));
    EXPECT_EQ(nullptr, ZipOpen(SkinFixture(L"missing.zip").c_str(), 0, kZipSourceFile));
    EXPECT_EQ(nullptr, ZipOpen(SkinFixture(L"notarchive.7z").c_str(), 0, kZipSourceFile));
    EXPECT_EQ(nullptr, ZipOpen(SkinFixture(L"skin.7z").c_str(), 0, kZipSourceFile));
    EXPECT_EQ(nullptr, ZipOpen(SkinFixture(L"stored.zip").c_str(), 0, 1));

    ZipHandle foreign = {2, nullptr};
    int index = 0;
    ZipEntryInfo info;
    EXPECT_EQ(kZipNotZipHandle, ZipClose(&foreign));
    EXPECT_EQ(kZipNotZipHandle, ZipFindItem(&foreign, L"mainWnd.xml", true, &index, &info));

    ZipHandle *zip = ZipOpen(SkinFixture(L"stored.zip").c_str(), 0, kZipSourceFile);
    ASSERT_NE(nullptr, zip);
    uint8_t byte = 0;
    EXPECT_EQ(kZipBadArgument, ZipUnzipItem(zip, 5, &byte, 1, 3));
    EXPECT_EQ(kZipBadArgument, ZipUnzipItem(zip, -1, &byte, 1, 3));
    EXPECT_EQ(kZipBadArgument, ZipUnzipItem(zip, 0, &byte, 1, 2));
    EXPECT_EQ(kZipBadArgument, ZipUnzipItem(nullptr, 0, &byte, 1, 3));

    std::wstring longName(255, L'a');
    EXPECT_EQ(kZipNotFound, ZipFindItem(zip, (longName + L"b").c_str(), true, &index, &info));
    EXPECT_EQ(kZipNotFound, ZipFindItem(zip, longName.c_str(), true, &index, &info));
    ZipClose(zip);
}

TEST(ZipPackage, ReportsCorruptEntriesAsErrorsNeverAsSuccess)
{
    const std::vector<uint8_t> original = ReadWholeFile(SkinFixture(L"small-stored.zip"));
    size_t local = FindSignature(original, 0x04034B50);
    size_t central = FindSignature(original, 0x02014B50);
    ASSERT_NE(std::string::npos, central);
    size_t nameLength = original[local + 26] | (original[local + 27] << 8);
    size_t extraLength = original[local + 28] | (original[local + 29] << 8);
    size_t data = local + 30 + nameLength + extraLength;
    std::string firstName(original.begin() + local + 30, original.begin() + data);
    std::wstring name(firstName.begin(), firstName.end());

    struct Case
    {
        const char *what;
        void (*corrupt)(std::vector<uint8_t> &, size_t local, size_t central, size_t data);
        ZipResult find;
        ZipResult extract;
    } cases[] = {
        {"flipped data byte", [](std::vector<uint8_t> &b, size_t, size_t, size_t d) { b[d] ^= 1; },
         kZipOk, kZipCannotDecode},
        {"bad local signature", [](std::vector<uint8_t> &b, size_t l, size_t, size_t) { b[l] = 0; },
         kZipCorruptEntry, kZipCannotDecode},
        {"local method differs",
         [](std::vector<uint8_t> &b, size_t l, size_t, size_t) { b[l + 8] = 8; }, kZipCorruptEntry,
         kZipCannotDecode},
        {"unknown method in both",
         [](std::vector<uint8_t> &b, size_t l, size_t c, size_t) { b[l + 8] = b[c + 10] = 12; },
         kZipCorruptEntry, kZipCannotDecode},
        {"zip64 size marker",
         [](std::vector<uint8_t> &b, size_t l, size_t c, size_t) {
             WriteLe32(b, l + 22, 0xFFFFFFFF);
             WriteLe32(b, c + 24, 0xFFFFFFFF);
         },
         kZipCorruptEntry, kZipCannotDecode},
        {"size that is negative as a signed number",
         [](std::vector<uint8_t> &b, size_t l, size_t c, size_t) {
             WriteLe32(b, l + 18, 0x80000100);
             WriteLe32(b, l + 22, 0x80000100);
             WriteLe32(b, c + 20, 0x80000100);
             WriteLe32(b, c + 24, 0x80000100);
         },
         kZipOk, kZipCannotDecode},
        {"recorded length longer than the data",
         [](std::vector<uint8_t> &b, size_t l, size_t c, size_t) {
             uint32_t longer = ReadLe32(b, c + 24) + 1;
             WriteLe32(b, l + 18, longer);
             WriteLe32(b, l + 22, longer);
             WriteLe32(b, c + 20, longer);
             WriteLe32(b, c + 24, longer);
         },
         kZipOk, kZipCannotDecode},
    };
    for (const Case &c : cases) {
        std::vector<uint8_t> bytes = original;
        c.corrupt(bytes, local, central, data);
        GuardedBuffer memory(bytes);
        ZipHandle *zip = ZipOpen(memory.Data(), static_cast<uint32_t>(memory.Size()), 3);
        ASSERT_NE(nullptr, zip) << c.what;
        int index = -1;
        ZipEntryInfo info;
        EXPECT_EQ(c.find, ZipFindItem(zip, name.c_str(), true, &index, &info)) << c.what;
        if (c.find == kZipOk) {
            EXPECT_EQ(ReadLe32(bytes, central + 24), info.unpackedSize)
                << c.what << ": the size the directory records";
            std::vector<uint8_t> out(std::min<uint32_t>(info.unpackedSize, 1 << 20));
            EXPECT_EQ(c.extract,
                      ZipUnzipItem(zip, index, out.data(), static_cast<uint32_t>(out.size()), 3))
                << c.what;
        } else {
            std::vector<uint8_t> out(16);
            EXPECT_EQ(c.extract, ZipUnzipItem(zip, 0, out.data(), 16, 3)) << c.what;
        }
        ZipClose(zip);
    }
}

TEST(ZipPackage, RefusesArchivesWhoseDirectoryCannotBeTrusted)
{
    const std::vector<uint8_t> original = ReadWholeFile(SkinFixture(L"small.zip"));
    size_t record = FindSignature(original, 0x06054B50);
    ASSERT_NE(std::string::npos, record);
    struct Case
    {
        const char *what;
        size_t offset;
        uint32_t value;
        int width;
    } cases[] = {
        {"other disk", 4, 1, 2},
        {"entries on disk differ from total", 8, 9, 2},
        {"zip64 entry count", 8, 0xFFFF, 2},
        {"central directory offset past the record", 16, 0x7FFFFFF0, 4},
        {"central directory size past the record", 12, 0x7FFFFFF0, 4},
        {"zip64 directory offset", 16, 0xFFFFFFFF, 4},
    };
    for (const Case &c : cases) {
        std::vector<uint8_t> bytes = original;
        for (int i = 0; i < c.width; ++i)
            bytes[record + c.offset + i] = static_cast<uint8_t>(c.value >> (8 * i));
        if (c.offset == 8 && c.value == 0xFFFF)
            bytes[record + 10] = bytes[record + 11] = 0xFF;
        GuardedBuffer memory(bytes);
        EXPECT_EQ(nullptr, ZipOpen(memory.Data(), static_cast<uint32_t>(memory.Size()), 3))
            << c.what;
    }
    for (size_t cut : {size_t(0), size_t(10), record, record + 21}) {
        std::vector<uint8_t> bytes(original.begin(), original.begin() + cut);
        GuardedBuffer memory(bytes);
        EXPECT_EQ(nullptr, ZipOpen(memory.Data(), static_cast<uint32_t>(memory.Size()), 3))
            << "cut at " << cut;
    }
}
