#pragma once

namespace SkinUI {

class CContainerUI;
class CControlUI;
class IListOwnerUI;

// Keeps the items' indexes, an owner's selection and its expanded item pointing at the same
// items while items are inserted, removed and moved. The items are the children of the
// container given (a list's body, a combo box itself).
namespace ListItemOrder {

void Renumber(const CContainerUI &items, int from, int to);
void Inserted(const CContainerUI &items, int index, int &selection, int &expanded);
// A removed selected item leaves the selection to the nearest selectable item before it
// (after it when there is none), with a notification.
void Removed(const CContainerUI &items, int index, int &selection, int &expanded,
             IListOwnerUI &owner);
// The items between from and to changed places; the selection and the expanded item are
// found again from the items that held them before (null for none).
void Moved(const CContainerUI &items, int from, int to, CControlUI *selectedItem,
           CControlUI *expandedItem, int &selection, int &expanded);

} // namespace ListItemOrder

} // namespace SkinUI
