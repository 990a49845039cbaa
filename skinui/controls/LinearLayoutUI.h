#pragma once

#include "ContainerUI.h"

namespace SkinUI {

// What the vertical and the horizontal layout share: children stacked along one axis, where
// children with a fixed or desired length get it and the others share what is left (the
// last one takes the rounding rest), within their min/max limits and paddings; and a
// separator band at one edge that lets the user drag the layout's own length. The two
// differ only in the axis and in what makes a child share the rest.
class CLinearLayoutUI : public CContainerUI
{
public:
    UINT GetBehaviorFlags() const override;
    void SetPos(RECT rect, bool invalidate = true) override;
    void DoEvent(ControlEvent &event) override;
    void SetAttribute(const wchar_t *name, const wchar_t *value) override;
    void PostPaint(HDC dc, const RECT &paintArea) override;

    // Pixels of the separator band: positive at the bottom (right) edge, negative at the
    // top (left) edge, 0 for none.
    int GetSeparatorSize() const { return m_separatorSize; }
    void SetSeparatorSize(int size) { m_separatorSize = size; }
    // Immediate layouts follow a drag at once instead of showing where it will land.
    bool IsImmediate() const { return m_immediate; }
    void SetImmediate(bool immediate);
    bool IsDragging() const;
    // The band on the item rectangle, or on the rectangle the drag would leave.
    RECT GetSeparatorRect(bool useDragRect) const;

protected:
    explicit CLinearLayoutUI(bool horizontal);

private:
    struct Measure;

    Measure MeasureChildren(SIZE available) const;
    void PlaceChildren(const RECT &area, SIZE available, const Measure &measure);
    bool StartDrag(const POINT &point);
    void EndDrag();
    void Drag(const POINT &point);

    int m_separatorSize;
    UINT m_buttonState;
    POINT m_lastMousePoint;
    RECT m_dragRect;
    bool m_immediate;
    const bool m_horizontal;
};

} // namespace SkinUI
