#include "ZAKAppKit/ZAKMeasurement/ZAKMeasurementTextField.h"

#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSNotification.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNumber.h"
#include "ZAKAppKit/ZAKMeasurement/ZAKApplicationMeasurementCenter.h"

NS_CLASS_DEFINE(ZAKMeasurementTextField)
NS_CLASS_DEFINE(ZAKAppMeasurementTextField)

void ZAKAppMeasurementTextField::describeClass(NSClassMembers<ZAKAppMeasurementTextField>& m)
{
    m.action("handleZAKApplicationMeasurementCenterZAKAppUnitDidChangedNotification:",
             &ZAKAppMeasurementTextField::handleZAKApplicationMeasurementCenterZAKAppUnitDidChangedNotification);
}

void ZAKAppMeasurementTextField::observeUnitChanges()
{
    // Observers are held weakly, so a dead field is never called.
    NSNotificationCenter::defaultCenter()->addObserver(
        Id(this), "handleZAKApplicationMeasurementCenterZAKAppUnitDidChangedNotification:",
        ZAKApplicationMeasurementCenterZAKAppUnitDidChangedNotification(), nullptr);
}

Ref<NSView> ZAKAppMeasurementTextField::initWithFrame(const NSRect& frame)
{
    Ref<NSView> view = ZAKMeasurementTextField::initWithFrame(frame);
    observeUnitChanges();
    return view;
}

Id ZAKAppMeasurementTextField::initWithCoder(NSCoder* coder)
{
    m_calUnitType = coder->allowsKeyedCoding() ? coder->decodeInt32ForKey("_calUnitType"_ns) : coder->decodeInt();
    Id self = ZAKMeasurementTextField::initWithCoder(coder);
    observeUnitChanges();
    return self;
}

void ZAKAppMeasurementTextField::encodeWithCoder(NSCoder* coder) const
{
    if (coder->allowsKeyedCoding()) coder->encodeInt32(static_cast<int32_t>(m_calUnitType), "_calUnitType"_ns);
    else coder->encodeInt(static_cast<int32_t>(m_calUnitType));
    ZAKMeasurementTextField::encodeWithCoder(coder);
}

void ZAKAppMeasurementTextField::handleZAKApplicationMeasurementCenterZAKAppUnitDidChangedNotification(
    const Ref<NSNotification>& notification)
{
    auto purpose = notification ? dynamic_ref_cast<NSNumber>(notification->object()) : nullptr;
    if (purpose && purpose->integerValue() == m_calUnitType) setCalUnitType(purpose->integerValue());
}
