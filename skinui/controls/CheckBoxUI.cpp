#include "CheckBoxUI.h"

#include <cwchar>

namespace SkinUI {

const wchar_t *const CCheckBoxUI::kClassName = L"CheckBox";

const wchar_t *CCheckBoxUI::GetClass() const
{
    return kClassName;
}

void *CCheckBoxUI::GetInterface(const wchar_t *name)
{
    if (name && wcscmp(name, kClassName) == 0)
        return this;
    return COptionUI::GetInterface(name);
}

} // namespace SkinUI
