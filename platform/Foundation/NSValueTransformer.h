#pragma once
// Named, registered value conversions, used by bindings. Subclasses override
// transformedValue (and reverseTransformedValue when the conversion has an
// inverse). The registry holds "NSNegateBoolean" and "NSIsNotNil" from the
// start; a name that is not registered but names a transformer class gets an
// instance of that class, registered under the name.
#include "Foundation/NSString.h"

inline const Ref<NSString> NSNegateBooleanTransformerName = "NSNegateBoolean"_ns;
inline const Ref<NSString> NSIsNotNilTransformerName = "NSIsNotNil"_ns;

class NSArray;

class NSValueTransformer : public NSObject {
    NS_OBJECT(NSValueTransformer, NSObject)
protected:
    NSValueTransformer() = default;

public:
    static Ref<NSValueTransformer> valueTransformerForName(const Ref<NSString>& name);
    // A nil transformer removes the name.
    static void setValueTransformer(const Ref<NSValueTransformer>& transformer, const Ref<NSString>& name);
    static Ref<NSArray> valueTransformerNames();

    // Class-level answers on the platform; virtual here so subclasses override them.
    virtual bool allowsReverseTransformation() const { return true; }
    // The class of transformedValue's results (NSObject unless a subclass says).
    virtual const NSClass& transformedValueClass() const;
    // The default answers the value unchanged.
    virtual Id transformedValue(const Id& value);
    // The default applies transformedValue, or raises when the transformer is
    // one-way.
    virtual Id reverseTransformedValue(const Id& value);
};
