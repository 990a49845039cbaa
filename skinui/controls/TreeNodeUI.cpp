#include "TreeNodeUI.h"

#include "CheckBoxUI.h"
#include "HorizontalLayoutUI.h"
#include "TreeViewUI.h"
#include "ValueText.h"
#include "WindowManagerUI.h"

#include <cwchar>

namespace SkinUI {

const wchar_t *const CTreeNodeUI::kClassName = L"TreeNode";

namespace {

const int kNodeHeight = 18;
const int kNodeWidth = 250;
const int kDotLineWidth = 2;
const int kCheckBoxWidth = 18;

using ValueText::Is;

CTreeNodeUI *NodeOf(CControlUI *control)
{
    return control != nullptr ? static_cast<CTreeNodeUI *>(control->GetInterface(L"TreeNode"))
                              : nullptr;
}

} // namespace

CTreeNodeUI::CTreeNodeUI(CTreeNodeUI *parent)
    : m_nodeExpanded(true), m_itemTextColor(0), m_itemHotTextColor(0), m_selItemTextColor(0),
      m_selItemHotTextColor(0), m_treeView(nullptr), m_row(new CHorizontalLayoutUI),
      m_folderButton(new CCheckBoxUI), m_dotLine(new CLabelUI), m_checkBox(new CCheckBoxUI),
      m_itemButton(new COptionUI), m_parentNode(nullptr)
{
    SetFixedHeight(kNodeHeight);
    SetFixedWidth(kNodeWidth);
    m_folderButton->SetFixedWidth(GetFixedHeight());
    m_dotLine->SetFixedWidth(kDotLineWidth);
    m_dotLine->SetVisible(false);
    m_checkBox->SetFixedWidth(kCheckBoxWidth);
    m_checkBox->SetVisible(false);
    m_itemButton->SetAttribute(L"align", L"left");
    m_itemButton->SetMouseEnabled(false);
    if (parent != nullptr) {
        m_dotLine->SetVisible(parent->m_dotLine->IsVisible());
        m_dotLine->SetFixedWidth(parent->m_dotLine->GetFixedWidth() + kIndent);
        m_parentNode = parent;
    }
    m_row->Add(m_dotLine);
    m_row->Add(m_folderButton);
    m_row->Add(m_checkBox);
    m_row->Add(m_itemButton);
    CContainerUI::AddAt(m_row, 0);
}

// A node that goes first lets its children go; one that goes after its parent leaves it.
// Children that no tree view's list holds (a node built or kept outside a tree view) have
// no other owner and go with the node.
CTreeNodeUI::~CTreeNodeUI()
{
    for (int i = 0; i < m_childNodes.GetCount(); ++i) {
        CTreeNodeUI *child = GetChildNode(i);
        child->m_parentNode = nullptr;
        if (child->m_treeView != nullptr)
            continue;
        // Bound to the manager first, so that what its subtree registered is undone.
        if (m_manager != nullptr)
            child->SetManager(m_manager, nullptr, false);
        child->Delete();
    }
    m_childNodes.Empty();
    if (m_parentNode != nullptr)
        m_parentNode->RemoveChildNode(this);
}

const wchar_t *CTreeNodeUI::GetClass() const
{
    return kClassName;
}

void *CTreeNodeUI::GetInterface(const wchar_t *name)
{
    if (name != nullptr && wcscmp(name, kClassName) == 0)
        return this;
    return CListContainerElementUI::GetInterface(name);
}

CTreeNodeUI *CTreeNodeUI::GetChildNode(int index) const
{
    return static_cast<CTreeNodeUI *>(m_childNodes.GetAt(index));
}

CTreeNodeUI *CTreeNodeUI::GetLastDescendant()
{
    CTreeNodeUI *last = this;
    while (last->GetCountChild() > 0)
        last = last->GetChildNode(last->GetCountChild() - 1);
    return last;
}

// The list keeps its items' indexes, so a node finds its place without searching the list.
int CTreeNodeUI::GetTreeIndex() const
{
    if (m_treeView == nullptr)
        return -1;
    auto *self = const_cast<CTreeNodeUI *>(this);
    if (m_treeView->GetItemAt(GetIndex()) == self)
        return GetIndex();
    return m_treeView->GetItemIndex(self);
}

// ---- Children ----

void CTreeNodeUI::PrepareChild(CTreeNodeUI *child)
{
    child->m_dotLine->SetVisible(true);
    child->m_dotLine->SetFixedWidth(m_dotLine->GetFixedWidth() + kIndent);
    child->m_parentNode = this;
    child->m_itemButton->SetGroup(m_itemButton->GetGroup().GetData());
    child->m_treeView = m_treeView;
}

bool CTreeNodeUI::Add(CControlUI *control)
{
    if (control != nullptr && _wcsicmp(control->GetClass(), kClassName) == 0)
        return AddChildNode(static_cast<CTreeNodeUI *>(control));
    return CContainerUI::AddAt(control, GetCount());
}

// In a tree view the child is shown right after the last node of this node's subtree.
bool CTreeNodeUI::AddChildNode(CTreeNodeUI *child)
{
    if (NodeOf(child) == nullptr)
        return false;
    PrepareChild(child);
    if (m_treeView != nullptr &&
        m_treeView->AddAtIndex(child, GetLastDescendant()->GetTreeIndex() + 1) < 0) {
        child->m_parentNode = nullptr;
        return false;
    }
    m_childNodes.Add(child);
    return true;
}

bool CTreeNodeUI::RemoveChildNode(CTreeNodeUI *child)
{
    const int index = m_childNodes.Find(child);
    if (index < 0)
        return false;
    m_childNodes.Remove(index);
    child->m_parentNode = nullptr;
    return true;
}

// A child appended goes before whatever follows this node's whole subtree in the tree
// view; one inserted goes before the child whose place it takes.
bool CTreeNodeUI::AddAt(CControlUI *control, int index)
{
    CTreeNodeUI *child = NodeOf(control);
    if (child == nullptr)
        return false;
    CControlUI *before = nullptr;
    if (m_childNodes.GetAt(index) == nullptr) {
        if (m_treeView != nullptr)
            before = m_treeView->GetItemAt(GetLastDescendant()->GetTreeIndex() + 1);
        m_childNodes.Add(child);
    } else {
        before = GetChildNode(index);
        m_childNodes.InsertAt(index, child);
    }
    PrepareChild(child);
    if (m_treeView == nullptr)
        return true;
    return before != nullptr ? m_treeView->AddBefore(child, before) : m_treeView->Add(child);
}

// ---- Selection, events and colours ----

bool CTreeNodeUI::Select(bool select, bool takeFocus)
{
    const bool result = CListContainerElementUI::Select(select, takeFocus);
    m_itemButton->SetTextColor(IsSelected() ? m_selItemTextColor : m_itemTextColor);
    return result;
}

void CTreeNodeUI::FollowMouse(bool entering)
{
    DWORD color;
    if (!IsEnabled())
        color = m_itemButton->GetDisabledTextColor();
    else if (entering)
        color =
            IsSelected() && m_selItemHotTextColor != 0 ? m_selItemHotTextColor : m_itemHotTextColor;
    else if (!IsSelected())
        color = m_itemTextColor;
    else if (m_selItemTextColor != 0)
        color = m_selItemTextColor;
    else
        return;
    m_itemButton->SetTextColor(color);
}

void CTreeNodeUI::DoEvent(ControlEvent &event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        if (m_core.owner != nullptr)
            m_core.owner->DoEvent(event);
        else
            CContainerUI::DoEvent(event);
        return;
    }
    CListContainerElementUI::DoEvent(event);
    if (event.type == EventDoubleClick && IsEnabled()) {
        if (m_manager != nullptr)
            m_manager->SendNotify(this, L"itemdbclick");
        ListItemCore::InvalidateVisiblePart(*this);
    } else if (event.type == EventMouseEnter) {
        FollowMouse(true);
    } else if (event.type == EventMouseLeave) {
        FollowMouse(false);
    }
}

