// Locations: distances and speeds in metric or imperial units, compass
// bearings, and what lies between two locations; numbers as ICU writes them
// with two significant digits.
#include <cmath>

#include "FormatKit/FMTLocationFormatter.h"
#include "FormatKitFixture.h"
#include "IcuNumberText.h"

namespace {

Ref<CLLocation> at(double latitude, double longitude)
{
    return NSObject::alloc<CLLocation>()->initWithLatitude(latitude, longitude);
}

}  // namespace

TEST_F(FormatKitTest, LocationDistancesAndSpeedsInBothUnitSystems)
{
    struct Case {
        bool speed;
        int32_t system;
        double value;
        double shown;
        const char* unit;
        const char* enUS;
    };
    const Case cases[] = {
        {false, 0, 999, 999, "m", "1,000 m"},
        {false, 0, 1000, 1, "km", "1 km"},
        {false, 0, 123456, 123.456, "km", "120 km"},
        {false, 1, 91, 91 * 3.2808399, "ft", "300 ft"},
        {false, 1, 92, 92 * 1.0936133, "yds", "100 yds"},
        {false, 1, 1700, 1700 * 0.000621371192, "mile", "1.1 mile"},
        {false, 1, 1609.344, 1609.344 * 0.000621371192, "miles", "1 miles"},
        {false, 1, 5000, 5000 * 0.000621371192, "miles", "3.1 miles"},
        {false, 7, 1000, 1, "km", "1 km"},
        {true, 0, 0.2, 0.2, "m/s", "0.2 m/s"},
        {true, 1, 0.2, 0.2 * 3.2808399, "ft/s", "0.66 ft/s"},
        {true, 0, 1, 3.6, "km/h", "3.6 km/h"},
        {true, 1, 10, 22.3693629, "mph", "22 mph"},
    };
    for (const char* locale : {"en_US", "de_DE", "fr_FR", "ar_EG"}) {
        useLocale(locale);
        auto f = NSObject::make<FMTLocationFormatter>();
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(locale) + " " + std::to_string(c.value) + " " + c.unit);
            f->setUnitSystem(c.system);
            const std::string text = utf8(c.speed ? f->stringFromSpeed(c.value) : f->stringFromDistance(c.value));
            EXPECT_EQ(text, icuTwoSignificant(locale, c.shown) + " " + c.unit);
            if (std::string(locale) == "en_US") {
                EXPECT_EQ(text, c.enUS);
            }
        }
    }
}

TEST_F(FormatKitTest, LocationBearingsNameCompassPoints)
{
    struct Case {
        double bearing;
        int32_t index;
        const char* word;
        const char* abbreviation;
    };
    const Case cases[] = {
        {0, 0, "North", "N"},       {22.5, 0, "North", "N"},      {22.6, 1, "Northeast", "NE"},
        {67.5, 1, "Northeast", "NE"}, {90, 2, "East", "E"},       {157.5, 3, "Southeast", "SE"},
        {180, 4, "South", "S"},     {202.6, 5, "Southwest", "SW"}, {270, 6, "West", "W"},
        {337.5, 7, "Northwest", "NW"}, {337.6, 0, "North", "N"},  {360, 0, "North", "N"},
        {-90, 6, "West", "W"},      {450, 2, "East", "E"},        {NAN, 0, "North", "N"},
    };
    auto f = NSObject::make<FMTLocationFormatter>();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bearing);
        EXPECT_EQ(FMTCompassPointIndexForBearing(c.bearing), c.index);
        f->setBearingStyle(FMTBearingWordStyle);
        EXPECT_EQ(utf8(f->stringFromBearing(c.bearing)), c.word);
        f->setBearingStyle(FMTBearingAbbreviationStyle);
        EXPECT_EQ(utf8(f->stringFromBearing(c.bearing)), c.abbreviation);
    }
    f->setBearingStyle(FMTBearingNumericStyle);
    EXPECT_EQ(utf8(f->stringFromBearing(247.3)), "250");
    f->setBearingStyle(3);
    EXPECT_EQ(utf8(f->stringFromBearing(10)), "<nil>");
}

TEST_F(FormatKitTest, LocationBetweenTwoLocations)
{
    auto f = NSObject::make<FMTLocationFormatter>();
    auto origin = at(0, 0);
    EXPECT_EQ(utf8(f->stringFromDistanceFromLocation(origin, at(0, 1))), "110 km");
    EXPECT_DOUBLE_EQ(FMTLocationFormatter::bearingFromLocation(origin, at(0, 1)), 90);
    EXPECT_DOUBLE_EQ(FMTLocationFormatter::bearingFromLocation(origin, at(0, -1)), 270);
    EXPECT_DOUBLE_EQ(FMTLocationFormatter::bearingFromLocation(origin, at(1, 0)), 360) << "due north is 360";
    EXPECT_EQ(utf8(f->stringFromBearingFromLocation(origin, at(0, -1))), "West");
    EXPECT_EQ(utf8(f->stringFromDistanceAndBearingFromLocation(origin, at(0, 1))), "110 km East");
    EXPECT_EQ(utf8(f->stringFromVelocityFromLocation(origin, at(-1, 0), 10)), "36 km/h South");
    EXPECT_EQ(utf8(f->stringFromCoordinate({52.52, -13.4})), "(53, -13)");
    EXPECT_EQ(utf8(f->stringForObjectValue(at(0.5, 9))), "(0.5, 9)");
    EXPECT_EQ(utf8(f->stringForObjectValue(NSNumber::numberWithInteger(1))), "<nil>");
    EXPECT_EQ(utf8(f->stringFromDistanceFromLocation(origin, nullptr)), "<nil>");
}
