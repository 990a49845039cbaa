#pragma once

#include "ControlState.h"
#include "LabelUI.h"

namespace SkinUI {

// The clickable label: a background colour, an image and a text colour per state, an
// optional cross-fade between the normal and hot images, and the notifications "click",
// "mouseenter", "mouseleave" and "menu".
class CButtonUI : public CLabelUI
{
public:
    static const wchar_t *const kClassName;
    // The local id of the fade timer and its period.
    static const UINT kFadeTimerId = 11;
    static const UINT kFadePeriod = 30;

    CButtonUI();

    const wchar_t *GetClass() const override;
    void *GetInterface(const wchar_t *name) override;
    UINT GetBehaviorFlags() const override;
    bool Activate() override;
    void SetEnabled(bool enabled = true) override;
    SIZE GetDesiredSize(SIZE available) override;
    void DoEvent(ControlEvent &event) override;
    void SetAttribute(const wchar_t *name, const wchar_t *value) override;
    void PaintStateImage(HDC dc) override;
    void PaintText(HDC dc) override;

    UINT GetButtonState() const { return m_buttonState; }
    BYTE GetFadeValue() const { return m_fadeValue; }

protected:
    void SetFiveStatusImage(const wchar_t *text);
    void StartFade();
    void StepFade();
    bool IsInside(const POINT &point) const { return PtInRect(&m_itemRect, point) != FALSE; }
    bool DrawFaded(HDC dc, ImageDescriptor &descriptor, BYTE fade);
    void FillColor(HDC dc, DWORD color);
    void PaintNormalImage(HDC dc);
    void RefreshState();
    DWORD StateTextColor() const;

    UINT m_buttonState;
    DWORD m_hotBkColor;
    DWORD m_pushedBkColor;
    DWORD m_disabledBkColor;
    DWORD m_hotTextColor;
    DWORD m_pushedTextColor;
    DWORD m_focusedTextColor;
    BYTE m_fadeValue;
    BYTE m_fadeDelta;
    ImageDescriptor m_normalImage;
    ImageDescriptor m_hotImage;
    ImageDescriptor m_hotForeImage;
    ImageDescriptor m_pushedImage;
    ImageDescriptor m_focusedImage;
    ImageDescriptor m_disabledImage;
};

} // namespace SkinUI
