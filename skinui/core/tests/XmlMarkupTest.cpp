#include "XmlMarkup.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

using namespace SkinUI;

namespace {

const wchar_t kSkin[] =
    L"<?xml version=\"1.0\" encoding=\"gbk\"?>\r\n"
    L"<Window size=\"480,320\" caption=\"0,0,0,40\">\r\n"
    L"  <Font id=\"0\" name=\"微软雅黑\" size=\"12\" default=\"true\" />\r\n"
    L"  <Font id=\"1\" name=\"微软雅黑\" bold = \"true\" size=\"14\"/>\r\n"
    L"  <!-- the layout -->\r\n"
    L"  <VerticalLayout bkcolor=\"#FFFFFFFF\">\r\n"
    L"    <Label name=\"title\" text=\"卸载 &amp; 清理 &lt;Q&gt; &#65; &quot;x&apos;\" />\r\n"
    L"    <Button name=\"closebtn\">text  kept</Button>\r\n"
    L"  </VerticalLayout>\r\n"
    L"</Window>\r\n";

// The whole tree as one text: names, attributes in order, children in brackets.
std::wstring Dump(CXmlMarkupNode node)
{
    std::wstring out;
    for (; node.IsValid(); node = node.GetSibling()) {
        out += node.GetName();
        out += L"(";
        for (int i = 0; i < node.GetAttributeCount(); ++i) {
            out += node.GetAttributeName(i);
            out += L"=";
            out += node.GetAttributeValue(i);
            out += L";";
        }
        out += L")";
        if (node.HasChildren())
            out += L"[" + Dump(node.GetChild()) + L"]";
    }
    return out;
}

std::vector<uint8_t> Utf16(const std::wstring &text, bool bigEndian)
{
    std::vector<uint8_t> bytes =
        bigEndian ? std::vector<uint8_t>{0xFE, 0xFF} : std::vector<uint8_t>{0xFF, 0xFE};
    for (wchar_t c : text) {
        uint8_t high = static_cast<uint8_t>(c >> 8), low = static_cast<uint8_t>(c & 0xFF);
        bytes.push_back(bigEndian ? high : low);
        bytes.push_back(bigEndian ? low : high);
    }
    return bytes;
}

std::vector<uint8_t> Encode(const std::wstring &text, UINT codePage)
{
    int size = WideCharToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()),
                                   nullptr, 0, nullptr, nullptr);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    WideCharToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()),
                        reinterpret_cast<char *>(bytes.data()), size, nullptr, nullptr);
    return bytes;
}

std::wstring DumpLoaded(const std::vector<uint8_t> &bytes, XmlEncoding encoding)
{
    CXmlMarkup markup;
    if (!markup.LoadFromMem(bytes.data(), static_cast<uint32_t>(bytes.size()), encoding))
        return L"failed: " + std::wstring(markup.GetErrorMessage());
    return Dump(markup.GetRoot());
}

} // namespace

TEST(XmlMarkup, BuildsTheSkinTreeWithDecodedAttributes)
{
    CXmlMarkup markup(kSkin);
    CXmlMarkupNode root = markup.GetRoot();
    ASSERT_TRUE(root.IsValid()) << markup.GetErrorMessage();
    EXPECT_EQ(L"Window(size=480,320;caption=0,0,0,40;)["
              L"Font(id=0;name=微软雅黑;size=12;default=true;)"
              L"Font(id=1;name=微软雅黑;bold=true;size=14;)"
              L"VerticalLayout(bkcolor=#FFFFFFFF;)["
              L"Label(name=title;text=卸载 & 清理 <Q> &#65; \"x';)"
              L"Button(name=closebtn;)]]",
              Dump(root));
    EXPECT_FALSE(root.GetSibling().IsValid());
    EXPECT_TRUE(root.GetChild().HasAttributes());
}

