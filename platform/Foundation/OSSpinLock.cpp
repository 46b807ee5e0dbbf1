#include "Foundation/OSSpinLock.h"

#include <thread>

namespace {

inline void cpuPause()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#endif
}

constexpr int kSpinsBeforeYield = 100;

}

void OSSpinLock::lock() noexcept
{
    for (;;) {
        if (tryLock()) return;
        // Spin on a plain read so waiters do not keep the cache line busy.
        for (int i = 0; i < kSpinsBeforeYield && isLocked(); ++i) cpuPause();
        if (isLocked()) std::this_thread::yield();
    }
}
