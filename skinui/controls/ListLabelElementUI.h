#pragma once

#include "ListElementUI.h"

namespace SkinUI {

// A list element showing one text, measured from the owner's font, format and padding.
// The measured size is kept until something it depends on changes, so that laying out a
// long list does not measure every text again.
class CListLabelElementUI : public CListElementUI
{
public:
    static const wchar_t *const kClassName;

    const wchar_t *GetClass() const override;
    void *GetInterface(const wchar_t *name) override;
    void SetText(const wchar_t *text) override;
    void SetFixedWidth(int width) override;
    void SetFixedHeight(int height) override;
    SIZE GetDesiredSize(SIZE available) override;
    void SetOwner(CControlUI *owner) override;
    void DrawItemText(HDC dc, const RECT &rect) override;

    // How many times the text was measured: the cache at work.
    int GetMeasureCount() const { return m_measureCount; }

protected:
    // The size of the element beyond what its fixed size and the item height settle.
    virtual SIZE MeasureDesiredSize(const ListItemStyle &style, SIZE available);
    // The size of the text at the preset width (0: the text's own width), measured again
    // only when stale or forced.
    SIZE MeasuredSize(const ListItemStyle &style, SIZE available, const wchar_t *text,
                      int presetWidth, bool force);
    RECT TextRect(const RECT &rect, const ListItemStyle &style) const;

    SIZE m_measured = {0, 0};
    bool m_needsMeasure = true;
    SIZE m_lastAvailable = {0, 0};
    int m_measuredItemHeight = 0;
    int m_measuredFont = -1;
    UINT m_measuredTextStyle = 0;
    RECT m_measuredTextPadding = {0, 0, 0, 0};
    int m_measureCount = 0;

private:
    bool IsStale(const ListItemStyle &style, SIZE available) const;
};

} // namespace SkinUI
