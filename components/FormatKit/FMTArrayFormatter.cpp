#include "FormatKit/FMTArrayFormatter.h"

#include "FormatKit/FMTFormatKit.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSValue.h"

NS_CLASS_DEFINE(FMTArrayFormatter)

Id FMTArrayFormatter::init()
{
    m_arrayStyle = FMTArraySentenceStyle;
    m_delimiter = FMTLocalizedString(",");
    m_separator = FMTLocalizedString(" ");
    m_conjunction = FMTLocalizedString("and");
    m_abbreviatedConjunction = FMTLocalizedString("&");
    m_usesAbbreviatedConjunction = false;
    m_usesSerialDelimiter = true;
    return this;
}

Ref<NSString> FMTArrayFormatter::localizedStringFromArray(const Ref<NSArray>& array, int32_t style)
{
    auto formatter = make<FMTArrayFormatter>();
    formatter->setArrayStyle(style);
    return formatter->stringFromArray(array);
}

Ref<NSString> FMTArrayFormatter::stringFromArray(const Ref<NSArray>& array) { return stringFromArray(array, nullptr); }

Ref<NSString> FMTArrayFormatter::stringFromArray(const Ref<NSArray>& array, Ref<NSArray>* ranges)
{
    auto text = NSMutableString::string();
    auto found = NSMutableArray::array();
    auto append = [&](const Ref<NSString>& s) {
        if (s) text->appendString(s);
    };
    const bool sentence = m_arrayStyle != FMTArrayPlainStyle;
    for (NSUInteger i = 0; array && i < array->count(); ++i) {
        const NSUInteger n = array->count();
        const bool last = i + 1 == n;
        Id element = array->objectAtIndex(i);
        Ref<NSString> description = element ? element->description() : nullptr;
        if (!description) continue;
        if (sentence && m_conjunction && i != 0 && last) {
            append(m_usesAbbreviatedConjunction ? m_abbreviatedConjunction : m_conjunction);
            append(m_separator);
        }
        found->addObject(NSValue::valueWithRange(NSMakeRange(text->length(), description->length())));
        text->appendString(description);
        if (!sentence) {
            if (!last) {
                append(m_delimiter);
                append(m_separator);
            }
        } else if (!m_delimiter) {
            if (n == 2 && i == 0) append(m_separator);
        } else if (!last) {
            if (n == 2) {
                append(m_separator);
            } else if (i + 2 == n && !m_usesSerialDelimiter) {
                append(m_separator);
            } else {
                append(m_delimiter);
                append(m_separator);
            }
        }
    }
    if (ranges) *ranges = NSArray::arrayWithArray(found);
    return NSString::stringWithString(text);
}

Ref<NSArray> FMTArrayFormatter::arrayFromString(const Ref<NSString>& string)
{
    Id array;
    if (!getObjectValue(&array, string, nullptr)) return nullptr;
    return dynamic_ref_cast<NSArray>(array);
}

Ref<NSString> FMTArrayFormatter::stringForObjectValue(const Id& object)
{
    auto array = dynamic_ref_cast<NSArray>(object);
    return array ? stringFromArray(array, nullptr) : nullptr;
}

bool FMTArrayFormatter::getObjectValue(Id* object, const Ref<NSString>& string, Ref<NSString>* error)
{
    if (object) *object = nullptr;
    if (error) *error = nullptr;
    if (!string) return false;
    if (!m_delimiter || m_delimiter->length() == 0) {
        if (error) *error = FMTLocalizedString("Couldn\u2019t convert to NSArray");
        return false;
    }
    auto pieces = NSMutableArray::arrayWithArray(string->componentsSeparatedByString(m_delimiter));
    auto lastPiece = dynamic_ref_cast<NSString>(pieces->lastObject());
    if (m_conjunction && m_conjunction->length() && lastPiece) {
        const NSRange conjunction = lastPiece->rangeOfString(m_conjunction, NSLiteralSearch);
        if (conjunction.location != NSUInteger(NSNotFound)) {
            auto replaced = NSMutableString::stringWithString(lastPiece);
            replaced->replaceCharactersInRange(conjunction, m_delimiter);
            pieces->removeLastObject();
            pieces->addObjectsFromArray(replaced->componentsSeparatedByString(m_delimiter));
        }
    }
    if (object) *object = NSArray::arrayWithArray(pieces);
    return true;
}

void FMTArrayFormatter::copySettingsFrom(const NSFormatter& other)
{
    NSFormatter::copySettingsFrom(other);
    auto* source = dynamic_cast<const FMTArrayFormatter*>(&other);
    if (!source) return;
    m_arrayStyle = source->m_arrayStyle;
    m_delimiter = source->m_delimiter;
    m_separator = source->m_separator;
    m_conjunction = source->m_conjunction;
    m_abbreviatedConjunction = source->m_abbreviatedConjunction;
    m_usesAbbreviatedConjunction = source->m_usesAbbreviatedConjunction;
    m_usesSerialDelimiter = source->m_usesSerialDelimiter;
}

void FMTArrayFormatter::encodeWithCoder(NSCoder* coder) const
{
    NSFormatter::encodeWithCoder(coder);
    if (!coder->allowsKeyedCoding()) {
        coder->encodeInt(m_arrayStyle);
        coder->encodeObject(m_delimiter);
        coder->encodeObject(m_separator);
        coder->encodeObject(m_conjunction);
        coder->encodeObject(m_abbreviatedConjunction);
        coder->encodeChar(m_usesAbbreviatedConjunction);
        coder->encodeChar(m_usesSerialDelimiter);
        return;
    }
    coder->encodeInt32(m_arrayStyle, "arrayStyle"_ns);
    coder->encodeObject(m_delimiter, "delimiter"_ns);
    coder->encodeObject(m_separator, "separator"_ns);
    coder->encodeObject(m_conjunction, "conjunction"_ns);
    coder->encodeObject(m_abbreviatedConjunction, "abbreviatedConjunction"_ns);
    coder->encodeBool(m_usesAbbreviatedConjunction, "usesAbbreviatedConjunction"_ns);
    coder->encodeBool(m_usesSerialDelimiter, "usesSerialDelimiter"_ns);
}

Id FMTArrayFormatter::initWithCoder(NSCoder* coder)
{
    NSFormatter::initWithCoder(coder);
    auto string = [](const Id& object) { return dynamic_ref_cast<NSString>(object); };
    if (!coder->allowsKeyedCoding()) {
        m_arrayStyle = coder->decodeInt();
        m_delimiter = string(coder->decodeObject());
        m_separator = string(coder->decodeObject());
        m_conjunction = string(coder->decodeObject());
        m_abbreviatedConjunction = string(coder->decodeObject());
        m_usesAbbreviatedConjunction = coder->decodeChar();
        m_usesSerialDelimiter = coder->decodeChar();
        return this;
    }
    m_arrayStyle = coder->decodeInt32ForKey("arrayStyle"_ns);
    m_delimiter = string(coder->decodeObjectForKey("delimiter"_ns));
    m_separator = string(coder->decodeObjectForKey("separator"_ns));
    m_conjunction = string(coder->decodeObjectForKey("conjunction"_ns));
    m_abbreviatedConjunction = string(coder->decodeObjectForKey("abbreviatedConjunction"_ns));
    m_usesAbbreviatedConjunction = coder->decodeBoolForKey("usesAbbreviatedConjunction"_ns);
    m_usesSerialDelimiter = coder->decodeBoolForKey("usesSerialDelimiter"_ns);
    return this;
}
