#pragma once
// Names virtual key codes as the user sees them: fixed names for function
// and special keys, otherwise the character the key types in the current
// keyboard layout, upper-cased. The reverse direction reads a name back
// through a map that follows the keyboard layout.
#include "Foundation/NSValueTransformer.h"

class KRKeyCodeTransformer : public NSValueTransformer {
    NS_OBJECT(KRKeyCodeTransformer, NSValueTransformer)
protected:
    KRKeyCodeTransformer() = default;

public:
    // Builds the tables and the reverse map, and rebuilds the map whenever
    // the selected keyboard input source changes.
    static void initialize();

    bool allowsReverseTransformation() const override { return true; }
    const NSClass& transformedValueClass() const override;
    // A number to its name; nil for anything else, a negative code, or a key
    // the layout cannot translate.
    Id transformedValue(const Id& value) override;
    // A name to its key code as a number, or nil.
    Id reverseTransformedValue(const Id& value) override;

    static void regenerateStringToKeyCodeMapping();
};
