#include "ComboBodyUI.h"

#include "ComboUI.h"
#include "ListBodyUI.h"

namespace SkinUI {

CComboBodyUI::CComboBodyUI(CComboUI *owner) : m_owner(owner)
{
    SetDeleteChildrenOnRemove(false);
}

// The items go back to the combo box before its pop-up ends: here they are only let go.
CComboBodyUI::~CComboBodyUI()
{
    m_deferredDelete = false;
    m_deleteChildrenOnRemove = false;
    m_items.Empty();
}

bool CComboBodyUI::DoPaint(HDC dc, const RECT &paintArea, CControlUI *stopControl)
{
    return CListBodyUI::PaintItems(*this, m_owner != nullptr ? m_owner->GetItemStyle() : nullptr,
                                   dc, paintArea, stopControl);
}

} // namespace SkinUI
