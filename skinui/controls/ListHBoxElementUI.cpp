#include "ListHBoxElementUI.h"

#include "GdiPainter.h"

#include <cwchar>

namespace SkinUI {

const wchar_t *const CListHBoxElementUI::kClassName = L"ListHBoxElement";

const wchar_t *CListHBoxElementUI::GetClass() const
{
    return kClassName;
}

void *CListHBoxElementUI::GetInterface(const wchar_t *name)
{
    if (name != nullptr && wcscmp(name, kClassName) == 0)
        return this;
    return CListContainerElementUI::GetInterface(name);
}

// Without columns every child covers the element; with columns child k takes column k, and
// children past the last column are not placed.
void CListHBoxElementUI::SetPos(RECT rect, bool invalidate)
{
    const ListItemStyle *style = m_core.Style();
    if (style == nullptr) {
        CContainerUI::SetPos(rect, invalidate);
        return;
    }
    CControlUI::SetPos(rect, invalidate);
    int column = 0;
    for (int i = 0; i < m_items.GetCount(); ++i) {
        CControlUI *child = ChildToLayOut(i);
        if (child == nullptr)
            continue;
        const RECT padding = child->GetPadding();
        RECT place = {m_itemRect.left + padding.left, m_itemRect.top + padding.top,
                      m_itemRect.right - padding.right, m_itemRect.bottom - padding.bottom};
        if (style->columnCount > 0) {
            if (column >= style->columnCount)
                continue;
            const RECT &cell = style->columns[column];
            place.left = cell.left + padding.left;
            place.right = cell.right - padding.right;
            if (style->vLineSize > 0 && column != style->columnCount - 1)
                place.right -= style->vLineSize;
            ++column;
        }
        child->SetPos(place, false);
    }
}

bool CListHBoxElementUI::DoPaint(HDC dc, const RECT &paintArea, CControlUI *stopControl)
{
    const ListItemStyle *style = m_core.Style();
    if (style == nullptr)
        return true;
    m_core.PaintBackground(*this, dc, m_bkImage);
    if (style->vLineSize > 0) {
        for (int i = 0; i + 1 < style->columnCount; ++i) {
            const int x = style->columns[i].right - style->vLineSize / 2;
            CGdiPainter::DrawLine(dc, RECT{x, m_itemRect.top, x, m_itemRect.bottom},
                                  style->vLineSize, HslAdjustedColor(style->vLineColor));
        }
    }
    return CContainerUI::DoPaint(dc, paintArea, stopControl);
}

} // namespace SkinUI
