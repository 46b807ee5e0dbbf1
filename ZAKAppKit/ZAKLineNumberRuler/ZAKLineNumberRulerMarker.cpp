#include "ZAKAppKit/ZAKLineNumberRuler/ZAKLineNumberRulerMarker.h"

#include <cmath>
#include <limits>

#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSNumber.h"

NS_CLASS_DEFINE(ZAKLineNumberRulerMarker)

namespace {
NSUInteger lineFromDouble(double value)
{
    // Converting anything outside the unsigned range is undefined.
    if (!(value >= 0) || value >= 18446744073709551616.0) return 0;
    return NSUInteger(value);
}
}

Ref<ZAKLineNumberRulerMarker> ZAKLineNumberRulerMarker::initWithRulerView(const Ref<NSRulerView>& ruler,
                                                                          double lineNumber, const Ref<NSImage>& image,
                                                                          NSPoint imageOrigin)
{
    NSRulerMarker::initWithRulerView(ruler, 0, image, imageOrigin);
    m_lineNumber = lineFromDouble(lineNumber);
    return this;
}

void ZAKLineNumberRulerMarker::copyValuesFrom(const NSRulerMarker& other)
{
    NSRulerMarker::copyValuesFrom(other);
    if (auto o = dynamic_cast<const ZAKLineNumberRulerMarker*>(&other)) m_lineNumber = o->m_lineNumber;
}

void ZAKLineNumberRulerMarker::encodeWithCoder(NSCoder* coder) const
{
    NSRulerMarker::encodeWithCoder(coder);
    if (!coder->allowsKeyedCoding()) {
        coder->encodeInt64(int64_t(m_lineNumber));
        return;
    }
    coder->encodeObject(NSNumber::numberWithUnsignedInteger(m_lineNumber), "line"_ns);
}

Id ZAKLineNumberRulerMarker::initWithCoder(NSCoder* coder)
{
    NSRulerMarker::initWithCoder(coder);
    if (!coder->allowsKeyedCoding()) {
        m_lineNumber = NSUInteger(coder->decodeInt64());
        return this;
    }
    auto number = dynamic_ref_cast<NSNumber>(coder->decodeObjectForKey("line"_ns));
    m_lineNumber = number ? number->unsignedIntegerValue() : 0;
    return this;
}
