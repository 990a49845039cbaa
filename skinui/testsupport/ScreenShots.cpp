#include "ScreenShots.h"

#include "TestWindow.h"

#include <cstdio>

namespace SkinUI {
namespace Testing {

namespace {

bool Exists(const std::wstring &path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

ScreenShots::ScreenShots(std::wstring folder) : m_folder(std::move(folder)) {}

std::wstring ScreenShots::File(const wchar_t *kind) const
{
    return m_folder + L"\\" + kind + std::to_wstring(m_shot) + L".txt";
}

void ScreenShots::AddRect(const char *key, HWND window, RECT rect)
{
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT *>(&rect), 2);
    char line[160];
    std::snprintf(line, sizeof(line), "%s %ld %ld %ld %ld\n", key, rect.left, rect.top, rect.right,
                  rect.bottom);
    m_lines += line;
}

void ScreenShots::AddNumber(const char *key, long number)
{
    m_lines += std::string(key) + " " + std::to_string(number) + "\n";
}

bool ScreenShots::Take()
{
    // Written aside and renamed, so that the ready file is never seen half written.
    const std::wstring ready = File(L"ready");
    const std::wstring aside = ready + L".part";
    FILE *file = _wfopen(aside.c_str(), L"wb");
    if (!file)
        return false;
    bool written = std::fwrite(m_lines.data(), 1, m_lines.size(), file) == m_lines.size();
    written = std::fclose(file) == 0 && written;
    written = written && MoveFileExW(aside.c_str(), ready.c_str(), MOVEFILE_REPLACE_EXISTING);
    m_lines.clear();
    const std::wstring done = File(L"done");
    ++m_shot;
    return written && TestWindow::PumpUntil([&] { return Exists(done); });
}

} // namespace Testing
} // namespace SkinUI
