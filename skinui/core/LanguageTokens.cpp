#include "LanguageTokens.h"

#include "WindowManagerUI.h"

#include <cwchar>

namespace SkinUI {

namespace LanguageTokens {

namespace {

const int kMaxDigits = 10;
const int kMaxNesting = 256;
const size_t kMaxNestedLength = 32768;

// A token at text: its number and the character behind it.
bool ReadToken(const wchar_t *text, int &id, const wchar_t *&behind)
{
    if (text[0] != L'%' || text[1] != L'{')
        return false;
    const wchar_t *p = text + 2;
    unsigned number = 0;
    for (int digits = 0; digits < kMaxDigits && *p >= L'0' && *p <= L'9'; ++digits, ++p)
        number = number * 10 + static_cast<unsigned>(*p - L'0');
    if (*p != L'}')
        return false;
    id = static_cast<int>(number);
    behind = p + 1;
    return true;
}

class Expansion
{
public:
    explicit Expansion(std::wstring &out) : m_out(out) {}

    // Appends the text of the given nesting depth (0: the text itself), its tokens replaced.
    void Append(const wchar_t *text, int depth);
    bool ReplacedAny() const { return m_replacedAny; }

private:
    bool MayReplaceAt(int depth) const
    {
        return depth == 0 || (depth < kMaxNesting && m_nestedLength < kMaxNestedLength);
    }

    std::wstring &m_out;
    size_t m_nestedLength = 0;
    bool m_replacedAny = false;
};

void Expansion::Append(const wchar_t *text, int depth)
{
    const wchar_t *copied = text;
    const wchar_t *p = depth > 0 && *text != L'\0' ? text + 1 : text;
    while (MayReplaceAt(depth) && (p = wcschr(p, L'%')) != nullptr) {
        int id = 0;
        const wchar_t *behind = nullptr;
        const wchar_t *string =
            ReadToken(p, id, behind) ? CWindowManagerUI::GetLanguageString(id) : nullptr;
        if (string == nullptr) {
            ++p;
            continue;
        }
        m_out.append(copied, static_cast<size_t>(p - copied));
        if (depth > 0)
            m_nestedLength += wcslen(string);
        m_replacedAny = true;
        Append(string, depth + 1);
        copied = p = behind;
    }
    m_out.append(copied);
}

} // namespace

bool Expand(const wchar_t *text, std::wstring &expanded)
{
    if (text == nullptr || wcschr(text, L'%') == nullptr)
        return false;
    std::wstring out;
    Expansion expansion(out);
    expansion.Append(text, 0);
    if (!expansion.ReplacedAny())
        return false;
    expanded.swap(out);
    return true;
}

} // namespace LanguageTokens

} // namespace SkinUI
