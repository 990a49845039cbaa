#pragma once

#include "DibSurface.h"
#include "ListLabelElementUI.h"
#include "ListUI.h"
#include "TestWindow.h"

#include <cwchar>
#include <string>

// What the tests of the list family share: a real window holding one list, built from an
// attribute list and filled with label elements.
namespace ListFixture {

using namespace SkinUI;
using namespace SkinUI::Testing;

inline std::wstring Numbered(const wchar_t *stem, int n)
{
    return std::wstring(stem) + std::to_wstring(n);
}

// A top-level window of this thread with the class name: tests run side by side, and the
// windows of the other test programs are theirs.
inline HWND FindOwnWindow(const wchar_t *className)
{
    struct Search
    {
        const wchar_t *className;
        HWND found;
    } search = {className, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto *search = reinterpret_cast<Search *>(data);
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (wcscmp(name, search->className) != 0)
                return TRUE;
            search->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline CListLabelElementUI *NewLabel(const std::wstring &text)
{
    auto *item = new CListLabelElementUI;
    item->SetText(text.c_str());
    return item;
}

// A list of count labels "item0", "item1" ... over the whole window.
struct ListWindow
{
    ListWindow(int count, const wchar_t *attributes, int width = 200, int height = 200)
        : window(width, height), list(new CListUI)
    {
        list->SetAttributeList(attributes);
        for (int i = 0; i < count; ++i)
            list->Add(NewLabel(Numbered(L"item", i)));
        window.Attach(list);
    }

    // Lays the list out again now, as the next paint would.
    void LayOut() { list->SetPos(list->GetPos(), false); }

    // The tree painted over white.
    void Paint(DibSurface &surface)
    {
        surface.Fill(0xFFFFFFFF);
        window.Manager().GetRoot()->Paint(surface.Dc(), surface.Bounds(), nullptr);
    }

    int FontHeight() { return window.Manager().GetDefaultFontInfo()->metrics.tmHeight; }
    CControlUI *Item(int index) const { return list->GetItemAt(index); }
    IListItemUI *ListItem(int index) const
    {
        return static_cast<IListItemUI *>(list->GetItemAt(index)->GetInterface(L"IListItem"));
    }
    int Count(const wchar_t *type) { return window.Notifications().Count(type); }

    TestWindow window;
    CListUI *list;
};

} // namespace ListFixture
