#include "Foundation/Boxing.h"

#include "Foundation/NSNumber.h"
#include "Foundation/NSString.h"
#include "Foundation/NSValue.h"

Id BoxBool(bool v) { return NSNumber::numberWithBool(v); }
Id BoxChar(int8_t v) { return NSNumber::numberWithChar(v); }
Id BoxShort(int16_t v) { return NSNumber::numberWithShort(v); }
Id BoxInt(int32_t v) { return NSNumber::numberWithInt(v); }
Id BoxInteger(int64_t v) { return NSNumber::numberWithInteger(v); }
Id BoxUnsigned(uint64_t v) { return NSNumber::numberWithUnsignedInteger(v); }
Id BoxFloat(float v) { return NSNumber::numberWithFloat(v); }
Id BoxDouble(double v) { return NSNumber::numberWithDouble(v); }
Id BoxPoint(NSPoint v) { return NSValue::valueWithPoint(v); }
Id BoxSize(NSSize v) { return NSValue::valueWithSize(v); }
Id BoxRect(const NSRect& v) { return NSValue::valueWithRect(v); }
Id BoxRange(NSRange v) { return NSValue::valueWithRange(v); }

bool UnboxBool(const Id& v)
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

float UnboxFloat(const Id& v)
{
    if (auto* n = dynamic_cast<NSNumber*>(v.get())) return n->floatValue();
    if (auto* s = dynamic_cast<NSString*>(v.get())) return s->floatValue();
    return 0;
}

double UnboxDouble(const Id& v)
{
    if (auto* n = dynamic_cast<NSNumber*>(v.get())) return n->doubleValue();
    if (auto* s = dynamic_cast<NSString*>(v.get())) return s->doubleValue();
    return 0;
}

NSPoint UnboxPoint(const Id& v)
{
    auto* x = dynamic_cast<NSValue*>(v.get());
    return x ? x->pointValue() : NSPoint{};
}
NSSize UnboxSize(const Id& v)
{
    auto* x = dynamic_cast<NSValue*>(v.get());
    return x ? x->sizeValue() : NSSize{};
}
NSRect UnboxRect(const Id& v)
{
    auto* x = dynamic_cast<NSValue*>(v.get());
    return x ? x->rectValue() : NSRect{};
}
NSRange UnboxRange(const Id& v)
{
    auto* x = dynamic_cast<NSValue*>(v.get());
    return x ? x->rangeValue() : NSRange{};
}
