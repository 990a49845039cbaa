#include "ControlUI.h"

#include "ControlState.h"
#include "WindowManagerUI.h"

namespace SkinUI {

const wchar_t *const CControlUI::kClassName = L"Control";

namespace {

int TruncatedProduct(double ratio, int length)
{
    return static_cast<int>(ratio * length);
}

int Clamp(int value, int minimum, int maximum)
{
    if (value < minimum)
        value = minimum;
    if (value > maximum)
        value = maximum;
    return value;
}

} // namespace

CControlUI::CControlUI()
    : m_manager(nullptr), m_parent(nullptr), m_cover(nullptr), m_needsLayout(true),
      m_menuEnabled(false), m_itemRect{0, 0, 0, 0}, m_padding{0, 0, 0, 0}, m_floatOffset{0, 0},
      m_fixedSize{0, 0}, m_minSize{0, 0}, m_maxSize{9999, 9999}, m_visible(true),
      m_inheritedVisible(true), m_enabled(true), m_mouseEnabled(true), m_keyboardEnabled(true),
      m_focused(false), m_float(false), m_firingSizeListeners(false), m_shortcut(0), m_tag(0),
      m_bkColor1(0), m_bkColor2(0), m_bkColor3(0), m_borderColor(0), m_focusBorderColor(0),
      m_colorHsl(false), m_borderStyle(0),
      m_toolTipWidth(300), m_borderRound{0, 0}, m_paintRect{0, 0, 0, 0}, m_borderSize{0, 0, 0, 0},
      m_customAttributes(83)
{
}

void CControlUI::Delete()
{
    delete this;
}

CControlUI::~CControlUI()
{
    if (m_cover) {
        CControlUI *cover = m_cover;
        m_cover = nullptr;
        cover->Delete();
    }
    for (int i = 0; i < m_customAttributes.GetSize(); ++i)
        delete static_cast<CWideString *>(
            m_customAttributes.Find(m_customAttributes.GetKeyAt(i), false));
    m_customAttributes.RemoveAll();
    DestroyListeners.Invoke(this);
    if (m_manager)
        m_manager->ForgetControl(this);
}

// ---- Identity and tree ----

const CWideString &CControlUI::GetName() const
{
    return m_name;
}

void CControlUI::SetName(const wchar_t *name)
{
    if (m_name == (name ? name : L""))
        return;
    m_name = name;
    if (m_manager)
        m_manager->RenameControl(this, name);
}

const wchar_t *CControlUI::GetClass() const
{
    return kClassName;
}

void *CControlUI::GetInterface(const wchar_t *name)
{
    if (name && wcscmp(name, kClassName) == 0)
        return this;
    return nullptr;
}

UINT CControlUI::GetBehaviorFlags() const
{
    return 0;
}
HWND CControlUI::GetNativeWindow() const
{
    return nullptr;
}
bool CControlUI::Activate()
{
    return IsVisible() && IsEnabled();
}
CWindowManagerUI *CControlUI::GetManager() const
{
    return m_manager;
}

// A control that goes to another window leaves nothing in the one it leaves, as if it had
// been deleted there: that window would otherwise reach it after the other one deleted it.
// It has no focus in the window it goes to.
void CControlUI::SetManager(CWindowManagerUI *manager, CControlUI *parent, bool initialise)
{
    if (m_cover)
        m_cover->SetManager(manager, this, initialise);
    if (IsMovingTo(manager)) {
        m_manager->ForgetControl(this);
        m_focused = false;
    }
    m_manager = manager;
    m_parent = parent;
    if (initialise && parent)
        Init();
}

bool CControlUI::IsMovingTo(const CWindowManagerUI *manager) const
{
    return m_manager != nullptr && manager != nullptr && manager != m_manager;
}

CControlUI *CControlUI::GetParent() const
{
    return m_parent;
}
CControlUI *CControlUI::GetCover() const
{
    return m_cover;
}

// A cover given before the control has a manager is bound when the control is: SetManager
// passes the manager down to the cover.
void CControlUI::SetCover(CControlUI *cover)
{
    if (cover == m_cover)
        return;
    if (m_cover)
        m_cover->Delete();
    m_cover = cover;
    if (!cover)
        return;
    if (m_manager)
        m_manager->InitControls(cover, this);
    if (!IsVisible()) {
        cover->SetInheritedVisible(false);
    } else {
        m_needsLayout = true;
        Invalidate();
        if (m_manager)
            m_manager->MarkNeedsLayout();
    }
}

const CWideString &CControlUI::GetText() const
{
    return m_text;
}

void CControlUI::SetText(const wchar_t *text)
{
    if (m_text == (text ? text : L""))
        return;
    m_text = text;
    Invalidate();
}

// ---- Geometry ----

const RECT &CControlUI::GetPos() const
{
    return m_itemRect;
}

RECT CControlUI::GetRelativePos() const
{
    if (!m_parent)
        return RECT{0, 0, 0, 0};
    RECT rect = m_itemRect;
    const RECT &parentRect = m_parent->GetPos();
    OffsetRect(&rect, -parentRect.left, -parentRect.top);
    return rect;
}

RECT CControlUI::GetClientPos() const
{
    return m_itemRect;
}

bool CControlUI::ClipToAncestors(RECT &rect, bool checkVisible) const
{
    for (CControlUI *ancestor = m_parent; ancestor; ancestor = ancestor->GetParent()) {
        if (checkVisible && !ancestor->IsVisible())
            return false;
        if (!IntersectRect(&rect, &rect, &ancestor->GetPos()))
            return false;
    }
    return true;
}

void CControlUI::InvalidateClipped(RECT area)
{
    if (ClipToAncestors(area, true) && m_manager)
        m_manager->Invalidate(area);
}

bool CControlUI::PassOnMouseWhenDisabled(ControlEvent &event)
{
    if (IsMouseEnabled() || !IsMouseEvent(event.type))
        return false;
    if (m_parent != nullptr)
        m_parent->DoEvent(event);
    else
        CControlUI::DoEvent(event);
    return true;
}

bool CControlUI::TrackHotState(const ControlEvent &event, UINT &state)
{
    const bool inside = PtInRect(&m_itemRect, event.mousePoint) != FALSE;
    if (event.type == EventMouseEnter) {
        if (inside && IsEnabled()) {
            state |= StateHot;
            Invalidate();
        }
        return false;
    }
    if (inside) {
        if (m_manager != nullptr)
            m_manager->AddMouseLeaveListener(this);
        return true;
    }
    if (IsEnabled()) {
        state &= ~StateHot;
        Invalidate();
    }
    if (m_manager != nullptr)
        m_manager->RemoveMouseLeaveListener(this);
    return false;
}

void CControlUI::SetPos(RECT rect, bool invalidate)
{
    if (rect.right < rect.left)
        rect.right = rect.left;
    if (rect.bottom < rect.top)
        rect.bottom = rect.top;

    RECT area = IsRectEmpty(&m_itemRect) ? rect : m_itemRect;

    if (!m_float) {
        m_itemRect = rect;
    } else if (m_parent) {
        const RECT &parentRect = m_parent->GetPos();
        int width = parentRect.right - parentRect.left;
        int height = parentRect.bottom - parentRect.top;
        m_itemRect = rect;
        OffsetRect(&m_itemRect, parentRect.left, parentRect.top);
        m_floatOffset.x = rect.left - TruncatedProduct(m_floatRatios.left, width);
        m_floatOffset.y = rect.top - TruncatedProduct(m_floatRatios.top, height);
        m_fixedSize.cx =
            rect.right - m_floatOffset.x - TruncatedProduct(m_floatRatios.right, width);
        m_fixedSize.cy =
            rect.bottom - m_floatOffset.y - TruncatedProduct(m_floatRatios.bottom, height);
    }

    if (!m_manager)
        return;
    if (!m_firingSizeListeners) {
        m_firingSizeListeners = true;
        SizeListeners.Invoke(this);
        m_firingSizeListeners = false;
    }
    m_needsLayout = false;

    if (invalidate && IsVisible()) {
        UnionRect(&area, &area, &m_itemRect);
        if (!ClipToAncestors(area, true))
            return;
        m_manager->Invalidate(area);
    }
    PlaceCover();
}

void CControlUI::PlaceCover()
{
    if (!m_cover || !m_cover->IsVisible())
        return;
    if (m_cover->IsFloat()) {
        int width = m_itemRect.right - m_itemRect.left;
        int height = m_itemRect.bottom - m_itemRect.top;
        FloatRatios ratios = m_cover->GetFloatRatios();
        POINT offset = m_cover->GetFloatOffset();
        RECT rect = {TruncatedProduct(ratios.left, width) + offset.x,
                     TruncatedProduct(ratios.top, height) + offset.y,
                     TruncatedProduct(ratios.right, width) + offset.x + m_cover->GetFixedWidth(),
                     TruncatedProduct(ratios.bottom, height) + offset.y +
                         m_cover->GetFixedHeight()};
        m_cover->SetPos(rect, false);
    } else {
        int width = Clamp(m_itemRect.right - m_itemRect.left, m_cover->GetMinWidth(),
                          m_cover->GetMaxWidth());
        int height = Clamp(m_itemRect.bottom - m_itemRect.top, m_cover->GetMinHeight(),
                           m_cover->GetMaxHeight());
        RECT rect = {m_itemRect.left, m_itemRect.top, m_itemRect.left + width,
                     m_itemRect.top + height};
        m_cover->SetPos(rect, false);
    }
}

void CControlUI::Move(int dx, int dy, bool invalidate)
{
    RECT oldRect = m_itemRect;
    OffsetRect(&m_itemRect, dx, dy);
    if (invalidate && m_manager && IsVisible()) {
        RECT area;
        UnionRect(&area, &oldRect, &m_itemRect);
        if (!ClipToAncestors(area, true))
            return;
        m_manager->Invalidate(area);
    }
    if (m_cover && m_cover->IsVisible())
        m_cover->Move(dx, dy, false);
}

int CControlUI::GetWidth() const
{
    return m_itemRect.right - m_itemRect.left;
}
int CControlUI::GetHeight() const
{
    return m_itemRect.bottom - m_itemRect.top;
}
int CControlUI::GetX() const
{
    return m_itemRect.left;
}
int CControlUI::GetY() const
{
    return m_itemRect.top;
}
RECT CControlUI::GetPadding() const
{
    return m_padding;
}

void CControlUI::SetPadding(RECT padding)
{
    m_padding = padding;
    MarkParentNeedsLayout();
}

POINT CControlUI::GetFloatOffset() const
{
    return m_floatOffset;
}

void CControlUI::SetFloatOffset(POINT offset)
{
    m_floatOffset = offset;
    MarkParentNeedsLayout();
}

FloatRatios CControlUI::GetFloatRatios() const
{
    return m_floatRatios;
}

void CControlUI::SetFloatRatios(FloatRatios ratios)
{
    m_floatRatios = ratios;
    MarkParentNeedsLayout();
}

int CControlUI::GetFixedWidth() const
{
    return m_fixedSize.cx;
}

void CControlUI::SetFixedWidth(int width)
{
    if (width < 0)
        return;
    m_fixedSize.cx = width;
    MarkParentNeedsLayout();
}

int CControlUI::GetFixedHeight() const
{
    return m_fixedSize.cy;
}

void CControlUI::SetFixedHeight(int height)
{
    if (height < 0)
        return;
    m_fixedSize.cy = height;
    MarkParentNeedsLayout();
}

namespace {

// The size-limit setters ignore negative and unchanged values.
bool StoreLimit(LONG &field, int value)
{
    if (value < 0 || field == value)
        return false;
    field = value;
    return true;
}

} // namespace

int CControlUI::GetMinWidth() const
{
    return m_minSize.cx;
}

void CControlUI::SetMinWidth(int width)
{
    if (StoreLimit(m_minSize.cx, width))
        MarkParentNeedsLayout();
}

int CControlUI::GetMaxWidth() const
{
    return m_maxSize.cx > m_minSize.cx ? m_maxSize.cx : m_minSize.cx;
}

void CControlUI::SetMaxWidth(int width)
{
    if (StoreLimit(m_maxSize.cx, width))
        MarkParentNeedsLayout();
}

int CControlUI::GetMinHeight() const
{
    return m_minSize.cy;
}

void CControlUI::SetMinHeight(int height)
{
    if (StoreLimit(m_minSize.cy, height))
        MarkParentNeedsLayout();
}

int CControlUI::GetMaxHeight() const
{
    return m_maxSize.cy > m_minSize.cy ? m_maxSize.cy : m_minSize.cy;
}

void CControlUI::SetMaxHeight(int height)
{
    if (StoreLimit(m_maxSize.cy, height))
        MarkParentNeedsLayout();
}

// ---- Tooltip, shortcut, menu, user data ----

const CWideString &CControlUI::GetToolTip() const
{
    return m_toolTip;
}

void CControlUI::SetToolTip(const wchar_t *text)
{
    CWideString tip(text);
    tip.Replace(L"<n>", L"\r\n");
    m_toolTip = tip;
}

void CControlUI::SetToolTipWidth(int width)
{
    m_toolTipWidth = width;
}
int CControlUI::GetToolTipWidth() const
{
    return m_toolTipWidth;
}
wchar_t CControlUI::GetShortcut() const
{
    return m_shortcut;
}
void CControlUI::SetShortcut(wchar_t shortcut)
{
    m_shortcut = shortcut;
}
bool CControlUI::IsMenuEnabled() const
{
    return m_menuEnabled;
}
void CControlUI::SetMenuEnabled(bool enabled)
{
    m_menuEnabled = enabled;
}
const CWideString &CControlUI::GetUserData() const
{
    return m_userData;
}
void CControlUI::SetUserData(const wchar_t *text)
{
    m_userData = text;
}
UINT_PTR CControlUI::GetTag() const
{
    return m_tag;
}
void CControlUI::SetTag(UINT_PTR tag)
{
    m_tag = tag;
}

// ---- State ----

bool CControlUI::IsVisible() const
{
    return m_visible && m_inheritedVisible;
}

void CControlUI::SetVisible(bool visible)
{
    if (m_visible == visible)
        return;
    bool wasVisible = IsVisible();
    m_visible = visible;
    m_focused = false;
    if (!visible && m_manager && m_manager->GetFocus() == this)
        m_manager->SetFocus(nullptr, true);
    if (IsVisible() != wasVisible)
        MarkParentNeedsLayout();
    if (m_cover)
        m_cover->SetInheritedVisible(IsVisible());
}

void CControlUI::SetInheritedVisible(bool visible)
{
    m_inheritedVisible = visible;
    if (!visible && m_manager && m_manager->GetFocus() == this)
        m_manager->SetFocus(nullptr, true);
    if (m_cover)
        m_cover->SetInheritedVisible(IsVisible());
}

bool CControlUI::IsEnabled() const
{
    return m_enabled;
}

void CControlUI::SetEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    Invalidate();
}

