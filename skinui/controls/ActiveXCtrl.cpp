#include "ActiveXCtrl.h"

#include "ActiveXEnum.h"
#include "ActiveXFrameWnd.h"
#include "ActiveXUI.h"
#include "ActiveXWnd.h"
#include "WindowManagerUI.h"

namespace SkinUI {

namespace {

RECTL ToRectL(const RECT &rect)
{
    return RECTL{rect.left, rect.top, rect.right, rect.bottom};
}

} // namespace

CActiveXCtrl::CActiveXCtrl(CActiveXUI *owner)
    : m_refCount(1), m_owner(owner), m_window(nullptr), m_containerLocked(false), m_hasFocus(false),
      m_captured(false), m_uiActive(false), m_inPlaceActive(false), m_windowless(true),
      m_accelerators(nullptr)
{
}

CActiveXCtrl::~CActiveXCtrl()
{
    DestroyChildWindow();
    m_outerSite.Reset();
    m_viewObject.Reset();
    m_inPlaceObject.Reset();
    if (m_accelerators != nullptr)
        DestroyAcceleratorTable(m_accelerators);
}

IOleObject *CActiveXCtrl::Object() const
{
    return m_owner != nullptr ? m_owner->m_oleObject.Get() : nullptr;
}

HWND CActiveXCtrl::GetChildWindow() const
{
    return m_window != nullptr ? m_window->GetHWND() : nullptr;
}

// The object's rectangle in the window it draws in: the item rectangle in the manager's
// window, or the child window's area from its origin.
RECT CActiveXCtrl::ObjectRect() const
{
    RECT rect = m_owner->GetPos();
    if (!m_windowless)
        OffsetRect(&rect, -rect.left, -rect.top);
    return rect;
}

HRESULT CActiveXCtrl::CreateChildWindow()
{
    if (m_window == nullptr) {
        m_window = new CActiveXWnd(this);
        if (m_window->Init(m_owner->GetManager()) == nullptr) {
            delete m_window;
            m_window = nullptr;
            return E_FAIL;
        }
    }
    m_owner->m_hostWindow = m_window->GetHWND();
    return S_OK;
}

void CActiveXCtrl::DestroyChildWindow()
{
    if (m_window == nullptr)
        return;
    CActiveXWnd *window = m_window;
    m_window = nullptr;
    if (m_owner != nullptr && m_owner->m_hostWindow == window->GetHWND())
        m_owner->m_hostWindow = nullptr;
    delete window;
}

HACCEL CActiveXCtrl::FrameAccelerators()
{
    if (m_accelerators == nullptr) {
        ACCEL empty = {0, 0, 0};
        m_accelerators = CreateAcceleratorTableW(&empty, 1);
    }
    return m_accelerators;
}

// ---- IUnknown ----

STDMETHODIMP CActiveXCtrl::QueryInterface(REFIID iid, void **object)
{
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleWindow || iid == IID_IOleInPlaceSite ||
        iid == IID_IOleInPlaceSiteEx || iid == IID_IOleInPlaceSiteWindowless)
        *object = static_cast<IOleInPlaceSiteWindowless *>(this);
    else if (iid == IID_IOleClientSite)
        *object = static_cast<IOleClientSite *>(this);
    else if (iid == IID_IOleControlSite)
        *object = static_cast<IOleControlSite *>(this);
    else if (iid == IID_IOleContainer)
        *object = static_cast<IOleContainer *>(this);
    else if (iid == IID_IObjectWithSite)
        *object = static_cast<IObjectWithSite *>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CActiveXCtrl::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_refCount));
}

