#include "NotifyPump.h"

#include "ControlUI.h"

namespace SkinUI {

namespace {

const NotifyMapEntry kPumpEntries[] = {NotifyMapEnd()};

} // namespace

const NotifyMap CNotifyPump::kMessageMap = {nullptr, kPumpEntries};

CNotifyPump::CNotifyPump() : m_virtualWindows(83) {}

const NotifyMap *CNotifyPump::GetMessageMap() const
{
    return &kMessageMap;
}

bool CNotifyPump::AddVirtualWnd(const wchar_t *name, CNotifyPump *pump)
{
    return name && *name && pump && m_virtualWindows.Insert(name, pump);
}

bool CNotifyPump::RemoveVirtualWnd(const wchar_t *name)
{
    return name && m_virtualWindows.Remove(name);
}

// In each map a named entry for the sender wins at once; otherwise the last any-sender
// entry of the type. A notification whose sender has gone matches only any-sender entries.
const NotifyMapEntry *CNotifyPump::FindEntry(const NotifyMessage &message) const
{
    for (const NotifyMap *map = GetMessageMap(); map; map = map->baseMap) {
        const NotifyMapEntry *anySender = nullptr;
        for (const NotifyMapEntry *entry = map->entries;
             entry && entry->kind != NotifyMapEntry::End; ++entry) {
            if (entry->type != message.type.GetData())
                continue;
            if (entry->controlName.IsEmpty())
                anySender = entry;
            else if (message.sender && entry->controlName == message.sender->GetName().GetData())
                return entry;
        }
        if (anySender)
            return anySender;
    }
    return nullptr;
}

bool CNotifyPump::Call(const NotifyMapEntry &entry, NotifyMessage &message)
{
    if (entry.kind == NotifyMapEntry::Parameters && entry.parameterHandler)
        return (this->*entry.parameterHandler)(message.wParam, message.lParam);
    if (entry.kind == NotifyMapEntry::Message && entry.messageHandler)
        return (this->*entry.messageHandler)(message);
    return false;
}

bool CNotifyPump::Dispatch(NotifyMessage &message)
{
    if (!message.virtualWindow.IsEmpty()) {
        for (int i = 0; i < m_virtualWindows.GetSize(); ++i) {
            const wchar_t *name = m_virtualWindows.GetKeyAt(i);
            if (message.virtualWindow.CompareNoCase(name) != 0)
                continue;
            auto *pump = static_cast<CNotifyPump *>(m_virtualWindows.Find(name, false));
            if (pump && pump->DispatchToMap(message))
                return true;
        }
    }
    const NotifyMapEntry *entry = FindEntry(message);
    return entry ? Call(*entry, message) : false;
}

bool CNotifyPump::DispatchToMap(NotifyMessage &message)
{
    const NotifyMapEntry *entry = FindEntry(message);
    if (!entry)
        return false;
    Call(*entry, message);
    return true;
}

} // namespace SkinUI
