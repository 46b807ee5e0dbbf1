#pragma once
// Serial and concurrent queues of blocks, run on a shared pool of worker
// threads, and the main queue, which the main run loop drains in every mode.
#include <deque>
#include <functional>
#include <mutex>
#include <string>

#include "Foundation/NSObject.h"

class DispatchQueue : public NSObject {
    NS_OBJECT(DispatchQueue, NSObject)
protected:
    DispatchQueue() = default;

public:
    enum class Kind { Serial, Concurrent };

    static Ref<DispatchQueue> create(const std::string& label, Kind kind = Kind::Serial);
    static Ref<DispatchQueue> main();
    // The shared concurrent queue.
    static Ref<DispatchQueue> global();
    // The queue whose block is running on this thread; on the main thread
    // outside any block, the main queue; elsewhere nil.
    static Ref<DispatchQueue> current();
    static bool currentIsMain();

    // A serial queue runs its blocks one at a time in order; a concurrent one
    // starts them in order and may run them together.
    void async(std::function<void()> block);
    // Runs the block and returns when it has run. Sync on the main queue runs
    // at once on the main thread and is posted to it from other threads; on
    // a serial queue the block runs on the calling thread once the queue is
    // idle. Sync onto a serial queue from inside it would never return and
    // raises NSInternalInconsistencyException. An exception raised by the
    // block reaches the caller.
    void sync(const std::function<void()>& block);

    const std::string& label() const { return m_label; }
    bool isSerial() const { return m_kind == Kind::Serial; }

private:
    friend class NSRunLoop;
    // Runs the blocks on the main queue when the pass began; answers whether
    // there were any.
    static bool drainMainQueue();
    static size_t mainQueuePendingCount();
    void drainSerial();

    std::string m_label;
    Kind m_kind = Kind::Serial;
    bool m_isMain = false;
    std::mutex m_lock;
    std::deque<std::function<void()>> m_blocks;
    bool m_draining = false;
};
