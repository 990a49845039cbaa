#pragma once

#include "ComReference.h"

#include <objidl.h>

namespace SkinUI {

// The container's object enumerator: it holds the one hosted object.
class CActiveXEnum : public IEnumUnknown
{
public:
    explicit CActiveXEnum(IUnknown *object);
    CActiveXEnum(const CActiveXEnum &) = delete;
    CActiveXEnum &operator=(const CActiveXEnum &) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void **object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP Next(ULONG count, IUnknown **objects, ULONG *fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumUnknown **clone) override;

private:
    virtual ~CActiveXEnum() = default;

    LONG m_position;
    LONG m_refCount;
    CComReference<IUnknown> m_object;
};

} // namespace SkinUI
