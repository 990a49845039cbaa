#include "WindowManagerUI.h"

#include "ControlUI.h"

namespace SkinUI {

namespace {

const UINT kTimerIdCycle = 255;

ControlEvent FocusEvent(int type, CControlUI *gaining)
{
    ControlEvent event;
    event.type = type;
    event.sender = gaining;
    event.timestamp = GetTickCount();
    return event;
}

struct TabStopSearch
{
    CControlUI *from;
    bool fromSeen = false;
    CControlUI *first = nullptr;
    CControlUI *last = nullptr;
    CControlUI *beforeFrom = nullptr;
    CControlUI *afterFrom = nullptr;
};

CControlUI *VisitTabStop(CControlUI *control, void *data)
{
    auto *search = static_cast<TabStopSearch *>(data);
    if (control == search->from) {
        search->fromSeen = true;
        return nullptr;
    }
    if (!(control->GetBehaviorFlags() & BehaviorTabStop))
        return nullptr;
    if (!search->first)
        search->first = control;
    search->last = control;
    if (!search->fromSeen)
        search->beforeFrom = control;
    else if (!search->afterFrom)
        search->afterFrom = control;
    return nullptr;
}

} // namespace

// ---- Events ----

WORD CWindowManagerUI::GetModifierKeyState()
{
    WORD state = 0;
    if (GetKeyState(VK_LBUTTON) < 0)
        state |= ModifierLeftButton;
    if (GetKeyState(VK_RBUTTON) < 0)
        state |= ModifierRightButton;
    if (GetKeyState(VK_SHIFT) < 0)
        state |= ModifierShift;
    if (GetKeyState(VK_CONTROL) < 0)
        state |= ModifierControl;
    if (GetKeyState(VK_MENU) < 0)
        state |= ModifierAlt;
    return state;
}

void CWindowManagerUI::SendEvent(CControlUI *control, int type, WPARAM wParam, LPARAM lParam,
                                 WORD keyState, wchar_t key)
{
    if (!control)
        return;
    ControlEvent event;
    event.type = type;
    event.sender = control;
    event.timestamp = GetTickCount();
    event.mousePoint = m_mousePoint;
    event.key = key;
    event.keyState = keyState == 0xFFFF ? GetModifierKeyState() : keyState;
    event.wParam = wParam;
    event.lParam = lParam;
    control->Event(event);
}

// ---- Notifications ----

void CWindowManagerUI::SendNotify(CControlUI *sender, const wchar_t *type, WPARAM wParam,
                                  LPARAM lParam, bool async)
{
    NotifyMessage message;
    message.type = type;
    message.sender = sender;
    message.wParam = wParam;
    message.lParam = lParam;
    SendNotify(message, async);
}

void CWindowManagerUI::SendNotify(NotifyMessage &message, bool async)
{
    message.timestamp = GetTickCount();
    message.mousePoint = m_mousePoint;
    if (m_useVirtualWindows && message.sender)
        message.virtualWindow = message.sender->GetVirtualWnd();
    if (!async) {
        DeliverNotify(message);
        return;
    }
    auto *copy = new NotifyMessage(message);
    if (!m_notifyQueue.Add(copy)) {
        delete copy;
        return;
    }
    PostDrainMessage();
}

void CWindowManagerUI::DeliverNotify(NotifyMessage &message)
{
    if (message.sender && message.sender->NotifyListeners)
        message.sender->NotifyListeners.Invoke(&message);
    // A notifier may unregister itself or another one while it runs.
    CPointerArray notifiers(m_notifiers);
    for (int i = 0; i < notifiers.GetCount(); ++i) {
        if (m_notifiers.Find(notifiers[i]) >= 0)
            static_cast<INotifyUI *>(notifiers[i])->Notify(message);
    }
}

void CWindowManagerUI::PostDrainMessage()
{
    if (m_notifyPosted || !m_paintWindow)
        return;
    if (PostMessageW(m_paintWindow, kDrainMessage, 0, 0))
        m_notifyPosted = true;
}

void CWindowManagerUI::DrainQueue()
{
    m_notifyPosted = false;
    while (!m_notifyQueue.IsEmpty()) {
        auto *message = static_cast<NotifyMessage *>(m_notifyQueue[0]);
        m_notifyQueue.Remove(0);
        DeliverNotify(*message);
        delete message;
    }
    DeleteDelayedCleanups();
}

void CWindowManagerUI::DeleteQueuedNotifications()
{
    for (int i = 0; i < m_notifyQueue.GetCount(); ++i)
        delete static_cast<NotifyMessage *>(m_notifyQueue[i]);
    m_notifyQueue.Empty();
}

void CWindowManagerUI::DeleteDelayedCleanups()
{
    // Taken out of the list first: a deleted control's own clean-up may touch the list.
    CPointerArray waiting(m_delayedCleanup);
    m_delayedCleanup.Empty();
    for (int i = 0; i < waiting.GetCount(); ++i)
        static_cast<CControlUI *>(waiting[i])->Delete();
}

void CWindowManagerUI::AddDelayedCleanup(CControlUI *control)
{
    if (!control)
        return;
    control->SetManager(this, nullptr, false);
    m_delayedCleanup.Add(control);
    PostDrainMessage();
}

void CWindowManagerUI::ForgetControl(CControlUI *control)
{
    if (!control)
        return;
    if (m_keyDown == control)
        m_keyDown = nullptr;
    if (m_hover == control)
        m_hover = nullptr;
    if (m_pressed == control) {
        m_pressed = nullptr;
        // The button-up that would give the capture back goes to the pressed control only.
        if (m_captured)
            ReleaseCapture();
    }
    if (m_focus == control)
        m_focus = nullptr;
    KillControlTimers(control);
    const CWideString &name = control->GetName();
    if (!name.IsEmpty() && m_controlsByName.Find(name.GetData(), false) == control)
        m_controlsByName.Remove(name.GetData());
    for (int i = 0; i < m_notifyQueue.GetCount(); ++i) {
        auto *message = static_cast<NotifyMessage *>(m_notifyQueue[i]);
        if (message->sender == control)
            message->sender = nullptr;
    }
    ForgetFromLists(control);
}

// A forgotten control must not be reached again through any list of the manager.
void CWindowManagerUI::ForgetFromLists(CControlUI *control)
{
    CPointerArray *lists[] = {&m_mouseLeaveListeners, &m_postPaintControls, &m_delayedCleanup,
                              &m_layoutScratch};
    for (CPointerArray *list : lists) {
        for (int index = list->Find(control); index >= 0; index = list->Find(control))
            list->Remove(index);
    }
    for (int index = m_nativeWindowControls.Find(control); index >= 0;
         index = m_nativeWindowControls.Find(control)) {
        m_nativeWindowControls.Remove(index);
        m_nativeWindows.Remove(index);
    }
}

// ---- Timers ----

TimerEntry *CWindowManagerUI::FindTimer(CControlUI *control, UINT localId) const
{
    for (int i = 0; i < m_timers.GetCount(); ++i) {
        auto *entry = static_cast<TimerEntry *>(m_timers[i]);
        if (entry->sender == control && entry->window == m_paintWindow && entry->localId == localId)
            return entry;
    }
    return nullptr;
}

bool CWindowManagerUI::IsWindowsTimerIdInUse(UINT id) const
{
    for (int i = 0; i < m_timers.GetCount(); ++i) {
        if (static_cast<TimerEntry *>(m_timers[i])->windowsId == id)
            return true;
    }
    return false;
}

bool CWindowManagerUI::SetTimer(CControlUI *control, UINT localId, UINT elapse)
{
    if (TimerEntry *entry = FindTimer(control, localId)) {
        if (!entry->killed)
            return false;
        if (!::SetTimer(m_paintWindow, entry->windowsId, elapse, nullptr))
            return false;
        entry->killed = false;
        return true;
    }
    // Ids are handed out cyclically; an id still held by an entry (killed ones included, they
    // can be re-armed) is skipped, so two timers never share one Windows id.
    bool found = false;
    for (UINT tries = 0; tries < kTimerIdCycle && !found; ++tries) {
        m_timerCounter = (m_timerCounter + 1) % kTimerIdCycle;
        found = !IsWindowsTimerIdInUse(m_timerCounter);
    }
    if (!found)
        return false;
    UINT windowsId = m_timerCounter;
    if (!::SetTimer(m_paintWindow, windowsId, elapse, nullptr))
        return false;
    auto *entry = new TimerEntry{control, localId, m_paintWindow, windowsId, false};
    if (!m_timers.Add(entry)) {
        ::KillTimer(m_paintWindow, windowsId);
        delete entry;
        return false;
    }
    return true;
}

bool CWindowManagerUI::KillTimer(CControlUI *control, UINT localId)
{
    for (int i = 0; i < m_timers.GetCount(); ++i) {
        auto *entry = static_cast<TimerEntry *>(m_timers[i]);
        if (entry->sender == control && entry->window == m_paintWindow &&
            entry->localId == localId && !entry->killed) {
            if (IsWindow(m_paintWindow))
                ::KillTimer(entry->window, entry->windowsId);
            entry->killed = true;
            return true;
        }
    }
    return false;
}

int CWindowManagerUI::KillControlTimers(CControlUI *control)
{
    int removed = 0;
    for (int i = m_timers.GetCount() - 1; i >= 0; --i) {
        auto *entry = static_cast<TimerEntry *>(m_timers[i]);
        if (entry->sender != control || entry->window != m_paintWindow)
            continue;
        if (!entry->killed)
            ::KillTimer(entry->window, entry->windowsId);
        delete entry;
        m_timers.Remove(i);
        ++removed;
    }
    return removed;
}

void CWindowManagerUI::RemoveAllTimers()
{
    for (int i = 0; i < m_timers.GetCount(); ++i) {
        auto *entry = static_cast<TimerEntry *>(m_timers[i]);
        if (!entry->killed && IsWindow(entry->window))
            ::KillTimer(entry->window, entry->windowsId);
        delete entry;
    }
    m_timers.Empty();
}

// ---- Focus ----

void CWindowManagerUI::SetFocus(CControlUI *control, bool focusWindow)
{
    if (focusWindow && m_paintWindow && ::GetFocus() != m_paintWindow && control != m_focus &&
        !m_noActivate)
        ::SetFocus(m_paintWindow);
    if (control == m_focus)
        return;
    if (m_focus) {
        CControlUI *losing = m_focus;
        ControlEvent event = FocusEvent(EventKillFocus, control);
        losing->Event(event);
        SendNotify(losing, L"killfocus");
        m_focus = nullptr;
    }
    if (control && control->GetManager() == this && control->IsVisible() && control->IsEnabled()) {
        m_focus = control;
        ControlEvent event = FocusEvent(EventSetFocus, control);
        control->Event(event);
        SendNotify(control, L"setfocus");
    }
}

CControlUI *CWindowManagerUI::FindTabStop(CControlUI *from, bool forward) const
{
    if (!m_root)
        return nullptr;
    TabStopSearch search;
    search.from = from;
    m_root->FindControl(VisitTabStop, &search, FindVisibleOnly | FindEnabledOnly | FindSelfFirst);
    if (!from)
        return search.first;
    if (!search.fromSeen)
        return nullptr;
    return forward ? search.afterFrom : search.beforeFrom;
}

bool CWindowManagerUI::MoveFocusToNextTabStop(bool forward)
{
    if (m_layoutNeeded && forward) {
        m_focusNeeded = true;
        if (m_paintWindow)
            InvalidateRect(m_paintWindow, nullptr, FALSE);
        return true;
    }
    CControlUI *next = FindTabStop(m_focus, forward);
    if (!next && m_root) {
        TabStopSearch search;
        search.from = nullptr;
        m_root->FindControl(VisitTabStop, &search,
                            FindVisibleOnly | FindEnabledOnly | FindSelfFirst);
        next = forward ? search.first : search.last;
    }
    if (next)
        SetFocus(next, true);
    m_focusNeeded = false;
    return true;
}

void CWindowManagerUI::SetFocusDeferred(CControlUI *control)
{
    if (!m_noActivate && m_paintWindow)
        ::SetFocus(m_paintWindow);
    if (!control)
        return;
    if (m_focus) {
        CControlUI *losing = m_focus;
        ControlEvent event = FocusEvent(EventKillFocus, control);
        losing->Event(event);
        SendNotify(losing, L"killfocus");
        m_focus = nullptr;
    }
    m_focus = FindTabStop(control, false);
    m_focusNeeded = true;
    if (m_root)
        m_root->MarkNeedsLayout();
}

} // namespace SkinUI
