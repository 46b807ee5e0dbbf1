#pragma once
// The application's display unit for each of four purposes (page, font, line,
// text ruler), kept in the standard user defaults under one key per purpose
// with registered defaults (centimetre, point, millimetre, millimetre). A
// change is announced on the default centre by
// ZAKApplicationMeasurementCenterZAKAppUnitDidChangedNotification, whose
// object is a number holding the purpose. A process-wide singleton with no
// state of its own.
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

enum ZAKAppUnitType : int32_t {
    ZAKAppUnitPage = 0,
    ZAKAppUnitFont = 1,
    ZAKAppUnitLine = 2,
    ZAKAppUnitTextRuler = 3,
};

Ref<NSString> ZAKApplicationMeasurementCenterZAKAppUnitDidChangedNotification();

class ZAKApplicationMeasurementCenter : public NSObject {
    NS_OBJECT(ZAKApplicationMeasurementCenter, NSObject)
protected:
    ZAKApplicationMeasurementCenter() = default;

public:
    // Once per process: initializeInformationCenter.
    static void initialize();
    // Makes the singleton and registers the four defaults with the standard
    // user defaults (again, when the standard defaults were replaced).
    static void initializeInformationCenter();
    static Ref<ZAKApplicationMeasurementCenter> informationCenter();
    // The singleton, whichever object was made.
    Id init() override;
    bool hasSharedInstances() const { return true; }

    // The unit code stored for the purpose; 0 for a purpose outside 0-3.
    NSInteger measurementUnitTypeForZAKAppUnitType(int32_t purpose) const;
    // Stores the unit (nothing for a purpose outside 0-3) and always posts the
    // change notification with the purpose.
    void setMeasurementUnitType(NSInteger unit, int32_t purpose);
};
