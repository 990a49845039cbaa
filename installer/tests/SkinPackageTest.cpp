#include "ResourceIds.h"
#include "SevenZipPackage.h"
#include "XmlMarkup.h"
#include "utils/Strings.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <optional>
#include <memory>
#include <string>
#include <vector>

namespace {

using SkinUI::C7zPackage;

std::string Utf8(const std::wstring &text)
{
    return Utils::ToNarrowString(text, CP_UTF8);
}

struct PackageCloser
{
    void operator()(C7zPackage *package) const { SkinUI::SevenZipClose(package); }
};
using PackagePtr = std::unique_ptr<C7zPackage, PackageCloser>;

// The skin package as the program carries it: resource ZIPRES 132 of this test program.
PackagePtr OpenPackageResource()
{
    HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_SKIN_PACKAGE), L"ZIPRES");
    if (resource == nullptr) {
        return nullptr;
    }
    HGLOBAL loaded = LoadResource(nullptr, resource);
    const void *bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        return nullptr;
    }
    return PackagePtr(SkinUI::SevenZipOpenMemory(bytes, SizeofResource(nullptr, resource)));
}

// A whole entry of the package; nothing when the package has no such file.
std::optional<std::string> ReadEntry(C7zPackage *package, const std::wstring &name)
{
    int index = -1;
    uint64_t size = 0;
    if (SkinUI::SevenZipFindItem(package, name.c_str(), &index, &size) != SkinUI::kSevenZipOk) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (size > 0 &&
        SkinUI::SevenZipExtractItem(package, index, &bytes[0], size) != SkinUI::kSevenZipOk) {
        return std::nullopt;
    }
    return bytes;
}

// One element of the skin with its attributes (UTF-8) and children, copied out of the parser.
struct Element
{
    std::string name;
    std::map<std::string, std::string> attributes;
    std::vector<Element> children;

    std::string Attribute(const std::string &key) const
    {
        const auto found = attributes.find(key);
        return found == attributes.end() ? std::string() : found->second;
    }
};

Element CopyElement(SkinUI::CXmlMarkupNode node)
{
    Element element;
    element.name = Utf8(node.GetName());
    for (int i = 0; i < node.GetAttributeCount(); ++i) {
        element.attributes[Utf8(node.GetAttributeName(i))] = Utf8(node.GetAttributeValue(i));
    }
    for (SkinUI::CXmlMarkupNode child = node.GetChild(); child.IsValid();
         child = child.GetSibling()) {
        element.children.push_back(CopyElement(child));
    }
    return element;
}

void CollectAll(const Element &element, std::vector<const Element *> &all)
{
    all.push_back(&element);
    for (const Element &child : element.children) {
        CollectAll(child, all);
    }
}

// The skin as the package holds it.
class PackedSkin : public ::testing::Test
{
protected:
    void SetUp() override
    {
        package_ = OpenPackageResource();
        ASSERT_NE(package_, nullptr) << "no readable 7z package in resource ZIPRES 132";
        const std::optional<std::string> xml = ReadEntry(package_.get(), L"mainWnd.xml");
        ASSERT_TRUE(xml.has_value()) << "the package has no mainWnd.xml";
        SkinUI::CXmlMarkup markup;
        ASSERT_TRUE(markup.LoadFromMem(reinterpret_cast<const uint8_t *>(xml->data()),
                                       static_cast<uint32_t>(xml->size()),
                                       SkinUI::XmlEncoding::Utf8))
            << Utf8(markup.GetErrorMessage());
        window_ = CopyElement(markup.GetRoot());
        CollectAll(window_, all_);
    }

    const Element *Named(const std::string &name) const
    {
        for (const Element *element : all_) {
            if (element->Attribute("name") == name) {
                return element;
            }
        }
        return nullptr;
    }

    std::vector<const Element *> WithText(const std::string &text) const
    {
        std::vector<const Element *> found;
        for (const Element *element : all_) {
            if (element->Attribute("text") == text) {
                found.push_back(element);
            }
        }
        return found;
    }

    PackagePtr package_;
    Element window_;
    std::vector<const Element *> all_;
};

struct PngSize
{
    int width = 0;
    int height = 0;
};

std::optional<PngSize> ReadPngSize(const std::string &bytes)
{
    static const char kSignature[] = "\x89PNG\r\n\x1a\n";
    if (bytes.size() < 24 || bytes.compare(0, 8, kSignature) != 0 ||
        bytes.compare(12, 4, "IHDR") != 0) {
        return std::nullopt;
    }
    auto bigEndian = [&](std::size_t at) {
        int value = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
        }
        return value;
    };
    return PngSize{bigEndian(16), bigEndian(20)};
}

