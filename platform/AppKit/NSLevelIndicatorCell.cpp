#include "AppKit/NSLevelIndicatorCell.h"

#include "Foundation/NSClass.h"

#include <algorithm>
#include <cmath>

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSGraphics.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSNumber.h"

NS_CLASS_DEFINE(NSLevelIndicatorCell)

namespace {

// Stars of a rating sit in square slots of this width.
constexpr CGFloat kStarSlot = 13;

NSLevelIndicatorCell::IsHighlightedHook& isHighlightedHook()
{
    static NSLevelIndicatorCell::IsHighlightedHook hook;
    return hook;
}

Ref<NSBezierPath> starPath(const NSRect& slot)
{
    const CGFloat cx = NSMidX(slot), cy = NSMidY(slot);
    const CGFloat outer = slot.size.width / 2 - 0.5, inner = outer * 0.4;
    auto path = NSBezierPath::bezierPath();
    for (int i = 0; i < 10; ++i) {
        const CGFloat r = i % 2 ? inner : outer;
        const CGFloat angle = CGFloat(M_PI) / 2 + CGFloat(i) * CGFloat(M_PI) / 5;
        const NSPoint p = NSMakePoint(cx + r * std::cos(angle), cy + r * std::sin(angle));
        if (i == 0) path->moveToPoint(p);
        else path->lineToPoint(p);
    }
    path->closePath();
    return path;
}

}

void NSLevelIndicatorCell::setIsHighlightedHook(IsHighlightedHook hook) { isHighlightedHook() = std::move(hook); }

Ref<NSCell> NSLevelIndicatorCell::initTextCell(const Ref<NSString>& text)
{
    NSActionCell::initTextCell(text);
    m_minValue = 0;
    m_maxValue = 1;
    m_value = 0;
    return this;
}

Ref<NSLevelIndicatorCell> NSLevelIndicatorCell::initWithLevelIndicatorStyle(NSLevelIndicatorStyle style)
{
    initTextCell(""_ns);
    setLevelIndicatorStyle(style);
    return this;
}

void NSLevelIndicatorCell::setLevelIndicatorStyle(NSLevelIndicatorStyle style)
{
    m_style = style;
    redisplay();
}

void NSLevelIndicatorCell::setMinValue(double v)
{
    m_minValue = v;
    setDoubleValue(m_value);
}

void NSLevelIndicatorCell::setMaxValue(double v)
{
    m_maxValue = v;
    setDoubleValue(m_value);
}

void NSLevelIndicatorCell::setDoubleValue(double v)
{
    if (std::isnan(v)) v = m_minValue;
    m_value = std::clamp(v, std::min(m_minValue, m_maxValue), std::max(m_minValue, m_maxValue));
    redisplay();
}

void NSLevelIndicatorCell::setObjectValue(const Id& value)
{
    if (auto n = dynamic_ref_cast<NSNumber>(value)) return setDoubleValue(n->doubleValue());
    setDoubleValue(value ? value->description()->doubleValue() : m_minValue);
}

void NSLevelIndicatorCell::setStringValue(const Ref<NSString>& value)
{
    setDoubleValue(value ? value->doubleValue() : m_minValue);
}

NSInteger NSLevelIndicatorCell::integerValue() const { return NSInteger(std::llround(m_value)); }

Id NSLevelIndicatorCell::objectValue() const { return NSNumber::numberWithDouble(m_value); }

Ref<NSString> NSLevelIndicatorCell::stringValue() const { return NSNumber::numberWithDouble(m_value)->stringValue(); }

bool NSLevelIndicatorCell::isHighlighted() const
{
    const bool own = NSActionCell::isHighlighted();
    const auto& hook = isHighlightedHook();
    return hook ? hook(*this, own) : own;
}

NSRect NSLevelIndicatorCell::ratingStarRect(NSInteger index, const NSRect& frame) const
{
    const CGFloat side = std::min(kStarSlot, frame.size.height);
    return NSMakeRect(frame.origin.x + CGFloat(index) * kStarSlot + (kStarSlot - side) / 2,
                      frame.origin.y + (frame.size.height - side) / 2, side, side);
}

double NSLevelIndicatorCell::ratingForPoint(NSPoint p, const NSRect& frame) const
{
    const CGFloat x = p.x - frame.origin.x;
    if (x < 0) return m_minValue;
    return std::floor(x / kStarSlot) + 1;
}

bool NSLevelIndicatorCell::startTrackingAt(NSPoint p, const Ref<NSView>& view)
{
    if (m_style != NSRatingLevelIndicatorStyle || !m_editable || !view) return false;
    setDoubleValue(ratingForPoint(p, view->bounds()));
    return true;
}

