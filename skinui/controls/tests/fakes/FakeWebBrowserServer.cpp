// The stand-in web browser: a windowed OLE control that also answers IWebBrowser2 (it
// records navigations and hands out a document), offers a DWebBrowserEvents2 connection
// point, and lets a test fire browser events and script errors at the host.
#include "FakeOleObject.h"

#include <exdisp.h>
#include <exdispid.h>
#include <mshtml.h>
#include <mshtmhst.h>

#include <cwchar>
#include <vector>

namespace FakeCom {

namespace {

const GUID kDocHostCommandHandler = {
    0xF38BC242, 0xB950, 0x11D1, {0x89, 0x18, 0x00, 0xC0, 0x4F, 0xC2, 0xC8, 0x36}};
const IID kIidCustomDoc = {
    0x3050F3F0, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};

const wchar_t *const kEventProperties[] = {L"errorLine", L"errorCharacter", L"errorCode",
                                           L"errorMessage", L"errorUrl"};

template <typename Interface> void ReleaseAndClear(Interface *&pointer)
{
    if (pointer != nullptr) {
        Interface *old = pointer;
        pointer = nullptr;
        old->lpVtbl->Release(old);
    }
}

// ---- The script error's event object: five properties read by name ----

class EventObject : public Object
{
public:
    EventObject();
    Head event;

protected:
    void *Find(REFIID iid) override
    {
        return IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
                       IsEqualIID(iid, IID_IHTMLEventObj)
                   ? &event
                   : nullptr;
    }
};

HRESULT STDMETHODCALLTYPE EventGetIDsOfNames(IHTMLEventObj *, REFIID, LPOLESTR *names, UINT count,
                                             LCID, DISPID *ids)
{
    if (count != 1)
        return E_INVALIDARG;
    for (DISPID id = 0; id < 5; ++id) {
        if (wcscmp(names[0], kEventProperties[id]) == 0) {
            ids[0] = id + 1;
            return S_OK;
        }
    }
    return DISP_E_UNKNOWNNAME;
}

HRESULT STDMETHODCALLTYPE EventInvoke(IHTMLEventObj *, DISPID id, REFIID, LCID locale, WORD flags,
                                      DISPPARAMS *, VARIANT *result, EXCEPINFO *, UINT *)
{
    if (id < 1 || id > 5 || !(flags & DISPATCH_PROPERTYGET) || result == nullptr)
        return DISP_E_MEMBERNOTFOUND;
    Record &record = TheRecord();
    wcscat(record.propertiesRead, kEventProperties[id - 1]);
    wcscat(record.propertiesRead, locale == 0x800 ? L" " : L"(locale?) ");
    V_VT(result) = VT_I4;
    V_I4(result) = 7;
    return S_OK;
}

const IHTMLEventObjVtbl kEventVtable = [] {
    auto vtable = MakeVtable<IHTMLEventObjVtbl, IHTMLEventObj>();
    vtable.GetIDsOfNames = &EventGetIDsOfNames;
    vtable.Invoke = &EventInvoke;
    return vtable;
}();

EventObject::EventObject()
{
    Bind(event, &kEventVtable);
}

// ---- The document's window ----

class HtmlWindow : public Object
{
public:
    HtmlWindow();
    Head window;

protected:
    void *Find(REFIID iid) override
    {
        return IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
                       IsEqualIID(iid, IID_IHTMLWindow2)
                   ? &window
                   : nullptr;
    }
};

HRESULT STDMETHODCALLTYPE WindowGetEvent(IHTMLWindow2 *, IHTMLEventObj **event)
{
    *event = reinterpret_cast<IHTMLEventObj *>(&(new EventObject)->event);
    return S_OK;
}

const IHTMLWindow2Vtbl kWindowVtable = [] {
    auto vtable = MakeVtable<IHTMLWindow2Vtbl, IHTMLWindow2>();
    vtable.get_event = &WindowGetEvent;
    return vtable;
}();

HtmlWindow::HtmlWindow()
{
    Bind(window, &kWindowVtable);
}

// ---- The document: its window, and the UI handler a host installs ----

class Document : public Object
{
public:
    Document();
    Head document;
    Head customDoc;
    IDocHostUIHandler *handler = nullptr;

protected:
    ~Document() override { ReleaseAndClear(handler); }
    void *Find(REFIID iid) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, IID_IHTMLDocument) || IsEqualIID(iid, IID_IHTMLDocument2))
            return &document;
        if (IsEqualIID(iid, kIidCustomDoc))
            return &customDoc;
        return nullptr;
    }
};

HRESULT STDMETHODCALLTYPE DocumentGetParentWindow(IHTMLDocument2 *, IHTMLWindow2 **window)
{
    *window = reinterpret_cast<IHTMLWindow2 *>(&(new HtmlWindow)->window);
    return S_OK;
}

