#pragma once
// The root of every framework object: an intrusive reference count, identity,
// the class record, selectors by name and key-value coding entry points.
#include <atomic>
#include <string>
#include <vector>

#include "Foundation/NSTypes.h"
#include "Foundation/Ref.h"

class NSClass;
class NSIndexSet;
class NSObject;
class NSString;
template <class T> class NSClassMembers;

using Id = Ref<NSObject>;
// A selector is its text as written in the method list ("newGuidline:").
using SEL = std::string;

// Declares a class to the object model: its record, its superclass, and the
// "class" answer. Put it first in the class body, followed by the class's
// protected default constructor: only the factories make objects.
#define NS_OBJECT(T, Super)                                                                                            \
public:                                                                                                                \
    using Base = Super;                                                                                                \
    static NSClass& classRecord();                                                                                     \
    /* The class record, after the class's initialize has run. */                                                      \
    static const NSClass& staticClass();                                                                               \
    const NSClass& realClass() const override { return T::classRecord(); }                                             \
                                                                                                                       \
private:                                                                                                               \
    /* Qualified: a class in an unnamed namespace would name a new class. */                                           \
    friend class ::NSClass;                                                                                            \
    friend class ::NSObject;                                                                                           \
                                                                                                                       \
public:

class NSObject {
protected:
    // Objects are made by their factories only (alloc<T>(), make<T>(), the
    // class record), which give the first reference to a Ref.
    NSObject() = default;

public:
    NSObject(const NSObject&) = delete;
    NSObject& operator=(const NSObject&) = delete;
    virtual ~NSObject();

    // Reference counting. Objects start with one reference, which their
    // factory adopts.
    void retain() const noexcept { m_refCount.fetch_add(1, std::memory_order_relaxed); }
    void release() const noexcept;
    NSUInteger retainCount() const noexcept { return m_refCount.load(std::memory_order_relaxed); }
    // Defers the release of one reference to the end of the current event or
    // run-loop turn ("autorelease").
    void autorelease() const;

    static NSClass& classRecord();
    static const NSClass& staticClass();
    // The object's real class (object_getClass).
    virtual const NSClass& realClass() const { return classRecord(); }
    // What "class" answers; a class may override it to hide itself.
    virtual const NSClass& classObject() const { return realClass(); }
    Ref<NSString> className() const;

    bool isKindOfClass(const NSClass& cls) const;
    bool isMemberOfClass(const NSClass& cls) const;
    bool respondsToSelector(const SEL& selector) const;
    // Sends an action by name. A one-argument action receives the first
    // object, a no-argument action none; an unknown selector raises.
    Id performSelector(const SEL& selector, const Id& a = nullptr, const Id& b = nullptr);
    void doesNotRecognizeSelector(const SEL& selector) const;

    // Equality is separate from identity; the default is identity.
    virtual bool isEqual(const NSObject* other) const { return this == other; }
    virtual NSUInteger hash() const { return reinterpret_cast<uintptr_t>(this); }
    virtual Ref<NSString> description() const;
    // NSCopying / NSMutableCopying. Classes that do not adopt them raise.
    virtual Id copy() const;
    virtual Id mutableCopy() const;

    // Key-value coding on the class's registered properties.
    virtual Id valueForKey(const Ref<NSString>& key);
    virtual void setValueForKey(const Id& value, const Ref<NSString>& key);
    virtual Id valueForUndefinedKey(const Ref<NSString>& key);
    virtual void setValueForUndefinedKey(const Id& value, const Ref<NSString>& key);
    virtual void setNilValueForKey(const Ref<NSString>& key);
    Id valueForKeyPath(const Ref<NSString>& keyPath);
    void setValueForKeyPath(const Id& value, const Ref<NSString>& keyPath);
    // Key-value observing change notices.
    void willChangeValueForKey(const Ref<NSString>& key);
    void didChangeValueForKey(const Ref<NSString>& key);

    // --- Bindings (NSKeyValueBinding.cpp) ---
    // Declares a binding of a class; call it from the class's initialize,
    // e.g. exposeBinding<NSButton>("enabled"_ns).
    static void exposeBinding(const NSClass& cls, const Ref<NSString>& binding);
    template <class T> static void exposeBinding(const Ref<NSString>& binding)
    {
        exposeBinding(T::classRecord(), binding);
    }
    // The bindings exposed by the receiver's class and its superclasses.
    virtual Ref<class NSArray> exposedBindings() const;
    // nil unless a class says what its binding takes.
    virtual const NSClass* valueClassForBinding(const Ref<NSString>& binding) const;
    // Keeps the receiver's value for `binding` equal to the (transformed)
    // value at keyPath of the observed object. Binding a name again replaces
    // the earlier binding.
    virtual void bind(const Ref<NSString>& binding, const Id& observable, const Ref<NSString>& keyPath,
                      const Ref<class NSDictionary>& options);
    virtual void unbind(const Ref<NSString>& binding);
    // NSObservedObjectKey, NSObservedKeyPathKey and NSOptionsKey, or nil.
    virtual Ref<NSDictionary> infoForBinding(const Ref<NSString>& binding) const;

