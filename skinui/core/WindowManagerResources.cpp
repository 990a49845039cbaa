#include "WindowManagerUI.h"

#include "LanguageTokens.h"
#include "ManagerProcessState.h"
#include "ResourcePackage.h"
#include "SkinResourceSource.h"

#include <commctrl.h>

#include <cstring>
#include <cwchar>
#include <new>
#include <string>

namespace SkinUI {

namespace {

const DWORD kDefaultColors[5] = {0xFFA7A6AA, 0xFF000000, 0xFF0000FF, 0xFFD3215F, 0xFFBAE4FF};

LOGFONTW DefaultGuiLogFont()
{
    LOGFONTW logFont = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont);
    return logFont;
}

CWideString DecimalKey(int id)
{
    wchar_t key[16];
    swprintf(key, 16, L"%d", id);
    return CWideString(key);
}

FontEntry *FontAt(const CStringKeyedMap &map, int index)
{
    return static_cast<FontEntry *>(map.Find(map.GetKeyAt(index), false));
}

} // namespace

// ---- Process defaults ----

bool CWindowManagerUI::IsFirstManager()
{
    return ManagerProcessState::Get().sharedDefaultFont.faceName.IsEmpty();
}

void CWindowManagerUI::InitProcessDefaults()
{
    ManagerProcessState &process = ManagerProcessState::Get();
    for (int i = 0; i < 5; ++i)
        process.sharedColors[i] = kDefaultColors[i];

    LOGFONTW logFont = DefaultGuiLogFont();
    FontEntry &font = process.sharedDefaultFont;
    if (font.font)
        DeleteObject(font.font);
    font.font = CreateFontIndirectW(&logFont);
    font.faceName = logFont.lfFaceName;
    if (font.faceName.IsEmpty())
        font.faceName = L"MS Shell Dlg";
    font.size = -logFont.lfHeight;
    font.bold = logFont.lfWeight >= FW_BOLD;
    font.underline = logFont.lfUnderline == 1;
    font.italic = logFont.lfItalic == 1;
    font.metrics = TEXTMETRICW{};

    if (!process.updatePen)
        process.updatePen = CreatePen(PS_SOLID, 1, RGB(220, 0, 0));
    InitCommonControls();
    LoadLibraryW(L"msimg32.dll");
}

// ---- Fonts ----

FontEntry *CWindowManagerUI::BuildFont(const wchar_t *face, int requestedSize, bool bold,
                                       bool underline, bool italic)
{
    const int size = SaneFontSize(requestedSize);
    LOGFONTW logFont = DefaultGuiLogFont();
    if (face) {
        wcsncpy(logFont.lfFaceName, face, LF_FACESIZE - 1);
        logFont.lfFaceName[LF_FACESIZE - 1] = L'\0';
    }
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfHeight = -size;
    if (bold)
        logFont.lfWeight += FW_BOLD;
    if (underline)
        logFont.lfUnderline = 1;
    if (italic)
        logFont.lfItalic = 1;
    HFONT handle = CreateFontIndirectW(&logFont);
    if (!handle)
        return nullptr;
    auto *entry = new FontEntry;
    entry->font = handle;
    entry->faceName = face;
    entry->size = size;
    entry->bold = bold;
    entry->underline = underline;
    entry->italic = italic;
    return entry;
}

void CWindowManagerUI::DeleteFont(FontEntry *entry)
{
    if (!entry)
        return;
    if (entry->font)
        DeleteObject(entry->font);
    delete entry;
}

void CWindowManagerUI::DeleteFonts(CStringKeyedMap &fonts)
{
    for (int i = 0; i < fonts.GetSize(); ++i)
        DeleteFont(FontAt(fonts, i));
    fonts.RemoveAll();
}

void CWindowManagerUI::MeasureFont(FontEntry *entry)
{
    if (!entry || !m_paintDC || !entry->font)
        return;
    HGDIOBJ previous = SelectObject(m_paintDC, entry->font);
    GetTextMetricsW(m_paintDC, &entry->metrics);
    SelectObject(m_paintDC, previous);
}

CStringKeyedMap &CWindowManagerUI::FontMapFor(bool shared)
{
    return shared || m_alwaysShareResources ? ManagerProcessState::Get().sharedFonts : m_fonts;
}

CStringKeyedMap &CWindowManagerUI::ImageMapFor(bool shared)
{
    return shared || m_alwaysShareResources ? ManagerProcessState::Get().sharedImages : m_images;
}

CStringKeyedMap &CWindowManagerUI::AttributeListMapFor(bool shared)
{
    return shared || m_alwaysShareResources ? ManagerProcessState::Get().sharedAttributeLists
                                            : m_defaultAttributeLists;
}

HFONT CWindowManagerUI::AddFont(int id, const wchar_t *face, int size, bool bold, bool underline,
                                bool italic, bool shared)
{
    FontEntry *entry = BuildFont(face, size, bold, underline, italic);
    if (!entry)
        return nullptr;
    MeasureFont(entry);
    CWideString key = DecimalKey(id);
    CStringKeyedMap &map = FontMapFor(shared);
    if (auto *older = static_cast<FontEntry *>(map.Find(key.GetData(), false))) {
        map.Remove(key.GetData());
        DeleteFont(older);
    }
    if (!map.Insert(key.GetData(), entry)) {
        DeleteFont(entry);
        return nullptr;
    }
    return entry->font;
}

