#pragma once

#include "FakeComRecord.h"

#include <windows.h>

#include <string>

// One fake COM server module (tests/fakes) loaded into the test: its record of container
// calls, its exported test functions and its registration in the test prefix.
class FakeServerModule
{
public:
    explicit FakeServerModule(const wchar_t *moduleName);

    bool IsLoaded() const { return m_record != nullptr; }
    FakeCom::Record &Record() const { return *m_record; }
    template <typename Function> Function Export(const char *name) const
    {
        return reinterpret_cast<Function>(
            reinterpret_cast<void (*)()>(GetProcAddress(m_module, name)));
    }
    HRESULT Register() const;
    HRESULT Unregister() const;

    // Clears what an earlier test left in the record; the count of live objects stays, as a
    // test must leave it at 0.
    void ResetLog() const;
    std::string Calls() const;
    bool Logged(const wchar_t *sequence) const;

private:
    HMODULE m_module;
    FakeCom::Record *m_record;
};
