#include "SkinFileReader.h"
#include "ResourcePackage.h"
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

    // A damaged entry is an unzip failure, not a short success.
    std::vector<uint8_t> zip = ReadWholeFile(SkinFixture(L"small-stored.zip"));
    std::string text(zip.begin(), zip.end());
    size_t at = text.find("<Window");
    ASSERT_NE(std::string::npos, at);
    zip[at + 1] = 'w';
    SkinResourceSource source;
    source.packageName = SkinResourceSource::kMemoryPackageName;
    source.packageHandle =
        ResourcePackage::OpenMemory(zip.data(), static_cast<uint32_t>(zip.size()), false);
    ASSERT_NE(nullptr, source.packageHandle);
    SkinFileBytes bytes;
    EXPECT_EQ(Message(L"Could not unzip file"),
              Message(SkinFileReader::Read(source, L"mainWnd.xml", bytes)));
    ResourcePackage::Close(source.packageHandle, false);
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
