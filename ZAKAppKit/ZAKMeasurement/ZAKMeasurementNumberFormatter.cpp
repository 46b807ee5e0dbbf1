#include "ZAKAppKit/ZAKMeasurement/ZAKMeasurementNumberFormatter.h"

#include "Foundation/NSAttributedString.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSCharacterSet.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSScanner.h"
#include "FoundationExtensions/ZAKNSStringExtension.h"
#include "ZAKAppKit/ZAKMeasurement/ZAKMeasurementUnits.h"

NS_CLASS_DEFINE(ZAKMeasurementNumberFormatter)

namespace {

Ref<NSString> separatorText()
{
    return NSBundle::bundleForClass(ZAKMeasurementNumberFormatter::staticClass())
        ->localizedStringForKey("ZAKMeasurementTextFieldSeparatorChar"_ns, ""_ns, "ZAKMeasurementTextField"_ns);
}

// The single-precision value of a number or a string; nullopt for other objects.
std::optional<float> floatValueOf(const Id& object)
{
    if (auto number = dynamic_ref_cast<NSNumber>(object)) return number->floatValue();
    if (auto string = dynamic_ref_cast<NSString>(object)) return string->floatValue();
    return std::nullopt;
}

}  // namespace

Id ZAKMeasurementNumberFormatter::init()
{
    NSNumberFormatter::init();
    setFormatterBehavior(NSNumberFormatterBehavior10_4);
    setNumberStyle(NSNumberFormatterDecimalStyle);
    m_showType = ZAKUnitInch;
    m_numberOfDigitsAfterPoint = 4;
    setNewFormatString();
    return this;
}

void ZAKMeasurementNumberFormatter::setShowType(NSInteger unit)
{
    m_showType = unit;
    setNewFormatString();
}

void ZAKMeasurementNumberFormatter::setNumberOfDigitsAfterPoint(uint32_t digits)
{
    m_numberOfDigitsAfterPoint = digits;
    setNewFormatString();
}

void ZAKMeasurementNumberFormatter::setNewFormatString()
{
    std::u16string pattern = u"#0";
    if (m_numberOfDigitsAfterPoint > 0) pattern += u"." + std::u16string(m_numberOfDigitsAfterPoint, u'0');
    pattern += separatorText()->utf16();
    if (Ref<NSString> unit = ZAKLocalizedUnitShortName(m_showType)) pattern += unit->utf16();
    setLocalizesFormat(true);
    setHasThousandSeparators(false);
    setFormat(NSString::stringWithUTF16(std::move(pattern)));
    setLocalizesFormat(true);
}

Ref<NSString> ZAKMeasurementNumberFormatter::stringForObjectValue(const Id& object)
{
    if (!object) return ""_ns;
    const std::optional<float> value = floatValueOf(object);
    if (!value || *value == 0) return NSNumberFormatter::stringForObjectValue(object);
    const float shown = static_cast<float>(ZAKConvertUnitValue(ZAKUnitPoint, m_showType, *value));
    return NSNumberFormatter::stringForObjectValue(NSNumber::numberWithFloat(shown));
}

bool ZAKMeasurementNumberFormatter::getObjectValue(Id* object, const Ref<NSString>& string, Ref<NSString>* error)
{
    Id result;
    if (!string || string->length() == 0) {
        result = nullptr;
    } else if (Id parsed; NSNumberFormatter::getObjectValue(&parsed, string, nullptr)) {
        auto number = dynamic_ref_cast<NSNumber>(parsed);
        result = number ? NSNumber::numberWithFloat(
                              static_cast<float>(ZAKConvertUnitValue(m_showType, ZAKUnitPoint, number->doubleValue())))
                        : parsed;
    } else {
        result = NSNumber::numberWithFloat(pointsFromTypedString(string));
    }
    if (object) *object = result;
    if (error) *error = nullptr;
    return true;
}

float ZAKMeasurementNumberFormatter::pointsFromTypedString(const Ref<NSString>& string) const
{
    NSInteger unit = m_showType;
    ZAKUnitTypeFromShortName(string, &unit);
    const Ref<NSString> digits =
        NSStringExt::stringByRemovingCharactersInSet(string, NSCharacterSet::letterCharacterSet());
    float value = 0;
    if (!NSScanner::localizedScannerWithString(digits)->scanFloat(&value)) value = string->floatValue();
    return static_cast<float>(ZAKConvertUnitValue(unit, ZAKUnitPoint, value));
}

Ref<NSAttributedString> ZAKMeasurementNumberFormatter::attributedStringForObjectValue(const Id&,
                                                                                      const Ref<NSDictionary>&)
{
    return nullptr;
}

Id ZAKMeasurementNumberFormatter::initWithCoder(NSCoder* coder)
{
    NSNumberFormatter::initWithCoder(coder);
    m_showType = ZAKUnitPoint;
    m_numberOfDigitsAfterPoint = 0;
    return this;
}

void ZAKMeasurementNumberFormatter::copySettingsFrom(const NSFormatter& other)
{
    NSNumberFormatter::copySettingsFrom(other);
    auto* source = dynamic_cast<const ZAKMeasurementNumberFormatter*>(&other);
    if (!source) return;
    m_showType = source->m_showType;
    m_numberOfDigitsAfterPoint = source->m_numberOfDigitsAfterPoint;
}
