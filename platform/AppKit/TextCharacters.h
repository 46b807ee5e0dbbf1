#pragma once
// Character classes the text view's editing and moves share.
#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include <string>

namespace TextCharacters {

inline bool isLineEnd(char16_t c) { return c == u'\n' || c == u'\r' || c == 0x2029 || c == 0x2028; }

// Between these the caret may stop: never inside a surrogate pair, a CR LF
// or before a combining mark.
inline bool startsCluster(const std::u16string& text, size_t i)
{
    if (i == 0 || i >= text.size()) return true;
    if (U16_IS_TRAIL(text[i]) && U16_IS_LEAD(text[i - 1])) return false;
    if (text[i] == u'\n' && text[i - 1] == u'\r') return false;
    int8_t type = u_charType(text[i]);
    return type != U_NON_SPACING_MARK && type != U_ENCLOSING_MARK && type != U_COMBINING_SPACING_MARK;
}

inline bool isWordCharacter(char16_t c) { return u_isalnum(c) || c == u'_' || U16_IS_SURROGATE(c); }

}
