#pragma once
// Threads, each with a run loop of its own. The main thread is the process's
// first thread unless another marks itself main before anything asks. A
// thread retains its target and argument while it runs. Threads still running
// when the process exits are waited for briefly, so their resources are
// released cleanly.
#include <atomic>
#include <functional>
#include <mutex>

#include "Foundation/NSObject.h"
#include "Foundation/NSRunLoop.h"

class NSThread : public NSObject {
    NS_OBJECT(NSThread, NSObject)
protected:
    NSThread();

public:
    ~NSThread() override;

    static Ref<NSThread> currentThread();
    static Ref<NSThread> mainThread();
    static bool isMainThread();
    // The instance form of isMainThread.
    bool isMain() const;
    // Makes the calling thread the main thread; call it before anything asks
    // for the main thread or the main run loop.
    static void markCurrentThreadAsMain();

    static void detachNewThreadSelector(const SEL& selector, const Id& target, const Id& argument);
    static void detachNewThreadWithBlock(std::function<void()> block);
    Id initWithTarget(const Id& target, const SEL& selector, const Id& argument);
    Id initWithBlock(std::function<void()> block);
    // Starts the thread; starting it twice raises.
    void start();

    // Cancellation is advisory: the thread's code polls isCancelled.
    void cancel() { m_cancelled.store(true); }
    bool isCancelled() const { return m_cancelled.load(); }
    bool isExecuting() const { return m_executing.load(); }
    bool isFinished() const { return m_finished.load(); }

    // Sleeps in real time.
    static void sleepForTimeInterval(NSTimeInterval seconds);

    // The thread's run loop, made on first use from any thread.
    Ref<NSRunLoop> runLoop();

private:
    friend struct ThreadLocalState;
    void main();
    void run();
    void endOfThread();

    std::atomic<bool> m_cancelled{false};
    std::atomic<bool> m_executing{false};
    std::atomic<bool> m_finished{false};
    bool m_started = false;
    bool m_isMain = false;
    std::mutex m_lock;
    Id m_target;
    SEL m_selector;
    Id m_argument;
    std::function<void()> m_block;
    Ref<NSRunLoop> m_runLoop;
};
