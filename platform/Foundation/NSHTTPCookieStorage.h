#pragma once
// The process's cookie jar, kept in memory and empty at start. NSURLConnection
// stores the cookies of every response here and sends the matching ones with
// each request that has no "Cookie" field of its own.
#include <mutex>
#include <vector>

#include "Foundation/NSArray.h"
#include "Foundation/NSHTTPCookie.h"

class NSHTTPCookieStorage : public NSObject {
    NS_OBJECT(NSHTTPCookieStorage, NSObject)
protected:
    NSHTTPCookieStorage() = default;

public:
    static Ref<NSHTTPCookieStorage> sharedHTTPCookieStorage();

    // Every cookie not yet expired, in the order they were first stored.
    Ref<NSArray> cookies() const;
    // The cookies that go with a request for the URL, longer paths first.
    Ref<NSArray> cookiesForURL(const Ref<NSURL>& url) const;
    // Replaces a cookie of the same name, domain and path; an expired cookie
    // only removes that one.
    void setCookie(const Ref<NSHTTPCookie>& cookie);
    void deleteCookie(const Ref<NSHTTPCookie>& cookie);

private:
    mutable std::mutex m_lock;
    std::vector<Ref<NSHTTPCookie>> m_cookies;
};
