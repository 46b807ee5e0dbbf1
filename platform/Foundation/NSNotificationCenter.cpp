#include "Foundation/NSNotificationCenter.h"

#include <algorithm>
#include <atomic>

#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSOperationQueue.h"

NS_CLASS_DEFINE(NSNotificationCenter)

namespace {

// The observer of a block registration: removeObserver takes it, and it
// keeps the block.
class NotificationObserverToken : public NSObject {
    NS_OBJECT(NotificationObserverToken, NSObject)
protected:
    NotificationObserverToken() = default;

public:
    NSNotificationCenter::Block block;
};

// The distributed centre keeps its own copy of a string filter (a mutable
// string may change later); other objects are kept as they are.
Id filterCopy(const Id& object) { return dynamic_cast<NSString*>(object.get()) ? object->copy() : object; }

}

NS_CLASS_DEFINE(NotificationObserverToken)

struct NSNotificationCenter::Registration {
    Weak<NSObject> observer;
    const NSObject* observerAddress = nullptr;  // identity only
    SEL selector;
    Ref<NotificationObserverToken> token;  // block registrations
    Ref<NSOperationQueue> queue;           // where the block runs; nil: at once
    Ref<NSString> name;
    bool hasObject = false;
    Weak<NSObject> object;
    Id objectCopy;  // distributed centre: strings kept and compared by equality
    std::atomic<bool> removed{false};

    // A registration that can never be called again: its observer is gone, or
    // the object it waits for is.
    bool isDead() const
    {
        if (removed) return true;
        if (!token && !observer.get()) return true;
        return hasObject && !objectCopy && !object.get();
    }
};

Ref<NSNotificationCenter> NSNotificationCenter::defaultCenter()
{
    // Kept for the whole process: objects remove themselves during exit.
    static NSNotificationCenter* center = make<NSNotificationCenter>().leak();
    return center;
}

void NSNotificationCenter::dropDeadLocked(std::vector<std::shared_ptr<Registration>>& dropped)
{
    std::erase_if(m_registrations, [&](const std::shared_ptr<Registration>& r) {
        if (!r->isDead()) return false;
        dropped.push_back(r);
        return true;
    });
}

void NSNotificationCenter::add(std::shared_ptr<Registration> registration)
{
    std::vector<std::shared_ptr<Registration>> dropped;  // released after the lock
    std::lock_guard lock(m_lock);
    dropDeadLocked(dropped);
    m_registrations.push_back(std::move(registration));
}

void NSNotificationCenter::addObserver(const Id& observer, const SEL& selector, const Ref<NSString>& name,
                                       const Id& object)
{
    if (!observer || selector.empty())
        NSException::raise(
            NSInvalidArgumentException,
            "-[NSNotificationCenter addObserver:selector:name:object:]: observer and selector must be given");
    auto r = std::make_shared<Registration>();
    r->observer = observer;
    r->observerAddress = observer.get();
    r->selector = selector;
    r->name = name ? static_ref_cast<NSString>(name->copy()) : nullptr;
    r->hasObject = object != nullptr;
    r->object = object;
    if (m_matchObjectsByEquality && object) r->objectCopy = filterCopy(object);
    add(std::move(r));
}

Id NSNotificationCenter::addObserverForName(const Ref<NSString>& name, const Id& object,
                                            const Ref<NSOperationQueue>& queue, Block block)
{
    if (!block)
        NSException::raise(NSInvalidArgumentException,
                           "-[NSNotificationCenter addObserverForName:object:queue:usingBlock:]: block must be given");
    auto token = alloc<NotificationObserverToken>();
    token->block = std::move(block);
    auto r = std::make_shared<Registration>();
    r->observer = token;
    r->observerAddress = token.get();
    r->token = token;
    r->queue = queue;
    r->name = name ? static_ref_cast<NSString>(name->copy()) : nullptr;
    r->hasObject = object != nullptr;
    r->object = object;
    if (m_matchObjectsByEquality && object) r->objectCopy = filterCopy(object);
    add(std::move(r));
    return token;
}

void NSNotificationCenter::remove(const Id& observer, const Ref<NSString>& name, const Id& object)
{
    if (!observer) return;
    std::vector<std::shared_ptr<Registration>> removed;  // released after the lock
    std::lock_guard lock(m_lock);
    std::erase_if(m_registrations, [&](const std::shared_ptr<Registration>& r) {
        if (r->observerAddress != observer.get()) return false;
        if (name && (!r->name || !r->name->isEqualToString(name))) return false;
        if (object && !(r->hasObject &&
                        (r->object.refersTo(object.get()) || (r->objectCopy && r->objectCopy->isEqual(object.get())))))
            return false;
        // A post in progress may hold it; it must not be called any more.
        r->removed = true;
        removed.push_back(r);
        return true;
    });
}

void NSNotificationCenter::removeObserver(const Id& observer) { remove(observer, nullptr, nullptr); }

void NSNotificationCenter::removeObserver(const Id& observer, const Ref<NSString>& name, const Id& object)
{
    remove(observer, name, object);
}

bool NSNotificationCenter::matches(const Registration& r, const NSNotification& n) const
{
    if (r.name && !r.name->isEqualToString(n.name())) return false;
    if (!r.hasObject) return true;
    if (r.objectCopy) return n.object() && r.objectCopy->isEqual(n.object().get());
    return n.object() && r.object.refersTo(n.object().get());
}

void NSNotificationCenter::postNotification(const Ref<NSNotification>& notification)
{
    if (!notification || !notification->name())
        NSException::raise(NSInvalidArgumentException,
                           "-[NSNotificationCenter postNotification:]: notification must have a name");
    std::vector<std::shared_ptr<Registration>> targets;
    std::vector<std::shared_ptr<Registration>> dropped;  // released after the lock
    {
        std::lock_guard lock(m_lock);
        dropDeadLocked(dropped);
        for (const auto& r : m_registrations)
            if (matches(*r, *notification)) targets.push_back(r);
    }
    Ref<NSNotificationCenter> self(this);  // an observer may release the centre
    for (const auto& r : targets) {
        if (r->removed) continue;
        if (r->token && r->queue) {
            r->queue->addOperationWithBlock([r, notification] {
                if (!r->removed) r->token->block(notification);
            });
            continue;
        }
        if (r->token) {
            r->token->block(notification);
            continue;
        }
        Id observer = r->observer.get();
        if (observer) observer->performSelector(r->selector, notification);
    }
}

void NSNotificationCenter::postNotificationName(const Ref<NSString>& name, const Id& object,
                                                const Ref<NSDictionary>& userInfo)
{
    postNotification(NSNotification::notificationWithName(name, object, userInfo));
}
