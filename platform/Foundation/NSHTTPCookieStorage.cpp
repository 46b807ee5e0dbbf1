#include "Foundation/NSHTTPCookieStorage.h"

#include <algorithm>

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSHTTPCookieStorage)

Ref<NSHTTPCookieStorage> NSHTTPCookieStorage::sharedHTTPCookieStorage()
{
    static auto* shared = new Ref<NSHTTPCookieStorage>(alloc<NSHTTPCookieStorage>());
    return *shared;
}

Ref<NSArray> NSHTTPCookieStorage::cookies() const
{
    std::lock_guard lock(m_lock);
    auto result = NSMutableArray::array();
    for (const auto& cookie : m_cookies)
        if (!cookie->isExpired()) result->addObject(cookie);
    return result;
}

Ref<NSArray> NSHTTPCookieStorage::cookiesForURL(const Ref<NSURL>& url) const
{
    std::vector<Ref<NSHTTPCookie>> matching;
    {
        std::lock_guard lock(m_lock);
        for (const auto& cookie : m_cookies)
            if (cookie->matchesURL(url)) matching.push_back(cookie);
    }
    std::stable_sort(matching.begin(), matching.end(),
                     [](const auto& a, const auto& b) { return a->path()->length() > b->path()->length(); });
    std::vector<Id> objects(matching.begin(), matching.end());
    return NSArray::arrayWithVector(std::move(objects));
}

void NSHTTPCookieStorage::setCookie(const Ref<NSHTTPCookie>& cookie)
{
    if (!cookie) return;
    std::lock_guard lock(m_lock);
    auto same =
        std::find_if(m_cookies.begin(), m_cookies.end(), [&](const auto& c) { return c->hasSameIdentity(*cookie); });
    if (cookie->isExpired()) {
        if (same != m_cookies.end()) m_cookies.erase(same);
        return;
    }
    if (same != m_cookies.end()) *same = cookie;
    else m_cookies.push_back(cookie);
}

void NSHTTPCookieStorage::deleteCookie(const Ref<NSHTTPCookie>& cookie)
{
    if (!cookie) return;
    std::lock_guard lock(m_lock);
    std::erase_if(m_cookies, [&](const auto& c) { return c->hasSameIdentity(*cookie); });
}
