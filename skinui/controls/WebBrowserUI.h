#pragma once

#include "ActiveXUI.h"

#include <exdisp.h>
#include <mshtmhst.h>
#include <servprov.h>

namespace SkinUI {

// The ActiveX host preset to the platform's web browser. It drives the browser through
// IWebBrowser2, listens to its DWebBrowserEvents2 events, installs itself as the document's
// UI handler on every navigation, keeps script errors from opening dialogs, and passes the
// keys typed in the browser's window to the browser's accelerators. Its COM interfaces share
// one reference count and never delete the control, which owns its own lifetime.
class CWebBrowserUI : public CActiveXUI,
                      public IDocHostUIHandler,
                      public IServiceProvider,
                      public IOleCommandTarget,
                      public IDispatch,
                      public ITranslateAccelerator
{
public:
    static const wchar_t *const kClassName;
    static const CLSID kBrowserClassId;

    CWebBrowserUI();
    ~CWebBrowserUI() override;

    const wchar_t *GetClass() const override;
    void *GetInterface(const wchar_t *name) override;
    void SetManager(CWindowManagerUI *manager, CControlUI *parent, bool initialise = true) override;
    void SetAttribute(const wchar_t *name, const wchar_t *value) override;
    void ReleaseControl() override;
    bool DoCreateControl() override;
    // Hands a browser event to an application's handler; this control has none and answers 0.
    virtual HRESULT HandleBrowserEvent(DISPID id, DISPPARAMS *parameters);

    void Navigate(const wchar_t *url);
    const CWideString &GetHomePage() const { return m_homePage; }
    void SetHomePage(const wchar_t *url) { m_homePage = url; }
    bool IsAutoNavigate() const { return m_autoNavigate; }
    void SetAutoNavigate(bool autoNavigate) { m_autoNavigate = autoNavigate; }
    IWebBrowser2 *GetWebBrowser2() const { return m_browser.Get(); }

    // ---- IUnknown, shared by the interfaces below ----
    STDMETHODIMP QueryInterface(REFIID iid, void **object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // ---- IDocHostUIHandler ----
    STDMETHODIMP ShowContextMenu(DWORD id, POINT *point, IUnknown *target,
                                 IDispatch *object) override;
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO *info) override;
    STDMETHODIMP ShowUI(DWORD id, IOleInPlaceActiveObject *active, IOleCommandTarget *target,
                        IOleInPlaceFrame *frame, IOleInPlaceUIWindow *document) override;
    STDMETHODIMP HideUI() override;
    STDMETHODIMP UpdateUI() override;
    STDMETHODIMP EnableModeless(BOOL enable) override;
    STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
    STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow *window,
                              BOOL frameWindow) override;
    STDMETHODIMP TranslateAccelerator(LPMSG message, const GUID *group, DWORD id) override;
    STDMETHODIMP GetOptionKeyPath(LPOLESTR *key, DWORD reserved) override;
    STDMETHODIMP GetDropTarget(IDropTarget *dropTarget, IDropTarget **replacement) override;
    STDMETHODIMP GetExternal(IDispatch **external) override;
    STDMETHODIMP TranslateUrl(DWORD translate, LPWSTR url, LPWSTR *translated) override;
    STDMETHODIMP FilterDataObject(IDataObject *data, IDataObject **filtered) override;

    // ---- IServiceProvider ----
    STDMETHODIMP QueryService(REFGUID service, REFIID iid, void **object) override;

    // ---- IOleCommandTarget: script errors ----
    STDMETHODIMP QueryStatus(const GUID *group, ULONG count, OLECMD *commands,
                             OLECMDTEXT *text) override;
    STDMETHODIMP Exec(const GUID *group, DWORD id, DWORD options, VARIANT *in,
                      VARIANT *out) override;

    // ---- IDispatch: the DWebBrowserEvents2 sink ----
    STDMETHODIMP GetTypeInfoCount(UINT *count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo **info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR *names, UINT count, LCID locale,
                               DISPID *ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS *parameters,
                        VARIANT *result, EXCEPINFO *exception, UINT *argumentError) override;

    // ---- ITranslateAccelerator ----
    LRESULT TranslateAccelerator(MSG *message) override;

private:
    void Disconnect();
    void AdviseEventSink(bool advise);
    void InstallUIHandler();
    bool IsTopLevelBrowser(DISPPARAMS *parameters) const;

    CComReference<IWebBrowser2> m_browser;
    LONG m_refCount;
    DWORD m_sinkCookie;
    CWideString m_homePage;
    bool m_autoNavigate;
    bool m_acceleratorRegistered;
};

} // namespace SkinUI
