#include "CoreLocation/CLLocation.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include <GeographicLib/Geodesic.hpp>

#include "Foundation/NSClass.h"
#include "Foundation/NSString.h"

NS_CLASS_DEFINE(CLLocation)

bool CLLocationCoordinate2DIsValid(CLLocationCoordinate2D c)
{
    return std::abs(c.latitude) <= 90 && std::abs(c.longitude) <= 180;
}

Ref<CLLocation> CLLocation::initWithLatitude(CLLocationDegrees latitude, CLLocationDegrees longitude)
{
    m_coordinate = {latitude, longitude};
    return this;
}

Ref<CLLocation> CLLocation::locationWithCoordinate(CLLocationCoordinate2D coordinate)
{
    return alloc<CLLocation>()->initWithLatitude(coordinate.latitude, coordinate.longitude);
}

CLLocationDistance CLLocation::distanceFromLocation(const Ref<CLLocation>& other) const
{
    if (!other || !CLLocationCoordinate2DIsValid(m_coordinate) || !CLLocationCoordinate2DIsValid(other->m_coordinate))
        return std::numeric_limits<double>::quiet_NaN();
    double metres = 0;
    GeographicLib::Geodesic::WGS84().Inverse(m_coordinate.latitude, m_coordinate.longitude,
                                             other->m_coordinate.latitude, other->m_coordinate.longitude, metres);
    return metres;
}

bool CLLocation::isEqual(const NSObject* other) const
{
    auto* location = dynamic_cast<const CLLocation*>(other);
    return location && location->m_coordinate.latitude == m_coordinate.latitude &&
           location->m_coordinate.longitude == m_coordinate.longitude;
}

NSUInteger CLLocation::hash() const
{
    return std::hash<double>()(m_coordinate.latitude) * 31 + std::hash<double>()(m_coordinate.longitude);
}

Ref<NSString> CLLocation::description() const
{
    char text[96];
    std::snprintf(text, sizeof text, "<%+.8f,%+.8f>", m_coordinate.latitude, m_coordinate.longitude);
    return NSString::stringWithUTF8String(text);
}
