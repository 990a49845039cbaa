#pragma once

#include <windows.h>

namespace SkinUI {

// Wraps one native window: class registration (an own class or a superclass of another),
// creation, the static window procedures that bind the window to its object, show, a modal
// loop, centring, icon and close. The object is bound from WM_NCCREATE to WM_NCDESTROY;
// OnFinalMessage is where a window object may delete itself.
class CWindowWnd
{
public:
    CWindowWnd();
    CWindowWnd(const CWindowWnd &) = delete;
    CWindowWnd &operator=(const CWindowWnd &) = delete;

    HWND GetHWND() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    bool RegisterWindowClass();
    bool RegisterSuperclass();
    HWND Create(HWND parent, const wchar_t *title, DWORD style, DWORD extendedStyle,
                int x = CW_USEDEFAULT, int y = CW_USEDEFAULT, int width = CW_USEDEFAULT,
                int height = CW_USEDEFAULT, HMENU menu = nullptr);
    HWND Create(HWND parent, const wchar_t *title, DWORD style, DWORD extendedStyle,
                const RECT &rect, HMENU menu = nullptr);
    void ShowWindow(bool show = true, bool takeFocus = true);
    // Runs a message loop until the window is gone; the result is the one given to Close.
    UINT ShowModal();
    void Close(UINT result = IDOK);
    void CenterWindow();
    void SetIcon(UINT resourceId);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    virtual const wchar_t *GetWindowClassName() const = 0;
    virtual const wchar_t *GetSuperClassName() const;
    virtual UINT GetClassStyle() const;
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnFinalMessage(HWND window);

    static LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam);
    static LRESULT CALLBACK StaticSubclassProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam);

protected:
    ~CWindowWnd() = default;

private:
    // Both window procedures: the object is bound through the user data of own classes and
    // through a window property of superclasses, whose user data belongs to the class they
    // extend.
    static LRESULT Route(bool useProperty, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    HWND m_hWnd;
    WNDPROC m_oldWndProc;
};

} // namespace SkinUI
