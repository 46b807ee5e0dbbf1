#pragma once
// Shared internals of the regular-expression layer: the cache records, the
// lock, deferred errors and the operations behind the public methods.
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <unicode/uregex.h>

#include "Foundation/NSException.h"
#include "RegexLite/RegexLite.h"

inline constexpr NSRange RXLNotFoundRange = {static_cast<NSUInteger>(NSNotFound), 0};
inline constexpr NSInteger RXLIntMax = 0x7fffffff;

// Who called, for the "*** -[Class selector]: " prefix of every reason. A null
// receiver stands for a class method of `className`, or for a missing
// receiver when `className` is null.
struct RXLCaller {
    const NSObject* receiver = nullptr;
    const char* selector = nullptr;
    const char* className = nullptr;
};

// A UTF-16 copy of a subject whose characters cannot be read in place.
struct RXLBuffer {
    Ref<NSString> string;
    uint64_t hash = 0;
    NSInteger length = 0;
    uint64_t mutationCount = 0;
    unichar* uniChar = nullptr;
    NSUInteger capacity = 0;
};

// One compiled pattern and the subject it is attached to.
struct RXLCachedRegex {
    Ref<NSString> regexString;
    uint64_t regexHash = 0;
    RXLRegexOptions options = 0;
    URegularExpression* icu_regex = nullptr;
    NSInteger captureCount = -1;

    Ref<NSString> setToString;
    // Taken when attaching a mutable subject; for an immutable one, whose
    // text cannot change, only when first needed (rxl_subjectHash), which
    // spares a read of the subject on the cached-match path.
    uint64_t setToHash = 0;
    bool setToHashKnown = false;
    NSInteger setToLength = 0;
    // Mutable subjects are compared by their mutation count as well, so a
    // change in place at the same length is always noticed.
    uint64_t setToMutationCount = 0;
    bool setToIsImmutable = false;
    bool setToNeedsConversion = false;
    const unichar* setToUniChar = nullptr;
    NSRange setToRange = RXLNotFoundRange;
    NSRange lastFindRange = RXLNotFoundRange;
    NSRange lastMatchRange = RXLNotFoundRange;
    RXLBuffer* buffer = nullptr;
    // ICU was just given the text and has not searched it yet, so a search
    // from its start needs no reset.
    bool icuAtStart = false;
};

// An error found under the lock, raised once the lock is free.
// Kept small: every operation makes one.
struct RXLDeferred {
    std::unique_ptr<NSException> exception;
    Ref<NSDictionary> assertion;
    explicit operator bool() const { return exception || assertion; }
    void set(NSException e) { exception = std::make_unique<NSException>(std::move(e)); }
};

// --- The lock (RXLSpinLock.cpp) ---
// Taking a free lock is inline: every operation takes it once, and most find
// it free.
extern std::atomic<bool> rxl_cacheSpinLock;
void rxl_lockCacheSpinLockContended();
inline void rxl_lockCacheSpinLock()
{
    if (!rxl_cacheSpinLock.exchange(true, std::memory_order_acquire)) return;
    rxl_lockCacheSpinLockContended();
}
inline void rxl_unlockCacheSpinLock() { rxl_cacheSpinLock.store(false, std::memory_order_release); }
bool rxl_cacheSpinLockIsLocked();
void rxl_debugCacheSpinLock();

// Records whether an operation took and released the lock; when the operation
// ends with the lock taken but not released (an exception left it), the lock
// is released and the event reported.
class RXLLockScope {
public:
    RXLLockScope() = default;
    RXLLockScope(const RXLLockScope&) = delete;
    RXLLockScope& operator=(const RXLLockScope&) = delete;
    ~RXLLockScope()
    {
        if ((m_state & 3) == 1) lockCleanup();
    }
    void lock()
    {
        rxl_lockCacheSpinLock();
        m_state |= 1;
    }
    void unlock()
    {
        rxl_unlockCacheSpinLock();
        m_state |= 2;
    }

private:
    static void lockCleanup();
    unsigned m_state = 0;  // bit 0 taken, bit 1 released
};

// --- Errors (RXLErrors.cpp) ---
std::string rxl_prefixedReason(const RXLCaller& caller, const std::string& message);
// Builds an exception whose reason carries the caller prefix exactly once.
NSException rxl_exception(const RXLCaller& caller, const char* name, const std::string& message,
                          Ref<NSDictionary> userInfo = nullptr);
[[noreturn]] void rxl_raise(const RXLCaller& caller, const char* name, const std::string& message);
// Raises the deferred item; nothing happens when there is none.
void rxl_raiseDeferred(RXLDeferred& deferred);

struct RXLErrorInfo {
    Ref<NSString> regex;
    std::optional<RXLRegexOptions> options;
    UErrorCode status = U_ZERO_ERROR;
    const UParseError* parseError = nullptr;
    Ref<NSString> subject;
    std::optional<NSRange> range;
    Ref<NSString> replacement;
    Ref<NSString> replaced;
    std::optional<NSInteger> replacedCount;
    std::optional<RXLRegexEnumerationOptions> enumerationOptions;
    std::vector<std::pair<Id, Id>> extra;  // (object, key)
};
Ref<NSDictionary> rxl_errorUserInfo(const RXLErrorInfo& info);
Ref<NSError> rxl_makeNSError(const RXLErrorInfo& info);
NSException rxl_icuException(const RXLCaller& caller, const RXLErrorInfo& info);

