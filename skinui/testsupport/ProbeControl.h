#pragma once

#include "ControlUI.h"

#include <functional>
#include <vector>

namespace SkinUI {
namespace Testing {

// A control that records every event it gets, can act on one (onEvent runs before the
// base handling), claims the behaviour flags it is given and fills its rectangle with a
// solid colour when it paints (a colour with alpha 0 paints nothing).
class ProbeControl : public CControlUI
{
public:
    explicit ProbeControl(const wchar_t *name = nullptr, DWORD fill = 0);
    ~ProbeControl() override;

    UINT GetBehaviorFlags() const override { return behaviorFlags; }
    void DoEvent(ControlEvent &event) override;
    void PaintBkColor(HDC dc) override;

    int CountOf(int eventType) const;
    std::vector<int> EventTypes() const;
    void ClearEvents() { events.clear(); }

    UINT behaviorFlags = 0;
    DWORD fill;
    std::vector<ControlEvent> events;
    std::function<void(ProbeControl &, ControlEvent &)> onEvent;
    // Set by the destructor, so a test can tell when the control went.
    bool *deletedFlag = nullptr;
};

// A parent for tests of the window machinery: owns its children and places each at a
// rectangle relative to its own top-left corner when it is placed itself. Hit-testing and
// painting visit the children from the topmost down.
class ProbeParent : public ProbeControl
{
public:
    explicit ProbeParent(const wchar_t *name = nullptr, DWORD fill = 0);
    ~ProbeParent() override;

    void Add(CControlUI *child, RECT relative);
    // Takes the child out of the tree; with deleteLater the manager deletes it after the
    // current message, as containers do.
    void Remove(CControlUI *child, bool deleteLater = true);
    int GetCount() const { return static_cast<int>(m_children.size()); }

    void SetManager(CWindowManagerUI *manager, CControlUI *parent, bool initialise) override;
    void SetPos(RECT rect, bool invalidate) override;
    CControlUI *FindControl(FindControlProc visitor, void *data, UINT flags) override;
    bool DoPaint(HDC dc, const RECT &paintArea, CControlUI *stopControl) override;
    void SetVisible(bool visible) override;

private:
    struct Child
    {
        CControlUI *control;
        RECT relative;
    };
    std::vector<Child> m_children;
};

} // namespace Testing
} // namespace SkinUI
