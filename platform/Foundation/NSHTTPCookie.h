#pragma once
// One cookie as a server set it: name, value and the scope it applies to.
#include <string_view>

#include "Foundation/NSDate.h"
#include "Foundation/NSURL.h"

class NSHTTPCookie : public NSObject {
    NS_OBJECT(NSHTTPCookie, NSObject)
protected:
    NSHTTPCookie() = default;

public:
    // The cookie of one "Set-Cookie" field value received from url, or nil
    // when the value has no name=value pair or names a domain the URL's host
    // is not part of (RFC 6265, 5.2 and 5.3).
    static Ref<NSHTTPCookie> cookieWithSetCookieValue(std::string_view fieldValue, const Ref<NSURL>& url);

    const Ref<NSString>& name() const { return m_name; }
    const Ref<NSString>& value() const { return m_value; }
    // Lower case, without a leading dot.
    const Ref<NSString>& domain() const { return m_domain; }
    const Ref<NSString>& path() const { return m_path; }
    // nil for a session cookie.
    const Ref<NSDate>& expiresDate() const { return m_expires; }
    bool isSessionOnly() const { return !m_expires; }
    bool isSecure() const { return m_secure; }
    bool isHTTPOnly() const { return m_httpOnly; }
    // Sent only to the host that set it (no Domain attribute).
    bool isHostOnly() const { return m_hostOnly; }

    bool isExpired() const;
    // Whether the cookie goes with a request for the URL (domain, path and,
    // for secure cookies, https).
    bool matchesURL(const Ref<NSURL>& url) const;
    // Same name, domain and path: a newer cookie replaces an older one.
    bool hasSameIdentity(const NSHTTPCookie& other) const;

    Ref<NSString> description() const override;

private:
    Ref<NSString> m_name;
    Ref<NSString> m_value;
    Ref<NSString> m_domain;
    Ref<NSString> m_path;
    Ref<NSDate> m_expires;
    bool m_secure = false;
    bool m_httpOnly = false;
    bool m_hostOnly = true;
};
