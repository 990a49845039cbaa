#pragma once

#include "ControlUI.h"

namespace SkinUI {

class CContainerUI;

// The skinned scroll bar: an optional button at each end, a track, a thumb and a rail mark
// centred on the thumb, each with a colour and/or an image per state. With an owner
// container it turns clicks, held buttons and thumb drags into the owner's line, page and
// position operations; without one it moves its own position and sends "scroll".
class CScrollBarUI : public CControlUI
{
public:
    static const wchar_t *const kClassName;
    // Thickness of a new bar, and of one turned to the other orientation without a size.
    static const int kDefaultThickness = 16;
    // The local id of the timer that repeats held buttons and follows a dragged thumb.
    static const UINT kRepeatTimerId = 10;

    CScrollBarUI();

    const wchar_t *GetClass() const override;
    void *GetInterface(const wchar_t *name) override;

    CContainerUI *GetOwner() const { return m_owner; }
    void SetOwner(CContainerUI *owner) { m_owner = owner; }
    bool IsHorizontal() const { return m_horizontal; }
    void SetHorizontal(bool horizontal = true);
    int GetScrollRange() const { return m_range; }
    void SetScrollRange(int range);
    int GetScrollPos() const { return m_position; }
    // The position is kept within 0..range and snapped to the scroll unit; with notify a
    // queued "scroll" tells the new (wParam) and the old (lParam) position.
    void SetScrollPos(int position, bool notify = true);
    int GetLineSize() const { return m_lineSize; }
    void SetLineSize(int size);
    int GetScrollUnit() const { return m_scrollUnit; }
    void SetScrollUnit(int unit);
    // The step of the end buttons: the scroll unit when above 1, else the line size.
    int GetLineStep() const;
    bool IsShowButton1() const { return m_button1.shown; }
    void SetShowButton1(bool show);
    bool IsShowButton2() const { return m_button2.shown; }
    void SetShowButton2(bool show);

    // Part rectangles in window coordinates; an all-zero thumb means there is none.
    const RECT &GetButton1Rect() const { return m_button1.rect; }
    const RECT &GetButton2Rect() const { return m_button2.rect; }
    const RECT &GetThumbRect() const { return m_thumbRect; }
    UINT GetButton1State() const { return m_button1.state; }
    UINT GetButton2State() const { return m_button2.state; }
    UINT GetThumbState() const { return m_thumbState; }

    void SetPos(RECT rect, bool invalidate = true) override;
    void Move(int dx, int dy, bool invalidate = true) override;
    void SetVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;
    void SetFocus() override;
    void DoEvent(ControlEvent &event) override;
    void SetAttribute(const wchar_t *name, const wchar_t *value) override;
    bool DoPaint(HDC dc, const RECT &paintArea, CControlUI *stopControl) override;

private:
    // Normal, hot, pushed and disabled images of one part.
    struct StateImages
    {
        ImageDescriptor normal;
        ImageDescriptor hot;
        ImageDescriptor pushed;
        ImageDescriptor disabled;
    };

    struct EndButton
    {
        bool shown = true;
        RECT rect = {0, 0, 0, 0};
        UINT state = 0;
        DWORD color = 0;
        StateImages images;
    };

    void LayOutParts();
    int Thickness() const;
    int Length() const;
    int ShownButtonCount() const;
    // The coordinate along the bar: x when horizontal, y when vertical.
    int Along(POINT point) const;
    bool IsBeforeThumb(POINT point) const;
    bool IsAfterThumb(POINT point) const;
    bool HasThumb() const;

    void Scroll(bool forward, bool page);
    void MoveThumbToDrag();
    void RepeatHeldPart();

    void HandleButtonDown(const ControlEvent &event);
    void HandleButtonUp();
    void HandleMouseMove(const ControlEvent &event);
    void HandleMouseEnter(const ControlEvent &event);
    bool HandleMouseLeave(const ControlEvent &event);
    void PassOn(ControlEvent &event);

    bool SetImageAttribute(const wchar_t *name, const wchar_t *value);
    void StoreColor(DWORD &field, const wchar_t *text);

    void PaintPart(HDC dc, const RECT &part, UINT &state, DWORD color, StateImages &images);
    bool DrawPartImage(HDC dc, ImageDescriptor &descriptor, const RECT &part);

    bool m_horizontal;
    int m_range;
    int m_position;
    int m_lineSize;
    int m_scrollUnit;
    CContainerUI *m_owner;
    POINT m_dragStartPoint;
    int m_dragStartPosition;
    int m_dragOffset;
    int m_repeatCount;
    StateImages m_trackImages;
    EndButton m_button1;
    EndButton m_button2;
    RECT m_thumbRect;
    UINT m_thumbState;
    DWORD m_thumbColor;
    StateImages m_thumbImages;
    StateImages m_railImages;
};

} // namespace SkinUI
