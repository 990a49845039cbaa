#include "TextUI.h"

#include "GdiPainter.h"
#include "WindowManagerUI.h"

#include <cwchar>

namespace SkinUI {

const wchar_t *const CTextUI::kClassName = L"Text";

CTextUI::CTextUI() : m_linkCount(0), m_links{}, m_hoveredLink(-1)
{
    m_textStyle = DT_WORDBREAK;
    m_textPadding = RECT{2, 0, 2, 0};
}

const wchar_t *CTextUI::GetClass() const
{
    return kClassName;
}

void *CTextUI::GetInterface(const wchar_t *name)
{
    if (name && wcscmp(name, kClassName) == 0)
        return this;
    return CLabelUI::GetInterface(name);
}

UINT CTextUI::GetBehaviorFlags() const
{
    return IsEnabled() && m_linkCount > 0 ? static_cast<UINT>(BehaviorSetCursor) : 0u;
}

int CTextUI::LinkAt(const POINT &point) const
{
    for (int i = 0; i < m_linkCount; ++i) {
        if (PtInRect(&m_links[i], point))
            return i;
    }
    return -1;
}

void CTextUI::DoEvent(ControlEvent &event)
{
    if (PassOnMouseWhenDisabled(event))
        return;
    if (!HandleLinkEvent(event))
        CLabelUI::DoEvent(event);
}

// True when the event ends here.
bool CTextUI::HandleLinkEvent(ControlEvent &event)
{
    const int link = LinkAt(event.mousePoint);
    switch (event.type) {
    case EventSetCursor:
        if (link < 0)
            return false;
        ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return true;
    case EventButtonDown:
    case EventDoubleClick:
        if (!IsEnabled() || link < 0)
            return false;
        Invalidate();
        return true;
    case EventButtonUp:
        if (!IsEnabled() || link < 0)
            return false;
        if (m_manager)
            m_manager->SendNotify(this, L"link", static_cast<WPARAM>(link));
        return true;
    case EventContextMenu:
        return true;
    case EventMouseMove:
        if (!IsEnabled() || m_linkCount == 0 || link == m_hoveredLink)
            return false;
        m_hoveredLink = link;
        Invalidate();
        return true;
    case EventMouseLeave:
        if (!IsEnabled() || m_linkCount == 0 || m_hoveredLink < 0)
            return false;
        if (m_hoveredLink < m_linkCount && PtInRect(&m_links[m_hoveredLink], event.mousePoint)) {
            if (m_manager)
                m_manager->AddMouseLeaveListener(this);
            return true;
        }
        m_hoveredLink = -1;
        Invalidate();
        if (m_manager)
            m_manager->RemoveMouseLeaveListener(this);
        return false;
    default:
        return false;
    }
}

void CTextUI::PaintText(HDC dc)
{
    if (m_text.IsEmpty()) {
        m_linkCount = 0;
        return;
    }
    if (m_manager == nullptr)
        return;
    TakeDefaultColors();
    RECT rect = TextRect();
    const DWORD color = IsEnabled() ? m_textColor : m_disabledTextColor;
    if (m_showHtml) {
        m_linkCount = kMaxLinks;
        CGdiPainter::DrawHtmlText(dc, m_manager, rect, m_text.GetData(), color, m_links,
                                  m_linkTargets, m_linkCount, m_font, m_textStyle);
    } else {
        CGdiPainter::DrawText(dc, m_manager, rect, m_text.GetData(), color, m_font, m_textStyle);
        m_linkCount = 0;
    }
}

} // namespace SkinUI
