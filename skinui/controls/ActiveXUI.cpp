#include "ActiveXUI.h"

#include "ActiveXCtrl.h"
#include "ValueText.h"
#include "WindowManagerUI.h"
#include "WindowMessageRanges.h"

#include <windowsx.h>

#include <cwchar>

namespace SkinUI {

const wchar_t *const CActiveXUI::kClassName = L"ActiveX";

namespace {

typedef HRESULT(STDAPICALLTYPE *DllGetClassObjectProc)(REFCLSID, REFIID, void **);

const size_t kClassTextLimit = 99;

} // namespace

CActiveXUI::CActiveXUI()
    : m_clsid(GUID_NULL), m_created(false), m_delayCreate(true), m_site(nullptr),
      m_hostWindow(nullptr), m_filterRegistered(false), m_comInitialised(false)
{
    m_comInitialised = SUCCEEDED(CoInitialize(nullptr));
}

CActiveXUI::~CActiveXUI()
{
    CActiveXUI::ReleaseControl();
    if (m_comInitialised)
        CoUninitialize();
}

const wchar_t *CActiveXUI::GetClass() const
{
    return kClassName;
}

void *CActiveXUI::GetInterface(const wchar_t *name)
{
    if (name != nullptr && wcscmp(name, kClassName) == 0)
        return this;
    return CControlUI::GetInterface(name);
}

UINT CActiveXUI::GetBehaviorFlags() const
{
    return BehaviorTabStop;
}

HWND CActiveXUI::GetNativeWindow() const
{
    return m_hostWindow;
}

bool CActiveXUI::IsWindowless() const
{
    return m_site != nullptr && m_site->IsWindowless();
}

HRESULT CActiveXUI::GetControl(REFIID iid, void **object) const
{
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (!m_oleObject)
        return E_PENDING;
    return m_oleObject->QueryInterface(iid, object);
}

// ---- Creation ----

bool CActiveXUI::CreateControl(const wchar_t *classText)
{
    if (classText == nullptr)
        return false;
    wchar_t text[kClassTextLimit + 1] = {};
    wcsncpy(text, classText, kClassTextLimit);
    CLSID clsid = GUID_NULL;
    const HRESULT parsed =
        text[0] == L'{' ? CLSIDFromString(text, &clsid) : CLSIDFromProgID(text, &clsid);
    if (FAILED(parsed))
        return false;
    return CreateControl(clsid);
}

bool CActiveXUI::CreateControl(const CLSID &clsid)
{
    if (clsid == GUID_NULL)
        return false;
    m_created = false;
    m_clsid = clsid;
    if (!m_delayCreate)
        DoCreateControl();
    return true;
}

void CActiveXUI::SetDelayCreate(bool delayCreate)
{
    if (m_delayCreate == delayCreate)
        return;
    if (!delayCreate && !m_created && m_clsid != GUID_NULL)
        DoCreateControl();
    m_delayCreate = delayCreate;
}

bool CActiveXUI::CreateFromModule(IUnknown **object) const
{
    HMODULE module = LoadLibraryW(m_moduleName.GetData());
    if (module == nullptr)
        return false;
    auto getClassObject = reinterpret_cast<DllGetClassObjectProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, "DllGetClassObject")));
    if (getClassObject == nullptr)
        return false;
    CComReference<IClassFactory> factory;
    if (FAILED(getClassObject(m_clsid, IID_IClassFactory, factory.ReceiveVoid())) || !factory)
        return false;
    return SUCCEEDED(factory->CreateInstance(nullptr, IID_IOleObject,
                                             reinterpret_cast<void **>(object))) &&
           *object != nullptr;
}

// A module that cannot make the class leaves the registry to try.
bool CActiveXUI::CreateObject(IUnknown **object) const
{
    *object = nullptr;
    if (!m_moduleName.IsEmpty() && CreateFromModule(object))
        return true;
    *object = nullptr;
    return SUCCEEDED(CoCreateInstance(m_clsid, nullptr, CLSCTX_ALL, IID_IOleControl,
                                      reinterpret_cast<void **>(object))) &&
           *object != nullptr;
}

