#pragma once
// A mutual-exclusion lock. Unlocking from another thread than the one that
// locked it, or locking it twice from one thread, is not allowed.
#include <mutex>

#include "Foundation/NSObject.h"

class NSLock : public NSObject {
    NS_OBJECT(NSLock, NSObject)
protected:
    NSLock() = default;

public:
    void lock() { m_mutex.lock(); }
    void unlock() { m_mutex.unlock(); }
    bool tryLock() { return m_mutex.try_lock(); }

private:
    std::mutex m_mutex;
};
