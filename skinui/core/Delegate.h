#pragma once

#include "PointerArray.h"

namespace SkinUI {

// A bound callback: an object and a function that takes it and one untyped parameter.
// Two delegates are equal when both the object and the function are equal.
class CDelegateBase
{
public:
    typedef bool (*Function)(void *object, void *parameter);

    CDelegateBase(void *object, Function function) : m_object(object), m_function(function) {}
    CDelegateBase(const CDelegateBase &other) = default;
    CDelegateBase &operator=(const CDelegateBase &) = delete;
    virtual ~CDelegateBase() = default;

    virtual CDelegateBase *Copy() const = 0;
    virtual bool Invoke(void *parameter) = 0;

    bool Equals(const CDelegateBase &other) const
    {
        return m_object == other.m_object && m_function == other.m_function;
    }
    void *GetObjectPointer() const { return m_object; }
    Function GetFunction() const { return m_function; }

protected:
    void *m_object;
    Function m_function;
};

// A plain function with a context object.
class CFunctionDelegate : public CDelegateBase
{
public:
    CFunctionDelegate(Function function, void *object = nullptr) : CDelegateBase(object, function)
    {
    }
    CDelegateBase *Copy() const override { return new CFunctionDelegate(*this); }
    bool Invoke(void *parameter) override { return m_function(m_object, parameter); }
};

// A member function bool O::Method(void *) bound to one object. The method is a template
// argument, so each (class, method) pair has its own trampoline, which makes the function
// pointer a faithful identity for equality.
template <class O, bool (O::*Method)(void *)> class CDelegate : public CDelegateBase
{
public:
    explicit CDelegate(O *object) : CDelegateBase(object, &Trampoline) {}
    CDelegateBase *Copy() const override { return new CDelegate(*this); }
    bool Invoke(void *parameter) override { return m_function(m_object, parameter); }

private:
    static bool Trampoline(void *object, void *parameter)
    {
        return (static_cast<O *>(object)->*Method)(parameter);
    }
};

// An ordered list of owned delegates without duplicates, invoked until one returns false.
class CDelegateList
{
public:
    CDelegateList() = default;
    CDelegateList(const CDelegateList &) = delete;
    CDelegateList &operator=(const CDelegateList &) = delete;
    ~CDelegateList();

    // Keeps a copy; the caller keeps its own delegate.
    void Add(const CDelegateBase &delegate);
    bool Remove(const CDelegateBase &delegate);
    bool Invoke(void *parameter);
    int GetCount() const { return m_delegates.GetCount(); }
    explicit operator bool() const { return !m_delegates.IsEmpty(); }

private:
    int Find(const CDelegateBase &delegate) const;

    CPointerArray m_delegates;
};

} // namespace SkinUI
