#include "CShadowWindowWin32.h"

#include "ShadowRegistry.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace {

using UpdateLayeredWindowFunction = BOOL(WINAPI *)(HWND, HDC, POINT *, SIZE *, HDC, POINT *,
                                                   COLORREF, BLENDFUNCTION *, DWORD);

constexpr wchar_t kClassName[] = L"SkinShadowWnd";
// Keeps the procedure a shadow replaced on its parent, so that the parent still reaches
// it when the shadow object has gone while another subclass sat on top of ours.
constexpr wchar_t kSavedProcProperty[] = L"SkinShadowWnd.SavedProc";

UpdateLayeredWindowFunction updateLayeredWindow = nullptr;
HINSTANCE shadowInstance = nullptr;
ShadowPictureLoader pictureLoader = nullptr;

ShadowRegistry<HWND, CShadowWindow> &shadowRegistry()
{
    static ShadowRegistry<HWND, CShadowWindow> registry;
    return registry;
}

LRESULT CALLBACK shadowWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MOUSEACTIVATE)
        return MA_NOACTIVATE;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Owns one GDI object (a region or a bitmap) and deletes it.
template <typename Handle> class ScopedGdiObject
{
public:
    explicit ScopedGdiObject(Handle handle) : handle_(handle) {}
    ~ScopedGdiObject()
    {
        if (handle_)
            DeleteObject(handle_);
    }
    ScopedGdiObject(const ScopedGdiObject &) = delete;
    ScopedGdiObject &operator=(const ScopedGdiObject &) = delete;
    Handle get() const { return handle_; }

private:
    Handle handle_;
};

class ScopedMemoryDc
{
public:
    ScopedMemoryDc()
    {
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        ReleaseDC(nullptr, screen);
    }
    ~ScopedMemoryDc()
    {
        if (dc_)
            DeleteDC(dc_);
    }
    ScopedMemoryDc(const ScopedMemoryDc &) = delete;
    ScopedMemoryDc &operator=(const ScopedMemoryDc &) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

class ScopedSelection
{
public:
    ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~ScopedSelection() { SelectObject(dc_, old_); }
    ScopedSelection(const ScopedSelection &) = delete;
    ScopedSelection &operator=(const ScopedSelection &) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

} // namespace

bool registerShadowClass(HINSTANCE instance)
{
    static bool done = false;
    if (done)
        return false;
    done = true;

    HMODULE user32 = GetModuleHandleW(L"USER32.DLL");
    if (!user32)
        return false;
    // Through void(*)() so that the cast to the real signature draws no warning.
    const auto function = reinterpret_cast<UpdateLayeredWindowFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(user32, "UpdateLayeredWindow")));
    if (!function)
        return false;

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = shadowWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassExW(&windowClass))
        return false;
    updateLayeredWindow = function;
    shadowInstance = instance;
    return true;
}

CShadowWindow::CShadowWindow() = default;

CShadowWindow::~CShadowWindow()
{
    if (shadowExists()) {
        if (GetWindowThreadProcessId(shadow_, nullptr) == GetCurrentThreadId())
            DestroyWindow(shadow_);
        else
            PostMessageW(shadow_, WM_CLOSE, 0, 0);
    }
    if (!parent_)
        return;
    // Put the parent's procedure back only while it is still ours; otherwise the saved
    // procedure stays reachable through the window property.
    if (IsWindow(parent_) &&
        GetWindowLongPtrW(parent_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&parentProc)) {
        SetWindowLongPtrW(parent_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(savedProc_));
        RemovePropW(parent_, kSavedProcProperty);
    }
    shadowRegistry().removeEntry(parent_, this);
}

void CShadowWindow::setPictureLoader(ShadowPictureLoader loader)
{
    pictureLoader = loader;
}

CShadowWindow *CShadowWindow::shadowOf(HWND parent)
{
    return shadowRegistry().find(parent);
}

int CShadowWindow::registeredCount()
{
    return shadowRegistry().count();
}

