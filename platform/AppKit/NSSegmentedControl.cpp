#include "AppKit/NSSegmentedControl.h"

#include "AppKit/NSApplication.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSRunLoop.h"

NS_CLASS_DEFINE(NSSegmentedControl)

void NSSegmentedControl::describeClass(NSClassMembers<NSSegmentedControl>& m)
{
    m.property("selectedSegment", &NSSegmentedControl::selectedSegment, &NSSegmentedControl::setSelectedSegment);
    m.property("segmentCount", &NSSegmentedControl::segmentCount, &NSSegmentedControl::setSegmentCount);
}

const NSClass& NSSegmentedControl::cellClass() { return NSSegmentedCell::staticClass(); }

#define NS_SEGMENT_GET(name, type, fallback)                                                                           \
    type NSSegmentedControl::name(NSInteger segment) const                                                             \
    {                                                                                                                  \
        auto c = segmentedCell();                                                                                      \
        return c ? c->name(segment) : fallback;                                                                        \
    }
#define NS_SEGMENT_SET(name, type)                                                                                     \
    void NSSegmentedControl::name(type value, NSInteger segment)                                                       \
    {                                                                                                                  \
        if (auto c = segmentedCell()) c->name(value, segment);                                                         \
        setNeedsDisplay(true);                                                                                         \
    }

NS_SEGMENT_GET(labelForSegment, Ref<NSString>, nullptr)
NS_SEGMENT_SET(setLabel, const Ref<NSString>&)
NS_SEGMENT_GET(imageForSegment, Ref<NSImage>, nullptr)
NS_SEGMENT_SET(setImage, const Ref<NSImage>&)
NS_SEGMENT_GET(imageScalingForSegment, NSImageScaling, NSImageScaleProportionallyDown)
NS_SEGMENT_SET(setImageScaling, NSImageScaling)
NS_SEGMENT_GET(widthForSegment, CGFloat, 0)
NS_SEGMENT_SET(setWidth, CGFloat)
NS_SEGMENT_GET(isEnabledForSegment, bool, false)
NS_SEGMENT_SET(setEnabled, bool)
NS_SEGMENT_GET(isSelectedForSegment, bool, false)
NS_SEGMENT_SET(setSelected, bool)
#undef NS_SEGMENT_GET
#undef NS_SEGMENT_SET

NSInteger NSSegmentedControl::segmentCount() const
{
    auto c = segmentedCell();
    return c ? c->segmentCount() : 0;
}

void NSSegmentedControl::setSegmentCount(NSInteger count)
{
    if (auto c = segmentedCell()) c->setSegmentCount(count);
    setNeedsDisplay(true);
}

NSInteger NSSegmentedControl::selectedSegment() const
{
    auto c = segmentedCell();
    return c ? c->selectedSegment() : -1;
}

void NSSegmentedControl::setSelectedSegment(NSInteger segment)
{
    if (auto c = segmentedCell()) c->setSelectedSegment(segment);
    setNeedsDisplay(true);
}

NSInteger NSSegmentedControl::segmentStyle() const
{
    auto c = segmentedCell();
    return c ? c->segmentStyle() : NSSegmentStyleRounded;
}

void NSSegmentedControl::setSegmentStyle(NSInteger style)
{
    if (auto c = segmentedCell()) c->setSegmentStyle(style);
    setNeedsDisplay(true);
}

void NSSegmentedControl::sizeToFit()
{
    auto c = segmentedCell();
    if (!c) return;
    NSRect f = frame();
    f.size = c->cellSizeForBounds(bounds());
    setFrame(f);
}

void NSSegmentedControl::mouseDown(const Ref<NSEvent>& event)
{
    auto c = segmentedCell();
    if (!isEnabled() || !c) return;
    Ref<NSSegmentedControl> self(this);
    const NSRect frame = bounds();
    auto segmentUnder = [&](const Ref<NSEvent>& e) {
        return c->segmentAtPoint(convertPoint(e->locationInWindow(), nullptr), frame);
    };
    const NSInteger pressed = segmentUnder(event);
    if (pressed < 0 || !c->isEnabledForSegment(pressed)) return;
    c->setTrackedSegment(pressed);
    c->setHighlighted(true);
    setNeedsDisplay(true);
    bool upOnSegment = false;
    while (NSApp) {
        auto e = NSApp->nextEventMatchingMask(NSLeftMouseUpMask | NSLeftMouseDraggedMask, NSDate::distantFuture(),
                                              NSEventTrackingRunLoopMode, true);
        if (!e) break;
        const bool on = segmentUnder(e) == pressed;
        if (e->type() == NSLeftMouseUp) {
            upOnSegment = on;
            break;
        }
        c->setTrackedSegment(on ? pressed : -1);
        setNeedsDisplay(true);
    }
    c->setTrackedSegment(-1);
    c->setHighlighted(false);
    setNeedsDisplay(true);
    if (!upOnSegment) return;
    c->didClickSegment(pressed);
    sendAction(c->action(), c->target());
    if (c->trackingMode() == NSSegmentSwitchTrackingMomentary) c->setSelected(false, pressed);
}
