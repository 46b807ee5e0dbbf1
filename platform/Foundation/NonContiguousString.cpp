#include "Foundation/NonContiguousString.h"

#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"

NS_CLASS_DEFINE(NonContiguousString)

Ref<NonContiguousString> NonContiguousString::stringWithString(const Ref<NSString>& text)
{
    if (!text) NSException::raise(NSInvalidArgumentException, "-[NonContiguousString initWithString:]: nil argument");
    return stringWithUTF16(text->utf16());
}

Ref<NonContiguousString> NonContiguousString::stringWithUTF16(std::u16string text)
{
    Ref<NonContiguousString> s = alloc<NonContiguousString>();
    s->m_chars = std::move(text);
    return s;
}

void NonContiguousString::getCharacters(unichar* buffer, NSRange range) const
{
    m_copies.fetch_add(1, std::memory_order_relaxed);
    NSString::getCharacters(buffer, range);
}
