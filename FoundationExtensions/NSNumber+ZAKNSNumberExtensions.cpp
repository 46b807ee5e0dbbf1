#include "FoundationExtensions/NSNumber+ZAKNSNumberExtensions.h"

#include <string>

namespace {

std::string letters(uint64_t value, char first)
{
    std::string text;
    while (value != 0) {
        --value;
        text.insert(text.begin(), static_cast<char>(first + value % 26));
        value /= 26;
    }
    return text;
}

// One decimal place: the digit written with the place's one, five and ten
// letters. The thousands place has no five or ten letter and only ever holds
// 1-4, written as that many ones.
std::string romanDigit(unsigned digit, char one, char five, char ten)
{
    if (digit <= 3) return std::string(digit, one);
    if (digit == 4) return five ? std::string{one, five} : std::string(4, one);
    if (digit <= 8) return std::string(1, five) + std::string(digit - 5, one);
    return std::string{one, ten};
}

std::string roman(uint64_t value, bool lower)
{
    const char* letterSet = lower ? "ivxlcdm" : "IVXLCDM";
    auto digit = [&](uint64_t place) { return static_cast<unsigned>(value / place % 10); };
    return romanDigit(digit(1000), letterSet[6], 0, 0) +
           romanDigit(digit(100), letterSet[4], letterSet[5], letterSet[6]) +
           romanDigit(digit(10), letterSet[2], letterSet[3], letterSet[4]) +
           romanDigit(digit(1), letterSet[0], letterSet[1], letterSet[2]);
}

}

namespace NSNumberExt {

Ref<NSString> numberToStringWithType(const Ref<NSNumber>& number, NSInteger type)
{
    const uint64_t value = number->unsignedLongValue();
    if (value == 0) return "NUL"_ns;
    switch (type) {
    case 0: return NSString::stringWithFormat("%lu", value);
    case 1:
    case 2: return NSString::stringWithUTF8String(letters(value, type == 1 ? 'A' : 'a'));
    case 3:
    case 4:
        if (value > 4999) return "NUL"_ns;
        return NSString::stringWithUTF8String(roman(value, type == 4));
    default: return nullptr;
    }
}

}
