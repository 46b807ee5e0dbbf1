#pragma once
// A unit of work with a life cycle: ready, executing, finished. Subclasses
// override main(). A cancelled operation finishes without running main when
// it is started; one already running sees isCancelled and may stop early.
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "Foundation/NSObject.h"

class NSOperation : public NSObject {
    NS_OBJECT(NSOperation, NSObject)
protected:
    NSOperation() = default;

public:
    // Runs main (unless cancelled), then marks the operation finished and
    // runs the completion block. Starting it twice raises.
    virtual void start();
    // The work; the default does nothing.
    virtual void main() { }

    void cancel() { m_cancelled.store(true); }
    bool isCancelled() const { return m_cancelled.load(); }
    bool isExecuting() const { return m_executing.load(); }
    bool isFinished() const { return m_finished.load(); }

    // Runs once the operation has finished, on the thread that finished it,
    // and is then released.
    void setCompletionBlock(std::function<void()> block);
    std::function<void()> completionBlock() const;

    void waitUntilFinished();

private:
    friend class NSOperationQueue;
    // Answers the completion block, which the operation lets go of.
    std::function<void()> markFinished();
    std::atomic<bool> m_cancelled{false};
    std::atomic<bool> m_executing{false};
    std::atomic<bool> m_finished{false};
    bool m_started = false;
    bool m_enqueued = false;
    mutable std::mutex m_lock;
    std::condition_variable m_finishedChanged;
    std::function<void()> m_completionBlock;
};
