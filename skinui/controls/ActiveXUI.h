#pragma once

#include "ComReference.h"
#include "ControlUI.h"
#include "WindowInterfaces.h"

#include <ole2.h>

namespace SkinUI {

class CActiveXCtrl;

// Hosts one COM control (an OLE embedded object) in a SkinUI window. The object comes from
// a named module's class factory or from the COM registry and is activated in place:
// windowless when it agrees (it then paints into the window's DC and gets the window's
// messages through this control's message filter), otherwise in an "ActiveXWnd" child
// window that follows the control's position and visibility.
class CActiveXUI : public CControlUI, public IMessageFilterUI
{
public:
    static const wchar_t *const kClassName;

    CActiveXUI();
    ~CActiveXUI() override;

    const wchar_t *GetClass() const override;
    void *GetInterface(const wchar_t *name) override;
    UINT GetBehaviorFlags() const override;
    HWND GetNativeWindow() const override;
    void SetManager(CWindowManagerUI *manager, CControlUI *parent, bool initialise = true) override;
    void SetPos(RECT rect, bool invalidate = true) override;
    void Move(int dx, int dy, bool invalidate = true) override;
    void SetVisible(bool visible = true) override;
    void SetInheritedVisible(bool visible = true) override;
    void SetAttribute(const wchar_t *name, const wchar_t *value) override;
    bool DoPaint(HDC dc, const RECT &paintArea, CControlUI *stopControl) override;

    // Closes and releases the hosted object and the container site.
    virtual void ReleaseControl();
    // Creates the object for the class id and activates it; false when that fails.
    virtual bool DoCreateControl();

    // ---- IMessageFilterUI: window messages for a windowless object ----
    LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool &handled) override;

    // A class id in braces or a program id; the first 99 characters count.
    bool CreateControl(const wchar_t *classText);
    // Arms creation for the class; the all-zero class id is refused.
    bool CreateControl(const CLSID &clsid);
    const CLSID &GetClsid() const { return m_clsid; }
    bool IsDelayCreate() const { return m_delayCreate; }
    void SetDelayCreate(bool delayCreate);
    const CWideString &GetModuleName() const { return m_moduleName; }
    void SetModuleName(const wchar_t *moduleName) { m_moduleName = moduleName; }
    bool IsCreated() const { return m_created; }

    // Asks the hosted object for an interface: E_PENDING while there is none.
    HRESULT GetControl(REFIID iid, void **object) const;

protected:
    bool IsWindowless() const;

    CLSID m_clsid;
    CWideString m_moduleName;
    bool m_created;
    bool m_delayCreate;
    CComReference<IOleObject> m_oleObject;
    CActiveXCtrl *m_site;
    HWND m_hostWindow;

private:
    friend class CActiveXCtrl;
    friend class CActiveXWnd;

    // The filter is in the manager's list at most once, and only while a windowless object
    // is in-place active.
    void AddMessageFilter();
    void RemoveMessageFilter();
    bool CreateObject(IUnknown **object) const;
    bool CreateFromModule(IUnknown **object) const;
    // Whether a mouse message (or WM_SETCURSOR) falls on the object, by its own hit test.
    bool IsHit(UINT message, LPARAM lParam) const;
    POINT MessagePoint(UINT message, LPARAM lParam) const;
    void FocusForClick();

    bool m_filterRegistered;
    bool m_comInitialised;
};

} // namespace SkinUI
