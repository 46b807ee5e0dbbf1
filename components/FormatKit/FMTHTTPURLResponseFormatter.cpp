#include "FormatKit/FMTHTTPURLResponseFormatter.h"

#include "FormatKit/FMTFormatKit.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(FMTHTTPURLResponseFormatter)

Ref<NSString> FMTHTTPURLResponseFormatter::stringFromHTTPURLResponse(const Ref<NSHTTPURLResponse>& response)
{
    if (!response) return nullptr;
    Ref<NSString> url = response->URL() ? response->URL()->absoluteString() : nullptr;
    return NSString::stringWithFormat("%ld '%@'", long(response->statusCode()), url);
}

Ref<NSString> FMTHTTPURLResponseFormatter::stringForObjectValue(const Id& object)
{
    auto response = dynamic_ref_cast<NSHTTPURLResponse>(object);
    return response ? stringFromHTTPURLResponse(response) : nullptr;
}

bool FMTHTTPURLResponseFormatter::getObjectValue(Id* object, const Ref<NSString>&, Ref<NSString>* error)
{
    return FMTRefuseParsing(object, error);
}
