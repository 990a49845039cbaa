#include "Delegate.h"

namespace SkinUI {

CDelegateList::~CDelegateList()
{
    for (int i = 0; i < m_delegates.GetCount(); ++i)
        delete static_cast<CDelegateBase *>(m_delegates[i]);
    m_delegates.Empty();
}

int CDelegateList::Find(const CDelegateBase &delegate) const
{
    for (int i = 0; i < m_delegates.GetCount(); ++i) {
        if (static_cast<CDelegateBase *>(m_delegates[i])->Equals(delegate))
            return i;
    }
    return -1;
}

void CDelegateList::Add(const CDelegateBase &delegate)
{
    if (Find(delegate) >= 0)
        return;
    CDelegateBase *copy = delegate.Copy();
    if (!m_delegates.Add(copy))
        delete copy;
}

bool CDelegateList::Remove(const CDelegateBase &delegate)
{
    int index = Find(delegate);
    if (index < 0)
        return false;
    delete static_cast<CDelegateBase *>(m_delegates[index]);
    return m_delegates.Remove(index);
}

bool CDelegateList::Invoke(void *parameter)
{
    // A listener may add or remove listeners while it runs: walk a snapshot of the list,
    // invoking only delegates that are still registered.
    CPointerArray snapshot(m_delegates);
    for (int i = 0; i < snapshot.GetCount(); ++i) {
        auto *delegate = static_cast<CDelegateBase *>(snapshot[i]);
        if (m_delegates.Find(delegate) < 0)
            continue;
        if (!delegate->Invoke(parameter))
            return false;
    }
    return true;
}

} // namespace SkinUI