    // --- Key-value observing (NSKeyValueObserving.cpp) ---
    // options: NSKeyValueObservingOption{New, Old, Initial, Prior}. The
    // observer is held weakly; the registration ends when either side dies.
    void addObserver(const Id& observer, const Ref<NSString>& keyPath, NSUInteger options, void* context);
    // Removes the latest matching registration; raises NSRangeException when
    // there is none.
    void removeObserver(const Id& observer, const Ref<NSString>& keyPath);
    void removeObserver(const Id& observer, const Ref<NSString>& keyPath, void* context);
    // Receives change notices. The default raises, as an unhandled notice is a
    // fault of the observer's class.
    virtual void observeValueForKeyPathOfObjectChangeContext(const Ref<NSString>& keyPath, const Id& object,
                                                             const Ref<NSDictionary>& change, void* context);
    // Change notices for the indexed kinds (NSKeyValueChangeInsertion,
    // Removal, Replacement) of an ordered to-many key. The notice carries the
    // indexes under NSKeyValueChangeIndexesKey and, as the options ask, the
    // elements removed or replaced (old) and inserted or put in (new).
    // Removal and replacement indexes refer to the collection before the
    // change, insertion indexes to the collection after it.
    void willChangeValuesAtIndexesForKey(NSUInteger kind, const Ref<NSIndexSet>& indexes, const Ref<NSString>& key);
    void didChangeValuesAtIndexesForKey(NSUInteger kind, const Ref<NSIndexSet>& indexes, const Ref<NSString>& key);
    // Dependent keys: observers of `key` are told whenever a value at one of
    // keyPaths changes. Call it from the class's initialize, e.g.
    // setKeyPathsForValuesAffectingValueForKey<Store>("count"_ns, paths).
    static void setKeyPathsForValuesAffectingValueForKey(const NSClass& cls, const Ref<NSString>& key,
                                                         const Ref<NSArray>& keyPaths);
    template <class T>
    static void setKeyPathsForValuesAffectingValueForKey(const Ref<NSString>& key, const Ref<NSArray>& keyPaths)
    {
        setKeyPathsForValuesAffectingValueForKey(T::classRecord(), key, keyPaths);
    }
    // The key paths declared for the class and its superclasses.
    static Ref<NSArray> keyPathsForValuesAffectingValueForKey(const NSClass& cls, const Ref<NSString>& key);
    // Whether a Weak reference to the object was ever made. Observing and
    // binding records always make one, so an object without it skips their
    // tables when it changes or dies.
    bool hadWeakReferences() const noexcept { return m_weakControl.load(std::memory_order_acquire) != nullptr; }
    // Key-value coding over several keys (NSKeyValueCoding.cpp); NSNull
    // stands for nil in both directions.
    void setValuesForKeysWithDictionary(const Ref<NSDictionary>& keyedValues);
    Ref<NSDictionary> dictionaryWithValuesForKeys(const Ref<NSArray>& keys);

    // --- Performing selectors later or elsewhere (NSRunLoop / NSThread) ---
    // (NSObjectPerform.cpp.) Each retains the receiver and the argument until
    // the call has run or been cancelled. Modes are run-loop mode names
    // (NSRunLoop.h).
    // performSelector:withObject:afterDelay:[inModes:] on the current thread's
    // run loop; the default mode when no modes are given; a delay of 0 runs in
    // the next turn.
    void performSelectorAfterDelay(const SEL& selector, const Id& argument, NSTimeInterval delay);
    void performSelectorAfterDelay(const SEL& selector, const Id& argument, NSTimeInterval delay,
                                   const std::vector<std::string>& modes);
    // Cancels the current thread's delayed performs on the target: all of
    // them, or those with this selector and an equal (isEqual) argument.
    static void cancelPreviousPerformRequestsWithTarget(const Id& target);
    static void cancelPreviousPerformRequestsWithTarget(const Id& target, const SEL& selector, const Id& argument);
    // performSelectorOnMainThread:withObject:waitUntilDone:[modes:]; the
    // common modes when none are given. Waiting on the main thread runs the
    // call at once.
    void performSelectorOnMainThread(const SEL& selector, const Id& argument, bool waitUntilDone);
    void performSelectorOnMainThread(const SEL& selector, const Id& argument, bool waitUntilDone,
                                     const std::vector<std::string>& modes);
    // performSelector:onThread:withObject:waitUntilDone:[modes:], served by
    // that thread's run loop; waiting on the current thread runs it at once.
    void performSelectorOnThread(const SEL& selector, const Ref<class NSThread>& thread, const Id& argument,
                                 bool waitUntilDone);
    void performSelectorOnThread(const SEL& selector, const Ref<class NSThread>& thread, const Id& argument,
                                 bool waitUntilDone, const std::vector<std::string>& modes);
    // performSelectorInBackground:withObject: on a new detached thread.
    void performSelectorInBackground(const SEL& selector, const Id& argument);

    // The designated initialiser. Like the platform's, it may answer another
    // object than the receiver (a singleton answers the existing instance);
    // factories return what it answered.
    virtual Id init() { return this; }

    // Class initialisation hook; a class that declares its own gets it run once,
    // before its first instance or class-method use.
    static void initialize() { }

    // alloc: a fresh instance with class initialisation done. The factory then
    // runs the init form and answers what it returns.
    template <class T> static Ref<T> alloc()
    {
        T::staticClass();
        return Ref<T>::adopt(new T);
    }
    // alloc + init, answering what init answered.
    template <class T> static Ref<T> make() { return static_ref_cast<T>(alloc<T>()->init()); }

private:
    friend class NSClass;
    friend class WeakControl;
    friend WeakControl* weakControlOf(const NSObject*);
    bool tryRetain() const noexcept;

    mutable std::atomic<NSUInteger> m_refCount{1};
    mutable std::atomic<WeakControl*> m_weakControl{nullptr};
};

// Key-value observing hooks that the observing machinery implements.
namespace KVOHooks {
void willChange(NSObject* object, const Ref<NSString>& key);
void didChange(NSObject* object, const Ref<NSString>& key);
void objectDying(NSObject* object);
}
