#include "ChildLayoutUI.h"

#include "BuildLimits.h"
#include "DialogBuilder.h"

#include <cwchar>

namespace SkinUI {

const wchar_t *const CChildLayoutUI::kClassName = L"ChildLayout";

namespace {

// How many child layouts are being built inside one another on this thread right now.
thread_local int nestedBuilds = 0;

class NestedBuild
{
public:
    NestedBuild() { ++nestedBuilds; }
    NestedBuild(const NestedBuild &) = delete;
    NestedBuild &operator=(const NestedBuild &) = delete;
    ~NestedBuild() { --nestedBuilds; }
};

} // namespace

CChildLayoutUI::CChildLayoutUI() = default;

CChildLayoutUI::~CChildLayoutUI() = default;

const wchar_t *CChildLayoutUI::GetClass() const
{
    return kClassName;
}

// Only the child layout itself and the control base: the dialog builder puts no skin
// children into it.
void *CChildLayoutUI::GetInterface(const wchar_t *name)
{
    if (name && wcscmp(name, kClassName) == 0)
        return this;
    return CControlUI::GetInterface(name);
}

void CChildLayoutUI::SetAttribute(const wchar_t *name, const wchar_t *value)
{
    if (name != nullptr && value != nullptr && wcscmp(name, L"xmlfile") == 0)
        SetChildLayoutXML(value);
    else
        CContainerUI::SetAttribute(name, value);
}

// Takes the place of the control's initialisation: no DoInit and no init listeners. The
// built tree is initialised as it is added, which is where a nested child layout builds.
void CChildLayoutUI::Init()
{
    if (m_xmlFile.IsEmpty())
        return;
    // Bound again (a combo box binds its items each time it opens), it keeps the tree it
    // built rather than adding another copy of it.
    if (GetCount() > 0)
        return;
    if (nestedBuilds >= kMaxNestingDepth) {
        RemoveAll();
        return;
    }
    // Its source is read as an included document is, and counts as one.
    CBuildLimits::Session session;
    if (!CBuildLimits::CountInclude()) {
        RemoveAll();
        return;
    }
    NestedBuild nested;
    // The built tree stands one level below this control, and so do the child layouts
    // inside it, which build while it is added.
    CBuildLimits::Level ownLevel;
    CControlUI *root = nullptr;
    {
        CDialogBuilder builder;
        root = builder.CreateFromSource(m_xmlFile.GetData(), nullptr, nullptr, m_manager, nullptr);
    }
    if (root == nullptr)
        RemoveAll();
    else if (!Add(root))
        root->Delete();
}

} // namespace SkinUI
