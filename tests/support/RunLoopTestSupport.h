#pragma once
// Helpers for run-loop, timer, thread and queue tests.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "Foundation/Clock.h"
#include "Foundation/NSRunLoop.h"

// A test on the virtual clock, starting at a fixed time; the real clock is
// back afterwards.
class VirtualClockTest : public ::testing::Test {
protected:
    static constexpr NSTimeInterval kStart = 1000.0;

    void SetUp() override
    {
        Clock::useVirtualClock(kStart);
        loop = NSRunLoop::currentRunLoop();
    }
    void TearDown() override
    {
        Clock::setAdvancesWhenIdle(false);
        loop->runUntilIdle();
        Clock::useRealClock();
    }
    // Virtual seconds since the test began.
    static NSTimeInterval elapsed() { return Clock::now() - kStart; }

    Ref<NSRunLoop> loop;
};

// A one-shot flag another thread can wait for, never for ever.
class Flag {
public:
    void set()
    {
        std::lock_guard guard(m_lock);
        m_set = true;
        m_cv.notify_all();
    }
    bool isSet()
    {
        std::lock_guard guard(m_lock);
        return m_set;
    }
    bool waitFor(double seconds = 5.0)
    {
        std::unique_lock lock(m_lock);
        return m_cv.wait_for(lock, std::chrono::duration<double>(seconds), [&] { return m_set; });
    }

private:
    std::mutex m_lock;
    std::condition_variable m_cv;
    bool m_set = false;
};

// Lines appended from any thread.
class EventLog {
public:
    void add(std::string line)
    {
        std::lock_guard guard(m_lock);
        m_lines.push_back(std::move(line));
    }
    std::vector<std::string> lines()
    {
        std::lock_guard guard(m_lock);
        return m_lines;
    }
    size_t size()
    {
        std::lock_guard guard(m_lock);
        return m_lines.size();
    }

private:
    std::mutex m_lock;
    std::vector<std::string> m_lines;
};

// "name@seconds" with the seconds rounded to milliseconds.
inline std::string at(const std::string& name, NSTimeInterval seconds)
{
    return name + "@" + std::to_string(static_cast<long long>(seconds * 1000 + (seconds >= 0 ? 0.5 : -0.5)));
}
