#include "ZAKAppKit/ZAKMeasurement/ZAKApplicationMeasurementCenter.h"

#include "Foundation/NSClass.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSUserDefaults.h"
#include "ZAKAppKit/ZAKMeasurement/ZAKMeasurementUnits.h"

NS_CLASS_DEFINE(ZAKApplicationMeasurementCenter)

namespace {

struct Purpose {
    const char* defaultsKey;
    NSInteger defaultUnit;
};

constexpr Purpose kPurposes[] = {
    {"ZAKICPageUnitMeasurementType", ZAKUnitCentimeter},
    {"ZAKICFontUnitMeasurementType", ZAKUnitPoint},
    {"ZAKICLineUnitMeasurementType", ZAKUnitMillimeter},
    {"ZAKICTextRulerUnitMeasurementType", ZAKUnitMillimeter},
};

const Purpose* purposeOf(int32_t purpose)
{
    if (purpose < ZAKAppUnitPage || purpose > ZAKAppUnitTextRuler) return nullptr;
    return &kPurposes[purpose];
}

Ref<ZAKApplicationMeasurementCenter>& sharedCenter()
{
    static auto* center = new Ref<ZAKApplicationMeasurementCenter>;
    return *center;
}

}  // namespace

Ref<NSString> ZAKApplicationMeasurementCenterZAKAppUnitDidChangedNotification()
{
    return "ZAKApplicationMeasurementCenterZAKAppUnitDidChangedNotification"_ns;
}

void ZAKApplicationMeasurementCenter::initialize() { initializeInformationCenter(); }

void ZAKApplicationMeasurementCenter::initializeInformationCenter()
{
    // Made directly: this runs inside the class's initialisation, which alloc
    // would enter again.
    if (!sharedCenter())
        sharedCenter() = Ref<ZAKApplicationMeasurementCenter>::adopt(new ZAKApplicationMeasurementCenter);
    auto defaults = NSMutableDictionary::dictionary();
    for (const Purpose& purpose : kPurposes)
        defaults->setObject(NSNumber::numberWithInteger(purpose.defaultUnit),
                            NSString::stringWithUTF8String(purpose.defaultsKey));
    NSUserDefaults::standardUserDefaults()->registerDefaults(defaults);
}

Ref<ZAKApplicationMeasurementCenter> ZAKApplicationMeasurementCenter::informationCenter()
{
    staticClass();
    return sharedCenter();
}

Id ZAKApplicationMeasurementCenter::init()
{
    if (sharedCenter()) return sharedCenter();
    sharedCenter() = this;
    return this;
}

NSInteger ZAKApplicationMeasurementCenter::measurementUnitTypeForZAKAppUnitType(int32_t purpose) const
{
    const Purpose* entry = purposeOf(purpose);
    if (!entry) return 0;
    return NSUserDefaults::standardUserDefaults()->integerForKey(NSString::stringWithUTF8String(entry->defaultsKey));
}

void ZAKApplicationMeasurementCenter::setMeasurementUnitType(NSInteger unit, int32_t purpose)
{
    if (const Purpose* entry = purposeOf(purpose))
        NSUserDefaults::standardUserDefaults()->setInteger(unit, NSString::stringWithUTF8String(entry->defaultsKey));
    NSNotificationCenter::defaultCenter()->postNotificationName(
        ZAKApplicationMeasurementCenterZAKAppUnitDidChangedNotification(), NSNumber::numberWithInt(purpose));
}
