#include "HtmlTextLayout.h"

#include "ClipScope.h"
#include "ColorRef.h"
#include "GdiPainter.h"
#include "ImageDescriptorText.h"
#include "ImageDescriptor.h"
#include "ImageEntry.h"
#include "ValueText.h"
#include "WindowManagerUI.h"

#include <cwchar>
#include <cwctype>

namespace SkinUI {

namespace {

const UINT kAlignFormats = DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM;

// Fonts made for styled tags get ids of their own, far above those a skin declares.
int NextStyledFontId()
{
    static int counter = 0x100000;
    return ++counter;
}

bool IsTagStart(wchar_t ch)
{
    return ch == L'<' || ch == L'{';
}

bool IsTagEnd(wchar_t ch)
{
    return ch == L'>' || ch == L'}';
}

bool IsAsciiLetter(wchar_t ch)
{
    return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z');
}

bool IsHighSurrogate(wchar_t ch)
{
    return ch >= 0xD800 && ch <= 0xDBFF;
}

} // namespace

void CGdiPainter::DrawHtmlText(HDC dc, CWindowManagerUI *manager, RECT &rect, const wchar_t *text,
                               uint32_t color, RECT *links, CWideString *linkNames, int &linkCount,
                               int font, UINT format)
{
    if (dc == nullptr || text == nullptr || manager == nullptr || IsRectEmpty(&rect)) {
        linkCount = 0;
        return;
    }
    HtmlTextLayout layout(dc, manager, color, font, format);
    layout.Run(rect, text, links, linkNames, linkCount);
}

HtmlTextLayout::HtmlTextLayout(HDC dc, CWindowManagerUI *manager, uint32_t color, int font,
                               UINT format)
    : m_dc(dc), m_manager(manager), m_color(color), m_font(font), m_format(format),
      m_drawing((format & DT_CALCRECT) == 0)
{
}

void HtmlTextLayout::Run(RECT &rect, const wchar_t *text, RECT *links, CWideString *linkNames,
                         int &linkCount)
{
    const int capacity = links != nullptr && linkNames != nullptr && linkCount > 0 ? linkCount : 0;
    linkCount = 0;

    CClipScope clip;
    if (m_drawing)
        CClipScope::MakeRectClip(m_dc, rect, clip);

    m_text = text;
    CWindowManagerUI::ReplaceLanguageTokens(m_text);
    HGDIOBJ previousFont = SelectObject(m_dc, m_manager->GetFont(m_font));
    const int previousMode = SetBkMode(m_dc, TRANSPARENT);
    const COLORREF previousText = SetTextColor(m_dc, ToColorRef(m_color));
    const COLORREF previousBack =
        SetBkColor(m_dc, ToColorRef(m_manager->GetDefaultSelectedBkColor()));

    const bool singleLine = (m_format & DT_SINGLELINE) != 0;
    if (m_drawing && (m_format & kAlignFormats) != 0) {
        RECT measured = singleLine ? RECT{0, 0, 9999, 100}
                                   : RECT{0, 0, rect.right - rect.left, rect.bottom - rect.top};
        int none = 0;
        CGdiPainter::DrawHtmlText(m_dc, m_manager, measured, text, m_color, nullptr, nullptr, none,
                                  m_font, (m_format & ~kAlignFormats) | DT_CALCRECT);
        const int width = measured.right - measured.left;
        const int height = measured.bottom - measured.top;
        if (singleLine && (m_format & DT_CENTER) != 0) {
            rect.left += (rect.right - rect.left - width) / 2;
            rect.right = rect.left + width;
        } else if (singleLine && (m_format & DT_RIGHT) != 0) {
            rect.left = rect.right - width;
        }
        if ((m_format & DT_VCENTER) != 0) {
            rect.top += (rect.bottom - rect.top - height) / 2;
            rect.bottom = rect.top + height;
        } else if ((m_format & DT_BOTTOM) != 0) {
            rect.top = rect.bottom - height;
        }
    }
    m_rect = rect;
    m_links = links;
    m_linkNames = linkNames;
    m_linkCapacity = capacity;

    const POINT mouse = m_manager->GetMousePos();
    for (int i = 0; i < capacity; ++i)
        if (PtInRect(&links[i], mouse)) {
            m_hoveredLink = linkNames[i];
            break;
        }

    const int length = m_text.GetLength();
    int top = m_rect.top;
    int widest = 0;
    int lastBottom = top;
    int imageBottom = top;
    while (m_state.position < length) {
        const LineState lineStart = m_state;
        LineResult line = LayoutLine(HtmlTextLayout::kMeasure, top, 0, 0, length);
        if (m_drawing) {
            const int measuredEnd = m_state.position;
            Restore(lineStart);
            int offset = 0;
            if (!singleLine && (m_format & DT_CENTER) != 0)
                offset = (m_rect.right - m_rect.left - line.width) / 2;
            else if (!singleLine && (m_format & DT_RIGHT) != 0)
                offset = m_rect.right - m_rect.left - line.width;
            line = LayoutLine(HtmlTextLayout::kDraw, top, line.height, offset, measuredEnd);
        }
        widest = line.width > widest ? line.width : widest;
        lastBottom = top + line.height;
        imageBottom = line.imageBottom > imageBottom ? line.imageBottom : imageBottom;
        // A line that takes nothing is the last.
        if (singleLine || m_textEnded || m_state.position == lineStart.position)
            break;
        top += line.height;
        if (m_drawing && top >= m_rect.bottom)
            break;
    }
    linkCount = m_state.linkCount;

    if (!m_drawing) {
        rect.bottom = lastBottom > imageBottom ? lastBottom : imageBottom;
        if (rect.left + widest < rect.right)
            rect.right = rect.left + widest;
    }
    SetBkColor(m_dc, previousBack);
    SetTextColor(m_dc, previousText);
    SetBkMode(m_dc, previousMode);
    SelectObject(m_dc, previousFont);
}

HtmlTextLayout::LineResult HtmlTextLayout::LayoutLine(Pass pass, int top, int measuredHeight,
                                                      int offset, int endLimit)
{
    // The pass that writes link rectangles: the drawing pass, or the only pass of a
    // measurement.
    const bool final = pass == kDraw || !m_drawing;
    LineResult result;
    SelectObject(m_dc, CurrentFont());
    int spacing = static_cast<int>(m_state.spacings.Top());
    int lineHeight = pass == kDraw ? measuredHeight : FontLineHeight() + spacing;
    int x = m_rect.left;
    bool lineEmpty = true;
    bool endLine = false;
    if (final && m_state.linkOpen)
        m_state.linkStartX = x;

    const wchar_t *text = m_text.GetData();
    while (!endLine && m_state.position < endLimit) {
        const int at = m_state.position;
        const wchar_t ch = text[at];
        if (ch == L'\n') {
            m_state.position = at + 1;
            break;
        }
        if (m_state.raw) {
            int end = RawEnd(at);
            end = end < endLimit ? end : endLimit;
            if (end == at) {
                m_state.raw = false;
                m_state.position = at + 4;
                continue;
            }
            int taken = PlaceRun(at, end, pass, top, x, lineHeight, lineEmpty, offset, endLine);
            if (taken == 0)
                break;
            m_state.position = at + taken;
            lineEmpty = false;
            continue;
        }
        if (IsTagStart(ch)) {
            // The two escapes: "<{>" writes "{" and "{<}" writes "<".
            const bool escape = ch == L'<' ? text[at + 1] == L'{' && text[at + 2] == L'>'
                                           : text[at + 1] == L'<' && text[at + 2] == L'}';
            if (escape) {
                const int taken =
                    PlaceRun(at + 1, at + 2, pass, top, x, lineHeight, lineEmpty, offset, endLine);
                if (taken == 0)
                    break;
                m_state.position = at + 3;
                lineEmpty = false;
                continue;
            }
            Tag tag;
            if (ReadTag(at, tag)) {
                if (!ApplyTag(tag, pass, top, x, lineHeight, lineEmpty, offset, result, endLine))
                    break;
                m_state.position = tag.end;
                if (x > m_rect.left)
                    lineEmpty = false;
                continue;
            }
        }
        int end = at + 1;
        if (ch != L' ') {
            end = RunEnd(at);
            end = end < endLimit ? end : endLimit;
        }
        int taken = PlaceRun(at, end, pass, top, x, lineHeight, lineEmpty, offset, endLine);
        if (taken == 0)
            break;
        m_state.position = at + taken;
        lineEmpty = false;
        if (x >= m_rect.right)
            endLine = true;
    }

    if (final && m_state.linkOpen) {
        // A link still open at the line's end: its part on this line is written, and it
        // goes on in the next slot (while one remains) on the next line.
        WriteLink(x, top, top + lineHeight, offset);
        if (m_state.linkCount < m_linkCapacity)
            m_linkNames[m_state.linkCount].Assign(m_text.GetData() + m_state.linkNameStart,
                                                  m_state.linkNameLength);
    }
    result.width = x - m_rect.left;
    result.height = lineHeight;
    return result;
}

// An opening tag is "<", a letter and a space, ">" or "}"; a closing one "</", the letter and
// the end character. Either start character pairs with either end character.
bool HtmlTextLayout::ReadTag(int at, Tag &tag) const
{
    const wchar_t *text = m_text.GetData();
    int p = at + 1;
    if (text[p] == L'/') {
        if (text[p + 1] < L'a' || text[p + 1] > L'z' || !IsTagEnd(text[p + 2]))
            return false;
        tag.letter = text[p + 1];
        tag.closing = true;
        tag.end = p + 3;
        return true;
    }
    if (text[p] < L'a' || text[p] > L'z')
        return false;
    const wchar_t after = text[p + 1];
    if (after != L' ' && !IsTagEnd(after))
        return false;
    tag.letter = text[p];
    int start = p + 1;
    while (text[start] == L' ')
        ++start;
    int end = start;
    while (text[end] != L'\0' && !IsTagEnd(text[end]))
        ++end;
    tag.argument.Assign(text + start, end - start);
    tag.argumentStart = start;
    tag.end = text[end] != L'\0' ? end + 1 : end;
    return true;
}

// A text run goes up to a line break or a tag start.
int HtmlTextLayout::RunEnd(int at)
{
    if (at < m_runFrom || at >= m_runEnd) {
        const wchar_t *text = m_text.GetData();
        int end = at + 1;
        while (text[end] != L'\0' && text[end] != L'\n' && !IsTagStart(text[end]))
            ++end;
        m_runFrom = at;
        m_runEnd = end;
    }
    return m_runEnd;
}

// In raw mode text runs up to the closing tag of r, in either form.
int HtmlTextLayout::RawEnd(int at)
{
    if (at < m_rawFrom || at > m_rawEnd) {
        const wchar_t *text = m_text.GetData();
        int p = at;
        for (; text[p] != L'\0' && text[p] != L'\n'; ++p)
            if (IsTagStart(text[p]) && text[p + 1] == L'/' && text[p + 2] == L'r' &&
                IsTagEnd(text[p + 3]))
                break;
        m_rawFrom = at;
        m_rawEnd = p;
    }
    return m_rawEnd;
}

bool HtmlTextLayout::ApplyTag(const Tag &tag, Pass pass, int top, int &x, int &lineHeight,
                              bool lineEmpty, int offset, LineResult &result, bool &endLine)
{
    const bool final = pass == kDraw || !m_drawing;
    const bool singleLine = (m_format & DT_SINGLELINE) != 0;
    if (tag.closing) {
        switch (tag.letter) {
        case L'a':
            if (m_state.linkOpen) {
                if (final) {
                    WriteLink(x, top, top + lineHeight, offset);
                }
                m_state.linkOpen = false;
            }
            m_state.colors.Pop();
            PopFont(x);
            break;
        case L'b':
        case L'f':
        case L'i':
        case L'u':
            PopFont(x);
            break;
        case L'c':
            m_state.colors.Pop();
            break;
        case L'p':
            if (!lineEmpty)
                return false;
            m_state.spacings.Pop();
            break;
        case L's':
            m_state.selecting = false;
            SetBkMode(m_dc, TRANSPARENT);
            break;
        case L'v':
            m_state.aligns.Pop();
            break;
        default:
            break;
        }
        return true;
    }

    bool fontPushed = false;
    switch (tag.letter) {
    case L'a':
        if (final && m_state.linkCount < m_linkCapacity)
            m_linkNames[m_state.linkCount] = tag.argument;
        m_state.linkOpen = true;
        m_state.linkStartX = x;
        m_state.linkNameStart = tag.argumentStart;
        m_state.linkNameLength = tag.argument.GetLength();
        m_state.colors.Push(!m_hoveredLink.IsEmpty() && m_hoveredLink == tag.argument.GetData()
                                ? m_manager->GetDefaultLinkHoverFontColor()
                                : m_manager->GetDefaultLinkFontColor());
        fontPushed = !CountFontPastBound() && PushStyledFont(false, true, false);
        break;
    case L'b':
        fontPushed = !CountFontPastBound() && PushStyledFont(true, false, false);
        break;
    case L'c': {
        const wchar_t *digits = tag.argument.GetData();
        if (*digits == L'#')
            ++digits;
        const long value = wcstol(digits, nullptr, 16);
        m_state.colors.Push(0xFF000000u | static_cast<uint32_t>(value & 0xFFFFFF));
        break;
    }
    case L'f':
        fontPushed = !CountFontPastBound() && PushFont(FontFromArgument(tag.argument));
        break;
    case L'i':
        if (!tag.argument.IsEmpty())
            return PlaceImage(tag, pass, top, x, lineHeight, lineEmpty, offset, result);
        fontPushed = !CountFontPastBound() && PushStyledFont(false, false, true);
        break;
    case L'n':
        if (!singleLine)
            endLine = true;
        break;
    case L'p': {
        if (!lineEmpty)
            return false;
        const int spacing = ValueText::ReadInteger(tag.argument.GetData());
        const bool kept = !m_state.spacings.IsFull();
        m_state.spacings.Push(static_cast<uintptr_t>(spacing));
        if (kept && pass == kMeasure && spacing + FontLineHeight() > lineHeight)
            lineHeight = spacing + FontLineHeight();
        break;
    }
    case L'r':
        m_state.raw = true;
        break;
    case L's':
        m_state.selecting = true;
        if (pass == kDraw)
            SetBkMode(m_dc, OPAQUE);
        break;
    case L'u':
        fontPushed = !CountFontPastBound() && PushStyledFont(false, true, false);
        break;
    case L'v': {
        int align = kAlignBottom;
        if (tag.argument.CompareNoCase(L"center") == 0)
            align = kAlignCenter;
        else if (tag.argument.CompareNoCase(L"top") == 0)
            align = kAlignTop;
        m_state.aligns.Push(static_cast<uintptr_t>(align));
        break;
    }
    case L'x':
        x += ValueText::ReadInteger(tag.argument.GetData());
        break;
    case L'y':
        if (pass == kMeasure)
            lineHeight = ValueText::ReadInteger(tag.argument.GetData());
        break;
    default:
        break;
    }
    // A font pushed grows the line; every other tag, and a style tag that pushes nothing,
    // leaves its height alone, so that a "y" line may be lower than its font.
    if (fontPushed && pass == kMeasure && FontLineHeight() > lineHeight)
        lineHeight = FontLineHeight();
    return true;
}

bool HtmlTextLayout::PlaceImage(const Tag &tag, Pass pass, int top, int &x, int &lineHeight,
                                bool lineEmpty, int offset, LineResult &result)
{
    CWideString name = tag.argument;
    CWideString resourceType;
    bool useType = false;
    int frames = 1;
    int frame = 0;
    if (tag.argument.Find(L'=') >= 0) {
        ImageDescriptor ignored;
        ImageRequest request = ImageDescriptorText::Parse(tag.argument.GetData(), ignored);
        name = request.name;
        resourceType = request.resourceType;
        useType = request.useType && !resourceType.IsEmpty();
    } else {
        const int space = tag.argument.Find(L' ');
        if (space >= 0) {
            name = tag.argument.Left(space);
            int numbers[2];
            const int read =
                ValueText::ReadIntegerList(tag.argument.GetData() + space + 1, numbers, 2);
            if (read >= 1 && numbers[0] >= 1)
                frames = numbers[0];
            if (read >= 2 && numbers[1] >= 0 && numbers[1] < frames)
                frame = numbers[1];
        }
    }
    ImageEntry *image =
        m_manager->GetOrLoadImage(name.GetData(), useType ? resourceType.GetData() : nullptr);
    if (image == nullptr)
        return true;
    const int width = image->width / frames;
    const int height = image->height;
    if (width <= 0)
        return true;
    // A picture that does not fit the rest of a line that holds something goes to the next.
    if (x + width > m_rect.right && !lineEmpty && (m_format & DT_SINGLELINE) == 0)
        return false;
    if (pass == kMeasure && height > lineHeight)
        lineHeight = height;
    int y = top + lineHeight - height;
    if (CurrentAlign() == kAlignCenter)
        y = top + (lineHeight - height) / 2;
    else if (CurrentAlign() == kAlignTop)
        y = top;
    if (pass == kDraw) {
        const RECT destination = {x + offset, y, x + offset + width, y + height};
        const RECT source = {frame * width, 0, (frame + 1) * width, height};
        const RECT corner = {0, 0, 0, 0};
        CGdiPainter::DrawImage(m_dc, image->bitmap, destination, m_rect, source, corner,
                               image->hasAlpha, 255);
    }
    if (y + height > result.imageBottom)
        result.imageBottom = y + height;
    x += width;
    return true;
}

// Places the characters [start, end) that fit the line; returns how many it took (0: none
// fit, the run goes to the next line). endLine is set when the rest does not fit.
int HtmlTextLayout::PlaceRun(int start, int end, Pass pass, int top, int &x, int lineHeight,
                             bool lineEmpty, int offset, bool &endLine)
{
    const wchar_t *text = m_text.GetData() + start;
    int count = end - start;
    SelectObject(m_dc, CurrentFont());
    const int available = m_rect.right - x;
    SIZE size = {0, 0};
    int fit = count;
    TEXTMETRICW metrics = {};
    GetTextMetricsW(m_dc, &metrics);
    // The cheap estimate spares the exact measuring of runs far from the right edge.
    if (static_cast<long long>(metrics.tmMaxCharWidth) * count >= available)
        fit = FittingCount(text, count, available, metrics.tmAveCharWidth);
    // A line that cannot hold the run's first character holds nothing, and ends the text:
    // going on would give every further character a line of its own.
    const int firstCharacter = count >= 2 && IsHighSurrogate(text[0]) ? 2 : 1;
    if (lineEmpty && fit < firstCharacter) {
        m_textEnded = true;
        return 0;
    }
    bool ellipsis = false;
    if (fit < count) {
        endLine = true;
        if ((m_format & DT_WORDBREAK) != 0) {
            int breakAt = 0;
            for (int i = fit; i > 0; --i)
                if (text[i - 1] == L' ' || !IsAsciiLetter(text[i - 1])) {
                    breakAt = i;
                    break;
                }
            if (breakAt > 0)
                fit = breakAt;
        }
        if ((m_format & DT_END_ELLIPSIS) != 0) {
            ellipsis = true;
            const int dotsWidth = TextWidth(L"...", 3);
            int room = available - dotsWidth;
            int shorter = 0;
            GetTextExtentExPointW(m_dc, text, fit, room > 0 ? room : 0, &shorter, nullptr, &size);
            fit = shorter < fit ? shorter : fit;
        }
        if (fit > 0 && fit < count && IsHighSurrogate(text[fit - 1]))
            --fit;
        if (fit == 0 && !ellipsis)
            return 0;
        // The dots end the line behind at least one character.
        if (fit == 0)
            fit = firstCharacter;
    }
    const int width = TextWidth(text, fit);
    if (pass == kDraw) {
        SetTextColor(m_dc, ToColorRef(CurrentColor()));
        const int y = TextY(top, lineHeight);
        TextOutW(m_dc, x + offset, y, text, fit);
        if (ellipsis)
            TextOutW(m_dc, x + offset + width, y, L"...", 3);
    }
    x += width;
    if (ellipsis)
        x += TextWidth(L"...", 3);
    return fit;
}

// How many of the run's characters fit the width. Only a stretch about as long as the width
// can hold is measured, lengthened while all of it fits, so that a long run in a narrow
// rectangle is not measured whole for every line it gives.
int HtmlTextLayout::FittingCount(const wchar_t *text, int count, int width, int averageWidth)
{
    const int room = width > 0 ? width : 0;
    const long long perAverage = averageWidth > 0 ? averageWidth : 1;
    const long long guess = room / perAverage * 2 + kShortestStretch;
    int stretch = guess < count ? static_cast<int>(guess) : count;
    for (;;) {
        const int measured = stretch < count ? stretch : count;
        int fit = 0;
        SIZE size = {0, 0};
        GetTextExtentExPointW(m_dc, text, measured, room, &fit, nullptr, &size);
        if (fit < measured || measured == count)
            return fit;
        stretch = measured > count / 2 ? count : measured * 2;
    }
}

void HtmlTextLayout::WriteLink(int right, int top, int bottom, int offset)
{
    if (m_state.linkCount < m_linkCapacity)
        m_links[m_state.linkCount] = RECT{m_state.linkStartX + offset, top, right + offset, bottom};
    ++m_state.linkCount;
    if (m_state.linkCount > m_linkCapacity)
        m_state.linkCount = m_linkCapacity;
    m_state.linkStartX = m_rect.left;
}

HFONT HtmlTextLayout::CurrentFont() const
{
    HFONT top = reinterpret_cast<HFONT>(m_state.fonts.Top());
    return top != nullptr ? top : m_manager->GetFont(m_font);
}

uint32_t HtmlTextLayout::CurrentColor() const
{
    return m_state.colors.IsEmpty() ? m_color : static_cast<uint32_t>(m_state.colors.Top());
}

int HtmlTextLayout::CurrentAlign() const
{
    return static_cast<int>(m_state.aligns.Top());
}

int HtmlTextLayout::FontLineHeight()
{
    SelectObject(m_dc, CurrentFont());
    TEXTMETRICW metrics = {};
    GetTextMetricsW(m_dc, &metrics);
    return metrics.tmHeight + metrics.tmExternalLeading;
}

int HtmlTextLayout::TextWidth(const wchar_t *text, int length)
{
    SIZE size = {0, 0};
    if (length > 0)
        GetTextExtentPoint32W(m_dc, text, length, &size);
    return size.cx;
}

int HtmlTextLayout::TextY(int top, int lineHeight)
{
    const int fontHeight = FontLineHeight();
    switch (CurrentAlign()) {
    case kAlignCenter:
        return top + (lineHeight - fontHeight) / 2;
    case kAlignTop:
        return top;
    default:
        return top + lineHeight - fontHeight;
    }
}

bool HtmlTextLayout::CountFontPastBound()
{
    if (!m_state.fonts.IsFull())
        return false;
    m_state.fonts.Push(0);
    return true;
}

// A style the current font already has pushes nothing.
bool HtmlTextLayout::PushStyledFont(bool bold, bool underline, bool italic)
{
    LOGFONTW current = {};
    if (GetObjectW(CurrentFont(), sizeof(current), &current) == 0)
        return false;
    const bool isBold = current.lfWeight >= FW_BOLD;
    const bool isUnderline = current.lfUnderline != 0;
    const bool isItalic = current.lfItalic != 0;
    if ((bold && isBold) || (underline && isUnderline) || (italic && isItalic))
        return false;
    return PushFont(FindOrAddFont(current.lfFaceName, -current.lfHeight, bold || isBold,
                                  underline || isUnderline, italic || isItalic));
}

bool HtmlTextLayout::PushFont(HFONT font)
{
    if (font != nullptr)
        m_state.fonts.Push(reinterpret_cast<uintptr_t>(font));
    SelectObject(m_dc, CurrentFont());
    return font != nullptr;
}

// Every closing a, b, f, i and u tag removes the top font. Leaving an italic font moves x
// on by half the overhang of a space so the slanted letters are not covered.
void HtmlTextLayout::PopFont(int &x)
{
    if (!m_state.fonts.PopsKeptEntry()) {
        m_state.fonts.Pop();
        return;
    }
    LOGFONTW leaving = {};
    GetObjectW(CurrentFont(), sizeof(leaving), &leaving);
    if (leaving.lfItalic != 0) {
        ABC abc = {};
        if (GetCharABCWidthsW(m_dc, L' ', L' ', &abc))
            x += (abc.abcC < 0 ? -abc.abcC : abc.abcC) / 2;
    }
    m_state.fonts.Pop();
    SelectObject(m_dc, CurrentFont());
}

HFONT HtmlTextLayout::FindOrAddFont(const wchar_t *face, int size, bool bold, bool underline,
                                    bool italic)
{
    HFONT font = m_manager->FindFont(face, size, bold, underline, italic);
    if (font == nullptr)
        font = m_manager->AddFont(NextStyledFontId(), face, size, bold, underline, italic);
    return font;
}

// "f" takes a font id, or a face name, a size (default 10) and style words.
HFONT HtmlTextLayout::FontFromArgument(const CWideString &argument)
{
    const wchar_t *p = argument.GetData();
    if (*p >= L'0' && *p <= L'9')
        return m_manager->GetFont(ValueText::ReadInteger(p));
    const wchar_t *faceEnd = p;
    while (*faceEnd != L'\0' && *faceEnd != L' ')
        ++faceEnd;
    CWideString face(p, static_cast<int>(faceEnd - p));
    p = faceEnd;
    while (*p == L' ')
        ++p;
    int size = 10;
    if (*p >= L'0' && *p <= L'9') {
        size = ValueText::ReadInteger(p);
        while (*p >= L'0' && *p <= L'9')
            ++p;
    }
    CWideString words(p);
    words.MakeLower();
    const bool bold = words.Find(L"bold") >= 0;
    const bool underline = words.Find(L"underline") >= 0;
    const bool italic = words.Find(L"italic") >= 0;
    if (face.IsEmpty())
        return nullptr;
    return FindOrAddFont(face.GetData(), size, bold, underline, italic);
}

void HtmlTextLayout::Restore(const LineState &saved)
{
    m_state = saved;
    SetBkMode(m_dc, m_state.selecting ? OPAQUE : TRANSPARENT);
}

} // namespace SkinUI
