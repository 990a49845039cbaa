#pragma once

#include "LabelUI.h"

namespace SkinUI {

// A label that fills a part of its rectangle with its fore image in proportion to an integer
// value within [min, max], growing left to right or bottom to top.
class CProgressUI : public CLabelUI
{
public:
    static const wchar_t *const kClassName;

    CProgressUI();

    const wchar_t *GetClass() const override;
    void *GetInterface(const wchar_t *name) override;
    void SetAttribute(const wchar_t *name, const wchar_t *value) override;
    void PaintStateImage(HDC dc) override;

    int GetValue() const { return m_value; }
    // Limits the value to the range, max first.
    void SetValue(int value);
    void SetForeImage(const wchar_t *descriptor);

protected:
    // max - min; a range of 0 or less counts as 1, so that no geometry divides by zero.
    long long Range() const;
    // An empty or reversed range becomes one unit wide, and the value is brought into it.
    void RepairRange();

    bool m_horizontal;
    int m_max;
    int m_min;
    int m_value;
    ImageDescriptor m_fillImage;
};

} // namespace SkinUI
