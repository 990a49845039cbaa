#pragma once

#include <string>

namespace SkinUI {

// The language tokens of texts: "%{", a decimal number of up to ten digits (none reads as 0)
// and "}", standing for the language string of that number.
namespace LanguageTokens {

// Writes the text with every token that has a language string replaced by that string, in
// one pass that builds the result once. A string brought in by a token has its own tokens
// replaced in turn, searched from its second character on (the search goes on behind the
// token's "%"); such nested replacements stop at a depth of 256 and once they have added
// 32,768 characters, so that strings holding their own token, or bringing the next one twice,
// end. Returns false, writing nothing, when the text holds no token with a language string.
bool Expand(const wchar_t *text, std::wstring &expanded);

} // namespace LanguageTokens

} // namespace SkinUI
