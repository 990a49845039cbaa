#include "ListItemOrder.h"

#include "ContainerUI.h"
#include "ListInterfaces.h"

#include <algorithm>

namespace SkinUI {

namespace ListItemOrder {

void Renumber(const CContainerUI &items, int from, int to)
{
    to = std::min(to, items.GetCount());
    for (int i = std::max(from, 0); i < to; ++i)
        if (auto *item = static_cast<IListItemUI *>(items.GetItemAt(i)->GetInterface(L"IListItem")))
            item->SetIndex(i);
}

void Inserted(const CContainerUI &items, int index, int &selection, int &expanded)
{
    Renumber(items, index + 1, items.GetCount());
    if (selection >= index)
        ++selection;
    if (expanded >= index)
        ++expanded;
}

void Removed(const CContainerUI &items, int index, int &selection, int &expanded,
             IListOwnerUI &owner)
{
    Renumber(items, index, items.GetCount());
    if (expanded == index)
        expanded = -1;
    else if (expanded > index)
        --expanded;
    if (selection == index) {
        selection = -1;
        owner.SelectItem(items.FindSelectable(index, false), false, true);
    } else if (selection > index) {
        --selection;
    }
}

void Moved(const CContainerUI &items, int from, int to, CControlUI *selectedItem,
           CControlUI *expandedItem, int &selection, int &expanded)
{
    Renumber(items, from, to);
    if (selectedItem != nullptr)
        selection = items.GetItemIndex(selectedItem);
    if (expandedItem != nullptr)
        expanded = items.GetItemIndex(expandedItem);
}

} // namespace ListItemOrder

} // namespace SkinUI
