#include "ListElementUI.h"

#include "ControlState.h"
#include "WindowManagerUI.h"

#include <cwchar>

namespace SkinUI {

const wchar_t *const CListElementUI::kClassName = L"ListElement";

const wchar_t *CListElementUI::GetClass() const
{
    return kClassName;
}

void *CListElementUI::GetInterface(const wchar_t *name)
{
    if (name != nullptr && wcscmp(name, kClassName) == 0)
        return this;
    if (name != nullptr && wcscmp(name, L"IListItem") == 0)
        return static_cast<IListItemUI *>(this);
    return CControlUI::GetInterface(name);
}

UINT CListElementUI::GetBehaviorFlags() const
{
    return BehaviorListItem;
}

bool CListElementUI::Activate()
{
    if (!CControlUI::Activate())
        return false;
    if (m_manager != nullptr)
        m_manager->SendNotify(this, L"itemactivate");
    return true;
}

void CListElementUI::SetVisible(bool visible)
{
    CControlUI::SetVisible(visible);
    m_core.ForgetSelectionIfHidden(*this);
}

void CListElementUI::SetEnabled(bool enabled)
{
    CControlUI::SetEnabled(enabled);
    if (!IsEnabled())
        m_core.buttonState = 0;
}

bool CListElementUI::IsHot() const
{
    return (m_core.buttonState & StateHot) != 0;
}

void CListElementUI::PassOn(ControlEvent &event)
{
    if (m_core.owner != nullptr)
        m_core.owner->DoEvent(event);
    else
        CControlUI::DoEvent(event);
}

void CListElementUI::DoEvent(ControlEvent &event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        PassOn(event);
        return;
    }
    if (!m_core.HandleEvent(*this, *this, event))
        PassOn(event);
}

void CListElementUI::SetAttribute(const wchar_t *name, const wchar_t *value)
{
    if (name != nullptr && value != nullptr && wcscmp(name, L"selected") == 0)
        Select(true, true);
    else
        CControlUI::SetAttribute(name, value);
}

// The item's own text, border and state images are not painted: the style draws it.
bool CListElementUI::DoPaint(HDC dc, const RECT &, CControlUI *)
{
    m_core.PaintBackground(*this, dc, m_bkImage);
    DrawItemText(dc, m_itemRect);
    return true;
}

void CListElementUI::SetOwner(CControlUI *owner)
{
    if (owner != nullptr)
        m_core.owner = ListItemCore::OwnerOf(owner);
}

bool CListElementUI::Select(bool select, bool takeFocus)
{
    return m_core.Select(*this, select, takeFocus);
}

} // namespace SkinUI
