#include "Foundation/NSThread.h"

#include <sys/types.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <thread>
#include <vector>

#include "Foundation/NSAutoreleasePool.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSLog.h"

NS_CLASS_DEFINE(NSThread)

// The calling thread's NSThread. When the thread ends, its run loop goes with
// it, releasing what its timers and sources held.
struct ThreadLocalState {
    Ref<NSThread> thread;
    ~ThreadLocalState()
    {
        if (thread && !thread->isMain()) thread->endOfThread();
    }
};

namespace {

thread_local ThreadLocalState t_current;
std::atomic<pid_t> g_mainThreadId{0};

pid_t mainThreadId()
{
    pid_t id = g_mainThreadId.load();
    if (id) return id;
    // The process's first thread has the process id as its thread id.
    pid_t expected = 0;
    g_mainThreadId.compare_exchange_strong(expected, ::getpid());
    return g_mainThreadId.load();
}

// Threads started by NSThread. Ended ones are joined as new ones start; at
// exit the registry waits a little for running ones, so their resources are
// released, and leaves behind only those that do not end.
class ThreadRegistry {
public:
    static ThreadRegistry& shared()
    {
        static ThreadRegistry registry;
        return registry;
    }

    void spawn(std::function<void()> body)
    {
        std::lock_guard guard(m_lock);
        reapEnded();
        auto entry = std::make_unique<Entry>();
        Entry* raw = entry.get();
        entry->thread = std::thread([this, raw, body = std::move(body)]() mutable {
            body();
            body = nullptr;
            std::lock_guard guard(m_lock);
            raw->ended = true;
            m_changed.notify_all();
        });
        m_threads.push_back(std::move(entry));
    }

    ~ThreadRegistry()
    {
        std::unique_lock lock(m_lock);
        m_changed.wait_for(lock, std::chrono::seconds(5), [&] {
            return std::all_of(m_threads.begin(), m_threads.end(), [](const auto& e) { return e->ended; });
        });
        for (auto& e : m_threads) {
            if (e->ended) e->thread.join();
            else e->thread.detach();
        }
    }

private:
    struct Entry {
        std::thread thread;
        bool ended = false;
    };

    void reapEnded()
    {
        for (auto it = m_threads.begin(); it != m_threads.end();) {
            if (!(*it)->ended) {
                ++it;
                continue;
            }
            (*it)->thread.join();
            it = m_threads.erase(it);
        }
    }

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<std::unique_ptr<Entry>> m_threads;
};

}

NSThread::NSThread() = default;
NSThread::~NSThread() = default;

Ref<NSThread> NSThread::mainThread()
{
    // Never destroyed, like the main run loop it owns.
    static NSThread* main = [] {
        auto thread = alloc<NSThread>();
        thread->m_isMain = true;
        thread->m_started = true;
        thread->m_executing.store(true);
        return thread.leak();
    }();
    return main;
}

Ref<NSThread> NSThread::currentThread()
{
    if (!t_current.thread) {
        if (isMainThread()) {
            t_current.thread = mainThread();
        } else {
            auto thread = alloc<NSThread>();
            thread->m_started = true;
            thread->m_executing.store(true);
            t_current.thread = thread;
        }
    }
    return t_current.thread;
}

bool NSThread::isMainThread() { return ::gettid() == mainThreadId(); }

bool NSThread::isMain() const { return m_isMain; }

void NSThread::markCurrentThreadAsMain()
{
    g_mainThreadId.store(::gettid());
    t_current.thread = mainThread();
}

Id NSThread::initWithTarget(const Id& target, const SEL& selector, const Id& argument)
{
    std::lock_guard guard(m_lock);
    m_target = target;
    m_selector = selector;
    m_argument = argument;
    return this;
}

Id NSThread::initWithBlock(std::function<void()> block)
{
    std::lock_guard guard(m_lock);
    m_block = std::move(block);
    return this;
}

void NSThread::detachNewThreadSelector(const SEL& selector, const Id& target, const Id& argument)
{
    auto thread = alloc<NSThread>();
    thread->initWithTarget(target, selector, argument);
    thread->start();
}

void NSThread::detachNewThreadWithBlock(std::function<void()> block)
{
    auto thread = alloc<NSThread>();
    thread->initWithBlock(std::move(block));
    thread->start();
}

void NSThread::start()
{
    {
        std::lock_guard guard(m_lock);
        if (m_started)
            NSException::raise(NSInvalidArgumentException, "-[NSThread start]: attempt to start the thread again");
        m_started = true;
    }
    m_executing.store(true);
    Ref<NSThread> self(this);
    ThreadRegistry::shared().spawn([self]() mutable {
        t_current.thread = self;
        self = nullptr;
        t_current.thread->main();
    });
}

void NSThread::main()
{
    run();
    {
        // What the thread held goes when its body ends, before it counts as
        // finished; released outside the lock.
        Id target;
        Id argument;
        std::function<void()> block;
        std::lock_guard guard(m_lock);
        target = std::move(m_target);
        argument = std::move(m_argument);
        block = std::move(m_block);
    }
    m_executing.store(false);
    m_finished.store(true);
}

void NSThread::run()
{
    Id target;
    SEL selector;
    Id argument;
    std::function<void()> block;
    {
        std::lock_guard guard(m_lock);
        target = m_target;
        selector = m_selector;
        argument = m_argument;
        block = m_block;
    }
    try {
        NSAutoreleasePool pool;
        if (block) block();
        else if (target) target->performSelector(selector, argument);
    } catch (const NSException& e) {
        NSLog("*** Thread ended by an uncaught exception %@: %@", e.name(), e.reason());
    } catch (const std::exception& e) {
        NSLog("*** Thread ended by an uncaught exception: %s", e.what());
    }
}

void NSThread::endOfThread()
{
    Ref<NSRunLoop> loop;
    {
        std::lock_guard guard(m_lock);
        loop = std::move(m_runLoop);
        m_runLoop = nullptr;
    }
    m_executing.store(false);
    m_finished.store(true);
}

void NSThread::sleepForTimeInterval(NSTimeInterval seconds)
{
    if (seconds > 0) std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

Ref<NSRunLoop> NSThread::runLoop()
{
    std::lock_guard guard(m_lock);
    if (!m_runLoop) {
        m_runLoop = alloc<NSRunLoop>();
        m_runLoop->m_isMain = m_isMain;
    }
    return m_runLoop;
}
