#include "DialogBuilder.h"

#include "ButtonUI.h"
#include "ComboUI.h"
#include "ContainerUI.h"
#include "ControlUI.h"
#include "HorizontalLayoutUI.h"
#include "LabelUI.h"
#include "ListContainerElementUI.h"
#include "ListHBoxElementUI.h"
#include "ListHeaderItemUI.h"
#include "ListHeaderUI.h"
#include "ListLabelElementUI.h"
#include "ListTextElementUI.h"
#include "ListUI.h"
#include "ProgressUI.h"
#include "ScrollBarUI.h"
#include "SliderUI.h"
#include "TabLayoutUI.h"
#include "VerticalLayoutUI.h"

#include <cwchar>

// The skin names of the framework's own control classes. A class name of the skin that is
// not here goes to the control factories and then to the builder's callback.

namespace SkinUI {

namespace {

template <class Control> CControlUI *New()
{
    return new Control;
}

struct BuiltInClass
{
    const wchar_t *skinName;
    bool exactCase;
    CControlUI *(*create)();
};

// One row a class, so that each control added to the framework adds its own line.
// clang-format off
const BuiltInClass kBuiltInClasses[] = {
    {L"HBox", false, &New<CHorizontalLayoutUI>},
    {L"VBox", false, &New<CVerticalLayoutUI>},
    {L"Label", false, &New<CLabelUI>},
    {L"Button", false, &New<CButtonUI>},
    {L"Slider", false, &New<CSliderUI>},
    {L"Control", false, &New<CControlUI>},
    {L"Progress", false, &New<CProgressUI>},
    {L"Container", false, &New<CContainerUI>},
    {L"TabLayout", false, &New<CTabLayoutUI>},
    {L"ScrollBar", false, &New<CScrollBarUI>},
    {L"VerticalLayout", false, &New<CVerticalLayoutUI>},
    {L"HorizontalLayout", false, &New<CHorizontalLayoutUI>},
    {L"List", false, &New<CListUI>},
    {L"Combo", false, &New<CComboUI>},
    {L"ComboBox", false, &New<CComboUI>},
    {L"ListHeader", false, &New<CListHeaderUI>},
    {L"ListHeaderItem", false, &New<CListHeaderItemUI>},
    {L"ListTextElement", false, &New<CListTextElementUI>},
    {L"ListHBoxElement", false, &New<CListHBoxElementUI>},
    {L"ListLabelElement", false, &New<CListLabelElementUI>},
    {L"ListContainerElement", false, &New<CListContainerElementUI>},
};
// clang-format on

} // namespace

CControlUI *CDialogBuilder::CreateBuiltInControl(const wchar_t *className)
{
    if (!className)
        return nullptr;
    const size_t length = wcslen(className);
    for (const BuiltInClass &entry : kBuiltInClasses) {
        if (wcslen(entry.skinName) != length)
            continue;
        const bool same = entry.exactCase ? wcscmp(entry.skinName, className) == 0
                                          : _wcsicmp(entry.skinName, className) == 0;
        if (same)
            return entry.create();
    }
    return nullptr;
}

} // namespace SkinUI
