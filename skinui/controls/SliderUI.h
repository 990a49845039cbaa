#pragma once

#include "ControlState.h"
#include "ProgressUI.h"

namespace SkinUI {

// A progress bar with a thumb that the mouse drags, clicks into place or moves by steps of
// the wheel; it tells of every change with "valuechanged".
class CSliderUI : public CProgressUI
{
public:
    static const wchar_t *const kClassName;

    CSliderUI();

    const wchar_t *GetClass() const override;
    void *GetInterface(const wchar_t *name) override;
    UINT GetBehaviorFlags() const override;
    void SetEnabled(bool enabled = true) override;
    void DoEvent(ControlEvent &event) override;
    void SetAttribute(const wchar_t *name, const wchar_t *value) override;
    void PaintStateImage(HDC dc) override;

    // The thumb in window coordinates.
    RECT GetThumbRect() const;

protected:
    int ValueAtPoint(POINT point) const;
    void SetHot(bool hot);
    void SendValueChanged();

    int m_thumbWidth;
    int m_thumbHeight;
    UINT m_sliderState;
    int m_step;
    bool m_immediate;
    ImageDescriptor m_thumbImage;
    ImageDescriptor m_thumbHotImage;
    ImageDescriptor m_thumbPushedImage;
};

} // namespace SkinUI
