#include "ActiveXWnd.h"

#include "ActiveXCtrl.h"
#include "ActiveXUI.h"
#include "WindowManagerUI.h"

namespace SkinUI {

const wchar_t *const CActiveXWnd::kWindowClassName = L"ActiveXWnd";

namespace {

const DWORD kChildStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
const UINT kRefreshPeriod = 50;
const int kTicksPerCaretPhase = 10;

} // namespace

CActiveXWnd::CActiveXWnd(CActiveXCtrl *site)
    : m_site(site), m_manager(nullptr), m_tickCount(0), m_caretShown(false)
{
}

CActiveXWnd::~CActiveXWnd()
{
    if (m_hWnd != nullptr && IsWindow(m_hWnd))
        DestroyWindow(m_hWnd);
}

HWND CActiveXWnd::Init(CWindowManagerUI *manager)
{
    if (manager == nullptr || manager->GetPaintWindow() == nullptr)
        return nullptr;
    m_manager = manager;
    return Create(manager->GetPaintWindow(), L"UIActiveX", kChildStyle, 0, RECT{0, 0, 0, 0});
}

const wchar_t *CActiveXWnd::GetWindowClassName() const
{
    return kWindowClassName;
}

bool CActiveXWnd::IsLayered() const
{
    return m_manager != nullptr && m_manager->IsLayered();
}

void CActiveXWnd::OnFinalMessage(HWND window)
{
    if (m_manager != nullptr)
        m_manager->RemoveNativeWindow(window);
}

void CActiveXWnd::DoVerb(LONG verb)
{
    CActiveXUI *owner = m_site->GetOwner();
    IOleObject *object = owner != nullptr ? owner->m_oleObject.Get() : nullptr;
    if (object == nullptr)
        return;
    CComReference<IOleClientSite> clientSite;
    m_site->QueryInterface(IID_IOleClientSite, clientSite.ReceiveVoid());
    RECT area = owner->GetPos();
    object->DoVerb(verb, nullptr, clientSite.Get(), 0, m_hWnd, &area);
}

LRESULT CActiveXWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate();
    case WM_TIMER:
        if (wParam != kRefreshTimerId)
            break;
        return OnTimer(wParam);
    case WM_PRINT:
        OnPrint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(m_hWnd, &paint);
        EndPaint(m_hWnd, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        if (m_site->GetViewObject() != nullptr)
            return 1;
        break;
    case WM_SETFOCUS:
        m_site->SetHasFocus(true);
        if (!m_site->IsUIActive())
            DoVerb(OLEIVERB_UIACTIVATE);
        break;
    case WM_KILLFOCUS:
        m_site->SetHasFocus(false);
        break;
    case WM_MOUSEACTIVATE:
        return OnMouseActivate(message, wParam, lParam);
    case WM_MOUSEWHEEL:
        return 0;
    default:
        break;
    }
    return CWindowWnd::HandleMessage(message, wParam, lParam);
}

LRESULT CActiveXWnd::OnCreate()
{
    CActiveXUI *owner = m_site->GetOwner();
    if (owner != nullptr)
        m_manager->AddNativeWindow(owner, m_hWnd);
    if (IsLayered())
        ::SetTimer(m_hWnd, kRefreshTimerId, kRefreshPeriod, nullptr);
    return 0;
}

// Registering again invalidates the window's area, which a layered window repaints from
// WM_PRINT.
LRESULT CActiveXWnd::OnTimer(WPARAM)
{
    if (!IsLayered())
        return 0;
    CActiveXUI *owner = m_site->GetOwner();
    if (owner != nullptr)
        m_manager->AddNativeWindow(owner, m_hWnd);
    if (++m_tickCount % kTicksPerCaretPhase == 0)
        m_caretShown = !m_caretShown;
    return 0;
}

void CActiveXWnd::OnPrint(HDC dc)
{
    IViewObject *view = m_site->GetViewObject();
    if (view == nullptr || dc == nullptr)
        return;
    RECT client;
    GetClientRect(m_hWnd, &client);
    const RECTL bounds = {client.left, client.top, client.right, client.bottom};
    view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0);
    if (m_caretShown)
        DrawCaret(dc);
}

// A layered window shows no system caret: the thread's caret is drawn as a one-pixel line
// when it lies in this window.
void CActiveXWnd::DrawCaret(HDC dc)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(0, &info) || info.hwndCaret == nullptr)
        return;
    if (info.hwndCaret != m_hWnd && !IsChild(m_hWnd, info.hwndCaret))
        return;
    RECT caret = info.rcCaret;
    MapWindowPoints(info.hwndCaret, m_hWnd, reinterpret_cast<POINT *>(&caret), 2);
    RECT client;
    GetClientRect(m_hWnd, &client);
    POINT top = {caret.left, caret.top};
    if (!PtInRect(&client, top))
        return;
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HGDIOBJ previous = SelectObject(dc, pen);
    MoveToEx(dc, caret.left, caret.top, nullptr);
    LineTo(dc, caret.left, caret.bottom);
    SelectObject(dc, previous);
    DeleteObject(pen);
}

LRESULT CActiveXWnd::OnMouseActivate(UINT message, WPARAM wParam, LPARAM lParam)
{
    CActiveXUI *owner = m_site->GetOwner();
    IOleObject *object = owner != nullptr ? owner->m_oleObject.Get() : nullptr;
    if (object == nullptr)
        return 0;
    DWORD status = 0;
    object->GetMiscStatus(DVASPECT_CONTENT, &status);
    if (status & OLEMISC_NOUIACTIVATE)
        return 0;
    if (!m_site->IsInPlaceActive())
        DoVerb(OLEIVERB_INPLACEACTIVATE);
    return CWindowWnd::HandleMessage(message, wParam, lParam);
}

} // namespace SkinUI
