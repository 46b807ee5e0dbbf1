#include "FormatKit/FMTUnitOfInformationFormatter.h"

#include <cmath>

#include "FormatKit/FMTFormatKit.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"

NS_CLASS_DEFINE(FMTUnitOfInformationFormatter)

namespace {

Ref<NSNumberFormatter> defaultNumberFormatter()
{
    auto formatter = NSObject::make<NSNumberFormatter>();
    formatter->setNumberStyle(NSNumberFormatterDecimalStyle);
    formatter->setRoundingIncrement(NSNumber::numberWithFloat(0.01f));
    return formatter;
}

// Unit names by prefix index; bits reach the exa step with names of their own.
constexpr const char* kBinaryBytes[] = {"KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
constexpr const char* kDecimalBytes[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
constexpr const char* kBinaryBits[] = {"Kibit", "Mibit", "Gibit", "Tibit", "Pibit", "Eibit"};
constexpr const char* kDecimalBits[] = {"kbit", "Mbit", "Gbit", "Tbit", "Pbit", "Ebit"};

double unitBits(int32_t unit)
{
    switch (unit) {
    case FMTBit: return 1;
    case FMTNibble: return 4;
    case FMTByte: return 8;
    case FMTWord: return 16;
    case FMTDoubleWord: return 32;
    default: return 0;
    }
}

// The whole part of a quantity as a number: an integer while it fits.
Ref<NSNumber> wholeNumber(double value)
{
    const double whole = std::trunc(value);
    if (whole >= -9.2e18 && whole <= 9.2e18) return NSNumber::numberWithInteger(NSInteger(whole));
    return NSNumber::numberWithDouble(whole);
}

}  // namespace

Id FMTUnitOfInformationFormatter::init()
{
    m_numberFormatter = defaultNumberFormatter();
    m_displaysInTermsOfBytes = true;
    m_usesIECBinaryPrefixesForCalculation = true;
    m_usesIECBinaryPrefixesForDisplay = false;
    return this;
}

double FMTUnitOfInformationFormatter::scaleFactorForPrefix(NSInteger prefix) const
{
    if (prefix < 0 || prefix > 5) return 1;
    return std::pow(m_usesIECBinaryPrefixesForCalculation ? 1024.0 : 1000.0, double(prefix + 1));
}

NSInteger FMTUnitOfInformationFormatter::prefixForInteger(uint64_t value) const
{
    // Whole numbers compare exactly: every factor fits in 64 bits.
    for (NSInteger p = 5; p >= 1; --p)
        if (value > uint64_t(scaleFactorForPrefix(p))) return p;
    return 0;
}

NSInteger FMTUnitOfInformationFormatter::prefixForQuantity(double value) const
{
    if (std::isnan(value)) return 0;
    if (value >= 18446744073709551616.0) return 5;
    return prefixForInteger(value <= 0 ? 0 : uint64_t(value));
}

Ref<NSString> FMTUnitOfInformationFormatter::stringFromNumberOfBits(const Ref<NSNumber>& bits)
{
    return stringFromBits(bits ? bits->doubleValue() : 0);
}

Ref<NSString> FMTUnitOfInformationFormatter::stringFromBits(double bits)
{
    double x = m_displaysInTermsOfBytes ? bits * 0.125 : bits;
    Ref<NSString> unit;
    if (x < scaleFactorForPrefix(0)) {
        unit = FMTLocalizedString(m_displaysInTermsOfBytes ? "bytes" : "bits");
    } else {
        const NSInteger p = prefixForQuantity(x);
        const auto& names = m_displaysInTermsOfBytes
                                ? (m_usesIECBinaryPrefixesForDisplay ? kBinaryBytes : kDecimalBytes)
                                : (m_usesIECBinaryPrefixesForDisplay ? kBinaryBits : kDecimalBits);
        unit = FMTLocalizedString(names[p]);
        x /= scaleFactorForPrefix(p);
    }
    auto formatter = m_numberFormatter ? m_numberFormatter : defaultNumberFormatter();
    Ref<NSString> number = formatter->stringFromNumber(NSNumber::numberWithDouble(x));
    return NSString::stringWithFormat(FMTLocalizedString("Unit of Information Format String", "%@ %@"_ns), number,
                                      unit);
}

Ref<NSString> FMTUnitOfInformationFormatter::stringFromNumber(const Ref<NSNumber>& number, int32_t unit)
{
    const NSInteger count = number ? number->integerValue() : 0;
    const NSInteger size = NSInteger(unitBits(unit));
    NSInteger bits = 0;
    // A product beyond 64 bits is kept as a double rather than wrapped.
    if (__builtin_mul_overflow(count, size, &bits)) return stringFromBits(double(count) * double(size));
    return stringFromNumberOfBits(NSNumber::numberWithInteger(bits));
}

Ref<NSString> FMTUnitOfInformationFormatter::stringFromNumber(const Ref<NSNumber>& number, int32_t unit,
                                                              NSInteger prefix)
{
    const NSInteger count = number ? number->integerValue() : 0;
    const Ref<NSNumber> scaled = wholeNumber(double(count) * scaleFactorForPrefix(prefix));
    if (scaled->isFloatingPoint()) return stringFromBits(scaled->doubleValue() * unitBits(unit));
    return stringFromNumber(scaled, unit);
}

Ref<NSString> FMTUnitOfInformationFormatter::stringForObjectValue(const Id& object)
{
    auto number = dynamic_ref_cast<NSNumber>(object);
    return number ? stringFromNumberOfBits(number) : nullptr;
}

bool FMTUnitOfInformationFormatter::getObjectValue(Id* object, const Ref<NSString>&, Ref<NSString>* error)
{
    return FMTRefuseParsing(object, error);
}

void FMTUnitOfInformationFormatter::copySettingsFrom(const NSFormatter& other)
{
    NSFormatter::copySettingsFrom(other);
    auto* source = dynamic_cast<const FMTUnitOfInformationFormatter*>(&other);
    if (!source) return;
    m_numberFormatter =
        source->m_numberFormatter ? static_ref_cast<NSNumberFormatter>(source->m_numberFormatter->copy()) : nullptr;
    m_displaysInTermsOfBytes = source->m_displaysInTermsOfBytes;
    m_usesIECBinaryPrefixesForCalculation = source->m_usesIECBinaryPrefixesForCalculation;
    m_usesIECBinaryPrefixesForDisplay = source->m_usesIECBinaryPrefixesForDisplay;
}

void FMTUnitOfInformationFormatter::encodeWithCoder(NSCoder* coder) const
{
    NSFormatter::encodeWithCoder(coder);
    if (!coder->allowsKeyedCoding()) {
        coder->encodeChar(m_displaysInTermsOfBytes);
        coder->encodeChar(m_usesIECBinaryPrefixesForCalculation);
        coder->encodeChar(m_usesIECBinaryPrefixesForDisplay);
        coder->encodeObject(m_numberFormatter);
        return;
    }
    coder->encodeBool(m_displaysInTermsOfBytes, "displaysInTermsOfBytes"_ns);
    coder->encodeBool(m_usesIECBinaryPrefixesForCalculation, "usesIECBinaryPrefixesForCalculation"_ns);
    coder->encodeBool(m_usesIECBinaryPrefixesForDisplay, "usesIECBinaryPrefixesForDisplay"_ns);
    coder->encodeObject(m_numberFormatter, "numberFormatter"_ns);
}

Id FMTUnitOfInformationFormatter::initWithCoder(NSCoder* coder)
{
    NSFormatter::initWithCoder(coder);
    if (!coder->allowsKeyedCoding()) {
        m_displaysInTermsOfBytes = coder->decodeChar();
        m_usesIECBinaryPrefixesForCalculation = coder->decodeChar();
        m_usesIECBinaryPrefixesForDisplay = coder->decodeChar();
        m_numberFormatter = dynamic_ref_cast<NSNumberFormatter>(coder->decodeObject());
    } else {
        m_displaysInTermsOfBytes = coder->decodeBoolForKey("displaysInTermsOfBytes"_ns);
        m_usesIECBinaryPrefixesForCalculation = coder->decodeBoolForKey("usesIECBinaryPrefixesForCalculation"_ns);
        m_usesIECBinaryPrefixesForDisplay = coder->decodeBoolForKey("usesIECBinaryPrefixesForDisplay"_ns);
        m_numberFormatter = dynamic_ref_cast<NSNumberFormatter>(coder->decodeObjectForKey("numberFormatter"_ns));
    }
    // An archive without a number formatter still formats.
    if (!m_numberFormatter) m_numberFormatter = defaultNumberFormatter();
    return this;
}
