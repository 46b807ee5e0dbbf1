#include "AppKit/NSLevelIndicator.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSLevelIndicator)

void NSLevelIndicator::describeClass(NSClassMembers<NSLevelIndicator>& m)
{
    m.property("minValue", &NSLevelIndicator::minValue, &NSLevelIndicator::setMinValue);
    m.property("maxValue", &NSLevelIndicator::maxValue, &NSLevelIndicator::setMaxValue);
}

const NSClass& NSLevelIndicator::cellClass() { return NSLevelIndicatorCell::staticClass(); }

NSLevelIndicatorStyle NSLevelIndicator::levelIndicatorStyle() const
{
    auto c = levelIndicatorCell();
    return c ? c->levelIndicatorStyle() : NSRelevancyLevelIndicatorStyle;
}

void NSLevelIndicator::setLevelIndicatorStyle(NSLevelIndicatorStyle style)
{
    if (auto c = levelIndicatorCell()) c->setLevelIndicatorStyle(style);
    setNeedsDisplay(true);
}

double NSLevelIndicator::minValue() const
{
    auto c = levelIndicatorCell();
    return c ? c->minValue() : 0;
}

void NSLevelIndicator::setMinValue(double v)
{
    if (auto c = levelIndicatorCell()) c->setMinValue(v);
    setNeedsDisplay(true);
}

double NSLevelIndicator::maxValue() const
{
    auto c = levelIndicatorCell();
    return c ? c->maxValue() : 1;
}

void NSLevelIndicator::setMaxValue(double v)
{
    if (auto c = levelIndicatorCell()) c->setMaxValue(v);
    setNeedsDisplay(true);
}
