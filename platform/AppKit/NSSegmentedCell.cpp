#include "AppKit/NSSegmentedCell.h"

#include <algorithm>
#include <cmath>

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSGraphics.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"

NS_CLASS_DEFINE(NSSegmentedCell)

namespace {

constexpr CGFloat kSegmentPadding = 8;
constexpr CGFloat kImageLabelGap = 4;

}

// One archived segment.
class NSSegmentItem : public NSObject, public NSCoding {
    NS_OBJECT(NSSegmentItem, NSObject)
protected:
    NSSegmentItem() = default;

public:
    void encodeWithCoder(NSCoder* c) const override
    {
        if (label) c->encodeObject(label, "NSSegmentItemLabel"_ns);
        // Images are written only when they can be archived.
        if (dynamic_cast<const NSCoding*>(image.get())) c->encodeObject(image, "NSSegmentItemImage"_ns);
        c->encodeInteger(NSInteger(imageScaling), "NSSegmentItemImageScaling"_ns);
        c->encodeDouble(width, "NSSegmentItemWidth"_ns);
        c->encodeBool(!enabled, "NSSegmentItemDisabled"_ns);
        c->encodeBool(selected, "NSSegmentItemSelected"_ns);
        c->encodeInteger(tag, "NSSegmentItemTag"_ns);
    }
    Id initWithCoder(NSCoder* c) override
    {
        label = dynamic_ref_cast<NSString>(c->decodeObjectForKey("NSSegmentItemLabel"_ns));
        image = dynamic_ref_cast<NSImage>(c->decodeObjectForKey("NSSegmentItemImage"_ns));
        imageScaling = NSImageScaling(c->decodeIntegerForKey("NSSegmentItemImageScaling"_ns));
        width = c->decodeDoubleForKey("NSSegmentItemWidth"_ns);
        enabled = !c->decodeBoolForKey("NSSegmentItemDisabled"_ns);
        selected = c->decodeBoolForKey("NSSegmentItemSelected"_ns);
        tag = c->decodeIntegerForKey("NSSegmentItemTag"_ns);
        return this;
    }

    Ref<NSString> label;
    Ref<NSImage> image;
    NSImageScaling imageScaling = NSImageScaleProportionallyDown;
    CGFloat width = 0;
    bool enabled = true;
    bool selected = false;
    NSInteger tag = 0;
};
NS_CLASS_DEFINE(NSSegmentItem)

Ref<NSCell> NSSegmentedCell::initTextCell(const Ref<NSString>& text)
{
    NSActionCell::initTextCell(text);
    m_bordered = true;
    return this;
}

void NSSegmentedCell::setSegmentCount(NSInteger count)
{
    m_segments.resize(size_t(std::max<NSInteger>(0, count)));
    redisplay();
}

Ref<NSString> NSSegmentedCell::labelForSegment(NSInteger segment) const
{
    return valid(segment) ? m_segments[size_t(segment)].label : nullptr;
}

void NSSegmentedCell::setLabel(const Ref<NSString>& label, NSInteger segment)
{
    if (!valid(segment)) return;
    m_segments[size_t(segment)].label = copiedString(label);
    redisplay();
}

Ref<NSImage> NSSegmentedCell::imageForSegment(NSInteger segment) const
{
    return valid(segment) ? m_segments[size_t(segment)].image : nullptr;
}

void NSSegmentedCell::setImage(const Ref<NSImage>& image, NSInteger segment)
{
    if (!valid(segment)) return;
    m_segments[size_t(segment)].image = image;
    redisplay();
}

NSImageScaling NSSegmentedCell::imageScalingForSegment(NSInteger segment) const
{
    return valid(segment) ? m_segments[size_t(segment)].imageScaling : NSImageScaleProportionallyDown;
}

void NSSegmentedCell::setImageScaling(NSImageScaling scaling, NSInteger segment)
{
    if (!valid(segment)) return;
    m_segments[size_t(segment)].imageScaling = scaling;
    redisplay();
}

