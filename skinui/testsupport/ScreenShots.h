#pragma once

#include <windows.h>

#include <string>

namespace SkinUI {
namespace Testing {

// The screen program's side of screenshots taken from outside the Wine session
// (wine_x11_screen.py): for shot N the program writes "readyN.txt" into the shot folder, one
// "key numbers..." a line, and keeps its windows up, pumping messages, until "doneN.txt"
// appears there.
class ScreenShots
{
public:
    explicit ScreenShots(std::wstring folder);

    // Adds a line "key left top right bottom" for a rectangle of the window's client area,
    // given in screen coordinates, to the ready file of the coming shot.
    void AddRect(const char *key, HWND window, RECT clientRect);
    void AddNumber(const char *key, long number);
    // Writes the ready file and pumps messages until the done file appears (at most a
    // minute); false when the file could not be written or no done file came.
    bool Take();

private:
    std::wstring File(const wchar_t *kind) const;

    std::wstring m_folder;
    std::string m_lines;
    int m_shot = 1;
};

} // namespace Testing
} // namespace SkinUI
