#include "ZAKAppKit/ZAKMeasurement/ZAKMeasurementUnits.h"

#include "Foundation/NSBundle.h"
#include "Foundation/NSCharacterSet.h"
#include "FoundationExtensions/ZAKNSStringExtension.h"

namespace {

struct UnitNames {
    const char* identifier;
    const char* longNameKey;
    const char* shortNameKey;
};

constexpr UnitNames kUnits[] = {
    {"ZAKUnitPointType", "ZAKMeasurementLibPoint", "ZAKMeasurementLibSCPoint"},
    {"ZAKUnitMeterType", "ZAKMeasurementLibMeter", "ZAKMeasurementLibSCMeter"},
    {"ZAKUnitCentimeterType", "ZAKMeasurementLibCentimeter", "ZAKMeasurementLibSCCentimeter"},
    {"ZAKUnitMillimeterType", "ZAKMeasurementLibMillimeter", "ZAKMeasurementLibSCMillimeter"},
    {"ZAKUnitInchType", "ZAKMeasurementLibInch", "ZAKMeasurementLibSCInch"},
};

const UnitNames* namesOf(NSInteger unit)
{
    if (unit < ZAKUnitPoint || unit > ZAKUnitInch) return nullptr;
    return &kUnits[unit];
}

Ref<NSString> measurementText(const char* key)
{
    return NSBundle::bundleForClassNamed("ZAKMeasurementNumberFormatter")
        ->localizedStringForKey(NSString::stringWithUTF8String(key), ""_ns, "ZAKMeasurementLib"_ns);
}

double toPoints(NSInteger unit, double value)
{
    switch (unit) {
    case ZAKUnitMeter: return value / 0.00035277777777777776;
    case ZAKUnitCentimeter: return value / 0.035277777777777776;
    case ZAKUnitMillimeter: return value / 0.35277777777777775;
    case ZAKUnitInch: return value * 72;
    default: return value;
    }
}

double fromPoints(NSInteger unit, double points)
{
    switch (unit) {
    case ZAKUnitPoint: return points;
    case ZAKUnitMeter: return points * 0.0254 / 72;
    case ZAKUnitCentimeter: return points * 2.54 / 72;
    case ZAKUnitMillimeter: return points * 25.4 / 72;
    case ZAKUnitInch: return points / 72;
    default: return 0;
    }
}

}  // namespace

double ZAKConvertUnitValue(NSInteger sourceUnit, NSInteger targetUnit, double value)
{
    if (value == 0) return 0;
    return static_cast<float>(fromPoints(targetUnit, toPoints(sourceUnit, value)));
}

NSRect ZAKConvertUnitRect(NSInteger sourceUnit, NSInteger targetUnit, const NSRect& rect)
{
    return NSMakeRect(ZAKConvertUnitValue(sourceUnit, targetUnit, rect.origin.x),
                      ZAKConvertUnitValue(sourceUnit, targetUnit, rect.origin.y),
                      ZAKConvertUnitValue(sourceUnit, targetUnit, rect.size.width),
                      ZAKConvertUnitValue(sourceUnit, targetUnit, rect.size.height));
}

NSPoint ZAKConvertUnitPoint(NSInteger sourceUnit, NSInteger targetUnit, NSPoint point)
{
    return NSMakePoint(ZAKConvertUnitValue(sourceUnit, targetUnit, point.x),
                       ZAKConvertUnitValue(sourceUnit, targetUnit, point.y));
}

NSSize ZAKConvertUnitSize(NSInteger sourceUnit, NSInteger targetUnit, NSSize size)
{
    return NSMakeSize(ZAKConvertUnitValue(sourceUnit, targetUnit, size.width),
                      ZAKConvertUnitValue(sourceUnit, targetUnit, size.height));
}

Ref<NSString> ZAKUnitTypeIdentifier(NSInteger unit)
{
    const UnitNames* names = namesOf(unit);
    return names ? NSString::stringWithUTF8String(names->identifier) : nullptr;
}

Ref<NSString> ZAKLocalizedUnitName(NSInteger unit)
{
    const UnitNames* names = namesOf(unit);
    return names ? measurementText(names->longNameKey) : nullptr;
}

Ref<NSString> ZAKLocalizedUnitShortName(NSInteger unit)
{
    const UnitNames* names = namesOf(unit);
    return names ? measurementText(names->shortNameKey) : nullptr;
}

bool ZAKUnitTypeFromShortName(const Ref<NSString>& string, NSInteger* unit)
{
    if (!string) return false;
    static const Ref<NSCharacterSet> noise = [] {
        auto set = NSMutableCharacterSet::characterSetWithSet(NSCharacterSet::decimalDigitCharacterSet());
        set->formUnionWithCharacterSet(NSCharacterSet::whitespaceAndNewlineCharacterSet());
        set->formUnionWithCharacterSet(NSCharacterSet::punctuationCharacterSet());
        return Ref<NSCharacterSet>(set);
    }();
    const Ref<NSString> letters = NSStringExt::stringByRemovingCharactersInSet(string, noise);
    for (NSInteger candidate = ZAKUnitPoint; candidate <= ZAKUnitInch; ++candidate) {
        if (!letters->isEqualToString(ZAKLocalizedUnitShortName(candidate))) continue;
        if (unit) *unit = candidate;
        return true;
    }
    return false;
}
