#pragma once

#include "ListUI.h"
#include "WindowInterfaces.h"

namespace SkinUI {

class CTreeNodeUI;

// A hierarchy shown as a flat list: a list whose items are tree nodes in display order,
// each child after its parent's subtree position. Collapsing a node hides its descendants;
// checking a node's box checks its descendants. The tree view listens to its nodes' folder
// buttons, check boxes and double clicks through delegates bound to its own operations.
class CTreeViewUI : public CListUI, public INotifyUI
{
public:
    static const wchar_t *const kClassName;

    CTreeViewUI();
    ~CTreeViewUI() override;

    const wchar_t *GetClass() const override;
    void *GetInterface(const wchar_t *name) override;
    void SetAttribute(const wchar_t *name, const wchar_t *value) override;
    // A node joins at the end with its whole subtree after it.
    bool Add(CControlUI *control) override;
    bool AddAt(CControlUI *control, int index) override;
    // A node goes with its whole subtree and leaves its parent's children.
    bool Remove(CControlUI *control, bool doNotDelete = false) override;
    bool RemoveAt(int index, bool doNotDelete = false) override;
    void RemoveAll() override;
    void Notify(NotifyMessage &) override {}

    virtual bool OnCheckBoxChanged(void *message);
    virtual bool OnFolderChanged(void *message);
    virtual bool OnItemDoubleClick(void *message);
    // Checks or unchecks the boxes of the node's descendants (every node's, without one).
    virtual bool SetItemCheckBox(bool checked, CTreeNodeUI *node = nullptr);
    // Shows the node's children and the subtrees of its expanded children, or hides them
    // all (every node, without one).
    virtual void SetItemExpand(bool expand, CTreeNodeUI *node = nullptr);
    virtual void SetVisibleFolderBtn(bool visible);
    virtual bool GetVisibleFolderBtn() const;
    virtual void SetVisibleCheckBtn(bool visible);
    virtual bool GetVisibleCheckBtn() const;
    virtual void SetItemMinWidth(int width);
    virtual int GetItemMinWidth() const;
    virtual void SetItemTextColor(DWORD color);
    virtual void SetItemHotTextColor(DWORD color);
    virtual void SetSelItemTextColor(DWORD color);
    virtual void SetSelItemHotTextColor(DWORD color);

    // Inserts the node and its subtree at the index (at the end for the item count); the
    // position after the last node inserted, or -1.
    int AddAtIndex(CControlUI *control, int index);
    // Inserts the node and its subtree before an item of the list.
    bool AddBefore(CControlUI *control, CControlUI *existing);

private:
    CTreeNodeUI *NodeAt(int index) const;
    void Bind(CTreeNodeUI *node);
    void Unbind(CTreeNodeUI *node);
    void RemoveDescendants(CTreeNodeUI *node, bool doNotDelete);
    template <class Action> void ForEachNode(Action action);

    int m_itemMinWidth;
    bool m_visibleFolderBtn;
    bool m_visibleCheckBtn;
};

} // namespace SkinUI
