#pragma once
// Families, faces and trait conversions over the installed fonts.
#include "AppKit/NSFont.h"
#include "Foundation/NSArray.h"

using NSFontTraitMask = NSUInteger;
inline constexpr NSFontTraitMask NSItalicFontMask = 0x1;
inline constexpr NSFontTraitMask NSBoldFontMask = 0x2;
inline constexpr NSFontTraitMask NSUnboldFontMask = 0x4;
inline constexpr NSFontTraitMask NSNarrowFontMask = 0x10;
inline constexpr NSFontTraitMask NSCondensedFontMask = 0x40;
inline constexpr NSFontTraitMask NSFixedPitchFontMask = 0x400;
inline constexpr NSFontTraitMask NSUnitalicFontMask = 0x01000000;

class NSFontManager : public NSObject {
    NS_OBJECT(NSFontManager, NSObject)
protected:
    NSFontManager() = default;

public:
    static Ref<NSFontManager> sharedFontManager();

    // PostScript names of every installed face.
    Ref<NSArray> availableFonts() const;
    Ref<NSArray> availableFontFamilies() const;
    // One entry per face: @[fontName, styleName, weight (0-15, 5 regular,
    // 9 bold), traits]; nil for a family that is not installed.
    Ref<NSArray> availableMembersOfFontFamily(const Ref<NSString>& family) const;

    // The face of the same family with the trait added or removed; the font
    // itself when the family has no such face.
    Ref<NSFont> convertFontToHaveTrait(const Ref<NSFont>& font, NSFontTraitMask trait) const;
    Ref<NSFont> convertFontToNotHaveTrait(const Ref<NSFont>& font, NSFontTraitMask trait) const;
    Ref<NSFont> convertFontToSize(const Ref<NSFont>& font, CGFloat size) const;
    Ref<NSFont> convertFontToFamily(const Ref<NSFont>& font, const Ref<NSString>& family) const;
    NSFontTraitMask traitsOfFont(const Ref<NSFont>& font) const;
    NSInteger weightOfFont(const Ref<NSFont>& font) const;
    Ref<NSFont> fontWithFamily(const Ref<NSString>& family, NSFontTraitMask traits, NSInteger weight,
                               CGFloat size) const;
};
