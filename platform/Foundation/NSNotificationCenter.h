#pragma once
// Delivers notifications to observers registered by name and posting object.
//
// Delivery is synchronous, on the posting thread, in registration order
// (a block registered with an operation queue is instead added to that queue
// as an operation, in the same order). A
// nil name or object in a registration matches every notification. Observers
// are held weakly: a dead observer is never called and its registrations are
// dropped. Each post works on the registrations present when it starts, less
// those removed while it runs, so an observer removed by an earlier one is
// not called and one added during the post waits for the next post.
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "Foundation/NSNotification.h"

#include "Foundation/NSOperationQueue.h"

class NSNotificationCenter : public NSObject {
    NS_OBJECT(NSNotificationCenter, NSObject)
protected:
    NSNotificationCenter() = default;

public:
    using Block = std::function<void(const Ref<NSNotification>&)>;

    // The process's centre; never destroyed.
    static Ref<NSNotificationCenter> defaultCenter();

    // The selector is sent by name with the notification as its argument. The
    // object filter is compared by identity and not retained.
    void addObserver(const Id& observer, const SEL& selector, const Ref<NSString>& name, const Id& object);
    // Answers the observer token that removeObserver takes; the centre keeps
    // the token (and so the block) until then. With a nil queue the block runs
    // synchronously on the posting thread; otherwise each post adds it to the
    // queue as an operation (the main queue runs it on the main run loop,
    // in a later pass) and the post does not wait for it. A block queued but
    // not yet run when the observer is removed does not run.
    Id addObserverForName(const Ref<NSString>& name, const Id& object, const Ref<NSOperationQueue>& queue, Block block);
    // Every registration of the observer.
    void removeObserver(const Id& observer);
    // The observer's registrations for that name and object; nil matches all.
    void removeObserver(const Id& observer, const Ref<NSString>& name, const Id& object);

    // A nil name raises NSInvalidArgumentException.
    void postNotification(const Ref<NSNotification>& notification);
    void postNotificationName(const Ref<NSString>& name, const Id& object, const Ref<NSDictionary>& userInfo = nullptr);

protected:
    // The distributed centre's objects are strings: they match by equality
    // and registrations keep their own copy.
    bool m_matchObjectsByEquality = false;

private:
    struct Registration;
    bool matches(const Registration& r, const NSNotification& n) const;
    void add(std::shared_ptr<Registration> registration);
    // Moves registrations that can never be called again into `dropped`, to
    // be released once the lock is.
    void dropDeadLocked(std::vector<std::shared_ptr<Registration>>& dropped);
    void remove(const Id& observer, const Ref<NSString>& name, const Id& object);

    std::mutex m_lock;
    std::vector<std::shared_ptr<Registration>> m_registrations;
};
