#include "FoundationExtensions/ZAKNSObject.Extension.h"

#include "Foundation/DispatchQueue.h"
#include "Foundation/NSAssertionHandler.h"
#include "Foundation/NSAutoreleasePool.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSKeyValueBinding.h"
#include "Foundation/NSKeyValueCoding.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSNull.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSThread.h"
#include "Foundation/NSValueTransformer.h"
#include "FoundationExtensions/NSMutableArray+ZAKNSMutableArray_Extension.h"

NS_CLASS_DEFINE(ZAKTargetBlock)

Ref<ZAKTargetBlock> ZAKTargetBlock::blockWithFunction(ZAKTargetBlockFunction function)
{
    if (!function) return nullptr;
    auto block = alloc<ZAKTargetBlock>();
    block->m_function = std::move(function);
    return block;
}

namespace {

const SEL kInvokeTargetBlock = "ZAK_invokeTargetBlock:";
const SEL kInvokeTargetBlockWithAutoreleasePool = "ZAK_invokeTargetBlockWithAutoreleasePool:";
const char* const kPropagateMethod = "-[NSObject(ZAKNSObject_Extension) propagateValue:forBinding:]";

// Missing and the null object both mean "no value" in binding information.
Id valueOrNil(const Id& value) { return dynamic_cast<NSNull*>(value.get()) ? nullptr : value; }

Id undefinedKeyValue(NSObject* receiver, const Ref<NSString>& key)
{
    if (auto* array = dynamic_cast<NSArray*>(receiver))
        if (Id value = NSMutableArrayExt::valueForPseudoKey(array, key)) return value;
    NSException::raise(
        "KVO/Undefined Key",
        NSString::stringWithFormat("%@ KVO/Undefined Key: %@", receiver->className(), key)->UTF8String());
}

}

namespace {

// At load time, before any thread can send the actions or look keys up.
[[maybe_unused]] const bool g_installed = [] {
    // Every object answers the two block actions, so the run loop, threads
    // and queues can send them.
    NSClass& root = NSObject::classRecord();
    root.addCategoryAction(kInvokeTargetBlock, 1, [](NSObject* self, const Id& block, const Id&) -> Id {
        NSObjectExt::ZAK_invokeTargetBlock(self, dynamic_ref_cast<ZAKTargetBlock>(block));
        return nullptr;
    });
    root.addCategoryAction(
        kInvokeTargetBlockWithAutoreleasePool, 1, [](NSObject* self, const Id& block, const Id&) -> Id {
            NSObjectExt::ZAK_invokeTargetBlockWithAutoreleasePool(self, dynamic_ref_cast<ZAKTargetBlock>(block));
            return nullptr;
        });
    SetValueForUndefinedKeyHook(undefinedKeyValue);
    return true;
}();

}

