#pragma once

#include "DialogBuilder.h"
#include "NotifyPump.h"
#include "WideString.h"
#include "WindowInterfaces.h"
#include "WindowManagerUI.h"
#include "WindowWnd.h"

#include <windows.h>

#include <cstdint>

namespace SkinUI {

// Where a skinned window's skin comes from.
enum ResourceSourceKind : int32_t
{
    SourceDirectory = 1,       // files under the resource folder
    SourceZipFile = 2,         // a zip package file in the resource folder
    SourceXmlResource = 3,     // an "xml" program resource holding the skin file
    SourcePackageResource = 4, // a "ZIPRES" program resource holding a skin package
};

// A frameless top-level window whose whole content is a control tree built from skin XML.
// It owns the window's manager, finds the skin, builds the tree with the dialog builder and
// handles the non-client side itself: caption dragging, resize borders, maximising to the
// work area, rounded corners, system commands and the default keys.
class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback
{
public:
    static const NotifyMap kMessageMap;
    // The message shown when the skin cannot be built, before the process ends with 1.
    static const wchar_t *const kSkinLoadFailedText;
    static const wchar_t *const kSkinLoadFailedCaption;

    WindowImplBase();

    CWindowManagerUI &GetManager() { return m_manager; }

    // ---- CWindowWnd ----
    const wchar_t *GetSuperClassName() const override;
    UINT GetClassStyle() const override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND window) override;

    // ---- Own virtual operations, in the order subclasses rely on ----
    virtual ~WindowImplBase();
    // Called once the skin is built.
    virtual void InitWindow();
    virtual bool OnClick(NotifyMessage &message);
    virtual const wchar_t *GetSkinFolder() = 0;
    virtual const wchar_t *GetSkinFile() = 0;
    // True when the key did something.
    virtual bool OnDefaultKey(WPARAM key);
    virtual ResourceSourceKind GetResourceType() const;
    virtual const wchar_t *GetPackageFileName() const;
    virtual const wchar_t *GetResourceID() const;
    // Message operations: one that declines sets handled to false and returns 0.
    virtual LRESULT OnClose(UINT message, WPARAM wParam, LPARAM lParam, bool &handled);
    virtual LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, bool &handled);
    virtual LRESULT OnNcActivate(UINT message, WPARAM wParam, LPARAM lParam, bool &handled);
    virtual LRESULT OnNcCalcSize(UINT message, WPARAM wParam, LPARAM lParam, bool &handled);
    virtual LRESULT OnNcPaint(UINT message, WPARAM wParam, LPARAM lParam, bool &handled);
    virtual LRESULT OnNcHitTest(UINT message, WPARAM wParam, LPARAM lParam, bool &handled);
    virtual LRESULT OnGetMinMaxInfo(UINT message, WPARAM wParam, LPARAM lParam, bool &handled);
    virtual LRESULT OnMouseWheel(UINT message, WPARAM wParam, LPARAM lParam, bool &handled);
    virtual LRESULT OnMouseHover(UINT message, WPARAM wParam, LPARAM lParam, bool &handled);
    virtual LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam, bool &handled);
    virtual LRESULT OnChar(UINT message, WPARAM wParam, LPARAM lParam, bool &handled);
    virtual LRESULT OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool &handled);
    virtual LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, bool &handled);
    virtual LRESULT OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam, bool &handled);
    virtual LRESULT OnKillFocus(UINT message, WPARAM wParam, LPARAM lParam, bool &handled);
    virtual LRESULT OnSetFocus(UINT message, WPARAM wParam, LPARAM lParam, bool &handled);
    virtual LRESULT OnLButtonDown(UINT message, WPARAM wParam, LPARAM lParam, bool &handled);
    virtual LRESULT OnLButtonUp(UINT message, WPARAM wParam, LPARAM lParam, bool &handled);
    virtual LRESULT OnMouseMove(UINT message, WPARAM wParam, LPARAM lParam, bool &handled);
    virtual LRESULT HandleCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, bool &handled);
    virtual LONG_PTR GetStyle();

    // ---- CNotifyPump and the registration interfaces ----
    const NotifyMap *GetMessageMap() const override;
    void Notify(NotifyMessage &message) override;
    LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool &handled) override;
    CControlUI *CreateControl(const wchar_t *className) override;

protected:
    CWindowManagerUI m_manager;

private:
    LRESULT RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, bool &handled);
    bool SelectSkinSource();
    CControlUI *BuildSkin();
    bool IsMaximized() const;
    void ShowMaxRestoreButtons(bool wasMaximized);
};

} // namespace SkinUI
