#pragma once

#include "VerticalLayoutUI.h"

namespace SkinUI {

class CComboUI;

// The root of a combo box's pop-up: a vertical layout of the combo box's items that paints
// them as a list body does. It never deletes the items, which stay the combo box's.
class CComboBodyUI : public CVerticalLayoutUI
{
public:
    explicit CComboBodyUI(CComboUI *owner);
    ~CComboBodyUI() override;

    bool DoPaint(HDC dc, const RECT &paintArea, CControlUI *stopControl) override;

private:
    CComboUI *m_owner;
};

} // namespace SkinUI
