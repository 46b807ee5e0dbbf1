#pragma once
// A tab stop of a paragraph style.
#include "Foundation/NSObject.h"

enum NSTextTabType : NSUInteger {
    NSLeftTabStopType = 0,
    NSRightTabStopType = 1,
    NSCenterTabStopType = 2,
    NSDecimalTabStopType = 3
};

class NSTextTab : public NSObject {
    NS_OBJECT(NSTextTab, NSObject)
protected:
    NSTextTab() = default;

public:
    static Ref<NSTextTab> initWithType(NSTextTabType type, CGFloat location);

    NSTextTabType tabStopType() const { return m_type; }
    CGFloat location() const { return m_location; }
    bool isEqual(const NSObject* other) const override;
    NSUInteger hash() const override { return static_cast<NSUInteger>(m_location * 64) ^ m_type; }
    Id copy() const override { return const_cast<NSTextTab*>(this); }

private:
    NSTextTabType m_type = NSLeftTabStopType;
    CGFloat m_location = 0;
};