void CWindowManagerUI::SetDefaultFont(const wchar_t *face, int size, bool bold, bool underline,
                                      bool italic, bool shared)
{
    FontEntry *built = BuildFont(face, size, bold, underline, italic);
    if (!built)
        return;
    FontEntry &target = shared ? ManagerProcessState::Get().sharedDefaultFont : m_defaultFont;
    if (target.font)
        DeleteObject(target.font);
    target = *built;
    target.metrics = TEXTMETRICW{};
    built->font = nullptr;
    delete built;
    MeasureFont(&target);
}

HFONT CWindowManagerUI::GetFont(int id)
{
    if (id >= 0) {
        CWideString key = DecimalKey(id);
        if (auto *entry = static_cast<FontEntry *>(m_fonts.Find(key.GetData(), false)))
            return entry->font;
        auto *shared = static_cast<FontEntry *>(
            ManagerProcessState::Get().sharedFonts.Find(key.GetData(), false));
        if (shared)
            return shared->font;
    }
    return GetDefaultFontInfo()->font;
}

FontEntry *CWindowManagerUI::GetFontInfo(int id)
{
    CWideString key = DecimalKey(id);
    auto *entry = static_cast<FontEntry *>(m_fonts.Find(key.GetData(), false));
    if (!entry)
        entry = static_cast<FontEntry *>(
            ManagerProcessState::Get().sharedFonts.Find(key.GetData(), false));
    if (!entry)
        return GetDefaultFontInfo();
    if (entry->metrics.tmHeight == 0)
        MeasureFont(entry);
    return entry;
}

FontEntry *CWindowManagerUI::GetFontInfo(HFONT font)
{
    const CStringKeyedMap *maps[] = {&m_fonts, &ManagerProcessState::Get().sharedFonts};
    for (const CStringKeyedMap *map : maps) {
        for (int i = 0; i < map->GetSize(); ++i) {
            FontEntry *entry = FontAt(*map, i);
            if (entry && entry->font == font) {
                if (entry->metrics.tmHeight == 0)
                    MeasureFont(entry);
                return entry;
            }
        }
    }
    return GetDefaultFontInfo();
}

HFONT CWindowManagerUI::FindFont(const wchar_t *face, int size, bool bold, bool underline,
                                 bool italic) const
{
    if (!face)
        return nullptr;
    const CStringKeyedMap *maps[] = {&m_fonts, &ManagerProcessState::Get().sharedFonts};
    for (const CStringKeyedMap *map : maps) {
        for (int i = 0; i < map->GetSize(); ++i) {
            FontEntry *entry = FontAt(*map, i);
            if (entry && entry->faceName == face && entry->size == SaneFontSize(size) &&
                entry->bold == bold && entry->underline == underline && entry->italic == italic)
                return entry->font;
        }
    }
    return nullptr;
}

FontEntry *CWindowManagerUI::GetDefaultFontInfo()
{
    FontEntry *entry = m_defaultFont.faceName.IsEmpty()
                           ? &ManagerProcessState::Get().sharedDefaultFont
                           : &m_defaultFont;
    if (entry->metrics.tmHeight == 0)
        MeasureFont(entry);
    return entry;
}

void CWindowManagerUI::RemoveAllFonts(bool shared)
{
    DeleteFonts(shared ? ManagerProcessState::Get().sharedFonts : m_fonts);
}

// ---- Default attribute lists ----

void CWindowManagerUI::AddDefaultAttributeList(const wchar_t *className, const wchar_t *list,
                                               bool shared)
{
    if (!className)
        return;
    auto *copy = new CWideString(list);
    // Set hands back the older text, or the new one when it could not be stored.
    delete static_cast<CWideString *>(AttributeListMapFor(shared).Set(className, copy));
}

const wchar_t *CWindowManagerUI::GetDefaultAttributeList(const wchar_t *className) const
{
    if (!className)
        return nullptr;
    auto *text = static_cast<CWideString *>(m_defaultAttributeLists.Find(className, false));
    if (!text)
        text = static_cast<CWideString *>(
            ManagerProcessState::Get().sharedAttributeLists.Find(className, false));
    return text ? text->GetData() : nullptr;
}

void CWindowManagerUI::RemoveAllDefaultAttributeLists(bool shared)
{
    DeleteTexts(shared ? ManagerProcessState::Get().sharedAttributeLists : m_defaultAttributeLists);
}

// ---- Language strings ----

void CWindowManagerUI::AddLanguageString(int id, const wchar_t *text)
{
    auto *copy = new CWideString(text);
    CWideString key = DecimalKey(id);
    delete static_cast<CWideString *>(
        ManagerProcessState::Get().languageStrings.Set(key.GetData(), copy));
}

const wchar_t *CWindowManagerUI::GetLanguageString(int id)
{
    CWideString key = DecimalKey(id);
    auto *text = static_cast<CWideString *>(
        ManagerProcessState::Get().languageStrings.Find(key.GetData(), false));
    return text ? text->GetData() : nullptr;
}

