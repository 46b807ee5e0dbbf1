#pragma once
// The placement helper that draws each glyph where it is placed.
#include "AppKitExtensions/TextOnPathPlacement.h"
#include "Foundation/NSObject.h"

class HSKTextOnPathGlyphDrawer : public NSObject, public TextOnPathPlacement {
    NS_OBJECT(HSKTextOnPathGlyphDrawer, NSObject)
public:
    HSKTextOnPathGlyphDrawer() = default;
    // Draws the glyph's background and the glyph turned about its origin.
    void layoutManagerWillPlaceGlyphAtIndexAtLocationPathAngleYOffset(const Ref<NSLayoutManager>& layoutManager,
                                                                      NSUInteger glyphIndex, NSPoint location,
                                                                      CGFloat pathAngle, CGFloat yOffset) override;
};
