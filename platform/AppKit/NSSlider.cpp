#include "AppKit/NSSlider.h"

#include "Foundation/NSClass.h"

#include "WindowServer/USKeyboardLayout.h"

NS_CLASS_DEFINE(NSSlider)

void NSSlider::describeClass(NSClassMembers<NSSlider>& m)
{
    m.property("minValue", &NSSlider::minValue, &NSSlider::setMinValue);
    m.property("maxValue", &NSSlider::maxValue, &NSSlider::setMaxValue);
}

const NSClass& NSSlider::cellClass() { return NSSliderCell::staticClass(); }

#define NS_SLIDER_GET(name, type, fallback)                                                                            \
    type NSSlider::name() const                                                                                        \
    {                                                                                                                  \
        auto c = sliderCell();                                                                                         \
        return c ? c->name() : fallback;                                                                               \
    }
#define NS_SLIDER_SET(name, type)                                                                                      \
    void NSSlider::name(type v)                                                                                        \
    {                                                                                                                  \
        if (auto c = sliderCell()) c->name(v);                                                                         \
        setNeedsDisplay(true);                                                                                         \
    }

NS_SLIDER_GET(minValue, double, 0)
NS_SLIDER_SET(setMinValue, double)
NS_SLIDER_GET(maxValue, double, 1)
NS_SLIDER_SET(setMaxValue, double)
NS_SLIDER_GET(altIncrementValue, double, 0)
NS_SLIDER_SET(setAltIncrementValue, double)
NS_SLIDER_GET(numberOfTickMarks, NSInteger, 0)
NS_SLIDER_SET(setNumberOfTickMarks, NSInteger)
NS_SLIDER_GET(allowsTickMarkValuesOnly, bool, false)
NS_SLIDER_SET(setAllowsTickMarkValuesOnly, bool)
NS_SLIDER_GET(isVertical, bool, false)
#undef NS_SLIDER_GET
#undef NS_SLIDER_SET

double NSSlider::tickMarkValueAtIndex(NSInteger index) const
{
    auto c = sliderCell();
    return c ? c->tickMarkValueAtIndex(index) : 0;
}

double NSSlider::closestTickMarkValueToValue(double value) const
{
    auto c = sliderCell();
    return c ? c->closestTickMarkValueToValue(value) : value;
}

void NSSlider::step(int direction)
{
    auto c = sliderCell();
    if (!c) return;
    const double value = c->doubleValue();
    if (c->allowsTickMarkValuesOnly() && c->numberOfTickMarks() > 1) {
        const double tick = (c->maxValue() - c->minValue()) / double(c->numberOfTickMarks() - 1);
        c->setDoubleValue(c->closestTickMarkValueToValue(value) + direction * tick);
    } else {
        const double stepSize = c->altIncrementValue() > 0 ? c->altIncrementValue() : 1;
        c->setDoubleValue(value + direction * stepSize);
    }
}

void NSSlider::keyDown(const Ref<NSEvent>& event)
{
    auto c = sliderCell();
    if (!c || !isEnabled()) return NSControl::keyDown(event);
    const double before = c->doubleValue();
    switch (event->keyCode()) {
    case kVK_LeftArrow:
    case kVK_DownArrow: step(-1); break;
    case kVK_RightArrow:
    case kVK_UpArrow: step(+1); break;
    case kVK_Home: c->setDoubleValue(c->minValue()); break;
    case kVK_End: c->setDoubleValue(c->maxValue()); break;
    default: return NSControl::keyDown(event);
    }
    setNeedsDisplay(true);
    if (c->doubleValue() != before) sendAction(action(), target());
}
