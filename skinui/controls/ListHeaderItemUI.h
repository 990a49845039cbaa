#pragma once

#include "ControlUI.h"

namespace SkinUI {

// A column header: a caption that sends "headerclick" when pressed, with a separator at one
// edge that the user drags to change the column's width.
class CListHeaderItemUI : public CControlUI
{
public:
    static const wchar_t *const kClassName;
    static const int kDefaultMinWidth = 16;

    CListHeaderItemUI();

    const wchar_t *GetClass() const override;
    void *GetInterface(const wchar_t *name) override;
    UINT GetBehaviorFlags() const override;
    void SetEnabled(bool enabled = true) override;
    void DoEvent(ControlEvent &event) override;
    void SetAttribute(const wchar_t *name, const wchar_t *value) override;
    SIZE GetDesiredSize(SIZE available) override;
    void PaintStateImage(HDC dc) override;
    void PaintText(HDC dc) override;

    bool IsDragable() const { return m_dragable; }
    void SetDragable(bool dragable);
    // Positive: a band at the right edge; negative: at the left edge; 0: none.
    int GetSepWidth() const { return m_sepWidth; }
    void SetSepWidth(int width) { m_sepWidth = width; }
    UINT GetButtonState() const { return m_buttonState; }
    bool IsDragging() const;
    // The drag handle in window coordinates.
    RECT GetThumbRect() const;

private:
    void HandleButtonDown(const POINT &point);
    void HandleButtonUp();
    void Drag(const POINT &point);
    void AskForLayout();

    POINT m_lastMousePoint;
    bool m_dragable;
    UINT m_buttonState;
    int m_sepWidth;
    DWORD m_textColor;
    DWORD m_sepColor;
    int m_font;
    UINT m_textStyle;
    bool m_showHtml;
    RECT m_textPadding;
    ImageDescriptor m_normalImage;
    ImageDescriptor m_hotImage;
    ImageDescriptor m_pushedImage;
    ImageDescriptor m_focusedImage;
    ImageDescriptor m_sepImage;
};

} // namespace SkinUI
