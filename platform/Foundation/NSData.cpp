#include "Foundation/NSData.h"

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <unistd.h>

#include "Foundation/NSClass.h"
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
    if (!path) return nullptr;
    std::ifstream in(path->UTF8String(), std::ios::binary);
    if (!in) return nullptr;
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return nullptr;
    return dataWithVector(std::move(bytes));
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
