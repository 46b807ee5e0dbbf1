#pragma once
// HTTP requests: a URL, a method, header fields in the order they were set,
// a body of raw bytes and a time-out. NSURLConnection sends them.
#include <utility>
#include <vector>

#include "Foundation/NSData.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSURL.h"

class NSURLRequest : public NSObject {
    NS_OBJECT(NSURLRequest, NSObject)
protected:
    NSURLRequest() = default;

public:
    // GET, no header fields, no body, the default time-out.
    static Ref<NSURLRequest> requestWithURL(const Ref<NSURL>& url);
    Ref<NSURLRequest> initWithURL(const Ref<NSURL>& url);

    const Ref<NSURL>& URL() const { return m_url; }
    const Ref<NSString>& HTTPMethod() const { return m_method; }
    // nil when no body was set.
    const Ref<NSData>& HTTPBody() const { return m_body; }
    NSTimeInterval timeoutInterval() const { return m_timeout; }
    // Field names compare without regard to case, as HTTP's do; the name keeps
    // the spelling it was first set with.
    Ref<NSString> valueForHTTPHeaderField(const Ref<NSString>& field) const;
    // The fields in the order they were first set.
    Ref<NSDictionary> allHTTPHeaderFields() const;
    using HeaderField = std::pair<Ref<NSString>, Ref<NSString>>;
    const std::vector<HeaderField>& headerFields() const { return m_headers; }

    // The time-out of requests made from now on (60 s unless changed); answers
    // the previous value. Tests shorten it to exercise time-outs quickly.
    static NSTimeInterval setDefaultTimeoutInterval(NSTimeInterval seconds);
    static NSTimeInterval defaultTimeoutInterval();

    Id copy() const override;
    Id mutableCopy() const override;
    Ref<NSString> description() const override;

protected:
    void copyInto(NSURLRequest& other) const;

    Ref<NSURL> m_url;
    Ref<NSString> m_method;
    Ref<NSData> m_body;
    std::vector<HeaderField> m_headers;
    NSTimeInterval m_timeout = 60;
};

class NSMutableURLRequest : public NSURLRequest {
    NS_OBJECT(NSMutableURLRequest, NSURLRequest)
protected:
    NSMutableURLRequest() = default;

public:
    static Ref<NSMutableURLRequest> requestWithURL(const Ref<NSURL>& url);

    void setURL(const Ref<NSURL>& url) { m_url = url; }
    // nil restores GET.
    void setHTTPMethod(const Ref<NSString>& method);
    // The bytes are copied; nil removes the body.
    void setHTTPBody(const Ref<NSData>& body);
    // Replaces the field's value (any spelling of its name); nil removes it.
    void setValueForHTTPHeaderField(const Ref<NSString>& value, const Ref<NSString>& field);

    Id copy() const override;
};
