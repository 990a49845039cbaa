#include "ComboUI.h"

#include "ComboBodyUI.h"
#include "ComboWnd.h"
#include "ControlState.h"
#include "ListItemOrder.h"
#include "ValueText.h"
#include "WindowManagerUI.h"

#include <algorithm>
#include <cwchar>

namespace SkinUI {

const wchar_t *const CComboUI::kClassName = L"Combo";

namespace {

using ValueText::Is;

IListItemUI *ItemOf(CControlUI *control)
{
    return control != nullptr ? static_cast<IListItemUI *>(control->GetInterface(L"IListItem"))
                              : nullptr;
}

const CWideString kNoText;

} // namespace

CComboUI::CComboUI()
    : m_window(nullptr), m_curSel(-1), m_showText(true),
      m_closeOnSelect(true), m_textPadding{0, 0, 0, 0}, m_dropBoxSize{0, 150}, m_buttonState(0)
{
}

// An open pop-up goes first: it hands the items back while the combo box is whole.
CComboUI::~CComboUI()
{
    if (m_window != nullptr && m_window->GetHWND() != nullptr)
        DestroyWindow(m_window->GetHWND());
}

// An open drop-down belongs to the window the combo box leaves: it closes first, which
// hands the items back.
void CComboUI::SetManager(CWindowManagerUI *manager, CControlUI *parent, bool initialise)
{
    if (IsMovingTo(manager) && m_window != nullptr && m_window->GetHWND() != nullptr)
        DestroyWindow(m_window->GetHWND());
    CContainerUI::SetManager(manager, parent, initialise);
}

const wchar_t *CComboUI::GetClass() const
{
    return kClassName;
}

void *CComboUI::GetInterface(const wchar_t *name)
{
    if (name != nullptr && wcscmp(name, L"IListOwner") == 0)
        return static_cast<IListOwnerUI *>(this);
    if (name != nullptr && wcscmp(name, kClassName) == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

UINT CComboUI::GetBehaviorFlags() const
{
    return BehaviorTabStop;
}

IListItemUI *CComboUI::ItemAt(int index) const
{
    return ItemOf(GetItemAt(index));
}

// Images of the item style are loaded here, by the combo box's own manager, so that the
// items drawn in the pop-up do not keep images of the pop-up's manager.
void CComboUI::LoadStyleImages()
{
    DrawImage(nullptr, m_style.bkImage);
    DrawImage(nullptr, m_style.selectedImage);
    DrawImage(nullptr, m_style.hotImage);
    DrawImage(nullptr, m_style.disabledImage);
}

bool CComboUI::Activate()
{
    if (!CControlUI::Activate() || m_manager == nullptr)
        return false;
    if (m_window != nullptr)
        return true;
    LoadStyleImages();
    m_window = new CComboWnd;
    m_window->Init(this);
    if (m_window != nullptr && m_window->GetHWND() == nullptr) {
        // Creation failed before the window existed, so no final message deletes it.
        delete m_window;
        m_window = nullptr;
        return false;
    }
    m_manager->SendNotify(this, L"dropdown");
    Invalidate();
    return true;
}

void CComboUI::DropDownEnded()
{
    m_window = nullptr;
    m_buttonState &= ~StatePushed;
    Invalidate();
}

const CWideString &CComboUI::GetText() const
{
    CControlUI *selected = GetItemAt(m_curSel);
    return selected != nullptr ? selected->GetText() : kNoText;
}

// In the face the items take no room; those lent to the open pop-up keep its places.
void CComboUI::SetPos(RECT rect, bool invalidate)
{
    for (int i = 0; i < m_items.GetCount(); ++i)
        if (ChildAt(i)->GetParent() == this)
            ChildAt(i)->SetPos(RECT{0, 0, 0, 0}, false);
    CControlUI::SetPos(rect, invalidate);
}

void CComboUI::Move(int dx, int dy, bool invalidate)
{
    CControlUI::Move(dx, dy, invalidate);
}

void CComboUI::SetEnabled(bool enabled)
{
    CControlUI::SetEnabled(enabled);
    if (!IsEnabled())
        m_buttonState = 0;
}

SIZE CComboUI::GetDesiredSize(SIZE available)
{
    if (m_fixedSize.cy != 0 || m_manager == nullptr)
        return CControlUI::GetDesiredSize(available);
    return SIZE{m_fixedSize.cx, m_manager->GetDefaultFontInfo()->metrics.tmHeight + 8};
}

bool CComboUI::DoPaint(HDC dc, const RECT &paintArea, CControlUI *stopControl)
{
    return CControlUI::DoPaint(dc, paintArea, stopControl);
}

// ---- Events ----

void CComboUI::SelectKeepingOpen(int index)
{
    m_closeOnSelect = false;
    SelectItem(index, false, true);
    m_closeOnSelect = true;
}

void CComboUI::HandleKey(wchar_t key)
{
    switch (key) {
    case VK_F4:
        Activate();
        break;
    case VK_UP:
    case VK_PRIOR:
        SelectKeepingOpen(FindSelectable(m_curSel - 1, false));
        break;
    case VK_DOWN:
    case VK_NEXT:
        SelectKeepingOpen(FindSelectable(m_curSel + 1, true));
        break;
    case VK_HOME:
        SelectKeepingOpen(FindSelectable(0, false));
        break;
    case VK_END:
        SelectKeepingOpen(FindSelectable(GetCount() - 1, true));
        break;
    default:
        break;
    }
}

void CComboUI::DoEvent(ControlEvent &event)
{
    if (PassOnMouseWhenDisabled(event))
        return;
    switch (event.type) {
    case EventSetFocus:
    case EventKillFocus:
        Invalidate();
        break;
    case EventButtonDown:
        if (IsEnabled()) {
            Activate();
            m_buttonState |= StatePushed | StateCaptured;
        }
        return;
    case EventButtonUp:
        if (m_buttonState & StateCaptured) {
            m_buttonState &= ~StateCaptured;
            Invalidate();
        }
        return;
    case EventMouseMove:
    case EventContextMenu:
        return;
    case EventKeyDown:
        if (IsKeyboardEnabled() && IsEnabled()) {
            HandleKey(event.key);
            return;
        }
        break;
    case EventScrollWheel:
        if (IsEnabled()) {
            const bool down = event.wParam == 1;
            SelectKeepingOpen(FindSelectable(m_curSel + (down ? 1 : -1), down));
            return;
        }
        break;
    case EventMouseEnter:
    case EventMouseLeave:
        if (TrackHotState(event, m_buttonState))
            return;
        break;
    default:
        break;
    }
    CControlUI::DoEvent(event);
}

// ---- Attributes ----

void CComboUI::SetAttribute(const wchar_t *name, const wchar_t *value)
{
    if (name == nullptr || value == nullptr)
        return;
    if (Is(name, L"textpadding")) {
        int numbers[4];
        ValueText::ReadIntegerList(value, numbers, 4);
        m_textPadding = RECT{numbers[0], numbers[1], numbers[2], numbers[3]};
        Invalidate();
    } else if (Is(name, L"showtext")) {
        m_showText = ValueText::IsTrue(value);
        Invalidate();
    } else if (Is(name, L"normalimage")) {
        SetImageText(m_normalImage, value);
    } else if (Is(name, L"hotimage")) {
        SetImageText(m_hotImage, value);
    } else if (Is(name, L"pushedimage")) {
        SetImageText(m_pushedImage, value);
    } else if (Is(name, L"focusedimage")) {
        SetImageText(m_focusedImage, value);
    } else if (Is(name, L"disabledimage")) {
        SetImageText(m_disabledImage, value);
    } else if (Is(name, L"dropbox")) {
        m_dropBox = value;
    } else if (Is(name, L"dropboxsize")) {
        int numbers[2];
        ValueText::ReadIntegerList(value, numbers, 2);
        m_dropBoxSize = SIZE{numbers[0], numbers[1]};
    } else {
        const ItemStyleChange change = SetItemStyleAttribute(m_style, name, value, false);
        if (change == ItemStyleChange::NotStyle)
            CContainerUI::SetAttribute(name, value);
        else if (Is(name, L"itemtextcolor") || Is(name, L"itemtextpadding") ||
                 (Is(name, L"itemshowhtml") && change == ItemStyleChange::Layout))
            Invalidate();
    }
}

// ---- Face ----

void CComboUI::PaintStateImage(HDC dc)
{
    if (IsFocused())
        m_buttonState |= StateFocused;
    else
        m_buttonState &= ~StateFocused;
    if (IsEnabled())
        m_buttonState &= ~StateDisabled;
    else
        m_buttonState |= StateDisabled;
    ImageDescriptor *state = nullptr;
    if (m_buttonState & StateDisabled)
        state = &m_disabledImage;
    else if (m_buttonState & StatePushed)
        state = &m_pushedImage;
    else if (m_buttonState & StateHot)
        state = &m_hotImage;
    else if (m_buttonState & StateFocused)
        state = &m_focusedImage;
    if (state == nullptr || !DrawImage(dc, *state))
        DrawImage(dc, m_normalImage);
}

void CComboUI::PaintText(HDC dc)
{
    CControlUI *selected = GetItemAt(m_curSel);
    if (!m_showText || selected == nullptr)
        return;
    const RECT rect = {m_itemRect.left + m_textPadding.left, m_itemRect.top + m_textPadding.top,
                       m_itemRect.right - m_textPadding.right,
                       m_itemRect.bottom - m_textPadding.bottom};
    if (IListItemUI *item = ItemOf(selected)) {
        item->DrawItemText(dc, rect);
        return;
    }
    const RECT old = selected->GetPos();
    selected->SetPos(rect, false);
    selected->Paint(dc, rect, nullptr);
    selected->SetPos(old, false);
}

// ---- Items ----

bool CComboUI::Add(CControlUI *control)
{
    IListItemUI *item = ItemOf(control);
    const int oldIndex = item != nullptr ? item->GetIndex() : -1;
    if (item != nullptr) {
        item->SetOwner(this);
        item->SetIndex(GetCount());
    }
    if (!CContainerUI::AddAt(control, GetCount())) {
        // An item held already is refused and keeps its number.
        if (item != nullptr)
            item->SetIndex(oldIndex);
        return false;
    }
    LendItemsAgain();
    return true;
}

bool CComboUI::AddAt(CControlUI *control, int index)
{
    if (!CContainerUI::AddAt(control, index))
        return false;
    if (IListItemUI *item = ItemOf(control)) {
        item->SetOwner(this);
        item->SetIndex(index);
    }
    int noExpanded = -1;
    ListItemOrder::Inserted(*this, index, m_curSel, noExpanded);
    LendItemsAgain();
    return true;
}

// An item leaves an open pop-up before it may be deleted.
bool CComboUI::Remove(CControlUI *control, bool doNotDelete)
{
    const int index = GetItemIndex(control);
    if (index < 0)
        return false;
    LendItemsAgain(control);
    if (!CContainerUI::Remove(control, doNotDelete))
        return false;
    int noExpanded = -1;
    ListItemOrder::Removed(*this, index, m_curSel, noExpanded, *this);
    return true;
}

bool CComboUI::RemoveAt(int index, bool doNotDelete)
{
    CControlUI *control = GetItemAt(index);
    return control != nullptr && Remove(control, doNotDelete);
}

void CComboUI::RemoveAll()
{
    m_curSel = -1;
    if (m_window != nullptr && m_window->GetBody() != nullptr)
        m_window->GetBody()->RemoveAll(); // it does not delete what it borrowed
    CContainerUI::RemoveAll();
}

bool CComboUI::SetItemIndex(CControlUI *control, int index)
{
    const int old = GetItemIndex(control);
    CControlUI *selected = GetItemAt(m_curSel);
    if (old < 0 || !CContainerUI::SetItemIndex(control, index))
        return false;
    int noExpanded = -1;
    ListItemOrder::Moved(*this, std::min(old, index), std::max(old, index) + 1, selected, nullptr,
                         m_curSel, noExpanded);
    LendItemsAgain();
    return true;
}

bool CComboUI::MoveItemRange(CControlUI *first, int count, int newIndex)
{
    const int old = GetItemIndex(first);
    CControlUI *selected = GetItemAt(m_curSel);
    if (!CContainerUI::MoveItemRange(first, count, newIndex))
        return false;
    int noExpanded = -1;
    ListItemOrder::Moved(*this, std::min(old, newIndex), std::max(old, newIndex) + count, selected,
                         nullptr, m_curSel, noExpanded);
    LendItemsAgain();
    return true;
}

// An open pop-up shows the items as they are now.
void CComboUI::LendItemsAgain(const CControlUI *leaving)
{
    if (m_window != nullptr)
        m_window->ShowItems(leaving);
}

// ---- Selection ----

bool CComboUI::SelectItem(int index, bool takeFocus, bool sendNotify)
{
    if (index == m_curSel)
        return true;
    const int previous = m_curSel;
    if (m_closeOnSelect && m_window != nullptr)
        m_window->Close(1);
    if (m_curSel >= 0) {
        IListItemUI *item = ItemAt(m_curSel);
        if (item == nullptr)
            return false;
        item->Select(false, sendNotify);
        m_curSel = -1;
    }
    const int count = GetCount();
    if (index < 0 || count == 0)
        return false;
    if (index >= count)
        index = count - 1;
    CControlUI *control = GetItemAt(index);
    IListItemUI *item = ItemOf(control);
    if (!control->IsVisible() || !control->IsEnabled() || item == nullptr)
        return false;
    m_curSel = index;
    if (m_window != nullptr || takeFocus)
        control->SetFocus();
    item->Select(true, sendNotify);
    if (sendNotify && m_manager != nullptr)
        m_manager->SendNotify(this, L"itemselect", static_cast<WPARAM>(m_curSel),
                              static_cast<LPARAM>(previous));
    Invalidate();
    return true;
}

} // namespace SkinUI