const IHTMLDocument2Vtbl kDocumentVtable = [] {
    auto vtable = MakeVtable<IHTMLDocument2Vtbl, IHTMLDocument2>();
    vtable.get_parentWindow = &DocumentGetParentWindow;
    return vtable;
}();

HRESULT STDMETHODCALLTYPE SetUIHandler(ICustomDoc *self, IDocHostUIHandler *handler)
{
    Document *document = SelfOf<Document>(self);
    if (handler != nullptr)
        IDocHostUIHandler_AddRef(handler);
    ReleaseAndClear(document->handler);
    document->handler = handler;
    TheRecord().uiHandlerSet = handler != nullptr;
    return S_OK;
}

const ICustomDocVtbl kCustomDocVtable = [] {
    auto vtable = MakeVtable<ICustomDocVtbl, ICustomDoc>();
    vtable.SetUIHandler = &SetUIHandler;
    return vtable;
}();

Document::Document()
{
    Bind(document, &kDocumentVtable);
    Bind(customDoc, &kCustomDocVtable);
}

// ---- The DWebBrowserEvents2 connection point ----

class ConnectionPoint : public Object
{
public:
    ConnectionPoint();
    Head point;
    std::vector<IDispatch *> sinks; // by cookie - 1; null once unadvised

    HRESULT Fire(DISPID id, IDispatch *browser);

protected:
    ~ConnectionPoint() override
    {
        for (IDispatch *&sink : sinks)
            ReleaseAndClear(sink);
    }
    void *Find(REFIID iid) override
    {
        return IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint) ? &point
                                                                                      : nullptr;
    }
};

HRESULT STDMETHODCALLTYPE Advise(IConnectionPoint *self, IUnknown *sink, DWORD *cookie)
{
    ConnectionPoint *point = SelfOf<ConnectionPoint>(self);
    IDispatch *dispatch = nullptr;
    if (FAILED(IUnknown_QueryInterface(sink, IID_IDispatch, reinterpret_cast<void **>(&dispatch))))
        return CONNECT_E_CANNOTCONNECT;
    point->sinks.push_back(dispatch);
    *cookie = static_cast<DWORD>(point->sinks.size());
    ++TheRecord().sinks;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Unadvise(IConnectionPoint *self, DWORD cookie)
{
    ConnectionPoint *point = SelfOf<ConnectionPoint>(self);
    if (cookie == 0 || cookie > point->sinks.size() || point->sinks[cookie - 1] == nullptr)
        return CONNECT_E_NOCONNECTION;
    ReleaseAndClear(point->sinks[cookie - 1]);
    --TheRecord().sinks;
    return S_OK;
}

const IConnectionPointVtbl kPointVtable = [] {
    auto vtable = MakeVtable<IConnectionPointVtbl, IConnectionPoint>();
    vtable.Advise = &Advise;
    vtable.Unadvise = &Unadvise;
    return vtable;
}();

ConnectionPoint::ConnectionPoint()
{
    Bind(point, &kPointVtable);
}

// Events carry (pDisp, URL) as the browser sends them: the arguments last first.
HRESULT ConnectionPoint::Fire(DISPID id, IDispatch *browser)
{
    VARIANT url;
    VariantInit(&url);
    V_VT(&url) = VT_BSTR;
    V_BSTR(&url) = SysAllocString(L"about:blank");
    VARIANT arguments[2];
    V_VT(&arguments[0]) = VT_VARIANT | VT_BYREF;
    V_VARIANTREF(&arguments[0]) = &url;
    V_VT(&arguments[1]) = VT_DISPATCH;
    V_DISPATCH(&arguments[1]) = browser;
    DISPPARAMS parameters = {arguments, nullptr, 2, 0};
    HRESULT result = S_OK;
    for (IDispatch *sink : std::vector<IDispatch *>(sinks)) {
        if (sink != nullptr)
            result = IDispatch_Invoke(sink, id, IID_NULL, 0, DISPATCH_METHOD, &parameters, nullptr,
                                      nullptr, nullptr);
    }
    VariantClear(&url);
    return result;
}

// ---- The browser ----

class Browser;
Browser *g_browser = nullptr;

class Browser : public OleObject
{
public:
    Browser();
    Head webBrowser;
    Head pointContainer;
    ConnectionPoint *events;
    Document *document;

protected:
    ~Browser() override
    {
        if (g_browser == this)
            g_browser = nullptr;
        events->Release();
        document->Release();
    }
    void *Find(REFIID iid) override
    {
        if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IWebBrowser) ||
            IsEqualIID(iid, IID_IWebBrowserApp) || IsEqualIID(iid, IID_IWebBrowser2))
            return &webBrowser;
        if (IsEqualIID(iid, IID_IConnectionPointContainer))
            return &pointContainer;
        return OleObject::Find(iid);
    }
};

