// Dispatch queues, operation queues and locks.
#include <atomic>
#include <thread>

#include "Foundation/DispatchQueue.h"
#include "Foundation/NSBlockOperation.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSException.h"
#include "Foundation/NSKeyValueObserving.h"
#include "Foundation/NSLock.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSOperationQueue.h"
#include "Foundation/NSRecursiveLock.h"
#include "Foundation/NSThread.h"
#include "Foundation/OSSpinLock.h"
#include "RunLoopTestSupport.h"
#include "WaitUntil.h"

namespace {

// Counts how many blocks run at once.
struct Overlap {
    std::atomic<int> inside{0};
    std::atomic<int> most{0};
    void enter()
    {
        int now = ++inside;
        int seen = most.load();
        while (now > seen && !most.compare_exchange_weak(seen, now)) { }
    }
    void leave() { --inside; }
};

// Records operationCount notices as "count@thread" from any thread.
class CountObserver : public NSObject {
    NS_OBJECT(CountObserver, NSObject)
protected:
    CountObserver() = default;

public:
    void observeValueForKeyPathOfObjectChangeContext(const Ref<NSString>&, const Id&, const Ref<NSDictionary>& change,
                                                     void*) override
    {
        auto count = dynamic_ref_cast<NSNumber>(change->objectForKey(NSKeyValueChangeNewKey));
        bool onTestThread = std::this_thread::get_id() == testThread;
        log.add(std::to_string(count ? count->integerValue() : -1) + (onTestThread ? "@test" : "@worker"));
    }
    std::thread::id testThread = std::this_thread::get_id();
    EventLog log;
};
NS_CLASS_DEFINE(CountObserver)

}

TEST(DispatchQueue, SerialQueueRunsBlocksInOrderOneAtATime)
{
    auto queue = DispatchQueue::create("serial");
    std::vector<int> order;
    Overlap overlap;
    for (int i = 0; i < 200; ++i) {
        queue->async([&, i] {
            overlap.enter();
            order.push_back(i);
            std::this_thread::yield();
            overlap.leave();
        });
    }
    // A synchronous block runs after every block before it.
    bool onCallingThread = false;
    queue->sync([&] { onCallingThread = NSThread::isMainThread(); });
    ASSERT_EQ(order.size(), 200u);
    for (int i = 0; i < 200; ++i) EXPECT_EQ(order[i], i);
    EXPECT_EQ(overlap.most.load(), 1);
    EXPECT_TRUE(onCallingThread);
}

TEST(DispatchQueue, CurrentQueueAndReentrantSync)
{
    auto queue = DispatchQueue::create("serial");
    EXPECT_EQ(DispatchQueue::current(), DispatchQueue::main());
    EXPECT_TRUE(DispatchQueue::currentIsMain());

    Ref<DispatchQueue> seen;
    bool seenIsMain = true;
    bool raised = false;
    std::string exceptionText;
    queue->sync([&] {
        seen = DispatchQueue::current();
        seenIsMain = DispatchQueue::currentIsMain();
        // Waiting on the queue one is running on would never return.
        try {
            queue->sync([] {});
        } catch (const NSException&) {
            raised = true;
        }
    });
    EXPECT_EQ(seen, queue);
    EXPECT_FALSE(seenIsMain);
    EXPECT_TRUE(raised);

    // An exception in a synchronous block reaches the caller.
    EXPECT_THROW(queue->sync([] { NSException::raise(NSGenericException, "inside"); }), NSException);
    // Sync on the main queue from the main thread runs at once.
    bool ran = false;
    DispatchQueue::main()->sync([&] { ran = DispatchQueue::currentIsMain(); });
    EXPECT_TRUE(ran);
}

TEST(DispatchQueue, ConcurrentQueueRunsBlocksTogether)
{
    // Two blocks that each wait for the other finish only if they run at once.
    Flag first;
    Flag second;
    std::atomic<int> met{0};
    auto queue = DispatchQueue::global();
    queue->async([&] {
        first.set();
        if (second.waitFor()) ++met;
    });
    queue->async([&] {
        second.set();
        if (first.waitFor()) ++met;
    });
    auto loop = NSRunLoop::currentRunLoop();
    EXPECT_TRUE(loop->runUntil([&] { return met.load() == 2; }, 5.0));
    EXPECT_FALSE(DispatchQueue::global()->isSerial());
}

// A worker's synchronous dispatch to the main queue completes while the main
// thread runs a modal or tracking loop.
TEST(DispatchQueue, MainQueueIsDrainedInEveryMode)
{
    auto loop = NSRunLoop::mainRunLoop();
    for (const char* mode : {NSDefaultRunLoopMode, NSModalPanelRunLoopMode, NSEventTrackingRunLoopMode, "custom"}) {
        SCOPED_TRACE(mode);
        std::atomic<bool> ranOnMain{false};
        std::atomic<bool> workerDone{false};
        DispatchQueue::global()->async([&] {
            DispatchQueue::main()->sync(
                [&] { ranOnMain = NSThread::isMainThread() && DispatchQueue::currentIsMain(); });
            workerDone = true;
        });
        ASSERT_TRUE(loop->runUntil([&] { return workerDone.load(); }, 5.0, mode)) << loop->describePending();
        EXPECT_TRUE(ranOnMain.load());
    }
    // Asynchronous blocks run in order in the next pass.
    std::vector<int> order;
    for (int i = 0; i < 3; ++i) DispatchQueue::main()->async([&, i] { order.push_back(i); });
    EXPECT_TRUE(order.empty());
    loop->runUntilIdle(NSModalPanelRunLoopMode);
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
}

