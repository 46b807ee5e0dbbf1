#include "AppKitExtensions/HSKTextOnPathHelpers.h"

#include "AppKit/NSAffineTransform.h"
#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSGraphicsContext.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(HSKPathGlyphInfo)
NS_CLASS_DEFINE(HSKTextOnPathGlyphDrawer)
NS_CLASS_DEFINE(HSKTextOnPathGlyphAccumulator)
NS_CLASS_DEFINE(HSKTextOnPathMetricsHelper)

Ref<HSKPathGlyphInfo> HSKPathGlyphInfo::initWithGlyphIndex(NSUInteger glyphIndex, NSPoint position, CGFloat slope)
{
    auto info = make<HSKPathGlyphInfo>();
    info->m_mGlyphIndex = glyphIndex;
    info->m_mPoint = position;
    info->m_mSlope = slope;
    return info;
}

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

void HSKTextOnPathMetricsHelper::layoutManagerWillPlaceGlyphAtIndexAtLocationPathAngleYOffset(
    const Ref<NSLayoutManager>& layoutManager, NSUInteger glyphIndex, NSPoint, CGFloat, CGFloat)
{
    if (!layoutManager) return;
    NSUInteger character = layoutManager->characterIndexForGlyphAtIndex(glyphIndex);
    if (character < m_mCharacterRange.location || character >= NSMaxRange(m_mCharacterRange)) return;
    if (m_mLength == 0) m_mStartPosition = layoutManager->locationForGlyphAtIndex(glyphIndex).x;
    CGFloat end;
    if (glyphIndex + 1 < layoutManager->numberOfGlyphs()) {
        end = layoutManager->locationForGlyphAtIndex(glyphIndex + 1).x;
    } else {
        NSRect used = layoutManager->lineFragmentUsedRectForGlyphAtIndex(glyphIndex, nullptr);
        end = NSMaxX(used);
    }
    m_mLength = end - m_mStartPosition;
}