STDMETHODIMP_(ULONG) CActiveXCtrl::Release()
{
    const LONG count = InterlockedDecrement(&m_refCount);
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

// ---- IOleClientSite ----

STDMETHODIMP CActiveXCtrl::SaveObject()
{
    return E_NOTIMPL;
}

STDMETHODIMP CActiveXCtrl::GetMoniker(DWORD, DWORD, IMoniker **moniker)
{
    if (moniker != nullptr)
        *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CActiveXCtrl::GetContainer(IOleContainer **container)
{
    if (container == nullptr)
        return E_POINTER;
    *container = nullptr;
    if (m_outerSite &&
        SUCCEEDED(
            m_outerSite->QueryInterface(IID_IOleContainer, reinterpret_cast<void **>(container))) &&
        *container != nullptr)
        return S_OK;
    return QueryInterface(IID_IOleContainer, reinterpret_cast<void **>(container));
}

STDMETHODIMP CActiveXCtrl::ShowObject()
{
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    HWND window = m_owner->m_hostWindow;
    HDC dc = window != nullptr ? ::GetDC(window) : nullptr;
    if (dc == nullptr)
        return E_FAIL;
    if (m_viewObject) {
        const RECTL bounds = ToRectL(m_owner->GetPos());
        m_viewObject->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, &bounds,
                           nullptr, 0);
    }
    ::ReleaseDC(window, dc);
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::OnShowWindow(BOOL)
{
    return E_NOTIMPL;
}

STDMETHODIMP CActiveXCtrl::RequestNewObjectLayout()
{
    return E_NOTIMPL;
}

// ---- IOleWindow and the in-place sites ----

STDMETHODIMP CActiveXCtrl::GetWindow(HWND *window)
{
    if (window == nullptr)
        return E_POINTER;
    *window = nullptr;
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    if (m_owner->m_hostWindow == nullptr && m_owner->GetManager() != nullptr)
        CreateChildWindow();
    *window = m_owner->m_hostWindow;
    return *window != nullptr ? S_OK : E_FAIL;
}

STDMETHODIMP CActiveXCtrl::ContextSensitiveHelp(BOOL)
{
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::CanInPlaceActivate()
{
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::OnInPlaceActivate()
{
    BOOL noRedraw = FALSE;
    return OnInPlaceActivateEx(&noRedraw, 0);
}

STDMETHODIMP CActiveXCtrl::OnUIActivate()
{
    m_uiActive = true;
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetWindowContext(IOleInPlaceFrame **frame,
                                            IOleInPlaceUIWindow **document, LPRECT position,
                                            LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo)
{
    if (frame == nullptr || document == nullptr || position == nullptr || clip == nullptr ||
        frameInfo == nullptr)
        return E_POINTER;
    *frame = nullptr;
    *document = nullptr;
    if (m_owner == nullptr || m_owner->GetManager() == nullptr)
        return E_UNEXPECTED;
    HWND frameWindow = m_owner->GetManager()->GetPaintWindow();
    *frame = new CActiveXFrameWnd(frameWindow);
    // A windowless object sits at the item rectangle of the manager's window.
    RECT area = m_owner->GetPos();
    if (m_window != nullptr)
        ::GetClientRect(m_window->GetHWND(), &area);
    *position = area;
    *clip = area;
    frameInfo->cb = sizeof(OLEINPLACEFRAMEINFO);
    frameInfo->fMDIApp = FALSE;
    frameInfo->hwndFrame = frameWindow;
    frameInfo->haccel = FrameAccelerators();
    frameInfo->cAccelEntries = 1;
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::Scroll(SIZE)
{
    return E_NOTIMPL;
}

STDMETHODIMP CActiveXCtrl::OnUIDeactivate(BOOL)
{
    m_uiActive = false;
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::OnInPlaceDeactivate()
{
    return OnInPlaceDeactivateEx(TRUE);
}

STDMETHODIMP CActiveXCtrl::DiscardUndoState()
{
    return E_NOTIMPL;
}

STDMETHODIMP CActiveXCtrl::DeactivateAndUndo()
{
    return E_NOTIMPL;
}

STDMETHODIMP CActiveXCtrl::OnPosRectChange(LPCRECT)
{
    return E_NOTIMPL;
}

STDMETHODIMP CActiveXCtrl::OnInPlaceActivateEx(BOOL *, DWORD flags)
{
    IOleObject *object = Object();
    if (object == nullptr || m_owner->GetManager() == nullptr)
        return E_UNEXPECTED;
    OleLockRunning(object, TRUE, FALSE);
    HRESULT result = E_FAIL;
    if (flags & ACTIVATE_WINDOWLESS) {
        m_windowless = true;
        result = m_inPlaceObject.QueryFrom(object, IID_IOleInPlaceObjectWindowless);
        if (SUCCEEDED(result)) {
            m_owner->m_hostWindow = m_owner->GetManager()->GetPaintWindow();
            m_owner->AddMessageFilter();
        }
    }
    if (FAILED(result)) {
        m_windowless = false;
        m_owner->RemoveMessageFilter();
        result = CreateChildWindow();
        if (FAILED(result))
            return result;
        result = m_inPlaceObject.QueryFrom(object, IID_IOleInPlaceObject);
    }
    if (m_inPlaceObject) {
        const RECT rect = ObjectRect();
        m_inPlaceObject->SetObjectRects(&rect, &rect);
    }
    m_inPlaceActive = SUCCEEDED(result);
    return result;
}

STDMETHODIMP CActiveXCtrl::OnInPlaceDeactivateEx(BOOL)
{
    m_inPlaceActive = false;
    m_inPlaceObject.Reset();
    if (m_owner != nullptr)
        m_owner->RemoveMessageFilter();
    DestroyChildWindow();
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::RequestUIActivate()
{
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::CanWindowlessActivate()
{
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetCapture()
{
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    return m_captured ? S_OK : S_FALSE;
}

STDMETHODIMP CActiveXCtrl::SetCapture(BOOL capture)
{
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    m_captured = capture == TRUE;
    if (m_captured)
        ::SetCapture(m_owner->m_hostWindow);
    else
        ::ReleaseCapture();
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetFocus()
{
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    return m_hasFocus ? S_OK : S_FALSE;
}

STDMETHODIMP CActiveXCtrl::SetFocus(BOOL focus)
{
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    if (focus)
        m_owner->SetFocus();
    m_hasFocus = focus == TRUE;
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetDC(LPCRECT, DWORD flags, HDC *dc)
{
    if (dc == nullptr)
        return E_POINTER;
    *dc = nullptr;
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    if (m_windowless)
        return S_FALSE;
    if (m_owner->m_hostWindow != nullptr)
        *dc = ::GetDC(m_owner->m_hostWindow);
    if (*dc == nullptr)
        return E_FAIL;
    if (flags & OLEDC_PAINTBKGND) {
        RECT area = m_owner->GetPos();
        OffsetRect(&area, -area.left, -area.top);
        ::FillRect(*dc, &area, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    }
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::ReleaseDC(HDC dc)
{
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    return ::ReleaseDC(m_owner->m_hostWindow, dc) ? S_OK : E_FAIL;
}

STDMETHODIMP CActiveXCtrl::InvalidateRect(LPCRECT rect, BOOL erase)
{
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    if (m_owner->m_hostWindow == nullptr)
        return E_FAIL;
    return ::InvalidateRect(m_owner->m_hostWindow, rect, erase) ? S_OK : E_FAIL;
}

STDMETHODIMP CActiveXCtrl::InvalidateRgn(HRGN region, BOOL erase)
{
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    if (m_owner->m_hostWindow == nullptr)
        return E_FAIL;
    return ::InvalidateRgn(m_owner->m_hostWindow, region, erase) ? S_OK : E_FAIL;
}

STDMETHODIMP CActiveXCtrl::ScrollRect(INT, INT, LPCRECT, LPCRECT)
{
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::AdjustRect(LPRECT)
{
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::OnDefWindowMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                              LRESULT *result)
{
    if (result == nullptr)
        return E_POINTER;
    if (m_owner == nullptr)
        return E_UNEXPECTED;
    *result = ::DefWindowProcW(m_owner->m_hostWindow, message, wParam, lParam);
    return S_OK;
}

// ---- IOleControlSite ----

STDMETHODIMP CActiveXCtrl::OnControlInfoChanged()
{
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::LockInPlaceActive(BOOL)
{
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetExtendedControl(IDispatch **control)
{
    if (control == nullptr)
        return E_POINTER;
    *control = nullptr;
    IOleObject *object = Object();
    if (object == nullptr)
        return E_UNEXPECTED;
    return object->QueryInterface(IID_IDispatch, reinterpret_cast<void **>(control));
}

STDMETHODIMP CActiveXCtrl::TransformCoords(POINTL *, POINTF *, DWORD)
{
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::TranslateAccelerator(MSG *, DWORD)
{
    return S_FALSE;
}

STDMETHODIMP CActiveXCtrl::OnFocus(BOOL gotFocus)
{
    m_hasFocus = gotFocus == TRUE;
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::ShowPropertyFrame()
{
    return E_NOTIMPL;
}

// ---- IObjectWithSite ----

STDMETHODIMP CActiveXCtrl::SetSite(IUnknown *site)
{
    if (site != nullptr)
        site->AddRef();
    m_outerSite.Reset(site);
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetSite(REFIID iid, void **site)
{
    if (site == nullptr)
        return E_POINTER;
    *site = nullptr;
    if (!m_outerSite)
        return E_FAIL;
    return m_outerSite->QueryInterface(iid, site);
}

// ---- IOleContainer ----

STDMETHODIMP CActiveXCtrl::ParseDisplayName(IBindCtx *, LPOLESTR, ULONG *, IMoniker **)
{
    return E_NOTIMPL;
}

STDMETHODIMP CActiveXCtrl::EnumObjects(DWORD, IEnumUnknown **enumerator)
{
    if (enumerator == nullptr)
        return E_POINTER;
    *enumerator = nullptr;
    IOleObject *object = Object();
    if (object == nullptr)
        return E_UNEXPECTED;
    *enumerator = new CActiveXEnum(object);
    return S_OK;
}

STDMETHODIMP CActiveXCtrl::LockContainer(BOOL lock)
{
    m_containerLocked = lock != FALSE;
    return S_OK;
}

} // namespace SkinUI
