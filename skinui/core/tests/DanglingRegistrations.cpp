#include "DanglingRegistrations.h"

#include "ControlUI.h"

namespace SkinUI {
namespace Testing {

namespace {

void TakeFreedGroupMembers(CWindowManagerUI &manager, const FreedMemoryWatch &freed,
                           const wchar_t *groupName, std::vector<std::string> &found)
{
    CPointerArray *group = manager.GetOptionGroup(groupName);
    if (!group)
        return;
    std::vector<CControlUI *> gone;
    for (int i = 0; i < group->GetCount(); ++i) {
        if (freed.Contains(group->GetAt(i)))
            gone.push_back(static_cast<CControlUI *>(group->GetAt(i)));
    }
    for (CControlUI *member : gone) {
        manager.RemoveOptionGroup(groupName, member);
        found.push_back("option group");
    }
}

// A registration is a pointer to the registered object or to one of its bases, so it points
// somewhere inside a freed block.
void TakeFreedListEntries(CWindowManagerUI &manager, const FreedMemoryWatch &freed,
                          std::vector<std::string> &found)
{
    for (const FreedMemoryWatch::Block &block : freed.Blocks()) {
        for (size_t offset = 0; offset + sizeof(void *) <= block.size; offset += sizeof(void *)) {
            void *inside = const_cast<char *>(block.begin + offset);
            auto *control = static_cast<CControlUI *>(inside);
            if (manager.RemoveMessageFilter(static_cast<IMessageFilterUI *>(inside)))
                found.push_back("message filter");
            if (manager.RemovePreMessageFilter(static_cast<IMessageFilterUI *>(inside)))
                found.push_back("pre-message filter");
            if (manager.RemoveTranslateAccelerator(static_cast<ITranslateAccelerator *>(inside)))
                found.push_back("accelerator");
            if (manager.RemoveNotifier(static_cast<INotifyUI *>(inside)))
                found.push_back("notifier");
            if (manager.RemovePostPaint(control))
                found.push_back("post-paint");
            if (manager.RemoveMouseLeaveListener(control))
                found.push_back("mouse-leave listener");
            if (manager.KillControlTimers(control) > 0)
                found.push_back("timer");
        }
    }
}

} // namespace

std::vector<std::string> DanglingRegistrations(CWindowManagerUI &manager,
                                               const FreedMemoryWatch &freed,
                                               const std::vector<const wchar_t *> &names,
                                               const std::vector<const wchar_t *> &groups)
{
    std::vector<std::string> found;
    if (freed.Contains(manager.GetFocus()))
        found.push_back("focus");
    for (const wchar_t *name : names) {
        if (freed.Contains(manager.FindControlByName(name)))
            found.push_back("name");
    }
    for (const wchar_t *group : groups)
        TakeFreedGroupMembers(manager, freed, group, found);
    TakeFreedListEntries(manager, freed, found);
    return found;
}

std::string Joined(const std::vector<std::string> &parts)
{
    std::string text;
    for (const std::string &part : parts)
        text += (text.empty() ? "" : ", ") + part;
    return text;
}

} // namespace Testing
} // namespace SkinUI