bool NSLevelIndicatorCell::continueTracking(NSPoint, NSPoint p, const Ref<NSView>& view)
{
    if (!view) return false;
    setDoubleValue(ratingForPoint(p, view->bounds()));
    return true;
}

NSSize NSLevelIndicatorCell::cellSizeForBounds(const NSRect&) const
{
    if (m_style == NSRatingLevelIndicatorStyle)
        return NSMakeSize(kStarSlot * CGFloat(std::max(0.0, std::ceil(m_maxValue))), kStarSlot);
    return NSMakeSize(100, 16);
}

void NSLevelIndicatorCell::drawWithFrame(const NSRect& frame, const Ref<NSView>&)
{
    if (m_style == NSRatingLevelIndicatorStyle) drawRating(frame);
    else drawBar(frame);
}

// Filled stars up to the value; an editable rating marks the free places
// with dots. Highlighted (on a selected row) the stars are white.
void NSLevelIndicatorCell::drawRating(const NSRect& frame)
{
    const bool highlighted = isHighlighted();
    const CGFloat alpha = m_enabled ? 1 : 0.5;
    const NSInteger places = NSInteger(std::max(0.0, std::ceil(m_maxValue)));
    const NSInteger filled = NSInteger(std::llround(m_value));
    for (NSInteger i = 0; i < places; ++i) {
        const NSRect slot = ratingStarRect(i, frame);
        if (i < filled) {
            auto star = starPath(slot);
            (highlighted ? NSColor::colorWithCalibratedWhite(1, alpha) : NSColor::colorWithCalibratedWhite(0.25, alpha))
                ->setFill();
            star->fill();
            if (highlighted) {
                NSColor::colorWithCalibratedWhite(0.35, alpha)->setStroke();
                star->setLineWidth(0.75);
                star->stroke();
            }
        } else if (m_editable) {
            const NSRect dot = NSMakeRect(NSMidX(slot) - 1.5, NSMidY(slot) - 1.5, 3, 3);
            (highlighted ? NSColor::colorWithCalibratedWhite(1, alpha) : NSColor::colorWithCalibratedWhite(0.55, alpha))
                ->setFill();
            NSBezierPath::bezierPathWithOvalInRect(dot)->fill();
        }
    }
}

void NSLevelIndicatorCell::drawBar(const NSRect& frame)
{
    const NSRect track = NSInsetRect(frame, 0.5, std::max<CGFloat>(0.5, (frame.size.height - 12) / 2));
    NSColor::colorWithCalibratedWhite(0.92, 1)->setFill();
    NSRectFill(track);
    const double span = m_maxValue - m_minValue;
    const double fraction = span != 0 ? (m_value - m_minValue) / span : 0;
    NSRect level = track;
    level.size.width = track.size.width * CGFloat(fraction);
    (m_style == NSRelevancyLevelIndicatorStyle ? NSColor::grayColor()
                                               : NSColor::colorWithCalibratedRed(0.25, 0.75, 0.3, 1))
        ->setFill();
    NSRectFill(level);
    NSColor::grayColor()->setStroke();
    NSBezierPath::strokeRect(track);
}

void NSLevelIndicatorCell::copyValuesFrom(const NSCell& other)
{
    NSActionCell::copyValuesFrom(other);
    auto o = dynamic_cast<const NSLevelIndicatorCell*>(&other);
    if (!o) return;
    m_style = o->m_style;
    m_minValue = o->m_minValue;
    m_maxValue = o->m_maxValue;
    m_value = o->m_value;
}

void NSLevelIndicatorCell::encodeWithCoder(NSCoder* c) const
{
    NSActionCell::encodeWithCoder(c);
    c->encodeDouble(m_minValue, "NSMinValue"_ns);
    c->encodeDouble(m_maxValue, "NSMaxValue"_ns);
    c->encodeDouble(m_value, "NSValue"_ns);
    c->encodeInteger(NSInteger(m_style), "NSIndicatorStyle"_ns);
}

Id NSLevelIndicatorCell::initWithCoder(NSCoder* c)
{
    NSActionCell::initWithCoder(c);
    m_style = NSLevelIndicatorStyle(std::clamp<NSInteger>(c->decodeIntegerForKey("NSIndicatorStyle"_ns), 0, 3));
    m_minValue = c->decodeDoubleForKey("NSMinValue"_ns);
    m_maxValue = c->containsValueForKey("NSMaxValue"_ns) ? c->decodeDoubleForKey("NSMaxValue"_ns) : 1;
    setDoubleValue(c->decodeDoubleForKey("NSValue"_ns));
    return this;
}