// A broken internal invariant: logs and stops the process through the abort
// hook (RegexLite/RXLAbort.h).
void rxl_assertionFailure(const char* file, long line, const char* condition);
#define RXL_ASSERT(condition) ((condition) ? (void)0 : rxl_assertionFailure(__FILE__, __LINE__, #condition))
// Hands an assertion record to the failure report; a record missing one of
// its keys is itself a broken invariant.
void rxl_reportAssertion(const Ref<NSDictionary>& record);
Ref<NSDictionary> rxl_assertionInfo(const char* function, const char* file, long line, const char* condition);

// Sets the process's time limit and a bounded backtracking stack on a fresh
// or cloned matcher (RXLCache.cpp).
void rxl_applyMatchLimits(URegularExpression* regex, UErrorCode& status);

// --- The cache (RXLCache.cpp); call with the lock held ---
RXLCachedRegex* rxl_getCachedRegex(const RXLCaller& caller, NSString* regex, RXLRegexOptions options,
                                   Ref<NSError>* error, RXLDeferred& deferred);
// Looks the pattern up and attaches its entry to `range` of the subject (a
// length of NSUIntegerMax meaning to the end). Null when the pattern does not
// compile or the subject could not be attached; `subjectLength` receives the
// subject's length.
RXLCachedRegex* rxl_getCachedRegexSetToString(const RXLCaller& caller, NSString* regex, RXLRegexOptions options,
                                              NSString* subject, NSUInteger& subjectLength, NSRange& range,
                                              Ref<NSError>* error, RXLDeferred& deferred, UErrorCode& status);
// rangeOfRegex: with capture 0 and no error out-pointer, when the pattern is
// the one used last and the subject an ordinary immutable string; takes the
// lock itself. False when that does not hold or anything fails: the general
// operation then runs (and raises what there is to raise).
bool rxl_cachedRange(NSString* regex, RXLRegexOptions options, NSString* subject, NSRange range, NSRange& found);
void rxl_resetCachedRegexText(RXLCachedRegex& entry);
// Empties every buffer that holds the string (same object, or same length
// and hash) and detaches every entry attached to it.
void rxl_forgetSubject(const NSString* subject, NSUInteger length, uint64_t hash);
// LRU words: marks a way used, and answers the least recently used way.
uint16_t rxl_lruUse(uint16_t word, unsigned way);
unsigned rxl_lruLeastRecent(uint16_t word);
uint64_t rxl_hashOf(const NSString* s);
uint64_t rxl_subjectHash(RXLCachedRegex& entry);

// --- Operations (RXLOperations.cpp) ---
enum RXLRegexOp : int {
    RXLSplitOp = 1,
    RXLReplaceOp = 2,
    RXLRangeOp = 3,
    RXLArrayOfStringsOp = 4,
    RXLArrayOfCapturesOp = 5,
    RXLCapturesArrayOp = 6,
    RXLDictionaryOp = 7,
    RXLArrayOfDictionariesOp = 8,
    RXLMaskOp = 0xf,
    RXLReplaceMutable = 0x10,
    RXLSubcapturesArray = 0x20,
};

// The arguments of one operation. The strings are borrowed from the caller.
struct RXLOpArgs {
    RXLOpArgs(const RXLCaller& caller, int op, NSString* regex, RXLRegexOptions options, NSString* subject,
              NSRange* range, Ref<NSError>* error)
        : caller(caller)
        , op(op)
        , regex(regex)
        , options(options)
        , subject(subject)
        , range(range)
        , error(error)
    { }
    RXLCaller caller;
    int op;
    NSString* regex;
    RXLRegexOptions options;
    NSInteger capture = 0;
    NSString* subject;
    NSRange* range;
    NSString* replacement = nullptr;
    Ref<NSError>* error;
    NSRange* rangeResult = nullptr;
    NSInteger* replacedCount = nullptr;
    NSUInteger keyCount = 0;
    const Id* keys = nullptr;
    const int32_t* captures = nullptr;
};
Id rxl_performRegexOp(RXLOpArgs& args);

// The search state of one collection of match ranges, advanced one match (or
// one split piece) at a time.
struct RXLFindAll {
    int op = 0;
    NSInteger capture = 0;
    NSRange findInRange{};
    NSUInteger previousEnd = 0;
    bool finished = false;
    bool started = false;
    std::vector<NSRange> ranges;
};
void rxl_beginFind(RXLFindAll& find, int op, NSInteger capture, NSRange range);
// Appends the ranges of the next match or piece; false when none is left.
// An ICU failure sets `status` and ends the collection.
bool rxl_findNext(RXLCachedRegex& entry, RXLFindAll& find, UErrorCode& status);
// One search over `range`; with `advance` the range then starts after the match.
// `mayContinue` lets it continue where the previous search of the same
// collection ended.
bool rxl_search(RXLCachedRegex& entry, NSRange& range, bool advance, bool mayContinue, UErrorCode& status);
