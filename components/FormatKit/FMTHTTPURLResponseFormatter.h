#pragma once
// Describes an HTTP response as one line: the status code, a space and the
// URL in apostrophes. Reading text back is not offered.
#include "Foundation/NSFormatter.h"
#include "Foundation/NSHTTPURLResponse.h"

class FMTHTTPURLResponseFormatter : public NSFormatter {
    NS_OBJECT(FMTHTTPURLResponseFormatter, NSFormatter)
protected:
    FMTHTTPURLResponseFormatter() = default;

public:
    Ref<NSString> stringFromHTTPURLResponse(const Ref<NSHTTPURLResponse>& response);
    Ref<NSString> stringForObjectValue(const Id& object) override;
    bool getObjectValue(Id* object, const Ref<NSString>& string, Ref<NSString>* error) override;
};
