#include "FormatKit/FMTOrdinalNumberFormatter.h"

#include "FormatKit/FMTFormatKit.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSScanner.h"

NS_CLASS_DEFINE(FMTOrdinalNumberFormatter)

Id FMTOrdinalNumberFormatter::init()
{
    setNumberStyle(NSNumberFormatterNoStyle);
    setAllowsFloats(false);
    setGeneratesDecimalNumbers(false);
    setRoundingMode(NSNumberFormatterRoundFloor);
    setMinimum(NSNumber::numberWithInteger(0));
    setLenient(true);
    return this;
}

const std::u16string& FMTOrdinalNumberFormatter::languageCode()
{
    Ref<NSLocale> current = locale();
    if (current.get() != m_languageLocale.get()) {
        auto code = dynamic_ref_cast<NSString>(current->objectForKey(NSLocaleLanguageCode()));
        m_languageCode = code ? code->utf16() : u"";
        m_languageLocale = current;
    }
    return m_languageCode;
}

Ref<NSString> FMTOrdinalNumberFormatter::stringFromNumber(const Ref<NSNumber>& number)
{
    Ref<NSString> indicator =
        m_ordinalIndicator ? m_ordinalIndicator : localizedOrdinalIndicatorStringFromNumber(number);
    setPositivePrefix(""_ns);
    setPositiveSuffix(""_ns);
    if (languageCode() == u"zh") setPositivePrefix(indicator);
    else setPositiveSuffix(indicator);
    return NSNumberFormatter::stringFromNumber(number);
}

Ref<NSString> FMTOrdinalNumberFormatter::stringForObjectValue(const Id& object)
{
    auto number = dynamic_ref_cast<NSNumber>(object);
    return number ? stringFromNumber(number) : nullptr;
}

bool FMTOrdinalNumberFormatter::getObjectValue(Id* object, const Ref<NSString>& string, Ref<NSString>* error)
{
    NSInteger value = 0;
    if (!string || !NSScanner::scannerWithString(string)->scanInteger(&value)) {
        if (object) *object = nullptr;
        if (error) *error = FMTLocalizedString("String did not contain a valid ordinal number");
        return false;
    }
    if (object) *object = NSNumber::numberWithInteger(value);
    if (error) *error = nullptr;
    return true;
}

Ref<NSString> FMTOrdinalNumberFormatter::localizedOrdinalIndicatorStringFromNumber(const Ref<NSNumber>& number)
{
    const std::u16string& language = languageCode();
    if (language == u"en") return enOrdinalIndicatorStringFromNumber(number);
    if (language == u"fr") return frOrdinalIndicatorStringFromNumber(number);
    if (language == u"nl") return nlOrdinalIndicatorStringFromNumber(number);
    if (language == u"it") return itOrdinalIndicatorStringFromNumber(number);
    if (language == u"pt") return ptOrdinalIndicatorStringFromNumber(number);
    if (language == u"es") return esOrdinalIndicatorStringFromNumber(number);
    if (language == u"ga") return gaOrdinalIndicatorStringFromNumber(number);
    if (language == u"ja") return jaOrdinalIndicatorStringFromNumber(number);
    if (language == u"zh") return zhHansOrdinalIndicatorStringFromNumber(number);
    return "."_ns;
}

Ref<NSString> FMTOrdinalNumberFormatter::enOrdinalIndicatorStringFromNumber(const Ref<NSNumber>& number) const
{
    // Remainders keep the sign of n, so negative numbers end in "th".
    const NSInteger n = number ? number->integerValue() : 0;
    const NSInteger hundreds = n % 100;
    if (hundreds == 11 || hundreds == 12 || hundreds == 13) return "th"_ns;
    switch (n % 10) {
    case 1: return "st"_ns;
    case 2: return "nd"_ns;
    case 3: return "rd"_ns;
    default: return "th"_ns;
    }
}

