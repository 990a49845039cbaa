#pragma once

#include <windows.h>

#include <string>

namespace SkinUI {

class CTreeNodeUI;
class CTreeViewUI;

namespace Testing {

// Lists and trees of many items, as the tests and the benchmark of the list family build
// them, and the processor time that takes.

// A tree view of folders: a top node and folderSize - 1 nodes under it, each folder added to
// the tree before its nodes; count nodes in all.
CTreeViewUI *NewTree(int count, int folderSize);
CTreeNodeUI *NewNode(const std::wstring &text);

// A skin of a window holding one owner ("List", "Combo") of count - 1 items of the class:
// with the owner, count controls, as many as one build makes at most.
std::wstring ItemsSkin(const wchar_t *owner, const wchar_t *itemClass, int count);
// A skin of a window holding a tree view of folders as NewTree makes them, count - 1 nodes.
std::wstring TreeSkin(int count, int folderSize);

// Processor time of the calling thread, in milliseconds.
double ThreadCpuMs();

} // namespace Testing
} // namespace SkinUI
