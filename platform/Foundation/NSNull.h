#pragma once
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

// [NSNull null]: the one object that stands for "no value" in collections.
class NSNull : public NSObject {
    NS_OBJECT(NSNull, NSObject)
protected:
    NSNull() = default;

public:
    static Ref<NSNull> null();
    Ref<NSString> description() const override;
    Id copy() const override { return const_cast<NSNull*>(this); }
};