CGFloat NSSegmentedCell::widthForSegment(NSInteger segment) const
{
    return valid(segment) ? m_segments[size_t(segment)].width : 0;
}

void NSSegmentedCell::setWidth(CGFloat width, NSInteger segment)
{
    if (!valid(segment)) return;
    m_segments[size_t(segment)].width = std::max<CGFloat>(0, width);
    redisplay();
}

bool NSSegmentedCell::isEnabledForSegment(NSInteger segment) const
{
    return valid(segment) && m_segments[size_t(segment)].enabled;
}

void NSSegmentedCell::setEnabled(bool flag, NSInteger segment)
{
    if (!valid(segment)) return;
    m_segments[size_t(segment)].enabled = flag;
    redisplay();
}

NSInteger NSSegmentedCell::tagForSegment(NSInteger segment) const
{
    return valid(segment) ? m_segments[size_t(segment)].tag : 0;
}

void NSSegmentedCell::setTag(NSInteger tag, NSInteger segment)
{
    if (valid(segment)) m_segments[size_t(segment)].tag = tag;
}

bool NSSegmentedCell::isSelectedForSegment(NSInteger segment) const
{
    return valid(segment) && m_segments[size_t(segment)].selected;
}

void NSSegmentedCell::setSelected(bool flag, NSInteger segment)
{
    if (!valid(segment)) return;
    if (flag && m_trackingMode != NSSegmentSwitchTrackingSelectAny)
        for (auto& s : m_segments) s.selected = false;
    m_segments[size_t(segment)].selected = flag;
    redisplay();
}

NSInteger NSSegmentedCell::selectedSegment() const
{
    for (size_t i = 0; i < m_segments.size(); ++i)
        if (m_segments[i].selected) return NSInteger(i);
    return -1;
}

void NSSegmentedCell::setSelectedSegment(NSInteger segment)
{
    if (segment == -1) {
        for (auto& s : m_segments) s.selected = false;
        redisplay();
        return;
    }
    if (!valid(segment)) return;
    for (auto& s : m_segments) s.selected = false;
    m_segments[size_t(segment)].selected = true;
    redisplay();
}

bool NSSegmentedCell::selectSegmentWithTag(NSInteger tag)
{
    for (size_t i = 0; i < m_segments.size(); ++i)
        if (m_segments[i].tag == tag) {
            setSelectedSegment(NSInteger(i));
            return true;
        }
    return false;
}

void NSSegmentedCell::setSegmentStyle(NSInteger style)
{
    m_segmentStyle = style;
    redisplay();
}

void NSSegmentedCell::setTrackedSegment(NSInteger segment)
{
    if (m_trackedSegment == segment) return;
    m_trackedSegment = segment;
    redisplay();
}

void NSSegmentedCell::didClickSegment(NSInteger segment)
{
    if (!valid(segment) || !m_segments[size_t(segment)].enabled) return;
    switch (m_trackingMode) {
    case NSSegmentSwitchTrackingSelectAny: setSelected(!m_segments[size_t(segment)].selected, segment); break;
    case NSSegmentSwitchTrackingMomentary:
        // Selected for the action only; the control deselects it afterwards.
    case NSSegmentSwitchTrackingSelectOne: setSelectedSegment(segment); break;
    }
}

CGFloat NSSegmentedCell::contentWidthOfSegment(NSInteger segment) const
{
    const Segment& s = m_segments[size_t(segment)];
    CGFloat width = 0;
    if (s.image) width += s.image->size().width;
    if (s.label && s.label->length()) {
        if (width > 0) width += kImageLabelGap;
        width += ControlText::width(s.label->utf16(), m_textStyle);
    }
    return std::ceil(width) + 2 * kSegmentPadding;
}

