#pragma once
// Drawing and measuring strings and attributed strings without a text view
// (the categories NSString(NSStringDrawing) and
// NSAttributedString(NSStringDrawing)). Text is shaped with one glyph per
// UTF-16 unit and drawn upright in flipped and unflipped contexts. Without a
// font attribute text is Helvetica 12, without a colour black.
#include "AppKit/NSAttributedStringKeys.h"
#include "Foundation/NSAttributedString.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSGeometry.h"

enum NSStringDrawingOptions : NSUInteger {
    NSStringDrawingUsesLineFragmentOrigin = 0x1,
    NSStringDrawingUsesFontLeading = 0x2,
    NSStringDrawingTruncatesLastVisibleLine = 0x20,
};

namespace NSAttributedStringExt {
// Every line as laid out without a width limit.
NSSize size(const Ref<NSAttributedString>& text);
// The text's box has its top-left corner at the point in a flipped context,
// its bottom-left corner in an unflipped one.
void drawAtPoint(const Ref<NSAttributedString>& text, NSPoint point);
// Wrapped to the rectangle's width by words (by characters for a word longer
// than a line, or as the paragraph style's line-break mode says), lines from
// the rectangle's top, clipped to it.
void drawInRect(const Ref<NSAttributedString>& text, const NSRect& rect);
// With NSStringDrawingUsesLineFragmentOrigin the text wraps to the width
// (0: no limit) and the rectangle starts at (0, 0); otherwise it is one line
// whose rectangle has its origin on the baseline.
NSRect boundingRectWithSize(const Ref<NSAttributedString>& text, NSSize size, NSStringDrawingOptions options);
void drawWithRect(const Ref<NSAttributedString>& text, const NSRect& rect, NSStringDrawingOptions options);
// How many texts were laid out (shaped) in the process: recent layouts of
// short texts are reused, per thread. For tests.
uint64_t layoutsMade();
}

namespace NSStringExt {
NSSize sizeWithAttributes(const Ref<NSString>& text, const Ref<NSDictionary>& attributes);
void drawAtPoint(const Ref<NSString>& text, NSPoint point, const Ref<NSDictionary>& attributes);
void drawInRect(const Ref<NSString>& text, const NSRect& rect, const Ref<NSDictionary>& attributes);
NSRect boundingRectWithSize(const Ref<NSString>& text, NSSize size, NSStringDrawingOptions options,
                            const Ref<NSDictionary>& attributes);
void drawWithRect(const Ref<NSString>& text, const NSRect& rect, NSStringDrawingOptions options,
                  const Ref<NSDictionary>& attributes);
}
