#pragma once
// One-line drawing of an attributed string inside a rectangle: aligned left,
// right or centred, optionally centred vertically, and cut with an ellipsis
// when the text is wider than the rectangle or runs onto a second line.
// The layout runs in one shared text system (main thread only).
// Also: comparing attributed strings by their text, describing the font of
// an attribute dictionary, attribute ranges of a text storage, and a font's
// full display name.
#include "AppKit/NSFont.h"
#include "AppKit/NSLayoutManager.h"
#include "AppKit/NSTextStorage.h"
#include "Foundation/NSAttributedString.h"
#include "Foundation/NSGeometry.h"

struct ZAKOneLineDrawing {
    NSRange glyphs{0, 0};   // the glyphs drawn, in the shared layout
    NSPoint origin{0, 0};   // where they are drawn
    bool ellipsis = false;  // whether an ellipsis is drawn
    NSPoint ellipsisOrigin{0, 0};
    CGFloat textWidth = 0;  // glyphs plus ellipsis
    bool rightToLeft = false;
};

namespace NSAttributedStringExt {

// What drawInRectangle draws, without drawing. Alignment 1 is right, 2 is
// centred, anything else left.
ZAKOneLineDrawing oneLineDrawing(const Ref<NSAttributedString>& string, const NSRect& rectangle, NSUInteger alignment,
                                 bool verticallyCentered);
void drawInRectangle(const Ref<NSAttributedString>& string, const NSRect& rectangle, NSUInteger alignment,
                     bool verticallyCentered);
// The shared layout manager the glyph ranges above refer to.
Ref<NSLayoutManager> oneLineLayoutManager();

NSComparisonResult caseInsensitiveCompare(const Ref<NSAttributedString>& a, const Ref<NSAttributedString>& b);
NSComparisonResult localizedCaseInsensitiveCompare(const Ref<NSAttributedString>& a, const Ref<NSAttributedString>& b);
// "<display name>, <size with two decimals> pt"; "" without a font.
Ref<NSString> humanReadableDescriptionForAttributes(const Ref<NSDictionary>& attributes);

}

namespace NSTextStorageExt {

// From the start index, the first longest effective range of the attribute
// whose value is that very object (not merely equal); {NSNotFound, 0} when
// none.
NSRange longestRangeForAttribute(const Ref<NSTextStorage>& storage, const Ref<NSString>& name, const Id& value,
                                 uint32_t start);
// The same with plain effective ranges.
NSRange rangeForAttribute(const Ref<NSTextStorage>& storage, const Ref<NSString>& name, const Id& value,
                          uint32_t start);
// At the first index of the range holding the attribute, its effective range
// cut to the range; {NSNotFound, 0} when the attribute is absent throughout.
NSRange rangeForAttribute(const Ref<NSTextStorage>& storage, const Ref<NSString>& name, NSRange range);

}

namespace NSFontExt {

// Family name and the style of the member whose font name is the font's,
// trimmed.
Ref<NSString> fullDisplayName(const Ref<NSFont>& font);
// The name menus show for the encoding the font suits best.
Ref<NSString> localizedNameOfMostCompatibleStringEncoding(const Ref<NSFont>& font);

}
