#include "FormatKit/FMTURLRequestFormatter.h"

#include "FormatKit/NSMutableString+FMTURLRequestFormatter.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSHTTPCookieStorage.h"

NS_CLASS_DEFINE(FMTURLRequestFormatter)

namespace {

// Text inside single quotes: a quote ends the quoting, is escaped, and
// quoting starts again.
std::u16string singleQuoted(std::u16string_view text)
{
    std::u16string out = u"'";
    for (char16_t c : text) {
        if (c == u'\'') out += u"'\\''";
        else out += c;
    }
    return out + u"'";
}

// Text inside double quotes, where only ", $, ` and \ are special.
std::u16string doubleQuoted(std::u16string_view text)
{
    std::u16string out = u"\"";
    for (char16_t c : text) {
        if (c == u'\\' || c == u'"' || c == u'$' || c == u'`') out += u'\\';
        out += c;
    }
    return out + u"\"";
}

// A method is a bare word when it is an ordinary token.
std::u16string shellWord(std::u16string_view text)
{
    bool plain = !text.empty();
    for (char16_t c : text)
        plain = plain && ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
                          c == u'-' || c == u'_' || c == u'.');
    return plain ? std::u16string(text) : singleQuoted(text);
}

std::u16string textOf(const Ref<NSString>& s) { return s ? std::u16string(NSStringChars(*s).view()) : u""; }

// The body as text; bytes that are not UTF-8 become U+FFFD.
std::u16string bodyText(const Ref<NSURLRequest>& request)
{
    const Ref<NSData>& body = request->HTTPBody();
    if (!body) return {};
    return NSConvertUTF8ToUTF16Replacing(
        std::string_view(reinterpret_cast<const char*>(body->bytes()), size_t(body->length())));
}

std::u16string methodOf(const Ref<NSURLRequest>& request)
{
    return request->HTTPMethod() ? textOf(request->HTTPMethod()) : u"GET";
}

std::u16string urlOf(const Ref<NSURLRequest>& request)
{
    return request->URL() ? textOf(request->URL()->absoluteString()) : u"";
}

Ref<NSString> ns(std::u16string text) { return NSString::stringWithUTF16(std::move(text)); }

void appendHeaderFields(const Ref<NSMutableString>& line, const Ref<NSURLRequest>& request, std::u16string_view option)
{
    for (const auto& [name, value] : request->headerFields())
        NSMutableStringExt::appendCommandLineArgument(
            line, ns(std::u16string(option) + singleQuoted(textOf(name) + u": " + textOf(value))));
}

}  // namespace

Ref<NSString> FMTURLRequestFormatter::stringFromURLRequest(const Ref<NSURLRequest>& request)
{
    if (!request) return nullptr;
    return NSString::stringWithFormat("%@ '%@'", ns(methodOf(request)), ns(urlOf(request)));
}

Ref<NSString> FMTURLRequestFormatter::cURLCommandFromURLRequest(const Ref<NSURLRequest>& request)
{
    if (!request) return nullptr;
    auto line = NSMutableString::stringWithString("curl"_ns);
    NSMutableStringExt::appendCommandLineArgument(line, ns(u"-X " + shellWord(methodOf(request))));
    const std::u16string body = bodyText(request);
    if (!body.empty())
        NSMutableStringExt::appendCommandLineArgument(
            line, ns((body[0] == u'@' ? u"--data-raw " : u"-d ") + doubleQuoted(body)));
    Ref<NSString> encoding = request->valueForHTTPHeaderField("Accept-Encoding"_ns);
    if (encoding && encoding->containsString("gzip"_ns))
        NSMutableStringExt::appendCommandLineArgument(line, "--compressed"_ns);
    if (request->URL()) {
        Ref<NSArray> cookies = NSHTTPCookieStorage::sharedHTTPCookieStorage()->cookiesForURL(request->URL());
        for (NSUInteger i = 0; cookies && i < cookies->count(); ++i) {
            auto cookie = dynamic_ref_cast<NSHTTPCookie>(cookies->objectAtIndex(i));
            if (!cookie) continue;
            NSMutableStringExt::appendCommandLineArgument(
                line, ns(u"--cookie " + doubleQuoted(textOf(cookie->name()) + u"=" + textOf(cookie->value()))));
        }
    }
    appendHeaderFields(line, request, u"-H ");
    NSMutableStringExt::appendCommandLineArgument(line, ns(doubleQuoted(urlOf(request))));
    return NSString::stringWithString(line);
}

Ref<NSString> FMTURLRequestFormatter::WgetCommandFromURLRequest(const Ref<NSURLRequest>& request)
{
    if (!request) return nullptr;
    const std::u16string method = methodOf(request);
    if (method != u"GET" && method != u"POST")
        NSException::raise("Invalid HTTP Method", "Wget can only make GET and POST requests");
    auto line = NSMutableString::stringWithString("wget"_ns);
    const std::u16string body = bodyText(request);
    // wget sends a body only together with an explicit method.
    if (method != u"GET" || !body.empty())
        NSMutableStringExt::appendCommandLineArgument(line, ns(u"--method=" + method));
    if (!body.empty()) NSMutableStringExt::appendCommandLineArgument(line, ns(u"--body-data=" + doubleQuoted(body)));
    appendHeaderFields(line, request, u"--header=");
    NSMutableStringExt::appendCommandLineArgument(line, ns(doubleQuoted(urlOf(request))));
    return NSString::stringWithString(line);
}
