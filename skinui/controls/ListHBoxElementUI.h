#pragma once

#include "ListContainerElementUI.h"

namespace SkinUI {

// A container element whose children stand one per column of the owner's header, with the
// style's vertical lines between the columns.
class CListHBoxElementUI : public CListContainerElementUI
{
public:
    static const wchar_t *const kClassName;

    const wchar_t *GetClass() const override;
    void *GetInterface(const wchar_t *name) override;
    void SetPos(RECT rect, bool invalidate = true) override;
    bool DoPaint(HDC dc, const RECT &paintArea, CControlUI *stopControl) override;
};

} // namespace SkinUI
