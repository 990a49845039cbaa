#pragma once

#include "WindowInterfaces.h"

#include <string>
#include <vector>

namespace SkinUI {
namespace Testing {

// An INotifyUI that keeps a copy of every notification it receives.
class RecordingNotifier : public INotifyUI
{
public:
    struct Record
    {
        std::wstring type;
        std::wstring virtualWindow;
        CControlUI *sender;
        std::wstring senderName; // read at delivery; empty for a null sender
        WPARAM wParam;
        LPARAM lParam;
    };

    void Notify(NotifyMessage &message) override;

    int Count(const wchar_t *type) const;
    std::vector<std::wstring> Types() const;
    // The records of one type, in order.
    std::vector<Record> Of(const wchar_t *type) const;
    void Clear() { records.clear(); }

    std::vector<Record> records;
};

} // namespace Testing
} // namespace SkinUI
