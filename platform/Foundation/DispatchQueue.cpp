#include "Foundation/DispatchQueue.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <thread>
#include <vector>

#include "Foundation/CompletionSignal.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSRunLoop.h"
#include "Foundation/NSThread.h"

NS_CLASS_DEFINE(DispatchQueue)

namespace {

// The queues whose blocks are running on this thread, innermost last.
thread_local std::vector<DispatchQueue*> t_queues;

class QueueScope {
public:
    explicit QueueScope(DispatchQueue* queue) { t_queues.push_back(queue); }
    ~QueueScope() { t_queues.pop_back(); }
    QueueScope(const QueueScope&) = delete;
    QueueScope& operator=(const QueueScope&) = delete;
};

// A block on a worker has no caller to raise to: log what ended it.
void runLogged(const std::function<void()>& block)
{
    try {
        block();
    } catch (const NSException& e) {
        NSLog("*** Uncaught exception in a queued block %@: %@", e.name(), e.reason());
    } catch (const std::exception& e) {
        NSLog("*** Uncaught exception in a queued block: %s", e.what());
    }
}

// Worker threads shared by every queue. A thread is added whenever more jobs
// wait than threads are idle, so blocks that wait for each other still run;
// at exit the workers finish their current job and are joined.
class WorkerPool {
public:
    static WorkerPool& shared()
    {
        static WorkerPool pool;
        return pool;
    }

    void submit(std::function<void()> job)
    {
        std::unique_lock guard(m_lock);
        if (m_stop) {
            guard.unlock();
            return;  // the process is ending; the job is dropped
        }
        m_jobs.push_back(std::move(job));
        if (m_jobs.size() > m_idle && m_threads.size() < kMaxThreads) {
            ++m_live;
            m_threads.emplace_back([this] { work(); });
        }
        m_wake.notify_one();
    }

    ~WorkerPool()
    {
        std::deque<std::function<void()>> dropped;
        std::unique_lock lock(m_lock);
        m_stop = true;
        dropped.swap(m_jobs);
        m_wake.notify_all();
        m_ended.wait_for(lock, std::chrono::seconds(5), [&] { return m_live == 0; });
        const bool allEnded = m_live == 0;
        lock.unlock();
        for (auto& t : m_threads) {
            if (allEnded) t.join();
            else t.detach();
        }
    }

private:
    static constexpr size_t kMaxThreads = 64;

    void work()
    {
        std::unique_lock lock(m_lock);
        for (;;) {
            ++m_idle;
            m_wake.wait(lock, [&] { return m_stop || !m_jobs.empty(); });
            --m_idle;
            if (m_stop) break;
            auto job = std::move(m_jobs.front());
            m_jobs.pop_front();
            lock.unlock();
            runLogged(job);
            job = nullptr;
            lock.lock();
        }
        --m_live;
        m_ended.notify_all();
    }

    std::mutex m_lock;
    std::condition_variable m_wake;
    std::condition_variable m_ended;
    std::deque<std::function<void()>> m_jobs;
    std::vector<std::thread> m_threads;
    size_t m_idle = 0;
    size_t m_live = 0;
    bool m_stop = false;
};

}

Ref<DispatchQueue> DispatchQueue::create(const std::string& label, Kind kind)
{
    auto queue = alloc<DispatchQueue>();
    queue->m_label = label;
    queue->m_kind = kind;
    return queue;
}

Ref<DispatchQueue> DispatchQueue::main()
{
    static DispatchQueue* queue = [] {
        auto q = create("main-thread", Kind::Serial);
        q->m_isMain = true;
        return q.leak();
    }();
    return queue;
}

Ref<DispatchQueue> DispatchQueue::global()
{
    static DispatchQueue* queue = create("global", Kind::Concurrent).leak();
    return queue;
}

Ref<DispatchQueue> DispatchQueue::current()
{
    if (!t_queues.empty()) return t_queues.back();
    return NSThread::isMainThread() ? main() : nullptr;
}

bool DispatchQueue::currentIsMain() { return current() == main(); }

void DispatchQueue::async(std::function<void()> block)
{
    if (!block) return;
    if (m_isMain) {
        {
            std::lock_guard guard(m_lock);
            m_blocks.push_back(std::move(block));
        }
        NSRunLoop::mainRunLoop()->wakeUp();
        return;
    }
    Ref<DispatchQueue> self(this);
    if (m_kind == Kind::Concurrent) {
        WorkerPool::shared().submit([self, block = std::move(block)] {
            QueueScope scope(self.get());
            block();
        });
        return;
    }
    bool start;
    {
        std::lock_guard guard(m_lock);
        m_blocks.push_back(std::move(block));
        start = !m_draining;
        m_draining = true;
    }
    if (start) WorkerPool::shared().submit([self] { self->drainSerial(); });
}

void DispatchQueue::drainSerial()
{
    for (;;) {
        std::function<void()> block;
        {
            std::lock_guard guard(m_lock);
            if (m_blocks.empty()) {
                m_draining = false;
                return;
            }
            block = std::move(m_blocks.front());
            m_blocks.pop_front();
        }
        QueueScope scope(this);
        runLogged(block);
    }
}

void DispatchQueue::sync(const std::function<void()>& block)
{
    if (!block) return;
    if (m_isMain && !NSThread::isMainThread()) {
        auto signal = std::make_shared<CompletionSignal>();
        // The caller waits, so the block can be used by reference.
        async([&block, signal, notifier = std::make_shared<FireOnRelease>(signal)] {
            try {
                block();
            } catch (...) {
                signal->error = std::current_exception();
            }
        });
        signal->wait();
        if (signal->error) std::rethrow_exception(signal->error);
        return;
    }
    if (m_kind == Kind::Serial && !m_isMain) {
        if (std::find(t_queues.begin(), t_queues.end(), this) != t_queues.end())
            NSException::raise(NSInternalInconsistencyException, "Synchronous dispatch onto the serial queue \"" +
                                                                     m_label + "\" from inside it would never return");
        // Hold the queue: a block on it signals our turn and waits until we
        // are done, so nothing else on the queue runs meanwhile.
        auto turn = std::make_shared<CompletionSignal>();
        auto finished = std::make_shared<CompletionSignal>();
        async([finished, notifier = std::make_shared<FireOnRelease>(turn)]() mutable {
            notifier = nullptr;
            finished->wait();
        });
        turn->wait();
        FireOnRelease finish{finished};
        QueueScope scope(this);
        block();
        return;
    }
    QueueScope scope(this);
    block();
}

bool DispatchQueue::drainMainQueue()
{
    DispatchQueue* queue = main().get();
    size_t count;
    {
        std::lock_guard guard(queue->m_lock);
        count = queue->m_blocks.size();
    }
    for (size_t i = 0; i < count; ++i) {
        std::function<void()> block;
        {
            std::lock_guard guard(queue->m_lock);
            if (queue->m_blocks.empty()) break;
            block = std::move(queue->m_blocks.front());
            queue->m_blocks.pop_front();
        }
        QueueScope scope(queue);
        block();
    }
    return count > 0;
}

size_t DispatchQueue::mainQueuePendingCount()
{
    DispatchQueue* queue = main().get();
    std::lock_guard guard(queue->m_lock);
    return queue->m_blocks.size();
}
