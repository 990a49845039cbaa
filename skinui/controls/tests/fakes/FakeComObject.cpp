#include "FakeComObject.h"

namespace FakeCom {

HRESULT STDMETHODCALLTYPE NotImplemented()
{
    return E_NOTIMPL;
}

namespace {

const IUnknownVtbl kTokenVtable = MakeVtable<IUnknownVtbl, IUnknown>();

} // namespace

Token::Token()
{
    Bind(m_unknown, &kTokenVtable);
}

void *Token::Find(REFIID iid)
{
    return IsEqualIID(iid, IID_IUnknown) ? &m_unknown : nullptr;
}

} // namespace FakeCom
