#include "TreeText.h"

#include "ContainerUI.h"

namespace SkinUI {
namespace Testing {

std::wstring TreeText(CControlUI *control)
{
    if (!control)
        return L"(none)";
    std::wstring text = std::wstring(control->GetClass()) + L":" + control->GetName().GetData();
    auto *container = static_cast<IContainerUI *>(control->GetInterface(L"IContainer"));
    if (container && container->GetCount() > 0) {
        text += L"[";
        for (int i = 0; i < container->GetCount(); ++i)
            text += (i ? L"," : L"") + TreeText(container->GetItemAt(i));
        text += L"]";
    }
    return text;
}

} // namespace Testing
} // namespace SkinUI
