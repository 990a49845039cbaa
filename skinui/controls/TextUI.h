#pragma once

#include "LabelUI.h"

namespace SkinUI {

// A word-wrapping label whose inline markup may hold links. Painting records where the
// first eight links lie; the control shows the hand cursor over them, tracks the hovered
// one and notifies "link" with the index of a clicked one.
class CTextUI : public CLabelUI
{
public:
    static const wchar_t *const kClassName;
    static const int kMaxLinks = 8;

    CTextUI();

    const wchar_t *GetClass() const override;
    void *GetInterface(const wchar_t *name) override;
    UINT GetBehaviorFlags() const override;
    void DoEvent(ControlEvent &event) override;
    void PaintText(HDC dc) override;

private:
    // The index of the first link rectangle that holds the point, or -1.
    int LinkAt(const POINT &point) const;
    bool HandleLinkEvent(ControlEvent &event);

    int m_linkCount;
    RECT m_links[kMaxLinks];
    CWideString m_linkTargets[kMaxLinks];
    int m_hoveredLink;
};

} // namespace SkinUI
