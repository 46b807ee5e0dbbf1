#include <atomic>

#include <sched.h>
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "Foundation/NSLog.h"
#include "RegexLite/RXLPrivate.h"

std::atomic<bool> rxl_cacheSpinLock{false};

namespace {

std::atomic<uint64_t> rxl_debugCount{0};
std::atomic<bool> rxl_warnedStillLocked{false};
std::atomic<bool> rxl_warnedNotLocked{false};

inline void cpuPause()
{
#if defined(__x86_64__) || defined(__i386__)
    _mm_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#endif
}

}  // namespace

void rxl_lockCacheSpinLockContended()
{
    // Operations are short, so spin briefly first; yield after that so that a
    // holder that was preempted gets the core back instead of being starved
    // by spinners.
    for (;;) {
        for (int i = 0; i < 100; ++i) {
            cpuPause();
            if (!rxl_cacheSpinLock.load(std::memory_order_relaxed)) break;
        }
        if (rxl_cacheSpinLock.load(std::memory_order_relaxed)) sched_yield();
        if (!rxl_cacheSpinLock.exchange(true, std::memory_order_acquire)) return;
    }
}

bool rxl_cacheSpinLockIsLocked() { return rxl_cacheSpinLock.load(std::memory_order_relaxed); }

void rxl_debugCacheSpinLock()
{
    // A place for a breakpoint; the count shows how often it happened.
    rxl_debugCount.fetch_add(1, std::memory_order_relaxed);
}

void RXLLockScope::lockCleanup()
{
    if (rxl_cacheSpinLockIsLocked()) {
        // Released before logging, so a log sink may use regular expressions.
        rxl_unlockCacheSpinLock();
        if (!rxl_warnedStillLocked.exchange(true))
            LogMessage(NSString::stringWithUTF8String("[RegexLite] Unusual condition detected: Recorded that "
                                                      "rxl_cacheSpinLock was locked, but for some reason it "
                                                      "was not unlocked.  Forcibly unlocking rxl_cacheSpinLock. Set "
                                                      "a breakpoint at rxl_debugCacheSpinLock to "
                                                      "debug. This warning is only printed once."));
        rxl_debugCacheSpinLock();
        return;
    }
    if (!rxl_warnedNotLocked.exchange(true))
        LogMessage(NSString::stringWithUTF8String("[RegexLite] Unusual condition detected: Recorded that "
                                                  "rxl_cacheSpinLock was locked, but for some reason it was "
                                                  "not unlocked, yet rxl_cacheSpinLock is currently not locked? Set "
                                                  "a breakpoint at rxl_debugCacheSpinLock to "
                                                  "debug. This warning is only printed once."));
    rxl_debugCacheSpinLock();
}
