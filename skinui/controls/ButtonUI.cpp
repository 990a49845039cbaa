#include "ButtonUI.h"

#include "GdiPainter.h"
#include "ValueText.h"
#include "WindowManagerUI.h"

#include <cwchar>

namespace SkinUI {

const wchar_t *const CButtonUI::kClassName = L"Button";

namespace {

using ValueText::Is;

} // namespace

CButtonUI::CButtonUI()
    : m_buttonState(0), m_hotBkColor(0), m_pushedBkColor(0), m_disabledBkColor(0),
      m_hotTextColor(0), m_pushedTextColor(0), m_focusedTextColor(0), m_fadeValue(255),
      m_fadeDelta(0)
{
    m_textStyle = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
}

const wchar_t *CButtonUI::GetClass() const
{
    return kClassName;
}

void *CButtonUI::GetInterface(const wchar_t *name)
{
    if (name && wcscmp(name, kClassName) == 0)
        return this;
    return CLabelUI::GetInterface(name);
}

UINT CButtonUI::GetBehaviorFlags() const
{
    UINT flags = 0;
    if (IsEnabled())
        flags |= BehaviorSetCursor;
    if (IsKeyboardEnabled())
        flags |= BehaviorTabStop;
    return flags;
}

bool CButtonUI::Activate()
{
    if (!CControlUI::Activate())
        return false;
    if (m_manager)
        m_manager->SendNotify(this, L"click");
    return true;
}

void CButtonUI::SetEnabled(bool enabled)
{
    CControlUI::SetEnabled(enabled);
    if (!IsEnabled())
        m_buttonState = 0;
}

SIZE CButtonUI::GetDesiredSize(SIZE)
{
    if (m_fixedSize.cy != 0 || m_manager == nullptr)
        return m_fixedSize;
    return SIZE{m_fixedSize.cx, m_manager->GetFontInfo(m_font)->metrics.tmHeight + 8};
}

void CButtonUI::StartFade()
{
    if (m_fadeDelta > 0 && m_manager)
        m_manager->SetTimer(this, kFadeTimerId, kFadePeriod);
}

// Hot fades the normal image out (towards 0), not hot fades it back in (towards 255).
void CButtonUI::StepFade()
{
    if (m_buttonState & StateHot) {
        if (m_fadeDelta > 0 && m_fadeValue > m_fadeDelta) {
            m_fadeValue = static_cast<BYTE>(m_fadeValue - m_fadeDelta);
            Invalidate();
            return;
        }
        m_fadeValue = 0;
    } else {
        if (m_fadeDelta > 0 && m_fadeValue < 255 - m_fadeDelta) {
            m_fadeValue = static_cast<BYTE>(m_fadeValue + m_fadeDelta);
            Invalidate();
            return;
        }
        m_fadeValue = 255;
    }
    if (m_manager)
        m_manager->KillTimer(this, kFadeTimerId);
    Invalidate();
}

void CButtonUI::DoEvent(ControlEvent &event)
{
    if (PassOnMouseWhenDisabled(event))
        return;
    const bool inside = IsInside(event.mousePoint);
    switch (event.type) {
    case EventSetFocus:
    case EventKillFocus:
        Invalidate();
        break;
    case EventKeyDown:
        if (IsKeyboardEnabled() && IsEnabled() &&
            (event.key == VK_SPACE || event.key == VK_RETURN)) {
            Activate();
            return;
        }
        break;
    case EventButtonDown:
    case EventDoubleClick:
        if (inside && IsEnabled()) {
            m_buttonState |= StateCaptured | StatePushed;
            Invalidate();
        }
        return;
    case EventMouseMove:
        if (m_buttonState & StateCaptured) {
            if (inside)
                m_buttonState |= StatePushed;
            else
                m_buttonState &= ~StatePushed;
            Invalidate();
        }
        return;
    case EventButtonUp:
        if (m_buttonState & StateCaptured) {
            // The state is settled before the click, whose handler may do anything.
            const bool activate = inside && IsEnabled();
            m_buttonState &= ~(StateCaptured | StatePushed);
            Invalidate();
            if (activate)
                Activate();
        }
        return;
    case EventContextMenu:
        if (IsMenuEnabled() && IsEnabled() && m_manager)
            m_manager->SendNotify(this, L"menu", event.wParam, event.lParam);
        return;
    case EventMouseEnter:
        if (inside && IsEnabled() && !(m_buttonState & StateHot)) {
            m_buttonState |= StateHot;
            Invalidate();
            // Fading follows every change of the hot state.
            StartFade();
            if (m_manager)
                m_manager->SendNotify(this, L"mouseenter", event.wParam, event.lParam);
            return;
        }
        StartFade();
        break;
    case EventMouseLeave:
        if (inside) {
            // Still over the button (over a control of its own): wait for the real leave.
            if (m_manager)
                m_manager->AddMouseLeaveListener(this);
            return;
        }
        if (IsEnabled() && (m_buttonState & StateHot)) {
            m_buttonState &= ~StateHot;
            Invalidate();
            StartFade();
            if (m_manager)
                m_manager->SendNotify(this, L"mouseleave", event.wParam, event.lParam);
            return;
        }
        if (m_manager)
            m_manager->RemoveMouseLeaveListener(this);
        StartFade();
        break;
    case EventSetCursor:
        ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return;
    case EventTimer:
        if (event.wParam == kFadeTimerId) {
            StepFade();
            return;
        }
        break;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

void CButtonUI::SetAttribute(const wchar_t *name, const wchar_t *value)
{
    if (name == nullptr || value == nullptr)
        return;
    if (Is(name, L"normalimage"))
        SetImageText(m_normalImage, value);
    else if (Is(name, L"hotimage"))
        SetImageText(m_hotImage, value);
    else if (Is(name, L"pushedimage"))
        SetImageText(m_pushedImage, value);
    else if (Is(name, L"focusedimage"))
        SetImageText(m_focusedImage, value);
    else if (Is(name, L"disabledimage"))
        SetImageText(m_disabledImage, value);
    else if (Is(name, L"foreimage"))
        SetImageText(m_foreImage, value);
    else if (Is(name, L"hotforeimage"))
        SetImageText(m_hotForeImage, value);
    else if (Is(name, L"fivestatusimage"))
        SetFiveStatusImage(value);
    else if (Is(name, L"fadedelta"))
        m_fadeDelta = static_cast<BYTE>(ValueText::ReadInteger(value));
    else if (Is(name, L"hotbkcolor"))
        m_hotBkColor = ValueText::ReadHexColor(value);
    else if (Is(name, L"pushedbkcolor"))
        m_pushedBkColor = ValueText::ReadHexColor(value);
    else if (Is(name, L"disabledbkcolor"))
        m_disabledBkColor = ValueText::ReadHexColor(value);
    else if (Is(name, L"hottextcolor"))
        m_hotTextColor = ValueText::ReadHexColor(value);
    else if (Is(name, L"pushedtextcolor"))
        m_pushedTextColor = ValueText::ReadHexColor(value);
    else if (Is(name, L"focusedtextcolor"))
        m_focusedTextColor = ValueText::ReadHexColor(value);
    else
        CLabelUI::SetAttribute(name, value);
}

// One picture holds the five states side by side: normal, pushed, hot, focused, disabled.
void CButtonUI::SetFiveStatusImage(const wchar_t *text)
{
    ImageDescriptor *slices[] = {&m_normalImage, &m_pushedImage, &m_hotImage, &m_focusedImage,
                                 &m_disabledImage};
    for (ImageDescriptor *slice : slices) {
        slice->Clear();
        slice->text = text;
        DrawImage(nullptr, *slice);
    }
    if (const ImageEntry *image = m_normalImage.image) {
        const int width = image->width / 5;
        for (int i = 0; i < 5; ++i)
            slices[i]->source = RECT{i * width, 0, (i + 1) * width, image->height};
        if (m_float && m_fixedSize.cx == 0 && m_fixedSize.cy == 0) {
            SetFixedWidth(width);
            SetFixedHeight(image->height);
        }
    }
    Invalidate();
}

void CButtonUI::RefreshState()
{
    if (IsFocused())
        m_buttonState |= StateFocused;
    else
        m_buttonState &= ~StateFocused;
    if (IsEnabled())
        m_buttonState &= ~StateDisabled;
    else
        m_buttonState |= StateDisabled;
}

// The fade byte is set after the descriptor was parsed, so that parsing cannot undo it.
bool CButtonUI::DrawFaded(HDC dc, ImageDescriptor &descriptor, BYTE fade)
{
    if (!DrawImage(nullptr, descriptor))
        return false;
    descriptor.fade = fade;
    return DrawImage(dc, descriptor);
}

void CButtonUI::FillColor(HDC dc, DWORD color)
{
    if (color != 0)
        CGdiPainter::DrawColor(dc, m_paintRect, HslAdjustedColor(color));
}

void CButtonUI::PaintNormalImage(HDC dc)
{
    if (m_fadeDelta > 0 && m_fadeValue < 255) {
        DrawFaded(dc, m_hotImage, static_cast<BYTE>(255 - m_fadeValue));
        DrawFaded(dc, m_normalImage, m_fadeValue);
    } else {
        DrawFaded(dc, m_normalImage, 255);
    }
}

void CButtonUI::PaintStateImage(HDC dc)
{
    RefreshState();
    if (m_buttonState & StateDisabled) {
        FillColor(dc, m_disabledBkColor);
        if (!DrawImage(dc, m_disabledImage))
            PaintNormalImage(dc);
    } else if (m_buttonState & StatePushed) {
        FillColor(dc, m_pushedBkColor);
        if (!DrawImage(dc, m_pushedImage))
            DrawImage(dc, m_normalImage);
    } else if (m_buttonState & StateHot) {
        FillColor(dc, m_hotBkColor);
        if (m_fadeDelta > 0) {
            if (m_fadeValue == 0) {
                DrawFaded(dc, m_hotImage, 255);
            } else {
                DrawFaded(dc, m_normalImage, m_fadeValue);
                DrawFaded(dc, m_hotImage, static_cast<BYTE>(255 - m_fadeValue));
            }
        } else if (!DrawImage(dc, m_hotImage)) {
            DrawImage(dc, m_normalImage);
        }
        // A hot fore image takes the place of the plain one.
        if (DrawImage(dc, m_hotForeImage))
            return;
    } else if (m_buttonState & StateFocused) {
        if (!DrawImage(dc, m_focusedImage))
            PaintNormalImage(dc);
    } else {
        PaintNormalImage(dc);
    }
    DrawImage(dc, m_foreImage);
}

DWORD CButtonUI::StateTextColor() const
{
    if ((m_buttonState & StatePushed) && m_pushedTextColor != 0)
        return m_pushedTextColor;
    if ((m_buttonState & StateHot) && m_hotTextColor != 0)
        return m_hotTextColor;
    if ((m_buttonState & StateFocused) && m_focusedTextColor != 0)
        return m_focusedTextColor;
    return IsEnabled() ? m_textColor : m_disabledTextColor;
}

// Button text is placed by the drawing routines alone: no measuring and no GDI+ effects.
void CButtonUI::PaintText(HDC dc)
{
    RefreshState();
    if (m_manager == nullptr)
        return;
    TakeDefaultColors();
    if (m_text.IsEmpty())
        return;
    DrawPlainOrHtml(dc, TextRect(), StateTextColor());
}

} // namespace SkinUI
