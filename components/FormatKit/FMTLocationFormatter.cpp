#include "FormatKit/FMTLocationFormatter.h"

#include <cmath>

#include "FormatKit/FMTFormatKit.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"

NS_CLASS_DEFINE(FMTLocationFormatter)

namespace {

Ref<NSNumberFormatter> defaultNumberFormatter()
{
    auto formatter = NSObject::make<NSNumberFormatter>();
    formatter->setNumberStyle(NSNumberFormatterDecimalStyle);
    formatter->setMaximumSignificantDigits(2);
    formatter->setUsesSignificantDigits(true);
    return formatter;
}

constexpr const char* kWords[] = {"North", "Northeast", "East", "Southeast", "South", "Southwest", "West", "Northwest"};
constexpr const char* kAbbreviations[] = {"N", "NE", "E", "SE", "S", "SW", "W", "NW"};

constexpr double kFeetPerMetre = 3.2808399;
constexpr double kYardsPerMetre = 1.0936133;
constexpr double kMilesPerMetre = 0.000621371192;
constexpr double kMilesPerHourPerMetrePerSecond = 2.23693629;

}  // namespace

int32_t FMTCompassPointIndexForBearing(CLLocationDirection bearing)
{
    if (!std::isfinite(bearing)) return 0;
    if (bearing < 0 || bearing > 360) {
        bearing = std::fmod(bearing, 360.0);
        if (bearing < 0) bearing += 360;
    }
    // Each point's interval is open below and closed above.
    const double upper[] = {22.5, 67.5, 112.5, 157.5, 202.5, 247.5, 292.5, 337.5};
    for (int32_t i = 0; i < 8; ++i)
        if (bearing <= upper[i]) return i;
    return 0;
}

Id FMTLocationFormatter::init()
{
    m_numberFormatter = defaultNumberFormatter();
    m_coordinateOrder = 0;
    m_bearingStyle = FMTBearingWordStyle;
    m_unitSystem = FMTMetricSystem;
    return this;
}

Ref<NSString> FMTLocationFormatter::number(double value) const
{
    auto formatter = m_numberFormatter ? m_numberFormatter : defaultNumberFormatter();
    return formatter->stringFromNumber(NSNumber::numberWithDouble(value));
}

Ref<NSString> FMTLocationFormatter::measure(const char* format, double value, const char* unit) const
{
    return NSString::stringWithFormat(FMTLocalizedString(format, "%@ %@"_ns), number(value), FMTLocalizedString(unit));
}

Ref<NSString> FMTLocationFormatter::stringFromCoordinate(CLLocationCoordinate2D coordinate)
{
    return NSString::stringWithFormat(FMTLocalizedString("(%@, %@)"), number(coordinate.latitude),
                                      number(coordinate.longitude));
}

Ref<NSString> FMTLocationFormatter::stringFromLocation(const Ref<CLLocation>& location)
{
    return location ? stringFromCoordinate(location->coordinate()) : nullptr;
}

Ref<NSString> FMTLocationFormatter::stringFromDistance(CLLocationDistance x)
{
    if (m_unitSystem != FMTImperialSystem) {
        if (x / 1000 >= 1) return measure("Distance Format String", x * 0.001, "km");
        return measure("Distance Format String", x, "m");
    }
    const double feet = x * kFeetPerMetre;
    if (feet < 300) return measure("Distance Format String", feet, "ft");
    const double yards = x * kYardsPerMetre;
    if (yards < 500) return measure("Distance Format String", yards, "yds");
    const double miles = x * kMilesPerMetre;
    return measure("Distance Format String", miles, miles > 1 && miles < 1.1 ? "mile" : "miles");
}

Ref<NSString> FMTLocationFormatter::stringFromBearing(CLLocationDirection degrees)
{
    switch (m_bearingStyle) {
    case FMTBearingWordStyle: return FMTLocalizedString(kWords[FMTCompassPointIndexForBearing(degrees)]);
    case FMTBearingAbbreviationStyle:
        return FMTLocalizedString(kAbbreviations[FMTCompassPointIndexForBearing(degrees)]);
    case FMTBearingNumericStyle: return number(degrees);
    default: return nullptr;
    }
}

Ref<NSString> FMTLocationFormatter::stringFromSpeed(CLLocationSpeed x)
{
    if (m_unitSystem != FMTImperialSystem) {
        const double kmh = x * 3.6;
        if (kmh > 1) return measure("Speed Format String", kmh, "km/h");
        return measure("Speed Format String", x, "m/s");
    }
    const double mph = x * kMilesPerHourPerMetrePerSecond;
    if (mph > 1) return measure("Speed Format String", mph, "mph");
    return measure("Speed Format String", x * kFeetPerMetre, "ft/s");
}