HRESULT STDMETHODCALLTYPE Navigate2(IWebBrowser2 *, VARIANT *url, VARIANT *flags, VARIANT *target,
                                    VARIANT *postData, VARIANT *headers)
{
    Record &record = TheRecord();
    ++record.navigations;
    record.navigatedUrl[0] = L'\0';
    if (url != nullptr && V_VT(url) == VT_BSTR && V_BSTR(url) != nullptr)
        wcsncpy(record.navigatedUrl, V_BSTR(url), 511);
    if (flags != nullptr || target != nullptr || postData != nullptr || headers != nullptr)
        wcscat(record.calls, L"Navigate2(extra arguments) ");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE GetDocument(IWebBrowser2 *self, IDispatch **document)
{
    Browser *browser = SelfOf<Browser>(self);
    *document = reinterpret_cast<IDispatch *>(&browser->document->document);
    browser->document->AddRef();
    return S_OK;
}

const IWebBrowser2Vtbl kBrowserVtable = [] {
    auto vtable = MakeVtable<IWebBrowser2Vtbl, IWebBrowser2>();
    vtable.Navigate2 = &Navigate2;
    vtable.get_Document = &GetDocument;
    return vtable;
}();

HRESULT STDMETHODCALLTYPE FindConnectionPoint(IConnectionPointContainer *self, REFIID iid,
                                              IConnectionPoint **point)
{
    *point = nullptr;
    if (!IsEqualIID(iid, DIID_DWebBrowserEvents2))
        return CONNECT_E_NOCONNECTION;
    Browser *browser = SelfOf<Browser>(self);
    *point = reinterpret_cast<IConnectionPoint *>(&browser->events->point);
    browser->events->AddRef();
    return S_OK;
}

const IConnectionPointContainerVtbl kContainerVtable = [] {
    auto vtable = MakeVtable<IConnectionPointContainerVtbl, IConnectionPointContainer>();
    vtable.FindConnectionPoint = &FindConnectionPoint;
    return vtable;
}();

Browser::Browser() : OleObject(false), events(new ConnectionPoint), document(new Document)
{
    Bind(webBrowser, &kBrowserVtable);
    Bind(pointContainer, &kContainerVtable);
    g_browser = this;
}

IUnknown *MakeBrowser()
{
    return reinterpret_cast<IUnknown *>(&(new Browser)->oleObject);
}

} // namespace

} // namespace FakeCom

extern "C" {

__declspec(dllexport) FakeCom::Record *FakeRecord()
{
    return &FakeCom::TheRecord();
}

__declspec(dllexport) HRESULT FakeFire(DISPID id)
{
    FakeCom::Browser *browser = FakeCom::g_browser;
    if (browser == nullptr)
        return E_UNEXPECTED;
    return browser->events->Fire(id, reinterpret_cast<IDispatch *>(&browser->webBrowser));
}

__declspec(dllexport) HRESULT FakeScriptError(FakeCom::ScriptErrorInput input, VARIANT *out)
{
    FakeCom::Browser *browser = FakeCom::g_browser;
    if (browser == nullptr || browser->document->handler == nullptr)
        return E_UNEXPECTED;
    IOleCommandTarget *target = nullptr;
    HRESULT result = IDocHostUIHandler_QueryInterface(
        browser->document->handler, IID_IOleCommandTarget, reinterpret_cast<void **>(&target));
    if (FAILED(result))
        return result;
    VARIANT in;
    VariantInit(&in);
    if (input == FakeCom::InputDocument) {
        V_VT(&in) = VT_UNKNOWN;
        V_UNKNOWN(&in) = reinterpret_cast<IUnknown *>(&browser->document->document);
    } else {
        V_VT(&in) = VT_I4;
        V_I4(&in) = 1;
    }
    result =
        IOleCommandTarget_Exec(target, &FakeCom::kDocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR,
                               0, input == FakeCom::InputNone ? nullptr : &in, out);
    IOleCommandTarget_Release(target);
    return result;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE
    DllGetClassObject(REFCLSID clsid, REFIID iid, void **out)
{
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    if (!IsEqualCLSID(clsid, FakeCom::kFakeBrowser))
        return CLASS_E_CLASSNOTAVAILABLE;
    auto *factory = new FakeCom::Factory(&FakeCom::MakeBrowser);
    const HRESULT result = factory->QueryInterface(iid, out);
    factory->Release();
    return result;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return S_FALSE;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer()
{
    return FakeCom::RegisterClassId(FakeCom::kFakeBrowserText, nullptr);
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    return FakeCom::UnregisterClassId(FakeCom::kFakeBrowserText, nullptr);
}

} // extern "C"
