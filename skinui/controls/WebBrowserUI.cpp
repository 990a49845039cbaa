#include "WebBrowserUI.h"

#include "ValueText.h"
#include "WindowManagerUI.h"
#include "WindowMessageRanges.h"

#include <exdispid.h>
#include <mshtml.h>

#include <cwchar>

namespace SkinUI {

const wchar_t *const CWebBrowserUI::kClassName = L"WebBrowser";
const CLSID CWebBrowserUI::kBrowserClassId = {
    0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};

namespace {

// Not in the import libraries: the document's command group and the custom-document
// interface through which a host installs its UI handler.
const GUID kDocHostCommandHandler = {
    0xF38BC242, 0xB950, 0x11D1, {0x89, 0x18, 0x00, 0xC0, 0x4F, 0xC2, 0xC8, 0x36}};
const IID kIidCustomDoc = {
    0x3050F3F0, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};

const LCID kPropertyLocale = 0x800;
const wchar_t *const kScriptErrorProperties[] = {L"errorLine", L"errorCharacter", L"errorCode",
                                                 L"errorMessage", L"errorUrl"};

HRESULT ReadProperty(IDispatch *object, const wchar_t *name)
{
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    HRESULT result = object->GetIDsOfNames(IID_NULL, names, 1, kPropertyLocale, &id);
    if (FAILED(result))
        return result;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    VARIANT value;
    VariantInit(&value);
    result = object->Invoke(id, IID_NULL, kPropertyLocale, DISPATCH_PROPERTYGET, &none, &value,
                            nullptr, nullptr);
    VariantClear(&value);
    return result;
}

bool IsDocumentArgument(const VARIANT *in)
{
    return in != nullptr && (V_VT(in) == VT_UNKNOWN || V_VT(in) == VT_DISPATCH) &&
           V_UNKNOWN(in) != nullptr;
}

bool SameObject(IUnknown *a, IUnknown *b)
{
    CComReference<IUnknown> first;
    CComReference<IUnknown> second;
    if (FAILED(first.QueryFrom(a, IID_IUnknown)) || FAILED(second.QueryFrom(b, IID_IUnknown)))
        return false;
    return first.Get() == second.Get();
}

} // namespace

CWebBrowserUI::CWebBrowserUI()
    : m_refCount(0), m_sinkCookie(0), m_autoNavigate(false), m_acceleratorRegistered(false)
{
    m_clsid = kBrowserClassId;
}

CWebBrowserUI::~CWebBrowserUI()
{
    m_created = false;
    Disconnect();
}

const wchar_t *CWebBrowserUI::GetClass() const
{
    return kClassName;
}

void *CWebBrowserUI::GetInterface(const wchar_t *name)
{
    if (name != nullptr && wcscmp(name, kClassName) == 0)
        return this;
    return CActiveXUI::GetInterface(name);
}

// The window the browser goes to translates its accelerators from then on.
void CWebBrowserUI::SetManager(CWindowManagerUI *manager, CControlUI *parent, bool initialise)
{
    const bool translating = m_acceleratorRegistered && IsMovingTo(manager);
    if (translating)
        m_manager->RemoveTranslateAccelerator(this);
    CActiveXUI::SetManager(manager, parent, initialise);
    if (translating)
        m_acceleratorRegistered = m_manager->AddTranslateAccelerator(this);
}

void CWebBrowserUI::SetAttribute(const wchar_t *name, const wchar_t *value)
{
    if (name == nullptr || value == nullptr)
        return;
    if (wcscmp(name, L"homepage") == 0)
        SetHomePage(value);
    else if (wcscmp(name, L"autonavi") == 0)
        SetAutoNavigate(ValueText::IsTrue(value));
    else
        CActiveXUI::SetAttribute(name, value);
}

// ---- Creation and release ----

bool CWebBrowserUI::DoCreateControl()
{
    if (!CActiveXUI::DoCreateControl())
        return false;
    if (m_manager != nullptr && !m_acceleratorRegistered)
        m_acceleratorRegistered = m_manager->AddTranslateAccelerator(this);
    GetControl(IID_IWebBrowser2, m_browser.ReceiveVoid());
    if (m_autoNavigate && !m_homePage.IsEmpty())
        Navigate(m_homePage.GetData());
    AdviseEventSink(true);
    return true;
}

// The browser interface and the event sink go first; the host then closes and releases the
// object and its site, so a re-created browser starts clean.
void CWebBrowserUI::ReleaseControl()
{
    m_created = false;
    Disconnect();
    CActiveXUI::ReleaseControl();
}

void CWebBrowserUI::Disconnect()
{
    if (m_acceleratorRegistered && m_manager != nullptr)
        m_manager->RemoveTranslateAccelerator(this);
    m_acceleratorRegistered = false;
    AdviseEventSink(false);
    m_browser.Reset();
}

void CWebBrowserUI::AdviseEventSink(bool advise)
{
    if (!m_browser || (!advise && m_sinkCookie == 0))
        return;
    CComReference<IConnectionPointContainer> container;
    if (FAILED(container.QueryFrom(m_browser.Get(), IID_IConnectionPointContainer)) || !container)
        return;
    CComReference<IConnectionPoint> point;
    if (FAILED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.Receive())) || !point)
        return;
    if (advise) {
        DWORD cookie = 0;
        if (SUCCEEDED(point->Advise(static_cast<IDispatch *>(this), &cookie)))
            m_sinkCookie = cookie;
    } else {
        point->Unadvise(m_sinkCookie);
        m_sinkCookie = 0;
    }
}

