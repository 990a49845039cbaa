#include "WindowManagerUI.h"

namespace SkinUI {

void CWindowManagerUI::Invalidate(const RECT &rect)
{
    RECT clamped = rect;
    if (clamped.left < 0)
        clamped.left = 0;
    if (clamped.top < 0)
        clamped.top = 0;
    if (clamped.right < clamped.left)
        clamped.right = clamped.left;
    if (clamped.bottom < clamped.top)
        clamped.bottom = clamped.top;
    if (m_layered)
        UnionRect(&m_pendingUpdate, &m_pendingUpdate, &clamped);
    else if (m_paintWindow)
        InvalidateRect(m_paintWindow, &clamped, FALSE);
}

void CWindowManagerUI::InvalidateAll()
{
    if (!m_paintWindow)
        return;
    if (m_layered) {
        RECT client;
        GetClientRect(m_paintWindow, &client);
        UnionRect(&m_pendingUpdate, &m_pendingUpdate, &client);
    } else {
        InvalidateRect(m_paintWindow, nullptr, FALSE);
    }
}

void CWindowManagerUI::SetCapture()
{
    ::SetCapture(m_paintWindow);
    m_captured = true;
}

void CWindowManagerUI::ReleaseCapture()
{
    ::ReleaseCapture();
    m_captured = false;
}

} // namespace SkinUI
