#include "Foundation/NSURL.h"

#include <arpa/inet.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <climits>

#include "Foundation/FileSupport.h"
#include "Foundation/NSClass.h"
#include "Foundation/PercentEscapes.h"

NS_CLASS_DEFINE(NSURL)

namespace {

bool isAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHex(char c) { return PercentEscapes::hexValue(static_cast<unsigned char>(c)) >= 0; }
bool isUnreserved(char c) { return isAlpha(c) || isDigit(c) || c == '-' || c == '.' || c == '_' || c == '~'; }
bool isSubDelim(char c) { return std::string_view("!$&'()*+,;=").find(c) != std::string_view::npos; }
bool isPChar(char c) { return isUnreserved(c) || isSubDelim(c) || c == ':' || c == '@'; }

// Every character is allowed by `ok` or starts a well-formed percent escape.
template <class F> bool allOf(std::string_view s, F ok)
{
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%') {
            if (i + 2 >= s.size() || !isHex(s[i + 1]) || !isHex(s[i + 2])) return false;
            i += 2;
            continue;
        }
        if (!ok(s[i])) return false;
    }
    return true;
}

bool validHost(std::string_view host)
{
    if (!host.empty() && host.front() == '[') {
        if (host.size() < 2 || host.back() != ']') return false;
        std::string inside(host.substr(1, host.size() - 2));
        if (!inside.empty() && (inside[0] == 'v' || inside[0] == 'V')) {
            // IPvFuture: "v" 1*HEXDIG "." 1*( unreserved / sub-delims / ":" )
            size_t dot = inside.find('.');
            if (dot == std::string::npos || dot < 2 || dot + 1 >= inside.size()) return false;
            for (size_t i = 1; i < dot; ++i)
                if (!isHex(inside[i])) return false;
            for (size_t i = dot + 1; i < inside.size(); ++i)
                if (!isUnreserved(inside[i]) && !isSubDelim(inside[i]) && inside[i] != ':') return false;
            return true;
        }
        in6_addr address{};
        return inet_pton(AF_INET6, inside.c_str(), &address) == 1;
    }
    return allOf(host, [](char c) { return isUnreserved(c) || isSubDelim(c); });
}

bool validAuthority(std::string_view authority)
{
    size_t at = authority.rfind('@');
    if (at != std::string_view::npos) {
        if (!allOf(authority.substr(0, at), [](char c) { return isUnreserved(c) || isSubDelim(c) || c == ':'; }))
            return false;
        authority.remove_prefix(at + 1);
    }
    // The port follows the last ':' outside an IP literal.
    size_t close = authority.rfind(']');
    size_t colon = authority.rfind(':');
    if (colon != std::string_view::npos && (close == std::string_view::npos || colon > close)) {
        for (char c : authority.substr(colon + 1))
            if (!isDigit(c)) return false;
        authority = authority.substr(0, colon);
    }
    return validHost(authority);
}

std::optional<NSURL::Parts> parseReference(std::string_view s)
{
    NSURL::Parts parts;
    // A scheme is letters, digits, "+", "-" and "." after a first letter, ended by ":".
    size_t colon = s.find(':');
    size_t firstDelimiter = s.find_first_of("/?#");
    if (colon != std::string_view::npos && (firstDelimiter == std::string_view::npos || colon < firstDelimiter)) {
        std::string_view scheme = s.substr(0, colon);
        if (scheme.empty() || !isAlpha(scheme[0])) return std::nullopt;
        for (char c : scheme)
            if (!isAlpha(c) && !isDigit(c) && c != '+' && c != '-' && c != '.') return std::nullopt;
        parts.scheme = std::string(scheme);
        s.remove_prefix(colon + 1);
    }
    if (size_t hash = s.find('#'); hash != std::string_view::npos) {
        std::string_view fragment = s.substr(hash + 1);
        if (!allOf(fragment, [](char c) { return isPChar(c) || c == '/' || c == '?'; })) return std::nullopt;
        parts.fragment = std::string(fragment);
        s = s.substr(0, hash);
    }
    if (size_t question = s.find('?'); question != std::string_view::npos) {
        std::string_view query = s.substr(question + 1);
        if (!allOf(query, [](char c) { return isPChar(c) || c == '/' || c == '?'; })) return std::nullopt;
        parts.query = std::string(query);
        s = s.substr(0, question);
    }
    if (s.starts_with("//")) {
        size_t end = s.find('/', 2);
        std::string_view authority = s.substr(2, end == std::string_view::npos ? std::string_view::npos : end - 2);
        if (!validAuthority(authority)) return std::nullopt;
        parts.authority = std::string(authority);
        s = end == std::string_view::npos ? std::string_view() : s.substr(end);
    }
    if (!allOf(s, [](char c) { return isPChar(c) || c == '/'; })) return std::nullopt;
    parts.path = std::string(s);
    return parts;
}