bool CControlUI::IsMouseEnabled() const
{
    return m_mouseEnabled;
}
void CControlUI::SetMouseEnabled(bool enabled)
{
    m_mouseEnabled = enabled;
}
bool CControlUI::IsKeyboardEnabled() const
{
    return m_keyboardEnabled;
}
void CControlUI::SetKeyboardEnabled(bool enabled)
{
    m_keyboardEnabled = enabled;
}
bool CControlUI::IsFocused() const
{
    return m_focused;
}

void CControlUI::SetFocus()
{
    if (m_manager)
        m_manager->SetFocus(this, false);
}

bool CControlUI::IsFloat() const
{
    return m_float;
}

void CControlUI::SetFloat(bool floating)
{
    if (m_float == floating)
        return;
    m_float = floating;
    MarkParentNeedsLayout();
}

// ---- Search, life cycle, events ----

CControlUI *CControlUI::FindControl(FindControlProc visitor, void *data, UINT flags)
{
    bool hitTest = (flags & FindHitTest) != 0;
    if ((flags & FindVisibleOnly) && !IsVisible())
        return nullptr;
    if ((flags & FindEnabledOnly) && !IsEnabled())
        return nullptr;
    if (hitTest && !PtInRect(&m_itemRect, *static_cast<const POINT *>(data)))
        return nullptr;
    if ((flags & FindPrune) && visitor(this, data) != nullptr)
        return nullptr;

    bool selfFirst = (flags & FindSelfFirst) != 0;
    if (selfFirst && (!hitTest || m_mouseEnabled)) {
        if (CControlUI *found = visitor(this, data))
            return found;
    }
    if (m_cover) {
        if (CControlUI *found = m_cover->FindControl(visitor, data, flags))
            return found;
    }
    if (selfFirst || (hitTest && !m_mouseEnabled))
        return nullptr;
    return visitor(this, data);
}

