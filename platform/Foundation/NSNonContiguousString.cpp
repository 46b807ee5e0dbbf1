#include "Foundation/NSNonContiguousString.h"

#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"

NS_CLASS_DEFINE(NSNonContiguousString)

Ref<NSNonContiguousString> NSNonContiguousString::stringWithString(const Ref<NSString>& text)
{
    if (!text) NSException::raise(NSInvalidArgumentException, "-[NSNonContiguousString initWithString:]: nil argument");
    return stringWithUTF16(text->utf16());
}

Ref<NSNonContiguousString> NSNonContiguousString::stringWithUTF16(std::u16string text)
{
    Ref<NSNonContiguousString> s = alloc<NSNonContiguousString>();
    s->m_chars = std::move(text);
    return s;
}

void NSNonContiguousString::getCharacters(unichar* buffer, NSRange range) const
{
    m_copies.fetch_add(1, std::memory_order_relaxed);
    NSString::getCharacters(buffer, range);
}
