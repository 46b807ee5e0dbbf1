#pragma once
// Boxed geometry and ranges.
#include <variant>

#include "Foundation/NSGeometry.h"
#include "Foundation/NSObject.h"

class NSValue : public NSObject {
    NS_OBJECT(NSValue, NSObject)
public:
    NSValue() = default;
    static Ref<NSValue> valueWithPoint(NSPoint p);
    static Ref<NSValue> valueWithSize(NSSize s);
    static Ref<NSValue> valueWithRect(const NSRect& r);
    static Ref<NSValue> valueWithRange(NSRange r);

    // Each accessor answers zero when the value holds another type.
    NSPoint pointValue() const;
    NSSize sizeValue() const;
    NSRect rectValue() const;
    NSRange rangeValue() const;
    // "{x, y}", "{w, h}", "{{x, y}, {w, h}}", "{loc, len}" style type names.
    const char* objCType() const;

    bool isEqual(const NSObject* other) const override;
    NSUInteger hash() const override;
    Ref<NSString> description() const override;
    Id copy() const override { return const_cast<NSValue*>(this); }

private:
    std::variant<std::monostate, NSPoint, NSSize, NSRect, NSRange> m_value;
};