NSRect NSSegmentedCell::rectForSegment(NSInteger segment, const NSRect& frame) const
{
    if (!valid(segment)) return NSZeroRect;
    CGFloat fixed = 0;
    NSInteger shared = 0;
    for (const auto& s : m_segments) {
        if (s.width > 0) fixed += s.width;
        else ++shared;
    }
    const CGFloat share = shared ? std::max<CGFloat>(0, (frame.size.width - fixed) / CGFloat(shared)) : 0;
    CGFloat x = frame.origin.x;
    for (NSInteger i = 0; i < segment; ++i) {
        const CGFloat w = m_segments[size_t(i)].width;
        x += w > 0 ? w : share;
    }
    const CGFloat w = m_segments[size_t(segment)].width;
    return NSMakeRect(x, frame.origin.y, w > 0 ? w : share, frame.size.height);
}

NSInteger NSSegmentedCell::segmentAtPoint(NSPoint point, const NSRect& frame) const
{
    if (point.y < NSMinY(frame) || point.y >= NSMaxY(frame)) return -1;
    for (NSInteger i = 0; i < segmentCount(); ++i) {
        const NSRect r = rectForSegment(i, frame);
        if (point.x >= NSMinX(r) && point.x < NSMaxX(r)) return i;
    }
    return -1;
}

NSSize NSSegmentedCell::cellSizeForBounds(const NSRect&) const
{
    CGFloat width = 0;
    for (NSInteger i = 0; i < segmentCount(); ++i) {
        const CGFloat w = m_segments[size_t(i)].width;
        width += w > 0 ? w : contentWidthOfSegment(i);
    }
    return NSMakeSize(width, std::ceil(ControlText::lineHeight(m_textStyle)) + 8);
}

NSRect NSSegmentedCell::drawingRectForBounds(const NSRect& bounds) const { return NSInsetRect(bounds, 0.5, 0.5); }

void NSSegmentedCell::drawWithFrame(const NSRect& frame, const Ref<NSView>& controlView)
{
    const NSRect r = drawingRectForBounds(frame);
    auto outline = m_segmentStyle == NSSegmentStyleRounded ? NSBezierPath::bezierPathWithRoundedRect(r, 4, 4)
                                                           : NSBezierPath::bezierPathWithRect(r);
    NSGraphicsContext::saveGraphicsState();
    NSColor::whiteColor()->setFill();
    outline->fill();
    outline->addClip();
    for (NSInteger i = 0; i < segmentCount(); ++i)
        drawSegment(i, NSIntersectionRect(rectForSegment(i, frame), r), controlView);
    NSGraphicsContext::restoreGraphicsState();
    (m_enabled ? NSColor::grayColor() : NSColor::lightGrayColor())->setStroke();
    outline->setLineWidth(1);
    outline->stroke();
}

void NSSegmentedCell::drawSegment(NSInteger segment, const NSRect& frame, const Ref<NSView>&)
{
    if (!valid(segment)) return;
    const Segment& s = m_segments[size_t(segment)];
    if (m_trackedSegment == segment) {
        NSColor::controlShadowColor()->setFill();
        NSRectFill(frame);
    } else if (s.selected) {
        NSColor::selectedControlColor()->setFill();
        NSRectFill(frame);
    }
    if (segment + 1 < segmentCount()) {
        NSColor::grayColor()->setFill();
        NSRectFill(NSMakeRect(NSMaxX(frame) - 0.5, frame.origin.y, 1, frame.size.height));
    }
    drawSegmentContent(segment, frame);
}

