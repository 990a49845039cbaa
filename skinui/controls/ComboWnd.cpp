#include "ComboWnd.h"

#include "ComboBodyUI.h"
#include "ComboUI.h"
#include "ListBodyUI.h"

#include <windowsx.h>

#include <algorithm>
#include <cwchar>

namespace SkinUI {

const wchar_t *const CComboWnd::kWindowClassName = L"ComboWnd";

namespace {

const DWORD kBodyBackground = 0xFFFFFFFF;
const DWORD kBodyBorder = 0xFFC6C7D2;

bool IsScrollBar(const CControlUI *control)
{
    return control != nullptr && wcscmp(control->GetClass(), L"ScrollBar") == 0;
}

RECT PrimaryWorkArea()
{
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    return monitor.rcWork;
}

void ToScreen(HWND window, RECT &rect)
{
    MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT *>(&rect), 2);
}

} // namespace

const wchar_t *CComboWnd::GetWindowClassName() const
{
    return kWindowClassName;
}

// As wide as the combo box or the drop-box width, as high as the visible items (plus the
// border) up to the drop-box height.
RECT CComboWnd::PlaceBelowOrAbove() const
{
    const RECT &face = m_combo->GetPos();
    const SIZE box = m_combo->GetDropBoxSize();
    RECT rect = {face.left, face.bottom, face.right, face.bottom};
    if (box.cx > 0)
        rect.right = rect.left + box.cx;
    const SIZE available = {rect.right - rect.left, box.cy};
    int height = 0;
    for (int i = 0; i < m_combo->GetCount(); ++i) {
        CControlUI *item = m_combo->GetItemAt(i);
        if (item->IsVisible())
            height += item->GetDesiredSize(available).cy;
    }
    height = std::min<int>(height + 4, box.cy);
    rect.bottom = rect.top + height;

    HWND owner = m_combo->GetManager()->GetPaintWindow();
    RECT below = rect;
    ToScreen(owner, below);
    if (below.bottom <= PrimaryWorkArea().bottom)
        return below;
    RECT above = {rect.left, face.top - height, rect.right, face.top};
    ToScreen(owner, above);
    return above;
}

void CComboWnd::Init(CComboUI *combo)
{
    m_combo = combo;
    m_oldSel = combo->GetCurSel();
    const RECT rect = PlaceBelowOrAbove();
    if (Create(combo->GetManager()->GetPaintWindow(), nullptr, WS_POPUP, WS_EX_TOOLWINDOW, rect) !=
        nullptr)
        ::ShowWindow(m_hWnd, SW_SHOW);
}

// The body is styled like a plain drop-down first, then by the skin's lists; the items are
// the combo box's, borrowed.
void CComboWnd::BuildBody()
{
    m_manager.Init(m_hWnd);
    // The borrowed items keep the images this manager loads for them after it is gone: they
    // go to the shared images.
    m_manager.SetAlwaysShareResources(true);
    m_body = new CComboBodyUI(m_combo);
    m_body->SetManager(&m_manager, nullptr, true);
    CWindowManagerUI *comboManager = m_combo->GetManager();
    if (const wchar_t *defaults = comboManager->GetDefaultAttributeList(L"VerticalLayout"))
        m_body->SetAttributeList(defaults);
    m_body->SetInset(RECT{1, 1, 1, 1});
    m_body->SetBkColor(kBodyBackground);
    m_body->SetBorderColor(kBodyBorder);
    m_body->SetBorderSize(1);
    m_body->SetDeleteChildrenOnRemove(false);
    m_body->EnableScrollBar(true, false);
    m_body->SetAttributeList(m_combo->GetDropBoxAttributeList().GetData());
    ShowItems();
    m_manager.AttachRootControl(m_body);
}

void CComboWnd::EnsureVisible(int index)
{
    if (m_combo->GetCurSel() < 0 || m_body == nullptr)
        return;
    if (CControlUI *item = m_body->GetItemAt(index))
        CListBodyUI::ScrollIntoView(*m_body, *item);
}

