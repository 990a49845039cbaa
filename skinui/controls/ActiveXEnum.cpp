#include "ActiveXEnum.h"

namespace SkinUI {

CActiveXEnum::CActiveXEnum(IUnknown *object) : m_position(0), m_refCount(1)
{
    if (object != nullptr)
        object->AddRef();
    m_object.Reset(object);
}

STDMETHODIMP CActiveXEnum::QueryInterface(REFIID iid, void **object)
{
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_IEnumUnknown)
        return E_NOINTERFACE;
    *object = static_cast<IEnumUnknown *>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CActiveXEnum::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_refCount));
}

STDMETHODIMP_(ULONG) CActiveXEnum::Release()
{
    const LONG count = InterlockedDecrement(&m_refCount);
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

// The count asked for does not matter: there is one object, given by the first call.
STDMETHODIMP CActiveXEnum::Next(ULONG, IUnknown **objects, ULONG *fetched)
{
    if (fetched != nullptr)
        *fetched = 0;
    if (objects == nullptr)
        return E_POINTER;
    *objects = nullptr;
    if (m_position != 0 || !m_object)
        return S_FALSE;
    m_position = 1;
    *objects = m_object.Share();
    if (fetched != nullptr)
        *fetched = 1;
    return S_OK;
}

STDMETHODIMP CActiveXEnum::Skip(ULONG count)
{
    m_position += static_cast<LONG>(count);
    return S_OK;
}

STDMETHODIMP CActiveXEnum::Reset()
{
    m_position = 0;
    return S_OK;
}

STDMETHODIMP CActiveXEnum::Clone(IEnumUnknown **)
{
    return E_NOTIMPL;
}

} // namespace SkinUI
