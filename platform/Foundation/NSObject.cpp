#include "Foundation/NSObject.h"

#include <cstdio>

#include "Foundation/NSArray.h"
#include "Foundation/NSAttributedString.h"
#include "Foundation/NSAutoreleasePool.h"
#include "Foundation/NSCharacterSet.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSData.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSException.h"
#include "Foundation/NSIndexSet.h"
#include "Foundation/NSSet.h"
#include "Foundation/NSString.h"
#include "Foundation/NSURLRequest.h"

NS_CLASS_DEFINE(NSObject)

namespace {

// Selectors every object answers by name, and the classes of this layer that
// adopt mutable copying, so respondsToSelector("mutableCopy") tells them
// apart. At load time, before any thread sends them.
[[maybe_unused]] const bool g_rootActions = [] {
    NSObject::classRecord().addCategoryAction(
        "description", 0, [](NSObject* self, const Id&, const Id&) -> Id { return self->description(); });
    for (NSClass* cls :
         {&NSString::classRecord(), &NSArray::classRecord(), &NSDictionary::classRecord(), &NSSet::classRecord(),
          &NSData::classRecord(), &NSIndexSet::classRecord(), &NSCharacterSet::classRecord(),
          &NSAttributedString::classRecord(), &NSURLRequest::classRecord()})
        cls->addCategoryAction("mutableCopy", 0,
                               [](NSObject* self, const Id&, const Id&) -> Id { return self->mutableCopy(); });
    return true;
}();

}

NSObject* WeakControl::lockObject()
{
    while (m_lock.test_and_set(std::memory_order_acquire)) { }
    NSObject* o = m_object;
    if (o && !o->tryRetain()) o = nullptr;
    m_lock.clear(std::memory_order_release);
    return o;
}

void WeakControl::clear()
{
    while (m_lock.test_and_set(std::memory_order_acquire)) { }
    m_object = nullptr;
    m_lock.clear(std::memory_order_release);
}

WeakControl* weakControlOf(const NSObject* object)
{
    WeakControl* control = object->m_weakControl.load(std::memory_order_acquire);
    if (!control) {
        auto* fresh = new WeakControl(const_cast<NSObject*>(object));
        if (object->m_weakControl.compare_exchange_strong(control, fresh, std::memory_order_acq_rel)) control = fresh;
        else delete fresh;
    }
    control->retain();
    return control;
}

bool NSObject::tryRetain() const noexcept
{
    NSUInteger count = m_refCount.load(std::memory_order_relaxed);
    while (count != 0) {
        if (m_refCount.compare_exchange_weak(count, count + 1, std::memory_order_acq_rel)) return true;
    }
    return false;
}

void NSObject::release() const noexcept
{
    if (m_refCount.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
    // Weak readers must see the object as gone before its memory is freed.
    if (WeakControl* control = m_weakControl.load(std::memory_order_acquire)) control->clear();
    delete this;
}

NSObject::~NSObject()
{
    if (WeakControl* control = m_weakControl.load(std::memory_order_acquire)) {
        control->clear();
        control->release();
    }
    KVOHooks::objectDying(this);
}

void NSObject::autorelease() const { NSAutoreleasePool::addObject(this); }

Ref<NSString> NSObject::className() const { return NSString::stringWithUTF8String(classObject().name()); }

bool NSObject::isKindOfClass(const NSClass& cls) const { return classObject().isSubclassOf(cls); }

bool NSObject::isMemberOfClass(const NSClass& cls) const { return &classObject() == &cls; }

bool NSObject::respondsToSelector(const SEL& selector) const { return realClass().actionFor(selector) != nullptr; }

Id NSObject::performSelector(const SEL& selector, const Id& a, const Id& b)
{
    const NSClass::Action* action = realClass().actionFor(selector);
    if (!action) doesNotRecognizeSelector(selector);
    // Keep the receiver alive through the call, as a message send does.
    Ref<NSObject> self(this);
    return action->invoke(this, a, b);
}

void NSObject::doesNotRecognizeSelector(const SEL& selector) const
{
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(this));
    NSException::raise(NSInvalidArgumentException, "-[" + realClass().name() + " " + selector +
                                                       "]: unrecognized selector sent to instance " + address);
}

Ref<NSString> NSObject::description() const
{
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(this));
    return NSString::stringWithUTF8String("<" + classObject().name() + ": " + address + ">");
}

Id NSObject::copy() const
{
    const_cast<NSObject*>(this)->doesNotRecognizeSelector("copyWithZone:");
    return nullptr;
}

Id NSObject::mutableCopy() const
{
    const_cast<NSObject*>(this)->doesNotRecognizeSelector("mutableCopyWithZone:");
    return nullptr;
}
