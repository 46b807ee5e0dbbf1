#include "ZAKAppKit/ZAKNumberValues/ZAK0_1to0_100ValueTransformer.h"

#include "Foundation/NSClass.h"
#include "Foundation/NSNumber.h"

NS_CLASS_DEFINE(ZAK0_1to0_100ValueTransformer)

namespace {

float floatValueOf(const Id& value)
{
    if (auto number = dynamic_ref_cast<NSNumber>(value)) return number->floatValue();
    if (auto string = dynamic_ref_cast<NSString>(value)) return string->floatValue();
    return 0;
}

}  // namespace

const NSClass& ZAK0_1to0_100ValueTransformer::transformedValueClass() const { return NSNumber::staticClass(); }

Id ZAK0_1to0_100ValueTransformer::transformedValue(const Id& value)
{
    return NSNumber::numberWithFloat(floatValueOf(value) * 100);
}

Id ZAK0_1to0_100ValueTransformer::reverseTransformedValue(const Id& value)
{
    return NSNumber::numberWithFloat(floatValueOf(value) / 100);
}
