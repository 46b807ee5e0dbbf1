// stringWithFormat: the platform's directives over typed arguments. Localized
// texts are used as formats, so every directive is checked against the
// argument it consumes; a missing or mismatched argument raises instead of
// reading memory.
#include <cstdio>
#include <string>

#include "Foundation/NSException.h"
#include "Foundation/NSString.h"

namespace {

[[noreturn]] void badFormat(const std::u16string& format, const std::string& why)
{
    NSException::raise(NSInvalidArgumentException,
                       "Format \"" + NSConvertUTF16ToUTF8(format) + "\": " + why);
}

void appendUTF8(std::u16string& out, const std::string& utf8)
{
    std::u16string converted;
    if (NSConvertUTF8ToUTF16(utf8, converted)) out += converted;
}

}

Ref<NSString> NSString::stringWithFormatArguments(const Ref<NSString>& formatString, std::span<const NSFormatArg> args)
{
    if (!formatString) NSException::raise(NSInvalidArgumentException, "-[NSString initWithFormat:]: nil argument");
    const std::u16string& f = formatString->utf16();
    std::u16string out;
    size_t next = 0;  // index of the next argument consumed in order

    auto take = [&](size_t position) -> const NSFormatArg& {
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
        while (i < f.size() && std::u16string_view(u"-+ #0'").find(f[i]) != std::u16string_view::npos) spec += char(f[i++]);
        auto readCount = [&] {
            if (i < f.size() && f[i] == u'*') {
                ++i;
                const NSFormatArg& a = take(next++);
                if (a.kind != NSFormatArg::Kind::Signed && a.kind != NSFormatArg::Kind::Unsigned)
                    badFormat(f, "'*' needs an integer argument");
                spec += std::to_string(a.i);
                return;
            }
            while (i < f.size() && f[i] >= u'0' && f[i] <= u'9') spec += char(f[i++]);
        };
        readCount();
        if (i < f.size() && f[i] == u'.') {
            spec += '.';
            ++i;
            readCount();
        }
        std::string length;
        while (i < f.size() && std::u16string_view(u"hlqLzjt").find(f[i]) != std::u16string_view::npos) length += char(f[i++]);
        if (i >= f.size()) badFormat(f, "ends inside a directive");
        char16_t conversion = f[i];
        const NSFormatArg& a = take(position != std::u16string::npos ? position : next++);
        std::string flags = spec;
        char buffer[512];
        auto print = [&](const std::string& fmt, auto value) {
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
        bool isInteger = a.kind == NSFormatArg::Kind::Signed || a.kind == NSFormatArg::Kind::Unsigned;
        switch (conversion) {
        case u'@': {
            if (a.kind != NSFormatArg::Kind::Object) badFormat(f, "%@ needs an object argument");
            std::u16string text = a.object ? a.object->description()->utf16() : u"(null)";
            // Width and precision apply to %@ as to %s.
            std::string utf8 = NSConvertUTF16ToUTF8(text);
            if (spec == "%") out += text;
            else print(spec + "s", utf8.c_str());
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
            if (a.kind != NSFormatArg::Kind::CString) badFormat(f, "%s needs a C string argument");
            print(spec + "s", a.s ? a.s : "(null)");
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
            if (a.kind == NSFormatArg::Kind::Double) v = a.d;
            else badFormat(f, "floating-point directive needs a floating-point argument");
            print(spec + char(conversion), v);
            break;
        }
        case u'p': {
            if (a.kind != NSFormatArg::Kind::Object) badFormat(f, "%p needs an object argument");
            print(spec + "p", static_cast<const void*>(a.object.get()));
            break;
        }
        default: badFormat(f, std::string("unknown directive '") + char(conversion) + "'");
        }
    }
    return stringWithUTF16(std::move(out));
}
