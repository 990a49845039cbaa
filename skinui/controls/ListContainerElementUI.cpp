#include "ListContainerElementUI.h"

#include "ControlState.h"
#include "ValueText.h"
#include "WindowManagerUI.h"

#include <cwchar>

namespace SkinUI {

const wchar_t *const CListContainerElementUI::kClassName = L"ListContainerElement";

const wchar_t *CListContainerElementUI::GetClass() const
{
    return kClassName;
}

void *CListContainerElementUI::GetInterface(const wchar_t *name)
{
    if (name != nullptr && wcscmp(name, L"IListItem") == 0)
        return static_cast<IListItemUI *>(this);
    if (name != nullptr && wcscmp(name, kClassName) == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

UINT CListContainerElementUI::GetBehaviorFlags() const
{
    return BehaviorListItem;
}

bool CListContainerElementUI::Activate()
{
    if (!CControlUI::Activate())
        return false;
    if (m_manager != nullptr)
        m_manager->SendNotify(this, L"itemactivate");
    return true;
}

void CListContainerElementUI::SetVisible(bool visible)
{
    CContainerUI::SetVisible(visible);
    m_core.ForgetSelectionIfHidden(*this);
}

void CListContainerElementUI::SetEnabled(bool enabled)
{
    CControlUI::SetEnabled(enabled);
    if (!IsEnabled())
        m_core.buttonState = 0;
}

bool CListContainerElementUI::IsHot() const
{
    return (m_core.buttonState & StateHot) != 0;
}

void CListContainerElementUI::PassOn(ControlEvent &event)
{
    if (m_core.owner != nullptr)
        m_core.owner->DoEvent(event);
    else
        CContainerUI::DoEvent(event);
}

void CListContainerElementUI::DoEvent(ControlEvent &event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        PassOn(event);
        return;
    }
    if (!m_core.HandleEvent(*this, *this, event))
        PassOn(event);
}

void CListContainerElementUI::SetAttribute(const wchar_t *name, const wchar_t *value)
{
    if (name == nullptr || value == nullptr)
        return;
    if (wcscmp(name, L"selected") == 0)
        Select(true, true);
    else if (wcscmp(name, L"expandable") == 0)
        SetExpandable(ValueText::IsTrue(value));
    else
        CContainerUI::SetAttribute(name, value);
}

SIZE CListContainerElementUI::GetDesiredSize(SIZE)
{
    const ListItemStyle *style = m_core.Style();
    if (style == nullptr || m_fixedSize.cy != 0)
        return m_fixedSize;
    return SIZE{m_fixedSize.cx, style->itemHeight};
}

bool CListContainerElementUI::DoPaint(HDC dc, const RECT &paintArea, CControlUI *stopControl)
{
    m_core.PaintBackground(*this, dc, m_bkImage);
    return CContainerUI::DoPaint(dc, paintArea, stopControl);
}

void CListContainerElementUI::SetOwner(CControlUI *owner)
{
    if (owner != nullptr)
        m_core.owner = ListItemCore::OwnerOf(owner);
}

bool CListContainerElementUI::Select(bool select, bool takeFocus)
{
    return m_core.Select(*this, select, takeFocus);
}

bool CListContainerElementUI::Expand(bool expand)
{
    if (m_core.owner == nullptr)
        return false;
    if (m_expanded == expand)
        return true;
    m_expanded = expand;
    if (!m_expandable)
        return true;
    if (!m_core.owner->ExpandItem(m_core.index, expand))
        return false;
    if (m_manager != nullptr)
        m_manager->SendNotify(this, expand ? L"itemexpand" : L"itemcollapse");
    return true;
}

} // namespace SkinUI
