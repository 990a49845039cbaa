#include "DialogBuilder.h"

#include "BuildLimits.h"
#include "ContainerUI.h"
#include "ControlUI.h"
#include "HorizontalLayoutUI.h"
#include "TreeNodeUI.h"
#include "TreeViewUI.h"
#include "ValueText.h"
#include "WindowManagerUI.h"

#include <cwchar>

namespace SkinUI {

namespace {

const int kIncludeValueLength = 500;
const int kCoverValueLength = 256;

bool NameIs(const wchar_t *name, const wchar_t *wanted)
{
    return _wcsicmp(name, wanted) == 0;
}

bool IsResourceElement(const wchar_t *name)
{
    return NameIs(name, L"Image") || NameIs(name, L"Font") || NameIs(name, L"Default") ||
           NameIs(name, L"MultiLanguage");
}

// Booleans of the resource elements are true in any letter case.
bool IsTrueInAnyCase(const wchar_t *value)
{
    return value && _wcsicmp(value, L"true") == 0;
}

// The attributes of one resource element by case-insensitive name; a name written twice
// keeps its last value, names not asked for are ignored.
class ResourceAttributes
{
public:
    explicit ResourceAttributes(CXmlMarkupNode &node) : m_node(node) {}

    const wchar_t *Text(const wchar_t *name)
    {
        const wchar_t *found = nullptr;
        for (int i = 0; i < m_node.GetAttributeCount(); ++i) {
            if (NameIs(m_node.GetAttributeName(i), name))
                found = m_node.GetAttributeValue(i);
        }
        return found;
    }
    int Integer(const wchar_t *name, int fallback)
    {
        const wchar_t *text = Text(name);
        return text ? ValueText::ReadInteger(text) : fallback;
    }
    bool Flag(const wchar_t *name) { return IsTrueInAnyCase(Text(name)); }

private:
    CXmlMarkupNode &m_node;
};

void AddImage(ResourceAttributes &attributes, CWindowManagerUI *manager)
{
    const wchar_t *name = attributes.Text(L"name");
    if (!name)
        return;
    const wchar_t *mask = attributes.Text(L"mask");
    manager->AddImage(name, attributes.Text(L"restype"), mask ? ValueText::ReadHexColor(mask) : 0,
                      false, attributes.Flag(L"shared"));
}

void AddFont(ResourceAttributes &attributes, CWindowManagerUI *manager)
{
    const int id = attributes.Integer(L"id", -1);
    const wchar_t *face = attributes.Text(L"name");
    if (id < 0 || !face)
        return;
    const int size = attributes.Integer(L"size", 12);
    const bool bold = attributes.Flag(L"bold");
    const bool underline = attributes.Flag(L"underline");
    const bool italic = attributes.Flag(L"italic");
    const bool shared = attributes.Flag(L"shared");
    manager->AddFont(id, face, size, bold, underline, italic, shared);
    if (attributes.Flag(L"default"))
        manager->SetDefaultFont(face, size, bold, underline, italic, shared);
}

void AddDefaultAttributeList(ResourceAttributes &attributes, CWindowManagerUI *manager)
{
    const wchar_t *className = attributes.Text(L"name");
    if (!className)
        return;
    const wchar_t *list = attributes.Text(L"value");
    manager->AddDefaultAttributeList(className, list ? list : L"", attributes.Flag(L"shared"));
}

void AddLanguageString(ResourceAttributes &attributes)
{
    const int id = attributes.Integer(L"id", -1);
    const wchar_t *text = attributes.Text(L"value");
    if (id >= 0 && text)
        CWindowManagerUI::AddLanguageString(id, text);
}

// Deletes a control the build cannot place. It is bound to the manager first, so that it is
// released the way a control taken out of the tree is: what it and its subtree registered
// while their attributes were applied (the focus, an option group, a message filter, a
// timer) is undone by their destructors and the manager's forgetting of them.
void Drop(CControlUI *control, CWindowManagerUI *manager)
{
    if (manager)
        control->SetManager(manager, nullptr, false);
    control->Delete();
}

} // namespace

CDialogBuilder::CDialogBuilder() : m_callback(nullptr), m_resourceType(nullptr), m_includeDepth(0)
{
}

CControlUI *CDialogBuilder::CreateFromSource(ResourceNameOrId source, const wchar_t *resourceType,
                                             IDialogBuilderCallback *callback,
                                             CWindowManagerUI *manager, CControlUI *parent)
{
    if (source.IsNumber()) {
        if (!LoadResource(source, resourceType))
            return nullptr;
    } else {
        const wchar_t *text = source.GetValue();
        if (!text)
            return nullptr;
        const bool loaded = text[0] == L'<' ? m_document.Load(text)
                                            : m_document.LoadFromFile(text, XmlEncoding::Utf8);
        if (!loaded)
            return nullptr;
    }
    return Create(callback, manager, parent);
}

bool CDialogBuilder::LoadResource(ResourceNameOrId source, const wchar_t *resourceType)
{
    HINSTANCE module = CWindowManagerUI::GetResourceInstance();
    HRSRC found = FindResourceW(module, source, resourceType);
    if (!found)
        return false;
    HGLOBAL loaded = ::LoadResource(module, found);
    if (!loaded)
        return false;
    const void *bytes = LockResource(loaded);
    const DWORD size = SizeofResource(module, found);
    const bool parsed = bytes && m_document.LoadFromMem(static_cast<const uint8_t *>(bytes), size,
                                                        XmlEncoding::Utf8);
    FreeResource(loaded);
    if (parsed)
        m_resourceType = resourceType;
    return parsed;
}

CControlUI *CDialogBuilder::Create(IDialogBuilderCallback *callback, CWindowManagerUI *manager,
                                   CControlUI *parent)
{
    m_callback = callback;
    CBuildLimits::Session session;
    CXmlMarkupNode root = m_document.GetRoot();
    if (!root.IsValid())
        return nullptr;
    if (manager) {
        ReadResources(root, manager);
        ApplyWindowAttributes(root, manager);
    }
    return Parse(root, parent, manager);
}

void CDialogBuilder::ReadResources(CXmlMarkupNode root, CWindowManagerUI *manager)
{
    for (CXmlMarkupNode node = root.GetChild(); node.IsValid(); node = node.GetSibling()) {
        const wchar_t *name = node.GetName();
        ResourceAttributes attributes(node);
        if (NameIs(name, L"Image"))
            AddImage(attributes, manager);
        else if (NameIs(name, L"Font"))
            AddFont(attributes, manager);
        else if (NameIs(name, L"Default"))
            AddDefaultAttributeList(attributes, manager);
        else if (NameIs(name, L"MultiLanguage"))
            AddLanguageString(attributes);
    }
}

void CDialogBuilder::ApplyWindowAttributes(CXmlMarkupNode root, CWindowManagerUI *manager)
{
    if (!NameIs(root.GetName(), L"Window") || !manager->GetPaintWindow())
        return;
    for (int i = 0; i < root.GetAttributeCount(); ++i)
        manager->SetWindowAttribute(root.GetAttributeName(i), root.GetAttributeValue(i));
}

CControlUI *CDialogBuilder::Parse(CXmlMarkupNode node, CControlUI *parent,
                                  CWindowManagerUI *manager)
{
    if (!CBuildLimits::MayNest())
        return nullptr;
    CControlUI *first = nullptr;
    IContainerUI *container = nullptr;
    for (CXmlMarkupNode element = node.GetChild(); element.IsValid();
         element = element.GetSibling()) {
        const wchar_t *className = element.GetName();
        if (IsResourceElement(className))
            continue;
        if (NameIs(className, L"Include")) {
            BuildInclude(element, parent, manager);
            continue;
        }
        if (!CBuildLimits::CountControl())
            break;
        if (NameIs(className, L"TreeNode")) {
            if (parent && !BuildTreeNode(element, parent, manager))
                return nullptr;
            continue;
        }
        CControlUI *control = CreateControl(className);
        if (!control)
            continue;
        // Without a parent only the first control has an owner: the caller, who gets it.
        if (!parent && first) {
            Drop(control, manager);
            continue;
        }
        if (element.HasChildren())
            ParseChildren(element, control, manager);

        if (parent) {
            wchar_t cover[kCoverValueLength] = {};
            if (element.GetAttributeValue(L"cover", cover, kCoverValueLength) &&
                wcscmp(cover, L"true") == 0) {
                // The parent deletes the cover this one replaces.
                if (CControlUI *replaced = parent->GetCover(); replaced && manager)
                    replaced->SetManager(manager, parent, false);
                parent->SetCover(control);
            } else if (auto *node = static_cast<CTreeNodeUI *>(parent->GetInterface(L"TreeNode"))) {
                // A tree node's own controls stand in its row.
                node->GetRow()->Add(control);
            } else {
                if (!container)
                    container = static_cast<IContainerUI *>(parent->GetInterface(L"IContainer"));
                if (!container) {
                    Drop(control, manager);
                    return nullptr;
                }
                if (!container->Add(control)) {
                    Drop(control, manager);
                    continue;
                }
            }
        }
        ApplyAttributes(element, control, manager);
        if (!first)
            first = control;
    }
    return first;
}

// The children of an element are one level deeper than the element's control.
void CDialogBuilder::ParseChildren(CXmlMarkupNode node, CControlUI *parent,
                                   CWindowManagerUI *manager)
{
    CBuildLimits::Level level;
    Parse(node, parent, manager);
}

// A node joins its parent node before its attributes and children, or its tree view after
// them. False when the parent is neither: the siblings that follow are not read.
bool CDialogBuilder::BuildTreeNode(CXmlMarkupNode node, CControlUI *parent,
                                   CWindowManagerUI *manager)
{
    auto *parentNode = static_cast<CTreeNodeUI *>(parent->GetInterface(L"TreeNode"));
    auto *treeNode = new CTreeNodeUI;
    if (parentNode && !parentNode->Add(treeNode)) {
        Drop(treeNode, manager);
        return true;
    }
    if (manager) {
        treeNode->SetManager(manager, nullptr, false);
        if (const wchar_t *list = manager->GetDefaultAttributeList(node.GetName()))
            treeNode->SetAttributeList(list);
    }
    for (int i = 0; i < node.GetAttributeCount(); ++i)
        treeNode->SetAttribute(node.GetAttributeName(i), node.GetAttributeValue(i));
    if (node.HasChildren())
        ParseChildren(node, treeNode, manager);
    if (parentNode)
        return true;
    auto *treeView = static_cast<CTreeViewUI *>(parent->GetInterface(L"TreeView"));
    if (!treeView) {
        Drop(treeNode, manager);
        return false;
    }
    if (!treeView->Add(treeNode))
        Drop(treeNode, manager);
    return true;
}

void CDialogBuilder::ApplyAttributes(CXmlMarkupNode node, CControlUI *control,
                                     CWindowManagerUI *manager)
{
    if (manager) {
        control->SetManager(manager, nullptr, false);
        if (const wchar_t *list = manager->GetDefaultAttributeList(node.GetName()))
            control->SetAttributeList(list);
    }
    for (int i = 0; i < node.GetAttributeCount(); ++i)
        control->SetAttribute(node.GetAttributeName(i), node.GetAttributeValue(i));
    // The manager binds the tree for good when it takes it.
    if (manager)
        control->SetManager(nullptr, nullptr, false);
}

void CDialogBuilder::BuildInclude(CXmlMarkupNode node, CControlUI *parent,
                                  CWindowManagerUI *manager)
{
    if (!node.HasAttributes())
        return;
    if (m_includeDepth >= kMaxIncludeDepth) {
        CBuildLimits::ReportDeepInclude();
        return;
    }
    wchar_t count[kIncludeValueLength] = {};
    wchar_t source[kIncludeValueLength] = {};
    const int times = node.GetAttributeValue(L"count", count, kIncludeValueLength)
                          ? ValueText::ReadInteger(count)
                          : 1;
    if (!node.GetAttributeValue(L"source", source, kIncludeValueLength))
        return;
    for (int i = 0; i < times && CBuildLimits::CountInclude(); ++i) {
        const int controlsBefore = CBuildLimits::ControlsMade();
        CDialogBuilder included;
        included.m_includeDepth = m_includeDepth + 1;
        CControlUI *built =
            m_resourceType
                ? included.CreateFromSource(
                      static_cast<unsigned int>(ValueText::ReadInteger(source)), m_resourceType,
                      m_callback, manager, parent)
                : included.CreateFromSource(source, nullptr, m_callback, manager, parent);
        // Included controls only ever join a parent; without one they have no owner.
        if (built && !parent)
            Drop(built, manager);
        // Another round would read the same document to the same end: a source that does
        // not load, or one that makes no control, stops the repeating.
        if (!included.m_document.GetRoot().IsValid() ||
            CBuildLimits::ControlsMade() == controlsBefore)
            break;
    }
}

CControlUI *CDialogBuilder::CreateControl(const wchar_t *className) const
{
    if (CControlUI *control = CreateBuiltInControl(className))
        return control;
    CPointerArray &factories = CWindowManagerUI::GetControlFactories();
    for (int i = 0; i < factories.GetCount(); ++i) {
        auto factory = reinterpret_cast<ControlFactoryFunction>(factories.GetAt(i));
        if (CControlUI *control = factory(className))
            return control;
    }
    return m_callback ? m_callback->CreateControl(className) : nullptr;
}

} // namespace SkinUI
