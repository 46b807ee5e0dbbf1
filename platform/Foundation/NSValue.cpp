#include "Foundation/NSValue.h"

#include "Foundation/NSClass.h"
#include "Foundation/NSGeometryStrings.h"
#include "Foundation/NSString.h"

NS_CLASS_DEFINE(NSValue)

Ref<NSValue> NSValue::valueWithPoint(NSPoint p)
{
    auto v = alloc<NSValue>();
    v->m_value = p;
    return v;
}
Ref<NSValue> NSValue::valueWithSize(NSSize s)
{
    auto v = alloc<NSValue>();
    v->m_value = s;
    return v;
}
Ref<NSValue> NSValue::valueWithRect(const NSRect& r)
{
    auto v = alloc<NSValue>();
    v->m_value = r;
    return v;
}
Ref<NSValue> NSValue::valueWithRange(NSRange r)
{
    auto v = alloc<NSValue>();
    v->m_value = r;
    return v;
}

Ref<NSValue> NSValue::valueWithNonretainedObject(const Id& object)
{
    auto v = alloc<NSValue>();
    v->m_value = Nonretained{Weak<NSObject>(object), object.get()};
    return v;
}

Ref<NSValue> NSValue::valueWithPointer(const void* pointer)
{
    auto v = alloc<NSValue>();
    v->m_value = Pointer{pointer};
    return v;
}

template <class T> static T valueOr(const auto& variant)
{
    if (auto* p = std::get_if<T>(&variant)) return *p;
    return T{};
}

NSPoint NSValue::pointValue() const { return valueOr<NSPoint>(m_value); }
NSSize NSValue::sizeValue() const { return valueOr<NSSize>(m_value); }
NSRect NSValue::rectValue() const { return valueOr<NSRect>(m_value); }
NSRange NSValue::rangeValue() const { return valueOr<NSRange>(m_value); }

Id NSValue::nonretainedObjectValue() const
{
    auto* n = std::get_if<Nonretained>(&m_value);
    return n ? n->object.get() : nullptr;
}

const void* NSValue::pointerValue() const
{
    if (auto* p = std::get_if<Pointer>(&m_value)) return p->address;
    if (auto* n = std::get_if<Nonretained>(&m_value)) return n->identity;
    return nullptr;
}

const char* NSValue::objCType() const
{
    switch (m_value.index()) {
    case 1: return "{CGPoint=dd}";
    case 2: return "{CGSize=dd}";
    case 3: return "{CGRect={CGPoint=dd}{CGSize=dd}}";
    case 4: return "{_NSRange=QQ}";
    case 5: return "@";
    case 6: return "^v";
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
    if (auto* p = std::get_if<Pointer>(&m_value)) return reinterpret_cast<uintptr_t>(p->address);
    if (auto* n = std::get_if<Nonretained>(&m_value)) return reinterpret_cast<uintptr_t>(n->identity);
    return m_value.index();
}

Ref<NSString> NSValue::description() const
{
    switch (m_value.index()) {
    case 1: return NSString::stringWithFormat("NSPoint: %@", NSStringFromPoint(pointValue()));
    case 2: return NSString::stringWithFormat("NSSize: %@", NSStringFromSize(sizeValue()));
    case 3: return NSString::stringWithFormat("NSRect: %@", NSStringFromRect(rectValue()));
    case 4: return NSString::stringWithFormat("NSRange: %@", NSStringFromRange(rangeValue()));
    }
    return NSObject::description();
}