void CWebBrowserUI::Navigate(const wchar_t *url)
{
    if (url == nullptr || *url == L'\0' || !m_browser)
        return;
    VARIANT target;
    VariantInit(&target);
    V_VT(&target) = VT_BSTR;
    V_BSTR(&target) = SysAllocString(url);
    if (V_BSTR(&target) != nullptr)
        m_browser->Navigate2(&target, nullptr, nullptr, nullptr, nullptr);
    VariantClear(&target);
}

HRESULT CWebBrowserUI::HandleBrowserEvent(DISPID, DISPPARAMS *)
{
    return 0;
}

// ---- IUnknown ----

STDMETHODIMP CWebBrowserUI::QueryInterface(REFIID iid, void **object)
{
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDocHostUIHandler)
        *object = static_cast<IDocHostUIHandler *>(this);
    else if (iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2)
        *object = static_cast<IDispatch *>(this);
    else if (iid == IID_IServiceProvider)
        *object = static_cast<IServiceProvider *>(this);
    else if (iid == IID_IOleCommandTarget)
        *object = static_cast<IOleCommandTarget *>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CWebBrowserUI::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_refCount));
}

STDMETHODIMP_(ULONG) CWebBrowserUI::Release()
{
    return static_cast<ULONG>(InterlockedDecrement(&m_refCount));
}

// ---- IDocHostUIHandler: the browser keeps its own behaviour ----

STDMETHODIMP CWebBrowserUI::ShowContextMenu(DWORD, POINT *, IUnknown *, IDispatch *)
{
    return S_FALSE;
}

