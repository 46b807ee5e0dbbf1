#include "AppKit/NSStepperCell.h"

#include <algorithm>
#include <cmath>

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSView.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSNumber.h"

NS_CLASS_DEFINE(NSStepperCell)

Ref<NSCell> NSStepperCell::initTextCell(const Ref<NSString>& text)
{
    NSActionCell::initTextCell(text);
    m_minValue = 0;
    m_maxValue = 59;
    m_increment = 1;
    m_value = 0;
    m_valueWraps = true;
    m_autorepeat = true;
    return this;
}

void NSStepperCell::setMinValue(double v)
{
    m_minValue = v;
    setDoubleValue(m_value);
}

void NSStepperCell::setMaxValue(double v)
{
    m_maxValue = v;
    setDoubleValue(m_value);
}

void NSStepperCell::setDoubleValue(double v)
{
    if (std::isnan(v)) v = m_minValue;
    m_value = std::clamp(v, std::min(m_minValue, m_maxValue), std::max(m_minValue, m_maxValue));
    redisplay();
}

void NSStepperCell::setObjectValue(const Id& value)
{
    if (auto n = dynamic_ref_cast<NSNumber>(value)) return setDoubleValue(n->doubleValue());
    setDoubleValue(value ? value->description()->doubleValue() : m_minValue);
}

void NSStepperCell::setStringValue(const Ref<NSString>& value)
{
    setDoubleValue(value ? value->doubleValue() : m_minValue);
}

NSInteger NSStepperCell::integerValue() const { return NSInteger(std::llround(m_value)); }

Id NSStepperCell::objectValue() const { return NSNumber::numberWithDouble(m_value); }

Ref<NSString> NSStepperCell::stringValue() const { return NSNumber::numberWithDouble(m_value)->stringValue(); }

void NSStepperCell::step(int direction)
{
    const double next = m_value + direction * m_increment;
    if (next > m_maxValue) m_value = m_valueWraps ? m_minValue : m_maxValue;
    else if (next < m_minValue) m_value = m_valueWraps ? m_maxValue : m_minValue;
    else m_value = next;
    redisplay();
}

int NSStepperCell::arrowAt(NSPoint point, const NSRect& frame, bool flipped)
{
    const bool upperHalf = flipped ? point.y < NSMidY(frame) : point.y >= NSMidY(frame);
    return upperHalf ? +1 : -1;
}

void NSStepperCell::setPressedArrow(int arrow)
{
    if (m_pressedArrow == arrow) return;
    m_pressedArrow = arrow;
    redisplay();
}

NSSize NSStepperCell::cellSizeForBounds(const NSRect&) const
{
    return m_controlSize == NSSmallControlSize ? NSMakeSize(13, 22) : NSMakeSize(15, 27);
}

void NSStepperCell::drawWithFrame(const NSRect& frame, const Ref<NSView>& view)
{
    const bool flipped = view && view->isFlipped();
    const NSRect body = NSInsetRect(frame, 1, 1);
    auto outline = NSBezierPath::bezierPathWithRoundedRect(body, 3, 3);
    (m_enabled ? NSColor::whiteColor() : NSColor::controlColor())->setFill();
    outline->fill();
    NSColor::grayColor()->setStroke();
    outline->setLineWidth(1);
    outline->stroke();
    NSBezierPath::strokeLineFromPoint(NSMakePoint(NSMinX(body), NSMidY(body)), NSMakePoint(NSMaxX(body), NSMidY(body)));

    // One triangle per half, pointing away from the middle.
    for (int arrow : {+1, -1}) {
        const bool top = (arrow > 0) != flipped;
        const CGFloat half = body.size.height / 2;
        const NSRect area = NSMakeRect(NSMinX(body), top ? NSMidY(body) : NSMinY(body), body.size.width, half);
        if (m_pressedArrow == arrow) {
            NSColor::controlShadowColor()->setFill();
            NSRectFill(NSInsetRect(area, 1, 1));
        }
        const CGFloat w = std::min(area.size.width - 6, CGFloat(7)), h = std::min(half - 4, w / 2 + 1);
        const CGFloat cx = NSMidX(area), cy = NSMidY(area);
        const CGFloat tip = top ? cy + h / 2 : cy - h / 2, base = top ? cy - h / 2 : cy + h / 2;
        auto triangle = NSBezierPath::bezierPath();
        triangle->moveToPoint(NSMakePoint(cx - w / 2, base));
        triangle->lineToPoint(NSMakePoint(cx + w / 2, base));
        triangle->lineToPoint(NSMakePoint(cx, tip));
        triangle->closePath();
        (m_enabled ? NSColor::blackColor() : NSColor::disabledControlTextColor())->setFill();
        triangle->fill();
    }
}

void NSStepperCell::copyValuesFrom(const NSCell& other)
{
    NSActionCell::copyValuesFrom(other);
    auto o = dynamic_cast<const NSStepperCell*>(&other);
    if (!o) return;
    m_minValue = o->m_minValue;
    m_maxValue = o->m_maxValue;
    m_increment = o->m_increment;
    m_value = o->m_value;
    m_valueWraps = o->m_valueWraps;
    m_autorepeat = o->m_autorepeat;
}

void NSStepperCell::encodeWithCoder(NSCoder* c) const
{
    NSActionCell::encodeWithCoder(c);
    c->encodeDouble(m_minValue, "NSMinValue"_ns);
    c->encodeDouble(m_maxValue, "NSMaxValue"_ns);
    c->encodeDouble(m_increment, "NSIncrement"_ns);
    c->encodeDouble(m_value, "NSValue"_ns);
    c->encodeBool(m_valueWraps, "NSValueWraps"_ns);
    c->encodeBool(m_autorepeat, "NSAutorepeat"_ns);
}

Id NSStepperCell::initWithCoder(NSCoder* c)
{
    NSActionCell::initWithCoder(c);
    m_minValue = c->decodeDoubleForKey("NSMinValue"_ns);
    m_maxValue = c->decodeDoubleForKey("NSMaxValue"_ns);
    m_increment = c->decodeDoubleForKey("NSIncrement"_ns);
    m_value = c->decodeDoubleForKey("NSValue"_ns);
    m_valueWraps = c->decodeBoolForKey("NSValueWraps"_ns);
    m_autorepeat = c->decodeBoolForKey("NSAutorepeat"_ns);
    return this;
}
