#pragma once
// The placement protocol of text laid along a path: the category tells its
// helper where each glyph goes; the helper draws, collects or measures it.
#include "AppKit/NSLayoutManager.h"

class TextOnPathPlacement {
public:
    virtual ~TextOnPathPlacement() = default;
    // Sent once per placed glyph, in glyph order: the glyph's origin goes to
    // location, turned by pathAngle (radians).
    virtual void layoutManagerWillPlaceGlyphAtIndexAtLocationPathAngleYOffset(const Ref<NSLayoutManager>& layoutManager,
                                                                              NSUInteger glyphIndex, NSPoint location,
                                                                              CGFloat pathAngle, CGFloat yOffset) = 0;
};