void CControlUI::Init()
{
    DoInit();
    InitListeners.Invoke(this);
}

void CControlUI::DoInit() {}

void CControlUI::Event(ControlEvent &event)
{
    if (EventListeners && !EventListeners.Invoke(&event))
        return;
    DoEvent(event);
}

void CControlUI::DoEvent(ControlEvent &event)
{
    switch (event.type) {
    case EventSetCursor:
        ::SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        return;
    case EventSetFocus:
        m_focused = true;
        Invalidate();
        return;
    case EventKillFocus:
        m_focused = false;
        Invalidate();
        return;
    case EventTimer:
        if (m_manager)
            m_manager->SendNotify(this, L"timer", event.wParam, event.lParam, false);
        return;
    case EventContextMenu:
        if (IsMenuEnabled()) {
            if (m_manager)
                m_manager->SendNotify(this, L"menu", event.wParam, event.lParam, false);
            return;
        }
        break;
    default:
        break;
    }
    if (m_parent)
        m_parent->DoEvent(event);
}

CWideString CControlUI::GetAttribute(const wchar_t *)
{
    return CWideString();
}
CWideString CControlUI::GetAttributeList(bool)
{
    return CWideString();
}
SIZE CControlUI::GetDesiredSize(SIZE)
{
    return m_fixedSize;
}

