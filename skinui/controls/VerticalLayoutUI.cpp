#include "VerticalLayoutUI.h"

#include <cwchar>

namespace SkinUI {

const wchar_t *const CVerticalLayoutUI::kClassName = L"VerticalLayout";

CVerticalLayoutUI::CVerticalLayoutUI() : CLinearLayoutUI(false) {}

const wchar_t *CVerticalLayoutUI::GetClass() const
{
    return kClassName;
}

void *CVerticalLayoutUI::GetInterface(const wchar_t *name)
{
    if (name != nullptr && wcscmp(name, kClassName) == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

} // namespace SkinUI
