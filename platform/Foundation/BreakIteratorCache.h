#pragma once
// ICU break iterators kept per thread, kind and locale. Opening one loads
// and compiles its rules (the costly part); here each is made once and
// pointed at new text with ubrk_setText.
#include <unicode/ubrk.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>

class BreakIteratorCache {
public:
    // The calling thread's cache.
    static BreakIteratorCache& forCurrentThread();

    // An iterator of the kind over the text (which must outlive its use);
    // nil when ICU cannot make one. The iterator stays the cache's.
    UBreakIterator* iterator(UBreakIteratorType kind, const char16_t* text, size_t length,
                             const char* locale = "en_US");

    // Closes the thread's iterators (before u_cleanup).
    void releaseAll();
    ~BreakIteratorCache();

    // How many iterators were made in the process, for tests.
    static uint64_t iteratorsMade();

private:
    BreakIteratorCache() = default;
    std::map<std::pair<int, std::string>, UBreakIterator*> m_iterators;
};
