#pragma once
// The record of one glyph placed along a path, as the text cache keeps it.
#include "Foundation/NSGeometry.h"
#include "Foundation/NSObject.h"

class HSKPathGlyphInfo : public NSObject {
    NS_OBJECT(HSKPathGlyphInfo, NSObject)
public:
    HSKPathGlyphInfo() = default;
    static Ref<HSKPathGlyphInfo> initWithGlyphIndex(NSUInteger glyphIndex, NSPoint position, CGFloat slope);
    NSUInteger glyphIndex() const { return m_mGlyphIndex; }
    NSPoint point() const { return m_mPoint; }
    CGFloat slope() const { return m_mSlope; }

private:
    NSUInteger m_mGlyphIndex = 0;
    NSPoint m_mPoint{};
    CGFloat m_mSlope = 0;
};
