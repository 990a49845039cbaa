#pragma once

#include "ShadowBitmap.h"
#include "ShadowState.h"

#include <windows.h>

#include <cstdint>

// Once per process: looks up UpdateLayeredWindow and registers the window class
// "SkinShadowWnd". True only on the call that registered it; false when already done
// or when layered windows are missing, after which attach does nothing.
bool registerShadowClass(HINSTANCE instance);

// Loads a picture by name for the picture mode; the skin framework installs one.
using ShadowPictureLoader = bool (*)(const wchar_t *name, ShadowPicture &picture);

// A layered, click-through popup owned by a frameless window that draws a soft shadow
// around it and follows it by subclassing the window's procedure.
class CShadowWindow
{
public:
    CShadowWindow();
    virtual ~CShadowWindow();
    CShadowWindow(const CShadowWindow &) = delete;
    CShadowWindow &operator=(const CShadowWindow &) = delete;

    // Does nothing without layered windows, for a window that is not there, for a
    // second attach, or when the window already casts a shadow.
    void attach(HWND parent);

    bool setSize(int size);            // -20..20
    bool setSharpness(unsigned value); // 0..20
    bool setDarkness(unsigned darkness);
    bool setPosition(int x, int y);
    bool setColor(COLORREF color);
    // Picture mode: margins (left, top, right, bottom) by which the shadow window grows
    // around the parent, which are also the unscaled corners of the picture, then the
    // insets of the transparent hole against the parent's rectangle.
    bool setImage(const wchar_t *name, int left, int top, int right, int bottom, int holeLeft,
                  int holeTop, int holeRight, int holeBottom);
    void update(HWND parent);

    static void setPictureLoader(ShadowPictureLoader loader);
    static CShadowWindow *shadowOf(HWND parent);
    static int registeredCount();

    HWND shadowHandle() const { return shadow_; }
    uint8_t status() const { return state_.status(); }
    const ShadowParameters &parameters() const { return state_.parameters(); }

private:
    static LRESULT CALLBACK parentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void onParentMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void apply(ShadowState::Reaction reaction, HWND parent);
    void forgetParent();
    bool renderWhenStored(bool stored);
    bool shadowExists() const;
    POINT shadowOrigin(const RECT &parentRect) const;
    bool buildShadowMask(HWND parent, int width, int height, ShadowBitmap &bitmap) const;
    void present(const ShadowBitmap &bitmap, POINT origin);

    HWND parent_ = nullptr;
    HWND shadow_ = nullptr;
    WNDPROC savedProc_ = nullptr;
    ShadowState state_{ShadowState::Ranges::Restricted, ShadowState::ShowRender::AtPaint};
    ShadowPicture picture_;
    int pictureInsets_[8] = {};
};
