#include "FoundationExtensions/ZAKHashBytes.h"

uint64_t ZAKHashBytes(const void* bytes, size_t count)
{
    const auto* p = static_cast<const uint8_t*>(bytes);
    uint64_t h = 0;
    for (size_t i = 0; i < count; ++i) {
        h = h * 16 + p[i];
        h ^= (h >> 24) & 0xF0;
    }
    return h;
}
