#include "HorizontalLayoutUI.h"

#include <cwchar>

namespace SkinUI {

const wchar_t *const CHorizontalLayoutUI::kClassName = L"HorizontalLayout";

CHorizontalLayoutUI::CHorizontalLayoutUI() : CLinearLayoutUI(true) {}

const wchar_t *CHorizontalLayoutUI::GetClass() const
{
    return kClassName;
}

void *CHorizontalLayoutUI::GetInterface(const wchar_t *name)
{
    if (name != nullptr && wcscmp(name, kClassName) == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

} // namespace SkinUI
