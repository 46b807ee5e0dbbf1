#pragma once
// Lengths are stored and passed in points (1/72 inch) everywhere and
// converted only for display and entry. These are the unit codes, the
// conversions between them, the unit names of the string table
// "ZAKMeasurementLib" (bundle of ZAKMeasurementNumberFormatter) and the
// recognition of a unit typed after a number.
#include "Foundation/NSGeometry.h"
#include "Foundation/NSString.h"

enum ZAKMeasurementUnit : NSInteger {
    ZAKUnitPoint = 0,
    ZAKUnitMeter = 1,
    ZAKUnitCentimeter = 2,
    ZAKUnitMillimeter = 3,
    ZAKUnitInch = 4,
};

// A source code outside 0-4 is taken as points, a target code outside 0-4
// gives 0. The result carries single precision, as stored lengths do.
double ZAKConvertUnitValue(NSInteger sourceUnit, NSInteger targetUnit, double value);
NSRect ZAKConvertUnitRect(NSInteger sourceUnit, NSInteger targetUnit, const NSRect& rect);
NSPoint ZAKConvertUnitPoint(NSInteger sourceUnit, NSInteger targetUnit, NSPoint point);
NSSize ZAKConvertUnitSize(NSInteger sourceUnit, NSInteger targetUnit, NSSize size);

// "ZAKUnitPointType" ... "ZAKUnitInchType"; nil for any other code.
Ref<NSString> ZAKUnitTypeIdentifier(NSInteger unit);
// The localized long name ("Millimeters") and the abbreviation written after
// numbers ("mm"); nil for any other code.
Ref<NSString> ZAKLocalizedUnitName(NSInteger unit);
Ref<NSString> ZAKLocalizedUnitShortName(NSInteger unit);
// The unit named by what is left of an entry without its digits, blanks and
// punctuation ("12,5 mm" and "mm" name millimetres). Leaves `unit` alone and
// answers false when no short name matches.
bool ZAKUnitTypeFromShortName(const Ref<NSString>& string, NSInteger* unit);
