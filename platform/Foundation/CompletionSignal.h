#pragma once
// A one-shot signal for a caller that waits for work posted to another thread
// or queue, and a guard that fires it when released. The posted work holds
// the guard, so the signal fires once the work has run or when it is dropped
// unrun (its run loop or queue went away): a waiter never waits for ever.
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>

class CompletionSignal {
public:
    void fire()
    {
        std::lock_guard guard(m_lock);
        m_done = true;
        m_cv.notify_all();
    }
    void wait()
    {
        std::unique_lock lock(m_lock);
        m_cv.wait(lock, [&] { return m_done; });
    }

    // What the work raised, for the waiter to rethrow; set before firing.
    std::exception_ptr error;

private:
    std::mutex m_lock;
    std::condition_variable m_cv;
    bool m_done = false;
};

class FireOnRelease {
public:
    explicit FireOnRelease(std::shared_ptr<CompletionSignal> signal)
        : m_signal(std::move(signal))
    { }
    FireOnRelease(const FireOnRelease&) = delete;
    FireOnRelease& operator=(const FireOnRelease&) = delete;
    ~FireOnRelease() { m_signal->fire(); }

private:
    std::shared_ptr<CompletionSignal> m_signal;
};
