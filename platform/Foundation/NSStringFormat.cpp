// stringWithFormat: the platform's directives over typed arguments. Localized
// texts are used as formats, so every directive is checked against the
// argument it consumes; a missing or mismatched argument raises instead of
// reading memory.
#include <clocale>
#include <cstdio>
#include <optional>
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

// The arguments, taken in order or by position; a directive without one raises.
class Arguments {
public:
    Arguments(std::u16string_view format, std::span<const FormatArg> args)
        : m_format(format)
        , m_args(args)
    { }
    const FormatArg& at(size_t position) const
    {
        if (position >= m_args.size())
            badFormat(m_format, "directive " + std::to_string(position + 1) + " has no argument");
        return m_args[position];
    }
    const FormatArg& next() { return at(m_next++); }

private:
    std::u16string_view m_format;
    std::span<const FormatArg> m_args;
    size_t m_next = 0;
};

// One directive: an optional argument position (%n$), the printf
// specification ("%" with flags, width and precision, a '*' resolved to the
// digits of its argument), a length modifier and the conversion character.
struct Directive {
    std::optional<size_t> position;
    std::string spec = "%";
    std::string length;
    char16_t conversion = 0;
};

// A width or precision at f[i]: digits, or '*' taking the next argument.
void readCount(std::u16string_view f, size_t& i, Arguments& args, std::string& spec, bool precision)
{
    if (i < f.size() && f[i] == u'*') {
        ++i;
        const FormatArg& a = args.next();
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
}

// Reads the directive whose first character after '%' is at f[i]; leaves i
// at its conversion character.
Directive parseDirective(std::u16string_view f, size_t& i, Arguments& args)
{
    Directive d;
    size_t j = i, n = 0;
    while (j < f.size() && f[j] >= u'0' && f[j] <= u'9') n = n * 10 + (f[j++] - u'0');
    if (j < f.size() && j > i && f[j] == u'$') {
        if (n == 0) badFormat(f, "argument position 0");
        d.position = n - 1;
        i = j + 1;
    }
    while (i < f.size() && std::u16string_view(u"-+ #0'").find(f[i]) != std::u16string_view::npos)
        d.spec += char(f[i++]);
    readCount(f, i, args, d.spec, false);
    if (i < f.size() && f[i] == u'.') {
        d.spec += '.';
        ++i;
        readCount(f, i, args, d.spec, true);
    }
    while (i < f.size() && std::u16string_view(u"hlqLzjt").find(f[i]) != std::u16string_view::npos)
        d.length += char(f[i++]);
    if (i >= f.size()) badFormat(f, "ends inside a directive");
    d.conversion = f[i];
    return d;
}

// A number through snprintf in the C locale.
template <class T> void appendPrinted(std::u16string& out, std::u16string_view f, const std::string& fmt, T value)
{
    CNumericLocale cLocale;
    char buffer[512];
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
}

void renderText(std::u16string& out, const Directive& d, const FormatArg& a, std::u16string_view f)
{
    switch (d.conversion) {
    case u'@': {
        if (a.kind != FormatArg::Kind::Object) badFormat(f, "%@ needs an object argument");
        Ref<NSString> description = a.object ? a.object->description() : nullptr;
        if (!description) appendPadded(out, u"(null)", d.spec);
        else appendPadded(out, StringChars(*description).view(), d.spec);
        return;
    }
    case u's':
        if (a.kind != FormatArg::Kind::CString) badFormat(f, "%s needs a C string argument");
        appendPadded(out, cStringText(a.s), d.spec);
        return;
    case u'S':
        if (a.kind != FormatArg::Kind::UTF16String) badFormat(f, "%S needs a UTF-16 string argument");
        appendPadded(out, a.s16 ? std::u16string_view(a.s16) : std::u16string_view(u"(null)"), d.spec);
        return;
    case u'p': {
        if (a.kind != FormatArg::Kind::Object) badFormat(f, "%p needs an object argument");
        // "0x0" for nil, as the platform prints, where glibc says "(nil)".
        char hex[32];
        int n = std::snprintf(hex, sizeof hex, "0x%llx",
                              static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(a.object.get())));
        appendPadded(out, std::u16string(hex, hex + n), d.spec);
        return;
    }
    }
}

void renderInteger(std::u16string& out, const Directive& d, const FormatArg& a, std::u16string_view f)
{
    if (a.kind != FormatArg::Kind::Signed && a.kind != FormatArg::Kind::Unsigned)
        badFormat(f, std::string("%") + char(d.conversion) + " needs an integer argument");
    switch (d.conversion) {
    case u'd':
    case u'i': {
        int64_t v = a.i;
        if (d.length == "h") v = static_cast<int16_t>(v);
        else if (d.length == "hh") v = static_cast<int8_t>(v);
        else if (d.length.empty()) v = static_cast<int32_t>(v);
        appendPrinted(out, f, d.spec + "lld", static_cast<long long>(v));
        return;
    }
    case u'c':
        // Taken as a signed byte, shown as the Latin-1 character.
        out += static_cast<char16_t>(static_cast<uint8_t>(static_cast<int8_t>(a.i)));
        return;
    case u'C': out += static_cast<char16_t>(a.u); return;
    default: {  // u, x, X, o
        uint64_t v = a.u;
        if (d.length == "h") v = static_cast<uint16_t>(v);
        else if (d.length == "hh") v = static_cast<uint8_t>(v);
        else if (d.length.empty()) v = static_cast<uint32_t>(v);
        appendPrinted(out, f, d.spec + "ll" + char(d.conversion), static_cast<unsigned long long>(v));
    }
    }
}

void renderDirective(std::u16string& out, const Directive& d, const FormatArg& a, std::u16string_view f)
{
    switch (d.conversion) {
    case u'@':
    case u's':
    case u'S':
    case u'p': renderText(out, d, a, f); return;
    case u'd':
    case u'i':
    case u'u':
    case u'x':
    case u'X':
    case u'o':
    case u'c':
    case u'C': renderInteger(out, d, a, f); return;
    case u'f':
    case u'F':
    case u'g':
    case u'G':
    case u'e':
    case u'E':
    case u'a':
        if (a.kind != FormatArg::Kind::Double) badFormat(f, "floating-point directive needs a floating-point argument");
        appendPrinted(out, f, d.spec + char(d.conversion), a.d);
        return;
    default: badFormat(f, std::string("unknown directive '") + char(d.conversion) + "'");
    }
}

}

Ref<NSString> NSString::stringWithFormatArguments(const Ref<NSString>& formatString, std::span<const FormatArg> args)
{
    if (!formatString) NSException::raise(NSInvalidArgumentException, "-[NSString initWithFormat:]: nil argument");
    StringChars formatChars(*formatString);
    const std::u16string_view f = formatChars.view();
    Arguments arguments(f, args);
    std::u16string out;
    for (size_t i = 0; i < f.size(); ++i) {
        if (f[i] != u'%') {
            out += f[i];
            continue;
        }
        if (++i >= f.size()) badFormat(f, "ends inside a directive");
        if (f[i] == u'%') {
            out += u'%';
            continue;
        }
        const Directive d = parseDirective(f, i, arguments);
        renderDirective(out, d, d.position ? arguments.at(*d.position) : arguments.next(), f);
    }
    return stringWithUTF16(std::move(out));
}
