#pragma once

#include "ComReference.h"

#include <ocidl.h>
#include <ole2.h>

namespace SkinUI {

class CActiveXUI;
class CActiveXWnd;

// The container side of one hosted object: its client site, in-place site (windowless
// capable), control site, object-with-site and container. The interfaces share one
// reference count; the last Release deletes the site. Once the owning control lets go
// (ClearOwner), every call that needs it answers E_UNEXPECTED.
class CActiveXCtrl : public IOleClientSite,
                     public IOleInPlaceSiteWindowless,
                     public IOleControlSite,
                     public IObjectWithSite,
                     public IOleContainer
{
public:
    explicit CActiveXCtrl(CActiveXUI *owner);
    CActiveXCtrl(const CActiveXCtrl &) = delete;
    CActiveXCtrl &operator=(const CActiveXCtrl &) = delete;

    void ClearOwner() { m_owner = nullptr; }
    CActiveXUI *GetOwner() const { return m_owner; }
    bool IsWindowless() const { return m_windowless; }
    bool IsInPlaceActive() const { return m_inPlaceActive; }
    bool IsUIActive() const { return m_uiActive; }
    bool IsCaptured() const { return m_captured; }
    void SetHasFocus(bool focus) { m_hasFocus = focus; }
    IViewObject *GetViewObject() const { return m_viewObject.Get(); }
    void SetViewObject(IViewObject *viewObject) { m_viewObject.Reset(viewObject); }
    IOleInPlaceObject *GetInPlaceObject() const { return m_inPlaceObject.Get(); }
    HWND GetChildWindow() const;

    // ---- IUnknown ----
    STDMETHODIMP QueryInterface(REFIID iid, void **object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // ---- IOleClientSite ----
    STDMETHODIMP SaveObject() override;
    STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker **moniker) override;
    STDMETHODIMP GetContainer(IOleContainer **container) override;
    STDMETHODIMP ShowObject() override;
    STDMETHODIMP OnShowWindow(BOOL show) override;
    STDMETHODIMP RequestNewObjectLayout() override;

    // ---- IOleWindow, IOleInPlaceSite, IOleInPlaceSiteEx, IOleInPlaceSiteWindowless ----
    STDMETHODIMP GetWindow(HWND *window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;
    STDMETHODIMP CanInPlaceActivate() override;
    STDMETHODIMP OnInPlaceActivate() override;
    STDMETHODIMP OnUIActivate() override;
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame **frame, IOleInPlaceUIWindow **document,
                                  LPRECT position, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO frameInfo) override;
    STDMETHODIMP Scroll(SIZE extent) override;
    STDMETHODIMP OnUIDeactivate(BOOL undoable) override;
    STDMETHODIMP OnInPlaceDeactivate() override;
    STDMETHODIMP DiscardUndoState() override;
    STDMETHODIMP DeactivateAndUndo() override;
    STDMETHODIMP OnPosRectChange(LPCRECT position) override;
    STDMETHODIMP OnInPlaceActivateEx(BOOL *noRedraw, DWORD flags) override;
    STDMETHODIMP OnInPlaceDeactivateEx(BOOL noRedraw) override;
    STDMETHODIMP RequestUIActivate() override;
    STDMETHODIMP CanWindowlessActivate() override;
    STDMETHODIMP GetCapture() override;
    STDMETHODIMP SetCapture(BOOL capture) override;
    STDMETHODIMP GetFocus() override;
    STDMETHODIMP SetFocus(BOOL focus) override;
    STDMETHODIMP GetDC(LPCRECT rect, DWORD flags, HDC *dc) override;
    STDMETHODIMP ReleaseDC(HDC dc) override;
    STDMETHODIMP InvalidateRect(LPCRECT rect, BOOL erase) override;
    STDMETHODIMP InvalidateRgn(HRGN region, BOOL erase) override;
    STDMETHODIMP ScrollRect(INT dx, INT dy, LPCRECT scroll, LPCRECT clip) override;
    STDMETHODIMP AdjustRect(LPRECT rect) override;
    STDMETHODIMP OnDefWindowMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                    LRESULT *result) override;

    // ---- IOleControlSite ----
    STDMETHODIMP OnControlInfoChanged() override;
    STDMETHODIMP LockInPlaceActive(BOOL lock) override;
    STDMETHODIMP GetExtendedControl(IDispatch **control) override;
    STDMETHODIMP TransformCoords(POINTL *himetric, POINTF *container, DWORD flags) override;
    STDMETHODIMP TranslateAccelerator(MSG *message, DWORD modifiers) override;
    STDMETHODIMP OnFocus(BOOL gotFocus) override;
    STDMETHODIMP ShowPropertyFrame() override;

    // ---- IObjectWithSite ----
    STDMETHODIMP SetSite(IUnknown *site) override;
    STDMETHODIMP GetSite(REFIID iid, void **site) override;

    // ---- IOleContainer ----
    STDMETHODIMP ParseDisplayName(IBindCtx *context, LPOLESTR name, ULONG *eaten,
                                  IMoniker **moniker) override;
    STDMETHODIMP EnumObjects(DWORD flags, IEnumUnknown **enumerator) override;
    STDMETHODIMP LockContainer(BOOL lock) override;

private:
    virtual ~CActiveXCtrl();

    IOleObject *Object() const;
    HRESULT CreateChildWindow();
    void DestroyChildWindow();
    RECT ObjectRect() const;
    HACCEL FrameAccelerators();

    LONG m_refCount;
    CActiveXUI *m_owner;
    CActiveXWnd *m_window;
    CComReference<IUnknown> m_outerSite;
    CComReference<IViewObject> m_viewObject;
    CComReference<IOleInPlaceObject> m_inPlaceObject;
    bool m_containerLocked;
    bool m_hasFocus;
    bool m_captured;
    bool m_uiActive;
    bool m_inPlaceActive;
    bool m_windowless;
    // Handed to the object in the frame information; made once, freed with the site.
    HACCEL m_accelerators;
};

} // namespace SkinUI