bool CActiveXUI::DoCreateControl()
{
    ReleaseControl();
    m_created = true;

    CComReference<IUnknown> created;
    if (!CreateObject(created.Receive()))
        return false;
    if (FAILED(m_oleObject.QueryFrom(created.Get(), IID_IOleObject)) || !m_oleObject)
        return false;
    created.Reset();

    m_site = new CActiveXCtrl(this);
    DWORD status = 0;
    m_oleObject->GetMiscStatus(DVASPECT_CONTENT, &status);
    CComReference<IOleClientSite> clientSite;
    m_site->QueryInterface(IID_IOleClientSite, clientSite.ReceiveVoid());

    HRESULT result = S_OK;
    if (status & OLEMISC_SETCLIENTSITEFIRST)
        m_oleObject->SetClientSite(clientSite.Get());
    CComReference<IPersistStreamInit> persist;
    if (SUCCEEDED(persist.QueryFrom(m_oleObject.Get(), IID_IPersistStreamInit)) && persist)
        result = persist->InitNew();
    if (FAILED(result))
        return false;

    if (!(status & OLEMISC_SETCLIENTSITEFIRST))
        m_oleObject->SetClientSite(clientSite.Get());
    IViewObject *view = nullptr;
    result = m_oleObject->QueryInterface(IID_IViewObjectEx, reinterpret_cast<void **>(&view));
    if (FAILED(result))
        result = m_oleObject->QueryInterface(IID_IViewObject2, reinterpret_cast<void **>(&view));
    if (FAILED(result))
        result = m_oleObject->QueryInterface(IID_IViewObject, reinterpret_cast<void **>(&view));
    m_site->SetViewObject(SUCCEEDED(result) ? view : nullptr);
    m_oleObject->SetHostNames(L"UIActiveX", nullptr);
    if (m_manager != nullptr)
        m_manager->SendNotify(this, L"showactivex", 0, 0, false);
    if (!m_oleObject)
        return false; // a listener released the object
    if (!(status & OLEMISC_INVISIBLEATRUNTIME)) {
        HWND window = m_manager != nullptr ? m_manager->GetPaintWindow() : nullptr;
        result = m_oleObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, clientSite.Get(), 0, window,
                                     &m_itemRect);
    }
    CComReference<IObjectWithSite> withSite;
    if (m_oleObject && SUCCEEDED(withSite.QueryFrom(m_oleObject.Get(), IID_IObjectWithSite)) &&
        withSite)
        withSite->SetSite(clientSite.Get());
    return SUCCEEDED(result);
}

void CActiveXUI::ReleaseControl()
{
    m_hostWindow = nullptr;
    if (m_oleObject) {
        CComReference<IObjectWithSite> withSite;
        if (SUCCEEDED(withSite.QueryFrom(m_oleObject.Get(), IID_IObjectWithSite)) && withSite)
            withSite->SetSite(nullptr);
        withSite.Reset();
        m_oleObject->Close(OLECLOSE_NOSAVE);
        m_oleObject->SetClientSite(nullptr);
        m_oleObject.Reset();
    }
    if (m_site != nullptr) {
        CActiveXCtrl *site = m_site;
        m_site = nullptr;
        site->ClearOwner();
        site->Release();
    }
    RemoveMessageFilter();
}

void CActiveXUI::AddMessageFilter()
{
    if (m_filterRegistered || m_manager == nullptr)
        return;
    m_filterRegistered = m_manager->AddMessageFilter(this);
}

void CActiveXUI::RemoveMessageFilter()
{
    if (!m_filterRegistered)
        return;
    m_filterRegistered = false;
    if (m_manager != nullptr)
        m_manager->RemoveMessageFilter(this);
}

// A windowless object takes the messages of the window the control goes to.
void CActiveXUI::SetManager(CWindowManagerUI *manager, CControlUI *parent, bool initialise)
{
    const bool filtering = m_filterRegistered && IsMovingTo(manager);
    if (filtering)
        RemoveMessageFilter();
    CControlUI::SetManager(manager, parent, initialise);
    if (filtering)
        AddMessageFilter();
}

// ---- Geometry and visibility ----

void CActiveXUI::SetPos(RECT rect, bool invalidate)
{
    CControlUI::SetPos(rect, invalidate);
    if (!m_created)
        DoCreateControl();
    if (!m_oleObject || m_site == nullptr)
        return;

    HDC screen = ::GetDC(nullptr);
    SIZEL extent = {
        MulDiv(m_itemRect.right - m_itemRect.left, 2540, GetDeviceCaps(screen, LOGPIXELSX)),
        MulDiv(m_itemRect.bottom - m_itemRect.top, 2540, GetDeviceCaps(screen, LOGPIXELSY))};
    ::ReleaseDC(nullptr, screen);
    m_oleObject->SetExtent(DVASPECT_CONTENT, &extent);

    const bool windowless = m_site->IsWindowless();
    if (IOleInPlaceObject *inPlace = m_site->GetInPlaceObject()) {
        RECT objectRect = m_itemRect;
        if (!windowless)
            OffsetRect(&objectRect, -objectRect.left, -objectRect.top);
        inPlace->SetObjectRects(&objectRect, &objectRect);
    }
    if (!windowless && m_site->GetChildWindow() != nullptr)
        MoveWindow(m_site->GetChildWindow(), m_itemRect.left, m_itemRect.top,
                   m_itemRect.right - m_itemRect.left, m_itemRect.bottom - m_itemRect.top, TRUE);
}

