#pragma once

#include <unknwn.h>

namespace SkinUI {

// Owns one COM reference and releases it at scope end or when replaced.
template <typename Interface> class CComReference
{
public:
    CComReference() : m_pointer(nullptr) {}
    // Takes over a reference the caller already holds.
    explicit CComReference(Interface *pointer) : m_pointer(pointer) {}
    CComReference(const CComReference &) = delete;
    CComReference &operator=(const CComReference &) = delete;
    ~CComReference() { Reset(); }

    Interface *Get() const { return m_pointer; }
    Interface *operator->() const { return m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }

    // For out parameters: drops the current reference and hands out the slot.
    Interface **Receive()
    {
        Reset();
        return &m_pointer;
    }
    void **ReceiveVoid() { return reinterpret_cast<void **>(Receive()); }

    void Reset(Interface *pointer = nullptr)
    {
        Interface *old = m_pointer;
        m_pointer = pointer;
        if (old != nullptr)
            old->Release();
    }
    // Gives up ownership without releasing.
    Interface *Detach()
    {
        Interface *pointer = m_pointer;
        m_pointer = nullptr;
        return pointer;
    }
    // Shares the reference: AddRef and hand out.
    Interface *Share() const
    {
        if (m_pointer != nullptr)
            m_pointer->AddRef();
        return m_pointer;
    }

    template <typename Other> HRESULT QueryFrom(Other *source, REFIID iid)
    {
        Reset();
        if (source == nullptr)
            return E_POINTER;
        return source->QueryInterface(iid, reinterpret_cast<void **>(&m_pointer));
    }

private:
    Interface *m_pointer;
};

} // namespace SkinUI
