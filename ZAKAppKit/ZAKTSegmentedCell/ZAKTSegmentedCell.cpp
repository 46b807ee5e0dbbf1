#include "ZAKAppKit/ZAKTSegmentedCell/ZAKTSegmentedCell.h"

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSStringDrawing.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSLog.h"
#include "ZAKAppKit/ZAKThemes/ZAKThemedCellDrawing.h"

NS_CLASS_DEFINE(ZAKTSegmentedCell)

namespace {

const Ref<NSString> kThemeKey = "themeKey"_ns;
constexpr CGFloat kImageLabelGap = 5;
constexpr CGFloat kLeftmostText = 3;

}

Ref<NSString> ZAKTSegmentedCell::themeKey() const
{
    std::lock_guard guard(m_keyLock);
    return m_themeKey;
}

void ZAKTSegmentedCell::setThemeKey(const Ref<NSString>& key)
{
    auto copy = copiedString(key);
    std::lock_guard guard(m_keyLock);
    m_themeKey = copy;
}

Ref<ZAKTheme> ZAKTSegmentedCell::theme() const { return ZAKThemedCellDrawing::themeForKey(themeKey()); }

void ZAKTSegmentedCell::setSegmentStyle(NSInteger style)
{
    if (style == NSSegmentStyleRounded || style == NSSegmentStyleSmallSquare)
        return NSSegmentedCell::setSegmentStyle(style);
    NSLog("Warning: unsupported segment style for:%@", className());
}

bool ZAKTSegmentedCell::hasText() const
{
    for (NSInteger i = 0; i < segmentCount(); ++i) {
        auto label = labelForSegment(i);
        if (label && label->length() > 0) return true;
    }
    return false;
}

NSRect ZAKTSegmentedCell::drawingRectForBounds(const NSRect& bounds) const
{
    NSRect r = NSSegmentedCell::drawingRectForBounds(bounds);
    auto t = theme();
    if (!t || !t->applyShadows()) return r;
    r.origin.x += 1.5;
    r.origin.y += 0.5;
    r.size.width -= 3;
    r.size.height -= 3;
    return r;
}

void ZAKTSegmentedCell::drawWithFrame(const NSRect& frame, const Ref<NSView>& controlView)
{
    auto t = theme();
    if (!t) return NSSegmentedCell::drawWithFrame(frame, controlView);
    const NSRect r = drawingRectForBounds(frame);
    auto outline = segmentStyle() == NSSegmentStyleRounded ? NSBezierPath::bezierPathWithRoundedRect(r, 4, 4)
                                                           : NSBezierPath::bezierPathWithRect(r);
    NSGraphicsContext::saveGraphicsState();
    if (isEnabled() && t->applyShadows())
        if (auto shadow = t->dropShadowForBackgroundStyle(backgroundStyle())) shadow->set();
    auto stroke = t->strokeColorForStateMask(0);
    if (!stroke) return NSGraphicsContext::restoreGraphicsState();
    stroke->set();
    outline->stroke();
    NSGraphicsContext::restoreGraphicsState();
    outline->addClip();
    for (NSInteger i = 0; i < segmentCount(); ++i)
        drawSegment(i, NSIntersectionRect(rectForSegment(i, frame), r), controlView);
}

void ZAKTSegmentedCell::drawSegment(NSInteger segment, const NSRect& frame, const Ref<NSView>& controlView)
{
    auto t = theme();
    if (!t) return NSSegmentedCell::drawSegment(segment, frame, controlView);
    NSUInteger mask = 0;
    if (!isEnabled()) mask = ZAKThemeStateDisabled;
    else if (segment == selectedSegment()) mask = ZAKThemeStateHighlighted;
    if (auto gradient = t->gradientForStateMask(mask))
        gradient->drawInBezierPath(NSBezierPath::bezierPathWithRect(frame), 90);
    auto stroke = t->strokeColorForStateMask(0);
    if (stroke && segment != segmentCount() - 1) {
        stroke->set();
        NSBezierPath::strokeLineFromPoint(NSMakePoint(NSMaxX(frame), frame.origin.y),
                                          NSMakePoint(NSMaxX(frame), NSMaxY(frame)));
    }
    drawInteriorForSegment(segment, frame);
}

void ZAKTSegmentedCell::drawInteriorForSegment(NSInteger segment, const NSRect& frame)
{
    auto t = theme();
    if (!t) return;
    NSUInteger mask = isEnabled() ? 0 : NSUInteger(ZAKThemeStateDisabled);
    if (isHighlighted()) mask |= ZAKThemeStateHighlighted;
    const CGFloat alpha = t->alphaValueForStateMask(mask);
    auto font = NSFont::controlContentFontOfSize(NSFont::systemFontSizeForControlSize(NSControlSize(controlSize())));
    auto attributes = NSDictionary::dictionaryWithObjectsAndKeys(
        {font, NSFontAttributeName, t->textColorForBackgroundStyle(backgroundStyle(), mask),
         NSForegroundColorAttributeName});
    auto label = labelForSegment(segment);
    if (!label) label = ""_ns;
    const NSSize textSize = NSStringExt::sizeWithAttributes(label, attributes);
    const CGFloat x = frame.origin.x, y = frame.origin.y, w = frame.size.width, h = frame.size.height;

    if (auto image = imageForSegment(segment)) {
        // Named and shared images keep their size: a copy is resized.
        if (imageScalingForSegment(segment) == NSImageScaleProportionallyDown && image->size().height > 0) {
            const NSSize original = image->size();
            image = static_ref_cast<NSImage>(image->copy());
            image->setScalesWhenResized(true);
            image->setSize(NSMakeSize(original.width * (h - 4) / original.height, h - 4));
        }
        const NSSize size = image->size();
        NSRect imageRect = NSMakeRect(x + w / 2 - size.width / 2, y + h / 2 - size.height / 2, size.width, size.height);
        if (label->length() > 0) imageRect.origin.x = x + w / 2 - (size.width + textSize.width + kImageLabelGap) / 2;
        image->drawInRect(imageRect, NSZeroRect, NSCompositingOperationSourceAtop, alpha, true, nullptr);
        if (label->length() == 0) return;
        NSStringExt::drawInRect(label,
                                NSMakeRect(NSMaxX(imageRect) + kImageLabelGap, y + h / 2 - textSize.height / 2,
                                           textSize.width, textSize.height),
                                attributes);
        return;
    }
    const CGFloat textX = std::max(x + w / 2 - textSize.width / 2, kLeftmostText);
    NSStringExt::drawInRect(label, NSMakeRect(textX, y + h / 2 - textSize.height / 2, textSize.width, textSize.height),
                            attributes);
}

Id ZAKTSegmentedCell::copy() const
{
    auto clone = dynamic_ref_cast<ZAKTSegmentedCell>(NSSegmentedCell::copy());
    if (clone) clone->setThemeKey(themeKey());
    return clone;
}

void ZAKTSegmentedCell::encodeWithCoder(NSCoder* coder) const
{
    NSSegmentedCell::encodeWithCoder(coder);
    coder->encodeObject(themeKey(), kThemeKey);
}

Id ZAKTSegmentedCell::initWithCoder(NSCoder* coder)
{
    NSSegmentedCell::initWithCoder(coder);
    setThemeKey(coder->containsValueForKey(kThemeKey) ? ZAKThemedCellDrawing::decodeString(coder, kThemeKey) : nullptr);
    return this;
}
