#pragma once
// The placement helper that measures where a character range lies along the
// path.
#include "AppKitExtensions/TextOnPathPlacement.h"
#include "Foundation/NSObject.h"

class HSKTextOnPathMetricsHelper : public NSObject, public TextOnPathPlacement {
    NS_OBJECT(HSKTextOnPathMetricsHelper, NSObject)
public:
    HSKTextOnPathMetricsHelper() = default;
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
