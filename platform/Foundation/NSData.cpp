#include "Foundation/NSData.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "Foundation/FileSupport.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSError.h"
#include "Foundation/NSException.h"
#include "Foundation/NSString.h"

NS_CLASS_DEFINE(NSData)
NS_CLASS_DEFINE(NSMutableData)

Ref<NSData> NSData::data() { return alloc<NSData>(); }

Ref<NSData> NSData::dataWithBytes(const void* bytes, NSUInteger length)
{
    auto* p = static_cast<const uint8_t*>(bytes);
    return dataWithVector(std::vector<uint8_t>(p, p + length));
}

Ref<NSData> NSData::dataWithVector(std::vector<uint8_t> bytes)
{
    auto d = alloc<NSData>();
    d->m_bytes = std::move(bytes);
    return d;
}

Ref<NSData> NSData::dataWithContentsOfFile(const Ref<NSString>& path)
{
    return dataWithContentsOfFile(path, 0, nullptr);
}

static Ref<NSData> readFailure(const Ref<NSString>& path, int code, Ref<NSError>* error)
{
    if (!error) return nullptr;
    NSInteger cocoaCode = code == ENOENT || code == ENOTDIR ? NSFileReadNoSuchFileError
                          : code == EACCES || code == EPERM ? NSFileReadNoPermissionError
                                                            : NSFileReadUnknownError;
    auto info = NSMutableDictionary::dictionary();
    if (path) info->setObject(path, NSFilePathErrorKey());
    info->setObject(NSError::errorWithPOSIXCode(code), NSUnderlyingErrorKey());
    *error = NSError::errorWithDomain(NSCocoaErrorDomain(), cocoaCode, info);
    return nullptr;
}

Ref<NSData> NSData::dataWithContentsOfFile(const Ref<NSString>& path, NSUInteger, Ref<NSError>* error)
{
    if (!path) return readFailure(path, ENOENT, error);
    std::vector<uint8_t> bytes;
    if (int code = FileSupport::readFile(path->UTF8String(), bytes)) return readFailure(path, code, error);
    return dataWithVector(std::move(bytes));
}

namespace {
constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
}

std::string Base64Encode(std::span<const uint8_t> bytes)
{
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        uint32_t n = uint32_t(bytes[i]) << 16;
        if (i + 1 < bytes.size()) n |= uint32_t(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) n |= bytes[i + 2];
        out += kBase64[n >> 18 & 63];
        out += kBase64[n >> 12 & 63];
        out += i + 1 < bytes.size() ? kBase64[n >> 6 & 63] : '=';
        out += i + 2 < bytes.size() ? kBase64[n & 63] : '=';
    }
    return out;
}

bool Base64Decode(std::string_view text, std::vector<uint8_t>& out)
{
    if (text.size() % 4 != 0) return false;
    out.clear();
    out.reserve(text.size() / 4 * 3);
    auto digit = [](char c) -> int {
        const char* p = std::char_traits<char>::find(kBase64, 64, c);
        return p ? static_cast<int>(p - kBase64) : -1;
    };
    for (size_t i = 0; i < text.size(); i += 4) {
        // Padding only in the last two places of the last group.
        bool last = i + 4 == text.size();
        int pad = last ? (text[i + 3] == '=') + (text[i + 2] == '=') : 0;
        if (pad == 1 && text[i + 2] == '=') return false;
        uint32_t n = 0;
        for (int k = 0; k < 4; ++k) {
            int d = k >= 4 - pad ? 0 : digit(text[i + k]);
            if (d < 0) return false;
            n = n << 6 | static_cast<uint32_t>(d);
        }
        out.push_back(static_cast<uint8_t>(n >> 16));
        if (pad < 2) out.push_back(static_cast<uint8_t>(n >> 8));
        if (pad < 1) out.push_back(static_cast<uint8_t>(n));
    }
    return true;
}

Ref<NSString> NSData::base64EncodedString() const { return NSString::stringWithUTF8String(Base64Encode(m_bytes)); }

