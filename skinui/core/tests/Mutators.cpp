#include "Mutators.h"

#include "ThreadCpuTime.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace SkinUI {
namespace Testing {

std::vector<uint8_t> ByteMutator::Mutate(const std::vector<uint8_t> &original,
                                         const char *interesting)
{
    std::vector<uint8_t> bytes = original;
    int edits = 1 + static_cast<int>(Next(4));
    for (int e = 0; e < edits && !bytes.empty(); ++e) {
        size_t at = Next(bytes.size());
        switch (Next(6)) {
        case 0:
            bytes[at] ^= static_cast<uint8_t>(1u << Next(8));
            break;
        case 1:
            bytes[at] = static_cast<uint8_t>(Next(256));
            break;
        case 2:
            bytes[at] = static_cast<uint8_t>(interesting[Next(strlen(interesting))]);
            break;
        case 3:
            bytes.resize(at);
            break;
        case 4: {
            static const uint32_t words[] = {0, 0xFFFFFFFF, 0x7FFFFFFF, 0x80000000, 0x400001};
            uint32_t word = words[Next(5)];
            for (size_t i = 0; i < 4 && at + i < bytes.size(); ++i)
                bytes[at + i] = static_cast<uint8_t>(word >> (8 * i));
            break;
        }
        default:
            bytes.erase(bytes.begin() + static_cast<long>(at),
                        bytes.begin() +
                            static_cast<long>(std::min(bytes.size(), at + 1 + Next(16))));
            break;
        }
    }
    return bytes;
}

std::wstring TextMutator::Mutate(const std::wstring &original, const wchar_t *interesting)
{
    static const wchar_t *const pieces[] = {L"2147483647", L"-1",     L"0",    L"99999", L"#",
                                            L"\U0001D11E", L"\xD800", L"卸载", L"'",     L"\""};
    std::wstring text = original;
    const size_t interestingCount = wcslen(interesting);
    const int edits = 1 + static_cast<int>(Next(4));
    for (int e = 0; e < edits; ++e) {
        const size_t at = Next(text.size() + 1);
        switch (Next(6)) {
        case 0:
            if (at < text.size())
                text[at] = interesting[Next(interestingCount)];
            break;
        case 1:
            text.insert(at, 1, interesting[Next(interestingCount)]);
            break;
        case 2:
            text.resize(at);
            break;
        case 3:
            text.erase(at, 1 + Next(12));
            break;
        case 4:
            text.insert(at, pieces[Next(sizeof(pieces) / sizeof(pieces[0]))]);
            break;
        default: {
            const size_t from = Next(text.size() + 1);
            text.insert(at, text.substr(from, Next(16)));
            break;
        }
        }
    }
    return text;
}

CpuBudget::CpuBudget(std::chrono::milliseconds budget) : m_end(ProcessCpuTime())
{
    if (m_end != std::chrono::milliseconds::max())
        m_end += budget;
}

std::chrono::milliseconds CpuBudget::ProcessCpuTime()
{
    FILETIME creation, exit, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user))
        return std::chrono::milliseconds::max();
    return CpuTimeFrom(kernel, user);
}

} // namespace Testing
} // namespace SkinUI
