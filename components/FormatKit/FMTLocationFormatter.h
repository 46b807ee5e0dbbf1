#pragma once
// Writes geographic values as text: coordinates, distances (metric or
// imperial), compass bearings, speeds, and the distance, bearing or velocity
// between two locations. Bearings name one of eight compass points, in
// words or abbreviations, or give the degrees. Reading text back is not
// offered. A unit system other than 1 (imperial) is metric.
//
// Keyed archive (after the formatter's keys): "coordinateOrder",
// "bearingStyle", "unitSystem", "numberFormatter".
#include "CoreLocation/CLLocation.h"
#include "Foundation/NSNumberFormatter.h"

enum FMTBearingStyle : int32_t { FMTBearingWordStyle = 0, FMTBearingAbbreviationStyle = 1, FMTBearingNumericStyle = 2 };
enum FMTUnitSystem : int32_t { FMTMetricSystem = 0, FMTImperialSystem = 1 };

// The compass point of a bearing, 0 (north) to 7 (northwest), clockwise;
// each point covers 45 degrees, open below and closed above (22.5 is north,
// 22.6 northeast). Bearings outside 0-360 are taken modulo 360.
int32_t FMTCompassPointIndexForBearing(CLLocationDirection bearing);

class FMTLocationFormatter : public NSFormatter {
    NS_OBJECT(FMTLocationFormatter, NSFormatter)
protected:
    FMTLocationFormatter() = default;

public:
    Id init() override;

    // The current locale, decimal style, at most two significant digits.
    Ref<NSNumberFormatter> numberFormatter() const { return m_numberFormatter; }
    // Kept and archived; coordinates are written latitude first.
    int32_t coordinateOrder() const { return m_coordinateOrder; }
    void setCoordinateOrder(int32_t order) { m_coordinateOrder = order; }
    int32_t bearingStyle() const { return m_bearingStyle; }
    void setBearingStyle(int32_t style) { m_bearingStyle = style; }
    int32_t unitSystem() const { return m_unitSystem; }
    void setUnitSystem(int32_t system) { m_unitSystem = system; }

    Ref<NSString> stringFromCoordinate(CLLocationCoordinate2D coordinate);
    Ref<NSString> stringFromLocation(const Ref<CLLocation>& location);
    Ref<NSString> stringFromDistance(CLLocationDistance metres);
    // nil for a bearing style other than 0 to 2.
    Ref<NSString> stringFromBearing(CLLocationDirection degrees);
    Ref<NSString> stringFromSpeed(CLLocationSpeed metresPerSecond);
    Ref<NSString> stringFromDistanceFromLocation(const Ref<CLLocation>& from, const Ref<CLLocation>& to);
    Ref<NSString> stringFromBearingFromLocation(const Ref<CLLocation>& from, const Ref<CLLocation>& to);
    Ref<NSString> stringFromDistanceAndBearingFromLocation(const Ref<CLLocation>& from, const Ref<CLLocation>& to);
    Ref<NSString> stringFromVelocityFromLocation(const Ref<CLLocation>& from, const Ref<CLLocation>& to,
                                                 CLLocationSpeed metresPerSecond);
    // The initial great-circle bearing from one location to another, in
    // (0, 360]: due north is 360.
    static CLLocationDirection bearingFromLocation(const Ref<CLLocation>& from, const Ref<CLLocation>& to);

    Ref<NSString> stringForObjectValue(const Id& object) override;
    bool getObjectValue(Id* object, const Ref<NSString>& string, Ref<NSString>* error) override;

    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

protected:
    void copySettingsFrom(const NSFormatter& other) override;

private:
    Ref<NSString> number(double value) const;
    Ref<NSString> measure(const char* format, double value, const char* unit) const;

    Ref<NSNumberFormatter> m_numberFormatter;
    int32_t m_coordinateOrder = 0;
    int32_t m_bearingStyle = 0;
    int32_t m_unitSystem = 0;
};
