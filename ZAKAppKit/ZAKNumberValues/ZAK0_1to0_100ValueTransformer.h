#pragma once
// Between a fraction (0-1) in the model and a percentage (0-100) on screen,
// both ways, in single precision. A value that is not a number or a string
// (nil included) counts as 0.
#include "Foundation/NSValueTransformer.h"

class ZAK0_1to0_100ValueTransformer : public NSValueTransformer {
    NS_OBJECT(ZAK0_1to0_100ValueTransformer, NSValueTransformer)
protected:
    ZAK0_1to0_100ValueTransformer() = default;

public:
    bool allowsReverseTransformation() const override { return true; }
    const NSClass& transformedValueClass() const override;
    Id transformedValue(const Id& value) override;
    Id reverseTransformedValue(const Id& value) override;
};
