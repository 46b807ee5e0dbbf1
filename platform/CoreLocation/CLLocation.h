#pragma once
// Geographic positions on the WGS-84 ellipsoid: a coordinate in degrees and
// a location that measures the distance to another (GeographicLib's
// geodesic, exact to a few nanometres).
#include "Foundation/NSString.h"

using CLLocationDegrees = double;
using CLLocationDistance = double;   // metres
using CLLocationSpeed = double;      // metres per second
using CLLocationDirection = double;  // degrees clockwise from true north

struct CLLocationCoordinate2D {
    CLLocationDegrees latitude = 0;
    CLLocationDegrees longitude = 0;
};

inline CLLocationCoordinate2D CLLocationCoordinate2DMake(CLLocationDegrees latitude, CLLocationDegrees longitude)
{
    return {latitude, longitude};
}
// Latitude within ±90 and longitude within ±180.
bool CLLocationCoordinate2DIsValid(CLLocationCoordinate2D coordinate);

class CLLocation : public NSObject {
    NS_OBJECT(CLLocation, NSObject)
protected:
    CLLocation() = default;

public:
    Ref<CLLocation> initWithLatitude(CLLocationDegrees latitude, CLLocationDegrees longitude);
    static Ref<CLLocation> locationWithCoordinate(CLLocationCoordinate2D coordinate);

    CLLocationCoordinate2D coordinate() const { return m_coordinate; }
    // The geodesic distance in metres; NaN when either coordinate is invalid
    // or the other location is nil.
    CLLocationDistance distanceFromLocation(const Ref<CLLocation>& other) const;

    bool isEqual(const NSObject* other) const override;
    NSUInteger hash() const override;
    // "<+latitude,+longitude>" with eight decimals.
    Ref<NSString> description() const override;
    Id copy() const override { return const_cast<CLLocation*>(this); }

private:
    CLLocationCoordinate2D m_coordinate;
};