TEST(XmlMarkup, GivesTheSameTreeForEveryEncoding)
{
    std::wstring expected = Dump(CXmlMarkup(kSkin).GetRoot());
    std::vector<uint8_t> utf8 = Encode(kSkin, CP_UTF8);
    std::vector<uint8_t> withMark = {0xEF, 0xBB, 0xBF};
    withMark.insert(withMark.end(), utf8.begin(), utf8.end());
    std::vector<uint8_t> oddTail = Utf16(kSkin, false);
    oddTail.push_back(0x41);

    EXPECT_EQ(expected, DumpLoaded(utf8, XmlEncoding::Utf8));
    EXPECT_EQ(expected, DumpLoaded(withMark, XmlEncoding::Utf8));
    EXPECT_EQ(expected, DumpLoaded(Utf16(kSkin, false), XmlEncoding::Utf16));
    EXPECT_EQ(expected, DumpLoaded(Utf16(kSkin, true), XmlEncoding::Utf16));
    EXPECT_EQ(expected, DumpLoaded(oddTail, XmlEncoding::Utf16));

    const wchar_t ascii[] = L"<Window a=\"1\"><Label text=\"x &amp; y\"/></Window>";
    EXPECT_EQ(Dump(CXmlMarkup(ascii).GetRoot()),
              DumpLoaded(Encode(ascii, CP_ACP), XmlEncoding::Ansi));

    CXmlMarkup markup;
    EXPECT_FALSE(markup.Load(L"<a></b>"));
    EXPECT_FALSE(
        markup.LoadFromMem(utf8.data(), static_cast<uint32_t>(utf8.size()), XmlEncoding::Utf16));
    EXPECT_STREQ(L"", markup.GetErrorMessage());
    EXPECT_STREQ(L"", markup.GetErrorLocation());
    EXPECT_FALSE(markup.IsValid());
}

TEST(XmlMarkup, ReportsEachParseErrorWithItsLocation)
{
    struct Case
    {
        const wchar_t *xml;
        const wchar_t *message;
        const wchar_t *location;
    } cases[] = {
        {L"text", L"Expected start tag", L"text"},
        {L"<a><b>x</b>y", L"Expected start tag", L"y"},
        {L"<a", L"Error parsing element name", L""},
        {L"<a/ >", L"Expected start-tag closing", L"/ >"},
        {L"<a><b><c>text", L"Expected end-tag start", L""},
        {L"<a>text</b>", L"Unmatched closing tag", L"b>"},
        {L"<a><b></c></a>", L"Unmatched closing tag", L"c></a>"},
        {L"<a></a junk>", L"Unmatched closing tag", L"unk>"},
        {L"<a></a", L"Unmatched closing tag", L""},
        {L"<a x>", L"Error while parsing attributes", L">"},
        {L"<a x='1'/>", L"Expected attribute value", L"1'/>"},
        {L"<a x=", L"Expected attribute value", L""},
        {L"<a x=\"1>", L"Error while parsing attribute string", L""},
        {L"<a><b x=\"0123456789012345678901234567890123456789012345678901234567890",
         L"Error while parsing attribute string", L""},
        {L"<a>   <b>  x </b> <c y=\"1\" z>", L"Error while parsing attributes", L">"},
    };
    for (const Case &c : cases) {
        CXmlMarkup markup;
        EXPECT_FALSE(markup.Load(c.xml)) << c.xml;
        EXPECT_STREQ(c.message, markup.GetErrorMessage()) << c.xml;
        EXPECT_STREQ(c.location, markup.GetErrorLocation()) << c.xml;
        EXPECT_FALSE(markup.IsValid());
        EXPECT_FALSE(markup.GetRoot().IsValid());
    }

    // The location keeps at most 49 characters of the text.
    CXmlMarkup markup;
    EXPECT_FALSE(markup.Load((L"<r></r>" + std::wstring(80, L'z')).c_str()));
    EXPECT_STREQ(L"Expected start tag", markup.GetErrorMessage());
    EXPECT_EQ(std::wstring(49, L'z'), markup.GetErrorLocation());
}