void CWindowManagerUI::RemoveAllLanguageStrings()
{
    DeleteTexts(ManagerProcessState::Get().languageStrings);
}

void CWindowManagerUI::ReplaceLanguageTokens(CWideString &text)
{
    std::wstring expanded;
    if (LanguageTokens::Expand(text.GetData(), expanded))
        text.Assign(expanded.c_str(), static_cast<int>(expanded.size()));
}

// ---- Skin resource source ----

void CWindowManagerUI::SetInstance(HINSTANCE instance)
{
    ManagerProcessState::Get().instance = instance;
}

HINSTANCE CWindowManagerUI::GetInstance()
{
    return ManagerProcessState::Get().instance;
}
HINSTANCE CWindowManagerUI::GetResourceInstance()
{
    return GetInstance();
}

CWideString CWindowManagerUI::GetInstancePath()
{
    HINSTANCE instance = GetInstance();
    if (!instance)
        return CWideString();
    wchar_t path[MAX_PATH + 1] = {};
    GetModuleFileNameW(instance, path, MAX_PATH);
    wchar_t *lastSlash = wcsrchr(path, L'\\');
    if (lastSlash)
        lastSlash[1] = L'\0';
    return CWideString(path);
}

void CWindowManagerUI::SetResourcePath(const wchar_t *path)
{
    CWideString &stored = SkinResourceSource::Process().resourcePath;
    stored = path;
    int length = stored.GetLength();
    if (length > 0 && stored.GetAt(length - 1) != L'\\' && stored.GetAt(length - 1) != L'/')
        stored += L'\\';
}

const CWideString &CWindowManagerUI::GetResourcePath()
{
    return SkinResourceSource::Process().resourcePath;
}

void CWindowManagerUI::SetSevenZipPackage(bool sevenZip)
{
    SkinResourceSource::Process().sevenZip = sevenZip;
}

bool CWindowManagerUI::IsSevenZipPackage()
{
    return SkinResourceSource::Process().sevenZip;
}

namespace {

void CloseCachedPackage(SkinResourceSource &source)
{
    if (source.packageHandle)
        ResourcePackage::Close(source.packageHandle, source.sevenZip);
    source.packageHandle = nullptr;
    source.packageCopy.reset();
}

void OpenMemoryPackage(SkinResourceSource &source, const void *data, DWORD length)
{
    CloseCachedPackage(source);
    source.packageName = SkinResourceSource::kMemoryPackageName;
    source.keepPackageOpen = true;
    source.packageHandle = ResourcePackage::OpenMemory(data, length, source.sevenZip);
}

} // namespace

void CWindowManagerUI::SetResourcePackageMemory(const void *data, DWORD length)
{
    SkinResourceSource &source = SkinResourceSource::Process();
    if (source.packageName == SkinResourceSource::kMemoryPackageName)
        return;
    OpenMemoryPackage(source, data, length);
}

void CWindowManagerUI::SetResourcePackageCopy(const void *data, DWORD length)
{
    SkinResourceSource &source = SkinResourceSource::Process();
    if (source.packageName == SkinResourceSource::kMemoryPackageName && source.packageHandle)
        return;
    if (!data || length == 0)
        return;
    std::unique_ptr<uint8_t[]> copy(new (std::nothrow) uint8_t[length]);
    if (!copy)
        return;
    memcpy(copy.get(), data, length);
    OpenMemoryPackage(source, copy.get(), length);
    source.packageCopy = std::move(copy);
}

void CWindowManagerUI::SetResourcePackageFile(const wchar_t *name, bool keepOpen)
{
    SkinResourceSource &source = SkinResourceSource::Process();
    if (source.packageName == (name ? name : L"") && source.keepPackageOpen == keepOpen)
        return;
    CloseCachedPackage(source);
    source.packageName = name;
    source.keepPackageOpen = keepOpen;
    if (keepOpen) {
        CWideString path = source.resourcePath + source.packageName.GetData();
        source.packageHandle = ResourcePackage::OpenFile(path.GetData(), source.sevenZip);
    }
}

const CWideString &CWindowManagerUI::GetResourcePackageName()
{
    return SkinResourceSource::Process().packageName;
}

void *CWindowManagerUI::GetResourcePackageHandle()
{
    return SkinResourceSource::Process().packageHandle;
}

bool CWindowManagerUI::IsResourcePackageCached()
{
    return SkinResourceSource::Process().keepPackageOpen;
}

void CWindowManagerUI::CloseResourcePackage()
{
    SkinResourceSource &source = SkinResourceSource::Process();
    if (source.keepPackageOpen)
        CloseCachedPackage(source);
}

bool CWindowManagerUI::GetHsl(short *hue, short *saturation, short *lightness)
{
    ManagerProcessState &process = ManagerProcessState::Get();
    if (hue)
        *hue = process.hue;
    if (saturation)
        *saturation = process.saturation;
    if (lightness)
        *lightness = process.lightness;
    return process.hslOn;
}

} // namespace SkinUI
