#pragma once
// The placement helper that collects each placed glyph's outline.
#include "AppKit/NSBezierPath.h"
#include "AppKitExtensions/TextOnPathPlacement.h"
#include "Foundation/NSArray.h"

class HSKTextOnPathGlyphAccumulator : public NSObject, public TextOnPathPlacement {
    NS_OBJECT(HSKTextOnPathGlyphAccumulator, NSObject)
public:
    HSKTextOnPathGlyphAccumulator() = default;
    Id init() override;
    // One outline path per placed glyph.
    const Ref<NSMutableArray>& glyphs() const { return m_mGlyphs; }
    void layoutManagerWillPlaceGlyphAtIndexAtLocationPathAngleYOffset(const Ref<NSLayoutManager>& layoutManager,
                                                                      NSUInteger glyphIndex, NSPoint location,
                                                                      CGFloat pathAngle, CGFloat yOffset) override;

private:
    Ref<NSMutableArray> m_mGlyphs;
};
