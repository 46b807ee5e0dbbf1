#include "AppKitExtensions/HSKTextOnPathGlyphAccumulator.h"

#include "AppKit/NSAffineTransform.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(HSKTextOnPathGlyphAccumulator)

Id HSKTextOnPathGlyphAccumulator::init()
{
    m_mGlyphs = NSMutableArray::array();
    return this;
}

void HSKTextOnPathGlyphAccumulator::layoutManagerWillPlaceGlyphAtIndexAtLocationPathAngleYOffset(
    const Ref<NSLayoutManager>& layoutManager, NSUInteger glyphIndex, NSPoint location, CGFloat pathAngle,
    CGFloat yOffset)
{
    if (!layoutManager) return;
    NSGlyph glyph = layoutManager->glyphAtIndex(glyphIndex);
    auto font = layoutManager->fontForGlyphAtIndex(glyphIndex);
    auto path = NSBezierPath::bezierPath();
    path->moveToPoint(NSMakePoint(0, yOffset - layoutManager->locationForGlyphAtIndex(glyphIndex).y));
    if (glyph != NSNullGlyph && glyph != NSControlGlyph && font) path->appendBezierPathWithGlyph(glyph, font);
    auto transform = NSAffineTransform::transform();
    transform->translateXBy(location.x, location.y);
    transform->rotateByRadians(pathAngle);
    transform->scaleXBy(1, -1);
    path->transformUsingAffineTransform(transform);
    m_mGlyphs->addObject(path);
}
