#pragma once
// A one-shot signal for a caller that waits for work posted to another thread
// or queue, and a guard that fires it when released. The posted work holds
// the guard, so the signal fires once the work has run or when it is dropped
// unrun (its run loop or queue went away): a waiter never waits for ever.
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>

class NSCompletionSignal {
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

class NSFireOnRelease {
public:
    explicit NSFireOnRelease(std::shared_ptr<NSCompletionSignal> signal)
        : m_signal(std::move(signal))
    { }
    NSFireOnRelease(const NSFireOnRelease&) = delete;
    NSFireOnRelease& operator=(const NSFireOnRelease&) = delete;
    ~NSFireOnRelease() { m_signal->fire(); }

private:
    std::shared_ptr<NSCompletionSignal> m_signal;
};
