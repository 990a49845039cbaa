#include "FakeServerModule.h"

#include <cwchar>

FakeServerModule::FakeServerModule(const wchar_t *moduleName)
    : m_module(LoadLibraryW(moduleName)), m_record(nullptr)
{
    if (auto recordOf = Export<FakeCom::RecordFunction>("FakeRecord"))
        m_record = recordOf();
}

HRESULT FakeServerModule::Register() const
{
    auto registerServer = Export<HRESULT(STDAPICALLTYPE *)()>("DllRegisterServer");
    return registerServer != nullptr ? registerServer() : E_NOTIMPL;
}

HRESULT FakeServerModule::Unregister() const
{
    auto unregisterServer = Export<HRESULT(STDAPICALLTYPE *)()>("DllUnregisterServer");
    return unregisterServer != nullptr ? unregisterServer() : E_NOTIMPL;
}

void FakeServerModule::ResetLog() const
{
    const LONG live = m_record->liveObjects;
    *m_record = FakeCom::Record{};
    m_record->liveObjects = live;
}

std::string FakeServerModule::Calls() const
{
    std::string calls;
    for (const wchar_t *c = m_record->calls; *c != L'\0'; ++c)
        calls += static_cast<char>(*c);
    return calls;
}

bool FakeServerModule::Logged(const wchar_t *sequence) const
{
    return wcsstr(m_record->calls, sequence) != nullptr;
}