// Escapes what a path may not hold literally.
std::string percentEncodePath(std::string_view s)
{
    return PercentEscapes::encode(s, [](unsigned char c) { return isPChar(static_cast<char>(c)) || c == '/'; });
}

std::string recompose(const NSURL::Parts& p)
{
    std::string out;
    if (p.scheme) out += *p.scheme + ":";
    if (p.authority) out += "//" + *p.authority;
    out += p.path;
    if (p.query) out += "?" + *p.query;
    if (p.fragment) out += "#" + *p.fragment;
    return out;
}

// RFC 3986, 5.2.4.
std::string removeDotSegments(std::string input)
{
    std::string output;
    while (!input.empty()) {
        if (input.starts_with("../")) input.erase(0, 3);
        else if (input.starts_with("./")) input.erase(0, 2);
        else if (input.starts_with("/./")) input.erase(0, 2);
        else if (input == "/.") input = "/";
        else if (input.starts_with("/../") || input == "/..") {
            input = input.size() == 3 ? "/" : input.substr(3);
            size_t slash = output.rfind('/');
            output.erase(slash == std::string::npos ? 0 : slash);
        } else if (input == "." || input == "..") input.clear();
        else {
            size_t next = input.find('/', input[0] == '/' ? 1 : 0);
            output += input.substr(0, next);
            input.erase(0, next == std::string::npos ? input.size() : next);
        }
    }
    return output;
}

// RFC 3986, 5.2.2.
NSURL::Parts resolve(const NSURL::Parts& base, const NSURL::Parts& r)
{
    NSURL::Parts t;
    if (r.scheme) {
        t = r;
        t.path = removeDotSegments(r.path);
        return t;
    }
    t.scheme = base.scheme;
    t.fragment = r.fragment;
    if (r.authority) {
        t.authority = r.authority;
        t.path = removeDotSegments(r.path);
        t.query = r.query;
        return t;
    }
    t.authority = base.authority;
    if (r.path.empty()) {
        t.path = base.path;
        t.query = r.query ? r.query : base.query;
        return t;
    }
    if (r.path[0] == '/') {
        t.path = removeDotSegments(r.path);
    } else {
        std::string merged;
        if (base.authority && base.path.empty()) merged = "/" + r.path;
        else merged = base.path.substr(0, base.path.rfind('/') + 1) + r.path;
        t.path = removeDotSegments(merged);
    }
    t.query = r.query;
    return t;
}

// A path that begins with "//" would be read back as an authority; "/." in
// front keeps it a path (RFC 3986, 5.2 with the WHATWG URL rule).
void keepPathAPath(NSURL::Parts& t)
{
    if (!t.authority && t.path.starts_with("//")) t.path = "/." + t.path;
}

bool sameParts(const NSURL::Parts& a, const NSURL::Parts& b)
{
    return a.scheme == b.scheme && a.authority == b.authority && a.path == b.path && a.query == b.query &&
           a.fragment == b.fragment;
}

Ref<NSString> optionalString(const std::optional<std::string>& s)
{
    return s ? FileSupport::stringFromFileSystem(*s) : nullptr;
}

}

Ref<NSURL> NSURL::make(std::string text, const Ref<NSURL>& base)
{
    auto parts = parseReference(text);
    if (!parts) return nullptr;
    auto url = alloc<NSURL>();
    url->m_text = std::move(text);
    url->m_base = base;
    if (base && !parts->scheme) {
        url->m_parts = resolve(base->m_parts, *parts);
        keepPathAPath(url->m_parts);
        url->m_absolute = recompose(url->m_parts);
        // A resolved URL must be the URL its absolute string names.
        auto again = parseReference(url->m_absolute);
        if (url->m_absolute.empty() || !again || !sameParts(*again, url->m_parts)) return nullptr;
    } else {
        url->m_parts = std::move(*parts);
        url->m_absolute = url->m_text;
        url->m_base = nullptr;
    }
    return url;
}

Ref<NSURL> NSURL::URLWithString(const Ref<NSString>& text) { return URLWithString(text, nullptr); }

Ref<NSURL> NSURL::URLWithString(const Ref<NSString>& text, const Ref<NSURL>& baseURL)
{
    if (!text || text->length() == 0) return nullptr;
    // U+0000 cannot be part of a URL; taken as a C string it would cut the
    // URL short instead.
    if (text->utf16().find(u'\0') != std::u16string::npos) return nullptr;
    return make(text->UTF8String(), baseURL);
}