CLLocationDirection FMTLocationFormatter::bearingFromLocation(const Ref<CLLocation>& from, const Ref<CLLocation>& to)
{
    if (!from || !to) return std::nan("");
    const double radians = M_PI / 180;
    const double phi1 = from->coordinate().latitude * radians;
    const double phi2 = to->coordinate().latitude * radians;
    const double deltaLambda = (to->coordinate().longitude - from->coordinate().longitude) * radians;
    double theta =
        std::atan2(std::sin(deltaLambda) * std::cos(phi2),
                   std::cos(phi1) * std::sin(phi2) - std::sin(phi1) * std::cos(phi2) * std::cos(deltaLambda));
    theta += 2 * M_PI;
    if (theta > 2 * M_PI) theta -= 2 * M_PI;
    return theta * 180 / M_PI;
}

Ref<NSString> FMTLocationFormatter::stringFromDistanceFromLocation(const Ref<CLLocation>& from,
                                                                   const Ref<CLLocation>& to)
{
    if (!from || !to) return nullptr;
    return stringFromDistance(to->distanceFromLocation(from));
}

Ref<NSString> FMTLocationFormatter::stringFromBearingFromLocation(const Ref<CLLocation>& from,
                                                                  const Ref<CLLocation>& to)
{
    if (!from || !to) return nullptr;
    return stringFromBearing(bearingFromLocation(from, to));
}

Ref<NSString> FMTLocationFormatter::stringFromDistanceAndBearingFromLocation(const Ref<CLLocation>& from,
                                                                             const Ref<CLLocation>& to)
{
    auto distance = stringFromDistanceFromLocation(from, to);
    auto bearing = stringFromBearingFromLocation(from, to);
    if (!distance || !bearing) return nullptr;
    return NSString::stringWithFormat(FMTLocalizedString("Dimension Format String", "%@ %@"_ns), distance, bearing);
}

Ref<NSString> FMTLocationFormatter::stringFromVelocityFromLocation(const Ref<CLLocation>& from,
                                                                   const Ref<CLLocation>& to,
                                                                   CLLocationSpeed metresPerSecond)
{
    auto bearing = stringFromBearingFromLocation(from, to);
    if (!bearing) return nullptr;
    return NSString::stringWithFormat(FMTLocalizedString("Dimension Format String", "%@ %@"_ns),
                                      stringFromSpeed(metresPerSecond), bearing);
}

Ref<NSString> FMTLocationFormatter::stringForObjectValue(const Id& object)
{
    auto location = dynamic_ref_cast<CLLocation>(object);
    return location ? stringFromLocation(location) : nullptr;
}

bool FMTLocationFormatter::getObjectValue(Id* object, const Ref<NSString>&, Ref<NSString>* error)
{
    return FMTRefuseParsing(object, error);
}

void FMTLocationFormatter::copySettingsFrom(const NSFormatter& other)
{
    NSFormatter::copySettingsFrom(other);
    auto* source = dynamic_cast<const FMTLocationFormatter*>(&other);
    if (!source) return;
    m_numberFormatter =
        source->m_numberFormatter ? static_ref_cast<NSNumberFormatter>(source->m_numberFormatter->copy()) : nullptr;
    m_coordinateOrder = source->m_coordinateOrder;
    m_bearingStyle = source->m_bearingStyle;
    m_unitSystem = source->m_unitSystem;
}

void FMTLocationFormatter::encodeWithCoder(NSCoder* coder) const
{
    NSFormatter::encodeWithCoder(coder);
    if (!coder->allowsKeyedCoding()) {
        coder->encodeInt(m_coordinateOrder);
        coder->encodeInt(m_bearingStyle);
        coder->encodeInt(m_unitSystem);
        coder->encodeObject(m_numberFormatter);
        return;
    }
    coder->encodeInt32(m_coordinateOrder, "coordinateOrder"_ns);
    coder->encodeInt32(m_bearingStyle, "bearingStyle"_ns);
    coder->encodeInt32(m_unitSystem, "unitSystem"_ns);
    coder->encodeObject(m_numberFormatter, "numberFormatter"_ns);
}

Id FMTLocationFormatter::initWithCoder(NSCoder* coder)
{
    NSFormatter::initWithCoder(coder);
    if (!coder->allowsKeyedCoding()) {
        m_coordinateOrder = coder->decodeInt();
        m_bearingStyle = coder->decodeInt();
        m_unitSystem = coder->decodeInt();
        m_numberFormatter = dynamic_ref_cast<NSNumberFormatter>(coder->decodeObject());
    } else {
        m_coordinateOrder = coder->decodeInt32ForKey("coordinateOrder"_ns);
        m_bearingStyle = coder->decodeInt32ForKey("bearingStyle"_ns);
        m_unitSystem = coder->decodeInt32ForKey("unitSystem"_ns);
        m_numberFormatter = dynamic_ref_cast<NSNumberFormatter>(coder->decodeObjectForKey("numberFormatter"_ns));
    }
    if (!m_numberFormatter) m_numberFormatter = defaultNumberFormatter();
    return this;
}
