#include "ProcessSnapshot.h"

#include <windows.h>
// Tool Help needs the Windows types declared first.
#include <tlhelp32.h>

namespace {

class SnapshotHandle
{
public:
    explicit SnapshotHandle(HANDLE handle) : m_handle(handle) {}
    ~SnapshotHandle()
    {
        if (valid())
            CloseHandle(m_handle);
    }
    SnapshotHandle(const SnapshotHandle &) = delete;
    SnapshotHandle &operator=(const SnapshotHandle &) = delete;

    bool valid() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
    HANDLE get() const { return m_handle; }

private:
    HANDLE m_handle;
};

} // namespace

namespace ProcessSnapshot {

std::map<std::uint32_t, std::uint32_t> processesByExeName(const NativeName &exeName)
{
    std::map<std::uint32_t, std::uint32_t> found;
    if (exeName.empty())
        return found;

    SnapshotHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.valid())
        return found;

    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    if (!Process32FirstW(snapshot.get(), &entry))
        return found;
    do {
        if (exeName == entry.szExeFile)
            found[entry.th32ProcessID] = entry.th32ParentProcessID;
        entry.dwSize = sizeof(entry);
    } while (Process32NextW(snapshot.get(), &entry));
    return found;
}

} // namespace ProcessSnapshot
