#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <typeinfo>
#include <utility>

#include "Foundation/NSValue.h"
#include "RegexLite/RXLCacheTesting.h"
#include "RegexLite/RXLPrivate.h"

namespace {

constexpr unsigned kSets = 13;
constexpr unsigned kWays = 4;
constexpr NSUInteger kFixedBufferLength = 2048;
constexpr uint16_t kInitialLRU = 0x0137;

// Every field is guarded by the cache lock. Allocated once and never freed:
// the compiled expressions must not be closed after ICU cleaned up at exit.
struct RXLCacheState {
    RXLCachedRegex entries[kSets * kWays];
    uint16_t sets[kSets];
    uint8_t lookaside[64] = {};
    RXLCachedRegex* last = nullptr;
    RXLBuffer fixed[4];
    unichar fixedArrays[4][kFixedBufferLength];
    uint16_t fixedLRU = kInitialLRU;
    RXLBuffer dynamic[4];
    uint16_t dynamicLRU = kInitialLRU;

    RXLCacheState()
    {
        for (auto& s : sets) s = kInitialLRU;
        for (int i = 0; i < 4; ++i) {
            fixed[i].uniChar = fixedArrays[i];
            fixed[i].capacity = kFixedBufferLength;
        }
    }
};

RXLCacheState* const g_cache = new RXLCacheState();
inline RXLCacheState& cache() { return *g_cache; }

std::atomic<uint64_t> g_compileCount{0};
std::atomic<int32_t> g_matchTimeLimit{RXLDefaultMatchTimeLimit};

// ICU's own default, stated so that it does not change under us: deep
// backtracking fails with U_REGEX_STACK_OVERFLOW instead of growing the heap.
constexpr int32_t kMatchStackLimit = 8 * 1024 * 1024;
const unichar kEmptyText[1] = {0};

uint32_t lookasideSlot(const NSString* regex, RXLRegexOptions options)
{
    const uint32_t address = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(regex));
    return ((address >> 4) + options + (options >> 4)) & 63u;
}

unsigned setIndex(uint64_t hash, RXLRegexOptions options)
{
    return static_cast<unsigned>((hash ^ static_cast<uint64_t>(options)) % kSets);
}

bool samePattern(const RXLCachedRegex& e, const NSString* regex, RXLRegexOptions options)
{
    if (!e.icu_regex || e.options != options || !e.regexString) return false;
    const NSString* stored = e.regexString.get();
    if (stored == regex) return true;
    // Two plain strings compare their UTF-16 at once; this runs on every
    // lookaside hit of an equal pattern object.
    if (typeid(*regex) == typeid(NSString) && typeid(*stored) == typeid(NSString)) {
        const std::u16string& a = stored->utf16();
        const std::u16string& b = regex->utf16();
        return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0;
    }
    return stored->isEqual(regex);
}

// Plain strings are by far the most common subjects; they skip the cast.
const NSMutableString* asMutable(const NSString* s)
{
    if (typeid(*s) == typeid(NSString)) return nullptr;
    return dynamic_cast<const NSMutableString*>(s);
}

void markUsed(RXLCachedRegex* entry, const NSString* regex)
{
    RXLCacheState& c = cache();
    const auto index = static_cast<unsigned>(entry - c.entries);
    c.last = entry;
    c.lookaside[lookasideSlot(regex, entry->options)] = static_cast<uint8_t>(index);
    uint16_t& word = c.sets[setIndex(entry->regexHash, entry->options)];
    word = rxl_lruUse(word, index & 3u);
}

void releaseCacheEntry(RXLCachedRegex& e)
{
    rxl_resetCachedRegexText(e);
    if (cache().last == &e) cache().last = nullptr;
    if (e.icu_regex) uregex_close(e.icu_regex);
    e.icu_regex = nullptr;
    e.captureCount = -1;
    e.regexString = nullptr;
    e.regexHash = 0;
    e.options = 0;
}

void emptyBuffer(RXLBuffer& b)
{
    b.string = nullptr;
    b.hash = 0;
    b.length = 0;
    b.mutationCount = 0;
}

bool bufferHolds(const RXLBuffer& b, const NSString* s, uint64_t hash, NSInteger length, uint64_t mutations)
{
    return b.string.get() == s && b.hash == hash && b.length == length && b.mutationCount == mutations;
}