TEST(OperationQueue, CancelAllLetsTheRunningOneFinishAndQueuedOnesFinishWithoutRunning)
{
    auto queue = NSObject::make<NSOperationQueue>();
    queue->setMaxConcurrentOperationCount(1);
    Flag started;
    Flag proceed;
    EventLog log;

    auto running = NSBlockOperation::blockOperationWithBlock([&] {
        started.set();
        proceed.waitFor();
        log.add("first ran");
    });
    Ref<NSOperation> runningRef = running;
    std::vector<Ref<NSOperation>> queued;
    for (const char* name : {"second", "third"}) {
        auto op = NSBlockOperation::blockOperationWithBlock([&log, name] { log.add(std::string(name) + " ran"); });
        op->setCompletionBlock([&log, name] { log.add(std::string(name) + " completed"); });
        queued.push_back(op);
    }
    running->setCompletionBlock([&log] { log.add("first completed"); });

    queue->addOperation(running);
    for (auto& op : queued) queue->addOperation(op);
    ASSERT_TRUE(started.waitFor());
    EXPECT_EQ(queue->operationCount(), 3u);
    EXPECT_TRUE(running->isExecuting());
    EXPECT_THROW(queue->addOperation(running), NSException);

    queue->cancelAllOperations();
    EXPECT_TRUE(running->isCancelled());
    proceed.set();
    queue->waitUntilAllOperationsAreFinished();

    EXPECT_EQ(queue->operationCount(), 0u);
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{"first ran", "first completed", "second completed", "third completed"}));
    for (auto& op : queued) {
        EXPECT_TRUE(op->isCancelled());
        EXPECT_TRUE(op->isFinished());
        EXPECT_FALSE(op->isExecuting());
    }
    EXPECT_TRUE(running->isFinished());
}

TEST(OperationQueue, SerialQueueKeepsOrderAndMainQueueRunsOnTheMainRunLoop)
{
    auto queue = NSObject::make<NSOperationQueue>();
    queue->setMaxConcurrentOperationCount(1);
    std::vector<int> order;
    Overlap overlap;
    Ref<NSOperationQueue> current;
    for (int i = 0; i < 50; ++i) {
        queue->addOperationWithBlock([&, i] {
            overlap.enter();
            order.push_back(i);
            if (i == 0) current = NSOperationQueue::currentQueue();
            overlap.leave();
        });
    }
    queue->waitUntilAllOperationsAreFinished();
    ASSERT_EQ(order.size(), 50u);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(order[i], i);
    EXPECT_EQ(overlap.most.load(), 1);
    EXPECT_EQ(current, queue);

    bool onMain = false;
    auto op = NSBlockOperation::blockOperationWithBlock([&] {
        onMain = NSThread::isMainThread() && NSOperationQueue::currentQueue() == NSOperationQueue::mainQueue();
    });
    NSOperationQueue::mainQueue()->addOperation(op);
    EXPECT_FALSE(op->isFinished());
    NSRunLoop::mainRunLoop()->runUntilIdle(NSEventTrackingRunLoopMode);
    EXPECT_TRUE(op->isFinished());
    EXPECT_TRUE(onMain);
    EXPECT_EQ(NSOperationQueue::mainQueue()->operationCount(), 0u);
}

TEST(Locks, SpinLockExcludesAndSaysWhetherItIsHeld)
{
    OSSpinLock lock;
    EXPECT_FALSE(lock.isLocked());
    EXPECT_TRUE(lock.tryLock());
    EXPECT_TRUE(lock.isLocked());
    EXPECT_FALSE(lock.tryLock());
    lock.unlock();
    EXPECT_FALSE(lock.isLocked());

    long counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                lock.lock();
                ++counter;
                lock.unlock();
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(counter, 80000);
    EXPECT_FALSE(lock.isLocked());
}

TEST(Locks, RecursiveLockIsReentrantAndPlainLockIsNot)
{
    auto recursive = NSObject::make<NSRecursiveLock>();
    recursive->lock();
    EXPECT_TRUE(recursive->tryLock());
    bool otherThreadGotIt = true;
    std::thread([&] { otherThreadGotIt = recursive->tryLock(); }).join();
    EXPECT_FALSE(otherThreadGotIt);
    recursive->unlock();
    recursive->unlock();
    std::thread([&] {
        otherThreadGotIt = recursive->tryLock();
        if (otherThreadGotIt) recursive->unlock();
    }).join();
    EXPECT_TRUE(otherThreadGotIt);

    auto lock = NSObject::make<NSLock>();
    lock->lock();
    std::thread([&] { otherThreadGotIt = lock->tryLock(); }).join();
    EXPECT_FALSE(otherThreadGotIt);
    lock->unlock();
    EXPECT_TRUE(lock->tryLock());
    lock->unlock();
}

TEST(OperationQueue, OperationCountIsObservedOnTheThreadThatChangedIt)
{
    auto queue = NSObject::make<NSOperationQueue>();
    auto observer = NSObject::make<CountObserver>();
    queue->addObserver(observer, "operationCount"_ns, NSKeyValueObservingOptionNew, nullptr);
    Flag release;
    queue->addOperationWithBlock([&] { release.waitFor(); });
    EXPECT_EQ(observer->log.lines(), std::vector<std::string>{"1@test"});
    release.set();
    queue->waitUntilAllOperationsAreFinished();
    test_support::waitUntil([&] { return observer->log.size() >= 2; }, std::chrono::seconds(5));
    EXPECT_EQ(observer->log.lines(), (std::vector<std::string>{"1@test", "0@worker"}));
    queue->removeObserver(observer, "operationCount"_ns);
}
