#pragma once

#include "NotifyMessage.h"
#include "StringKeyedMap.h"
#include "WideString.h"

#include <windows.h>

namespace SkinUI {

class CNotifyPump;

typedef bool (CNotifyPump::*NotifyParameterHandler)(WPARAM wParam, LPARAM lParam);
typedef bool (CNotifyPump::*NotifyMessageHandler)(NotifyMessage &message);

// One entry of a class's static notification map; a table ends with an entry of kind 0.
struct NotifyMapEntry
{
    enum Kind
    {
        End = 0,
        Parameters = 1, // handler(wParam, lParam)
        Message = 2,    // handler(NotifyMessage &)
    };

    CWideString type;        // compared exactly
    CWideString controlName; // empty: any sender
    int kind;
    NotifyParameterHandler parameterHandler;
    NotifyMessageHandler messageHandler;
};

struct NotifyMap
{
    const NotifyMap *baseMap;
    const NotifyMapEntry *entries;
};

// Entries are written with these helpers, so that a handler of a class derived from
// CNotifyPump is converted with its object offset.
template <class T>
NotifyMapEntry NotifyOn(const wchar_t *type, const wchar_t *controlName,
                        bool (T::*handler)(NotifyMessage &))
{
    return NotifyMapEntry{type, controlName, NotifyMapEntry::Message, nullptr,
                          static_cast<NotifyMessageHandler>(handler)};
}

template <class T>
NotifyMapEntry NotifyOn(const wchar_t *type, const wchar_t *controlName,
                        bool (T::*handler)(WPARAM, LPARAM))
{
    return NotifyMapEntry{type, controlName, NotifyMapEntry::Parameters,
                          static_cast<NotifyParameterHandler>(handler), nullptr};
}

inline NotifyMapEntry NotifyMapEnd()
{
    return NotifyMapEntry{L"", L"", NotifyMapEntry::End, nullptr, nullptr};
}

// Table-driven dispatch of notifications to member handlers by notification type and
// sender name, through the class's map and its base maps.
class CNotifyPump
{
public:
    CNotifyPump();
    CNotifyPump(const CNotifyPump &) = delete;
    CNotifyPump &operator=(const CNotifyPump &) = delete;
    virtual ~CNotifyPump() = default;

    virtual const NotifyMap *GetMessageMap() const;

    // Virtual windows: notifications whose virtual-window name matches (without regard to
    // case) go to the pump registered under that name first.
    bool AddVirtualWnd(const wchar_t *name, CNotifyPump *pump);
    bool RemoveVirtualWnd(const wchar_t *name);

    bool Dispatch(NotifyMessage &message);
    bool DispatchToMap(NotifyMessage &message);

    static const NotifyMap kMessageMap;

private:
    const NotifyMapEntry *FindEntry(const NotifyMessage &message) const;
    bool Call(const NotifyMapEntry &entry, NotifyMessage &message);

    CStringKeyedMap m_virtualWindows;
};

} // namespace SkinUI
