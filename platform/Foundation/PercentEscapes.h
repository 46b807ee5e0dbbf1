#pragma once
// Percent escapes over bytes ("%2F"), shared by URLs and the pasteboard
// folders, which name files after arbitrary type strings.
#include <cstdint>
#include <string>
#include <string_view>

namespace PercentEscapes {

// The value of a hexadecimal digit, or -1.
int hexValue(char32_t c);
// Each byte `keep` rejects becomes "%XX" with upper-case digits.
std::string encode(std::string_view bytes, bool (*keep)(unsigned char byte));
// Every well-formed "%XX" becomes its byte; a '%' without two hexadecimal
// digits after it stays as it is.
std::string decode(std::string_view text);

}
