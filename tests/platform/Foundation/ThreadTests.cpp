// Threads: identity, performs across threads, retention while running, and a
// worker's own run loop.
#include <thread>

#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSString.h"
#include "Foundation/NSThread.h"
#include "Foundation/NSTimer.h"
#include "RunLoopTestSupport.h"

namespace {

class ThreadTarget : public NSObject {
    NS_OBJECT(ThreadTarget, NSObject)
protected:
    ThreadTarget() = default;

public:
    static void describeClass(NSClassMembers<ThreadTarget>& m)
    {
        m.action("record:", &ThreadTarget::record);
        m.action("work:", &ThreadTarget::work);
    }
    // Notes the argument and where it ran.
    void record(const Ref<NSString>& text)
    {
        log.add((text ? text->UTF8String() : "nil") + (NSThread::isMainThread() ? " on main" : " on worker"));
        thread = NSThread::currentThread();
    }
    // A thread body that holds on until released.
    void work(const Ref<NSString>& text)
    {
        started.set();
        proceed.waitFor();
        record(text);
    }
    EventLog log;
    Ref<NSThread> thread;
    Flag started;
    Flag proceed;
};
NS_CLASS_DEFINE(ThreadTarget)

Ref<NSString> text(const char* s) { return NSString::stringWithUTF8String(s); }

}

TEST(Thread, MainThreadIsTheTestThread)
{
    EXPECT_TRUE(NSThread::isMainThread());
    EXPECT_EQ(NSThread::currentThread(), NSThread::mainThread());
    EXPECT_TRUE(NSThread::mainThread()->isMain());
    EXPECT_EQ(NSRunLoop::currentRunLoop(), NSRunLoop::mainRunLoop());

    bool workerIsMain = true;
    Ref<NSThread> workerThread;
    Ref<NSRunLoop> workerLoop;
    std::thread worker([&] {
        workerIsMain = NSThread::isMainThread();
        workerThread = NSThread::currentThread();
        workerLoop = NSRunLoop::currentRunLoop();
    });
    worker.join();
    EXPECT_FALSE(workerIsMain);
    EXPECT_NE(workerThread, NSThread::mainThread());
    EXPECT_FALSE(workerThread->isMain());
    EXPECT_NE(workerLoop, NSRunLoop::mainRunLoop());
    // The thread's run loop went when the thread ended.
    EXPECT_TRUE(workerThread->isFinished());
    EXPECT_EQ(workerLoop->retainCount(), 1u);
}

TEST(Thread, PerformOnMainThreadFromAWorkerWaitsUntilDone)
{
    auto target = NSObject::make<ThreadTarget>();
    auto loop = NSRunLoop::mainRunLoop();
    Flag workerDone;
    std::vector<std::string> seenByWorker;
    NSThread::detachNewThreadWithBlock([&] {
        target->performSelectorOnMainThread("record:", text("waited"), true);
        seenByWorker = target->log.lines();  // the call has run by now
        target->performSelectorOnMainThread("record:", text("posted"), false);
        workerDone.set();
    });
    // The worker's calls are served in a modal run too (the common modes).
    ASSERT_TRUE(
        loop->runUntil([&] { return workerDone.isSet() && target->log.size() == 2; }, 5.0, NSModalPanelRunLoopMode))
        << loop->describePending();
    EXPECT_EQ(seenByWorker, std::vector<std::string>{"waited on main"});
    EXPECT_EQ(target->log.lines(), (std::vector<std::string>{"waited on main", "posted on main"}));
}

TEST(Thread, WaitingForACallOnTheCurrentThreadRunsItAtOnce)
{
    auto target = NSObject::make<ThreadTarget>();
    target->performSelectorOnMainThread("record:", text("now"), true);
    EXPECT_EQ(target->log.lines(), std::vector<std::string>{"now on main"});

    // Without waiting it runs in a coming pass.
    target->performSelectorOnThread("record:", NSThread::currentThread(), text("later"), false);
    EXPECT_EQ(target->log.size(), 1u);
    NSRunLoop::currentRunLoop()->runUntilIdle();
    EXPECT_EQ(target->log.lines(), (std::vector<std::string>{"now on main", "later on main"}));
}

TEST(Thread, ThreadRetainsTargetAndArgumentWhileItRuns)
{
    Weak<ThreadTarget> weakTarget;
    Weak<NSString> weakArgument;
    Ref<NSThread> thread;
    {
        auto target = NSObject::make<ThreadTarget>();
        auto argument = text("body");
        weakTarget = target;
        weakArgument = argument;
        thread = NSObject::alloc<NSThread>();
        thread->initWithTarget(target, "work:", argument);
        EXPECT_FALSE(thread->isExecuting());
        thread->start();
        ASSERT_TRUE(target->started.waitFor());
    }
    EXPECT_TRUE(thread->isExecuting());
    EXPECT_FALSE(thread->isFinished());
    EXPECT_TRUE(weakTarget.get());
    EXPECT_TRUE(weakArgument.get());
    EXPECT_THROW(thread->start(), NSException);

    thread->cancel();
    EXPECT_TRUE(thread->isCancelled());
    weakTarget.get()->proceed.set();
    ASSERT_TRUE(NSRunLoop::currentRunLoop()->runUntil([&] { return thread->isFinished(); }, 5.0));
    EXPECT_FALSE(thread->isExecuting());
    EXPECT_FALSE(weakTarget.get());
    EXPECT_FALSE(weakArgument.get());
}

TEST(Thread, PerformOnAWorkerIsServedByItsRunLoop)
{
    auto target = NSObject::make<ThreadTarget>();
    Flag ready;
    auto worker = NSObject::alloc<NSThread>();
    Ref<NSThread> self = worker;
    worker->initWithBlock([&ready, self] {
        // A distant timer keeps the default mode busy so the loop waits for work.
        auto keepAlive = NSTimer::scheduledTimerWithTimeInterval(1e6, false, [](const Ref<NSTimer>&) {});
        ready.set();
        while (!self->isCancelled())
            NSRunLoop::currentRunLoop()->runModeBeforeDate(NSDefaultRunLoopMode, NSDate::distantFuture());
        keepAlive->invalidate();
    });
    self = nullptr;
    worker->start();
    ASSERT_TRUE(ready.waitFor());

    target->performSelectorOnThread("record:", worker, text("served"), true);
    EXPECT_EQ(target->log.lines(), std::vector<std::string>{"served on worker"});
    EXPECT_EQ(target->thread, worker);

    worker->cancel();
    worker->runLoop()->stop();
    ASSERT_TRUE(NSRunLoop::currentRunLoop()->runUntil([&] { return worker->isFinished(); }, 5.0));
}

TEST(Thread, PerformInBackgroundRunsOnANewThread)
{
    auto target = NSObject::make<ThreadTarget>();
    target->performSelectorInBackground("record:", text("background"));
    ASSERT_TRUE(NSRunLoop::currentRunLoop()->runUntil([&] { return target->log.size() == 1; }, 5.0));
    EXPECT_EQ(target->log.lines(), std::vector<std::string>{"background on worker"});
}
