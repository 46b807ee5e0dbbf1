#include "ZAKAppKit/ZAKMeasurement/ZAKAppMeasurementNumberFormatter.h"

#include "Foundation/NSAttributedString.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSNotification.h"
#include "Foundation/NSNotificationCenter.h"
#include "ZAKAppKit/ZAKMeasurement/ZAKApplicationMeasurementCenter.h"
#include "ZAKAppKit/ZAKNumberValues/ZAKNumberContainer.h"

NS_CLASS_DEFINE(ZAKAppMeasurementNumberFormatter)

void ZAKAppMeasurementNumberFormatter::describeClass(NSClassMembers<ZAKAppMeasurementNumberFormatter>& m)
{
    m.action("handleZAKApplicationMeasurementCenterZAKAppUnitDidChangedNotification:",
             &ZAKAppMeasurementNumberFormatter::handleZAKApplicationMeasurementCenterZAKAppUnitDidChangedNotification);
}

Id ZAKAppMeasurementNumberFormatter::init()
{
    ZAKMeasurementNumberFormatter::init();
    // The centre holds its observers weakly, so a dead formatter is never called.
    NSNotificationCenter::defaultCenter()->addObserver(
        Id(this), "handleZAKApplicationMeasurementCenterZAKAppUnitDidChangedNotification:",
        ZAKApplicationMeasurementCenterZAKAppUnitDidChangedNotification(), nullptr);
    setAppUnitType(ZAKAppUnitPage);
    return this;
}

void ZAKAppMeasurementNumberFormatter::setAppUnitType(int32_t purpose)
{
    m_appUnitType = purpose;
    setShowType(ZAKApplicationMeasurementCenter::informationCenter()->measurementUnitTypeForZAKAppUnitType(purpose));
}

void ZAKAppMeasurementNumberFormatter::handleZAKApplicationMeasurementCenterZAKAppUnitDidChangedNotification(
    const Ref<NSNotification>& notification)
{
    auto purpose = notification ? dynamic_ref_cast<NSNumber>(notification->object()) : nullptr;
    if (purpose && purpose->isEqualToNumber(NSNumber::numberWithInt(m_appUnitType))) setAppUnitType(m_appUnitType);
}

Ref<NSString> ZAKAppMeasurementNumberFormatter::stringForObjectValue(const Id& object)
{
    Id value = object;
    Ref<NSString> info;
    if (auto container = dynamic_ref_cast<ZAKNumberContainer>(object)) {
        value = container->numberObject();
        info = container->infoString();
    }
    Ref<NSString> text = ZAKMeasurementNumberFormatter::stringForObjectValue(value);
    if (!info || !text) return text;
    return NSString::stringWithFormat("%@ %@", text, info);
}

Ref<NSAttributedString> ZAKAppMeasurementNumberFormatter::attributedStringForObjectValue(const Id&,
                                                                                         const Ref<NSDictionary>&)
{
    return nullptr;
}

void ZAKAppMeasurementNumberFormatter::copySettingsFrom(const NSFormatter& other)
{
    ZAKMeasurementNumberFormatter::copySettingsFrom(other);
    if (auto* source = dynamic_cast<const ZAKAppMeasurementNumberFormatter*>(&other))
        m_appUnitType = source->m_appUnitType;
}
