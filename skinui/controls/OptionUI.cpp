#include "OptionUI.h"

#include "GdiPainter.h"
#include "ValueText.h"
#include "WindowManagerUI.h"

#include <cwchar>

namespace SkinUI {

const wchar_t *const COptionUI::kClassName = L"Option";

namespace {

using ValueText::Is;

// Hides the pushed bit of a state word while the button's painting runs: a pushed option
// never shows the pushed images or colours.
class PushedHidden
{
public:
    explicit PushedHidden(UINT &state) : m_state(state), m_pushed(state & StatePushed)
    {
        m_state &= ~StatePushed;
    }
    PushedHidden(const PushedHidden &) = delete;
    PushedHidden &operator=(const PushedHidden &) = delete;
    ~PushedHidden() { m_state |= m_pushed; }

private:
    UINT &m_state;
    UINT m_pushed;
};

} // namespace

COptionUI::COptionUI() : m_selected(false), m_selectedBkColor(0), m_selectedTextColor(0) {}

COptionUI::~COptionUI()
{
    LeaveGroup();
}

const wchar_t *COptionUI::GetClass() const
{
    return kClassName;
}

void *COptionUI::GetInterface(const wchar_t *name)
{
    if (name && wcscmp(name, kClassName) == 0)
        return this;
    return CButtonUI::GetInterface(name);
}

// An option that goes to another window leaves the group of the window it leaves and joins
// the group of that name in the other one.
void COptionUI::SetManager(CWindowManagerUI *manager, CControlUI *parent, bool initialise)
{
    const bool moving = IsMovingTo(manager);
    if (moving)
        LeaveGroup();
    CControlUI::SetManager(manager, parent, initialise);
    if (initialise || moving)
        JoinGroup();
}

bool COptionUI::Activate()
{
    if (!CButtonUI::Activate())
        return false;
    SetSelected(m_group.IsEmpty() ? !m_selected : true, true);
    return true;
}

// The selected flag survives disabling.
void COptionUI::SetEnabled(bool enabled)
{
    CControlUI::SetEnabled(enabled);
    if (!IsEnabled())
        m_buttonState &= StateSelected;
}

void COptionUI::SetSelected(bool selected, bool sendNotify)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    if (selected)
        m_buttonState |= StateSelected;
    else
        m_buttonState &= ~StateSelected;
    if (m_manager) {
        if (!m_group.IsEmpty()) {
            if (!selected) {
                Invalidate();
                return;
            }
            if (CPointerArray *members = m_manager->GetOptionGroup(m_group.GetData())) {
                for (int i = 0; i < members->GetCount(); ++i) {
                    auto *member = static_cast<CControlUI *>((*members)[i]);
                    auto *option = static_cast<COptionUI *>(member->GetInterface(kClassName));
                    if (option && option != this)
                        option->SetSelected(false, sendNotify);
                }
            }
        }
        if (sendNotify)
            m_manager->SendNotify(this, L"selectchanged");
    }
    Invalidate();
}

void COptionUI::SetGroup(const wchar_t *group)
{
    if (m_group == (group ? group : L""))
        return;
    LeaveGroup();
    m_group = group;
    JoinGroup();
}

void COptionUI::LeaveGroup()
{
    if (!m_group.IsEmpty() && m_manager)
        m_manager->RemoveOptionGroup(m_group.GetData(), this);
}

void COptionUI::JoinGroup()
{
    if (!m_group.IsEmpty() && m_manager)
        m_manager->AddOptionGroup(m_group.GetData(), this);
}

void COptionUI::SetAttribute(const wchar_t *name, const wchar_t *value)
{
    if (name == nullptr || value == nullptr)
        return;
    if (Is(name, L"group"))
        SetGroup(value);
    else if (Is(name, L"selected"))
        SetSelected(ValueText::IsTrue(value));
    else if (Is(name, L"selectedimage"))
        SetImageText(m_selectedImage, value);
    else if (Is(name, L"selectedhotimage"))
        SetImageText(m_selectedHotImage, value);
    else if (Is(name, L"foreimage"))
        SetImageText(m_optionForeImage, value);
    else if (Is(name, L"selectedbkcolor"))
        m_selectedBkColor = ValueText::ReadHexColor(value);
    else if (Is(name, L"selectedtextcolor"))
        m_selectedTextColor = ValueText::ReadHexColor(value);
    else
        CButtonUI::SetAttribute(name, value);
}

void COptionUI::PaintStateImage(HDC dc)
{
    bool painted = false;
    if (m_selected) {
        if (m_buttonState & StateHot)
            painted = DrawImage(dc, m_selectedHotImage);
        if (!painted)
            painted = DrawImage(dc, m_selectedImage);
        if (!painted && m_selectedBkColor != 0) {
            CGdiPainter::DrawColor(dc, m_paintRect, HslAdjustedColor(m_selectedBkColor));
            painted = true;
        }
    }
    if (!painted) {
        PushedHidden hidden(m_buttonState);
        CButtonUI::PaintStateImage(dc);
    }
    DrawImage(dc, m_optionForeImage);
}

// A selected option draws in its selected text colour whatever its other states; the
// stored text colour stays as it is.
void COptionUI::PaintText(HDC dc)
{
    if (!m_selected) {
        PushedHidden hidden(m_buttonState);
        CButtonUI::PaintText(dc);
        return;
    }
    RefreshState();
    if (m_manager == nullptr)
        return;
    TakeDefaultColors();
    if (m_text.IsEmpty())
        return;
    const DWORD color = m_selectedTextColor != 0 ? m_selectedTextColor : m_textColor;
    DrawPlainOrHtml(dc, TextRect(), IsEnabled() ? color : m_disabledTextColor);
}

} // namespace SkinUI
