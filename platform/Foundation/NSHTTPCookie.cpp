#include "Foundation/NSHTTPCookie.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string>

#include "Foundation/CurlLibrary.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSHTTPCookie)

namespace {
std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::string lower(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
    return out;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) { return a.size() == b.size() && lower(a) == lower(b); }

bool isIPAddress(const std::string& host)
{
    return host.find(':') != std::string::npos ||
           std::all_of(host.begin(), host.end(), [](unsigned char c) { return std::isdigit(c) || c == '.'; });
}

// RFC 6265, 5.1.3.
bool domainMatches(const std::string& host, const std::string& domain)
{
    if (host == domain) return true;
    if (isIPAddress(host) || host.size() <= domain.size()) return false;
    return host.compare(host.size() - domain.size(), domain.size(), domain) == 0 &&
           host[host.size() - domain.size() - 1] == '.';
}

// RFC 6265, 5.1.4.
std::string defaultPath(const std::string& requestPath)
{
    if (requestPath.empty() || requestPath[0] != '/') return "/";
    size_t slash = requestPath.rfind('/');
    return slash == 0 ? "/" : requestPath.substr(0, slash);
}

bool pathMatches(const std::string& requestPath, const std::string& cookiePath)
{
    if (requestPath == cookiePath) return true;
    if (requestPath.compare(0, cookiePath.size(), cookiePath) != 0) return false;
    return cookiePath.back() == '/' || requestPath[cookiePath.size()] == '/';
}

std::string hostOf(const Ref<NSURL>& url)
{
    auto host = url ? url->host() : nullptr;
    return host ? lower(host->UTF8String()) : std::string();
}

std::string pathOf(const Ref<NSURL>& url)
{
    auto path = url->path();
    return path && path->length() ? path->UTF8String() : "/";
}
}

Ref<NSHTTPCookie> NSHTTPCookie::cookieWithSetCookieValue(std::string_view fieldValue, const Ref<NSURL>& url)
{
    std::string host = hostOf(url);
    if (host.empty()) return nullptr;
    size_t end = fieldValue.find(';');
    std::string_view pair = fieldValue.substr(0, end);
    size_t eq = pair.find('=');
    if (eq == std::string_view::npos) return nullptr;
    std::string_view name = trim(pair.substr(0, eq));
    if (name.empty()) return nullptr;

    auto cookie = alloc<NSHTTPCookie>();
    cookie->m_name = NSString::stringWithUTF8String(name);
    cookie->m_value = NSString::stringWithUTF8String(trim(pair.substr(eq + 1)));
    if (!cookie->m_name || !cookie->m_value) return nullptr;
    std::string domain = host;
    std::string path = defaultPath(pathOf(url));
    bool sawMaxAge = false;
    while (end != std::string_view::npos) {
        fieldValue.remove_prefix(end + 1);
        end = fieldValue.find(';');
        std::string_view attribute = fieldValue.substr(0, end);
        size_t aeq = attribute.find('=');
        std::string_view key = trim(attribute.substr(0, aeq));
        std::string_view value = aeq == std::string_view::npos ? std::string_view() : trim(attribute.substr(aeq + 1));
        if (equalsIgnoringCase(key, "domain") && !value.empty()) {
            if (value.front() == '.') value.remove_prefix(1);
            domain = lower(value);
            cookie->m_hostOnly = false;
        } else if (equalsIgnoringCase(key, "path") && !value.empty() && value.front() == '/') {
            path = std::string(value);
        } else if (equalsIgnoringCase(key, "max-age")) {
            long long seconds = 0;
            auto [p, ec] = std::from_chars(value.data(), value.data() + value.size(), seconds);
            if (ec != std::errc() || p != value.data() + value.size()) continue;
            sawMaxAge = true;
            cookie->m_expires = NSDate::dateWithTimeIntervalSinceNow(static_cast<NSTimeInterval>(seconds));
        } else if (equalsIgnoringCase(key, "expires") && !sawMaxAge) {
            const CurlLibrary* curl = CurlLibrary::shared();
            time_t t = curl ? curl->getdate(std::string(value).c_str(), nullptr) : -1;
            if (t != -1) cookie->m_expires = NSDate::dateWithTimeIntervalSince1970(static_cast<NSTimeInterval>(t));
        } else if (equalsIgnoringCase(key, "secure")) {
            cookie->m_secure = true;
        } else if (equalsIgnoringCase(key, "httponly")) {
            cookie->m_httpOnly = true;
        }
    }
    // A server may only set cookies for its own host or a domain above it.
    if (!domainMatches(host, domain)) return nullptr;
    cookie->m_domain = NSString::stringWithUTF8String(domain);
    cookie->m_path = NSString::stringWithUTF8String(path);
    // An attribute that is not text (invalid UTF-8) makes no cookie.
    if (!cookie->m_domain || !cookie->m_path) return nullptr;
    return cookie;
}

bool NSHTTPCookie::isExpired() const
{
    return m_expires && m_expires->timeIntervalSince1970() <= NSDate::date()->timeIntervalSince1970();
}

bool NSHTTPCookie::matchesURL(const Ref<NSURL>& url) const
{
    std::string host = hostOf(url);
    if (host.empty()) return false;
    std::string domain = m_domain->UTF8String();
    if (m_hostOnly ? host != domain : !domainMatches(host, domain)) return false;
    if (!pathMatches(pathOf(url), m_path->UTF8String())) return false;
    auto scheme = url->scheme();
    if (m_secure && !(scheme && equalsIgnoringCase(scheme->UTF8String(), "https"))) return false;
    return !isExpired();
}

bool NSHTTPCookie::hasSameIdentity(const NSHTTPCookie& other) const
{
    return m_name->isEqualToString(other.m_name) && m_domain->isEqualToString(other.m_domain) &&
           m_path->isEqualToString(other.m_path);
}

Ref<NSString> NSHTTPCookie::description() const
{
    return NSString::stringWithFormat("<NSHTTPCookie %@=%@; domain=%@; path=%@>", m_name, m_value, m_domain, m_path);
}