bool CShadowWindow::shadowExists() const
{
    return shadow_ && IsWindow(shadow_);
}

void CShadowWindow::attach(HWND parent)
{
    if (!updateLayeredWindow || !IsWindow(parent) || parent_ || shadowRegistry().find(parent))
        return;
    if (!shadowRegistry().append(parent, this))
        return;
    shadow_ =
        CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT, kClassName, nullptr, WS_POPUPWINDOW,
                        CW_USEDEFAULT, 0, 0, 0, parent, nullptr, shadowInstance, nullptr);
    if (!shadow_) {
        shadowRegistry().removeEntry(parent, this);
        return;
    }
    parent_ = parent;
    RECT client{};
    GetClientRect(parent, &client);
    const LONG_PTR style = GetWindowLongPtrW(parent, GWL_STYLE);
    apply(state_.attached(style & WS_VISIBLE, style & (WS_MAXIMIZE | WS_MINIMIZE),
                          unsigned(client.right - client.left),
                          unsigned(client.bottom - client.top)),
          parent);

    savedProc_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(parent, GWLP_WNDPROC));
    SetPropW(parent, kSavedProcProperty, reinterpret_cast<HANDLE>(savedProc_));
    SetWindowLongPtrW(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&parentProc));
}

bool CShadowWindow::setSize(int size)
{
    return renderWhenStored(state_.setSize(size));
}

bool CShadowWindow::setSharpness(unsigned value)
{
    return renderWhenStored(state_.setSharpness(int(std::min(value, unsigned(INT_MAX)))));
}

bool CShadowWindow::setDarkness(unsigned darkness)
{
    return renderWhenStored(state_.setDarkness(darkness));
}

bool CShadowWindow::setPosition(int x, int y)
{
    return renderWhenStored(state_.setPosition(x, y));
}

bool CShadowWindow::setColor(COLORREF color)
{
    return renderWhenStored(state_.setColor(color));
}

bool CShadowWindow::setImage(const wchar_t *name, int left, int top, int right, int bottom,
                             int holeLeft, int holeTop, int holeRight, int holeBottom)
{
    ShadowPicture picture;
    if (!name || !pictureLoader || !pictureLoader(name, picture) || picture.isNull())
        return false;
    picture_ = std::move(picture);
    const int insets[8] = {left, top, right, bottom, holeLeft, holeTop, holeRight, holeBottom};
    std::copy(insets, insets + 8, pictureInsets_);
    return renderWhenStored(true);
}

// Every stored setting shows at once while the shadow is shown.
bool CShadowWindow::renderWhenStored(bool stored)
{
    if (stored && state_.shadowShown() && shadowExists())
        update(GetWindow(shadow_, GW_OWNER));
    return stored;
}

void CShadowWindow::apply(ShadowState::Reaction reaction, HWND parent)
{
    if (!shadowExists())
        return;
    if (reaction.hide)
        ShowWindow(shadow_, SW_HIDE);
    if (reaction.render)
        update(parent);
    if (reaction.show)
        ShowWindow(shadow_, SW_SHOWNA);
}

POINT CShadowWindow::shadowOrigin(const RECT &parentRect) const
{
    if (!picture_.isNull())
        return {parentRect.left - pictureInsets_[0], parentRect.top - pictureInsets_[1]};
    return {parentRect.left + state_.originDx(), parentRect.top + state_.originDy()};
}

bool CShadowWindow::buildShadowMask(HWND parent, int width, int height, ShadowBitmap &bitmap) const
{
    // Starts empty: a window without a region of its own casts no computed shadow.
    ScopedGdiObject<HRGN> region(CreateRectRgn(0, 0, 0, 0));
    if (!region.get())
        return false;
    GetWindowRgn(parent, region.get());
    RECT box{};
    std::vector<RowSpan> spans;
    if (GetRgnBox(region.get(), &box) == NULLREGION)
        spans.assign(size_t(std::max(height, 0)), RowSpan{width, 0});
    else
        spans = ShadowBitmap::spansOf(width, height, [&region](int x, int y) {
            return PtInRegion(region.get(), x, y) != FALSE;
        });
    return bitmap.render(width, height, spans, state_.parameters());
}

