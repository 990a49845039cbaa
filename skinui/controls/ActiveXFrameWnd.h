#pragma once

#include "ComReference.h"

#include <ole2.h>

namespace SkinUI {

// The in-place frame handed to an activated object: the window manager's window, no tool
// space, no menus; it keeps the object's active-object pointer until it goes.
class CActiveXFrameWnd : public IOleInPlaceFrame
{
public:
    explicit CActiveXFrameWnd(HWND frameWindow);
    CActiveXFrameWnd(const CActiveXFrameWnd &) = delete;
    CActiveXFrameWnd &operator=(const CActiveXFrameWnd &) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void **object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP GetWindow(HWND *window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;
    STDMETHODIMP GetBorder(LPRECT border) override;
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS widths) override;
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS widths) override;
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject *activeObject,
                                 LPCOLESTR objectName) override;
    STDMETHODIMP InsertMenus(HMENU shared, LPOLEMENUGROUPWIDTHS widths) override;
    STDMETHODIMP SetMenu(HMENU shared, HOLEMENU descriptor, HWND activeObject) override;
    STDMETHODIMP RemoveMenus(HMENU shared) override;
    STDMETHODIMP SetStatusText(LPCOLESTR text) override;
    STDMETHODIMP EnableModeless(BOOL enable) override;
    STDMETHODIMP TranslateAccelerator(LPMSG message, WORD id) override;

private:
    virtual ~CActiveXFrameWnd() = default;

    LONG m_refCount;
    HWND m_frameWindow;
    CComReference<IOleInPlaceActiveObject> m_activeObject;
};

} // namespace SkinUI
