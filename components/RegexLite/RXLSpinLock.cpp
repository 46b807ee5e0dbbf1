#include <atomic>

#include <sched.h>
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "Foundation/NSLog.h"
#include "RegexLite/RXLPrivate.h"

std::atomic<bool> rkl_cacheSpinLock{false};

namespace {

std::atomic<uint64_t> rkl_debugCount{0};
std::atomic<bool> rkl_warnedStillLocked{false};
std::atomic<bool> rkl_warnedNotLocked{false};

inline void cpuPause()
{
#if defined(__x86_64__) || defined(__i386__)
    _mm_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#endif
}

}  // namespace

void rkl_lockCacheSpinLockContended()
{
    // Operations are short, so spin briefly first; yield after that so that a
    // holder that was preempted gets the core back instead of being starved
    // by spinners.
    for (;;) {
        for (int i = 0; i < 100; ++i) {
            cpuPause();
            if (!rkl_cacheSpinLock.load(std::memory_order_relaxed)) break;
        }
        if (rkl_cacheSpinLock.load(std::memory_order_relaxed)) sched_yield();
        if (!rkl_cacheSpinLock.exchange(true, std::memory_order_acquire)) return;
    }
}

bool rkl_cacheSpinLockIsLocked()
{
    return rkl_cacheSpinLock.load(std::memory_order_relaxed);
}

void rkl_debugCacheSpinLock()
{
    // A place for a breakpoint; the count shows how often it happened.
    rkl_debugCount.fetch_add(1, std::memory_order_relaxed);
}

void RXLLockScope::lockCleanup()
{
    if (rkl_cacheSpinLockIsLocked()) {
        // Released before logging, so a log sink may use regular expressions.
        rkl_unlockCacheSpinLock();
        if (!rkl_warnedStillLocked.exchange(true))
            NSLogMessage(NSString::stringWithUTF8String(
                "[RegexLite] Unusual condition detected: Recorded that rkl_cacheSpinLock was locked, but for some reason it "
                "was not unlocked.  Forcibly unlocking rkl_cacheSpinLock. Set a breakpoint at rkl_debugCacheSpinLock to "
                "debug. This warning is only printed once."));
        rkl_debugCacheSpinLock();
        return;
    }
    if (!rkl_warnedNotLocked.exchange(true))
        NSLogMessage(NSString::stringWithUTF8String(
            "[RegexLite] Unusual condition detected: Recorded that rkl_cacheSpinLock was locked, but for some reason it was "
            "not unlocked, yet rkl_cacheSpinLock is currently not locked? Set a breakpoint at rkl_debugCacheSpinLock to "
            "debug. This warning is only printed once."));
    rkl_debugCacheSpinLock();
}
