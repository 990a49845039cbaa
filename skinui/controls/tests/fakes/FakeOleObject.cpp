#include "FakeOleObject.h"

#include <olectl.h>

#include <cwchar>

namespace FakeCom {

Record &TheRecord()
{
    static Record record = {};
    return record;
}

LONG &LiveObjects()
{
    return TheRecord().liveObjects;
}

void Log(const wchar_t *call)
{
    Record &record = TheRecord();
    const size_t room = sizeof(record.calls) / sizeof(wchar_t);
    const size_t used = wcslen(record.calls);
    if (used + wcslen(call) + 2 < room) {
        wcscat(record.calls, call);
        wcscat(record.calls, L" ");
    }
}

namespace {

const wchar_t kOwnWindowClass[] = L"SkinUITestOleWindow";

OleObject *Self(void *pointer)
{
    return SelfOf<OleObject>(static_cast<IUnknown *>(pointer));
}

template <typename Interface> void ReleaseAndClear(Interface *&pointer)
{
    if (pointer != nullptr) {
        Interface *old = pointer;
        pointer = nullptr;
        old->lpVtbl->Release(old);
    }
}

// ---- IOleObject ----

HRESULT STDMETHODCALLTYPE SetClientSite(IOleObject *self, IOleClientSite *site)
{
    OleObject *object = Self(self);
    Log(site != nullptr ? L"SetClientSite" : L"SetClientSite(null)");
    if (site != nullptr)
        IOleClientSite_AddRef(site);
    ReleaseAndClear(object->clientSite);
    object->clientSite = site;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE GetClientSite(IOleObject *self, IOleClientSite **site)
{
    *site = Self(self)->clientSite;
    if (*site != nullptr)
        IOleClientSite_AddRef(*site);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SetHostNames(IOleObject *, LPCOLESTR container, LPCOLESTR)
{
    Log(container != nullptr && wcscmp(container, L"UIActiveX") == 0 ? L"SetHostNames(UIActiveX)"
                                                                     : L"SetHostNames");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Close(IOleObject *self, DWORD option)
{
    Log(option == OLECLOSE_NOSAVE ? L"Close(NoSave)" : L"Close");
    Self(self)->Deactivate();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DoVerb(IOleObject *self, LONG verb, LPMSG, IOleClientSite *, LONG, HWND,
                                 LPCRECT)
{
    wchar_t text[32];
    swprintf(text, 32, L"DoVerb(%ld)", verb);
    Log(text);
    OleObject *object = Self(self);
    if (verb == OLEIVERB_INPLACEACTIVATE || verb == OLEIVERB_UIACTIVATE)
        return object->active ? S_OK : object->Activate();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SetExtent(IOleObject *, DWORD, SIZEL *extent)
{
    Log(L"SetExtent");
    TheRecord().extent = *extent;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE GetMiscStatus(IOleObject *self, DWORD, DWORD *status)
{
    *status = Self(self)->windowless ? 0 : OLEMISC_SETCLIENTSITEFIRST;
    return S_OK;
}

const IOleObjectVtbl kOleObjectVtable = [] {
    auto vtable = MakeVtable<IOleObjectVtbl, IOleObject>();
    vtable.SetClientSite = &SetClientSite;
    vtable.GetClientSite = &GetClientSite;
    vtable.SetHostNames = &SetHostNames;
    vtable.Close = &Close;
    vtable.DoVerb = &DoVerb;
    vtable.SetExtent = &SetExtent;
    vtable.GetMiscStatus = &GetMiscStatus;
    return vtable;
}();

// ---- IOleInPlaceObjectWindowless ----

HRESULT STDMETHODCALLTYPE InPlaceGetWindow(IOleInPlaceObjectWindowless *self, HWND *window)
{
    *window = Self(self)->window;
    return *window != nullptr ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE InPlaceDeactivate(IOleInPlaceObjectWindowless *self)
{
    Log(L"InPlaceDeactivate");
    Self(self)->Deactivate();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE UIDeactivate(IOleInPlaceObjectWindowless *)
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SetObjectRects(IOleInPlaceObjectWindowless *self, LPCRECT position,
                                         LPCRECT)
{
    OleObject *object = Self(self);
    object->rect = *position;
    TheRecord().objectRects = *position;
    if (object->window != nullptr)
        MoveWindow(object->window, position->left, position->top, position->right - position->left,
                   position->bottom - position->top, TRUE);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OnWindowMessage(IOleInPlaceObjectWindowless *, UINT message, WPARAM,
                                          LPARAM, LRESULT *result)
{
    Record &record = TheRecord();
    record.lastMessage = message;
    ++record.windowMessages;
    *result = 0;
    return S_OK;
}

const IOleInPlaceObjectWindowlessVtbl kInPlaceVtable = [] {
    auto vtable = MakeVtable<IOleInPlaceObjectWindowlessVtbl, IOleInPlaceObjectWindowless>();
    vtable.GetWindow = &InPlaceGetWindow;
    vtable.InPlaceDeactivate = &InPlaceDeactivate;
    vtable.UIDeactivate = &UIDeactivate;
    vtable.SetObjectRects = &SetObjectRects;
    vtable.OnWindowMessage = &OnWindowMessage;
    return vtable;
}();

// ---- IViewObjectEx ----

HRESULT STDMETHODCALLTYPE Draw(IViewObjectEx *self, DWORD, LONG, void *, DVTARGETDEVICE *, HDC,
                               HDC dc, LPCRECTL bounds, LPCRECTL,
                               BOOL(STDMETHODCALLTYPE *)(ULONG_PTR), ULONG_PTR)
{
    ++TheRecord().draws;
    if (dc == nullptr || bounds == nullptr)
        return E_INVALIDARG;
    RECT area = {bounds->left, bounds->top, bounds->right, bounds->bottom};
    HBRUSH brush = CreateSolidBrush(Self(self)->windowless ? kWindowlessColor : kWindowedColor);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE QueryHitPoint(IViewObjectEx *, DWORD, LPCRECT bounds, POINT point, LONG,
                                        DWORD *hit)
{
    *hit = PtInRect(bounds, point) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
    return S_OK;
}

const IViewObjectExVtbl kViewVtable = [] {
    auto vtable = MakeVtable<IViewObjectExVtbl, IViewObjectEx>();
    vtable.Draw = &Draw;
    vtable.QueryHitPoint = &QueryHitPoint;
    return vtable;
}();

// ---- IPersistStreamInit ----

HRESULT STDMETHODCALLTYPE InitNew(IPersistStreamInit *)
{
    Log(L"InitNew");
    return TheRecord().failInitNew ? E_FAIL : S_OK;
}

const IPersistStreamInitVtbl kPersistVtable = [] {
    auto vtable = MakeVtable<IPersistStreamInitVtbl, IPersistStreamInit>();
    vtable.InitNew = &InitNew;
    return vtable;
}();

// ---- IObjectWithSite ----

HRESULT STDMETHODCALLTYPE SetSite(IObjectWithSite *self, IUnknown *site)
{
    OleObject *object = Self(self);
    Log(site != nullptr ? L"SetSite" : L"SetSite(null)");
    if (site != nullptr)
        IUnknown_AddRef(site);
    ReleaseAndClear(object->site);
    object->site = site;
    return S_OK;
}

const IObjectWithSiteVtbl kWithSiteVtable = [] {
    auto vtable = MakeVtable<IObjectWithSiteVtbl, IObjectWithSite>();
    vtable.SetSite = &SetSite;
    return vtable;
}();

// ---- IOleControl and IOleInPlaceActiveObject ----

const IOleControlVtbl kControlVtable = MakeVtable<IOleControlVtbl, IOleControl>();

HRESULT STDMETHODCALLTYPE TranslateAccelerator(IOleInPlaceActiveObject *, LPMSG)
{
    ++TheRecord().translatedKeys;
    return S_OK;
}

const IOleInPlaceActiveObjectVtbl kActiveVtable = [] {
    auto vtable = MakeVtable<IOleInPlaceActiveObjectVtbl, IOleInPlaceActiveObject>();
    vtable.TranslateAccelerator = &TranslateAccelerator;
    return vtable;
}();

LRESULT CALLBACK OwnWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

OleObject::OleObject(bool windowless) : windowless(windowless)
{
    Bind(oleObject, &kOleObjectVtable);
    Bind(inPlaceObject, &kInPlaceVtable);
    Bind(viewObject, &kViewVtable);
    Bind(persist, &kPersistVtable);
    Bind(withSite, &kWithSiteVtable);
    Bind(control, &kControlVtable);
    Bind(activeObject, &kActiveVtable);
    ++TheRecord().objectsCreated;
    TheRecord().objectRefs = 1;
}

OleObject::~OleObject()
{
    ++TheRecord().objectsDestroyed;
    Deactivate();
    ReleaseAndClear(clientSite);
    ReleaseAndClear(site);
}

void OleObject::OnCountChanged(LONG count)
{
    TheRecord().objectRefs = count;
}

void *OleObject::Find(REFIID iid)
{
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleObject))
        return &oleObject;
    if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceObject))
        return &inPlaceObject;
    if (windowless && IsEqualIID(iid, IID_IOleInPlaceObjectWindowless))
        return &inPlaceObject;
    if (IsEqualIID(iid, IID_IViewObject) || IsEqualIID(iid, IID_IViewObject2) ||
        IsEqualIID(iid, IID_IViewObjectEx))
        return &viewObject;
    if (IsEqualIID(iid, IID_IPersistStreamInit))
        return &persist;
    if (IsEqualIID(iid, IID_IObjectWithSite))
        return &withSite;
    if (IsEqualIID(iid, IID_IOleControl))
        return &control;
    if (IsEqualIID(iid, IID_IOleInPlaceActiveObject))
        return &activeObject;
    return nullptr;
}

HRESULT OleObject::Activate()
{
    if (clientSite == nullptr)
        return E_UNEXPECTED;
    Record &record = TheRecord();
    IOleInPlaceSiteWindowless *siteWindowless = nullptr;
    HRESULT result = E_FAIL;
    if (windowless &&
        SUCCEEDED(IOleClientSite_QueryInterface(clientSite, IID_IOleInPlaceSiteWindowless,
                                                reinterpret_cast<void **>(&siteWindowless)))) {
        IOleInPlaceSiteWindowless_CanInPlaceActivate(siteWindowless);
        if (IOleInPlaceSiteWindowless_CanWindowlessActivate(siteWindowless) == S_OK) {
            BOOL noRedraw = FALSE;
            result = IOleInPlaceSiteWindowless_OnInPlaceActivateEx(siteWindowless, &noRedraw,
                                                                   ACTIVATE_WINDOWLESS);
        }
        HDC dc = nullptr;
        record.siteGetDC = IOleInPlaceSiteWindowless_GetDC(siteWindowless, nullptr, 0, &dc);
        if (record.siteGetDC == S_OK)
            IOleInPlaceSiteWindowless_ReleaseDC(siteWindowless, dc);
        inPlaceSite = reinterpret_cast<IOleInPlaceSite *>(siteWindowless);
    } else {
        if (FAILED(IOleClientSite_QueryInterface(clientSite, IID_IOleInPlaceSite,
                                                 reinterpret_cast<void **>(&inPlaceSite))))
            return E_NOINTERFACE;
        IOleInPlaceSite_CanInPlaceActivate(inPlaceSite);
        result = IOleInPlaceSite_OnInPlaceActivate(inPlaceSite);
    }
    record.activateResult = result;
    if (FAILED(result)) {
        ReleaseAndClear(inPlaceSite);
        return result;
    }
    HWND parent = nullptr;
    IOleInPlaceSite_GetWindow(inPlaceSite, &parent);
    record.siteWindow = parent;
    if (!windowless)
        CreateOwnWindow(parent);
    TakeWindowContext(inPlaceSite);
    EnumerateContainer();
    active = true;
    return S_OK;
}

void OleObject::CreateOwnWindow(HWND parent)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = &OwnWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kOwnWindowClass;
    RegisterClassW(&windowClass);
    window = CreateWindowExW(0, kOwnWindowClass, L"", WS_CHILD | WS_VISIBLE, rect.left, rect.top,
                             rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    TheRecord().ownWindow = window;
}

// Asked twice, as controls do on re-activation: the site must hand out the same table.
void OleObject::TakeWindowContext(IOleInPlaceSite *site)
{
    Record &record = TheRecord();
    for (int call = 0; call < 2; ++call) {
        IOleInPlaceFrame *newFrame = nullptr;
        IOleInPlaceUIWindow *document = nullptr;
        RECT position = {};
        RECT clip = {};
        OLEINPLACEFRAMEINFO info = {};
        info.cb = sizeof(info);
        if (FAILED(IOleInPlaceSite_GetWindowContext(site, &newFrame, &document, &position, &clip,
                                                    &info)))
            return;
        record.accelerators[call] = info.haccel;
        record.acceleratorEntries = info.cAccelEntries;
        record.frameInfoSize = info.cb;
        record.frameWindow = info.hwndFrame;
        record.positionRect = position;
        ReleaseAndClear(document);
        ReleaseAndClear(frame);
        frame = newFrame;
    }
    if (frame == nullptr)
        return;
    IOleInPlaceFrame_GetWindow(frame, &record.frameGetWindow);
    IOleInPlaceFrame_SetActiveObject(
        frame, reinterpret_cast<IOleInPlaceActiveObject *>(&activeObject), L"fake");
}

// The container's enumerator must give this object once and then nothing; the site keeps
// an outer site of ours, whose release shows that the site is gone.
void OleObject::EnumerateContainer()
{
    Record &record = TheRecord();
    IOleContainer *container = nullptr;
    if (SUCCEEDED(IOleClientSite_GetContainer(clientSite, &container)) && container != nullptr) {
        IEnumUnknown *enumerator = nullptr;
        if (SUCCEEDED(IOleContainer_EnumObjects(container, OLECONTF_EMBEDDINGS, &enumerator)) &&
            enumerator != nullptr) {
            IUnknown *first = nullptr;
            ULONG fetched = 0;
            if (IEnumUnknown_Next(enumerator, 1, &first, &fetched) == S_OK && fetched == 1) {
                record.enumeratorGaveObject = first == reinterpret_cast<IUnknown *>(&oleObject);
                ReleaseAndClear(first);
            }
            record.secondNextEmpty =
                IEnumUnknown_Next(enumerator, 1, &first, &fetched) == S_FALSE && fetched == 0;
            ReleaseAndClear(enumerator);
        }
        ReleaseAndClear(container);
    }
    IObjectWithSite *siteWithSite = nullptr;
    if (SUCCEEDED(IOleClientSite_QueryInterface(clientSite, IID_IObjectWithSite,
                                                reinterpret_cast<void **>(&siteWithSite)))) {
        auto *outer = new Token;
        IObjectWithSite_SetSite(siteWithSite, reinterpret_cast<IUnknown *>(outer->Identity()));
        outer->Release();
        ReleaseAndClear(siteWithSite);
    }
}

void OleObject::Deactivate()
{
    if (!active)
        return;
    active = false;
    if (frame != nullptr)
        IOleInPlaceFrame_SetActiveObject(frame, nullptr, nullptr);
    ReleaseAndClear(frame);
    if (window != nullptr) {
        DestroyWindow(window);
        window = nullptr;
    }
    if (inPlaceSite != nullptr)
        IOleInPlaceSite_OnInPlaceDeactivate(inPlaceSite);
    ReleaseAndClear(inPlaceSite);
}

// ---- Class factory ----

namespace {

const IClassFactoryVtbl &FactoryVtable();

} // namespace

Factory::Factory(MakeFunction make) : m_make(make)
{
    Bind(m_factory, &FactoryVtable());
}

void *Factory::Find(REFIID iid)
{
    return IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory) ? &m_factory
                                                                               : nullptr;
}

HRESULT STDMETHODCALLTYPE Factory::CreateInstance(IClassFactory *self, IUnknown *outer, REFIID iid,
                                                  void **out)
{
    *out = nullptr;
    if (outer != nullptr)
        return CLASS_E_NOAGGREGATION;
    IUnknown *made = SelfOf<Factory>(self)->m_make();
    const HRESULT result = IUnknown_QueryInterface(made, iid, out);
    IUnknown_Release(made);
    return result;
}

HRESULT STDMETHODCALLTYPE Factory::LockServer(IClassFactory *, BOOL)
{
    return S_OK;
}

namespace {

const IClassFactoryVtbl &FactoryVtable()
{
    static const IClassFactoryVtbl vtable = [] {
        auto made = MakeVtable<IClassFactoryVtbl, IClassFactory>();
        made.CreateInstance = &Factory::CreateInstance;
        made.LockServer = &Factory::LockServer;
        return made;
    }();
    return vtable;
}

HMODULE ThisModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

LSTATUS SetText(HKEY root, const wchar_t *path, const wchar_t *name, const wchar_t *value)
{
    return RegSetKeyValueW(root, path, name, REG_SZ, value,
                           static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
}

const HKEY kClassesRoot = HKEY_LOCAL_MACHINE;
const wchar_t kClassesPath[] = L"Software\\Classes\\";

} // namespace

HRESULT RegisterClassId(const wchar_t *classText, const wchar_t *progId)
{
    wchar_t modulePath[MAX_PATH] = {};
    GetModuleFileNameW(ThisModule(), modulePath, MAX_PATH);
    wchar_t key[256];
    swprintf(key, 256, L"%lsCLSID\\%ls\\InprocServer32", kClassesPath, classText);
    if (SetText(kClassesRoot, key, nullptr, modulePath) != ERROR_SUCCESS ||
        SetText(kClassesRoot, key, L"ThreadingModel", L"Apartment") != ERROR_SUCCESS)
        return SELFREG_E_CLASS;
    if (progId == nullptr)
        return S_OK;
    swprintf(key, 256, L"%ls%ls\\CLSID", kClassesPath, progId);
    return SetText(kClassesRoot, key, nullptr, classText) == ERROR_SUCCESS ? S_OK : SELFREG_E_CLASS;
}

HRESULT UnregisterClassId(const wchar_t *classText, const wchar_t *progId)
{
    wchar_t key[256];
    swprintf(key, 256, L"%lsCLSID\\%ls", kClassesPath, classText);
    RegDeleteTreeW(kClassesRoot, key);
    if (progId != nullptr) {
        swprintf(key, 256, L"%ls%ls", kClassesPath, progId);
        RegDeleteTreeW(kClassesRoot, key);
    }
    return S_OK;
}

} // namespace FakeCom
