#pragma once

#include "ContainerUI.h"

namespace SkinUI {

// Children in a grid of equal cells, row by row, in a fixed number of columns or in as many
// as fit. The container's child padding is the gap between columns; a gap of its own lies
// between rows.
class CTileLayoutUI : public CContainerUI
{
public:
    static const wchar_t *const kClassName;

    CTileLayoutUI();
    ~CTileLayoutUI() override;

    const wchar_t *GetClass() const override;
    void *GetInterface(const wchar_t *name) override;
    void SetPos(RECT rect, bool invalidate = true) override;
    void SetAttribute(const wchar_t *name, const wchar_t *value) override;

    SIZE GetItemSize() const { return m_itemSize; }
    void SetItemSize(SIZE size);
    // 0: as many columns as fit.
    int GetColumns() const { return m_columns; }
    void SetColumns(int columns);
    int GetChildVPadding() const { return m_childVPadding; }
    void SetChildVPadding(int padding);

private:
    struct Grid
    {
        int columns;
        int rows;
        int gap;
        SIZE needed;
    };

    Grid MeasureGrid(const RECT &area, int count) const;
    void PlaceChild(CControlUI &child, int index, const RECT &area, const Grid &grid) const;

    SIZE m_itemSize;
    int m_columnsInUse;
    int m_rows;
    int m_columns;
    int m_childVPadding;
};

} // namespace SkinUI
