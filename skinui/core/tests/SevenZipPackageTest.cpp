#include "SevenZipPackage.h"
#include "LiveAllocations.h"
#include "MemoryInStream.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace SkinUI;
using namespace SkinUI::Testing;

namespace {

struct PackageCloser
{
    void operator()(C7zPackage *package) const { SevenZipClose(package); }
};
using Package = std::unique_ptr<C7zPackage, PackageCloser>;

std::vector<uint8_t> Extract(C7zPackage *package, const wchar_t *name, uint32_t *result)
{
    int index = -1;
    uint64_t size = 0;
    *result = SevenZipFindItem(package, name, &index, &size);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (*result == kSevenZipOk)
        *result = SevenZipExtractItem(package, index, bytes.data(), size);
    return bytes;
}

} // namespace

TEST(SevenZipPackage, OpensFromFileAndMemoryAndFindsEntriesByAnyCaseAndSlash)
{
    std::vector<uint8_t> archive = ReadWholeFile(SkinFixture(L"skin.7z"));
    Package fromFile(SevenZipOpenFile(SkinFixture(L"skin.7z").c_str()));
    Package fromMemory(SevenZipOpenMemory(archive.data(), static_cast<uint32_t>(archive.size())));
    archive.assign(archive.size(), 0); // the package keeps its own copy
    ASSERT_TRUE(fromFile);
    ASSERT_TRUE(fromMemory);

    struct Case
    {
        const wchar_t *name;
        const wchar_t *plainFile;
    } cases[] = {
        {L"mainWnd.xml", L"plain\\mainWnd.xml"},
        {L"res\\mainWnd\\bg1.png", L"plain\\res\\mainWnd\\bg1.png"},
        {L"RES/MAINWND/BG1.PNG", L"plain\\res\\mainWnd\\bg1.png"},
        {L"exact.xml", L"plain\\exact.xml"},
        {L"over.xml", L"plain\\over.xml"},
        {L"empty.xml", L"plain\\empty.xml"},
    };
    for (C7zPackage *package : {fromFile.get(), fromMemory.get()}) {
        // Folders are not entries.
        EXPECT_EQ(5u, package->entries.size());
        for (const Case &c : cases) {
            uint32_t result = 1;
            std::vector<uint8_t> bytes = Extract(package, c.name, &result);
            EXPECT_EQ(kSevenZipOk, result) << c.name;
            EXPECT_EQ(ReadWholeFile(SkinFixture(c.plainFile)), bytes) << c.name;
        }
        int index = -1;
        uint64_t size = 0;
        for (const wchar_t *absent : {L"res/emptydir", L"res", L"mainWnd.xm", L"xmainWnd.xml", L""})
            EXPECT_EQ(kSevenZipFailed, SevenZipFindItem(package, absent, &index, &size)) << absent;
        EXPECT_EQ(kSevenZipFailed, SevenZipFindItem(package, nullptr, &index, &size));
        EXPECT_EQ(kSevenZipFailed, SevenZipExtractItem(package, 999, nullptr, 0));
    }
}

TEST(SevenZipPackage, RefusesWhatIsNoArchiveAndBuffersThatAreTooSmall)
{
    EXPECT_EQ(nullptr, SevenZipOpenFile(SkinFixture(L"notarchive.7z").c_str()));
    EXPECT_EQ(nullptr, SevenZipOpenFile(SkinFixture(L"missing.7z").c_str()));
    EXPECT_EQ(nullptr, SevenZipOpenFile(SkinFixture(L"small.zip").c_str()));
    EXPECT_EQ(nullptr, SevenZipOpenMemory(nullptr, 10));
    uint8_t nothing = 0;
    EXPECT_EQ(nullptr, SevenZipOpenMemory(&nothing, 0));
    EXPECT_EQ(kSevenZipFailed, SevenZipClose(nullptr));
    EXPECT_EQ(kSevenZipFailed, SevenZipFindItem(nullptr, L"mainWnd.xml", nullptr, nullptr));

    Package package(SevenZipOpenFile(SkinFixture(L"small.7z").c_str()));
    ASSERT_TRUE(package);
    int index = -1;
    uint64_t size = 0;
    ASSERT_EQ(kSevenZipOk, SevenZipFindItem(package.get(), L"mainWnd.xml", &index, &size));
    std::vector<uint8_t> small(static_cast<size_t>(size) - 1);
    EXPECT_EQ(kSevenZipFailed, SevenZipExtractItem(package.get(), index, small.data(), size - 1));
}

