#pragma once

#include "MarkupStack.h"
#include "WideString.h"

#include <windows.h>

#include <cstdint>

namespace SkinUI {

class CWindowManagerUI;

// Lays out and draws text with inline markup tags, one line at a time: each line is first
// measured, then drawn with the measured height from the state saved at its start. Link
// rectangles and names go into the caller's arrays while slots remain.
class HtmlTextLayout
{
public:
    HtmlTextLayout(HDC dc, CWindowManagerUI *manager, uint32_t color, int font, UINT format);
    HtmlTextLayout(const HtmlTextLayout &) = delete;
    HtmlTextLayout &operator=(const HtmlTextLayout &) = delete;

    void Run(RECT &rect, const wchar_t *text, RECT *links, CWideString *linkNames, int &linkCount);

private:
    enum VerticalAlign
    {
        kAlignBottom,
        kAlignCenter,
        kAlignTop
    };
    enum Pass
    {
        kMeasure,
        kDraw
    };
    // The fewest characters of a run measured at once near the right edge.
    static const int kShortestStretch = 16;

    // Everything a line changes that its second pass must start from again. Its size does not
    // grow with the text, so that saving it at every line start costs the same for any text.
    struct LineState
    {
        MarkupStack fonts;
        MarkupStack colors;
        MarkupStack spacings;
        MarkupStack aligns;
        int position = 0;
        bool raw = false;
        bool selecting = false;
        bool linkOpen = false;
        int linkStartX = 0;
        int linkCount = 0;
        // The open link's name, where it stands in the text.
        int linkNameStart = 0;
        int linkNameLength = 0;
    };

    struct LineResult
    {
        int width = 0;
        int height = 0;
        int imageBottom = 0;
    };

    struct Tag
    {
        wchar_t letter = 0;
        bool closing = false;
        CWideString argument;
        int argumentStart = 0;
        int end = 0; // index behind the tag
    };

    LineResult LayoutLine(Pass pass, int top, int measuredHeight, int offset, int endLimit);
    bool ReadTag(int at, Tag &tag) const;
    int RunEnd(int at);
    int RawEnd(int at);
    // False when the line must end before the tag (the tag is handled on the next line).
    bool ApplyTag(const Tag &tag, Pass pass, int top, int &x, int &lineHeight, bool lineEmpty,
                  int offset, LineResult &result, bool &endLine);
    bool PlaceImage(const Tag &tag, Pass pass, int top, int &x, int &lineHeight, bool lineEmpty,
                    int offset, LineResult &result);
    int PlaceRun(int start, int end, Pass pass, int top, int &x, int lineHeight, bool lineEmpty,
                 int offset, bool &endLine);
    int FittingCount(const wchar_t *text, int count, int width, int averageWidth);
    void WriteLink(int right, int top, int bottom, int offset);

    HFONT CurrentFont() const;
    uint32_t CurrentColor() const;
    int CurrentAlign() const;
    int FontLineHeight();
    // Past the nesting bound a font tag is only counted: no font is looked for or made.
    bool CountFontPastBound();
    // Both say whether a font was pushed.
    bool PushStyledFont(bool bold, bool underline, bool italic);
    bool PushFont(HFONT font);
    void PopFont(int &x);
    HFONT FindOrAddFont(const wchar_t *face, int size, bool bold, bool underline, bool italic);
    HFONT FontFromArgument(const CWideString &argument);
    int TextWidth(const wchar_t *text, int length);
    int TextY(int top, int lineHeight);

    void Restore(const LineState &saved);

    HDC m_dc;
    CWindowManagerUI *m_manager;
    uint32_t m_color;
    int m_font;
    UINT m_format;
    bool m_drawing;

    CWideString m_text;
    RECT m_rect = {0, 0, 0, 0};
    RECT *m_links = nullptr;
    CWideString *m_linkNames = nullptr;
    int m_linkCapacity = 0;
    CWideString m_hoveredLink;

    LineState m_state;
    // The last text run and raw run scanned, [from, end): a run that takes many lines is
    // scanned for its end once.
    int m_runFrom = -1;
    int m_runEnd = -1;
    int m_rawFrom = -1;
    int m_rawEnd = -1;
    // Set by a line that could hold nothing: the layout ends with it.
    bool m_textEnded = false;
};

} // namespace SkinUI
