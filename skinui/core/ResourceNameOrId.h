#pragma once

#include <windows.h>

namespace SkinUI {

// A resource reference that is either a name or a 16-bit number in the MAKEINTRESOURCE
// form, passed as is to the Windows resource functions.
class ResourceNameOrId
{
public:
    ResourceNameOrId(unsigned int id) : m_value(MAKEINTRESOURCEW(id & 0xFFFF)) {}
    ResourceNameOrId(const wchar_t *name) : m_value(name) {}

    bool IsNumber() const { return IS_INTRESOURCE(m_value); }
    const wchar_t *GetValue() const { return m_value; }
    operator const wchar_t *() const { return m_value; }

private:
    const wchar_t *m_value;
};

} // namespace SkinUI
