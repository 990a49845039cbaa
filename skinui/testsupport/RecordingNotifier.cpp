#include "RecordingNotifier.h"

#include "ControlUI.h"

namespace SkinUI {
namespace Testing {

void RecordingNotifier::Notify(NotifyMessage &message)
{
    Record record;
    record.type = message.type.GetData();
    record.virtualWindow = message.virtualWindow.GetData();
    record.sender = message.sender;
    record.senderName = message.sender ? message.sender->GetName().GetData() : L"";
    record.wParam = message.wParam;
    record.lParam = message.lParam;
    records.push_back(record);
}

int RecordingNotifier::Count(const wchar_t *type) const
{
    return static_cast<int>(Of(type).size());
}

std::vector<std::wstring> RecordingNotifier::Types() const
{
    std::vector<std::wstring> types;
    for (const Record &record : records)
        types.push_back(record.type);
    return types;
}

std::vector<RecordingNotifier::Record> RecordingNotifier::Of(const wchar_t *type) const
{
    std::vector<Record> found;
    for (const Record &record : records) {
        if (record.type == type)
            found.push_back(record);
    }
    return found;
}

} // namespace Testing
} // namespace SkinUI