// Detaches the entry from its subject. ICU is given the empty text only when
// `emptyText` is set: a detach followed at once by a new attachment skips it.
void detach(RXLCachedRegex& e, bool emptyText)
{
    if (emptyText && e.icu_regex && e.setToString) {
        UErrorCode status = U_ZERO_ERROR;
        uregex_setText(e.icu_regex, kEmptyText, 0, &status);
    }
    e.setToString = nullptr;
    e.setToRange = e.lastFindRange = e.lastMatchRange = RXLNotFoundRange;
    e.setToUniChar = nullptr;
    e.buffer = nullptr;
    e.setToLength = 0;
    e.setToHash = 0;
    e.setToHashKnown = false;
    e.setToMutationCount = 0;
    e.setToNeedsConversion = false;
    e.setToIsImmutable = false;
    e.icuAtStart = false;
}

// Makes the subject's UTF-16 reachable and hands the range to ICU.
// `justAttached` says the direct pointer was fetched a moment ago.
bool setCachedRegexToString(RXLCachedRegex& e, NSRange range, bool justAttached, UErrorCode& status)
{
    RXLCacheState& c = cache();
    const NSString* subject = e.setToString.get();
    if (justAttached && !e.setToNeedsConversion) {
        // Nothing to check: the pointer is fresh and setToRange forgotten.
    } else if (!e.setToNeedsConversion) {
        const unichar* p = subject->characters();
        if (p != e.setToUniChar) {
            e.setToUniChar = p;
            e.setToRange = RXLNotFoundRange;
        }
    } else {
        RXLBuffer* buffer = e.buffer;
        const uint64_t hash = rxl_subjectHash(e);
        if (!buffer || !bufferHolds(*buffer, subject, hash, e.setToLength, e.setToMutationCount)) {
            buffer = nullptr;
            const bool useFixed = static_cast<NSUInteger>(e.setToLength) < kFixedBufferLength;
            RXLBuffer* group = useFixed ? c.fixed : c.dynamic;
            for (int i = 0; i < 4 && !buffer; ++i)
                if (bufferHolds(group[i], subject, hash, e.setToLength, e.setToMutationCount)) buffer = &group[i];
            if (!buffer) {
                buffer = &group[rxl_lruLeastRecent(useFixed ? c.fixedLRU : c.dynamicLRU)];
                emptyBuffer(*buffer);
                const auto length = static_cast<NSUInteger>(e.setToLength);
                if (!useFixed && buffer->capacity < length) {
                    void* grown = std::realloc(buffer->uniChar, length * sizeof(unichar));
                    if (!grown) {
                        e.buffer = nullptr;
                        e.setToRange = e.lastFindRange = e.lastMatchRange = RXLNotFoundRange;
                        return false;
                    }
                    buffer->uniChar = static_cast<unichar*>(grown);
                    buffer->capacity = length;
                }
                subject->getCharacters(buffer->uniChar, NSMakeRange(0, length));
                buffer->string = e.setToString;
                buffer->hash = hash;
                buffer->length = e.setToLength;
                buffer->mutationCount = e.setToMutationCount;
            }
            e.buffer = buffer;
        }
        const bool isFixed = buffer >= c.fixed && buffer < c.fixed + 4;
        uint16_t& word = isFixed ? c.fixedLRU : c.dynamicLRU;
        word = rxl_lruUse(word, static_cast<unsigned>(buffer - (isFixed ? c.fixed : c.dynamic)));
        if (buffer->uniChar != e.setToUniChar) {
            e.setToUniChar = buffer->uniChar;
            e.setToRange = RXLNotFoundRange;
        }
    }
    if (range == e.setToRange) return true;
    e.lastFindRange = e.lastMatchRange = RXLNotFoundRange;
    e.setToRange = range;
    // An empty subject may have no array at all; ICU wants a valid pointer.
    const unichar* text = e.setToUniChar ? e.setToUniChar + range.location : kEmptyText;
    uregex_setText(e.icu_regex, text, static_cast<int32_t>(range.length), &status);
    e.icuAtStart = U_SUCCESS(status);
    if (U_FAILURE(status)) {
        e.setToRange = e.lastFindRange = e.lastMatchRange = RXLNotFoundRange;
    }
    return true;
}

}  // namespace

uint16_t rxl_lruUse(uint16_t word, unsigned way)
{
    return static_cast<uint16_t>((word | (0xFu << (4 * way))) & ~(0x1111u << (3 - way)));
}

unsigned rxl_lruLeastRecent(uint16_t word)
{
    for (int way = 3; way >= 0; --way)
        if (((word >> (4 * way)) & 0xF) == 0) return static_cast<unsigned>(way);
    RXL_ASSERT(((word & 0xF) == 0) || ((word & 0xF0) == 0) || ((word & 0xF00) == 0) || ((word & 0xF000) == 0));
    return 3;
}

