#include "AppKit/NSImageCell.h"

#include <algorithm>

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSGraphics.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSData.h"

NS_CLASS_DEFINE(NSImageCell)

Ref<NSCell> NSImageCell::initImageCell(const Id& image)
{
    NSCell::initImageCell(nullptr);
    m_objectValue = nullptr;
    m_image = dynamic_ref_cast<NSImage>(image);
    m_scaling = NSImageScaleProportionallyDown;
    m_alignment = NSImageAlignCenter;
    m_frameStyle = NSImageFrameNone;
    return this;
}

void NSImageCell::setImage(const Ref<NSImage>& image)
{
    m_image = image;
    redisplay();
}

void NSImageCell::setObjectValue(const Id& value) { setImage(dynamic_ref_cast<NSImage>(value)); }

void NSImageCell::setImageScaling(NSImageScaling scaling)
{
    m_scaling = scaling;
    redisplay();
}

void NSImageCell::setImageAlignment(NSImageAlignment alignment)
{
    m_alignment = alignment;
    redisplay();
}

void NSImageCell::setImageFrameStyle(NSImageFrameStyle style)
{
    m_frameStyle = style;
    redisplay();
}

NSRect NSImageCell::imageRectForBounds(const NSRect& bounds) const
{
    auto view = controlView();
    return imageRectForBounds(bounds, view ? view->isFlipped() : true);
}

NSRect NSImageCell::imageRectForBounds(const NSRect& bounds, bool flipped) const
{
    if (!m_image) return NSZeroRect;
    const NSRect area = NSInsetRect(bounds, frameInset(), frameInset());
    if (area.size.width <= 0 || area.size.height <= 0) return NSZeroRect;
    NSSize size = m_image->size();
    if (size.width <= 0 || size.height <= 0) return NSZeroRect;
    const CGFloat fit = std::min(area.size.width / size.width, area.size.height / size.height);
    switch (m_scaling) {
    case NSImageScaleAxesIndependently: return area;
    case NSImageScaleProportionallyUpOrDown: size = {size.width * fit, size.height * fit}; break;
    case NSImageScaleProportionallyDown:
        if (fit < 1) size = {size.width * fit, size.height * fit};
        break;
    default: break;
    }
    const CGFloat spareX = area.size.width - size.width, spareY = area.size.height - size.height;
    CGFloat x = NSMinX(area) + spareX / 2;
    if (m_alignment == NSImageAlignLeft || m_alignment == NSImageAlignTopLeft || m_alignment == NSImageAlignBottomLeft)
        x = NSMinX(area);
    if (m_alignment == NSImageAlignRight || m_alignment == NSImageAlignTopRight ||
        m_alignment == NSImageAlignBottomRight)
        x = NSMinX(area) + spareX;
    const bool top =
        m_alignment == NSImageAlignTop || m_alignment == NSImageAlignTopLeft || m_alignment == NSImageAlignTopRight;
    const bool bottom = m_alignment == NSImageAlignBottom || m_alignment == NSImageAlignBottomLeft ||
                        m_alignment == NSImageAlignBottomRight;
    CGFloat y = NSMinY(area) + spareY / 2;
    if (top) y = flipped ? NSMinY(area) : NSMinY(area) + spareY;
    if (bottom) y = flipped ? NSMinY(area) + spareY : NSMinY(area);
    return NSMakeRect(x, y, size.width, size.height);
}

NSSize NSImageCell::cellSize() const
{
    const NSSize image = m_image ? m_image->size() : NSZeroSize;
    return {image.width + 2 * frameInset(), image.height + 2 * frameInset()};
}

void NSImageCell::drawWithFrame(const NSRect& cellFrame, const Ref<NSView>& controlView)
{
    switch (m_frameStyle) {
    case NSImageFrameNone: break;
    case NSImageFramePhoto:
        NSColor::whiteColor()->setFill();
        NSRectFill(cellFrame);
        NSColor::colorWithCalibratedWhite(0.5, 1)->setFill();
        NSFrameRect(cellFrame);
        break;
    case NSImageFrameButton: {
        auto path = NSBezierPath::bezierPathWithRoundedRect(NSInsetRect(cellFrame, 0.5, 0.5), 3, 3);
        NSColor::colorWithCalibratedWhite(0.97, 1)->setFill();
        path->fill();
        NSColor::colorWithCalibratedWhite(0.6, 1)->setStroke();
        path->stroke();
        break;
    }
    default:
        NSColor::colorWithCalibratedWhite(0.6, 1)->setFill();
        NSFrameRect(cellFrame);
        NSColor::whiteColor()->setFill();
        NSFrameRect(NSInsetRect(cellFrame, 1, 1));
        break;
    }
    drawInteriorWithFrame(cellFrame, controlView);
}

void NSImageCell::drawInteriorWithFrame(const NSRect& cellFrame, const Ref<NSView>& controlView)
{
    if (!m_image) return;
    const NSRect r = imageRectForBounds(cellFrame, controlView ? controlView->isFlipped() : false);
    if (NSIsEmptyRect(r)) return;
    m_image->drawInRect(r, NSZeroRect, NSCompositingOperationSourceOver, isEnabled() ? 1.0 : 0.5, true, nullptr);
}

void NSImageCell::copyValuesFrom(const NSCell& other)
{
    NSCell::copyValuesFrom(other);
    auto o = dynamic_cast<const NSImageCell*>(&other);
    if (!o) return;
    m_image = o->m_image;
    m_scaling = o->m_scaling;
    m_alignment = o->m_alignment;
    m_frameStyle = o->m_frameStyle;
}

void NSImageCell::encodeWithCoder(NSCoder* coder) const
{
    NSCell::encodeWithCoder(coder);
    if (m_image) {
        if (auto png = m_image->PNGRepresentation()) coder->encodeObject(png, "NSImageData"_ns);
    }
    coder->encodeInteger(NSInteger(m_scaling), "NSScale"_ns);
    coder->encodeInteger(NSInteger(m_alignment), "NSAlign"_ns);
    coder->encodeInteger(NSInteger(m_frameStyle), "NSStyle"_ns);
}

Id NSImageCell::initWithCoder(NSCoder* coder)
{
    NSCell::initWithCoder(coder);
    m_objectValue = nullptr;
    if (auto data = dynamic_ref_cast<NSData>(coder->decodeObjectForKey("NSImageData"_ns)))
        m_image = NSImage::initWithData(data);
    const NSInteger scale = coder->decodeIntegerForKey("NSScale"_ns);
    m_scaling = scale >= 0 && scale <= NSInteger(NSImageScaleProportionallyUpOrDown) ? NSImageScaling(scale)
                                                                                     : NSImageScaleProportionallyDown;
    const NSInteger align = coder->decodeIntegerForKey("NSAlign"_ns);
    m_alignment = align >= 0 && align <= NSInteger(NSImageAlignRight) ? NSImageAlignment(align) : NSImageAlignCenter;
    const NSInteger style = coder->decodeIntegerForKey("NSStyle"_ns);
    m_frameStyle = style >= 0 && style <= NSInteger(NSImageFrameButton) ? NSImageFrameStyle(style) : NSImageFrameNone;
    return this;
}