STDMETHODIMP CWebBrowserUI::GetHostInfo(DOCHOSTUIINFO *)
{
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::ShowUI(DWORD, IOleInPlaceActiveObject *, IOleCommandTarget *,
                                   IOleInPlaceFrame *, IOleInPlaceUIWindow *)
{
    return S_OK;
}

STDMETHODIMP CWebBrowserUI::HideUI()
{
    return S_OK;
}

STDMETHODIMP CWebBrowserUI::UpdateUI()
{
    return S_OK;
}

STDMETHODIMP CWebBrowserUI::EnableModeless(BOOL)
{
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::OnDocWindowActivate(BOOL)
{
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::OnFrameWindowActivate(BOOL)
{
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::ResizeBorder(LPCRECT, IOleInPlaceUIWindow *, BOOL)
{
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::TranslateAccelerator(LPMSG, const GUID *, DWORD)
{
    return S_FALSE;
}

STDMETHODIMP CWebBrowserUI::GetOptionKeyPath(LPOLESTR *, DWORD)
{
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::GetDropTarget(IDropTarget *, IDropTarget **)
{
    return S_FALSE;
}

STDMETHODIMP CWebBrowserUI::GetExternal(IDispatch **)
{
    return S_FALSE;
}

STDMETHODIMP CWebBrowserUI::TranslateUrl(DWORD, LPWSTR, LPWSTR *translated)
{
    if (translated != nullptr)
        *translated = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::FilterDataObject(IDataObject *, IDataObject **filtered)
{
    if (filtered != nullptr)
        *filtered = nullptr;
    return E_NOTIMPL;
}

// ---- IServiceProvider: no download manager of our own, the browser's default stays ----

STDMETHODIMP CWebBrowserUI::QueryService(REFGUID, REFIID, void **object)
{
    if (object != nullptr)
        *object = nullptr;
    return E_NOINTERFACE;
}

// ---- IOleCommandTarget ----

STDMETHODIMP CWebBrowserUI::QueryStatus(const GUID *, ULONG, OLECMD *, OLECMDTEXT *)
{
    return OLECMDERR_E_NOTSUPPORTED;
}

// A script error: the error's details are read from the document's current event, and the
// answer true tells the browser to go on running scripts without showing its dialog.
STDMETHODIMP CWebBrowserUI::Exec(const GUID *group, DWORD id, DWORD, VARIANT *in, VARIANT *out)
{
    if (group == nullptr || *group != kDocHostCommandHandler)
        return OLECMDERR_E_UNKNOWNGROUP;
    if (id != OLECMDID_SHOWSCRIPTERROR)
        return OLECMDERR_E_NOTSUPPORTED;
    if (out == nullptr)
        return E_POINTER;
    if (!IsDocumentArgument(in))
        return E_INVALIDARG;

    CComReference<IHTMLDocument2> document;
    CComReference<IHTMLWindow2> window;
    CComReference<IHTMLEventObj> event;
    HRESULT result = document.QueryFrom(V_UNKNOWN(in), IID_IHTMLDocument2);
    if (SUCCEEDED(result))
        result = document ? document->get_parentWindow(window.Receive()) : E_NOINTERFACE;
    if (SUCCEEDED(result))
        result = window ? window->get_event(event.Receive()) : E_FAIL;
    if (SUCCEEDED(result) && !event)
        result = E_FAIL;
    if (SUCCEEDED(result)) {
        for (const wchar_t *name : kScriptErrorProperties)
            result = ReadProperty(event.Get(), name);
    }
    VariantInit(out);
    V_VT(out) = VT_BOOL;
    V_BOOL(out) = VARIANT_TRUE;
    return result;
}

// ---- IDispatch: browser events ----

STDMETHODIMP CWebBrowserUI::GetTypeInfoCount(UINT *count)
{
    if (count != nullptr)
        *count = 0;
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::GetTypeInfo(UINT, LCID, ITypeInfo **)
{
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *)
{
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::Invoke(DISPID id, REFIID iid, LCID, WORD, DISPPARAMS *parameters,
                                   VARIANT *, EXCEPINFO *, UINT *)
{
    if (iid != IID_NULL)
        return E_INVALIDARG;
    switch (id) {
    case DISPID_STATUSTEXTCHANGE:
        return S_OK;
    case DISPID_NAVIGATECOMPLETE2:
        InstallUIHandler();
        HandleBrowserEvent(id, parameters);
        return S_OK;
    case DISPID_DOCUMENTCOMPLETE:
        if (IsTopLevelBrowser(parameters))
            HandleBrowserEvent(id, parameters);
        return S_OK;
    case DISPID_COMMANDSTATECHANGE:
    case DISPID_BEFORENAVIGATE2:
    case DISPID_NAVIGATEERROR:
    case DISPID_NEWWINDOW3:
        HandleBrowserEvent(id, parameters);
        return S_OK;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

void CWebBrowserUI::InstallUIHandler()
{
    if (!m_browser)
        return;
    CComReference<IDispatch> document;
    if (FAILED(m_browser->get_Document(document.Receive())) || !document)
        return;
    CComReference<ICustomDoc> custom;
    if (SUCCEEDED(custom.QueryFrom(document.Get(), kIidCustomDoc)) && custom)
        custom->SetUIHandler(static_cast<IDocHostUIHandler *>(this));
}

// DocumentComplete(pDisp, URL): the arguments arrive last first.
bool CWebBrowserUI::IsTopLevelBrowser(DISPPARAMS *parameters) const
{
    if (parameters == nullptr || parameters->cArgs < 2 || !m_browser)
        return false;
    const VARIANT &sender = parameters->rgvarg[1];
    if (V_VT(&sender) != VT_DISPATCH || V_DISPATCH(&sender) == nullptr)
        return false;
    return SameObject(V_DISPATCH(&sender), m_browser.Get());
}

// ---- ITranslateAccelerator: keys typed in the browser's window ----

LRESULT CWebBrowserUI::TranslateAccelerator(MSG *message)
{
    if (message == nullptr || !IsKeyMessage(message->message))
        return S_FALSE;
    if (!m_browser)
        return E_NOTIMPL;
    for (HWND window = ::GetFocus(); window != nullptr; window = ::GetParent(window)) {
        if (window != m_hostWindow)
            continue;
        CComReference<IOleInPlaceActiveObject> active;
        if (FAILED(active.QueryFrom(m_browser.Get(), IID_IOleInPlaceActiveObject)) || !active)
            return S_FALSE;
        return active->TranslateAccelerator(message);
    }
    return S_FALSE;
}

} // namespace SkinUI
