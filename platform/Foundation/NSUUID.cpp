#include "Foundation/NSUUID.h"

#include <sys/random.h>

#include <cerrno>
#include <cstring>

#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"

NS_CLASS_DEFINE(NSUUID)

Ref<NSUUID> NSUUID::UUID()
{
    Ref<NSUUID> uuid = alloc<NSUUID>();
    size_t filled = 0;
    while (filled < uuid->m_bytes.size()) {
        ssize_t n = getrandom(uuid->m_bytes.data() + filled, uuid->m_bytes.size() - filled, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            NSException::raise(NSInternalInconsistencyException,
                               std::string("getrandom failed: ") + std::strerror(errno));
        filled += static_cast<size_t>(n);
    }
    uuid->m_bytes[6] = static_cast<uint8_t>((uuid->m_bytes[6] & 0x0F) | 0x40);  // version 4
    uuid->m_bytes[8] = static_cast<uint8_t>((uuid->m_bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
    return uuid;
}

Ref<NSString> NSUUID::UUIDString() const
{
    static const char digits[] = "0123456789ABCDEF";
    std::u16string text;
    for (size_t i = 0; i < m_bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) text += u'-';
        text += static_cast<char16_t>(digits[m_bytes[i] >> 4]);
        text += static_cast<char16_t>(digits[m_bytes[i] & 15]);
    }
    return NSString::stringWithUTF16(std::move(text));
}

bool NSUUID::isEqual(const NSObject* other) const
{
    auto* uuid = dynamic_cast<const NSUUID*>(other);
    return uuid && uuid->m_bytes == m_bytes;
}

NSUInteger NSUUID::hash() const
{
    NSUInteger h = 0;
    std::memcpy(&h, m_bytes.data(), sizeof h);
    return h;
}
