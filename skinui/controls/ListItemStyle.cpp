#include "ListItemStyle.h"

#include "TextStyleWords.h"
#include "ValueText.h"

#include <cwchar>

namespace SkinUI {

namespace {

using ValueText::Is;

ItemStyleChange SetColor(DWORD &field, const wchar_t *value)
{
    field = ValueText::ReadHexColor(value);
    return ItemStyleChange::Look;
}

ItemStyleChange SetLooks(const wchar_t *name, const wchar_t *value, ListItemStyle &style)
{
    struct ColorAttribute
    {
        const wchar_t *name;
        DWORD ListItemStyle::*field;
    };
    static const ColorAttribute colors[] = {
        {L"itemtextcolor", &ListItemStyle::textColor},
        {L"itembkcolor", &ListItemStyle::bkColor},
        {L"itemselectedtextcolor", &ListItemStyle::selectedTextColor},
        {L"itemselectedbkcolor", &ListItemStyle::selectedBkColor},
        {L"itemhottextcolor", &ListItemStyle::hotTextColor},
        {L"itemhotbkcolor", &ListItemStyle::hotBkColor},
        {L"itemdisabledtextcolor", &ListItemStyle::disabledTextColor},
        {L"itemdisabledbkcolor", &ListItemStyle::disabledBkColor},
        {L"itemhlinecolor", &ListItemStyle::hLineColor},
        {L"itemvlinecolor", &ListItemStyle::vLineColor},
    };
    struct ImageAttribute
    {
        const wchar_t *name;
        ImageDescriptor ListItemStyle::*field;
    };
    static const ImageAttribute images[] = {
        {L"itembkimage", &ListItemStyle::bkImage},
        {L"itemselectedimage", &ListItemStyle::selectedImage},
        {L"itemhotimage", &ListItemStyle::hotImage},
        {L"itemdisabledimage", &ListItemStyle::disabledImage},
    };
    for (const ColorAttribute &entry : colors)
        if (Is(name, entry.name))
            return SetColor(style.*entry.field, value);
    for (const ImageAttribute &entry : images) {
        if (Is(name, entry.name)) {
            (style.*entry.field).SetText(value);
            return ItemStyleChange::Look;
        }
    }
    if (Is(name, L"itemaltbk"))
        style.alternateBk = ValueText::IsTrue(value);
    else if (Is(name, L"itemhlinesize"))
        style.hLineSize = ValueText::ReadInteger(value);
    else if (Is(name, L"itemvlinesize"))
        style.vLineSize = ValueText::ReadInteger(value);
    else
        return ItemStyleChange::NotStyle;
    return ItemStyleChange::Look;
}

ItemStyleChange SetListOnly(const wchar_t *name, const wchar_t *value, ListItemStyle &style)
{
    if (Is(name, L"itemvalign"))
        TextStyleWords::ApplyVertical(style.textStyle, value);
    else if (Is(name, L"itemendellipsis"))
        TextStyleWords::ApplyEndEllipsis(style.textStyle, ValueText::IsTrue(value));
    else if (Is(name, L"itemmultiline"))
        TextStyleWords::ApplyMultiLine(style.textStyle, ValueText::IsTrue(value));
    else if (Is(name, L"multiexpanding"))
        style.multiExpanding = ValueText::IsTrue(value);
    else
        return ItemStyleChange::NotStyle;
    return ItemStyleChange::Stored;
}

} // namespace

ItemStyleChange SetItemStyleAttribute(ListItemStyle &style, const wchar_t *name,
                                      const wchar_t *value, bool listAttributes)
{
    if (name == nullptr || value == nullptr)
        return ItemStyleChange::NotStyle;
    if (Is(name, L"itemheight")) {
        style.itemHeight = ValueText::ReadInteger(value);
        return ItemStyleChange::Stored;
    }
    if (Is(name, L"itemfont")) {
        style.font = ValueText::ReadInteger(value);
        return ItemStyleChange::Stored;
    }
    if (Is(name, L"itemalign")) {
        TextStyleWords::ApplyHorizontal(style.textStyle, value);
        return ItemStyleChange::Stored;
    }
    if (Is(name, L"itemtextpadding")) {
        int numbers[4];
        ValueText::ReadIntegerList(value, numbers, 4);
        style.textPadding = RECT{numbers[0], numbers[1], numbers[2], numbers[3]};
        return ItemStyleChange::Layout;
    }
    if (Is(name, L"itemshowhtml")) {
        const bool showHtml = ValueText::IsTrue(value);
        if (style.showHtml == showHtml)
            return ItemStyleChange::Stored;
        style.showHtml = showHtml;
        return ItemStyleChange::Layout;
    }
    const ItemStyleChange looks = SetLooks(name, value, style);
    if (looks != ItemStyleChange::NotStyle || !listAttributes)
        return looks;
    return SetListOnly(name, value, style);
}

} // namespace SkinUI
