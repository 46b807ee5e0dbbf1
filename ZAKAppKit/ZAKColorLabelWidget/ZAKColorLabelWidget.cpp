#include "ZAKAppKit/ZAKColorLabelWidget/ZAKColorLabelWidget.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKColorLabelWidget)

void ZAKColorLabelWidget::initialize()
{
    exposeBinding<ZAKColorLabelWidget>("value"_ns);
    exposeBinding<ZAKColorLabelWidget>("enabled"_ns);
}

void ZAKColorLabelWidget::describeClass(NSClassMembers<ZAKColorLabelWidget>& m)
{
    m.property("value", &ZAKColorLabelWidget::value, &ZAKColorLabelWidget::setValue);
    m.property("colorLabelType", &ZAKColorLabelWidget::colorLabelType, &ZAKColorLabelWidget::setColorLabelType);
}

const NSClass& ZAKColorLabelWidget::cellClass() { return ZAKColorLabelWidgetCell::staticClass(); }

int32_t ZAKColorLabelWidget::colorLabelType() const
{
    auto c = colorLabelCell();
    return c ? c->colorLabelType() : -1;
}

void ZAKColorLabelWidget::setColorLabelType(int32_t type)
{
    if (auto c = colorLabelCell()) c->setColorLabelType(type);
    setNeedsDisplay(true);
}
