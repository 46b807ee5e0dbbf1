#include "Foundation/NSBoxing.h"

#include "Foundation/NSNumber.h"
#include "Foundation/NSString.h"
#include "Foundation/NSValue.h"

Id NSBoxBool(bool v) { return NSNumber::numberWithBool(v); }
Id NSBoxChar(int8_t v) { return NSNumber::numberWithChar(v); }
Id NSBoxShort(int16_t v) { return NSNumber::numberWithShort(v); }
Id NSBoxInt(int32_t v) { return NSNumber::numberWithInt(v); }
Id NSBoxInteger(int64_t v) { return NSNumber::numberWithInteger(v); }
Id NSBoxUnsigned(uint64_t v) { return NSNumber::numberWithUnsignedInteger(v); }
Id NSBoxFloat(float v) { return NSNumber::numberWithFloat(v); }
Id NSBoxDouble(double v) { return NSNumber::numberWithDouble(v); }
Id NSBoxPoint(NSPoint v) { return NSValue::valueWithPoint(v); }
Id NSBoxSize(NSSize v) { return NSValue::valueWithSize(v); }
Id NSBoxRect(const NSRect& v) { return NSValue::valueWithRect(v); }
Id NSBoxRange(NSRange v) { return NSValue::valueWithRange(v); }

bool NSUnboxBool(const Id& v)
{
    if (auto* n = dynamic_cast<NSNumber*>(v.get())) return n->boolValue();
    if (auto* s = dynamic_cast<NSString*>(v.get())) return s->boolValue();
    return false;
}

int64_t NSUnboxInteger(const Id& v)
{
    if (auto* n = dynamic_cast<NSNumber*>(v.get())) return n->integerValue();
    if (auto* s = dynamic_cast<NSString*>(v.get())) return s->integerValue();
    return 0;
}

uint64_t NSUnboxUnsigned(const Id& v)
{
    if (auto* n = dynamic_cast<NSNumber*>(v.get())) return n->unsignedIntegerValue();
    if (auto* s = dynamic_cast<NSString*>(v.get())) return static_cast<uint64_t>(s->integerValue());
    return 0;
}

float NSUnboxFloat(const Id& v)
{
    if (auto* n = dynamic_cast<NSNumber*>(v.get())) return n->floatValue();
    if (auto* s = dynamic_cast<NSString*>(v.get())) return s->floatValue();
    return 0;
}

double NSUnboxDouble(const Id& v)
{
    if (auto* n = dynamic_cast<NSNumber*>(v.get())) return n->doubleValue();
    if (auto* s = dynamic_cast<NSString*>(v.get())) return s->doubleValue();
    return 0;
}

NSPoint NSUnboxPoint(const Id& v)
{
    auto* x = dynamic_cast<NSValue*>(v.get());
    return x ? x->pointValue() : NSPoint{};
}
NSSize NSUnboxSize(const Id& v)
{
    auto* x = dynamic_cast<NSValue*>(v.get());
    return x ? x->sizeValue() : NSSize{};
}
NSRect NSUnboxRect(const Id& v)
{
    auto* x = dynamic_cast<NSValue*>(v.get());
    return x ? x->rectValue() : NSRect{};
}
NSRange NSUnboxRange(const Id& v)
{
    auto* x = dynamic_cast<NSValue*>(v.get());
    return x ? x->rangeValue() : NSRange{};
}
