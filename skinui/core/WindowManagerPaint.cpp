#include "WindowManagerUI.h"

#include "ControlUI.h"
#include "GdiPainter.h"
#include "ImageEntry.h"
#include "ManagerProcessState.h"

#include <cstring>

namespace SkinUI {

namespace {

typedef BOOL(WINAPI *UpdateLayeredWindowProc)(HWND, HDC, POINT *, SIZE *, HDC, POINT *, COLORREF,
                                              BLENDFUNCTION *, DWORD);

UpdateLayeredWindowProc UpdateLayeredWindowEntry()
{
    static UpdateLayeredWindowProc entry = [] {
        HMODULE user32 = GetModuleHandleW(L"User32.dll");
        FARPROC proc = user32 ? GetProcAddress(user32, "UpdateLayeredWindow") : nullptr;
        return reinterpret_cast<UpdateLayeredWindowProc>(reinterpret_cast<void (*)()>(proc));
    }();
    return entry;
}

HBITMAP CreateDib32(HDC dc, int width, int height, DWORD **bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // bottom-up rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    *bits = bitmap ? static_cast<DWORD *>(pixels) : nullptr;
    return bitmap;
}

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP info = {};
    if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info))
        return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

// Whether a surface, where there is one, has the size of the client area.
bool SurfaceFitsClient(HBITMAP bitmap, const RECT &client)
{
    if (!bitmap)
        return true;
    SIZE size = BitmapSize(bitmap);
    return size.cx == client.right - client.left && size.cy == client.bottom - client.top;
}

// Clears the pixels of a bottom-up 32-bit surface of the given height inside rect.
void ClearBottomUp(DWORD *bits, int width, int height, const RECT &rect)
{
    for (int y = rect.top; y < rect.bottom && y < height; ++y) {
        if (y < 0)
            continue;
        DWORD *row = bits + static_cast<size_t>(height - 1 - y) * width;
        int left = rect.left < 0 ? 0 : rect.left;
        int right = rect.right > width ? width : rect.right;
        if (right > left)
            memset(row + left, 0, static_cast<size_t>(right - left) * sizeof(DWORD));
    }
}

void FillOpaqueBlack(HDC dc, const RECT &rect)
{
    COLORREF previous = SetBkColor(dc, RGB(0, 0, 0));
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(dc, previous);
}

CControlUI *CollectNeedsLayout(CControlUI *control, void *data)
{
    if (!control->NeedsLayout())
        return nullptr;
    static_cast<CPointerArray *>(data)->Add(control);
    return control; // not descending below a collected control
}

} // namespace

bool CWindowManagerUI::HandlePaint()
{
    PAINTSTRUCT paintStruct = {};
    if (!m_root) {
        HDC dc = BeginPaint(m_paintWindow, &paintStruct);
        FillOpaqueBlack(dc, paintStruct.rcPaint);
        EndPaint(m_paintWindow, &paintStruct);
        return true;
    }

    RECT client;
    GetClientRect(m_paintWindow, &client);
    RECT paint;
    if (m_layered) {
        m_offscreen = true;
        paint = m_pendingUpdate;
        if (IsRectEmpty(&paint)) {
            BeginPaint(m_paintWindow, &paintStruct);
            EndPaint(m_paintWindow, &paintStruct);
            return true;
        }
        if (paint.right > client.right)
            paint.right = client.right;
        if (paint.bottom > client.bottom)
            paint.bottom = client.bottom;
        SetRectEmpty(&m_pendingUpdate);
    } else if (!GetUpdateRect(m_paintWindow, &paint, FALSE)) {
        return true;
    }

    if (m_focusNeeded)
        MoveFocusToNextTabStop(true);
    m_painting = true;
    // The surfaces are made again with the root's layout, which a hidden root never needs:
    // after a resize they would no longer fit the client area that is painted into them.
    if (!SurfaceFitsClient(m_offscreenBitmap, client))
        DeleteSurfaces();

    if (m_layoutNeeded) {
        if (LayOutForPaint(client))
            return true;
    } else if (m_layered && m_layeredFullUpdate) {
        if (m_offscreenBits) {
            SIZE size = BitmapSize(m_offscreenBitmap);
            memset(m_offscreenBits, 0, static_cast<size_t>(size.cx) * size.cy * sizeof(DWORD));
        }
        m_root->SetPos(client, true);
    }

    if (m_offscreen && !m_offscreenBitmap)
        CreateOffscreenSurface(client);

    BeginPaint(m_paintWindow, &paintStruct);
    if (m_offscreen && m_offscreenBitmap) {
        PaintOffscreen(client, paint);
    } else {
        int saved = SaveDC(m_paintDC);
        m_root->Paint(m_paintDC, paint, nullptr);
        RestoreDC(m_paintDC, saved);
    }
    EndPaint(m_paintWindow, &paintStruct);

    m_painting = false;
    m_layeredFullUpdate = false;
    // A focus move that waited for this paint's layout happens on the next paint, which
    // must come even when nothing else changes.
    if (m_layoutNeeded || m_focusNeeded)
        InvalidateAll();
    return true;
}

