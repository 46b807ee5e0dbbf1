#pragma once
// A spin lock for very short critical sections: a waiter spins briefly, then
// yields its time slice between tries. Not re-entrant. isLocked answers
// whether anyone holds it now, for code that checks that a lock it took was
// released.
#include <atomic>

class OSSpinLock {
public:
    OSSpinLock() = default;
    OSSpinLock(const OSSpinLock&) = delete;
    OSSpinLock& operator=(const OSSpinLock&) = delete;

    void lock() noexcept;
    bool tryLock() noexcept { return !m_held.test_and_set(std::memory_order_acquire); }
    void unlock() noexcept { m_held.clear(std::memory_order_release); }
    bool isLocked() const noexcept { return m_held.test(std::memory_order_relaxed); }

private:
    std::atomic_flag m_held = ATOMIC_FLAG_INIT;
};
