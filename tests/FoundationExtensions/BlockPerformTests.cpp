// Blocks run after a delay (and cancelled by their handle), on the main
// thread, on a thread with its own run loop, on a new thread and on queues.
#include <gtest/gtest.h>

#include "Foundation/DispatchQueue.h"
#include "Foundation/NSAutoreleasePool.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSThread.h"
#include "Foundation/NSTimer.h"
#include "FoundationExtensions/ZAKNSObject.Extension.h"
#include "RunLoopTestSupport.h"

namespace {

class BlockTarget : public NSObject {
    NS_OBJECT(BlockTarget, NSObject)
protected:
    BlockTarget() = default;

public:
};
NS_CLASS_DEFINE(BlockTarget)

// A block that records its name and the time it ran, and checks that it was
// handed the target.
ZAKTargetBlockFunction recorder(EventLog& log, const std::string& name, const Id& target, NSTimeInterval start)
{
    const NSObject* expected = target.get();
    return [&log, name, expected, start](const Id& receiver) {
        log.add(receiver.get() == expected ? at(name, Clock::now() - start) : name + " got another receiver");
    };
}

using DelayedBlockTest = VirtualClockTest;

// A thread that serves its run loop until it is cancelled.
class RunLoopThread {
public:
    RunLoopThread()
    {
        Flag ready;
        m_thread = NSObject::alloc<NSThread>();
        Ref<NSThread> self = m_thread;
        m_thread->initWithBlock([&ready, self] {
            // A distant timer keeps the default mode busy so the loop waits for work.
            auto keepAlive = NSTimer::scheduledTimerWithTimeInterval(1e6, false, [](const Ref<NSTimer>&) {});
            ready.set();
            while (!self->isCancelled())
                NSRunLoop::currentRunLoop()->runModeBeforeDate(NSDefaultRunLoopMode, NSDate::distantFuture());
            keepAlive->invalidate();
        });
        self = nullptr;
        m_thread->start();
        EXPECT_TRUE(ready.waitFor());
    }
    ~RunLoopThread()
    {
        m_thread->cancel();
        m_thread->runLoop()->stop();
        EXPECT_TRUE(NSRunLoop::currentRunLoop()->runUntil([&] { return m_thread->isFinished(); }, 5.0));
    }
    const Ref<NSThread>& thread() const { return m_thread; }

private:
    Ref<NSThread> m_thread;
};

}

TEST_F(DelayedBlockTest, RunsAfterTheDelayUnlessCancelledByItsHandle)
{
    auto target = NSObject::make<BlockTarget>();
    EventLog log;
    Ref<ZAKTargetBlock> cancelled =
        NSObjectExt::performBlockAfterDelay(target, recorder(log, "cancelled", target, kStart), 0.5);
    Ref<ZAKTargetBlock> kept = NSObjectExt::performBlockAfterDelay(target, recorder(log, "kept", target, kStart), 0.5);
    ASSERT_TRUE(cancelled);
    // Without both a target and a handle nothing is cancelled.
    NSObjectExt::cancelPreviousPerformRequestsWithTarget(nullptr, kept);
    NSObjectExt::cancelPreviousPerformRequestsWithTarget(target, nullptr);
    // A handle belongs to its own target.
    NSObjectExt::cancelPreviousPerformRequestsWithTarget(NSObject::make<BlockTarget>(), kept);
    NSObjectExt::cancelPreviousPerformRequestsWithTarget(target, cancelled);

    loop->advance(0.4);
    EXPECT_EQ(log.size(), 0u);
    loop->advance(0.2);
    EXPECT_EQ(log.lines(), std::vector<std::string>{at("kept", 0.5)});
}

TEST_F(DelayedBlockTest, IsCancelledWithEveryOtherDelayedPerformOfItsTargetAndKeepsItAlive)
{
    EventLog log;
    Weak<BlockTarget> weakTarget;
    {
        auto target = NSObject::make<BlockTarget>();
        weakTarget = target;
        NSObjectExt::performBlockAfterDelay(target, recorder(log, "first", target, kStart), 0.5,
                                            {NSEventTrackingRunLoopMode});
        NSObjectExt::performBlockAfterDelay(target, recorder(log, "second", target, kStart), 0.5);
    }
    ASSERT_TRUE(weakTarget.get());
    // Only default-mode time passes: the tracking-mode block waits.
    loop->advance(1.0);
    EXPECT_EQ(log.lines(), std::vector<std::string>{at("second", 0.5)});
    NSObject::cancelPreviousPerformRequestsWithTarget(weakTarget.get());
    loop->advance(1.0, NSEventTrackingRunLoopMode);
    EXPECT_EQ(log.size(), 1u);
    EXPECT_FALSE(weakTarget.get());
}

