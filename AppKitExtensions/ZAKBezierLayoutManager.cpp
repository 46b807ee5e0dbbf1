#include "AppKitExtensions/ZAKBezierLayoutManager.h"

#include "AppKit/NSAffineTransform.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKBezierLayoutManager)

Id ZAKBezierLayoutManager::init()
{
    NSLayoutManager::init();
    m_mPath = NSBezierPath::bezierPath();
    setShouldFlip(true);
    return this;
}

void ZAKBezierLayoutManager::showCGGlyphs(const NSGlyph* glyphs, const NSPoint* positions, NSUInteger count,
                                          const Ref<NSFont>& font, const CGAffineTransform&, const Ref<NSDictionary>&,
                                          CGContext*)
{
    if (count == 0 || !glyphs || !positions || !font) return;
    // Later glyphs of the run follow by their advances from the first.
    m_mPath->moveToPoint(positions[0]);
    m_mPath->appendBezierPathWithGlyphs(glyphs, NSInteger(count), font);
}

Ref<NSArray> ZAKBezierLayoutManager::glyphPathsForContainer(const Ref<NSTextContainer>& container, NSSize* usedSize)
{
    NSUInteger n = glyphRangeForTextContainer(container).length;
    if (usedSize) *usedSize = usedRectForTextContainer(container).size;
    auto paths = NSMutableArray::array();
    for (NSUInteger g = 0; g < n;) {
        NSRange fragmentRange{0, 0};
        NSRect fragment = lineFragmentRectForGlyphAtIndex(g, &fragmentRange);
        if (fragmentRange.length == 0) break;
        for (NSUInteger i = fragmentRange.location; i < NSMaxRange(fragmentRange) && i < n; ++i) {
            NSPoint location = locationForGlyphAtIndex(i);
            NSPoint p = NSMakePoint(fragment.origin.x + location.x, fragment.origin.y + location.y);
            auto path = NSBezierPath::bezierPath();
            path->moveToPoint(p);
            NSGlyph glyph = glyphAtIndex(i);
            auto font = fontForGlyphAtIndex(i);
            if (glyph != NSNullGlyph && glyph != NSControlGlyph && font) path->appendBezierPathWithGlyph(glyph, font);
            if (m_shouldFlip) {
                auto flip = NSAffineTransform::transform();
                flip->translateXBy(p.x, p.y);
                flip->scaleXBy(1, -1);
                flip->translateXBy(-p.x, -p.y);
                path->transformUsingAffineTransform(flip);
            }
            paths->addObject(path);
        }
        g = NSMaxRange(fragmentRange);
    }
    return paths;
}