Ref<NSURL> NSURL::fileURLWithPath(const Ref<NSString>& path)
{
    std::string p = FileSupport::fsPath(path);
    struct stat st { };
    bool directory = !p.empty() && ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    return fileURLWithPath(path, directory);
}

Ref<NSURL> NSURL::fileURLWithPath(const Ref<NSString>& path, bool isDirectory)
{
    std::string p = FileSupport::expandTilde(FileSupport::fsPath(path));
    if (p.empty()) return nullptr;
    if (p[0] != '/') {
        char cwd[PATH_MAX];
        if (!::getcwd(cwd, sizeof cwd)) return nullptr;
        p = FileSupport::join(cwd, p);
    }
    if (isDirectory && p.back() != '/') p += '/';
    return make("file://" + percentEncodePath(p), nullptr);
}

Ref<NSString> NSURL::absoluteString() const { return FileSupport::stringFromFileSystem(m_absolute); }
Ref<NSString> NSURL::relativeString() const { return FileSupport::stringFromFileSystem(m_text); }
Ref<NSURL> NSURL::absoluteURL() const
{
    return m_base ? make(m_absolute, nullptr) : Ref<NSURL>(const_cast<NSURL*>(this));
}
Ref<NSString> NSURL::scheme() const { return optionalString(m_parts.scheme); }
Ref<NSString> NSURL::query() const { return optionalString(m_parts.query); }
Ref<NSString> NSURL::fragment() const { return optionalString(m_parts.fragment); }

namespace {

struct Authority {
    std::optional<std::string> user, password, host, port;
};

Authority splitAuthority(const std::optional<std::string>& authority)
{
    Authority a;
    if (!authority) return a;
    std::string_view s = *authority;
    if (size_t at = s.rfind('@'); at != std::string_view::npos) {
        std::string_view info = s.substr(0, at);
        size_t colon = info.find(':');
        a.user = std::string(info.substr(0, colon));
        if (colon != std::string_view::npos) a.password = std::string(info.substr(colon + 1));
        s.remove_prefix(at + 1);
    }
    size_t close = s.rfind(']');
    size_t colon = s.rfind(':');
    if (colon != std::string_view::npos && (close == std::string_view::npos || colon > close)) {
        a.port = std::string(s.substr(colon + 1));
        s = s.substr(0, colon);
    }
    if (s.size() >= 2 && s.front() == '[') s = s.substr(1, s.size() - 2);
    a.host = std::string(s);
    return a;
}

Ref<NSString> decoded(const std::optional<std::string>& s)
{
    return s ? FileSupport::stringFromFileSystem(PercentEscapes::decode(*s)) : nullptr;
}

}

Ref<NSString> NSURL::host() const { return decoded(splitAuthority(m_parts.authority).host); }
Ref<NSString> NSURL::user() const { return decoded(splitAuthority(m_parts.authority).user); }
Ref<NSString> NSURL::password() const { return decoded(splitAuthority(m_parts.authority).password); }

Ref<NSNumber> NSURL::port() const
{
    auto port = splitAuthority(m_parts.authority).port;
    if (!port || port->empty() || port->size() > 18) return nullptr;
    return NSNumber::numberWithInteger(std::stoll(*port));
}

Ref<NSString> NSURL::path() const
{
    std::string p = PercentEscapes::decode(m_parts.path);
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    return FileSupport::stringFromFileSystem(p);
}

bool NSURL::isFileURL() const
{
    if (!m_parts.scheme || m_parts.scheme->size() != 4) return false;
    std::string s = *m_parts.scheme;
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s == "file";
}

Ref<NSString> NSURL::lastPathComponent() const
{
    std::string p = PercentEscapes::decode(m_parts.path);
    if (p.empty()) return NSString::string();
    return FileSupport::stringFromFileSystem(FileSupport::lastComponent(p));
}

Ref<NSString> NSURL::pathExtension() const
{
    return FileSupport::stringFromFileSystem(FileSupport::extension(PercentEscapes::decode(m_parts.path)));
}

Ref<NSURL> NSURL::URLByAppendingPathComponent(const Ref<NSString>& component) const
{
    if (!component) return nullptr;
    Parts p = m_parts;
    std::string encoded = percentEncodePath(component->UTF8String());
    if (p.path.empty() && p.authority) p.path = "/";
    if (!p.path.empty() && p.path.back() != '/' && !encoded.starts_with("/")) p.path += '/';
    p.path += encoded;
    return make(recompose(p), nullptr);
}

bool NSURL::isEqual(const NSObject* other) const
{
    auto* u = dynamic_cast<const NSURL*>(other);
    return u && u->m_absolute == m_absolute;
}

NSUInteger NSURL::hash() const { return std::hash<std::string>()(m_absolute); }
