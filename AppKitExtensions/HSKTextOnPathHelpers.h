#pragma once
// The placement protocol of text laid along a path, the record of one
// placement, and the three helpers that answer the protocol: one draws each
// glyph, one collects glyph outlines, one measures where a character range
// lies along the path.
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSLayoutManager.h"
#include "Foundation/NSArray.h"

class TextOnPathPlacement {
public:
    virtual ~TextOnPathPlacement() = default;
    // Sent once per placed glyph, in glyph order: the glyph's origin goes to
    // location, turned by pathAngle (radians).
    virtual void layoutManagerWillPlaceGlyphAtIndexAtLocationPathAngleYOffset(const Ref<NSLayoutManager>& layoutManager,
                                                                              NSUInteger glyphIndex, NSPoint location,
                                                                              CGFloat pathAngle, CGFloat yOffset) = 0;
};

class HSKPathGlyphInfo : public NSObject {
    NS_OBJECT(HSKPathGlyphInfo, NSObject)
protected:
    HSKPathGlyphInfo() = default;

public:
    static Ref<HSKPathGlyphInfo> initWithGlyphIndex(NSUInteger glyphIndex, NSPoint position, CGFloat slope);
    NSUInteger glyphIndex() const { return m_mGlyphIndex; }
    NSPoint point() const { return m_mPoint; }
    CGFloat slope() const { return m_mSlope; }

private:
    NSUInteger m_mGlyphIndex = 0;
    NSPoint m_mPoint{};
    CGFloat m_mSlope = 0;
};

class HSKTextOnPathGlyphDrawer : public NSObject, public TextOnPathPlacement {
    NS_OBJECT(HSKTextOnPathGlyphDrawer, NSObject)
protected:
    HSKTextOnPathGlyphDrawer() = default;

public:
    // Draws the glyph's background and the glyph turned about its origin.
    void layoutManagerWillPlaceGlyphAtIndexAtLocationPathAngleYOffset(const Ref<NSLayoutManager>& layoutManager,
                                                                      NSUInteger glyphIndex, NSPoint location,
                                                                      CGFloat pathAngle, CGFloat yOffset) override;
};

class HSKTextOnPathGlyphAccumulator : public NSObject, public TextOnPathPlacement {
    NS_OBJECT(HSKTextOnPathGlyphAccumulator, NSObject)
protected:
    HSKTextOnPathGlyphAccumulator() = default;

public:
    Id init() override;
    // One outline path per placed glyph.
    const Ref<NSMutableArray>& glyphs() const { return m_mGlyphs; }
    void layoutManagerWillPlaceGlyphAtIndexAtLocationPathAngleYOffset(const Ref<NSLayoutManager>& layoutManager,
                                                                      NSUInteger glyphIndex, NSPoint location,
                                                                      CGFloat pathAngle, CGFloat yOffset) override;

private:
    Ref<NSMutableArray> m_mGlyphs;
};

class HSKTextOnPathMetricsHelper : public NSObject, public TextOnPathPlacement {
    NS_OBJECT(HSKTextOnPathMetricsHelper, NSObject)
protected:
    HSKTextOnPathMetricsHelper() = default;

public:
    void setCharacterRange(NSRange range) { m_mCharacterRange = range; }
    // The start along the path of the range's first placed glyph, and the
    // distance from there to the end of its last.
    CGFloat position() const { return m_mStartPosition; }
    CGFloat length() const { return m_mLength; }
    void layoutManagerWillPlaceGlyphAtIndexAtLocationPathAngleYOffset(const Ref<NSLayoutManager>& layoutManager,
                                                                      NSUInteger glyphIndex, NSPoint location,
                                                                      CGFloat pathAngle, CGFloat yOffset) override;

private:
    NSRange m_mCharacterRange{0, 0};
    CGFloat m_mStartPosition = 0, m_mLength = 0;
};
