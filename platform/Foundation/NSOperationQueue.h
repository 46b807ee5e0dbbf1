#pragma once
// Runs operations on worker threads (or, for the main queue, on the main
// thread through the main run loop), at most maxConcurrentOperationCount at a
// time, in the order they were added.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "Foundation/NSOperation.h"

// No limit: as many as the system runs well.
inline constexpr NSInteger NSOperationQueueDefaultMaxConcurrentOperationCount = -1;

class NSOperationQueue : public NSObject {
    NS_OBJECT(NSOperationQueue, NSObject)
protected:
    NSOperationQueue() = default;

public:
    // "operationCount" is observable; its notices come on the thread that
    // changed it (the adding thread, or the worker that finished).
    static void describeClass(NSClassMembers<NSOperationQueue>& m);

    // Serial, drained by the main run loop in every mode.
    static Ref<NSOperationQueue> mainQueue();
    // The queue running the current operation; the main queue on the main
    // thread outside any operation; elsewhere nil.
    static Ref<NSOperationQueue> currentQueue();

    // Adding an operation that is already in a queue, running or finished raises.
    void addOperation(const Ref<NSOperation>& operation);
    void addOperationWithBlock(std::function<void()> block);

    NSInteger maxConcurrentOperationCount() const;
    void setMaxConcurrentOperationCount(NSInteger count);
    // Operations added and not yet finished.
    NSUInteger operationCount() const;
    // Running operations go on (they see isCancelled); queued ones are marked
    // cancelled and then finish without running.
    void cancelAllOperations();
    // Blocks until every operation has finished (on the main thread for the
    // main queue, the main run loop runs meanwhile).
    void waitUntilAllOperationsAreFinished();

private:
    void startWaiting();
    void run(const Ref<NSOperation>& operation);

    mutable std::mutex m_lock;
    std::condition_variable m_countChanged;
    std::deque<Ref<NSOperation>> m_waiting;
    std::vector<Ref<NSOperation>> m_running;
    NSInteger m_maxConcurrent = NSOperationQueueDefaultMaxConcurrentOperationCount;
    bool m_isMain = false;
};
