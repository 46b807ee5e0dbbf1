// stringWithFormat: the platform's directives over typed arguments. Localized
// texts are used as formats, so every directive is checked against the
// argument it consumes; a missing or mismatched argument raises instead of
// reading memory.
#include <clocale>
#include <cstdio>
#include <string>

#include "Foundation/NSException.h"
#include "Foundation/NSString.h"

namespace {

[[noreturn]] void badFormat(std::u16string_view format, const std::string& why)
{
    NSException::raise(NSInvalidArgumentException, "Format \"" + ConvertUTF16ToUTF8(format) + "\": " + why);
}

void appendUTF8(std::u16string& out, const std::string& utf8)
{
    std::u16string converted;
    if (ConvertUTF8ToUTF16(utf8, converted)) out += converted;
}

// Numbers print in the C locale whatever the process's locale is.
class CNumericLocale {
public:
    CNumericLocale()
        : m_previous(uselocale(cLocale()))
    { }
    ~CNumericLocale() { uselocale(m_previous); }

private:
    static locale_t cLocale()
    {
        static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
        return c;
    }
    locale_t m_previous;
};

// Text directives (%@, %s, %S) pad and cut in UTF-16 units, so a width lines
// up characters rather than UTF-8 bytes. spec is "%" followed by the flags,
// width and precision already resolved to digits.
void appendPadded(std::u16string& out, std::u16string_view text, const std::string& spec)
{
    bool left = false;
    size_t i = 1;
    while (i < spec.size() && std::string_view("-+ #0'").find(spec[i]) != std::string_view::npos)
        left |= spec[i++] == '-';
    long width = 0;
    if (i < spec.size() && spec[i] == '-') {  // a negative '*' width
        left = true;
        ++i;
    }
    while (i < spec.size() && spec[i] >= '0' && spec[i] <= '9') width = width * 10 + (spec[i++] - '0');
    if (i < spec.size() && spec[i] == '.') {
        long precision = 0;
        ++i;
        while (i < spec.size() && spec[i] >= '0' && spec[i] <= '9') precision = precision * 10 + (spec[i++] - '0');
        if (static_cast<size_t>(precision) < text.size()) text = text.substr(0, precision);
    }
    std::u16string padding(width > static_cast<long>(text.size()) ? width - text.size() : 0, u' ');
    if (!left) out += padding;
    out += text;
    if (left) out += padding;
}

std::u16string cStringText(const char* s)
{
    if (!s) return u"(null)";
    std::u16string text;
    if (ConvertUTF8ToUTF16(s, text)) return text;
    // Not UTF-8: show the bytes as Latin-1 rather than nothing.
    for (const char* p = s; *p; ++p) text += static_cast<char16_t>(static_cast<unsigned char>(*p));
    return text;
}

// Widths and precisions beyond this are refused rather than allocated.
constexpr size_t maxCount = 100000;

}

