#pragma once

#include "ControlEvent.h"
#include "ListItemStyle.h"
#include "WideString.h"

#include <windows.h>

namespace SkinUI {

class CControlUI;
class CListHeaderUI;
class CListBodyUI;

// The interfaces through which lists, combo boxes and their items talk to each other. The
// operations keep their order: lists, combos and items are built against this layout.

// An owner of list items: a list or a combo box.
class IListOwnerUI
{
public:
    // Never null.
    virtual ListItemStyle *GetItemStyle() = 0;
    virtual int GetCurSel() const = 0;
    // Makes the item the single selected one; "itemselect" when asked to notify.
    virtual bool SelectItem(int index, bool takeFocus = false, bool sendNotify = true) = 0;
    // The owner control's own event handling, for the mouse events items do not consume.
    virtual void DoEvent(ControlEvent &event) = 0;
    virtual bool ExpandItem(int index, bool expand = true) = 0;
    virtual int GetExpandedItem() const = 0;

protected:
    ~IListOwnerUI() = default;
};

// Texts of a list's cells supplied by the application instead of the items' own texts.
class IListTextProviderUI
{
public:
    virtual CWideString GetItemText(CControlUI *item, int index, int column) = 0;

protected:
    ~IListTextProviderUI() = default;
};

// The list control's side: an owner with a column header, a body and a text provider.
class IListUI : public IListOwnerUI
{
public:
    virtual CListHeaderUI *GetHeader() const = 0;
    virtual CListBodyUI *GetBody() const = 0;
    virtual IListTextProviderUI *GetTextProvider() const = 0;
    // Not owned.
    virtual void SetTextProvider(IListTextProviderUI *provider) = 0;

protected:
    ~IListUI() = default;
};

// An item of a list or combo box.
class IListItemUI
{
public:
    // Position among the owner's items, kept by the owner; -1 before insertion.
    virtual int GetIndex() const = 0;
    virtual void SetIndex(int index) = 0;
    // Running number among the visible items at the last paint; drives the alternate
    // background.
    virtual int GetDrawIndex() const = 0;
    virtual void SetDrawIndex(int index) = 0;
    virtual IListOwnerUI *GetOwner() = 0;
    // Takes the control's "IListOwner" interface; a null control is ignored.
    virtual void SetOwner(CControlUI *owner) = 0;
    virtual bool IsSelected() const = 0;
    virtual bool Select(bool select = true, bool takeFocus = true) = 0;
    virtual bool IsExpanded() const = 0;
    virtual bool Expand(bool expand = true) = 0;
    // Draws the item's text into the rectangle (the combo box draws its face with it).
    virtual void DrawItemText(HDC dc, const RECT &rect) = 0;

protected:
    ~IListItemUI() = default;
};

} // namespace SkinUI
