#include "Foundation/NSURLRequest.h"

#include <atomic>
#include <strings.h>

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSURLRequest)
NS_CLASS_DEFINE(NSMutableURLRequest)

namespace {
std::atomic<NSTimeInterval>& defaultTimeout()
{
    static std::atomic<NSTimeInterval> seconds{60};
    return seconds;
}

bool sameFieldName(const Ref<NSString>& a, const Ref<NSString>& b)
{
    return strcasecmp(a->UTF8String().c_str(), b->UTF8String().c_str()) == 0;
}
}

NSTimeInterval NSURLRequest::setDefaultTimeoutInterval(NSTimeInterval seconds)
{
    return defaultTimeout().exchange(seconds);
}

NSTimeInterval NSURLRequest::defaultTimeoutInterval() { return defaultTimeout().load(); }

Ref<NSURLRequest> NSURLRequest::requestWithURL(const Ref<NSURL>& url)
{
    return alloc<NSURLRequest>()->initWithURL(url);
}

Ref<NSURLRequest> NSURLRequest::initWithURL(const Ref<NSURL>& url)
{
    m_url = url;
    m_method = "GET"_ns;
    m_timeout = defaultTimeoutInterval();
    return this;
}

Ref<NSString> NSURLRequest::valueForHTTPHeaderField(const Ref<NSString>& field) const
{
    if (!field) return nullptr;
    for (const auto& [name, value] : m_headers)
        if (sameFieldName(name, field)) return value;
    return nullptr;
}

Ref<NSDictionary> NSURLRequest::allHTTPHeaderFields() const
{
    auto fields = NSMutableDictionary::dictionary();
    for (const auto& [name, value] : m_headers) fields->setObject(value, name);
    return static_ref_cast<NSDictionary>(fields->copy());
}

void NSURLRequest::copyInto(NSURLRequest& other) const
{
    other.m_url = m_url;
    other.m_method = m_method;
    other.m_body = m_body;
    other.m_headers = m_headers;
    other.m_timeout = m_timeout;
}

Id NSURLRequest::copy() const
{
    if (realClass() == NSURLRequest::classRecord()) return const_cast<NSURLRequest*>(this);
    auto c = alloc<NSURLRequest>();
    copyInto(*c);
    return c;
}

Id NSURLRequest::mutableCopy() const
{
    auto c = alloc<NSMutableURLRequest>();
    copyInto(*c);
    return c;
}

Ref<NSString> NSURLRequest::description() const
{
    return NSString::stringWithFormat("<%@ %@ %@>", className(), m_method, m_url ? m_url->absoluteString() : nullptr);
}

Ref<NSMutableURLRequest> NSMutableURLRequest::requestWithURL(const Ref<NSURL>& url)
{
    auto r = alloc<NSMutableURLRequest>();
    r->initWithURL(url);
    return r;
}

void NSMutableURLRequest::setHTTPMethod(const Ref<NSString>& method)
{
    m_method = method ? static_ref_cast<NSString>(method->copy()) : "GET"_ns;
}

void NSMutableURLRequest::setHTTPBody(const Ref<NSData>& body)
{
    m_body = body ? NSData::dataWithBytes(body->bytes(), body->length()) : nullptr;
}

void NSMutableURLRequest::setValueForHTTPHeaderField(const Ref<NSString>& value, const Ref<NSString>& field)
{
    if (!field) return;
    for (auto it = m_headers.begin(); it != m_headers.end(); ++it) {
        if (!sameFieldName(it->first, field)) continue;
        if (value) it->second = static_ref_cast<NSString>(value->copy());
        else m_headers.erase(it);
        return;
    }
    if (value)
        m_headers.emplace_back(static_ref_cast<NSString>(field->copy()), static_ref_cast<NSString>(value->copy()));
}

Id NSMutableURLRequest::copy() const
{
    auto c = alloc<NSURLRequest>();
    copyInto(*c);
    return c;
}