TEST(XmlMarkup, AcceptsDocumentsWithoutElementsOrWithoutTheLastEndTags)
{
    struct Case
    {
        const wchar_t *xml;
        const wchar_t *tree;
    } cases[] = {
        {L"", L""},
        {L"  \r\n\t ", L""},
        {L"<!-- only a comment -->", L""},
        {L"<?xml version=\"1.0\" encoding=\"utf-8\"?>", L""},
        {L"<a>", L"a()"},
        {L"<a><b x=\"1\">text", L"a()[b(x=1;)]"},
        {L"<a/><b/>", L"a()b()"},
        {L"<a x=\"1\"/>", L"a(x=1;)"},
        {L"<a\tx\n=\n\"1\"\ty = \"\" ></a >", L"a(x=1;y=;)"},
        {L"<a><!-- <b/> --><c/><?pi x?><d></d></a>", L"a()[c()d()]"},
        {L"<ns:a_1 v=\"&amp;&amp;&unknown;\"></ns:a_1>", L"ns:a_1(v=&&&unknown;;)"},
    };
    for (const Case &c : cases) {
        CXmlMarkup markup;
        EXPECT_TRUE(markup.Load(c.xml)) << c.xml << ": " << markup.GetErrorMessage();
        EXPECT_EQ(c.tree, Dump(markup.GetRoot())) << c.xml;
    }
}

TEST(XmlMarkup, RefusesNestingDeeperThanItsBound)
{
    auto nested = [](int depth) {
        std::wstring xml;
        for (int i = 0; i < depth; ++i)
            xml += L"<e>";
        for (int i = 0; i < depth; ++i)
            xml += L"</e>";
        return xml;
    };
    CXmlMarkup markup;
    EXPECT_TRUE(markup.Load(nested(CXmlMarkup::kMaxNesting).c_str()));
    for (int depth : {CXmlMarkup::kMaxNesting + 1, 100000}) {
        EXPECT_FALSE(markup.Load(nested(depth).c_str())) << depth;
        EXPECT_STREQ(L"Elements nested too deeply", markup.GetErrorMessage());
    }
}

TEST(XmlMarkupNode, SeesAtMost64AttributesAndLooksThemUpExactly)
{
    std::wstring xml = L"<a";
    for (int i = 0; i < 65; ++i)
        xml += L" k" + std::to_wstring(i) + L"=\"v" + std::to_wstring(i) + L"\"";
    xml += L"/>";
    CXmlMarkup markup(xml.c_str());
    CXmlMarkupNode node = markup.GetRoot();
    ASSERT_TRUE(node.IsValid());
    EXPECT_EQ(64, node.GetAttributeCount());
    EXPECT_STREQ(L"k63", node.GetAttributeName(63));
    EXPECT_STREQ(L"v63", node.GetAttributeValue(63));
    EXPECT_STREQ(L"", node.GetAttributeName(64));
    EXPECT_STREQ(L"", node.GetAttributeValue(-1));

    wchar_t buffer[8] = {};
    EXPECT_TRUE(node.GetAttributeValue(L"k10", buffer, 8));
    EXPECT_STREQ(L"v10", buffer);
    EXPECT_FALSE(node.GetAttributeValue(L"k64", buffer, 8));
    EXPECT_FALSE(node.GetAttributeValue(L"K10", buffer, 8));
    EXPECT_FALSE(node.GetAttributeValue(L"k10", buffer, 0));
}

TEST(XmlMarkupNode, CopiesValuesTerminatedAndCutToTheBuffer)
{
    CXmlMarkup markup(L"<a name=\"first\" v=\"abcdefgh\" name=\"second\"/>");
    CXmlMarkupNode node = markup.GetRoot();
    struct Case
    {
        int size;
        const wchar_t *expected;
    } cases[] = {{1, L""}, {4, L"abc"}, {8, L"abcdefg"}, {9, L"abcdefgh"}, {20, L"abcdefgh"}};
    for (const Case &c : cases) {
        wchar_t buffer[24];
        wmemset(buffer, L'#', 24);
        EXPECT_TRUE(node.GetAttributeValue(L"v", buffer, c.size)) << c.size;
        EXPECT_STREQ(c.expected, buffer) << c.size;
        EXPECT_EQ(L'#', buffer[c.size]) << "wrote behind the buffer of " << c.size;
    }
    wchar_t name[16];
    EXPECT_TRUE(node.GetAttributeValue(L"name", name, 16));
    EXPECT_STREQ(L"first", name);

    CXmlMarkupNode invalid;
    EXPECT_FALSE(invalid.IsValid());
    EXPECT_EQ(nullptr, invalid.GetName());
    EXPECT_EQ(0, invalid.GetAttributeCount());
    EXPECT_FALSE(invalid.GetChild().IsValid());
    EXPECT_FALSE(invalid.GetAttributeValue(L"v", name, 16));
}