Ref<NSString> NSString::stringWithFormatArguments(const Ref<NSString>& formatString, std::span<const FormatArg> args)
{
    if (!formatString) NSException::raise(NSInvalidArgumentException, "-[NSString initWithFormat:]: nil argument");
    StringChars formatChars(*formatString);
    const std::u16string_view f = formatChars.view();
    std::u16string out;
    size_t next = 0;  // index of the next argument consumed in order

    auto take = [&](size_t position) -> const FormatArg& {
        if (position >= args.size()) badFormat(f, "directive " + std::to_string(position + 1) + " has no argument");
        return args[position];
    };

    for (size_t i = 0; i < f.size(); ++i) {
        char16_t c = f[i];
        if (c != u'%') {
            out += c;
            continue;
        }
        if (++i >= f.size()) badFormat(f, "ends inside a directive");
        if (f[i] == u'%') {
            out += u'%';
            continue;
        }
        // %n$ positional arguments.
        size_t position = std::u16string::npos;
        {
            size_t j = i, n = 0;
            while (j < f.size() && f[j] >= u'0' && f[j] <= u'9') n = n * 10 + (f[j++] - u'0');
            if (j < f.size() && j > i && f[j] == u'$') {
                if (n == 0) badFormat(f, "argument position 0");
                position = n - 1;
                i = j + 1;
            }
        }
        std::string spec = "%";
        while (i < f.size() && std::u16string_view(u"-+ #0'").find(f[i]) != std::u16string_view::npos)
            spec += char(f[i++]);
        auto readCount = [&](bool precision) {
            if (i < f.size() && f[i] == u'*') {
                ++i;
                const FormatArg& a = take(next++);
                if (a.kind != FormatArg::Kind::Signed && a.kind != FormatArg::Kind::Unsigned)
                    badFormat(f, "'*' needs an integer argument");
                if (a.i > static_cast<int64_t>(maxCount) || a.i < -static_cast<int64_t>(maxCount))
                    badFormat(f, "width too large");
                // A negative precision counts as none, as in C.
                if (precision && a.i < 0) spec.pop_back();
                else spec += std::to_string(a.i);
                return;
            }
            size_t digits = 0;
            while (i < f.size() && f[i] >= u'0' && f[i] <= u'9') spec += char(f[i++]), ++digits;
            if (digits > 6 || (digits && std::stoul(spec.substr(spec.size() - digits)) > maxCount))
                badFormat(f, "width or precision too large");
        };
        readCount(false);
        if (i < f.size() && f[i] == u'.') {
            spec += '.';
            ++i;
            readCount(true);
        }
        std::string length;
        while (i < f.size() && std::u16string_view(u"hlqLzjt").find(f[i]) != std::u16string_view::npos)
            length += char(f[i++]);
        if (i >= f.size()) badFormat(f, "ends inside a directive");
        char16_t conversion = f[i];
        const FormatArg& a = take(position != std::u16string::npos ? position : next++);
        char buffer[512];
        auto print = [&](const std::string& fmt, auto value) {
            CNumericLocale cLocale;
            int n = std::snprintf(buffer, sizeof buffer, fmt.c_str(), value);
            if (n < 0) badFormat(f, "cannot print a directive");
            if (static_cast<size_t>(n) < sizeof buffer) {
                appendUTF8(out, std::string(buffer, n));
                return;
            }
            std::string big(n + 1, '\0');
            std::snprintf(big.data(), big.size(), fmt.c_str(), value);
            big.resize(n);
            appendUTF8(out, big);
        };
        bool isInteger = a.kind == FormatArg::Kind::Signed || a.kind == FormatArg::Kind::Unsigned;
        switch (conversion) {
        case u'@': {
            if (a.kind != FormatArg::Kind::Object) badFormat(f, "%@ needs an object argument");
            Ref<NSString> description = a.object ? a.object->description() : nullptr;
            if (!description) {
                appendPadded(out, u"(null)", spec);
                break;
            }
            appendPadded(out, StringChars(*description).view(), spec);
            break;
        }
        case u'd':
        case u'i': {
            if (!isInteger) badFormat(f, "%d needs an integer argument");
            int64_t v = a.i;
            if (length == "h") v = static_cast<int16_t>(v);
            else if (length == "hh") v = static_cast<int8_t>(v);
            else if (length.empty()) v = static_cast<int32_t>(v);
            print(spec + "lld", static_cast<long long>(v));
            break;
        }
        case u'u':
        case u'x':
        case u'X':
        case u'o': {
            if (!isInteger) badFormat(f, "integer directive needs an integer argument");
            uint64_t v = a.u;
            if (length == "h") v = static_cast<uint16_t>(v);
            else if (length == "hh") v = static_cast<uint8_t>(v);
            else if (length.empty()) v = static_cast<uint32_t>(v);
            print(spec + "ll" + char(conversion), static_cast<unsigned long long>(v));
            break;
        }
        case u'c': {
            if (!isInteger) badFormat(f, "%c needs an integer argument");
            // Taken as a signed byte, shown as the Latin-1 character.
            out += static_cast<char16_t>(static_cast<uint8_t>(static_cast<int8_t>(a.i)));
            break;
        }
        case u'C': {
            if (!isInteger) badFormat(f, "%C needs an integer argument");
            out += static_cast<char16_t>(a.u);
            break;
        }
        case u's': {
            if (a.kind != FormatArg::Kind::CString) badFormat(f, "%s needs a C string argument");
            appendPadded(out, cStringText(a.s), spec);
            break;
        }
        case u'S': {
            if (a.kind != FormatArg::Kind::UTF16String) badFormat(f, "%S needs a UTF-16 string argument");
            appendPadded(out, a.s16 ? std::u16string_view(a.s16) : std::u16string_view(u"(null)"), spec);
            break;
        }
        case u'f':
        case u'F':
        case u'g':
        case u'G':
        case u'e':
        case u'E':
        case u'a': {
            double v;
            if (a.kind == FormatArg::Kind::Double) v = a.d;
            else badFormat(f, "floating-point directive needs a floating-point argument");
            print(spec + char(conversion), v);
            break;
        }
        case u'p': {
            if (a.kind != FormatArg::Kind::Object) badFormat(f, "%p needs an object argument");
            // "0x0" for nil, as the platform prints, where glibc says "(nil)".
            char hex[32];
            int n = std::snprintf(hex, sizeof hex, "0x%llx",
                                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(a.object.get())));
            appendPadded(out, std::u16string(hex, hex + n), spec);
            break;
        }
        default: badFormat(f, std::string("unknown directive '") + char(conversion) + "'");
        }
    }
    return stringWithUTF16(std::move(out));
}