bool CControlUI::Paint(HDC dc, const RECT &paintArea, CControlUI *stopControl)
{
    if (this == stopControl)
        return false;
    if (!IntersectRect(&m_paintRect, &paintArea, &m_itemRect))
        return true;
    if (PaintListeners && !PaintListeners.Invoke(this))
        return true;
    if (!DoPaint(dc, paintArea, stopControl))
        return false;
    return m_cover ? m_cover->Paint(dc, paintArea, nullptr) : true;
}

void CControlUI::PostPaint(HDC, const RECT &)
{
    PostPaintListeners.Invoke(this);
}

// ---- Not virtual ----

void CControlUI::SetVirtualWnd(const wchar_t *name)
{
    m_virtualWnd = name;
    if (m_manager)
        m_manager->SetUseVirtualWindows(true);
}

CWideString CControlUI::GetVirtualWnd() const
{
    if (!m_virtualWnd.IsEmpty())
        return m_virtualWnd;
    if (m_parent)
        return m_parent->GetVirtualWnd();
    return CWideString();
}

void CControlUI::StoreCustomAttribute(const wchar_t *name, const wchar_t *value)
{
    if (!name || !*name || !value || !*value)
        return;
    if (m_customAttributes.Find(name, false))
        return;
    auto *copy = new CWideString(value);
    if (!m_customAttributes.Insert(name, copy))
        delete copy;
}

const wchar_t *CControlUI::GetCustomAttribute(const wchar_t *name) const
{
    if (!name || !*name)
        return nullptr;
    auto *value = static_cast<CWideString *>(m_customAttributes.Find(name, false));
    return value ? value->GetData() : nullptr;
}

void CControlUI::Invalidate()
{
    if (!IsVisible())
        return;
    RECT area = m_itemRect;
    if (ClipToAncestors(area, false) && m_manager)
        m_manager->Invalidate(area);
}

void CControlUI::MarkNeedsLayout()
{
    if (!IsVisible())
        return;
    m_needsLayout = true;
    Invalidate();
    if (m_manager)
        m_manager->MarkNeedsLayout();
}

void CControlUI::MarkParentNeedsLayout()
{
    CControlUI *target = m_parent ? m_parent : this;
    if (target->IsVisible()) {
        target->m_needsLayout = true;
        target->Invalidate();
        if (target->m_manager)
            target->m_manager->MarkNeedsLayout();
    }
    if (m_parent)
        m_parent->Invalidate();
    if (m_manager)
        m_manager->MarkNeedsLayout();
}

} // namespace SkinUI
