#pragma once
// NSObject(ZAKNSObject_Extension): every class's and object's bundle, pushing
// an edited value back through a binding, and running blocks on the main
// thread, on a given thread, on a new thread, after a delay or on a dispatch
// queue.
//
// Loading this library replaces valueForUndefinedKey: for every object: an
// array answers the pseudo-keys of NSMutableArray(ZAKNSMutableArray_Extension)
// ("allValues", "objectAtIndex<n>"); every other undefined key raises an
// exception named "KVO/Undefined Key" whose reason is
// "<class name> KVO/Undefined Key: <key>".
//
// It also gives every object the actions "ZAK_invokeTargetBlock:" and
// "ZAK_invokeTargetBlockWithAutoreleasePool:", which the perform machinery
// sends with a block as the argument; a delayed block is therefore cancelled
// like any delayed perform of its target.
#include <functional>

#include "Foundation/NSBundle.h"
#include "Foundation/NSRunLoop.h"

class DispatchQueue;
class NSThread;

// A block of the perform methods: it receives the object the perform was
// sent to.
using ZAKTargetBlockFunction = std::function<void(const Id& target)>;

// A block copied to the heap, as an object that the run loop, the threads and
// the queues keep until it has run. The delayed performs answer it as the
// handle that cancels them.
class ZAKTargetBlock : public NSObject {
    NS_OBJECT(ZAKTargetBlock, NSObject)
protected:
    ZAKTargetBlock() = default;

public:
    // nil for an empty function.
    static Ref<ZAKTargetBlock> blockWithFunction(ZAKTargetBlockFunction function);
    void invoke(const Id& target) const { m_function(target); }
    Id copy() const override { return const_cast<ZAKTargetBlock*>(this); }

private:
    ZAKTargetBlockFunction m_function;
};

namespace NSObjectExt {

// The bundle that holds the class (NSBundle::bundleForClass).
Ref<NSBundle> bundle(const NSClass& cls);
// The bundle of the object's class.
Ref<NSBundle> bundle(const Id& object);

// Writes a value edited in the receiver back to the model through the
// receiver's binding: reverse-transformed when the binding has a transformer
// that allows it, then set at the observed key path of the observed object.
// No such binding does nothing; a missing observed object or key path is
// logged. A nil binding name is an assertion failure.
void propagateValue(const Id& receiver, const Id& value, const Ref<NSString>& binding);

// Calls the block with the receiver; a nil block does nothing.
void ZAK_invokeTargetBlock(const Id& receiver, const Ref<ZAKTargetBlock>& block);
// The same inside an autorelease pool of its own, drained right after the call.
void ZAK_invokeTargetBlockWithAutoreleasePool(const Id& receiver, const Ref<ZAKTargetBlock>& block);

// Runs the block with the receiver after the delay (seconds) on the current
// run loop, in the default mode or in the given modes. Answers the block's
// copy, the handle for cancelPreviousPerformRequestsWithTarget.
Ref<ZAKTargetBlock> performBlockAfterDelay(const Id& receiver, ZAKTargetBlockFunction block, NSTimeInterval delay);
Ref<ZAKTargetBlock> performBlockAfterDelay(const Id& receiver, ZAKTargetBlockFunction block, NSTimeInterval delay,
                                           const NSRunLoopModes& modes);
// Runs the block with the receiver on the main thread (common modes unless
// given); waiting returns after it ran, and waiting on the main thread runs
// it at once.
void performBlockOnMainThread(const Id& receiver, ZAKTargetBlockFunction block, bool waitUntilDone);
void performBlockOnMainThread(const Id& receiver, ZAKTargetBlockFunction block, bool waitUntilDone,
                              const NSRunLoopModes& modes);
// The same on the given thread, served by that thread's run loop.
void performBlockOnThread(const Id& receiver, ZAKTargetBlockFunction block, const Ref<NSThread>& thread,
                          bool waitUntilDone);
void performBlockOnThread(const Id& receiver, ZAKTargetBlockFunction block, const Ref<NSThread>& thread,
                          bool waitUntilDone, const NSRunLoopModes& modes);
// Runs the block with the receiver on a new thread, in an autorelease pool of
// its own; returns at once.
void performBlockInBackground(const Id& receiver, ZAKTargetBlockFunction block);
// Submits the block to the queue: synchronously when waiting, otherwise
// asynchronously in an autorelease pool of its own, keeping the receiver
// until it has run. A nil queue raises NSInvalidArgumentException before
// anything runs.
void performBlockOnQueue(const Id& receiver, ZAKTargetBlockFunction block, const Ref<DispatchQueue>& queue,
                         bool waitUntilDone);

// Cancels the current run loop's pending delayed perform of that block (the
// handle performBlockAfterDelay answered) on the target. Does nothing unless
// both are given.
void cancelPreviousPerformRequestsWithTarget(const Id& target, const Ref<ZAKTargetBlock>& block);

}