void CShadowWindow::update(HWND parent)
{
    if (!shadowExists() || !parent)
        return;
    RECT rect{};
    if (!GetWindowRect(parent, &rect))
        return;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;

    ShadowBitmap bitmap;
    bool rendered = false;
    if (!picture_.isNull()) {
        const int *m = pictureInsets_;
        rendered = bitmap.renderPicture(width + m[0] + m[2], height + m[1] + m[3], picture_, m,
                                        m[0] + m[4], m[1] + m[5], m[0] + width - m[6],
                                        m[1] + height - m[7]);
    } else {
        rendered = buildShadowMask(parent, width, height, bitmap);
    }
    if (rendered)
        present(bitmap, shadowOrigin(rect));
}

void CShadowWindow::present(const ShadowBitmap &bitmap, POINT origin)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bitmap.width();
    info.bmiHeader.biHeight = bitmap.height(); // bottom-up: the top line is the last row
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    void *bits = nullptr;
    ScopedGdiObject<HBITMAP> dib(
        CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ScopedMemoryDc memoryDc;
    if (!dib.get() || !bits || !memoryDc.get())
        return;
    const size_t rowBytes = size_t(bitmap.width()) * sizeof(uint32_t);
    auto *target = static_cast<unsigned char *>(bits);
    for (int y = 0; y < bitmap.height(); ++y)
        std::copy_n(reinterpret_cast<const unsigned char *>(bitmap.row(y)), rowBytes,
                    target + size_t(bitmap.height() - 1 - y) * rowBytes);

    ScopedSelection selection(memoryDc.get(), dib.get());
    MoveWindow(shadow_, origin.x, origin.y, bitmap.width(), bitmap.height(), FALSE);
    POINT position = origin;
    SIZE size{bitmap.width(), bitmap.height()};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    updateLayeredWindow(shadow_, nullptr, &position, &size, memoryDc.get(), &source, 0, &blend,
                        ULW_ALPHA);
}

void CShadowWindow::forgetParent()
{
    shadowRegistry().removeEntry(parent_, this);
    parent_ = nullptr;
    shadow_ = nullptr;
    state_.detached();
}

void CShadowWindow::onParentMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        if (shadowExists())
            DestroyWindow(shadow_);
        shadow_ = nullptr;
        break;
    case WM_MOVE:
        if (state_.shadowShown() && shadowExists() && IsWindowVisible(shadow_)) {
            RECT rect{};
            GetWindowRect(hwnd, &rect);
            const POINT origin = shadowOrigin(rect);
            SetWindowPos(shadow_, nullptr, origin.x, origin.y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        break;
    case WM_SIZE:
        apply(state_.resized(wParam == SIZE_MINIMIZED || wParam == SIZE_MAXIMIZED, LOWORD(lParam),
                             HIWORD(lParam)),
              hwnd);
        break;
    case WM_PAINT:
        apply(state_.painted(), hwnd);
        break;
    case WM_SHOWWINDOW:
        apply(wParam ? state_.parentShown() : state_.parentHidden(), hwnd);
        break;
    case WM_ACTIVATE:
    case WM_EXITSIZEMOVE:
        if (state_.shadowShown())
            update(hwnd);
        break;
    case WM_NCDESTROY:
        forgetParent();
        break;
    default:
        break;
    }
}

LRESULT CALLBACK CShadowWindow::parentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CShadowWindow *shadow = shadowRegistry().find(hwnd);
    const WNDPROC saved =
        shadow ? shadow->savedProc_ : reinterpret_cast<WNDPROC>(GetPropW(hwnd, kSavedProcProperty));
    if (shadow)
        shadow->onParentMessage(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY)
        RemovePropW(hwnd, kSavedProcProperty);
    if (!saved)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return CallWindowProcW(saved, hwnd, message, wParam, lParam);
}
