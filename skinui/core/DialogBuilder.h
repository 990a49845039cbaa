#pragma once

#include "ResourceNameOrId.h"
#include "XmlMarkup.h"

namespace SkinUI {

class CControlUI;
class CWindowManagerUI;

// Asked by the dialog builder for the controls of class names it does not know itself.
class IDialogBuilderCallback
{
public:
    // A new control for the class name, or null when the name is not known here either.
    virtual CControlUI *CreateControl(const wchar_t *className) = 0;

protected:
    ~IDialogBuilderCallback() = default;
};

// Turns one skin XML document into a tree of controls for one window manager: registers the
// window-wide resources the document declares (images, fonts, default attribute lists,
// language strings), applies the document element's attributes to the window and creates
// one control per element. Made on the stack for one build; the controls belong to whoever
// receives the result.
class CDialogBuilder
{
public:
    // Included documents that include again are refused below this many levels, so that a
    // skin that includes itself, directly or through another, ends.
    static constexpr int kMaxIncludeDepth = 8;

    CDialogBuilder();
    CDialogBuilder(const CDialogBuilder &) = delete;
    CDialogBuilder &operator=(const CDialogBuilder &) = delete;

    // The source is a numeric resource id (of the given type, in the manager's resource
    // module), markup text starting with "<", or the name of a skin file.
    CControlUI *CreateFromSource(ResourceNameOrId source, const wchar_t *resourceType = nullptr,
                                 IDialogBuilderCallback *callback = nullptr,
                                 CWindowManagerUI *manager = nullptr, CControlUI *parent = nullptr);
    CControlUI *Create(IDialogBuilderCallback *callback = nullptr,
                       CWindowManagerUI *manager = nullptr, CControlUI *parent = nullptr);

    CXmlMarkup &GetMarkup() { return m_document; }

    // The control of a class in the framework's own table, or null for any other name.
    static CControlUI *CreateBuiltInControl(const wchar_t *className);

private:
    bool LoadResource(ResourceNameOrId source, const wchar_t *resourceType);
    void ReadResources(CXmlMarkupNode root, CWindowManagerUI *manager);
    void ApplyWindowAttributes(CXmlMarkupNode root, CWindowManagerUI *manager);
    CControlUI *Parse(CXmlMarkupNode node, CControlUI *parent, CWindowManagerUI *manager);
    void ParseChildren(CXmlMarkupNode node, CControlUI *parent, CWindowManagerUI *manager);
    void BuildInclude(CXmlMarkupNode node, CControlUI *parent, CWindowManagerUI *manager);
    bool BuildTreeNode(CXmlMarkupNode node, CControlUI *parent, CWindowManagerUI *manager);
    CControlUI *CreateControl(const wchar_t *className) const;
    static void ApplyAttributes(CXmlMarkupNode node, CControlUI *control,
                                CWindowManagerUI *manager);

    CXmlMarkup m_document;
    IDialogBuilderCallback *m_callback;
    const wchar_t *m_resourceType;
    int m_includeDepth;
};

} // namespace SkinUI