TEST(BlockPerform, RunsOnAThreadWithItsOwnRunLoop)
{
    RunLoopThread worker;
    auto target = NSObject::make<BlockTarget>();
    Ref<NSThread> ranOn;
    Id received;
    NSObjectExt::performBlockOnThread(
        target,
        [&](const Id& receiver) {
            ranOn = NSThread::currentThread();
            received = receiver;
        },
        worker.thread(), true);
    // Waiting returns only after the block ran there.
    EXPECT_EQ(ranOn, worker.thread());
    EXPECT_EQ(received, target);

    Flag posted;
    NSObjectExt::performBlockOnThread(target,
                                      [&](const Id&) {
                                          if (NSThread::currentThread() == worker.thread()) posted.set();
                                      },
                                      worker.thread(), false, {NSDefaultRunLoopMode});
    EXPECT_TRUE(posted.waitFor());
}

TEST(BlockPerform, RunsOnTheMainThreadAndOnANewThread)
{
    auto target = NSObject::make<BlockTarget>();
    // Waiting on the main thread runs the block at once.
    bool ranAtOnce = false;
    NSObjectExt::performBlockOnMainThread(
        target, [&](const Id&) { ranAtOnce = NSThread::isMainThread(); }, true);
    EXPECT_TRUE(ranAtOnce);

    EventLog log;
    NSObjectExt::performBlockInBackground(target, [&](const Id& receiver) {
        if (receiver == target && !NSThread::isMainThread()) log.add("background");
        NSObjectExt::performBlockOnMainThread(
            receiver, [&](const Id&) { log.add(NSThread::isMainThread() ? "main" : "not main"); }, true);
    });
    ASSERT_TRUE(NSRunLoop::currentRunLoop()->runUntil([&] { return log.size() == 2; }, 5.0));
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"background", "main"}));
}

TEST(BlockPerform, SynchronousQueueSubmissionRunsBeforeItReturns)
{
    auto queue = DispatchQueue::create("sync");
    auto target = NSObject::make<BlockTarget>();
    Id received;
    NSObjectExt::performBlockOnQueue(
        target, [&](const Id& receiver) { received = receiver; }, queue, true);
    EXPECT_EQ(received, target);
}

TEST(BlockPerform, AsynchronousQueueSubmissionKeepsTheTargetAndDrainsItsOwnPool)
{
    auto queue = DispatchQueue::create("async");
    Flag proceed;
    bool targetAlive = false;
    Weak<NSObject> weakTemporary;
    Weak<BlockTarget> weakTarget;
    {
        auto target = NSObject::make<BlockTarget>();
        weakTarget = target;
        NSObjectExt::performBlockOnQueue(
            target,
            [&](const Id& receiver) {
                EXPECT_TRUE(proceed.waitFor());
                targetAlive = receiver && receiver == weakTarget.get();
                // Released by the block's own pool once the block returns.
                auto temporary = NSObject::make<BlockTarget>();
                temporary->retain();
                temporary->autorelease();
                weakTemporary = temporary;
            },
            queue, false);
    }
    // The call returned while the block is still waiting.
    EXPECT_FALSE(targetAlive);
    proceed.set();
    queue->sync([] {});
    EXPECT_TRUE(targetAlive);
    EXPECT_FALSE(weakTemporary.get());
    EXPECT_FALSE(weakTarget.get());
}

TEST(BlockPerform, NilQueueRaisesBeforeAnythingRuns)
{
    for (bool wait : {true, false}) {
        SCOPED_TRACE(wait ? "waiting" : "not waiting");
        bool ran = false;
        try {
            NSObjectExt::performBlockOnQueue(
                NSObject::make<BlockTarget>(), [&](const Id&) { ran = true; }, nullptr, wait);
            ADD_FAILURE() << "no exception";
        } catch (const NSException& e) {
            EXPECT_EQ(e.nameUTF8(), NSInvalidArgumentException);
            EXPECT_EQ(e.reasonUTF8(), "aQueue is NULL (in 'performBlock:onQueue:waitUntilDone:')");
        }
        EXPECT_FALSE(ran);
    }
}