// The picture a descriptor names: the whole text, or its file='...' part.
std::string PictureName(const std::string &descriptor)
{
    const std::size_t file = descriptor.find("file='");
    if (file == std::string::npos) {
        return descriptor;
    }
    const std::size_t start = file + 6;
    return descriptor.substr(start, descriptor.find('\'', start) - start);
}

int Number(const std::string &text)
{
    return std::atoi(text.c_str());
}

TEST_F(PackedSkin, HoldsEveryPictureItNamesAtTheSizeOfItsControl)
{
    const char *const kImageAttributes[] = {"bkimage",     "normalimage",   "hotimage",
                                            "pushedimage", "disabledimage", "foreimage"};
    int pictures = 0;
    for (const Element *element : all_) {
        for (const char *attribute : kImageAttributes) {
            const std::string descriptor = element->Attribute(attribute);
            if (descriptor.empty()) {
                continue;
            }
            const std::string name = PictureName(descriptor);
            SCOPED_TRACE(name);
            const std::optional<std::string> bytes =
                ReadEntry(package_.get(), Utils::ToWideString(name, CP_UTF8));
            ASSERT_TRUE(bytes.has_value()) << "not in the package";
            const std::optional<PngSize> size = ReadPngSize(*bytes);
            ASSERT_TRUE(size.has_value()) << "not a PNG";
            ++pictures;
            // Buttons and backgrounds are drawn one to one; the progress bar's pictures are
            // stretched in width only.
            if (element->name == "Button") {
                EXPECT_EQ(size->width, Number(element->Attribute("width")));
                EXPECT_EQ(size->height, Number(element->Attribute("height")));
            } else if (element->name == "Progress") {
                EXPECT_EQ(size->height, Number(element->Attribute("height")));
            } else {
                EXPECT_EQ(size->width, 700);
                EXPECT_EQ(size->height, 420);
            }
        }
    }
    EXPECT_EQ(pictures, 20);

    // Pictures the window switches to from its code.
    for (const wchar_t *name :
         {L"res\\mainWnd\\bg2.png", L"res\\mainWnd\\bg3.png", L"res\\mainWnd\\installPrg3.png"}) {
        const std::optional<std::string> bytes = ReadEntry(package_.get(), name);
        ASSERT_TRUE(bytes.has_value()) << Utf8(name);
        EXPECT_TRUE(ReadPngSize(*bytes).has_value()) << Utf8(name);
    }
}

