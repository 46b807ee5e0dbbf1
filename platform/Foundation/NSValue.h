#pragma once
// Boxed geometry and ranges.
#include <variant>

#include "Foundation/NSGeometry.h"
#include "Foundation/NSObject.h"

class NSValue : public NSObject {
    NS_OBJECT(NSValue, NSObject)
protected:
    NSValue() = default;

public:
    static Ref<NSValue> valueWithPoint(NSPoint p);
    static Ref<NSValue> valueWithSize(NSSize s);
    static Ref<NSValue> valueWithRect(const NSRect& r);
    static Ref<NSValue> valueWithRange(NSRange r);
    // The object is not retained: the value reads nil once it is gone, and
    // compares by the object's identity.
    static Ref<NSValue> valueWithNonretainedObject(const Id& object);
    static Ref<NSValue> valueWithPointer(const void* pointer);

    // Each accessor answers zero when the value holds another type.
    NSPoint pointValue() const;
    NSSize sizeValue() const;
    NSRect rectValue() const;
    NSRange rangeValue() const;
    Id nonretainedObjectValue() const;
    const void* pointerValue() const;
    // "{x, y}", "{w, h}", "{{x, y}, {w, h}}", "{loc, len}" style type names.
    const char* objCType() const;

    bool isEqual(const NSObject* other) const override;
    NSUInteger hash() const override;
    Ref<NSString> description() const override;
    Id copy() const override { return const_cast<NSValue*>(this); }

private:
    struct Nonretained {
        Weak<NSObject> object;
        const void* identity = nullptr;
        bool operator==(const Nonretained& o) const { return identity == o.identity; }
    };
    struct Pointer {
        const void* address = nullptr;
        bool operator==(const Pointer&) const = default;
    };
    std::variant<std::monostate, NSPoint, NSSize, NSRect, NSRange, Nonretained, Pointer> m_value;
};