Ref<NSData> NSData::initWithBase64EncodedString(const Ref<NSString>& text)
{
    // Anything outside ASCII is no base64 digit, and fails below as such.
    if (!text || !Base64Decode(text->UTF8String(), m_bytes)) return nullptr;
    return this;
}

void NSData::getBytes(void* buffer, NSRange range) const
{
    if (range.location > length() || range.length > length() - range.location)
        NSException::raise(NSRangeException, "-[NSData getBytes:range:]: range {" + std::to_string(range.location) +
                                                 ", " + std::to_string(range.length) + "} exceeds data length " +
                                                 std::to_string(length()));
    if (range.length) std::memcpy(buffer, m_bytes.data() + range.location, range.length);
}

void NSData::getBytes(void* buffer, NSUInteger length) const
{
    NSUInteger n = std::min(length, this->length());
    if (n) std::memcpy(buffer, m_bytes.data(), n);
}

Ref<NSData> NSData::subdataWithRange(NSRange range) const
{
    if (range.location > length() || range.length > length() - range.location)
        NSException::raise(NSRangeException, "-[NSData subdataWithRange:]: range beyond data length");
    return dataWithBytes(m_bytes.data() + range.location, range.length);
}

bool NSData::writeToFile(const Ref<NSString>& path, bool atomically) const
{
    if (!path) return false;
    auto write = atomically ? FileSupport::writeAtomically : FileSupport::writeInPlace;
    return write(path->UTF8String(), m_bytes.data(), m_bytes.size(), 0644) == 0;
}

bool NSData::isEqual(const NSObject* other) const
{
    auto* d = dynamic_cast<const NSData*>(other);
    return d && d->m_bytes == m_bytes;
}

NSUInteger NSData::hash() const { return HashFNV1a(m_bytes); }

Ref<NSString> NSData::description() const
{
    static const char* digits = "0123456789abcdef";
    std::string text = "<";
    for (size_t i = 0; i < m_bytes.size(); ++i) {
        if (i && i % 4 == 0) text += ' ';
        text += digits[m_bytes[i] >> 4];
        text += digits[m_bytes[i] & 15];
    }
    text += '>';
    return NSString::stringWithUTF8String(text);
}

Id NSData::mutableCopy() const { return NSMutableData::dataWithData(const_cast<NSData*>(this)); }

Ref<NSMutableData> NSMutableData::data() { return alloc<NSMutableData>(); }

Ref<NSMutableData> NSMutableData::dataWithLength(NSUInteger length)
{
    auto d = alloc<NSMutableData>();
    d->m_bytes.assign(length, 0);
    return d;
}

Ref<NSMutableData> NSMutableData::dataWithData(const Ref<NSData>& other)
{
    auto d = alloc<NSMutableData>();
    if (other) d->m_bytes = other->vector();
    return d;
}

void NSMutableData::appendBytes(const void* bytes, NSUInteger length)
{
    auto* p = static_cast<const uint8_t*>(bytes);
    m_bytes.insert(m_bytes.end(), p, p + length);
}

void NSMutableData::appendData(const Ref<NSData>& other)
{
    if (!other) return;
    std::vector<uint8_t> bytes = other->vector();  // the argument may be the receiver
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
}

void NSMutableData::replaceBytesInRange(NSRange range, const void* bytes, NSUInteger length)
{
    if (range.location > m_bytes.size() || range.length > m_bytes.size() - range.location)
        NSException::raise(NSRangeException,
                           "-[NSMutableData replaceBytesInRange:withBytes:length:]: range beyond data length");
    auto* p = static_cast<const uint8_t*>(bytes);
    std::vector<uint8_t> replacement(p, p + length);
    m_bytes.erase(m_bytes.begin() + range.location, m_bytes.begin() + NSMaxRange(range));
    m_bytes.insert(m_bytes.begin() + range.location, replacement.begin(), replacement.end());
}

Id NSMutableData::copy() const { return NSData::dataWithVector(m_bytes); }
