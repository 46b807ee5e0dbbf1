#pragma once
// Read-only views of the regular-expression cache for tests and benchmarks.
#include <cstdint>

#include "Foundation/NSString.h"
#include "RegexLite/RegexLite.h"

namespace RXLCacheTesting {

// How many patterns were compiled since the process started.
uint64_t compileCount();
// The cache slot (set x 4 + way) holding the pattern with these options, or -1.
int entryIndexOf(const Ref<NSString>& regex, RXLRegexOptions options = 0);
// The set a pattern falls into.
unsigned setOf(const Ref<NSString>& regex, RXLRegexOptions options = 0);
uint16_t lruWord(unsigned set);
// The least recently used way of an LRU word.
unsigned leastRecentWay(uint16_t word);
// Whether any cache entry is attached to the string, and which subject
// buffers hold it (-1 when none).
bool anyEntryAttachedTo(const NSString* subject);
int fixedBufferHolding(const NSString* subject);
int dynamicBufferHolding(const NSString* subject);
// The UTF-16 array of a subject buffer, to show whether it was reallocated.
const unichar* fixedBufferArray(int index);
bool lockIsHeld();

}  // namespace RXLCacheTesting
