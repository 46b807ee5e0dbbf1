#pragma once
// A lock that the thread holding it may take again; it is free once unlocked
// as many times as it was locked.
#include <mutex>

#include "Foundation/NSObject.h"

class NSRecursiveLock : public NSObject {
    NS_OBJECT(NSRecursiveLock, NSObject)
protected:
    NSRecursiveLock() = default;

public:
    void lock() { m_mutex.lock(); }
    void unlock() { m_mutex.unlock(); }
    bool tryLock() { return m_mutex.try_lock(); }

private:
    std::recursive_mutex m_mutex;
};
