#include "AppKit/NSAttributedStringDocumentReading.h"

#include <algorithm>

#include "AppKit/RTFReader.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSStringDecoding.h"

Ref<NSString> NSCharacterEncodingDocumentAttribute() { return "CharacterEncoding"_ns; }
Ref<NSString> NSDocumentTypeDocumentAttribute() { return "DocumentType"_ns; }
Ref<NSString> NSPlainTextDocumentType() { return "NSPlainText"_ns; }
Ref<NSString> NSCharacterEncodingDocumentOption() { return "CharacterEncoding"_ns; }
Ref<NSString> NSDocumentTypeDocumentOption() { return "DocumentType"_ns; }

namespace {

bool looksLikeRTF(const Ref<NSData>& data)
{
    static constexpr char start[] = "{\\rtf";
    return data->length() >= 5 && std::equal(start, start + 5, data->bytes());
}

bool isRTFRequested(const Ref<NSData>& data, const Ref<NSDictionary>& options)
{
    auto type = options ? dynamic_ref_cast<NSString>(options->objectForKey(NSDocumentTypeDocumentOption())) : nullptr;
    if (type) return type->isEqualToString(NSRTFTextDocumentType());
    return looksLikeRTF(data);
}

NSStringEncoding encodingOfBytes(const uint8_t* b, NSUInteger n)
{
    if (n >= 4 && ((b[0] == 0 && b[1] == 0 && b[2] == 0xFE && b[3] == 0xFF) ||
                   (b[0] == 0xFF && b[1] == 0xFE && b[2] == 0 && b[3] == 0)))
        return NSUTF32StringEncoding;
    if (n >= 2 && ((b[0] == 0xFE && b[1] == 0xFF) || (b[0] == 0xFF && b[1] == 0xFE))) return NSUnicodeStringEncoding;
    std::u16string ignored;
    if (NSStringAppendDecodablePrefix(b, n, NSUTF8StringEncoding, ignored).invalidOffset ==
        static_cast<NSUInteger>(NSNotFound))
        return NSUTF8StringEncoding;
    return NSString::defaultCStringEncoding();
}

}

Ref<NSAttributedString> NSAttributedStringWithDocumentData(const Ref<NSData>& data, const Ref<NSDictionary>& options,
                                                           Ref<NSDictionary>* documentAttributes, Ref<NSError>* error)
{
    if (!data) return nullptr;
    if (isRTFRequested(data, options)) {
        auto rich = NSAttributedStringWithRTF(data, documentAttributes);
        if (!rich && error)
            *error = NSError::errorWithDomain(NSCocoaErrorDomain(), NSFileReadCorruptFileError, nullptr);
        return rich;
    }
    auto given =
        options ? dynamic_ref_cast<NSNumber>(options->objectForKey(NSCharacterEncodingDocumentOption())) : nullptr;
    NSStringEncoding encoding = given ? given->unsignedIntegerValue() : encodingOfBytes(data->bytes(), data->length());
    Ref<NSString> text = NSString::stringWithData(data, encoding);
    if (!text && !given && encoding == NSUTF8StringEncoding) {
        // Valid up to a character cut short at the end: read what is whole.
        std::u16string whole;
        NSStringAppendDecodablePrefix(data->bytes(), data->length(), encoding, whole);
        text = NSString::stringWithUTF16(std::move(whole));
    }
    if (!text) {
        if (error) *error = NSError::errorWithDomain(NSCocoaErrorDomain(), NSFileReadUnknownError, nullptr);
        return nullptr;
    }
    if (documentAttributes) {
        auto attributes = NSMutableDictionary::dictionary();
        attributes->setObject(NSPlainTextDocumentType(), NSDocumentTypeDocumentAttribute());
        attributes->setObject(NSNumber::numberWithUnsignedInteger(encoding), NSCharacterEncodingDocumentAttribute());
        *documentAttributes = attributes;
    }
    return NSAttributedString::initWithString(text);
}