uint64_t rxl_hashOf(const NSString* s) { return s->hash(); }

uint64_t rxl_subjectHash(RXLCachedRegex& entry)
{
    if (!entry.setToHashKnown && entry.setToString) {
        entry.setToHash = rxl_hashOf(entry.setToString.get());
        entry.setToHashKnown = true;
    }
    return entry.setToHash;
}

void rxl_resetCachedRegexText(RXLCachedRegex& entry) { detach(entry, true); }

RXLCachedRegex* rxl_getCachedRegex(const RXLCaller& caller, NSString* regex, RXLRegexOptions options,
                                   Ref<NSError>* error, RXLDeferred& deferred)
{
    RXLCacheState& c = cache();
    if (c.last && c.last->regexString.get() == regex && c.last->options == options && c.last->icu_regex) return c.last;
    c.last = nullptr;

    RXLCachedRegex* hit = &c.entries[c.lookaside[lookasideSlot(regex, options)]];
    if (!samePattern(*hit, regex, options)) {
        hit = nullptr;
        const uint64_t hash = rxl_hashOf(regex);
        const unsigned set = setIndex(hash, options);
        for (unsigned way = 0; way < kWays && !hit; ++way) {
            RXLCachedRegex& e = c.entries[set * kWays + way];
            if (e.regexHash == hash && samePattern(e, regex, options)) hit = &e;
        }
        if (!hit) {
            RXLCachedRegex& e = c.entries[set * kWays + rxl_lruLeastRecent(c.sets[set])];
            releaseCacheEntry(e);
            const NSUInteger length = regex->length();
            if (length >= static_cast<NSUInteger>(RXLIntMax)) {
                deferred.set(rxl_exception(caller, NSRangeException, "Regex string length exceeds INT_MAX"));
                return nullptr;
            }
            e.regexString = static_ref_cast<NSString>(regex->copy());
            e.regexHash = hash;
            e.options = options;
            const unichar* chars = e.regexString->characters();
            std::u16string copy;
            if (!chars) {
                copy.resize(length);
                e.regexString->getCharacters(copy.data(), NSMakeRange(0, length));
                chars = copy.data();
            }
            UParseError parseError{};
            parseError.line = -1;
            parseError.offset = -1;
            UErrorCode status = U_ZERO_ERROR;
            e.icu_regex =
                uregex_open(chars ? chars : kEmptyText, static_cast<int32_t>(length), options, &parseError, &status);
            g_compileCount.fetch_add(1, std::memory_order_relaxed);
            if (U_FAILURE(status)) {
                if (e.icu_regex) uregex_close(e.icu_regex);
                e.icu_regex = nullptr;
                releaseCacheEntry(e);
                c.last = nullptr;
                if (error) {
                    RXLErrorInfo info;
                    info.regex = regex;
                    info.options = options;
                    info.status = status;
                    info.parseError = &parseError;
                    info.extra.emplace_back(
                        NSString::stringWithUTF8String("There was an error compiling the regular expression."),
                        NSLocalizedDescriptionKey());
                    *error = rxl_makeNSError(info);
                }
                return nullptr;
            }
            rxl_applyMatchLimits(e.icu_regex, status);
            e.captureCount = uregex_groupCount(e.icu_regex, &status);
            hit = &e;
        }
    }
    markUsed(hit, regex);
    return hit;
}

