#include "ZAKAppKit/ZAKTextFields/ZAKNumberTextField.h"

#include <algorithm>

#include "AppKit/NSParagraphStyle.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSNumberFormatter.h"

NS_CLASS_DEFINE(ZAKNumberTextField)

namespace {

// Looked up once: the string table lies in the bundle of the class.
const Ref<NSBundle>& fieldBundle()
{
    static const Ref<NSBundle> bundle = NSBundle::bundleForClass(ZAKNumberTextField::staticClass());
    return bundle;
}

Ref<NSNumberFormatter> numberFormatterOf(const NSTextField& field)
{
    return dynamic_ref_cast<NSNumberFormatter>(field.formatter());
}

}

Ref<NSView> ZAKNumberTextField::initWithFrame(const NSRect& frame)
{
    NSTextField::initWithFrame(frame);
    auto formatter = NSObject::make<NSNumberFormatter>();
    formatter->setLocalizesFormat(true);
    setFormatter(formatter);
    m_showType = 1;
    m_numberOfDigitsAfterPoint = 4;
    if (auto c = cell()) c->setLineBreakMode(NSLineBreakByWordWrapping);
    setNewFormatString();
    setObjectValue(NSNumber::numberWithInt(0));
    return this;
}

void ZAKNumberTextField::encodeWithCoder(NSCoder* coder) const
{
    NSTextField::encodeWithCoder(coder);
    if (!coder->allowsKeyedCoding()) return;
    coder->encodeInt32(m_showType, "showType"_ns);
    coder->encodeInt32(int32_t(m_numberOfDigitsAfterPoint), "numberOfDigitsAfterPoint"_ns);
}

Id ZAKNumberTextField::initWithCoder(NSCoder* coder)
{
    NSTextField::initWithCoder(coder);
    if (coder->allowsKeyedCoding()) {
        m_showType = coder->decodeInt32ForKey("showType"_ns);
        // A negative count from an archive is no count of decimals.
        m_numberOfDigitsAfterPoint =
            std::min<uint32_t>(uint32_t(std::max<int32_t>(0, coder->decodeInt32ForKey("numberOfDigitsAfterPoint"_ns))),
                               kMaximumDigitsAfterPoint);
    }
    if (auto c = cell()) c->setLineBreakMode(NSLineBreakByClipping);
    setNewFormatString();
    return this;
}

void ZAKNumberTextField::setShowNumberType(int32_t type)
{
    m_showType = type;
    setNewFormatString();
}

void ZAKNumberTextField::setNumberOfDigitsAfterPoint(uint32_t digits)
{
    m_numberOfDigitsAfterPoint = std::min(digits, kMaximumDigitsAfterPoint);
    setNewFormatString();
}

Ref<NSNumber> ZAKNumberTextField::minimum() const
{
    auto f = numberFormatterOf(*this);
    return f ? f->minimum() : nullptr;
}

void ZAKNumberTextField::setMinimum(const Ref<NSNumber>& minimum)
{
    if (auto f = numberFormatterOf(*this)) f->setMinimum(minimum);
}

Ref<NSNumber> ZAKNumberTextField::maximum() const
{
    auto f = numberFormatterOf(*this);
    return f ? f->maximum() : nullptr;
}

void ZAKNumberTextField::setMaximum(const Ref<NSNumber>& maximum)
{
    if (auto f = numberFormatterOf(*this)) f->setMaximum(maximum);
}

Ref<NSString> ZAKNumberTextField::unitForType(int32_t type)
{
    if (type == 0) return ""_ns;
    const auto key = type == 1   ? "ZAKNumberTextFieldPercentChar"_ns
                     : type == 2 ? "ZAKNumberTextFieldDegreeChar"_ns
                                 : "ZAKNumberTextFieldPDIChar"_ns;
    return fieldBundle()->localizedStringForKey(key, ""_ns, "ZAKNumberTextField"_ns);
}

void ZAKNumberTextField::setNewFormatString()
{
    auto formatter = numberFormatterOf(*this);
    if (!formatter) return;
    std::u16string format = u"#0";
    if (m_numberOfDigitsAfterPoint > 0) format += u"." + std::u16string(m_numberOfDigitsAfterPoint, u'0');
    formatter->setLocalizesFormat(true);
    formatter->setHasThousandSeparators(false);
    // The formatter takes every character but the digit symbols as literal
    // text, so a percent unit does not scale the value.
    format += unitForType(m_showType)->utf16();
    formatter->setFormat(NSString::stringWithUTF16(std::move(format)));
    formatter->setLocalizesFormat(true);
}
