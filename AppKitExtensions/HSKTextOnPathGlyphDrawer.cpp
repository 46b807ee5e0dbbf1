#include "AppKitExtensions/HSKTextOnPathGlyphDrawer.h"

#include "AppKit/NSAffineTransform.h"
#include "AppKit/NSGraphicsContext.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(HSKTextOnPathGlyphDrawer)

void HSKTextOnPathGlyphDrawer::layoutManagerWillPlaceGlyphAtIndexAtLocationPathAngleYOffset(
    const Ref<NSLayoutManager>& layoutManager, NSUInteger glyphIndex, NSPoint location, CGFloat pathAngle,
    CGFloat yOffset)
{
    if (!layoutManager || !NSGraphicsContext::currentContext()) return;
    NSGraphicsContext::saveGraphicsState();
    auto transform = NSAffineTransform::transform();
    transform->translateXBy(location.x, location.y);
    transform->rotateByRadians(pathAngle);
    transform->concat();
    NSPoint inLine = layoutManager->locationForGlyphAtIndex(glyphIndex);
    NSRange one{glyphIndex, 1};
    NSPoint origin = NSMakePoint(-inLine.x, -yOffset);
    layoutManager->drawBackgroundForGlyphRange(one, origin);
    layoutManager->drawGlyphsForGlyphRange(one, origin);
    NSGraphicsContext::restoreGraphicsState();
}
