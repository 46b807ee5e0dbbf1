#include "AppKitExtensions/ZAKColorLabelColors.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKColorLabelColors)

namespace {

// Never destroyed: the instance lives until the process ends.
Ref<ZAKColorLabelColors>& sharedInstance()
{
    static auto* instance = new Ref<ZAKColorLabelColors>;
    return *instance;
}

Ref<NSColor> labelColor(int red, int green, int blue)
{
    return NSColor::colorWithCalibratedRed(red / 255.0, green / 255.0, blue / 255.0, 1.0);
}

}

Ref<ZAKColorLabelColors> ZAKColorLabelColors::sharedHSKColorLabelColors()
{
    if (!sharedInstance()) make<ZAKColorLabelColors>();
    return sharedInstance();
}

Id ZAKColorLabelColors::init()
{
    // A second instance is dropped for the existing one.
    if (sharedInstance()) return sharedInstance();
    m_colorList = NSMutableArray::arrayWithObjects({
        NSColor::clearColor(),
        labelColor(252, 99, 89),
        labelColor(246, 170, 62),
        labelColor(235, 219, 65),
        labelColor(174, 216, 65),
        labelColor(92, 160, 255),
        labelColor(194, 138, 217),
        labelColor(168, 168, 168),
    });
    sharedInstance() = this;
    return this;
}

Ref<NSColor> ZAKColorLabelColors::getLabelColorAtindex(NSInteger index)
{
    if (index < 1 || index > 7) return nullptr;
    const auto& list = sharedHSKColorLabelColors()->colorList();
    // The list is mutable; a shortened one has no colour there.
    if (static_cast<NSUInteger>(index) >= list->count()) return nullptr;
    auto color = dynamic_ref_cast<NSColor>(list->objectAtIndex(static_cast<NSUInteger>(index)));
    return color ? static_ref_cast<NSColor>(color->copy()) : nullptr;
}

Ref<NSColor> ZAKColorLabelColors::getLabelColorForLabelType(int32_t type)
{
    return getLabelColorAtindex(static_cast<NSInteger>(type));
}

Ref<NSColor> ZAKColorLabelColors::letteringColorForLabelType(int32_t type)
{
    switch (type) {
    case -1:
    case 4:
    case 5:
    case 6: return NSColor::whiteColor();
    default: return NSColor::blackColor();
    }
}