TEST_F(PackedSkin, DescribesTheWindowItsCodeReliesOn)
{
    EXPECT_EQ(window_.name, "Window");
    const std::map<std::string, std::string> windowAttributes = {
        {"size", "700,420"},      {"caption", "0,0,0,35"},   {"roundcorner", "8,8"},
        {"showshadow", "true"},   {"shadowsize", "6"},       {"shadowsharpness", "10"},
        {"shadowdarkness", "20"}, {"shadowposition", "1,1"}, {"shadowcolor", "#26003B76"},
    };
    for (const auto &[key, value] : windowAttributes) {
        EXPECT_EQ(window_.Attribute(key), value) << key;
    }

    // Fonts by id: size, bold, underline; all of one face, font 0 the default.
    const std::map<std::string, std::string> fonts = {
        {"0", "14"},       {"1", "15"},       {"2", "30"},       {"3", "14 underline"},
        {"4", "24"},       {"5", "30"},       {"6", "20"},       {"9", "38 bold"},
        {"10", "20 bold"}, {"11", "16 bold"}, {"12", "28 bold"},
    };
    std::map<std::string, std::string> found;
    for (const Element &child : window_.children) {
        if (child.name != "Font") {
            continue;
        }
        EXPECT_EQ(child.Attribute("name"), "微软雅黑");
        EXPECT_EQ(child.Attribute("default") == "true", child.Attribute("id") == "0");
        found[child.Attribute("id")] = child.Attribute("size") +
                                       (child.Attribute("bold") == "true" ? " bold" : "") +
                                       (child.Attribute("underline") == "true" ? " underline" : "");
    }
    EXPECT_EQ(found, fonts);

    // The one root control, and the first row in it the title row.
    std::vector<const Element *> controls;
    for (const Element &child : window_.children) {
        if (child.name != "Font") {
            controls.push_back(&child);
        }
    }
    ASSERT_EQ(controls.size(), 1u);
    EXPECT_EQ(controls[0]->name, "VerticalLayout");
    EXPECT_EQ(controls[0]->Attribute("name"), "winCtn");
    EXPECT_EQ(controls[0]->Attribute("bkimage"), "res\\mainWnd\\bg1.png");
    ASSERT_FALSE(controls[0]->children.empty());
    EXPECT_EQ(controls[0]->children[0].Attribute("height"), "48");

    struct Expected
    {
        const char *name;
        const char *element;
        std::map<std::string, std::string> attributes;
    };
    const Expected named[] = {
        {"titleTabLt", "TabLayout", {{"width", "200"}}},
        {"softNameLbl", "Label", {{"font", "11"}, {"text", "软件名称"}}},
        {"titleGrpCtn", "HorizontalLayout", {{"height", "24"}}},
        {"minbtn",
         "Button",
         {{"width", "24"},
          {"height", "24"},
          {"normalimage", "res\\common\\minbtn1.png"},
          {"hotimage", "res\\common\\minbtn2.png"},
          {"pushedimage", "res\\common\\minbtn3.png"},
          {"disabledimage", "res\\common\\minbtn4.png"}}},
        {"closebtn",
         "Button",
         {{"width", "24"},
          {"height", "24"},
          {"normalimage", "res\\common\\closebtn1.png"},
          {"hotimage", "res\\common\\closebtn2.png"},
          {"pushedimage", "res\\common\\closebtn3.png"},
          {"disabledimage", "res\\common\\closebtn4.png"}}},
        {"mainTabLt", "TabLayout", {{"selectedid", "0"}}},
        {"thinkBtn",
         "Button",
         {{"text", "再想想"},
          {"width", "200"},
          {"height", "46"},
          {"textcolor", "#FFFFFFFF"},
          {"normalimage", "res\\mainWnd\\thinkBtn1.png"},
          {"hotimage", "res\\mainWnd\\thinkBtn2.png"},
          {"pushedimage", "res\\mainWnd\\thinkBtn3.png"}}},
        {"uninsBtn",
         "Button",
         {{"text", "继续卸载"}, {"width", "56"}, {"height", "14"}, {"font", "0"}}},
        {"installPrg",
         "Progress",
         {{"width", "583"},
          {"height", "10"},
          {"bkimage", "file='res\\mainWnd\\installPrg1.png' corner='8,8,8,8'"},
          {"foreimage", "file='res\\mainWnd\\installPrg2.png' corner='8,8,8,8'"}}},
        {"finishBtn",
         "Button",
         {{"text", "完成卸载"}, {"width", "146"}, {"height", "44"}, {"font", "10"}}},
        {"getNewestBtn",
         "Button",
         {{"text", "安装新包"}, {"width", "146"}, {"height", "44"}, {"font", "10"}}},
    };
    for (const Expected &expected : named) {
        SCOPED_TRACE(expected.name);
        const Element *element = Named(expected.name);
        ASSERT_NE(element, nullptr) << "missing";
        EXPECT_EQ(element->name, expected.element);
        for (const auto &[key, value] : expected.attributes) {
            EXPECT_EQ(element->Attribute(key), value) << key;
        }
    }
    for (const char *absent : {"sTitleLbl", "bTitleLbl1", "bTitleLbl2"}) {
        EXPECT_EQ(Named(absent), nullptr) << absent;
    }
}

TEST_F(PackedSkin, ShowsTheTextsOfTheThreePages)
{
    const Element *pages = Named("mainTabLt");
    ASSERT_NE(pages, nullptr);
    ASSERT_EQ(pages->children.size(), 3u);

    // Each page's labels: text and font.
    const std::vector<std::map<std::string, std::string>> labels = {
        {{"真的要说再见吗？", "9"}},
        {{"Quorvane", "9"}, {"正在卸载...", "0"}},
        {{"Quorvane", "12"},
         {"· 将PDF转换为：Word、Excel、PPT、图片、TXT、Html", "0"},
         {"· 支持将Word、Excel、PPT、图片转换为PDF", "0"},
         {"· 提供1V1技术支持", "0"},
         {"· 更多功能持续更新", "0"}},
    };
    for (std::size_t page = 0; page < labels.size(); ++page) {
        SCOPED_TRACE("page " + std::to_string(page));
        std::vector<const Element *> onPage;
        CollectAll(pages->children[page], onPage);
        std::map<std::string, std::string> found;
        for (const Element *element : onPage) {
            if (element->name == "Label") {
                found[element->Attribute("text")] = element->Attribute("font");
            }
        }
        EXPECT_EQ(found, labels[page]);
    }
    EXPECT_EQ(WithText("真的要说再见吗？").at(0)->Attribute("align"), "center");
}

TEST(ProgramIcon, LoadsAtTheSizesTheSystemAsksFor)
{
    for (const int size : {16, 32, 48}) {
        HICON icon =
            static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_UNINST),
                                          IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
        EXPECT_NE(icon, nullptr) << size;
        if (icon != nullptr) {
            DestroyIcon(icon);
        }
    }
}

} // namespace