void CTreeNodeUI::SetItemTextColor(DWORD color)
{
    m_itemTextColor = color;
    m_itemButton->SetTextColor(color);
}

void CTreeNodeUI::SetItemHotTextColor(DWORD color)
{
    m_itemHotTextColor = color;
    ListItemCore::InvalidateVisiblePart(*this);
}

void CTreeNodeUI::SetSelItemTextColor(DWORD color)
{
    m_selItemTextColor = color;
    ListItemCore::InvalidateVisiblePart(*this);
}

void CTreeNodeUI::SetSelItemHotTextColor(DWORD color)
{
    m_selItemHotTextColor = color;
    ListItemCore::InvalidateVisiblePart(*this);
}

void CTreeNodeUI::SetAttribute(const wchar_t *name, const wchar_t *value)
{
    if (name == nullptr || value == nullptr)
        return;
    if (Is(name, L"text"))
        m_itemButton->SetText(value);
    else if (Is(name, L"horizattr"))
        m_row->SetAttributeList(value);
    else if (Is(name, L"dotlineattr"))
        m_dotLine->SetAttributeList(value);
    else if (Is(name, L"folderattr"))
        m_folderButton->SetAttributeList(value);
    else if (Is(name, L"checkboxattr"))
        m_checkBox->SetAttributeList(value);
    else if (Is(name, L"itemattr"))
        m_itemButton->SetAttributeList(value);
    else if (Is(name, L"itemtextcolor"))
        SetItemTextColor(ValueText::ReadHexColor(value));
    else if (Is(name, L"itemhottextcolor"))
        SetItemHotTextColor(ValueText::ReadHexColor(value));
    else if (Is(name, L"selitemtextcolor"))
        SetSelItemTextColor(ValueText::ReadHexColor(value));
    else if (Is(name, L"selitemhottextcolor"))
        SetSelItemHotTextColor(ValueText::ReadHexColor(value));
    else
        CListContainerElementUI::SetAttribute(name, value);
}

} // namespace SkinUI
