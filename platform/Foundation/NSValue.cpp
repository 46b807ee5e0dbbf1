#include "Foundation/NSValue.h"

#include "Foundation/NSClass.h"
#include "Foundation/NSString.h"

NS_CLASS_DEFINE(NSValue)

Ref<NSValue> NSValue::valueWithPoint(NSPoint p) { auto v = alloc<NSValue>(); v->m_value = p; return v; }
Ref<NSValue> NSValue::valueWithSize(NSSize s) { auto v = alloc<NSValue>(); v->m_value = s; return v; }
Ref<NSValue> NSValue::valueWithRect(const NSRect& r) { auto v = alloc<NSValue>(); v->m_value = r; return v; }
Ref<NSValue> NSValue::valueWithRange(NSRange r) { auto v = alloc<NSValue>(); v->m_value = r; return v; }

template <class T>
static T valueOr(const auto& variant)
{
    if (auto* p = std::get_if<T>(&variant)) return *p;
    return T{};
}

NSPoint NSValue::pointValue() const { return valueOr<NSPoint>(m_value); }
NSSize NSValue::sizeValue() const { return valueOr<NSSize>(m_value); }
NSRect NSValue::rectValue() const { return valueOr<NSRect>(m_value); }
NSRange NSValue::rangeValue() const { return valueOr<NSRange>(m_value); }

const char* NSValue::objCType() const
{
    switch (m_value.index()) {
    case 1: return "{CGPoint=dd}";
    case 2: return "{CGSize=dd}";
    case 3: return "{CGRect={CGPoint=dd}{CGSize=dd}}";
    case 4: return "{_NSRange=QQ}";
    }
    return "";
}

bool NSValue::isEqual(const NSObject* other) const
{
    auto* v = dynamic_cast<const NSValue*>(other);
    return v && v->m_value == m_value;
}

NSUInteger NSValue::hash() const
{
    return m_value.index();
}

Ref<NSString> NSValue::description() const
{
    switch (m_value.index()) {
    case 1: { auto p = pointValue(); return NSString::stringWithFormat("NSPoint: {%g, %g}", p.x, p.y); }
    case 2: { auto s = sizeValue(); return NSString::stringWithFormat("NSSize: {%g, %g}", s.width, s.height); }
    case 3: { auto r = rectValue(); return NSString::stringWithFormat("NSRect: {{%g, %g}, {%g, %g}}", r.origin.x, r.origin.y, r.size.width, r.size.height); }
    case 4: { auto r = rangeValue(); return NSString::stringWithFormat("NSRange: {%lu, %lu}", r.location, r.length); }
    }
    return NSObject::description();
}
