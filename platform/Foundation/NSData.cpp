#include "Foundation/NSData.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    int fd = ::open(path->UTF8String().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return readFailure(path, errno, error);
    std::vector<uint8_t> bytes;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        return readFailure(path, EISDIR, error);
    }
    if (info.st_size > 0) bytes.reserve(static_cast<size_t>(info.st_size));
    uint8_t chunk[65536];
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            int code = errno;
            ::close(fd);
            return readFailure(path, code, error);
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    ::close(fd);
    return dataWithVector(std::move(bytes));
}

static const char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

Ref<NSString> NSData::base64EncodedString() const
{
    std::string text;
    text.reserve((m_bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < m_bytes.size(); i += 3) {
        uint32_t group = static_cast<uint32_t>(m_bytes[i]) << 16;
        size_t n = std::min<size_t>(3, m_bytes.size() - i);
        if (n > 1) group |= static_cast<uint32_t>(m_bytes[i + 1]) << 8;
        if (n > 2) group |= m_bytes[i + 2];
        for (size_t k = 0; k < 4; ++k) text += k <= n ? kBase64[(group >> (18 - 6 * k)) & 63] : '=';
    }
    return NSString::stringWithUTF8String(text);
}

Ref<NSData> NSData::initWithBase64EncodedString(const Ref<NSString>& text)
{
    if (!text) return nullptr;
    const std::u16string& s = text->utf16();
    if (s.size() % 4) return nullptr;
    std::vector<uint8_t> bytes;
    bytes.reserve(s.size() / 4 * 3);
    for (size_t i = 0; i < s.size(); i += 4) {
        uint32_t group = 0;
        int padding = 0;
        for (size_t k = 0; k < 4; ++k) {
            char16_t c = s[i + k];
            int v = c >= 'A' && c <= 'Z' ? c - 'A' : c >= 'a' && c <= 'z' ? c - 'a' + 26 : c >= '0' && c <= '9' ? c - '0' + 52 : c == '+' ? 62 : c == '/' ? 63 : -1;
            // Padding only in the last two places of the last group.
            if (c == '=' && i + 4 == s.size() && k >= 2 && (k == 3 || s[i + 3] == '=')) {
                ++padding;
                v = 0;
            }
            if (v < 0) return nullptr;
            if (padding && c != '=') return nullptr;
            group = group << 6 | static_cast<uint32_t>(v);
        }
        bytes.push_back(static_cast<uint8_t>(group >> 16));
        if (padding < 2) bytes.push_back(static_cast<uint8_t>(group >> 8));
        if (padding < 1) bytes.push_back(static_cast<uint8_t>(group));
    }
    m_bytes = std::move(bytes);
    return this;
}

void NSData::getBytes(void* buffer, NSRange range) const
{
    if (range.location > length() || range.length > length() - range.location)
        NSException::raise(NSRangeException, "-[NSData getBytes:range:]: range {" + std::to_string(range.location) + ", " +
                                                 std::to_string(range.length) + "} exceeds data length " + std::to_string(length()));
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
    std::string target = path->UTF8String();
    std::string temporary = atomically ? target + ".tmp-" + std::to_string(getpid()) : target;
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    size_t written = 0;
    while (written < m_bytes.size()) {
        ssize_t n = ::write(fd, m_bytes.data() + written, m_bytes.size() - written);
        if (n <= 0) {
            ::close(fd);
            ::unlink(temporary.c_str());
            return false;
        }
        written += n;
    }
    bool ok = ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!atomically) return ok;
    if (!ok || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool NSData::isEqual(const NSObject* other) const
{
    auto* d = dynamic_cast<const NSData*>(other);
    return d && d->m_bytes == m_bytes;
}

NSUInteger NSData::hash() const
{
    uint64_t h = 1469598103934665603ull;
    for (uint8_t b : m_bytes) h = (h ^ b) * 1099511628211ull;
    return h;
}

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
        NSException::raise(NSRangeException, "-[NSMutableData replaceBytesInRange:withBytes:length:]: range beyond data length");
    auto* p = static_cast<const uint8_t*>(bytes);
    std::vector<uint8_t> replacement(p, p + length);
    m_bytes.erase(m_bytes.begin() + range.location, m_bytes.begin() + NSMaxRange(range));
    m_bytes.insert(m_bytes.begin() + range.location, replacement.begin(), replacement.end());
}

Id NSMutableData::copy() const { return NSData::dataWithVector(m_bytes); }
