#pragma once

// Building blocks of the fake in-process COM servers of the ActiveX tests. The fakes are
// written against the C layout of the interfaces (CINTERFACE): every interface an object
// hands out is a head {vtable, object}, and the slots a fake does not implement answer
// E_NOTIMPL, so a fake spells out only the calls a test looks at.

#ifndef CINTERFACE
#define CINTERFACE
#endif
#ifndef COBJMACROS
#define COBJMACROS
#endif

#include <windows.h>

#include <ole2.h>

#include <cstring>

namespace FakeCom {

class Object;

// The part of an interface pointer that COM sees (the vtable), and the object behind it.
struct Head
{
    const void *vtable;
    Object *object;
};

// Every fake COM object alive in this module: a test expects 0 once the container let go.
LONG &LiveObjects();

// A reference-counted fake: starts with one reference, deletes itself at zero.
class Object
{
public:
    Object() { InterlockedIncrement(&LiveObjects()); }
    Object(const Object &) = delete;
    Object &operator=(const Object &) = delete;

    ULONG AddRef()
    {
        const LONG count = InterlockedIncrement(&m_refs);
        OnCountChanged(count);
        return static_cast<ULONG>(count);
    }
    ULONG Release()
    {
        const LONG count = InterlockedDecrement(&m_refs);
        OnCountChanged(count);
        if (count == 0)
            delete this;
        return static_cast<ULONG>(count);
    }
    HRESULT QueryInterface(REFIID iid, void **out)
    {
        if (out == nullptr)
            return E_POINTER;
        *out = Find(iid);
        if (*out == nullptr)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }

protected:
    virtual ~Object() { InterlockedDecrement(&LiveObjects()); }
    // The head for an interface id, or null.
    virtual void *Find(REFIID iid) = 0;
    virtual void OnCountChanged(LONG) {}

    template <typename Interface> void *Bind(Head &head, const Interface *vtable)
    {
        head.vtable = vtable;
        head.object = this;
        return &head;
    }

private:
    LONG m_refs = 1;
};

template <typename Derived, typename Interface> Derived *SelfOf(Interface *pointer)
{
    return static_cast<Derived *>(reinterpret_cast<Head *>(pointer)->object);
}

HRESULT STDMETHODCALLTYPE NotImplemented();

template <typename Interface>
HRESULT STDMETHODCALLTYPE QueryThrough(Interface *self, REFIID iid, void **out)
{
    return reinterpret_cast<Head *>(self)->object->QueryInterface(iid, out);
}
template <typename Interface> ULONG STDMETHODCALLTYPE AddRefThrough(Interface *self)
{
    return reinterpret_cast<Head *>(self)->object->AddRef();
}
template <typename Interface> ULONG STDMETHODCALLTYPE ReleaseThrough(Interface *self)
{
    return reinterpret_cast<Head *>(self)->object->Release();
}

// A vtable whose IUnknown slots reach the object and whose other slots answer E_NOTIMPL
// until the fake sets them.
template <typename Vtable, typename Interface> Vtable MakeVtable()
{
    Vtable vtable;
    void (*notImplemented)() = reinterpret_cast<void (*)()>(&NotImplemented);
    auto *slots = reinterpret_cast<void (**)()>(&vtable);
    for (size_t i = 0; i < sizeof(Vtable) / sizeof(void *); ++i)
        slots[i] = notImplemented;
    vtable.QueryInterface = &QueryThrough<Interface>;
    vtable.AddRef = &AddRefThrough<Interface>;
    vtable.Release = &ReleaseThrough<Interface>;
    return vtable;
}

// An object with nothing but its identity, handed to the container to see it released.
class Token : public Object
{
public:
    Token();
    IUnknown *Identity() { return reinterpret_cast<IUnknown *>(&m_unknown); }

protected:
    void *Find(REFIID iid) override;

private:
    Head m_unknown;
};

} // namespace FakeCom
