#pragma once

#include <cstddef>
#include <string>

// A message box wraps its text only at blanks and between Chinese characters; a longer run
// of other characters stays on one line, however wide. No run it shows is longer than this,
// so that the box, its button included, stays on the screen.
constexpr std::size_t kLongestUnbrokenRun = 40;

// What the user is told of a failure: the uninstaller's own words, as many as the worker's
// buffer holds, laid out for a message box; that the uninstall failed when there are none.
std::wstring ShownFailureText(const std::wstring &text);

// The text as a message box can wrap it: line ends and tabs, which would make the box taller
// or wider than the screen, become blanks, and a line break follows every
// kLongestUnbrokenRun characters that the box could not wrap, after a slash or a backslash
// where one lies in the second half of the run.
std::wstring WrapForMessageBox(const std::wstring &text);
