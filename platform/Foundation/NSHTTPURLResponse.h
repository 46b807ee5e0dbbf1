#pragma once
// For HTTP, the status and the header fields of the last response (after
// redirects).
#include <utility>
#include <vector>

#include "Foundation/NSDictionary.h"
#include "Foundation/NSURLResponse.h"

class NSHTTPURLResponse : public NSURLResponse {
    NS_OBJECT(NSHTTPURLResponse, NSURLResponse)
protected:
    NSHTTPURLResponse() = default;

public:
    using HeaderField = std::pair<Ref<NSString>, Ref<NSString>>;
    // Fields as received, in order; a field sent more than once is joined
    // with ", " under the spelling it first had.
    static Ref<NSHTTPURLResponse> responseWithURL(const Ref<NSURL>& url, NSInteger statusCode,
                                                  const std::vector<HeaderField>& fields);

    NSInteger statusCode() const { return m_statusCode; }
    Ref<NSDictionary> allHeaderFields() const;
    // Field names compare without regard to case.
    Ref<NSString> valueForHTTPHeaderField(const Ref<NSString>& field) const;
    Ref<NSString> description() const override;

private:
    NSInteger m_statusCode = 0;
    std::vector<HeaderField> m_fields;
};
