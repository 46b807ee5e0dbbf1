#include "Foundation/BreakIteratorCache.h"

#include <atomic>
#include <memory>

namespace {

std::atomic<uint64_t> made{0};

}

BreakIteratorCache& BreakIteratorCache::forCurrentThread()
{
    thread_local std::unique_ptr<BreakIteratorCache> cache(new BreakIteratorCache);
    return *cache;
}

UBreakIterator* BreakIteratorCache::iterator(UBreakIteratorType kind, const char16_t* text, size_t length,
                                             const char* locale)
{
    UErrorCode status = U_ZERO_ERROR;
    auto key = std::make_pair(static_cast<int>(kind), std::string(locale ? locale : ""));
    auto found = m_iterators.find(key);
    if (found == m_iterators.end()) {
        UBreakIterator* fresh = ubrk_open(kind, key.second.c_str(), nullptr, 0, &status);
        if (U_FAILURE(status)) return nullptr;
        ++made;
        found = m_iterators.emplace(key, fresh).first;
    }
    ubrk_setText(found->second, reinterpret_cast<const UChar*>(text), static_cast<int32_t>(length), &status);
    return U_SUCCESS(status) ? found->second : nullptr;
}

void BreakIteratorCache::releaseAll()
{
    for (auto& [key, it] : m_iterators) ubrk_close(it);
    m_iterators.clear();
}

BreakIteratorCache::~BreakIteratorCache() { releaseAll(); }

uint64_t BreakIteratorCache::iteratorsMade() { return made.load(); }
