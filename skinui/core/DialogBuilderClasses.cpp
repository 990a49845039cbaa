#include "DialogBuilder.h"

#include "ActiveXUI.h"
#include "ButtonUI.h"
#include "CheckBoxUI.h"
#include "ChildLayoutUI.h"
#include "ComboUI.h"
#include "ContainerUI.h"
#include "ControlUI.h"
#include "DateTimeUI.h"
#include "EditUI.h"
#include "GifAnimUI.h"
#include "HorizontalLayoutUI.h"
#include "LabelUI.h"
#include "ListContainerElementUI.h"
#include "ListHBoxElementUI.h"
#include "ListHeaderItemUI.h"
#include "ListHeaderUI.h"
#include "ListLabelElementUI.h"
#include "ListTextElementUI.h"
#include "ListUI.h"
#include "OptionUI.h"
#include "ProgressUI.h"
#include "RichEditUI.h"
#include "ScrollBarUI.h"
#include "SliderUI.h"
#include "TabLayoutUI.h"
#include "TextUI.h"
#include "TileLayoutUI.h"
#include "TreeViewUI.h"
#include "VerticalLayoutUI.h"
#include "WebBrowserUI.h"

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
    {L"Edit", false, &New<CEditUI>},
    {L"Text", false, &New<CTextUI>},
    {L"HBox", false, &New<CHorizontalLayoutUI>},
    {L"VBox", false, &New<CVerticalLayoutUI>},
    {L"Label", false, &New<CLabelUI>},
    {L"Button", false, &New<CButtonUI>},
    {L"Option", false, &New<COptionUI>},
    {L"Slider", false, &New<CSliderUI>},
    {L"Control", false, &New<CControlUI>},
    {L"ActiveX", false, &New<CActiveXUI>},
    {L"GifAnim", true, &New<CGifAnimUI>},
    {L"Progress", false, &New<CProgressUI>},
    {L"CheckBox", false, &New<CCheckBoxUI>},
    {L"DateTime", false, &New<CDateTimeUI>},
    {L"Container", false, &New<CContainerUI>},
    {L"RichEdit", false, &New<CRichEditUI>},
    {L"TabLayout", false, &New<CTabLayoutUI>},
    {L"ScrollBar", false, &New<CScrollBarUI>},
    {L"WebBrowser", false, &New<CWebBrowserUI>},
    {L"TileLayout", false, &New<CTileLayoutUI>},
    {L"ChildLayout", false, &New<CChildLayoutUI>},
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
    {L"Tree", false, &New<CTreeViewUI>},
    {L"TreeView", false, &New<CTreeViewUI>},
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
