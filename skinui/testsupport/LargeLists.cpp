#include "LargeLists.h"

#include "TreeNodeUI.h"
#include "TreeViewUI.h"

namespace SkinUI {
namespace Testing {

CTreeNodeUI *NewNode(const std::wstring &text)
{
    auto *node = new CTreeNodeUI;
    node->SetAttribute(L"text", text.c_str());
    return node;
}

CTreeViewUI *NewTree(int count, int folderSize)
{
    auto *tree = new CTreeViewUI;
    tree->SetAttribute(L"vscrollbar", L"true");
    for (int made = 0; made < count;) {
        CTreeNodeUI *folder = NewNode(L"folder " + std::to_wstring(made));
        tree->Add(folder);
        ++made;
        for (int i = 1; i < folderSize && made < count; ++i, ++made)
            folder->Add(NewNode(L"node " + std::to_wstring(made)));
    }
    return tree;
}

std::wstring ItemsSkin(const wchar_t *owner, const wchar_t *itemClass, int count)
{
    std::wstring skin = std::wstring(L"<Window><") + owner + L" itemheight=\"20\">";
    for (int i = 1; i < count; ++i)
        skin += std::wstring(L"<") + itemClass + L" text=\"item " + std::to_wstring(i) + L"\"/>";
    return skin + L"</" + owner + L"></Window>";
}

std::wstring TreeSkin(int count, int folderSize)
{
    std::wstring skin = L"<Window><TreeView vscrollbar=\"true\">";
    for (int made = 1; made < count;) {
        skin += L"<TreeNode text=\"folder\">";
        ++made;
        for (int i = 1; i < folderSize && made < count; ++i, ++made)
            skin += L"<TreeNode text=\"node " + std::to_wstring(made) + L"\"/>";
        skin += L"</TreeNode>";
    }
    return skin + L"</TreeView></Window>";
}

double ThreadCpuMs()
{
    FILETIME creation, exit, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &creation, &exit, &kernel, &user))
        return 0.0;
    auto ms = [](const FILETIME &time) {
        // FILETIME counts 100 ns.
        return static_cast<double>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) |
                                   time.dwLowDateTime) /
               10000.0;
    };
    return ms(kernel) + ms(user);
}

} // namespace Testing
} // namespace SkinUI
