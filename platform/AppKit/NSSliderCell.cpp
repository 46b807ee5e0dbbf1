#include "AppKit/NSSliderCell.h"

#include "Foundation/NSClass.h"

#include <algorithm>
#include <cmath>

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSView.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSNumber.h"

NS_CLASS_DEFINE(NSSliderCell)

namespace {
constexpr CGFloat kKnob = 16;
}

Ref<NSCell> NSSliderCell::initTextCell(const Ref<NSString>& text)
{
    NSActionCell::initTextCell(text);
    m_minValue = 0;
    m_maxValue = 1;
    m_value = 0;
    m_continuous = true;
    m_vertical = -1;
    return this;
}

void NSSliderCell::setMinValue(double v)
{
    m_minValue = v;
    setDoubleValue(m_value);
}

void NSSliderCell::setMaxValue(double v)
{
    m_maxValue = v;
    setDoubleValue(m_value);
}

void NSSliderCell::setDoubleValue(double v)
{
    if (std::isnan(v)) v = m_minValue;
    const double lo = std::min(m_minValue, m_maxValue), hi = std::max(m_minValue, m_maxValue);
    v = std::clamp(v, lo, hi);
    if (m_tickValuesOnly && m_tickMarks > 0) v = closestTickMarkValueToValue(v);
    m_value = v;
    redisplay();
}

void NSSliderCell::setObjectValue(const Id& value)
{
    if (auto n = dynamic_ref_cast<NSNumber>(value)) return setDoubleValue(n->doubleValue());
    setDoubleValue(value ? value->description()->doubleValue() : m_minValue);
}

void NSSliderCell::setStringValue(const Ref<NSString>& value)
{
    setDoubleValue(value ? value->doubleValue() : m_minValue);
}

Id NSSliderCell::objectValue() const { return NSNumber::numberWithDouble(m_value); }

Ref<NSString> NSSliderCell::stringValue() const { return NSNumber::numberWithDouble(m_value)->stringValue(); }

void NSSliderCell::setNumberOfTickMarks(NSInteger count)
{
    m_tickMarks = std::max<NSInteger>(0, count);
    setDoubleValue(m_value);
}

void NSSliderCell::setAllowsTickMarkValuesOnly(bool flag)
{
    m_tickValuesOnly = flag;
    setDoubleValue(m_value);
}

double NSSliderCell::tickMarkValueAtIndex(NSInteger index) const
{
    if (m_tickMarks <= 1) return m_minValue;
    return m_minValue + (m_maxValue - m_minValue) * double(index) / double(m_tickMarks - 1);
}

double NSSliderCell::closestTickMarkValueToValue(double value) const
{
    if (m_tickMarks <= 0) return value;
    if (m_tickMarks == 1) return tickMarkValueAtIndex(0);
    const double span = m_maxValue - m_minValue;
    if (span == 0) return m_minValue;
    const double index = std::round((value - m_minValue) / span * double(m_tickMarks - 1));
    return tickMarkValueAtIndex(NSInteger(std::clamp(index, 0.0, double(m_tickMarks - 1))));
}

bool NSSliderCell::isVertical() const
{
    if (m_vertical >= 0) return m_vertical == 1;
    auto view = controlView();
    if (!view) return false;
    return view->bounds().size.height > view->bounds().size.width;
}

NSRect NSSliderCell::trackRect(const NSRect& frame) const
{
    return NSInsetRect(frame, isVertical() ? 0 : kKnob / 2, isVertical() ? kKnob / 2 : 0);
}

double NSSliderCell::valueForPoint(NSPoint p, const NSRect& frame, bool flipped) const
{
    const NSRect track = trackRect(frame);
    double fraction;
    if (isVertical()) {
        fraction = track.size.height > 0 ? (p.y - track.origin.y) / track.size.height : 0;
        if (flipped) fraction = 1 - fraction;
    } else {
        fraction = track.size.width > 0 ? (p.x - track.origin.x) / track.size.width : 0;
    }
    fraction = std::clamp(fraction, 0.0, 1.0);
    return m_minValue + fraction * (m_maxValue - m_minValue);
}

NSRect NSSliderCell::knobRectFlipped(const NSRect& frame, bool flipped) const
{
    const NSRect track = trackRect(frame);
    const double span = m_maxValue - m_minValue;
    const double fraction = span != 0 ? (m_value - m_minValue) / span : 0;
    if (isVertical()) {
        CGFloat y = track.origin.y + CGFloat(flipped ? 1 - fraction : fraction) * track.size.height;
        return NSMakeRect(NSMidX(frame) - kKnob / 2, y - kKnob / 2, kKnob, kKnob);
    }
    CGFloat x = track.origin.x + CGFloat(fraction) * track.size.width;
    return NSMakeRect(x - kKnob / 2, NSMidY(frame) - kKnob / 2, kKnob, kKnob);
}