// Lays the tree out before painting; true when the paint ends here (a layered window's
// full update is drawn by the next paint).
bool CWindowManagerUI::LayOutForPaint(const RECT &client)
{
    m_layoutNeeded = false;
    if (!IsRectEmpty(&client)) {
        if (m_root->NeedsLayout()) {
            DeleteSurfaces();
            m_root->SetPos(client, true);
        } else {
            m_layoutScratch.Empty();
            m_root->FindControl(CollectNeedsLayout, &m_layoutScratch,
                                FindVisibleOnly | FindPrune | FindSelfFirst);
            for (int i = 0; i < m_layoutScratch.GetCount(); ++i) {
                auto *control = static_cast<CControlUI *>(m_layoutScratch[i]);
                control->SetPos(control->IsFloat() ? control->GetRelativePos() : control->GetPos(),
                                true);
            }
            m_layoutScratch.Empty();
        }
    }
    if (m_windowInitPending) {
        m_windowInitPending = false;
        SendNotify(m_root, L"windowinit");
    }
    if (m_layered && m_layeredFullUpdate) {
        InvalidateAll();
        m_painting = false;
        return true;
    }
    return false;
}

void CWindowManagerUI::CreateOffscreenSurface(const RECT &client)
{
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    m_offscreenDC = CreateCompatibleDC(m_paintDC);
    if (m_layered)
        m_offscreenBitmap = CreateDib32(m_paintDC, width, height, &m_offscreenBits);
    else
        m_offscreenBitmap = CreateCompatibleBitmap(m_paintDC, width, height);
    if (!m_offscreenDC || !m_offscreenBitmap)
        DeleteSurfaces();
}

void CWindowManagerUI::PaintOffscreen(const RECT &client, const RECT &paint)
{
    HGDIOBJ previous = SelectObject(m_offscreenDC, m_offscreenBitmap);
    int saved = SaveDC(m_offscreenDC);
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    if (m_layered && !m_layeredImage.image && m_offscreenBits)
        ClearBottomUp(m_offscreenBits, width, height, paint);
    m_root->Paint(m_offscreenDC, paint, nullptr);
    if (m_layered)
        PaintNativeChildren(paint);
    CPointerArray postPaint(m_postPaintControls);
    for (int i = 0; i < postPaint.GetCount(); ++i) {
        if (m_postPaintControls.Find(postPaint[i]) >= 0)
            static_cast<CControlUI *>(postPaint[i])->PostPaint(m_offscreenDC, paint);
    }
    RestoreDC(m_offscreenDC, saved);

    if (m_layered) {
        PaintLayeredBackground(client, paint);
        RECT window;
        GetWindowRect(m_paintWindow, &window);
        POINT position = {window.left, window.top};
        SIZE size = {width, height};
        POINT source = {0, 0};
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, m_layeredOpacity, AC_SRC_ALPHA};
        if (UpdateLayeredWindowProc update = UpdateLayeredWindowEntry())
            update(m_paintWindow, m_paintDC, &position, &size, m_offscreenDC, &source, 0, &blend,
                   ULW_ALPHA);
    } else {
        BitBlt(m_paintDC, paint.left, paint.top, paint.right - paint.left, paint.bottom - paint.top,
               m_offscreenDC, paint.left, paint.top, SRCCOPY);
    }
    SelectObject(m_offscreenDC, previous);

    if (m_showDirty && !m_layered) {
        HGDIOBJ oldPen = SelectObject(m_paintDC, ManagerProcessState::Get().updatePen);
        HGDIOBJ oldBrush = SelectObject(m_paintDC, GetStockObject(HOLLOW_BRUSH));
        Rectangle(m_paintDC, paint.left, paint.top, paint.right, paint.bottom);
        SelectObject(m_paintDC, oldPen);
        SelectObject(m_paintDC, oldBrush);
    }
}

