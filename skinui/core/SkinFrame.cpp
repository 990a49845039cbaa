#include "SkinFrame.h"

#include "ColorRef.h"
#include "GdiPainter.h"
#include "ValueText.h"

#include <cwchar>

namespace SkinUI {

namespace {

// The shadow's pictures come through the framework's image loader, so that a skin names
// them as it names every other picture.
bool LoadShadowPicture(const wchar_t *name, ShadowPicture &picture)
{
    ImageEntry *image = CGdiPainter::LoadImage(name, nullptr, 0);
    if (!image)
        return false;
    const auto *pixels = reinterpret_cast<const uint32_t *>(image->bits);
    picture.width = image->width;
    picture.height = image->height;
    picture.pixels.assign(pixels, pixels + static_cast<size_t>(image->width) * image->height);
    CGdiPainter::FreeImage(image);
    return true;
}

} // namespace

CSkinFrame::CSkinFrame(const SkinFrameSetup &setup)
    : m_resourceKind(setup.resourceKind), m_resourceId(setup.resourceId),
      m_skinFolder(setup.skinFolder), m_skinFile(setup.skinFile),
      m_windowClassName(setup.windowClassName)
{
}

CSkinFrame::~CSkinFrame() = default;

const wchar_t *CSkinFrame::GetWindowClassName() const
{
    return m_windowClassName.GetData();
}

const wchar_t *CSkinFrame::GetSkinFolder()
{
    return m_skinFolder.GetData();
}

const wchar_t *CSkinFrame::GetSkinFile()
{
    return m_skinFile.GetData();
}

ResourceSourceKind CSkinFrame::GetResourceType() const
{
    return static_cast<ResourceSourceKind>(m_resourceKind);
}

const wchar_t *CSkinFrame::GetResourceID() const
{
    return MAKEINTRESOURCEW(m_resourceId);
}

LRESULT CSkinFrame::MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool &handled)
{
    handled = false;
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        handled = true;
        return 0;
    }
    return WindowImplBase::MessageHandler(message, wParam, lParam, handled);
}

void CSkinFrame::InitWindow()
{
    LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    SetWindowLongPtrW(m_hWnd, GWL_STYLE,
                      style & ~static_cast<LONG_PTR>(WS_CAPTION | WS_MAXIMIZEBOX));
    const wchar_t *show = ShadowAttribute(L"showshadow");
    if (!show || _wcsicmp(show, L"true") != 0)
        return;
    m_shadow.attach(m_hWnd);
    ConfigureShadow();
}

const wchar_t *CSkinFrame::ShadowAttribute(const wchar_t *name) const
{
    return m_manager.GetWindowCustomAttribute(name);
}

// Each setting the shadow refuses keeps the one it had.
void CSkinFrame::ConfigureShadow()
{
    if (const wchar_t *image = ShadowAttribute(L"shadowimage")) {
        int corner[4] = {};
        int hole[4] = {};
        if (const wchar_t *text = ShadowAttribute(L"shadowcorner"))
            ValueText::ReadIntegerList(text, corner, 4);
        if (const wchar_t *text = ShadowAttribute(L"shadowholeoffset"))
            ValueText::ReadIntegerList(text, hole, 4);
        CShadowWindow::setPictureLoader(&LoadShadowPicture);
        m_shadow.setImage(image, corner[0], corner[1], corner[2], corner[3], hole[0], hole[1],
                          hole[2], hole[3]);
    }
    if (const wchar_t *size = ShadowAttribute(L"shadowsize"))
        m_shadow.setSize(ValueText::ReadInteger(size));
    if (const wchar_t *sharpness = ShadowAttribute(L"shadowsharpness"))
        m_shadow.setSharpness(static_cast<unsigned>(ValueText::ReadInteger(sharpness)));
    if (const wchar_t *darkness = ShadowAttribute(L"shadowdarkness"))
        m_shadow.setDarkness(static_cast<unsigned>(ValueText::ReadInteger(darkness)));
    if (const wchar_t *position = ShadowAttribute(L"shadowposition")) {
        int offset[2] = {};
        ValueText::ReadIntegerList(position, offset, 2);
        m_shadow.setPosition(offset[0], offset[1]);
    }
    // The skin writes colours as 0xAARRGGBB; the shadow takes a GDI colour.
    if (const wchar_t *color = ShadowAttribute(L"shadowcolor"))
        m_shadow.setColor(ToColorRef(ValueText::ReadHexColor(color)));
}

} // namespace SkinUI
