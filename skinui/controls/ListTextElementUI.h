#pragma once

#include "ListLabelElementUI.h"
#include "PointerArray.h"

namespace SkinUI {

// A list element with one text per column of its list: the list's text provider's texts,
// else its column texts, else its own text in the first column. When the list shows html,
// the links of all its texts are clickable ("link" with the link's index), the first eight.
class CListTextElementUI : public CListLabelElementUI
{
public:
    static const wchar_t *const kClassName;
    static const int kMaxLinks = 8;

    CListTextElementUI();
    ~CListTextElementUI() override;

    const wchar_t *GetClass() const override;
    void *GetInterface(const wchar_t *name) override;
    UINT GetBehaviorFlags() const override;
    void DoEvent(ControlEvent &event) override;
    void SetOwner(CControlUI *owner) override;
    void DrawItemText(HDC dc, const RECT &rect) override;

    // The element's own text of a column; null past the last one set.
    const wchar_t *GetColumnText(int column) const;
    void SetColumnText(int column, const wchar_t *text);
    // What the element shows in a column.
    CWideString GetShownText(int column);

    // The links found at the last paint.
    int GetLinkCount() const { return m_linkCount; }
    const RECT &GetLinkRect(int index) const { return m_links[index]; }
    const CWideString &GetLinkName(int index) const { return m_linkNames[index]; }
    int GetHotLink() const { return m_hotLink; }

protected:
    SIZE MeasureDesiredSize(const ListItemStyle &style, SIZE available) override;

private:
    int LinkAt(const POINT &point) const;
    bool HandleLinkEvent(ControlEvent &event);
    void DrawCell(HDC dc, const RECT &rect, const CWideString &text, DWORD color,
                  const ListItemStyle &style);

    int m_linkCount;
    RECT m_links[kMaxLinks];
    CWideString m_linkNames[kMaxLinks];
    int m_hotLink;
    IListUI *m_ownerList;
    CPointerArray m_columnTexts; // owned CWideString
    CWideString m_lastMeasuredText;
    int m_lastMeasuredSpan;
};

} // namespace SkinUI