void CComboWnd::ShowItems(const CControlUI *leaving)
{
    if (m_body == nullptr || m_itemsHandedBack)
        return;
    m_body->RemoveAll();
    for (int i = 0; i < m_combo->GetCount(); ++i)
        if (m_combo->GetItemAt(i) != leaving)
            m_body->Add(m_combo->GetItemAt(i));
}

CControlUI *CComboWnd::ControlAt(LPARAM lParam) const
{
    return m_manager.FindControlAtPoint(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
}

// Focus that moves to the pop-up or into a window of its own keeps it open.
bool CComboWnd::HandleKillFocus(HWND gaining)
{
    if (gaining == m_hWnd)
        return false;
    HWND focus = ::GetFocus();
    for (HWND window = focus != nullptr ? ::GetParent(focus) : nullptr; window != nullptr;
         window = ::GetParent(window))
        if (window == m_hWnd)
            return false;
    PostMessage(WM_CLOSE);
    return false;
}

// True when the key was handled as a selection key.
bool CComboWnd::HandleKeyDown(WPARAM key)
{
    if (key == VK_RETURN) {
        PostMessage(WM_KILLFOCUS);
        return false;
    }
    if (key == VK_ESCAPE) {
        m_combo->SelectItem(m_oldSel, true, true);
        EnsureVisible(m_oldSel);
        PostMessage(WM_KILLFOCUS);
        return false;
    }
    ControlEvent event;
    event.type = EventKeyDown;
    event.key = static_cast<wchar_t>(key);
    event.timestamp = GetTickCount();
    m_combo->DoEvent(event);
    EnsureVisible(m_combo->GetCurSel());
    return true;
}

void CComboWnd::HandBackItems()
{
    if (m_itemsHandedBack)
        return;
    m_itemsHandedBack = true;
    if (m_body != nullptr)
        m_body->RemoveAll();
    m_combo->SetManager(m_combo->GetManager(), m_combo->GetParent(), false);
    m_combo->SetPos(m_combo->IsFloat() ? m_combo->GetRelativePos() : m_combo->GetPos());
}

void CComboWnd::HandleClose()
{
    HandBackItems();
    m_combo->SetFocus();
}

LRESULT CComboWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        BuildBody();
        return 0;
    case WM_KILLFOCUS:
        HandleKillFocus(reinterpret_cast<HWND>(wParam));
        break;
    case WM_KEYDOWN:
        if (HandleKeyDown(wParam))
            return 0;
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (IsScrollBar(ControlAt(lParam)))
            m_scrollBarPressed = true;
        break;
    case WM_LBUTTONUP:
        if (m_scrollBarPressed) {
            m_scrollBarPressed = false;
        } else {
            CControlUI *control = ControlAt(lParam);
            if (control != nullptr && !IsScrollBar(control))
                PostMessage(WM_KILLFOCUS);
        }
        break;
    case WM_MOUSEWHEEL: {
        ControlEvent event;
        event.type = EventScrollWheel;
        event.wParam = GET_WHEEL_DELTA_WPARAM(wParam) < 0 ? 1 : 0;
        event.lParam = lParam;
        event.timestamp = GetTickCount();
        m_combo->DoEvent(event);
        EnsureVisible(m_combo->GetCurSel());
        return 0;
    }
    case WM_CLOSE:
        HandleClose();
        break;
    default:
        break;
    }
    LRESULT result = 0;
    if (m_manager.MessageHandler(message, wParam, lParam, result))
        return result;
    return CWindowWnd::HandleMessage(message, wParam, lParam);
}

// The window is gone, with or without a WM_CLOSE before (its owner may have been
// destroyed): the items go back, then the pop-up and its manager go.
void CComboWnd::OnFinalMessage(HWND)
{
    HandBackItems();
    m_combo->DropDownEnded();
    delete this;
}

} // namespace SkinUI