Ref<NSString> FMTOrdinalNumberFormatter::frOrdinalIndicatorStringFromNumber(const Ref<NSNumber>& number) const
{
    const NSInteger n = number ? number->integerValue() : 0;
    std::u16string indicator = n == 1 ? (m_grammaticalGender == FMTFeminineGender ? u"re" : u"er") : u"e";
    const int32_t plural = m_grammaticalNumber;
    if (plural == 2 || plural == 3 || plural == 4 || plural == 6) indicator += u's';
    return NSString::stringWithUTF16(std::move(indicator));
}

Ref<NSString> FMTOrdinalNumberFormatter::nlOrdinalIndicatorStringFromNumber(const Ref<NSNumber>&) const
{
    return "e"_ns;
}

Ref<NSString> FMTOrdinalNumberFormatter::genderedIndicator() const
{
    if (m_grammaticalGender == FMTMasculineGender) return u"\u00BA"_ns;
    if (m_grammaticalGender == FMTFeminineGender) return u"\u00AA"_ns;
    return "."_ns;
}

Ref<NSString> FMTOrdinalNumberFormatter::itOrdinalIndicatorStringFromNumber(const Ref<NSNumber>&) const
{
    return genderedIndicator();
}

Ref<NSString> FMTOrdinalNumberFormatter::ptOrdinalIndicatorStringFromNumber(const Ref<NSNumber>&) const
{
    return genderedIndicator();
}

Ref<NSString> FMTOrdinalNumberFormatter::esOrdinalIndicatorStringFromNumber(const Ref<NSNumber>&) const
{
    return genderedIndicator();
}

Ref<NSString> FMTOrdinalNumberFormatter::gaOrdinalIndicatorStringFromNumber(const Ref<NSNumber>&) const
{
    return u"\u00FA"_ns;
}

Ref<NSString> FMTOrdinalNumberFormatter::jaOrdinalIndicatorStringFromNumber(const Ref<NSNumber>&) const
{
    return u"\u756A"_ns;
}

Ref<NSString> FMTOrdinalNumberFormatter::zhHansOrdinalIndicatorStringFromNumber(const Ref<NSNumber>&) const
{
    return u"\u7B2C"_ns;
}

Ref<NSString> FMTOrdinalNumberFormatter::deOrdinalIndicatorStringFromNumber(const Ref<NSNumber>&) const
{
    return "."_ns;
}

void FMTOrdinalNumberFormatter::copySettingsFrom(const NSFormatter& other)
{
    NSNumberFormatter::copySettingsFrom(other);
    auto* source = dynamic_cast<const FMTOrdinalNumberFormatter*>(&other);
    if (!source) return;
    m_ordinalIndicator = source->m_ordinalIndicator;
    m_grammaticalGender = source->m_grammaticalGender;
    m_grammaticalNumber = source->m_grammaticalNumber;
}

void FMTOrdinalNumberFormatter::encodeWithCoder(NSCoder* coder) const
{
    NSNumberFormatter::encodeWithCoder(coder);
    if (!coder->allowsKeyedCoding()) {
        coder->encodeObject(m_ordinalIndicator);
        coder->encodeInt(m_grammaticalGender);
        coder->encodeInt(m_grammaticalNumber);
        return;
    }
    coder->encodeObject(m_ordinalIndicator, "ordinalIndicator"_ns);
    coder->encodeInt32(m_grammaticalGender, "grammaticalGender"_ns);
    coder->encodeInt32(m_grammaticalNumber, "grammaticalNumber"_ns);
}

Id FMTOrdinalNumberFormatter::initWithCoder(NSCoder* coder)
{
    NSNumberFormatter::initWithCoder(coder);
    if (!coder->allowsKeyedCoding()) {
        m_ordinalIndicator = dynamic_ref_cast<NSString>(coder->decodeObject());
        m_grammaticalGender = coder->decodeInt();
        m_grammaticalNumber = coder->decodeInt();
        return this;
    }
    m_ordinalIndicator = dynamic_ref_cast<NSString>(coder->decodeObjectForKey("ordinalIndicator"_ns));
    m_grammaticalGender = coder->decodeInt32ForKey("grammaticalGender"_ns);
    m_grammaticalNumber = coder->decodeInt32ForKey("grammaticalNumber"_ns);
    return this;
}
