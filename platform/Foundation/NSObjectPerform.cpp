// NSObject's performs later or elsewhere: delayed performs on the current run
// loop, and performs on another thread's run loop.
#include <condition_variable>
#include <memory>
#include <mutex>

#include "Foundation/NSException.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSRunLoop.h"
#include "Foundation/NSThread.h"

namespace {

// Signalled when the posted call has run, or when it is dropped unrun
// because its run loop went away, so a waiting caller never waits for ever on
// a thread that has ended.
class Completion {
public:
    void signal()
    {
        std::lock_guard guard(m_lock);
        m_done = true;
        m_cv.notify_all();
    }
    void wait()
    {
        std::unique_lock lock(m_lock);
        m_cv.wait(lock, [&] { return m_done; });
    }

private:
    std::mutex m_lock;
    std::condition_variable m_cv;
    bool m_done = false;
};

class SignalOnRelease {
public:
    explicit SignalOnRelease(std::shared_ptr<Completion> completion) : m_completion(std::move(completion)) {}
    SignalOnRelease(const SignalOnRelease&) = delete;
    SignalOnRelease& operator=(const SignalOnRelease&) = delete;
    ~SignalOnRelease() { m_completion->signal(); }

private:
    std::shared_ptr<Completion> m_completion;
};

}

void NSObject::performSelectorAfterDelay(const SEL& selector, const Id& argument, NSTimeInterval delay)
{
    performSelectorAfterDelay(selector, argument, delay, {NSDefaultRunLoopMode});
}

void NSObject::performSelectorAfterDelay(const SEL& selector, const Id& argument, NSTimeInterval delay,
                                         const std::vector<std::string>& modes)
{
    NSRunLoop::currentRunLoop()->performAfterDelay(Id(this), selector, argument, delay, modes);
}

void NSObject::cancelPreviousPerformRequestsWithTarget(const Id& target)
{
    if (target) NSRunLoop::currentRunLoop()->cancelDelayedPerforms(target, nullptr, nullptr);
}

void NSObject::cancelPreviousPerformRequestsWithTarget(const Id& target, const SEL& selector, const Id& argument)
{
    if (target) NSRunLoop::currentRunLoop()->cancelDelayedPerforms(target, &selector, argument);
}

void NSObject::performSelectorOnMainThread(const SEL& selector, const Id& argument, bool waitUntilDone)
{
    performSelectorOnThread(selector, NSThread::mainThread(), argument, waitUntilDone, {NSRunLoopCommonModes});
}

void NSObject::performSelectorOnMainThread(const SEL& selector, const Id& argument, bool waitUntilDone,
                                           const std::vector<std::string>& modes)
{
    performSelectorOnThread(selector, NSThread::mainThread(), argument, waitUntilDone, modes);
}

void NSObject::performSelectorOnThread(const SEL& selector, const Ref<NSThread>& thread, const Id& argument,
                                       bool waitUntilDone)
{
    performSelectorOnThread(selector, thread, argument, waitUntilDone, {NSRunLoopCommonModes});
}

void NSObject::performSelectorOnThread(const SEL& selector, const Ref<NSThread>& thread, const Id& argument,
                                       bool waitUntilDone, const std::vector<std::string>& modes)
{
    if (!thread) NSException::raise(NSInvalidArgumentException, "performSelector:onThread: needs a thread");
    Id self(this);
    if (waitUntilDone && thread == NSThread::currentThread()) {
        performSelector(selector, argument);
        return;
    }
    // A thread that has ended serves no more performs.
    if (thread->isFinished()) return;
    auto call = [self, selector, argument] { self->performSelector(selector, argument); };
    const auto& inModes = modes.empty() ? std::vector<std::string>{NSRunLoopCommonModes} : modes;
    if (!waitUntilDone) {
        thread->runLoop()->performBlock(inModes, call);
        return;
    }
    auto completion = std::make_shared<Completion>();
    thread->runLoop()->performBlock(inModes, [call, release = std::make_shared<SignalOnRelease>(completion)] { call(); });
    completion->wait();
}

void NSObject::performSelectorInBackground(const SEL& selector, const Id& argument)
{
    NSThread::detachNewThreadSelector(selector, Id(this), argument);
}