RXLCachedRegex* rxl_getCachedRegexSetToString(const RXLCaller& caller, NSString* regex, RXLRegexOptions options,
                                              NSString* subject, NSUInteger& subjectLength, NSRange& range,
                                              Ref<NSError>* error, RXLDeferred& deferred, UErrorCode& status)
{
    RXLCachedRegex* e = rxl_getCachedRegex(caller, regex, options, error, deferred);
    if (!e) return nullptr;
    subjectLength = subject->length();
    if (range.length == NSUIntegerMax && range.location <= subjectLength) range.length = subjectLength - range.location;
    if (range.location > subjectLength || range.length > subjectLength - range.location) {
        deferred.set(rxl_exception(caller, NSRangeException, "Range or index out of bounds."));
        return nullptr;
    }
    if (subjectLength >= static_cast<NSUInteger>(RXLIntMax)) {
        deferred.set(rxl_exception(caller, NSRangeException, "String length exceeds INT_MAX."));
        return nullptr;
    }
    // A mutable subject is compared by its mutation count, which sees every
    // change in place, even at the same length, without hashing the whole
    // text again. An immutable subject that is the same object with the same
    // length has the same text.
    const NSMutableString* mutableSubject = asMutable(subject);
    const bool isMutable = mutableSubject != nullptr;
    const uint64_t mutations = isMutable ? mutableSubject->mutationCount() : 0;
    const bool keep = e->setToString.get() == subject && e->setToLength == static_cast<NSInteger>(subjectLength) &&
                      e->setToMutationCount == mutations;
    if (!keep) {
        detach(*e, false);
        e->setToString = subject;
        e->setToUniChar = subject->characters();
        e->setToNeedsConversion = e->setToUniChar == nullptr;
        e->setToHashKnown = isMutable;
        if (isMutable) e->setToHash = rxl_hashOf(subject);
        e->setToLength = static_cast<NSInteger>(subjectLength);
        e->setToMutationCount = mutations;
        e->setToRange = RXLNotFoundRange;
    }
    if (!setCachedRegexToString(*e, range, !keep, status)) {
        deferred.set(rxl_exception(caller, NSInternalInconsistencyException, "Failed to set up UTF16 buffer."));
        return nullptr;
    }
    return e;
}

bool rxl_cachedRange(NSString* regex, RXLRegexOptions options, NSString* subject, NSRange range, NSRange& found)
{
    // Only the platform's own immutable strings: their UTF-16 is read in place
    // and never changes under the entry.
    if (!regex || !subject || typeid(*subject) != typeid(NSString)) return false;
    const std::u16string& text = subject->utf16();
    const NSUInteger length = text.size();
    if (range.length == NSUIntegerMax && range.location <= length) range.length = length - range.location;
    if (range.location > length || range.length > length - range.location ||
        length >= static_cast<NSUInteger>(RXLIntMax))
        return false;

    Ref<NSString> previous, previousPattern;  // released once the lock is free
    UErrorCode status = U_ZERO_ERROR;
    bool handled = false;
    bool matched = false;
    rxl_lockCacheSpinLock();
    RXLCacheState& c = cache();
    RXLCachedRegex* e = c.last;
    if (!e || e->regexString.get() != regex || e->options != options || !e->icu_regex) {
        // The lookaside slot, as a lookup tries it next: an entry compiled
        // from another, equal pattern object is found there without hashing.
        // A miss is left to the general lookup.
        e = &c.entries[c.lookaside[lookasideSlot(regex, options)]];
        if (!samePattern(*e, regex, options)) {
            e = nullptr;
        } else {
            markUsed(e, regex);
            // The entry keeps this equal, immutable pattern object in place of
            // the one it was compiled from, so that the next call with it is
            // answered by the last-used entry at once.
            if (typeid(*regex) == typeid(NSString))
                previousPattern = std::exchange(e->regexString, Ref<NSString>(regex));
        }
    }
    if (e) {
        // The entry holds the subject it is attached to, so the same address
        // is the same string, whose text never changes.
        if (e->setToString.get() != subject || e->setToNeedsConversion || e->setToMutationCount != 0 ||
            e->setToLength != static_cast<NSInteger>(length)) {
            previous = std::move(e->setToString);
            detach(*e, false);
            e->setToString = subject;
            e->setToUniChar = text.data();
            e->setToLength = static_cast<NSInteger>(length);
        }
        if (range != e->setToRange) {
            e->lastFindRange = e->lastMatchRange = RXLNotFoundRange;
            e->setToRange = range;
            uregex_setText(e->icu_regex, text.data() + range.location, static_cast<int32_t>(range.length), &status);
            e->icuAtStart = U_SUCCESS(status);
            if (U_FAILURE(status)) e->setToRange = RXLNotFoundRange;
        }
        if (U_SUCCESS(status) && e->icuAtStart) {
            // ICU was just given the text: the first match is the next one.
            e->icuAtStart = false;
            e->lastFindRange = range;
            if (uregex_findNext(e->icu_regex, &status) && U_SUCCESS(status)) {
                const int32_t start = uregex_start(e->icu_regex, 0, &status);
                const int32_t end = uregex_end(e->icu_regex, 0, &status);
                if (U_SUCCESS(status) && start >= 0) {
                    e->lastMatchRange = NSMakeRange(range.location + static_cast<NSUInteger>(start),
                                                    static_cast<NSUInteger>(end - start));
                    matched = true;
                }
            }
            if (!matched) e->lastFindRange = e->lastMatchRange = RXLNotFoundRange;
        } else if (U_SUCCESS(status)) {
            NSRange search = range;
            matched = rxl_search(*e, search, false, false, status) && U_SUCCESS(status);
        }
        handled = U_SUCCESS(status);
        if (matched && handled) found = e->lastMatchRange;
    }
    rxl_unlockCacheSpinLock();
    if (handled && !matched) found = RXLNotFoundRange;
    return handled;
}

