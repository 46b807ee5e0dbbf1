#pragma once
// A string whose UTF-16 cannot be read in place: characters() answers null,
// so readers must copy the text out with getCharacters(). Tests use it to
// drive the code paths that convert such strings.
#include <atomic>

#include "Foundation/NSString.h"

class NonContiguousString : public NSString {
    NS_OBJECT(NonContiguousString, NSString)
protected:
    NonContiguousString() = default;

public:
    static Ref<NonContiguousString> stringWithString(const Ref<NSString>& text);
    static Ref<NonContiguousString> stringWithUTF16(std::u16string text);

    const unichar* characters() const override { return nullptr; }
    void getCharacters(unichar* buffer, NSRange range) const override;

    // How often the text was copied out, so tests can tell a reused copy
    // from a fresh one.
    uint64_t getCharactersCount() const { return m_copies.load(std::memory_order_relaxed); }

private:
    mutable std::atomic<uint64_t> m_copies{0};
};