// The layered image is rendered once into a surface of its own (again after a full update)
// and gives its alpha to every painted pixel.
void CWindowManagerUI::PaintLayeredBackground(const RECT &client, const RECT &paint)
{
    ImageEntry *image = m_layeredImage.image;
    if (!image || !m_offscreenBits)
        return;
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    size_t pixelCount = static_cast<size_t>(width) * height;
    bool render = m_layeredFullUpdate;
    if (!m_backgroundDC) {
        m_backgroundDC = CreateCompatibleDC(m_paintDC);
        m_backgroundBitmap = CreateDib32(m_paintDC, width, height, &m_backgroundBits);
        if (!m_backgroundDC || !m_backgroundBitmap) {
            if (m_backgroundDC)
                DeleteDC(m_backgroundDC);
            if (m_backgroundBitmap)
                DeleteObject(m_backgroundBitmap);
            m_backgroundDC = nullptr;
            m_backgroundBitmap = nullptr;
            m_backgroundBits = nullptr;
            return;
        }
        SelectObject(m_backgroundDC, m_backgroundBitmap);
        render = true;
    }
    if (render) {
        memset(m_backgroundBits, 0, pixelCount * sizeof(DWORD));
        CGdiPainter::DrawImageDescriptor(m_backgroundDC, this, client, client, m_layeredImage);
        GdiFlush();
    }
    if (!image->hasAlpha)
        return;
    for (int y = paint.top; y < paint.bottom; ++y) {
        size_t row = static_cast<size_t>(height - 1 - y) * width;
        for (int x = paint.left; x < paint.right; ++x) {
            DWORD alpha = m_backgroundBits[row + x] >> 24;
            DWORD pixel = m_offscreenBits[row + x];
            DWORD blue = (pixel & 0xFF) * alpha / 255;
            DWORD green = ((pixel >> 8) & 0xFF) * alpha / 255;
            DWORD red = ((pixel >> 16) & 0xFF) * alpha / 255;
            m_offscreenBits[row + x] = (alpha << 24) | (red << 16) | (green << 8) | blue;
        }
    }
}

void CWindowManagerUI::PaintNativeChildren(const RECT &paint)
{
    for (int i = m_nativeWindows.GetCount() - 1; i >= 0; --i) {
        auto child = static_cast<HWND>(m_nativeWindows[i]);
        if (!IsWindow(child)) {
            m_nativeWindows.Remove(i);
            m_nativeWindowControls.Remove(i);
            continue;
        }
        if (!IsWindowVisible(child))
            continue;
        RECT childRect = GetNativeWindowRect(child);
        RECT overlap;
        if (!IntersectRect(&overlap, &childRect, &paint))
            continue;
        int width = childRect.right - childRect.left;
        int height = childRect.bottom - childRect.top;
        DWORD *bits = nullptr;
        HDC childDC = CreateCompatibleDC(m_offscreenDC);
        HBITMAP childBitmap = CreateDib32(m_offscreenDC, width, height, &bits);
        if (childDC && childBitmap) {
            HGDIOBJ previous = SelectObject(childDC, childBitmap);
            memset(bits, 0, static_cast<size_t>(width) * height * sizeof(DWORD));
            SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(childDC),
                         PRF_CHECKVISIBLE | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
            GdiFlush();
            for (int p = 0; p < width * height; ++p) {
                if (bits[p] != 0)
                    bits[p] |= 0xFF000000;
            }
            BitBlt(m_offscreenDC, childRect.left, childRect.top, width, height, childDC, 0, 0,
                   SRCCOPY);
            SelectObject(childDC, previous);
        }
        if (childBitmap)
            DeleteObject(childBitmap);
        if (childDC)
            DeleteDC(childDC);
    }
}

} // namespace SkinUI
