#include "TreeViewUI.h"

#include "CheckBoxUI.h"
#include "Delegate.h"
#include "ListHeaderUI.h"
#include "TreeNodeUI.h"
#include "ValueText.h"

#include <cwchar>

namespace SkinUI {

const wchar_t *const CTreeViewUI::kClassName = L"TreeView";

namespace {

typedef CDelegate<CTreeViewUI, &CTreeViewUI::OnItemDoubleClick> DoubleClickDelegate;
typedef CDelegate<CTreeViewUI, &CTreeViewUI::OnFolderChanged> FolderDelegate;
typedef CDelegate<CTreeViewUI, &CTreeViewUI::OnCheckBoxChanged> CheckBoxDelegate;

using ValueText::Is;

CTreeNodeUI *NodeOf(CControlUI *control)
{
    return control != nullptr ? static_cast<CTreeNodeUI *>(control->GetInterface(L"TreeNode"))
                              : nullptr;
}

// The node of a part of its row: part -> row -> node.
CTreeNodeUI *NodeOfPart(CControlUI *part)
{
    CControlUI *row = part != nullptr ? part->GetParent() : nullptr;
    return NodeOf(row != nullptr ? row->GetParent() : nullptr);
}

bool IsSelectChanged(void *message)
{
    return static_cast<NotifyMessage *>(message)->type == L"selectchanged";
}

} // namespace

CTreeViewUI::CTreeViewUI() : m_itemMinWidth(0), m_visibleFolderBtn(true), m_visibleCheckBtn(false)
{
    GetHeader()->SetVisible(false);
}

CTreeViewUI::~CTreeViewUI() = default;

const wchar_t *CTreeViewUI::GetClass() const
{
    return kClassName;
}

void *CTreeViewUI::GetInterface(const wchar_t *name)
{
    if (name != nullptr && wcscmp(name, kClassName) == 0)
        return this;
    return CListUI::GetInterface(name);
}

CTreeNodeUI *CTreeViewUI::NodeAt(int index) const
{
    return NodeOf(GetItemAt(index));
}

template <class Action> void CTreeViewUI::ForEachNode(Action action)
{
    for (int i = 0; i < GetCount(); ++i)
        if (CTreeNodeUI *node = NodeAt(i))
            action(*node);
}

// ---- Nodes in and out ----

void CTreeViewUI::Bind(CTreeNodeUI *node)
{
    node->NotifyListeners.Add(DoubleClickDelegate(this));
    node->GetFolderButton()->NotifyListeners.Add(FolderDelegate(this));
    node->GetCheckBox()->NotifyListeners.Add(CheckBoxDelegate(this));
    node->GetFolderButton()->SetVisible(m_visibleFolderBtn);
    node->GetCheckBox()->SetVisible(m_visibleCheckBtn);
    if (m_itemMinWidth != 0)
        node->SetMinWidth(m_itemMinWidth);
    node->SetTreeView(this);
}

void CTreeViewUI::Unbind(CTreeNodeUI *node)
{
    node->NotifyListeners.Remove(DoubleClickDelegate(this));
    node->GetFolderButton()->NotifyListeners.Remove(FolderDelegate(this));
    node->GetCheckBox()->NotifyListeners.Remove(CheckBoxDelegate(this));
    node->SetTreeView(nullptr);
}

bool CTreeViewUI::Add(CControlUI *control)
{
    CTreeNodeUI *node = NodeOf(control);
    if (node == nullptr)
        return false;
    Bind(node);
    if (!CListUI::Add(node))
        return false;
    for (int i = 0; i < node->GetCountChild(); ++i)
        Add(node->GetChildNode(i));
    return true;
}

bool CTreeViewUI::AddAt(CControlUI *control, int index)
{
    return AddAtIndex(control, index) >= 0;
}

// Inserting at the item count appends, so that the last node of the list can get children.
int CTreeViewUI::AddAtIndex(CControlUI *control, int index)
{
    CTreeNodeUI *node = NodeOf(control);
    if (node == nullptr || index < 0 || index > GetCount())
        return -1;
    Bind(node);
    if (!CListUI::AddAt(node, index))
        return -1;
    int next = index + 1;
    for (int i = 0; i < node->GetCountChild() && next >= 0; ++i)
        next = AddAtIndex(node->GetChildNode(i), next);
    return next;
}

bool CTreeViewUI::AddBefore(CControlUI *control, CControlUI *existing)
{
    if (control == nullptr || existing == nullptr)
        return false;
    const int index = GetItemIndex(existing);
    return index >= 0 && AddAtIndex(control, index) >= 0;
}

// The subtree goes with the node: its rows leave the list, and the node leaves its parent.
void CTreeViewUI::RemoveDescendants(CTreeNodeUI *node, bool doNotDelete)
{
    for (int i = node->GetCountChild() - 1; i >= 0; --i) {
        CTreeNodeUI *child = node->GetChildNode(i);
        RemoveDescendants(child, doNotDelete);
        Unbind(child);
        CListUI::Remove(child, doNotDelete);
    }
}

bool CTreeViewUI::Remove(CControlUI *control, bool doNotDelete)
{
    CTreeNodeUI *node = NodeOf(control);
    if (node == nullptr)
        return CListUI::Remove(control, doNotDelete);
    if (GetItemIndex(node) < 0)
        return false;
    if (node->GetParentNode() != nullptr)
        node->GetParentNode()->RemoveChildNode(node);
    RemoveDescendants(node, doNotDelete);
    Unbind(node);
    return CListUI::Remove(node, doNotDelete);
}

bool CTreeViewUI::RemoveAt(int index, bool doNotDelete)
{
    CControlUI *control = GetItemAt(index);
    return control != nullptr && Remove(control, doNotDelete);
}

void CTreeViewUI::RemoveAll()
{
    CListUI::RemoveAll();
}

// ---- Expanding and checking ----

void CTreeViewUI::SetItemExpand(bool expand, CTreeNodeUI *node)
{
    auto show = [this, expand](CTreeNodeUI &child) {
        child.SetVisible(expand);
        if (child.GetCountChild() > 0 && !child.GetFolderButton()->IsSelected())
            SetItemExpand(expand, &child);
    };
    if (node == nullptr) {
        ForEachNode(show);
        return;
    }
    for (int i = 0; i < node->GetCountChild(); ++i)
        show(*node->GetChildNode(i));
}

bool CTreeViewUI::SetItemCheckBox(bool checked, CTreeNodeUI *node)
{
    auto check = [this, checked](CTreeNodeUI &child) {
        child.GetCheckBox()->SetSelected(checked, true);
        if (child.GetCountChild() > 0)
            SetItemCheckBox(checked, &child);
    };
    if (node == nullptr) {
        ForEachNode(check);
        return true;
    }
    for (int i = 0; i < node->GetCountChild(); ++i)
        check(*node->GetChildNode(i));
    return true;
}

bool CTreeViewUI::OnCheckBoxChanged(void *message)
{
    if (!IsSelectChanged(message))
        return true;
    auto *checkBox = static_cast<NotifyMessage *>(message)->sender;
    if (CTreeNodeUI *node = NodeOfPart(checkBox))
        SetItemCheckBox(node->GetCheckBox()->IsSelected(), node);
    return true;
}

// A selected folder button means a collapsed node.
bool CTreeViewUI::OnFolderChanged(void *message)
{
    if (!IsSelectChanged(message))
        return true;
    if (CTreeNodeUI *node = NodeOfPart(static_cast<NotifyMessage *>(message)->sender)) {
        const bool expanded = !node->GetFolderButton()->IsSelected();
        node->SetNodeExpanded(expanded);
        SetItemExpand(expanded, node);
    }
    return true;
}

bool CTreeViewUI::OnItemDoubleClick(void *message)
{
    auto *notify = static_cast<NotifyMessage *>(message);
    if (notify->type != L"itemdbclick")
        return false;
    CTreeNodeUI *node = NodeOf(notify->sender);
    if (node == nullptr)
        return true;
    CCheckBoxUI *folder = node->GetFolderButton();
    folder->SetSelected(!folder->IsSelected(), true);
    node->SetNodeExpanded(!folder->IsSelected());
    SetItemExpand(!folder->IsSelected(), node);
    return true;
}

// ---- Settings for every node ----

void CTreeViewUI::SetVisibleFolderBtn(bool visible)
{
    m_visibleFolderBtn = visible;
    ForEachNode([visible](CTreeNodeUI &node) { node.GetFolderButton()->SetVisible(visible); });
}

bool CTreeViewUI::GetVisibleFolderBtn() const
{
    return m_visibleFolderBtn;
}

void CTreeViewUI::SetVisibleCheckBtn(bool visible)
{
    m_visibleCheckBtn = visible;
    ForEachNode([visible](CTreeNodeUI &node) { node.GetCheckBox()->SetVisible(visible); });
}

bool CTreeViewUI::GetVisibleCheckBtn() const
{
    return m_visibleCheckBtn;
}

void CTreeViewUI::SetItemMinWidth(int width)
{
    m_itemMinWidth = width;
    ForEachNode([width](CTreeNodeUI &node) { node.SetMinWidth(width); });
    Invalidate();
}

int CTreeViewUI::GetItemMinWidth() const
{
    return m_itemMinWidth;
}

void CTreeViewUI::SetItemTextColor(DWORD color)
{
    ForEachNode([color](CTreeNodeUI &node) { node.SetItemTextColor(color); });
}

void CTreeViewUI::SetItemHotTextColor(DWORD color)
{
    ForEachNode([color](CTreeNodeUI &node) { node.SetItemHotTextColor(color); });
}

void CTreeViewUI::SetSelItemTextColor(DWORD color)
{
    ForEachNode([color](CTreeNodeUI &node) { node.SetSelItemTextColor(color); });
}

void CTreeViewUI::SetSelItemHotTextColor(DWORD color)
{
    ForEachNode([color](CTreeNodeUI &node) { node.SetSelItemHotTextColor(color); });
}

void CTreeViewUI::SetAttribute(const wchar_t *name, const wchar_t *value)
{
    if (name == nullptr || value == nullptr)
        return;
    if (Is(name, L"visiblefolderbtn"))
        SetVisibleFolderBtn(ValueText::IsTrue(value));
    else if (Is(name, L"visiblecheckbtn"))
        SetVisibleCheckBtn(ValueText::IsTrue(value));
    else if (Is(name, L"itemminwidth"))
        SetItemMinWidth(ValueText::ReadInteger(value));
    else if (Is(name, L"itemtextcolor"))
        SetItemTextColor(ValueText::ReadHexColor(value));
    else if (Is(name, L"itemhottextcolor"))
        SetItemHotTextColor(ValueText::ReadHexColor(value));
    else if (Is(name, L"selitemtextcolor"))
        SetSelItemTextColor(ValueText::ReadHexColor(value));
    else if (Is(name, L"selitemhottextcolor"))
        SetSelItemHotTextColor(ValueText::ReadHexColor(value));
    else
        CListUI::SetAttribute(name, value);
}

} // namespace SkinUI
