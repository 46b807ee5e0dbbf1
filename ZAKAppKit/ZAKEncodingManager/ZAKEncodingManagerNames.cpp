// The manager's class operations: IANA names, the encoding of a file and
// the charset detection log.
#include <unicode/ucsdet.h>

#include "AppKit/NSAttributedStringDocumentReading.h"
#include "Foundation/CFStringEncoding.h"
#include "Foundation/NSInputStream.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSNumber.h"
#include "ZAKAppKit/ZAKEncodingManager/ZAKEncodingManager.h"

NSStringEncoding ZAKEncodingManager::stringEncodingForMIMEEncoding(const Ref<NSString>& name)
{
    if (!name) return 0;
    CFStringEncoding encoding = CFStringConvertIANACharSetNameToEncoding(name->lowercaseString());
    if (encoding == kCFStringEncodingInvalidId) return 0;
    NSStringEncoding ns = CFStringConvertEncodingToNSStringEncoding(encoding);
    return ns == kCFStringEncodingInvalidId ? 0 : ns;
}

Ref<NSString> ZAKEncodingManager::MIMEEncodingForStringEncoding(NSStringEncoding encoding)
{
    CFStringEncoding cf = CFStringConvertNSStringEncodingToEncoding(encoding);
    return cf == kCFStringEncodingInvalidId ? nullptr : CFStringConvertEncodingToIANACharSetName(cf);
}

NSStringEncoding ZAKEncodingManager::encodingForFile(const Ref<NSString>& path)
{
    constexpr NSUInteger kLimit = 1000000;
    Ref<NSInputStream> stream = NSInputStream::inputStreamWithFileAtPath(path);
    if (!stream) return NSUTF8StringEncoding;
    stream->open();
    NSStreamStatus status = stream->streamStatus();
    if (status != NSStreamStatusOpening && status != NSStreamStatusOpen && status != NSStreamStatusReading)
        return NSUTF8StringEncoding;
    auto buffer = NSMutableData::dataWithLength(kLimit);
    NSUInteger filled = 0;
    while (filled < kLimit) {
        NSInteger n = stream->read(buffer->mutableBytes() + filled, kLimit - filled);
        if (n <= 0) break;
        filled += static_cast<NSUInteger>(n);
    }
    stream->close();
    if (!filled) return NSUTF8StringEncoding;
    buffer->setLength(filled);
    Ref<NSDictionary> attributes;
    if (!NSAttributedStringWithDocumentData(buffer, nullptr, &attributes, nullptr) || !attributes)
        return NSUTF8StringEncoding;
    auto encoding = dynamic_ref_cast<NSNumber>(attributes->objectForKey(NSCharacterEncodingDocumentAttribute()));
    return encoding ? encoding->unsignedIntegerValue() : NSUTF8StringEncoding;
}

NSStringEncoding ZAKEncodingManager::autoDetectedStringEncodingOfData(const Ref<NSData>& data)
{
    UErrorCode status = U_ZERO_ERROR;
    UCharsetDetector* detector = ucsdet_open(&status);
    int32_t count = 0;
    const UCharsetMatch** matches = nullptr;
    if (U_SUCCESS(status) && data) {
        ucsdet_setText(detector, reinterpret_cast<const char*>(data->bytes()), static_cast<int32_t>(data->length()),
                       &status);
        matches = ucsdet_detectAll(detector, &count, &status);
    }
    if (U_FAILURE(status) || !data) {
        NSLog("TECSniffer - sniff: / Failed to sniff text encoding.");
        count = 0;
    }
    auto names = NSMutableArray::array();
    for (int32_t i = 0; i < count; ++i) {
        UErrorCode nameStatus = U_ZERO_ERROR;
        const char* charset = ucsdet_getName(matches[i], &nameStatus);
        if (U_FAILURE(nameStatus) || !charset) continue;
        NSStringEncoding encoding = stringEncodingForMIMEEncoding(NSString::stringWithUTF8String(charset));
        Ref<NSString> name =
            encoding ? NSString::localizedNameOfStringEncoding(encoding) : NSString::stringWithUTF8String(charset);
        NSLog("encoding: %@", name);
        names->addObject(name);
    }
    NSLog("result: %@", names);
    if (detector) ucsdet_close(detector);
    return NSUTF8StringEncoding;
}
