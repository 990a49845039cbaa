#include "SkinFileReader.h"
#include "ByteFields.h"
#include "ResourcePackage.h"
#include "ScopedHandle.h"
#include "TestFiles.h"
#include "XmlMarkup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace SkinUI;
using namespace SkinUI::Testing;

namespace {

struct SourceCase
{
    const char *what;
    const wchar_t *folder;
    const wchar_t *package;
    bool sevenZip;
};

SkinResourceSource MakeSource(const SourceCase &c)
{
    SkinResourceSource source;
    source.resourcePath = (SkinFixtureFolder() + c.folder).c_str();
    source.packageName = c.package;
    source.sevenZip = c.sevenZip;
    source.keepPackageOpen = false;
    return source;
}

// The central-directory entry of the named file, or npos.
size_t FindCentralEntry(const std::vector<uint8_t> &zip, const std::string &name)
{
    for (size_t at = FindSignature(zip, 0x02014B50); at != std::string::npos;
         at = FindSignature(zip, 0x02014B50, at + 4)) {
        size_t nameLength = zip[at + 28] | (zip[at + 29] << 8);
        if (at + 46 + nameLength <= zip.size() &&
            std::string(zip.begin() + at + 46, zip.begin() + at + 46 + nameLength) == name)
            return at;
    }
    return std::string::npos;
}

std::wstring Message(const wchar_t *problem)
{
    return problem == nullptr ? L"(read)" : problem;
}

const SourceCase kSources[] = {
    {"plain files", L"plain\\", L"", false},
    {"stored zip", L"", L"stored.zip", false},
    {"deflated zip", L"", L"deflated.zip", false},
    {"zip after other data", L"", L"prefixed.zip", false},
    {"7z", L"", L"skin.7z", true},
};

} // namespace

TEST(SkinFileReader, AppliesTheSameRulesToPlainFilesAndBothPackageKinds)
{
    for (const SourceCase &sourceCase : kSources) {
        SkinResourceSource source = MakeSource(sourceCase);
        bool plain = source.packageName.IsEmpty();
        struct Case
        {
            const wchar_t *name;
            const wchar_t *problem;
            uint32_t size;
        } cases[] = {
            {L"mainWnd.xml", nullptr, 0},
            {L"res\\mainWnd\\bg1.png", nullptr, 9472},
            {L"exact.xml", nullptr, 4194304},
            {L"over.xml", L"File too large", 0},
            {L"empty.xml", L"File is empty", 0},
            {L"nothing.xml", plain ? L"Error opening file" : L"Could not find ziped file", 0},
        };
        for (const Case &c : cases) {
            SkinFileBytes bytes;
            const wchar_t *problem = SkinFileReader::Read(source, c.name, bytes);
            EXPECT_EQ(Message(c.problem), Message(problem)) << sourceCase.what << ": " << c.name;
            if (c.problem != nullptr || problem != nullptr)
                continue;
            std::wstring plainPath = SkinFixture(std::wstring(L"plain\\") + c.name);
            std::vector<uint8_t> expected = ReadWholeFile(plainPath);
            EXPECT_EQ(expected,
                      std::vector<uint8_t>(bytes.data.get(), bytes.data.get() + bytes.size))
                << sourceCase.what << ": " << c.name;
            if (c.size != 0) {
                EXPECT_EQ(c.size, bytes.size);
            }
        }
    }
}

TEST(SkinFileReader, ReportsPackagesThatCannotBeOpenedOrRead)
{
    struct Case
    {
        const wchar_t *package;
        bool sevenZip;
        const wchar_t *problem;
    } cases[] = {
        {L"missing.7z", true, L"Error opening zip file"},
        {L"notarchive.7z", true, L"Error opening zip file"},
        {L"deflated.zip", true, L"Error opening zip file"},
        {L"missing.zip", false, L"Error opening zip file"},
        {L"skin.7z", false, L"Error opening zip file"},
    };
    for (const Case &c : cases) {
        SourceCase sourceCase = {"", L"", c.package, c.sevenZip};
        SkinFileBytes bytes;
        EXPECT_EQ(Message(c.problem),
                  Message(SkinFileReader::Read(MakeSource(sourceCase), L"mainWnd.xml", bytes)))
            << c.package;
    }
}

TEST(SkinFileReader, ReportsDamagedPackageEntriesAsFailures)
{
    const std::vector<uint8_t> original = ReadWholeFile(SkinFixture(L"small-stored.zip"));
    const size_t central = FindCentralEntry(original, "mainWnd.xml");
    ASSERT_NE(std::string::npos, central);
    const size_t local = ReadLe32(original, central + 42);
    struct Case
    {
        const char *what;
        void (*damage)(std::vector<uint8_t> &, size_t local, size_t central);
        const wchar_t *problem;
    } cases[] = {
        // A short or altered result must never pass for the file.
        {"altered data",
         [](std::vector<uint8_t> &b, size_t l, size_t) {
             size_t data = l + 30 + (b[l + 26] | (b[l + 27] << 8)) + (b[l + 28] | (b[l + 29] << 8));
             b[data + 1] ^= 0x20;
         },
         L"Could not unzip file"},
        // Read as a signed number this size is negative and would pass the 4 MB limit.
        {"size above 2 GB",
         [](std::vector<uint8_t> &b, size_t l, size_t c) {
             for (size_t at : {l + 18, l + 22, c + 20, c + 24})
                 WriteLe32(b, at, 0x80000100);
         },
         L"File too large"},
        {"zip64 size marker",
         [](std::vector<uint8_t> &b, size_t l, size_t c) {
             WriteLe32(b, l + 22, 0xFFFFFFFF);
             WriteLe32(b, c + 24, 0xFFFFFFFF);
         },
         L"Could not find ziped file"},
    };
    for (const Case &c : cases) {
        std::vector<uint8_t> zip = original;
        c.damage(zip, local, central);
        SkinResourceSource source;
        source.packageName = SkinResourceSource::kMemoryPackageName;
        source.packageHandle =
            ResourcePackage::OpenMemory(zip.data(), static_cast<uint32_t>(zip.size()), false);
        ASSERT_NE(nullptr, source.packageHandle) << c.what;
        SkinFileBytes bytes;
        EXPECT_EQ(Message(c.problem), Message(SkinFileReader::Read(source, L"mainWnd.xml", bytes)))
            << c.what;
        EXPECT_EQ(nullptr, bytes.data) << c.what;
        ResourcePackage::Close(source.packageHandle, false);
    }
}

