#include "ProbeControl.h"

#include "WindowManagerUI.h"

#include <algorithm>

namespace SkinUI {
namespace Testing {

ProbeControl::ProbeControl(const wchar_t *name, DWORD fill) : fill(fill)
{
    if (name)
        SetName(name);
}

ProbeControl::~ProbeControl()
{
    if (deletedFlag)
        *deletedFlag = true;
}

void ProbeControl::DoEvent(ControlEvent &event)
{
    events.push_back(event);
    if (onEvent)
        onEvent(*this, event);
    CControlUI::DoEvent(event);
}

void ProbeControl::PaintBkColor(HDC dc)
{
    if ((fill >> 24) == 0)
        return;
    HBRUSH brush = CreateSolidBrush(RGB((fill >> 16) & 0xFF, (fill >> 8) & 0xFF, fill & 0xFF));
    FillRect(dc, &m_paintRect, brush);
    DeleteObject(brush);
}

int ProbeControl::CountOf(int eventType) const
{
    return static_cast<int>(
        std::count_if(events.begin(), events.end(),
                      [eventType](const ControlEvent &e) { return e.type == eventType; }));
}

std::vector<int> ProbeControl::EventTypes() const
{
    std::vector<int> types;
    for (const ControlEvent &event : events)
        types.push_back(event.type);
    return types;
}

ProbeParent::ProbeParent(const wchar_t *name, DWORD fill) : ProbeControl(name, fill) {}

ProbeParent::~ProbeParent()
{
    std::vector<Child> children;
    children.swap(m_children);
    for (Child &child : children)
        child.control->Delete();
}

void ProbeParent::Add(CControlUI *child, RECT relative)
{
    m_children.push_back(Child{child, relative});
    if (m_manager)
        m_manager->InitControls(child, this);
    if (!IsVisible())
        child->SetInheritedVisible(false);
    MarkNeedsLayout();
}

void ProbeParent::Remove(CControlUI *child, bool deleteLater)
{
    auto found = std::find_if(m_children.begin(), m_children.end(),
                              [child](const Child &c) { return c.control == child; });
    if (found == m_children.end())
        return;
    m_children.erase(found);
    MarkNeedsLayout();
    if (deleteLater && m_manager)
        m_manager->AddDelayedCleanup(child);
    else if (deleteLater)
        child->Delete();
}

void ProbeParent::SetManager(CWindowManagerUI *manager, CControlUI *parent, bool initialise)
{
    for (Child &child : m_children)
        child.control->SetManager(manager, this, initialise);
    CControlUI::SetManager(manager, parent, initialise);
}

void ProbeParent::SetPos(RECT rect, bool invalidate)
{
    CControlUI::SetPos(rect, invalidate);
    for (Child &child : m_children) {
        RECT placed = child.relative;
        OffsetRect(&placed, m_itemRect.left, m_itemRect.top);
        child.control->SetPos(placed, false);
    }
}

CControlUI *ProbeParent::FindControl(FindControlProc visitor, void *data, UINT flags)
{
    if ((flags & FindVisibleOnly) && !IsVisible())
        return nullptr;
    if ((flags & FindEnabledOnly) && !IsEnabled())
        return nullptr;
    if ((flags & FindHitTest) && !PtInRect(&m_itemRect, *static_cast<const POINT *>(data)))
        return nullptr;
    bool hitTest = (flags & FindHitTest) != 0;
    if ((flags & FindSelfFirst) && (!hitTest || m_mouseEnabled)) {
        if (CControlUI *found = visitor(this, data))
            return found;
    }
    int count = GetCount();
    for (int i = 0; i < count; ++i) {
        int index = (flags & FindTopFirst) ? count - 1 - i : i;
        if (CControlUI *found = m_children[index].control->FindControl(visitor, data, flags))
            return found;
    }
    if (flags & FindSelfFirst)
        return nullptr;
    if (hitTest && !m_mouseEnabled)
        return nullptr;
    return visitor(this, data);
}

bool ProbeParent::DoPaint(HDC dc, const RECT &paintArea, CControlUI *stopControl)
{
    if (!CControlUI::DoPaint(dc, paintArea, stopControl))
        return false;
    for (Child &child : m_children) {
        if (child.control == stopControl)
            return false;
        if (child.control->IsVisible() && !child.control->Paint(dc, paintArea, stopControl))
            return false;
    }
    return true;
}

void ProbeParent::SetVisible(bool visible)
{
    CControlUI::SetVisible(visible);
    for (Child &child : m_children)
        child.control->SetInheritedVisible(IsVisible());
}

} // namespace Testing
} // namespace SkinUI