bool NSSliderCell::startTrackingAt(NSPoint p, const Ref<NSView>& view)
{
    m_trackingFrame = view ? view->bounds() : NSZeroRect;
    setDoubleValue(valueForPoint(p, m_trackingFrame, view && view->isFlipped()));
    return true;
}

bool NSSliderCell::continueTracking(NSPoint, NSPoint p, const Ref<NSView>& view)
{
    setDoubleValue(valueForPoint(p, m_trackingFrame, view && view->isFlipped()));
    return true;
}

NSSize NSSliderCell::cellSizeForBounds(const NSRect&) const
{
    return isVertical() ? NSMakeSize(kKnob + 6, 100) : NSMakeSize(100, kKnob + 6);
}

void NSSliderCell::drawBarInside(const NSRect& rect, bool flipped)
{
    const NSRect track = trackRect(rect);
    NSRect bar = isVertical() ? NSMakeRect(NSMidX(rect) - 2, track.origin.y, 4, track.size.height)
                              : NSMakeRect(track.origin.x, NSMidY(rect) - 2, track.size.width, 4);
    (m_enabled ? NSColor::colorWithCalibratedWhite(0.75, 1) : NSColor::colorWithCalibratedWhite(0.88, 1))->setFill();
    NSBezierPath::bezierPathWithRoundedRect(bar, 2, 2)->fill();
    if (m_tickMarks <= 0) return;
    NSColor::grayColor()->setFill();
    for (NSInteger i = 0; i < m_tickMarks; ++i) {
        const double f = m_tickMarks == 1 ? 0.5 : double(i) / double(m_tickMarks - 1);
        if (isVertical()) {
            CGFloat y = track.origin.y + CGFloat(flipped ? 1 - f : f) * track.size.height;
            NSRectFill(NSMakeRect(NSMaxX(rect) - 4, std::floor(y), 4, 1));
        } else {
            CGFloat x = track.origin.x + CGFloat(f) * track.size.width;
            NSRectFill(NSMakeRect(std::floor(x), flipped ? NSMaxY(rect) - 4 : rect.origin.y, 1, 4));
        }
    }
}

void NSSliderCell::drawKnob(const NSRect& knob)
{
    auto path = NSBezierPath::bezierPathWithOvalInRect(NSInsetRect(knob, 0.5, 0.5));
    (m_highlighted ? NSColor::colorWithCalibratedWhite(0.9, 1) : NSColor::whiteColor())->setFill();
    path->fill();
    NSColor::grayColor()->setStroke();
    path->setLineWidth(1);
    path->stroke();
}

void NSSliderCell::drawWithFrame(const NSRect& frame, const Ref<NSView>& view)
{
    const bool flipped = view && view->isFlipped();
    drawBarInside(frame, flipped);
    drawKnob(knobRectFlipped(frame, flipped));
}

void NSSliderCell::copyValuesFrom(const NSCell& other)
{
    NSActionCell::copyValuesFrom(other);
    auto o = dynamic_cast<const NSSliderCell*>(&other);
    if (!o) return;
    m_minValue = o->m_minValue;
    m_maxValue = o->m_maxValue;
    m_value = o->m_value;
    m_altIncrement = o->m_altIncrement;
    m_tickMarks = o->m_tickMarks;
    m_tickValuesOnly = o->m_tickValuesOnly;
    m_vertical = o->m_vertical;
}

void NSSliderCell::encodeWithCoder(NSCoder* c) const
{
    NSActionCell::encodeWithCoder(c);
    c->encodeDouble(m_minValue, "NSMinValue"_ns);
    c->encodeDouble(m_maxValue, "NSMaxValue"_ns);
    c->encodeDouble(m_value, "NSValue"_ns);
    c->encodeDouble(m_altIncrement, "NSAltIncValue"_ns);
    c->encodeInteger(m_tickMarks, "NSNumberOfTickMarks"_ns);
    c->encodeBool(m_tickValuesOnly, "NSAllowsTickMarkValuesOnly"_ns);
    c->encodeInteger(m_vertical, "NSVertical"_ns);
}

Id NSSliderCell::initWithCoder(NSCoder* c)
{
    NSActionCell::initWithCoder(c);
    m_minValue = c->decodeDoubleForKey("NSMinValue"_ns);
    m_maxValue = c->decodeDoubleForKey("NSMaxValue"_ns);
    m_value = c->decodeDoubleForKey("NSValue"_ns);
    m_altIncrement = c->decodeDoubleForKey("NSAltIncValue"_ns);
    m_tickMarks = c->decodeIntegerForKey("NSNumberOfTickMarks"_ns);
    m_tickValuesOnly = c->decodeBoolForKey("NSAllowsTickMarkValuesOnly"_ns);
    m_vertical = c->containsValueForKey("NSVertical"_ns) ? int(c->decodeIntegerForKey("NSVertical"_ns)) : -1;
    return this;
}
