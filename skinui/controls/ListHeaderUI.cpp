#include "ListHeaderUI.h"

#include "WindowManagerUI.h"

#include <algorithm>
#include <cwchar>

namespace SkinUI {

const wchar_t *const CListHeaderUI::kClassName = L"ListHeader";

const wchar_t *CListHeaderUI::GetClass() const
{
    return kClassName;
}

void *CListHeaderUI::GetInterface(const wchar_t *name)
{
    if (name != nullptr && wcscmp(name, kClassName) == 0)
        return this;
    return CHorizontalLayoutUI::GetInterface(name);
}

SIZE CListHeaderUI::GetDesiredSize(SIZE available)
{
    SIZE size = {0, m_fixedSize.cy};
    int highest = 0;
    for (int i = 0; i < m_items.GetCount(); ++i) {
        const SIZE item = ChildAt(i)->GetDesiredSize(available);
        size.cx += item.cx;
        highest = std::max<int>(highest, item.cy);
    }
    if (size.cy == 0 && m_manager != nullptr)
        size.cy = std::max<int>(highest, m_manager->GetDefaultFontInfo()->metrics.tmHeight + 8);
    return size;
}

} // namespace SkinUI