namespace NSObjectExt {

Ref<NSBundle> bundle(const NSClass& cls) { return NSBundle::bundleForClass(cls); }

Ref<NSBundle> bundle(const Id& object) { return object ? bundle(object->classObject()) : nullptr; }

void propagateValue(const Id& receiver, const Id& value, const Ref<NSString>& binding)
{
    if (!receiver) return;
    if (!binding) {
        NSAssertionHandler::currentHandler()->handleFailureInMethod(
            "propagateValue:forBinding:", receiver.get(), "FoundationExtensions/ZAKNSObject.Extension.cpp"_ns, __LINE__,
            NSString::stringWithFormat("Invalid parameter not satisfying: %@", "binding != nil"_ns));
        return;
    }
    Ref<NSDictionary> info = receiver->infoForBinding(binding);
    if (!info) return;

    Id newValue = value;
    if (auto options = dynamic_ref_cast<NSDictionary>(valueOrNil(info->objectForKey(NSOptionsKey)))) {
        Id transformer = valueOrNil(options->objectForKey(NSValueTransformerBindingOption));
        if (!transformer)
            if (auto name =
                    dynamic_ref_cast<NSString>(valueOrNil(options->objectForKey(NSValueTransformerNameBindingOption))))
                transformer = NSValueTransformer::valueTransformerForName(name);
        if (auto reversible = dynamic_ref_cast<NSValueTransformer>(transformer)) {
            if (reversible->allowsReverseTransformation()) newValue = reversible->reverseTransformedValue(value);
            else
                NSLog(
                    "WARNING: binding \"%@\" has value transformer, but it doesn't allow reverse transformations in %s",
                    binding, kPropagateMethod);
        }
    }

    Id observed = valueOrNil(info->objectForKey(NSObservedObjectKey));
    if (!observed) {
        NSLog("ERROR: NSObservedObjectKey was nil for binding \"%@\" in %s", binding, kPropagateMethod);
        return;
    }
    auto keyPath = dynamic_ref_cast<NSString>(valueOrNil(info->objectForKey(NSObservedKeyPathKey)));
    if (!keyPath) {
        NSLog("ERROR: NSObservedKeyPathKey was nil for binding \"%@\" in %s", binding, kPropagateMethod);
        return;
    }
    observed->setValueForKeyPath(newValue, keyPath);
}

void ZAK_invokeTargetBlock(const Id& receiver, const Ref<ZAKTargetBlock>& block)
{
    if (receiver && block) block->invoke(receiver);
}

void ZAK_invokeTargetBlockWithAutoreleasePool(const Id& receiver, const Ref<ZAKTargetBlock>& block)
{
    NSAutoreleasePool pool;
    ZAK_invokeTargetBlock(receiver, block);
}

Ref<ZAKTargetBlock> performBlockAfterDelay(const Id& receiver, ZAKTargetBlockFunction block, NSTimeInterval delay)
{
    return performBlockAfterDelay(receiver, std::move(block), delay, {NSDefaultRunLoopMode});
}

Ref<ZAKTargetBlock> performBlockAfterDelay(const Id& receiver, ZAKTargetBlockFunction block, NSTimeInterval delay,
                                           const NSRunLoopModes& modes)
{
    if (!receiver) return nullptr;
    auto copy = ZAKTargetBlock::blockWithFunction(std::move(block));
    receiver->performSelectorAfterDelay(kInvokeTargetBlock, copy, delay, modes);
    return copy;
}

void performBlockOnMainThread(const Id& receiver, ZAKTargetBlockFunction block, bool waitUntilDone)
{
    if (!receiver) return;
    receiver->performSelectorOnMainThread(kInvokeTargetBlock, ZAKTargetBlock::blockWithFunction(std::move(block)),
                                          waitUntilDone);
}

void performBlockOnMainThread(const Id& receiver, ZAKTargetBlockFunction block, bool waitUntilDone,
                              const NSRunLoopModes& modes)
{
    if (!receiver) return;
    receiver->performSelectorOnMainThread(kInvokeTargetBlock, ZAKTargetBlock::blockWithFunction(std::move(block)),
                                          waitUntilDone, modes);
}

void performBlockOnThread(const Id& receiver, ZAKTargetBlockFunction block, const Ref<NSThread>& thread,
                          bool waitUntilDone)
{
    if (!receiver) return;
    receiver->performSelectorOnThread(kInvokeTargetBlock, thread, ZAKTargetBlock::blockWithFunction(std::move(block)),
                                      waitUntilDone);
}

void performBlockOnThread(const Id& receiver, ZAKTargetBlockFunction block, const Ref<NSThread>& thread,
                          bool waitUntilDone, const NSRunLoopModes& modes)
{
    if (!receiver) return;
    receiver->performSelectorOnThread(kInvokeTargetBlock, thread, ZAKTargetBlock::blockWithFunction(std::move(block)),
                                      waitUntilDone, modes);
}

void performBlockInBackground(const Id& receiver, ZAKTargetBlockFunction block)
{
    if (!receiver) return;
    receiver->performSelectorInBackground(kInvokeTargetBlockWithAutoreleasePool,
                                          ZAKTargetBlock::blockWithFunction(std::move(block)));
}

void performBlockOnQueue(const Id& receiver, ZAKTargetBlockFunction block, const Ref<DispatchQueue>& queue,
                         bool waitUntilDone)
{
    if (!receiver) return;
    if (!queue)
        NSException::raise(
            NSInvalidArgumentException,
            NSString::stringWithFormat("aQueue is NULL (in '%@')", "performBlock:onQueue:waitUntilDone:"_ns)
                ->UTF8String());
    auto copy = ZAKTargetBlock::blockWithFunction(std::move(block));
    if (waitUntilDone) {
        queue->sync([&] { ZAK_invokeTargetBlock(receiver, copy); });
        return;
    }
    // The submitted block keeps the receiver and the block until it has run.
    queue->async([target = receiver, copy] { ZAK_invokeTargetBlockWithAutoreleasePool(target, copy); });
}

void cancelPreviousPerformRequestsWithTarget(const Id& target, const Ref<ZAKTargetBlock>& block)
{
    if (!target || !block) return;
    NSObject::cancelPreviousPerformRequestsWithTarget(target, kInvokeTargetBlock, block);
}

}
