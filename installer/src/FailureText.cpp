#include "FailureText.h"

#include "UninstallWorker.h"

#include <windows.h>

namespace {

// The uninstaller's values are read into a buffer of 772 characters, its terminator included.
constexpr std::size_t kLongestShownText = 771;

// The first character of the text from index on, and how many UTF-16 units it takes; a
// surrogate pair is one character.
char32_t CharacterAt(const std::wstring &text, std::size_t index, std::size_t &units)
{
    const wchar_t first = text[index];
    if (IS_HIGH_SURROGATE(first) && index + 1 < text.size() && IS_LOW_SURROGATE(text[index + 1])) {
        units = 2;
        return 0x10000 + ((static_cast<char32_t>(first) - 0xD800) << 10) +
               (static_cast<char32_t>(text[index + 1]) - 0xDC00);
    }
    units = 1;
    return first;
}

// Chinese, Japanese and Korean characters, between which a message box wraps as between
// words; each is a run of its own. Beyond the first plane Wine's box does not wrap them.
bool IsWrappedAround(char32_t c)
{
    return (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x3041 && c <= 0x3096) ||
           (c >= 0x30A1 && c <= 0x30FA) || (c >= 0xAC00 && c <= 0xD7A3);
}

// Marks drawn onto the character before them, from which a break must not part them.
bool JoinsPrevious(char32_t c)
{
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x20D0 && c <= 0x20FF) ||
           (c >= 0xFE00 && c <= 0xFE0F) || c == 0x200D;
}

// Line ends and tabs as blanks; those that end the text go, as the carriage return before
// the uninstaller's line feed does.
std::wstring WithBlanksForControls(const std::wstring &text)
{
    std::wstring blanked = text;
    const std::size_t end = blanked.find_last_not_of(L"\r\n\t");
    blanked.erase(end == std::wstring::npos ? 0 : end + 1);
    for (wchar_t &c : blanked) {
        if (c == L'\r' || c == L'\n' || c == L'\t') {
            c = L' ';
        }
    }
    return blanked;
}

// Ends the run that begins at runStart in the laid-out text with a line break, after its
// last path separator when that lies in its second half, else at its end; returns where the
// run that goes on begins.
std::size_t BreakRun(std::wstring &laidOut, std::size_t runStart, int widestLine,
                     const TextWidth &width)
{
    std::size_t breakAt = laidOut.size();
    const std::size_t separator = laidOut.find_last_of(L"\\/");
    if (separator != std::wstring::npos && separator >= runStart &&
        width(laidOut.substr(runStart, separator + 1 - runStart)) >= widestLine / 2) {
        breakAt = separator + 1;
    }
    laidOut.insert(breakAt, 1, L'\n');
    return breakAt + 1;
}

// The message box's font as the system gives it; released with the object.
class MessageFont
{
public:
    MessageFont()
    {
        NONCLIENTMETRICSW metrics = {};
        metrics.cbSize = sizeof(metrics);
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
            font_ = CreateFontIndirectW(&metrics.lfMessageFont);
        }
        dc_ = CreateCompatibleDC(nullptr);
        if (dc_ != nullptr && font_ != nullptr) {
            previous_ = SelectObject(dc_, font_);
        }
    }
    ~MessageFont()
    {
        if (dc_ != nullptr) {
            if (previous_ != nullptr) {
                SelectObject(dc_, previous_);
            }
            DeleteDC(dc_);
        }
        if (font_ != nullptr) {
            DeleteObject(font_);
        }
    }
    MessageFont(const MessageFont &) = delete;
    MessageFont &operator=(const MessageFont &) = delete;

    int Width(const std::wstring &piece) const
    {
        SIZE size = {};
        if (dc_ == nullptr ||
            !GetTextExtentPoint32W(dc_, piece.c_str(), static_cast<int>(piece.size()), &size)) {
            return 0;
        }
        return size.cx;
    }

private:
    HFONT font_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

int WidestMessageLine()
{
    RECT work = {};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) {
        work.right = GetSystemMetrics(SM_CXSCREEN);
    }
    // The rest is for the box's frame, its margins and what a system adds of its own.
    return (work.right - work.left) * 3 / 4;
}

} // namespace

std::wstring WrapForMessageBox(const std::wstring &text, int widestLine, const TextWidth &width)
{
    const std::wstring blanked = WithBlanksForControls(text);
    std::wstring laidOut;
    laidOut.reserve(blanked.size() + blanked.size() / 16);
    std::size_t runStart = 0;
    for (std::size_t index = 0; index < blanked.size();) {
        std::size_t units = 1;
        const char32_t c = CharacterAt(blanked, index, units);
        const bool endsRun = c == L' ' || IsWrappedAround(c);
        if (!endsRun && laidOut.size() > runStart && !JoinsPrevious(c) &&
            width(laidOut.substr(runStart) + blanked.substr(index, units)) > widestLine) {
            runStart = BreakRun(laidOut, runStart, widestLine, width);
        }
        laidOut.append(blanked, index, units);
        index += units;
        if (endsRun) {
            runStart = laidOut.size();
        }
    }
    return laidOut;
}

std::wstring WrapForMessageBox(const std::wstring &text)
{
    const MessageFont font;
    return WrapForMessageBox(text, WidestMessageLine(),
                             [&font](const std::wstring &piece) { return font.Width(piece); });
}

std::wstring ShownFailureText(const std::wstring &text)
{
    // The buffer holds the uninstaller's value; the line breaks are only for showing it.
    std::wstring value = text.substr(0, kLongestShownText);
    // Half a character would show as a stray box.
    if (value.size() < text.size() && IS_HIGH_SURROGATE(value.back())) {
        value.pop_back();
    }
    const std::wstring shown = WrapForMessageBox(value);
    // An error without words, the carriage return of its line alone included.
    return shown.empty() ? std::wstring(UninstallWorker::kUninstallFailedText) : shown;
}
