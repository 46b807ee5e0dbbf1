#include "AppKit/NSScroller.h"

#include <algorithm>
#include <cmath>

#include "AppKit/NSApplication.h"
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSWindow.h"
#include "AppKit/ViewCoding.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSScroller)

CGFloat NSScroller::scrollerWidthForControlSize(NSUInteger controlSize, NSScrollerStyle)
{
    // Regular, small, mini.
    switch (controlSize) {
    case 1: return 11;
    case 2: return 11;
    default: return kWidth;
    }
}

bool NSScroller::isVertical() const
{
    const NSRect b = bounds();
    return b.size.height >= b.size.width;
}

void NSScroller::setDoubleValue(double value)
{
    value = std::clamp(value, 0.0, 1.0);
    if (value == m_value) return;
    m_value = value;
    setNeedsDisplay(true);
}

void NSScroller::setKnobProportion(CGFloat proportion)
{
    proportion = std::clamp(proportion, 0.0, 1.0);
    if (proportion == m_knobProportion) return;
    m_knobProportion = proportion;
    setNeedsDisplay(true);
}

void NSScroller::setEnabled(bool flag)
{
    if (flag == isEnabled()) return;
    NSControl::setEnabled(flag);
}

NSUsableScrollerParts NSScroller::usableParts() const
{
    if (!isEnabled() || m_knobProportion >= 1 || m_knobProportion <= 0) return NSNoScrollerParts;
    const NSRect b = bounds();
    const CGFloat length = isVertical() ? b.size.height : b.size.width;
    return length < kMinKnobLength ? NSNoScrollerParts : NSAllScrollerParts;
}

NSRect NSScroller::rectForPart(NSScrollerPart part) const
{
    const NSRect b = bounds();
    const bool vertical = isVertical();
    const CGFloat length = vertical ? b.size.height : b.size.width;
    auto span = [&](CGFloat start, CGFloat size) {
        return vertical ? NSMakeRect(b.origin.x, b.origin.y + start, b.size.width, size)
                        : NSMakeRect(b.origin.x + start, b.origin.y, size, b.size.height);
    };
    if (part == NSScrollerKnobSlot) return b;
    if (usableParts() != NSAllScrollerParts) return NSZeroRect;
    const CGFloat knobLength = std::min(length, std::max(kMinKnobLength, std::round(length * m_knobProportion)));
    const CGFloat knobStart = std::round((length - knobLength) * m_value);
    switch (part) {
    case NSScrollerKnob: return span(knobStart, knobLength);
    case NSScrollerDecrementPage: return span(0, knobStart);
    case NSScrollerIncrementPage: return span(knobStart + knobLength, length - knobStart - knobLength);
    default: return NSZeroRect;
    }
}

NSScrollerPart NSScroller::testPart(NSPoint pointInWindow) const
{
    const NSPoint p = convertPointFromView(pointInWindow, nullptr);
    if (!NSMouseInRect(p, bounds(), true)) return NSScrollerNoPart;
    for (NSScrollerPart part : {NSScrollerKnob, NSScrollerDecrementPage, NSScrollerIncrementPage})
        if (NSMouseInRect(p, rectForPart(part), true)) return part;
    return NSScrollerKnobSlot;
}

void NSScroller::sendAction(NSScrollerPart part)
{
    m_hitPart = part;
    if (!action().empty()) NSControl::sendAction(action(), target());
}

void NSScroller::mouseDown(const Ref<NSEvent>& event)
{
    const NSScrollerPart part = testPart(event->locationInWindow());
    if (part == NSScrollerDecrementPage || part == NSScrollerIncrementPage) {
        sendAction(part);
        m_hitPart = NSScrollerNoPart;
        return;
    }
    if (part != NSScrollerKnob) return;
    // Drag the knob: the grab offset inside the knob stays under the pointer.
    const NSRect knob = rectForPart(NSScrollerKnob);
    const CGFloat grab = along(convertPointFromView(event->locationInWindow(), nullptr)) - along(knob.origin);
    const NSRect b = bounds();
    const CGFloat travel =
        (isVertical() ? b.size.height : b.size.width) - (isVertical() ? knob.size.height : knob.size.width);
    Ref<NSScroller> self(this);
    auto app = NSApplication::sharedApplication();
    for (;;) {
        auto next = app->nextEventMatchingMask(NSLeftMouseDraggedMask | NSLeftMouseUpMask, NSDate::distantFuture(),
                                               NSEventTrackingRunLoopMode, true);
        if (!next) break;
        if (travel > 0) {
            const CGFloat start =
                along(convertPointFromView(next->locationInWindow(), nullptr)) - grab - along(b.origin);
            const double value = std::clamp(double(start / travel), 0.0, 1.0);
            if (value != m_value) {
                setDoubleValue(value);
                sendAction(NSScrollerKnob);
            }
        }
        if (next->type() == NSEventTypeLeftMouseUp) break;
    }
    m_hitPart = NSScrollerNoPart;
}

void NSScroller::drawKnobSlotInRect(const NSRect& slotRect, bool)
{
    NSColor::colorWithCalibratedWhite(0.96, 1)->setFill();
    NSRectFill(slotRect);
    NSColor::colorWithCalibratedWhite(0.86, 1)->setFill();
    const NSRect b = bounds();
    NSRectFill(isVertical() ? NSMakeRect(b.origin.x, b.origin.y, 1, b.size.height)
                            : NSMakeRect(b.origin.x, b.origin.y, b.size.width, 1));
}

void NSScroller::drawKnob()
{
    const NSRect knob = rectForPart(NSScrollerKnob);
    if (NSIsEmptyRect(knob)) return;
    const NSRect inset = isVertical() ? NSInsetRect(knob, 3.5, 2) : NSInsetRect(knob, 2, 3.5);
    const CGFloat radius = std::min(inset.size.width, inset.size.height) / 2;
    NSColor::colorWithCalibratedWhite(0.6, 1)->setFill();
    NSBezierPath::bezierPathWithRoundedRect(inset, radius, radius)->fill();
}

void NSScroller::drawRect(const NSRect&)
{
    drawKnobSlotInRect(rectForPart(NSScrollerKnobSlot), false);
    drawKnob();
}

void NSScroller::encodeWithCoder(NSCoder* coder) const
{
    NSControl::encodeWithCoder(coder);
    coder->encodeDouble(m_value, ViewCoding::key("NSCurValue"));
    coder->encodeDouble(m_knobProportion, ViewCoding::key("NSPercent"));
}

Id NSScroller::initWithCoder(NSCoder* coder)
{
    NSControl::initWithCoder(coder);
    auto unit = [](double v) { return std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : 0.0; };
    m_value = unit(coder->decodeDoubleForKey(ViewCoding::key("NSCurValue")));
    m_knobProportion = unit(coder->decodeDoubleForKey(ViewCoding::key("NSPercent")));
    return this;
}
