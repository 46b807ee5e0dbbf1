#include "Foundation/NSHTTPURLResponse.h"

#include <strings.h>

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSHTTPURLResponse)

namespace {
bool sameFieldName(const Ref<NSString>& a, const Ref<NSString>& b)
{
    return strcasecmp(a->UTF8String().c_str(), b->UTF8String().c_str()) == 0;
}
}

Ref<NSHTTPURLResponse> NSHTTPURLResponse::responseWithURL(const Ref<NSURL>& url, NSInteger statusCode,
                                                          const std::vector<HeaderField>& fields)
{
    auto r = alloc<NSHTTPURLResponse>();
    r->m_url = url;
    r->m_statusCode = statusCode;
    for (const auto& [name, value] : fields) {
        bool joined = false;
        for (auto& field : r->m_fields) {
            if (!sameFieldName(field.first, name)) continue;
            field.second = NSString::stringWithFormat("%@, %@", field.second, value);
            joined = true;
            break;
        }
        if (!joined) r->m_fields.emplace_back(name, value);
    }
    return r;
}

Ref<NSDictionary> NSHTTPURLResponse::allHeaderFields() const
{
    auto fields = NSMutableDictionary::dictionary();
    for (const auto& [name, value] : m_fields) fields->setObject(value, name);
    return static_ref_cast<NSDictionary>(fields->copy());
}

Ref<NSString> NSHTTPURLResponse::valueForHTTPHeaderField(const Ref<NSString>& field) const
{
    if (!field) return nullptr;
    for (const auto& [name, value] : m_fields)
        if (sameFieldName(name, field)) return value;
    return nullptr;
}

Ref<NSString> NSHTTPURLResponse::description() const
{
    return NSString::stringWithFormat("<%@ %ld %@>", className(), m_statusCode,
                                      m_url ? m_url->absoluteString() : nullptr);
}
