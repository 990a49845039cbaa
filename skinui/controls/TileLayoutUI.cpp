#include "TileLayoutUI.h"

#include "ValueText.h"

#include <cwchar>

namespace SkinUI {

const wchar_t *const CTileLayoutUI::kClassName = L"TileLayout";

namespace {

int AtLeast(int value, int minimum)
{
    return value < minimum ? minimum : value;
}

int AtMost(int value, int maximum)
{
    return value > maximum ? maximum : value;
}

// Where a length of size starts inside a cell of the given length, by alignment: at the
// start, centred or at the end (0, 1 and 2 for columns, 0, 4 and 8 for rows), the paddings
// taken off at both edges.
void Align(UINT align, UINT centre, UINT end, int cell, int size, int before, int after, LONG &from,
           LONG &to)
{
    const int origin = from;
    if (align == centre) {
        const int shift = (cell - size) / 2;
        from = origin + shift + before;
        to = origin + shift + size - after;
    } else if (align == end) {
        from = origin + cell - size + before;
        to = origin + cell - after;
    } else {
        from = origin + before;
        to = origin + size - after;
    }
}

} // namespace

CTileLayoutUI::CTileLayoutUI()
    : m_itemSize{80, 80}, m_columnsInUse(1), m_rows(0), m_columns(0), m_childVPadding(0)
{
}

CTileLayoutUI::~CTileLayoutUI() = default;

const wchar_t *CTileLayoutUI::GetClass() const
{
    return kClassName;
}

void *CTileLayoutUI::GetInterface(const wchar_t *name)
{
    if (name && wcscmp(name, kClassName) == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

void CTileLayoutUI::SetItemSize(SIZE size)
{
    if (size.cx == m_itemSize.cx && size.cy == m_itemSize.cy)
        return;
    m_itemSize = size;
    MarkNeedsLayout();
}

void CTileLayoutUI::SetColumns(int columns)
{
    if (columns < 0)
        return;
    m_columns = columns;
    MarkNeedsLayout();
}

void CTileLayoutUI::SetChildVPadding(int padding)
{
    m_childVPadding = AtLeast(padding, 0);
    MarkNeedsLayout();
}

void CTileLayoutUI::SetAttribute(const wchar_t *name, const wchar_t *value)
{
    if (name == nullptr || value == nullptr)
        return;
    if (wcscmp(name, L"itemsize") == 0) {
        int size[2];
        ValueText::ReadIntegerList(value, size, 2);
        SetItemSize(SIZE{size[0], size[1]});
    } else if (wcscmp(name, L"columns") == 0) {
        SetColumns(ValueText::ReadInteger(value));
    } else if (wcscmp(name, L"childvpadding") == 0) {
        SetChildVPadding(ValueText::ReadInteger(value));
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

// Columns, the gap between them and the extent the grid needs, for count placed children.
CTileLayoutUI::Grid CTileLayoutUI::MeasureGrid(const RECT &area, int count) const
{
    const int areaWidth = area.right - area.left;
    const int item = m_itemSize.cx;
    Grid grid = {1, 0, 0, {0, 0}};
    if (m_columns == 0) {
        if (areaWidth < item) {
            grid.gap = m_childPadding;
            grid.needed.cx = item;
        } else {
            // An item width of 0 or less still makes one column.
            grid.columns = item > 0 ? AtLeast(areaWidth / item, 1) : 1;
            if (grid.columns >= 2)
                grid.gap = m_childPadding >= 1
                               ? m_childPadding
                               : AtLeast((areaWidth - grid.columns * item) / (grid.columns - 1), 0);
            grid.needed.cx = areaWidth;
        }
    } else {
        const int columns = m_columns;
        grid.columns = columns;
        if (columns >= 2) {
            // Without a child padding the free width is spread between the columns: over
            // the visible width when a horizontal bar shows and the columns fit in it, else
            // over the whole scrolled width.
            const int scrolledWidth = areaWidth + GetScrollRange().cx;
            const bool fitsVisibleWidth = IsHorizontalBarShown() && areaWidth >= columns * item;
            const int spread = fitsVisibleWidth ? areaWidth : scrolledWidth;
            grid.gap = m_childPadding >= 1 ? m_childPadding
                                           : AtLeast((spread - columns * item) / (columns - 1), 0);
        }
        const int inRow = count < columns ? count : columns;
        grid.needed.cx = (inRow - 1) * grid.gap + inRow * item;
    }
    grid.rows = (count - 1) / grid.columns + 1;
    grid.needed.cy = grid.rows * m_itemSize.cy + (grid.rows - 1) * m_childVPadding;
    return grid;
}

// The child's cell is found by its index in the whole child list, so a hidden or floating
// child leaves its cell empty.
void CTileLayoutUI::PlaceChild(CControlUI &child, int index, const RECT &area,
                               const Grid &grid) const
{
    const RECT padding = child.GetPadding();
    const int width =
        AtLeast(AtMost(m_itemSize.cx - padding.left - padding.right, child.GetMaxWidth()), 0);
    const int height =
        AtLeast(AtMost(m_itemSize.cy - padding.top - padding.bottom, child.GetMaxHeight()), 0);
    const SIZE scrolled = GetScrollPos();
    RECT cell;
    cell.left = area.left + (m_itemSize.cx + grid.gap) * (index % grid.columns) - scrolled.cx;
    cell.top = area.top + (m_itemSize.cy + m_childVPadding) * (index / grid.columns) - scrolled.cy;
    Align(m_childAlign, DT_CENTER, DT_RIGHT, m_itemSize.cx, width, padding.left, padding.right,
          cell.left, cell.right);
    Align(m_childVAlign, DT_VCENTER, DT_BOTTOM, m_itemSize.cy, height, padding.top, padding.bottom,
          cell.top, cell.bottom);
    child.SetPos(cell, false);
}

void CTileLayoutUI::SetPos(RECT rect, bool invalidate)
{
    CControlUI::SetPos(rect, invalidate);
    const RECT area = ClientArea();
    if (m_items.IsEmpty()) {
        UpdateScrollBars(area, SIZE{0, 0});
        return;
    }
    int count = 0;
    for (int i = 0; i < m_items.GetCount(); ++i) {
        const CControlUI *child = GetItemAt(i);
        if (child->IsVisible() && !child->IsFloat())
            ++count;
    }
    const Grid grid = MeasureGrid(area, count);
    m_columnsInUse = grid.columns;
    m_rows = grid.rows;
    for (int i = 0; i < m_items.GetCount(); ++i) {
        if (CControlUI *child = ChildToLayOut(i))
            PlaceChild(*child, i, area, grid);
    }
    UpdateScrollBars(area, grid.needed);
}

} // namespace SkinUI