void NSSegmentedCell::drawSegmentContent(NSInteger segment, const NSRect& frame)
{
    const Segment& s = m_segments[size_t(segment)];
    const bool enabled = m_enabled && s.enabled;
    const std::u16string label = s.label ? s.label->utf16() : std::u16string();
    NSSize imageSize = s.image ? s.image->size() : NSZeroSize;
    // Proportionally down: an image taller than the segment is drawn smaller.
    const CGFloat room = std::max<CGFloat>(0, frame.size.height - 4);
    if (s.image && s.imageScaling != NSImageScaleNone && imageSize.height > room && imageSize.height > 0)
        imageSize = NSMakeSize(imageSize.width * room / imageSize.height, room);
    const CGFloat textWidth = label.empty() ? 0 : ControlText::width(label, m_textStyle);
    const CGFloat gap = (s.image && !label.empty()) ? kImageLabelGap : 0;
    CGFloat x = NSMidX(frame) - (imageSize.width + gap + textWidth) / 2;
    if (s.image) {
        const NSRect r = NSMakeRect(std::round(x), std::round(NSMidY(frame) - imageSize.height / 2), imageSize.width,
                                    imageSize.height);
        s.image->drawInRect(r, NSZeroRect, NSCompositeSourceOver, enabled ? 1.0 : 0.5, true, nullptr);
        x += imageSize.width + gap;
    }
    if (label.empty()) return;
    ControlText::drawInRect(label, NSMakeRect(x, frame.origin.y, textWidth + 1, frame.size.height), m_textStyle,
                            enabled ? NSColor::controlTextColor() : NSColor::disabledControlTextColor(), 0);
}

void NSSegmentedCell::copyValuesFrom(const NSCell& other)
{
    NSActionCell::copyValuesFrom(other);
    auto o = dynamic_cast<const NSSegmentedCell*>(&other);
    if (!o) return;
    m_segments = o->m_segments;
    for (auto& s : m_segments) s.label = copiedString(s.label);
    m_segmentStyle = o->m_segmentStyle;
    m_trackingMode = o->m_trackingMode;
    m_trackedSegment = -1;
}

void NSSegmentedCell::encodeWithCoder(NSCoder* c) const
{
    NSActionCell::encodeWithCoder(c);
    std::vector<Id> items;
    for (const auto& s : m_segments) {
        auto item = NSObject::make<NSSegmentItem>();
        item->label = s.label;
        item->image = s.image;
        item->imageScaling = s.imageScaling;
        item->width = s.width;
        item->enabled = s.enabled;
        item->selected = s.selected;
        item->tag = s.tag;
        items.push_back(item);
    }
    c->encodeObject(NSArray::arrayWithVector(std::move(items)), "NSSegmentImages"_ns);
    c->encodeInteger(selectedSegment(), "NSSelectedSegment"_ns);
    c->encodeInteger(m_segmentStyle, "NSSegmentStyle"_ns);
    c->encodeInteger(NSInteger(m_trackingMode), "NSTrackingMode"_ns);
}

Id NSSegmentedCell::initWithCoder(NSCoder* c)
{
    NSActionCell::initWithCoder(c);
    m_segments.clear();
    if (auto items = dynamic_ref_cast<NSArray>(c->decodeObjectForKey("NSSegmentImages"_ns)))
        for (NSUInteger i = 0; i < items->count(); ++i) {
            auto item = dynamic_ref_cast<NSSegmentItem>(items->objectAtIndex(i));
            if (!item) continue;
            m_segments.push_back(
                {item->label, item->image, item->imageScaling, item->width, item->enabled, item->selected, item->tag});
        }
    m_segmentStyle = c->containsValueForKey("NSSegmentStyle"_ns) ? c->decodeIntegerForKey("NSSegmentStyle"_ns)
                                                                 : NSSegmentStyleRounded;
    const NSInteger mode = c->decodeIntegerForKey("NSTrackingMode"_ns);
    m_trackingMode = mode >= 0 && mode <= 2 ? NSSegmentSwitchTracking(mode) : NSSegmentSwitchTrackingSelectOne;
    if (c->containsValueForKey("NSSelectedSegment"_ns)) {
        const NSInteger selected = c->decodeIntegerForKey("NSSelectedSegment"_ns);
        if (valid(selected) && m_trackingMode != NSSegmentSwitchTrackingSelectAny) setSelectedSegment(selected);
    }
    m_trackedSegment = -1;
    return this;
}