void CActiveXUI::Move(int dx, int dy, bool invalidate)
{
    CControlUI::Move(dx, dy, invalidate);
    if (m_site != nullptr && !m_site->IsWindowless() && m_site->GetChildWindow() != nullptr)
        MoveWindow(m_site->GetChildWindow(), m_itemRect.left, m_itemRect.top,
                   m_itemRect.right - m_itemRect.left, m_itemRect.bottom - m_itemRect.top, TRUE);
}

void CActiveXUI::SetVisible(bool visible)
{
    CControlUI::SetVisible(visible);
    if (m_hostWindow != nullptr && !IsWindowless())
        ::ShowWindow(m_hostWindow, IsVisible() ? SW_SHOW : SW_HIDE);
}

void CActiveXUI::SetInheritedVisible(bool visible)
{
    CControlUI::SetInheritedVisible(visible);
    if (m_hostWindow != nullptr && !IsWindowless())
        ::ShowWindow(m_hostWindow, IsVisible() ? SW_SHOW : SW_HIDE);
}

// ---- Attributes and painting ----

void CActiveXUI::SetAttribute(const wchar_t *name, const wchar_t *value)
{
    if (name == nullptr || value == nullptr)
        return;
    if (wcscmp(name, L"clsid") == 0)
        CreateControl(value);
    else if (wcscmp(name, L"modulename") == 0)
        SetModuleName(value);
    else if (wcscmp(name, L"delaycreate") == 0)
        SetDelayCreate(ValueText::IsTrue(value));
    else
        CControlUI::SetAttribute(name, value);
}

bool CActiveXUI::DoPaint(HDC dc, const RECT &, CControlUI *)
{
    if (IsWindowless() && m_site->GetViewObject() != nullptr) {
        const RECTL bounds = {m_itemRect.left, m_itemRect.top, m_itemRect.right, m_itemRect.bottom};
        m_site->GetViewObject()->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds,
                                      &bounds, nullptr, 0);
    }
    return true;
}

// ---- Window messages of a windowless object ----

// Client coordinates of the mouse: the cursor position for WM_SETCURSOR (whose lParam holds
// no point), the screen point of a wheel message converted.
POINT CActiveXUI::MessagePoint(UINT message, LPARAM lParam) const
{
    POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (message == WM_SETCURSOR)
        GetCursorPos(&point);
    if ((message == WM_SETCURSOR || message == WM_MOUSEWHEEL) && m_manager != nullptr)
        ScreenToClient(m_manager->GetPaintWindow(), &point);
    return point;
}

bool CActiveXUI::IsHit(UINT message, LPARAM lParam) const
{
    if (m_site->IsCaptured())
        return true;
    CComReference<IViewObjectEx> view;
    if (FAILED(view.QueryFrom(m_site->GetViewObject(), IID_IViewObjectEx)) || !view)
        return false;
    DWORD hit = HITRESULT_OUTSIDE;
    view->QueryHitPoint(DVASPECT_CONTENT, &m_itemRect, MessagePoint(message, lParam), 0, &hit);
    return hit == HITRESULT_HIT;
}

void CActiveXUI::FocusForClick()
{
    if (m_manager != nullptr && !m_manager->IsNoActivate())
        ::SetFocus(m_manager->GetPaintWindow());
    SetFocus();
}

LRESULT CActiveXUI::MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool &handled)
{
    if (m_site == nullptr || !m_site->IsInPlaceActive() || !m_site->IsWindowless())
        return 0;
    auto *windowless = static_cast<IOleInPlaceObjectWindowless *>(m_site->GetInPlaceObject());
    if (windowless == nullptr)
        return 0;
    const bool mouse = IsMouseMessage(message);
    if (mouse && !IsMouseEnabled())
        return 0;

    bool handles = false;
    if (IsKeyMessage(message)) {
        if (!IsFocused())
            return 0;
        handles = true;
    } else if (message == WM_HELP || message == WM_CONTEXTMENU) {
        handles = false;
    } else if (!mouse && message != WM_SETCURSOR) {
        return 0;
    } else {
        if (!IsHit(message, lParam))
            return 0;
        if (message != WM_SETCURSOR) {
            if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK ||
                message == WM_RBUTTONDOWN)
                FocusForClick();
            handles = true;
        }
    }
    LRESULT result = 0;
    if (windowless->OnWindowMessage(message, wParam, lParam, &result) == S_OK)
        handled = handles;
    return result;
}

} // namespace SkinUI