TEST(SevenZipPackage, CutOrDamagedArchivesOpenToNothingOrToTheirIntactEntries)
{
    const std::vector<uint8_t> original = ReadWholeFile(SkinFixture(L"small.7z"));
    std::vector<std::vector<uint8_t>> damaged;
    for (size_t cut : {size_t(6), size_t(32), original.size() / 2, original.size() - 1})
        damaged.emplace_back(original.begin(), original.begin() + cut);
    for (size_t at : {size_t(0), size_t(12), size_t(40), original.size() - 10}) {
        damaged.push_back(original);
        damaged.back()[at] ^= 0x55;
    }
    std::vector<uint8_t> png = ReadWholeFile(SkinFixture(L"plain\\res\\mainWnd\\bg1.png"));
    for (const std::vector<uint8_t> &bytes : damaged) {
        Package package(SevenZipOpenMemory(bytes.data(), static_cast<uint32_t>(bytes.size())));
        if (!package)
            continue;
        // Whatever survived the damage passed its checksum.
        uint32_t result = 1;
        std::vector<uint8_t> read = Extract(package.get(), L"res/mainWnd/bg1.png", &result);
        if (result == kSevenZipOk) {
            EXPECT_EQ(png, read);
        }
    }
}

// A 7z package inflates its entries as it opens. An entry that would inflate beyond 16 MB is
// listed with its size but never inflated: it is found, and cannot be read.
TEST(SevenZipPackage, InflatesNoEntryBeyond16MB)
{
    const uint64_t limit = 16 * 1024 * 1024;
    const size_t heldBefore = LiveAllocations().bytes;
    Package package(SevenZipOpenFile(SkinFixture(L"inflate.7z").c_str()));
    ASSERT_NE(nullptr, package);
    EXPECT_LT(LiveAllocations().bytes - heldBefore, limit + 1024 * 1024)
        << "only the entry within the limit is held";
    struct Case
    {
        const wchar_t *name;
        uint64_t size;
        uint32_t extracted;
    } cases[] = {
        {L"mainWnd.xml", 0, kSevenZipOk},
        {L"res/exact.bin", limit, kSevenZipOk},
        {L"res/over.bin", limit + 1, kSevenZipFailed},
    };
    for (const Case &c : cases) {
        int index = -1;
        uint64_t size = 0;
        ASSERT_EQ(kSevenZipOk, SevenZipFindItem(package.get(), c.name, &index, &size)) << c.name;
        if (c.size != 0) {
            EXPECT_EQ(c.size, size) << c.name;
        }
        std::vector<uint8_t> bytes(static_cast<size_t>(size));
        EXPECT_EQ(c.extracted, SevenZipExtractItem(package.get(), index, bytes.data(), size))
            << c.name;
    }
}

TEST(MemoryInStream, ReadsAndSeeksOnlyWithinItsData)
{
    const uint8_t data[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    MemoryInStream stream;
    ASSERT_TRUE(stream.Assign(data, sizeof data));
    ISeekInStreamPtr in = &stream.vt;

    struct SeekCase
    {
        Int64 offset;
        ESzSeek origin;
        SRes result;
        Int64 position;
    } seeks[] = {
        {4, SZ_SEEK_SET, SZ_OK, 4},      {2, SZ_SEEK_CUR, SZ_OK, 6},
        {-6, SZ_SEEK_CUR, SZ_OK, 0},     {0, SZ_SEEK_END, SZ_OK, 10},
        {-3, SZ_SEEK_END, SZ_OK, 7},     {11, SZ_SEEK_SET, 87, 7},
        {-1, SZ_SEEK_SET, 87, 7},        {4, SZ_SEEK_CUR, 87, 7},
        {1, SZ_SEEK_END, 87, 7},         {0, static_cast<ESzSeek>(3), 87, 7},
        {INT64_MAX, SZ_SEEK_CUR, 87, 7}, {10, SZ_SEEK_SET, SZ_OK, 10},
    };
    for (const SeekCase &c : seeks) {
        Int64 offset = c.offset;
        EXPECT_EQ(c.result, in->Seek(in, &offset, c.origin)) << c.offset << "/" << c.origin;
        EXPECT_EQ(c.position, stream.position) << c.offset << "/" << c.origin;
    }

    uint8_t buffer[16] = {};
    size_t size = sizeof buffer;
    EXPECT_EQ(SZ_OK, in->Read(in, buffer, &size));
    EXPECT_EQ(0u, size); // at the end

    Int64 offset = 7;
    in->Seek(in, &offset, SZ_SEEK_SET);
    size = sizeof buffer;
    EXPECT_EQ(SZ_OK, in->Read(in, buffer, &size));
    EXPECT_EQ(3u, size);
    EXPECT_EQ(8, buffer[0]);
    EXPECT_EQ(10, buffer[2]);
}
