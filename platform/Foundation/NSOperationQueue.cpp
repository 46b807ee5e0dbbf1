#include "Foundation/NSOperationQueue.h"

#include <algorithm>

#include "Foundation/DispatchQueue.h"
#include "Foundation/NSBlockOperation.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSRunLoop.h"
#include "Foundation/NSThread.h"

NS_CLASS_DEFINE(NSOperationQueue)

namespace {
// The operation queues whose operations are running on this thread.
thread_local std::vector<NSOperationQueue*> t_queues;

const Ref<NSString>& operationCountKey()
{
    static const Ref<NSString> key = "operationCount"_ns;
    return key;
}
}

void NSOperationQueue::describeClass(NSClassMembers<NSOperationQueue>& m)
{
    m.property("operationCount", &NSOperationQueue::operationCount);
}

Ref<NSOperationQueue> NSOperationQueue::mainQueue()
{
    static NSOperationQueue* queue = [] {
        auto q = make<NSOperationQueue>();
        q->m_isMain = true;
        q->m_maxConcurrent = 1;
        return q.leak();
    }();
    return queue;
}

Ref<NSOperationQueue> NSOperationQueue::currentQueue()
{
    if (!t_queues.empty()) return t_queues.back();
    return NSThread::isMainThread() ? mainQueue() : nullptr;
}

void NSOperationQueue::addOperation(const Ref<NSOperation>& operation)
{
    if (!operation) return;
    {
        std::lock_guard opGuard(operation->m_lock);
        if (operation->m_enqueued || operation->m_started)
            NSException::raise(
                NSInvalidArgumentException,
                "-[NSOperationQueue addOperation:]: operation is already enqueued on a queue, running or finished");
        operation->m_enqueued = true;
    }
    // Observers hear of the change on the thread that made it, outside the lock.
    willChangeValueForKey(operationCountKey());
    {
        std::lock_guard guard(m_lock);
        m_waiting.push_back(operation);
    }
    didChangeValueForKey(operationCountKey());
    startWaiting();
}

void NSOperationQueue::addOperationWithBlock(std::function<void()> block)
{
    addOperation(NSBlockOperation::blockOperationWithBlock(std::move(block)));
}

NSInteger NSOperationQueue::maxConcurrentOperationCount() const
{
    std::lock_guard guard(m_lock);
    return m_maxConcurrent;
}

void NSOperationQueue::setMaxConcurrentOperationCount(NSInteger count)
{
    if (m_isMain) return;  // the main queue stays serial
    {
        std::lock_guard guard(m_lock);
        m_maxConcurrent = count < 0 ? NSOperationQueueDefaultMaxConcurrentOperationCount : count;
    }
    startWaiting();
}

NSUInteger NSOperationQueue::operationCount() const
{
    std::lock_guard guard(m_lock);
    return m_waiting.size() + m_running.size();
}

void NSOperationQueue::cancelAllOperations()
{
    std::lock_guard guard(m_lock);
    for (const auto& op : m_waiting) op->cancel();
    for (const auto& op : m_running) op->cancel();
}

void NSOperationQueue::startWaiting()
{
    std::vector<Ref<NSOperation>> starting;
    {
        std::lock_guard guard(m_lock);
        while (!m_waiting.empty() &&
               (m_maxConcurrent < 0 || static_cast<NSInteger>(m_running.size()) < m_maxConcurrent)) {
            m_running.push_back(m_waiting.front());
            starting.push_back(m_waiting.front());
            m_waiting.pop_front();
        }
    }
    Ref<NSOperationQueue> self(this);
    auto queue = m_isMain ? DispatchQueue::main() : DispatchQueue::global();
    for (auto& op : starting) queue->async([self, op] { self->run(op); });
}

void NSOperationQueue::run(const Ref<NSOperation>& operation)
{
    struct Done {
        NSOperationQueue& queue;
        const Ref<NSOperation>& operation;
        ~Done()
        {
            t_queues.pop_back();
            // On the thread that ran the operation. An observer that raises
            // here must not take the queue's bookkeeping down with it.
            try {
                queue.willChangeValueForKey(operationCountKey());
            } catch (const std::exception& e) {
                NSLog("NSOperationQueue: an operationCount observer raised: %s", e.what());
            }
            {
                std::lock_guard guard(queue.m_lock);
                std::erase(queue.m_running, operation);
            }
            try {
                queue.didChangeValueForKey(operationCountKey());
            } catch (const std::exception& e) {
                NSLog("NSOperationQueue: an operationCount observer raised: %s", e.what());
            }
            queue.m_countChanged.notify_all();
            queue.startWaiting();
        }
    };
    t_queues.push_back(this);
    Done done{*this, operation};
    operation->start();
}

void NSOperationQueue::waitUntilAllOperationsAreFinished()
{
    if (m_isMain && NSThread::isMainThread()) {
        // The main queue's operations run on this very thread.
        auto loop = NSRunLoop::mainRunLoop();
        NSRunLoopMode mode = loop->currentMode();
        if (mode.empty()) mode = NSDefaultRunLoopMode;
        while (operationCount() > 0) loop->runModeBeforeDate(mode, NSDate::distantFuture());
        return;
    }
    std::unique_lock lock(m_lock);
    m_countChanged.wait(lock, [&] { return m_waiting.empty() && m_running.empty(); });
}