// Nothing is inflated from a skin package beyond 16 MB, whatever it is read for: pictures,
// which have no limit of their own, are refused too.
TEST(SkinFileReader, InflatesNoPackageEntryBeyond16MB)
{
    const uint32_t limit = 16 * 1024 * 1024;
    const SourceCase sources[] = {{"zip", L"", L"inflate.zip", false},
                                  {"7z", L"", L"inflate.7z", true}};
    for (const SourceCase &sourceCase : sources) {
        const SkinResourceSource source = MakeSource(sourceCase);
        struct Case
        {
            const wchar_t *name;
            const wchar_t *problem;
            uint32_t size;
        } cases[] = {
            {L"mainWnd.xml", nullptr, 0},
            {L"res\\exact.bin", nullptr, limit},
            {L"res\\over.bin", L"File too large", 0},
        };
        for (const Case &c : cases) {
            SkinFileBytes bytes;
            EXPECT_EQ(Message(c.problem), Message(SkinFileReader::Read(
                                              source, c.name, bytes, SkinFileReader::kNoSizeLimit)))
                << sourceCase.what << ": " << c.name;
            if (c.size != 0) {
                EXPECT_EQ(c.size, bytes.size) << sourceCase.what << ": " << c.name;
            }
        }
    }
}

TEST(SkinFileReader, ReportsAPlainFileThatOpensButCannotBeRead)
{
    // A named pipe opens like a file but has no size to read.
    const std::wstring pipeName = L"skinui_reader_" + std::to_wstring(GetCurrentProcessId());
    ScopedHandle server(CreateNamedPipeW((L"\\\\.\\pipe\\" + pipeName).c_str(),
                                         PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 4096, 4096, 0,
                                         nullptr));
    ASSERT_TRUE(server.IsValid());
    SkinResourceSource source;
    source.resourcePath = L"\\\\.\\pipe\\";
    SkinFileBytes bytes;
    EXPECT_EQ(Message(L"Could not read file"),
              Message(SkinFileReader::Read(source, pipeName.c_str(), bytes)));
}

TEST(SkinFileReader, ReadsTheSameEntryAgainFromAKeptOpenPackage)
{
    for (bool sevenZip : {false, true}) {
        std::vector<uint8_t> archive =
            ReadWholeFile(SkinFixture(sevenZip ? L"small.7z" : L"small.zip"));
        SkinResourceSource source;
        source.packageName = SkinResourceSource::kMemoryPackageName;
        source.sevenZip = sevenZip;
        source.packageHandle = ResourcePackage::OpenMemory(
            archive.data(), static_cast<uint32_t>(archive.size()), sevenZip);
        ASSERT_NE(nullptr, source.packageHandle);
        std::vector<uint8_t> expected = ReadWholeFile(SkinFixture(L"plain\\mainWnd.xml"));
        for (int round = 0; round < 3; ++round) {
            for (const wchar_t *name : {L"mainWnd.xml", L"MAINWND.xml"}) {
                SkinFileBytes bytes;
                ASSERT_EQ(nullptr, SkinFileReader::Read(source, name, bytes));
                EXPECT_EQ(expected,
                          std::vector<uint8_t>(bytes.data.get(), bytes.data.get() + bytes.size))
                    << "round " << round << (sevenZip ? " 7z" : " zip");
            }
        }
        ResourcePackage::Close(source.packageHandle, sevenZip);
    }
}

TEST(SkinFileReader, FeedsTheParserThroughTheProcessSource)
{
    SkinResourceSource &process = SkinResourceSource::Process();
    for (const SourceCase &sourceCase : kSources) {
        process = MakeSource(sourceCase);
        CXmlMarkup markup;
        ASSERT_TRUE(markup.LoadFromFile(L"mainWnd.xml")) << sourceCase.what;
        EXPECT_STREQ(L"Window", markup.GetRoot().GetName());

        struct Case
        {
            const wchar_t *name;
            const wchar_t *message;
        } failures[] = {
            {L"over.xml", L"File too large"},
            {L"empty.xml", L"File is empty"},
        };
        for (const Case &c : failures) {
            EXPECT_FALSE(markup.LoadFromFile(c.name));
            EXPECT_STREQ(c.message, markup.GetErrorMessage()) << sourceCase.what;
            EXPECT_STREQ(L"", markup.GetErrorLocation());
            EXPECT_FALSE(markup.GetRoot().IsValid());
        }
        EXPECT_TRUE(markup.LoadFromFile(L"exact.xml")) << sourceCase.what;
        EXPECT_EQ(4194304 - 18, static_cast<int>(wcslen(markup.GetRoot().GetAttributeValue(0))));
    }
    process = SkinResourceSource();
}
