// Locations measure geodesic distances on the WGS-84 ellipsoid.
#include <gtest/gtest.h>

#include <cmath>

#include <GeographicLib/Geodesic.hpp>

#include "CoreLocation/CLLocation.h"

TEST(Location, DistanceIsTheGeodesicOnWGS84)
{
    struct Case {
        CLLocationCoordinate2D from, to;
    };
    const Case cases[] = {
        {{0, 0}, {0, 1}},
        {{40.6413, -73.7781}, {51.47, -0.4543}},
        {{-33.9, 151.2}, {33.9, -28.8}},
        {{90, 0}, {-90, 0}},
        {{10, 20}, {10, 20}},
    };
    for (const Case& c : cases) {
        double expected = 0;
        GeographicLib::Geodesic::WGS84().Inverse(c.from.latitude, c.from.longitude, c.to.latitude, c.to.longitude,
                                                 expected);
        auto from = CLLocation::locationWithCoordinate(c.from);
        auto to = CLLocation::locationWithCoordinate(c.to);
        EXPECT_DOUBLE_EQ(from->distanceFromLocation(to), expected);
        EXPECT_DOUBLE_EQ(to->distanceFromLocation(from), expected);
    }
    // One degree of longitude on the equator is the equatorial radius times pi/180.
    auto origin = NSObject::alloc<CLLocation>()->initWithLatitude(0, 0);
    EXPECT_NEAR(origin->distanceFromLocation(NSObject::alloc<CLLocation>()->initWithLatitude(0, 1)),
                6378137.0 * M_PI / 180, 1e-6);
}

TEST(Location, InvalidCoordinatesMeasureNothing)
{
    auto origin = NSObject::alloc<CLLocation>()->initWithLatitude(0, 0);
    EXPECT_TRUE(std::isnan(origin->distanceFromLocation(nullptr)));
    for (CLLocationCoordinate2D bad : {CLLocationCoordinate2D{91, 0}, CLLocationCoordinate2D{0, 181},
                                       CLLocationCoordinate2D{NAN, 0}, CLLocationCoordinate2D{INFINITY, 0}}) {
        EXPECT_FALSE(CLLocationCoordinate2DIsValid(bad));
        EXPECT_TRUE(std::isnan(origin->distanceFromLocation(CLLocation::locationWithCoordinate(bad))));
    }
    EXPECT_EQ(CLLocation::locationWithCoordinate({52.5, 13.25})->description()->UTF8String(),
              "<+52.50000000,+13.25000000>");
}
