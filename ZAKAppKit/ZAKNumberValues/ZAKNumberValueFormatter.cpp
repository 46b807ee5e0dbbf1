#include "ZAKAppKit/ZAKNumberValues/ZAKNumberValueFormatter.h"

#include "Foundation/NSBundle.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"

NS_CLASS_DEFINE(ZAKNumberValueFormatter)

namespace {

Ref<NSString> signText(int32_t sign)
{
    const char* key = sign == ZAKNumberValuePercentSign  ? "ZAKNumberTextFieldPercentChar"
                      : sign == ZAKNumberValueDegreeSign ? "ZAKNumberTextFieldDegreeChar"
                                                         : "ZAKNumberTextFieldPDIChar";
    return NSBundle::bundleForClassNamed("ZAKNumberTextField")
        ->localizedStringForKey(NSString::stringWithUTF8String(key), ""_ns, "ZAKNumberTextField"_ns);
}

}  // namespace

Id ZAKNumberValueFormatter::init()
{
    NSNumberFormatter::init();
    m_showType = ZAKNumberValuePercentSign;
    m_numberOfDigitsAfterPoint = 2;
    setNewFormatString();
    return this;
}

void ZAKNumberValueFormatter::setNumberOfDigitsAfterPoint(uint32_t digits)
{
    m_numberOfDigitsAfterPoint = digits;
    setNewFormatString();
}

void ZAKNumberValueFormatter::setShowNumberType(int32_t sign)
{
    m_showType = sign;
    setNewFormatString();
}

void ZAKNumberValueFormatter::setNewFormatString()
{
    std::u16string pattern = u"#0";
    if (m_numberOfDigitsAfterPoint > 0) pattern += u"." + std::u16string(m_numberOfDigitsAfterPoint, u'0');
    setLocalizesFormat(true);
    setHasThousandSeparators(false);
    if (m_showType != ZAKNumberValueNoSign) pattern += signText(m_showType)->utf16();
    setFormat(NSString::stringWithUTF16(std::move(pattern)));
    setLocalizesFormat(true);
}

void ZAKNumberValueFormatter::copySettingsFrom(const NSFormatter& other)
{
    NSNumberFormatter::copySettingsFrom(other);
    auto* source = dynamic_cast<const ZAKNumberValueFormatter*>(&other);
    if (!source) return;
    m_numberOfDigitsAfterPoint = source->m_numberOfDigitsAfterPoint;
    m_showType = source->m_showType;
}

void ZAKNumberValueFormatter::encodeWithCoder(NSCoder* coder) const
{
    NSNumberFormatter::encodeWithCoder(coder);
    if (!coder->allowsKeyedCoding()) return;
    coder->encodeInt32(m_showType, "showType"_ns);
    coder->encodeInt32(static_cast<int32_t>(m_numberOfDigitsAfterPoint), "numberOfDigitsAfterPoint"_ns);
}

Id ZAKNumberValueFormatter::initWithCoder(NSCoder* coder)
{
    NSNumberFormatter::initWithCoder(coder);
    m_showType = 0;
    m_numberOfDigitsAfterPoint = 0;
    if (coder->allowsKeyedCoding()) {
        m_showType = coder->decodeInt32ForKey("showType"_ns);
        m_numberOfDigitsAfterPoint = static_cast<uint32_t>(coder->decodeInt32ForKey("numberOfDigitsAfterPoint"_ns));
    }
    setNewFormatString();
    return this;
}