void rxl_forgetSubject(const NSString* subject, NSUInteger length, uint64_t hash)
{
    RXLCacheState& c = cache();
    auto matches = [&](const NSString* s, uint64_t h, NSInteger l) {
        return s && (s == subject || (static_cast<NSUInteger>(l) == length && h == hash));
    };
    for (auto& e : c.entries)
        if (e.setToString && matches(e.setToString.get(), rxl_subjectHash(e), e.setToLength)) detach(e, true);
    for (auto& b : c.fixed)
        if (matches(b.string.get(), b.hash, b.length)) emptyBuffer(b);
    for (auto& b : c.dynamic)
        if (matches(b.string.get(), b.hash, b.length)) emptyBuffer(b);
}

void rxl_applyMatchLimits(URegularExpression* regex, UErrorCode& status)
{
    uregex_setTimeLimit(regex, g_matchTimeLimit.load(std::memory_order_relaxed), &status);
    uregex_setStackLimit(regex, kMatchStackLimit, &status);
}

namespace NSStringExt {

void setRegexMatchTimeLimit(int32_t steps)
{
    g_matchTimeLimit.store(std::max(steps, 0), std::memory_order_relaxed);
    // Cached matchers carry the old limit.
    clearStringCache();
}

int32_t regexMatchTimeLimit() { return g_matchTimeLimit.load(std::memory_order_relaxed); }

void clearStringCache()
{
    RXLLockScope lock;
    lock.lock();
    RXLCacheState& c = cache();
    c.last = nullptr;
    for (auto& e : c.entries) releaseCacheEntry(e);
    for (auto& b : c.fixed) emptyBuffer(b);
    for (auto& b : c.dynamic) {
        emptyBuffer(b);
        std::free(b.uniChar);
        b.uniChar = nullptr;
        b.capacity = 0;
    }
    lock.unlock();
}

void flushCachedRegexData(const Ref<NSString>& receiver)
{
    if (!receiver) return;
    const NSUInteger length = receiver->length();
    const uint64_t hash = rxl_hashOf(receiver.get());
    RXLLockScope lock;
    lock.lock();
    rxl_forgetSubject(receiver.get(), length, hash);
    lock.unlock();
}

}  // namespace NSStringExt

namespace RXLCacheTesting {

uint64_t compileCount() { return g_compileCount.load(std::memory_order_relaxed); }

unsigned setOf(const Ref<NSString>& regex, RXLRegexOptions options) { return setIndex(regex->hash(), options); }

int entryIndexOf(const Ref<NSString>& regex, RXLRegexOptions options)
{
    RXLLockScope lock;
    lock.lock();
    int found = -1;
    const unsigned set = setIndex(regex->hash(), options);
    for (unsigned way = 0; way < kWays; ++way)
        if (samePattern(cache().entries[set * kWays + way], regex.get(), options))
            found = static_cast<int>(set * kWays + way);
    lock.unlock();
    return found;
}

uint16_t lruWord(unsigned set)
{
    RXLLockScope lock;
    lock.lock();
    uint16_t word = cache().sets[set];
    lock.unlock();
    return word;
}

bool anyEntryAttachedTo(const NSString* subject)
{
    RXLLockScope lock;
    lock.lock();
    bool found = false;
    for (auto& e : cache().entries) found = found || e.setToString.get() == subject;
    lock.unlock();
    return found;
}

static int bufferHolding(const RXLBuffer* group, const NSString* subject)
{
    RXLLockScope lock;
    lock.lock();
    int found = -1;
    for (int i = 0; i < 4; ++i)
        if (group[i].string.get() == subject) found = i;
    lock.unlock();
    return found;
}

int fixedBufferHolding(const NSString* subject) { return bufferHolding(cache().fixed, subject); }
int dynamicBufferHolding(const NSString* subject) { return bufferHolding(cache().dynamic, subject); }
unsigned leastRecentWay(uint16_t word) { return rxl_lruLeastRecent(word); }
const unichar* fixedBufferArray(int index) { return cache().fixed[index].uniChar; }
bool lockIsHeld() { return rxl_cacheSpinLockIsLocked(); }

}  // namespace RXLCacheTesting
