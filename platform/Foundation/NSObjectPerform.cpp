// NSObject's performs later or elsewhere: delayed performs on the current run
// loop, and performs on another thread's run loop.
#include <memory>

#include "Foundation/CompletionSignal.h"
#include "Foundation/NSException.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSRunLoop.h"
#include "Foundation/NSThread.h"

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
    auto completion = std::make_shared<CompletionSignal>();
    thread->runLoop()->performBlock(inModes, [call, release = std::make_shared<FireOnRelease>(completion)] { call(); });
    completion->wait();
}

void NSObject::performSelectorInBackground(const SEL& selector, const Id& argument)
{
    NSThread::detachNewThreadSelector(selector, Id(this), argument);
}
