#pragma once

#include <cstddef>
#include <functional>
#include <string>

// What the user is told of a failure: the uninstaller's own words, as many as the worker's
// buffer holds, laid out for a message box; that the uninstall failed when there are none.
std::wstring ShownFailureText(const std::wstring &text);

// How wide a piece of text is drawn, in pixels.
using TextWidth = std::function<int(const std::wstring &piece)>;

// The text as a message box can wrap it. A box wraps only at blanks and between Chinese
// characters, and widens for a longer run of other characters (a path, say) however wide it
// is. Line ends and tabs, which would make the box taller or wider than the screen, become
// blanks; a run wider than widestLine is broken with a line break, after a slash or a
// backslash where one lies in the second half of the line, so that the box stays on the
// screen. Runs no wider are left whole.
std::wstring WrapForMessageBox(const std::wstring &text, int widestLine, const TextWidth &width);
// The same for a message box on this system: its font, and a line of at most three quarters
// of the screen's work area.
std::wstring WrapForMessageBox(const std::wstring &text);
