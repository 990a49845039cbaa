#include "TabLayoutUI.h"

#include "ValueText.h"
#include "WindowManagerUI.h"

#include <cwchar>

namespace SkinUI {

const wchar_t *const CTabLayoutUI::kClassName = L"TabLayout";

namespace {

// The desired length, or all of the available one where the page desires none, within the
// page's limits.
int PageLength(int desired, int available, int minimum, int maximum)
{
    int length = desired != 0 ? desired : (available > 0 ? available : 0);
    length = length < minimum ? minimum : length;
    return length > maximum ? maximum : length;
}

} // namespace

CTabLayoutUI::CTabLayoutUI() : m_currentPage(-1) {}

const wchar_t *CTabLayoutUI::GetClass() const
{
    return kClassName;
}

void *CTabLayoutUI::GetInterface(const wchar_t *name)
{
    if (name != nullptr && wcscmp(name, kClassName) == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

// ---- Pages ----

bool CTabLayoutUI::Add(CControlUI *control)
{
    return AddAt(control, GetCount());
}

// The first visible child becomes the current page; every later one is hidden, and the
// current index follows its page when a child goes in before it.
bool CTabLayoutUI::AddAt(CControlUI *control, int index)
{
    if (!CContainerUI::AddAt(control, index))
        return false;
    if (m_currentPage == -1 && control->IsVisible()) {
        m_currentPage = index;
        return true;
    }
    control->SetVisible(false);
    if (m_currentPage != -1 && m_currentPage >= index)
        ++m_currentPage;
    return true;
}

// Removing the current page shows the first one instead, without a notification.
bool CTabLayoutUI::Remove(CControlUI *control, bool doNotDelete)
{
    if (control == nullptr)
        return false;
    const int index = GetItemIndex(control);
    if (!CContainerUI::Remove(control, doNotDelete))
        return false;
    if (index == m_currentPage) {
        if (GetCount() > 0) {
            m_currentPage = 0;
            GetItemAt(0)->SetVisible(true);
        } else {
            m_currentPage = -1;
        }
        MarkParentNeedsLayout();
    } else if (index < m_currentPage) {
        --m_currentPage;
    }
    return true;
}

void CTabLayoutUI::RemoveAll()
{
    m_currentPage = -1;
    CContainerUI::RemoveAll();
    MarkParentNeedsLayout();
}

bool CTabLayoutUI::SelectItem(int index, bool notify)
{
    if (index < 0 || index >= GetCount())
        return false;
    if (index == m_currentPage)
        return true;
    const int old = m_currentPage;
    m_currentPage = index;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI *page = GetItemAt(i);
        if (i == index) {
            page->SetVisible(true);
            page->SetFocus();
        } else {
            page->SetVisible(false);
        }
    }
    MarkParentNeedsLayout();
    if (m_manager != nullptr) {
        m_manager->MoveFocusToNextTabStop(true);
        if (notify)
            m_manager->SendNotify(this, L"tabselect", static_cast<WPARAM>(index),
                                  static_cast<LPARAM>(old), false);
    }
    return true;
}

// ---- Layout and attributes ----

// Floating children are placed as everywhere; of the others only the current page, over
// the client area less its padding. Tab layouts do not scroll.
void CTabLayoutUI::SetPos(RECT rect, bool invalidate)
{
    CControlUI::SetPos(rect, invalidate);
    const RECT inner = {m_itemRect.left + m_inset.left, m_itemRect.top + m_inset.top,
                        m_itemRect.right - m_inset.right, m_itemRect.bottom - m_inset.bottom};
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI *child = ChildToLayOut(i);
        if (child == nullptr || i != m_currentPage)
            continue;
        const RECT padding = child->GetPadding();
        const RECT area = {inner.left + padding.left, inner.top + padding.top,
                           inner.right - padding.right, inner.bottom - padding.bottom};
        const int width = area.right - area.left;
        const int height = area.bottom - area.top;
        const SIZE desired = child->GetDesiredSize(SIZE{width, height});
        const int pageWidth =
            PageLength(desired.cx, width, child->GetMinWidth(), child->GetMaxWidth());
        const int pageHeight =
            PageLength(desired.cy, height, child->GetMinHeight(), child->GetMaxHeight());
        child->SetPos(RECT{area.left, area.top, area.left + pageWidth, area.top + pageHeight},
                      false);
    }
}

// "selectedid" also stays among the custom attributes.
void CTabLayoutUI::SetAttribute(const wchar_t *name, const wchar_t *value)
{
    if (name != nullptr && value != nullptr && wcscmp(name, L"selectedid") == 0)
        SelectItem(ValueText::ReadInteger(value), true);
    CContainerUI::SetAttribute(name, value);
}

} // namespace SkinUI
