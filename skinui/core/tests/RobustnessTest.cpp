#include "ByteFields.h"
#include "GuardedBuffer.h"
#include "Mutators.h"
#include "RobustnessRun.h"
#include "SevenZipPackage.h"
#include "TestFiles.h"
#include "XmlMarkup.h"
#include "ZipPackage.h"

#include <7zCrc.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstring>
#include <random>
#include <vector>

using namespace SkinUI;
using namespace SkinUI::Testing;

// Thousands of damaged skins and packages go through the readers and the parser. Every
// input ends where an inaccessible page begins, and so does every output buffer, so a read
// or write outside them fails the run at once. Seeds are fixed: a failure reproduces.
namespace {

// CPU time, so that a busy machine runs as many inputs as an idle one.
const auto kCpuBudget = std::chrono::seconds(150);

const wchar_t *const kEntryNames[] = {L"mainWnd.xml", L"res/mainWnd/bg1.png",
                                      L"RES\\MAINWND\\BG1.PNG", L"missing.xml"};

// Damage that the archive's own checksums would catch at once never reaches the parser;
// putting the header checksums right again lets it through.
void RepairSevenZipHeaderChecksums(std::vector<uint8_t> &bytes)
{
    const size_t signatureHeaderSize = 32;
    if (bytes.size() < signatureHeaderSize)
        return;
    uint64_t offset = ReadLe32(bytes, 12) | (static_cast<uint64_t>(ReadLe32(bytes, 16)) << 32);
    uint64_t size = ReadLe32(bytes, 20) | (static_cast<uint64_t>(ReadLe32(bytes, 24)) << 32);
    uint64_t available = bytes.size() - signatureHeaderSize;
    if (offset <= available && size <= available - offset)
        WriteLe32(bytes, 28, CrcCalc(bytes.data() + signatureHeaderSize + offset, size));
    WriteLe32(bytes, 8, CrcCalc(bytes.data() + 12, 20));
}

size_t VisitTree(CXmlMarkupNode node, int depth)
{
    size_t visited = 0;
    wchar_t buffer[16];
    for (; node.IsValid() && depth < 1000; node = node.GetSibling()) {
        ++visited;
        EXPECT_NE(nullptr, node.GetName());
        for (int i = 0; i < node.GetAttributeCount(); ++i)
            visited += wcslen(node.GetAttributeName(i)) + wcslen(node.GetAttributeValue(i)) > 0;
        node.GetAttributeValue(L"name", buffer, 16);
        visited += VisitTree(node.GetChild(), depth + 1);
    }
    return visited;
}

void ParseEveryWay(const std::vector<uint8_t> &bytes)
{
    GuardedBuffer input(bytes);
    for (XmlEncoding encoding : {XmlEncoding::Utf8, XmlEncoding::Utf16, XmlEncoding::Ansi}) {
        CXmlMarkup markup;
        if (markup.LoadFromMem(input.Data(), static_cast<uint32_t>(input.Size()), encoding))
            VisitTree(markup.GetRoot(), 0);
        else
            EXPECT_LT(wcslen(markup.GetErrorMessage()), 100u);
    }
}

} // namespace

TEST(Robustness, DamagedSkinXmlNeverCrashesTheParser)
{
    std::vector<uint8_t> skin = ReadWholeFile(SkinFixture(L"plain\\mainWnd.xml"));
    ASSERT_FALSE(skin.empty());
    std::vector<uint8_t> utf16 = {0xFF, 0xFE};
    std::vector<wchar_t> wide(skin.size() + 1);
    int length = MultiByteToWideChar(CP_UTF8, 0, reinterpret_cast<const char *>(skin.data()),
                                     static_cast<int>(skin.size()), wide.data(),
                                     static_cast<int>(wide.size()));
    for (int i = 0; i < length; ++i) {
        utf16.push_back(static_cast<uint8_t>(wide[i] & 0xFF));
        utf16.push_back(static_cast<uint8_t>(wide[i] >> 8));
    }

    ByteMutator mutator(20261210);
    RobustnessRun run("skin markup", kCpuBudget, 20000);
    while (run.Next()) {
        const std::vector<uint8_t> &seed = run.Index() % 3 == 2 ? utf16 : skin;
        ParseEveryWay(mutator.Mutate(seed, "<>/=\"'&!?- \t;#xX"));
    }
    EXPECT_GE(run.Count(), 1000);
}

