#include "ActiveXFrameWnd.h"

namespace SkinUI {

CActiveXFrameWnd::CActiveXFrameWnd(HWND frameWindow) : m_refCount(1), m_frameWindow(frameWindow) {}

STDMETHODIMP CActiveXFrameWnd::QueryInterface(REFIID iid, void **object)
{
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_IOleWindow && iid != IID_IOleInPlaceUIWindow &&
        iid != IID_IOleInPlaceFrame)
        return E_NOINTERFACE;
    *object = static_cast<IOleInPlaceFrame *>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CActiveXFrameWnd::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_refCount));
}

STDMETHODIMP_(ULONG) CActiveXFrameWnd::Release()
{
    const LONG count = InterlockedDecrement(&m_refCount);
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

STDMETHODIMP CActiveXFrameWnd::GetWindow(HWND *window)
{
    if (window == nullptr)
        return E_POINTER;
    *window = m_frameWindow;
    return S_OK;
}

STDMETHODIMP CActiveXFrameWnd::ContextSensitiveHelp(BOOL)
{
    return S_OK;
}

STDMETHODIMP CActiveXFrameWnd::GetBorder(LPRECT)
{
    return S_OK;
}

STDMETHODIMP CActiveXFrameWnd::RequestBorderSpace(LPCBORDERWIDTHS)
{
    return INPLACE_E_NOTOOLSPACE;
}

STDMETHODIMP CActiveXFrameWnd::SetBorderSpace(LPCBORDERWIDTHS)
{
    return S_OK;
}

STDMETHODIMP CActiveXFrameWnd::SetActiveObject(IOleInPlaceActiveObject *activeObject, LPCOLESTR)
{
    if (activeObject != nullptr)
        activeObject->AddRef();
    m_activeObject.Reset(activeObject);
    return S_OK;
}

STDMETHODIMP CActiveXFrameWnd::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS)
{
    return S_OK;
}

STDMETHODIMP CActiveXFrameWnd::SetMenu(HMENU, HOLEMENU, HWND)
{
    return S_OK;
}

STDMETHODIMP CActiveXFrameWnd::RemoveMenus(HMENU)
{
    return S_OK;
}

STDMETHODIMP CActiveXFrameWnd::SetStatusText(LPCOLESTR)
{
    return S_OK;
}

STDMETHODIMP CActiveXFrameWnd::EnableModeless(BOOL)
{
    return S_OK;
}

STDMETHODIMP CActiveXFrameWnd::TranslateAccelerator(LPMSG, WORD)
{
    return S_FALSE;
}

} // namespace SkinUI
