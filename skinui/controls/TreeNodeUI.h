#pragma once

#include "ListContainerElementUI.h"
#include "PointerArray.h"

namespace SkinUI {

class CCheckBoxUI;
class CHorizontalLayoutUI;
class CLabelUI;
class COptionUI;
class CTreeViewUI;

// A row of a tree view and a node of its hierarchy: an indentation line, a folder button
// that expands and collapses the node's children, a check box and the item button with the
// text, in one horizontal row. The node keeps its parent and its children; the tree view's
// list holds all nodes in display order, each child after its parent.
class CTreeNodeUI : public CListContainerElementUI
{
public:
    static const wchar_t *const kClassName;
    static const int kIndent = 16;

    explicit CTreeNodeUI(CTreeNodeUI *parent = nullptr);
    ~CTreeNodeUI() override;

    const wchar_t *GetClass() const override;
    void *GetInterface(const wchar_t *name) override;
    void DoEvent(ControlEvent &event) override;
    void SetAttribute(const wchar_t *name, const wchar_t *value) override;
    // A tree node becomes a child node; anything else joins the node's own children.
    bool Add(CControlUI *control) override;
    bool AddAt(CControlUI *control, int index) override;
    bool Select(bool select = true, bool takeFocus = true) override;

    bool AddChildNode(CTreeNodeUI *child);
    // Takes the child out of the node's children; the tree view's list is not touched.
    bool RemoveChildNode(CTreeNodeUI *child);
    int GetCountChild() const { return m_childNodes.GetCount(); }
    CTreeNodeUI *GetChildNode(int index) const;
    // The deepest last node of the node's subtree: the node itself without children.
    CTreeNodeUI *GetLastDescendant();
    CTreeNodeUI *GetParentNode() const { return m_parentNode; }
    void SetParentNode(CTreeNodeUI *parent) { m_parentNode = parent; }
    CTreeViewUI *GetTreeView() const { return m_treeView; }
    void SetTreeView(CTreeViewUI *treeView) { m_treeView = treeView; }
    // The node's place among the tree view's items; -1 outside a tree view.
    int GetTreeIndex() const;

    bool IsNodeExpanded() const { return m_nodeExpanded; }
    void SetNodeExpanded(bool expanded) { m_nodeExpanded = expanded; }
    CHorizontalLayoutUI *GetRow() const { return m_row; }
    CCheckBoxUI *GetFolderButton() const { return m_folderButton; }
    CLabelUI *GetDotLine() const { return m_dotLine; }
    CCheckBoxUI *GetCheckBox() const { return m_checkBox; }
    COptionUI *GetItemButton() const { return m_itemButton; }

    void SetItemTextColor(DWORD color);
    DWORD GetItemTextColor() const { return m_itemTextColor; }
    void SetItemHotTextColor(DWORD color);
    DWORD GetItemHotTextColor() const { return m_itemHotTextColor; }
    void SetSelItemTextColor(DWORD color);
    DWORD GetSelItemTextColor() const { return m_selItemTextColor; }
    void SetSelItemHotTextColor(DWORD color);
    DWORD GetSelItemHotTextColor() const { return m_selItemHotTextColor; }

private:
    void PrepareChild(CTreeNodeUI *child);
    void FollowMouse(bool entering);

    bool m_nodeExpanded;
    DWORD m_itemTextColor;
    DWORD m_itemHotTextColor;
    DWORD m_selItemTextColor;
    DWORD m_selItemHotTextColor;
    CTreeViewUI *m_treeView;
    CHorizontalLayoutUI *m_row;
    CCheckBoxUI *m_folderButton;
    CLabelUI *m_dotLine;
    CCheckBoxUI *m_checkBox;
    COptionUI *m_itemButton;
    CTreeNodeUI *m_parentNode;
    CPointerArray m_childNodes;
};

} // namespace SkinUI
