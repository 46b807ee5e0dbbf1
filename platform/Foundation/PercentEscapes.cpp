#include "Foundation/PercentEscapes.h"

namespace PercentEscapes {

int hexValue(char32_t c)
{
    if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
    return -1;
}

std::string encode(std::string_view bytes, bool (*keep)(unsigned char byte))
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char c : bytes) {
        if (keep(c)) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back('%');
            out.push_back(digits[c >> 4]);
            out.push_back(digits[c & 15]);
        }
    }
    return out;
}

std::string decode(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        int high = -1, low = -1;
        if (text[i] == '%' && i + 2 < text.size()) {
            high = hexValue(static_cast<unsigned char>(text[i + 1]));
            low = hexValue(static_cast<unsigned char>(text[i + 2]));
        }
        if (high >= 0 && low >= 0) {
            out.push_back(static_cast<char>(high * 16 + low));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

}