TEST(Robustness, DamagedZipPackagesNeverReadOutsideTheirInput)
{
    std::vector<std::vector<uint8_t>> seeds = {ReadWholeFile(SkinFixture(L"small.zip")),
                                               ReadWholeFile(SkinFixture(L"small-stored.zip"))};
    ByteMutator mutator(4242);
    RobustnessRun run("zip packages", kCpuBudget, 20000);
    int delivered = 0;
    while (run.Next()) {
        GuardedBuffer input(
            mutator.Mutate(seeds[run.Index() % 2], "\x50\x4B\x01\x02\x03\x04\x05\x06\xFF"));
        ZipHandle *zip =
            ZipOpen(input.Data(), static_cast<uint32_t>(input.Size()), kZipSourceMemory);
        if (zip == nullptr)
            continue;
        for (const wchar_t *name : kEntryNames) {
            int index = -1;
            ZipEntryInfo info;
            if (ZipFindItem(zip, name, true, &index, &info) != kZipOk ||
                info.unpackedSize > 0x400000)
                continue;
            GuardedBuffer output(info.unpackedSize);
            ZipResult result = ZipUnzipItem(zip, index, output.Data(), info.unpackedSize, 3);
            EXPECT_TRUE(result == kZipOk || result == kZipMore || result == kZipCannotDecode)
                << std::hex << result;
            delivered += result == kZipMore;
        }
        // Entries by index too, whatever the names say.
        uint8_t scratch[64];
        for (int index = 0; index < 4; ++index)
            ZipUnzipItem(zip, index, scratch, sizeof scratch, 3);
        EXPECT_EQ(kZipOk, ZipClose(zip));
    }
    EXPECT_GE(run.Count(), 1000);
    EXPECT_GT(delivered, 0);
}

TEST(Robustness, DamagedSevenZipPackagesNeverCrashTheReader)
{
    std::vector<std::vector<uint8_t>> seeds = {
        ReadWholeFile(SkinFixture(L"small.7z")),
        ReadWholeFile(SkinFixture(L"small-plain-header.7z"))};
    ASSERT_FALSE(seeds[1].empty());
    CrcGenerateTable();
    ByteMutator mutator(7777);
    RobustnessRun run("7z packages", kCpuBudget, 20000);
    int opened = 0;
    while (run.Next()) {
        std::vector<uint8_t> bytes =
            mutator.Mutate(seeds[run.Index() % 2], "\x37\x7A\xBC\xAF\x27\x1C\x01\x02\x03\x04\x05\x06\x07"
                                            "\x08\x09\x0A\x0B\x0C\x0D\x0E\x0F\x10\x11\x19\x80\xFF");
        if (run.Index() % 4 < 3)
            RepairSevenZipHeaderChecksums(bytes);
        C7zPackage *package = SevenZipOpenMemory(bytes.data(), static_cast<uint32_t>(bytes.size()));
        if (package == nullptr)
            continue;
        ++opened;
        for (const wchar_t *name : kEntryNames) {
            int index = -1;
            uint64_t size = 0;
            if (SevenZipFindItem(package, name, &index, &size) != kSevenZipOk)
                continue;
            GuardedBuffer output(static_cast<size_t>(size));
            EXPECT_EQ(kSevenZipOk, SevenZipExtractItem(package, index, output.Data(), size));
        }
        EXPECT_EQ(kSevenZipOk, SevenZipClose(package));
    }
    EXPECT_GE(run.Count(), 1000);
    EXPECT_GT(opened, run.Count() / 20);
}
