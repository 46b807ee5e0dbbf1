#pragma once
// Text forms of ranges and geometry: "{loc, len}", "{x, y}", "{w, h}" and
// "{{x, y}, {w, h}}", numbers in their shortest %g-style text ("10", "0.5").
// The parsers read the numbers in order, skipping everything else; missing
// numbers are 0.
#include "Foundation/NSGeometry.h"
#include "Foundation/NSString.h"

Ref<NSString> NSStringFromRange(NSRange range);
Ref<NSString> NSStringFromPoint(NSPoint point);
Ref<NSString> NSStringFromSize(NSSize size);
Ref<NSString> NSStringFromRect(const NSRect& rect);

NSRange NSRangeFromString(const Ref<NSString>& text);
NSPoint NSPointFromString(const Ref<NSString>& text);
NSSize NSSizeFromString(const Ref<NSString>& text);
NSRect NSRectFromString(const Ref<NSString>& text);
