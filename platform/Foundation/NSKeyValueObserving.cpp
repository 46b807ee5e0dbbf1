// Key-value observing.
//
// Observations live in one side table keyed by object address, so objects
// carry nothing for it and an object nobody observes pays one atomic load when
// it changes a value or dies. The table's lock is never held while an
// observer or a getter runs.
//
// A registration (one addObserver call) watches its key path through a chain
// of PathWatch nodes: the first key on the observed object, the rest of the
// path on that key's current value, rebuilt whenever that value changes. A
// key with dependent key paths also watches those paths. Every watched
// (object, key) is an entry in the table that names the node to tell.
#include "Foundation/NSKeyValueObserving.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <unordered_map>
#include <vector>

#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSException.h"
#include "Foundation/NSIndexSet.h"
#include "Foundation/NSKeyValueBinding.h"
#include "Foundation/NSNull.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSObjectAssociation.h"

namespace {

struct ChangeInfo {
    NSKeyValueChange kind = NSKeyValueChangeSetting;
    Ref<NSIndexSet> indexes;
};

// The elements of an ordered to-many value at the indexes; indexes past its
// end (a notice that does not match the collection) are left out.
Id elementsAt(const Id& value, const Ref<NSIndexSet>& indexes)
{
    auto* array = dynamic_cast<NSArray*>(value.get());
    if (!array || !indexes) return NSArray::array();
    std::vector<Id> all = array->snapshot();
    std::vector<Id> picked;
    indexes->enumerateIndexesUsingBlock([&](NSUInteger i, bool* stop) {
        if (i >= all.size()) *stop = true;
        else picked.push_back(all[i]);
    });
    return NSArray::arrayWithVector(std::move(picked));
}

// Something told before and after a watched value changes.
class Sink {
public:
    virtual void will(const ChangeInfo& info) = 0;
    virtual void did(const ChangeInfo& info) = 0;

protected:
    ~Sink() = default;
};

class Registration;

struct KeyEntry {
    KeyEntry(const NSObject* o, std::u16string k, std::weak_ptr<Registration> r, Sink* s, bool d)
        : object(o)
        , key(std::move(k))
        , owner(std::move(r))
        , sink(s)
        , direct(d)
    { }
    const NSObject* object;  // identity only, never dereferenced
    std::u16string key;
    std::weak_ptr<Registration> owner;
    Sink* sink;
    // The registration's own last key: indexed change kinds pass through.
    // Intermediate and dependent keys change the whole value (setting).
    bool direct;
    std::atomic<bool> active{true};
};

struct Table {
    std::mutex lock;
    std::unordered_map<const NSObject*, std::vector<std::shared_ptr<KeyEntry>>> entries;
    std::unordered_map<const NSObject*, std::vector<std::shared_ptr<Registration>>> byObserved;
    std::unordered_map<const NSObject*, std::vector<std::shared_ptr<Registration>>> byObserver;
};

// Never destroyed: objects die and change during process exit.
Table& table()
{
    static auto* t = new Table;
    return *t;
}

// Live registrations; zero lets every change and death skip the table.
std::atomic<size_t> g_registrations{0};

struct Dependencies {
    std::mutex lock;
    std::unordered_map<const NSClass*, std::map<std::u16string, std::vector<Ref<NSString>>>> byClass;
};

Dependencies& dependencies()
{
    static auto* d = new Dependencies;
    return *d;
}

std::vector<Ref<NSString>> affectingKeyPaths(const NSClass& cls, const std::u16string& key)
{
    std::vector<Ref<NSString>> paths;
    Dependencies& d = dependencies();
    std::lock_guard lock(d.lock);
    for (const NSClass* c = &cls; c; c = c->superclass()) {
        auto byKey = d.byClass.find(c);
        if (byKey == d.byClass.end()) continue;
        auto it = byKey->second.find(key);
        if (it == byKey->second.end()) continue;
        for (const Ref<NSString>& path : it->second)
            if (std::none_of(paths.begin(), paths.end(),
                             [&](const Ref<NSString>& p) { return p->isEqualToString(path); }))
                paths.push_back(path);
    }
    return paths;
}

// A key's text, also for strings without a contiguous buffer.
std::u16string unitsOf(const Ref<NSString>& key) { return std::u16string(StringChars(*key).view()); }

std::vector<std::u16string> splitPath(const std::u16string& path)
{
    std::vector<std::u16string> parts;
    size_t start = 0;
    for (size_t dot; (dot = path.find(u'.', start)) != std::u16string::npos; start = dot + 1)
        parts.push_back(path.substr(start, dot - start));
    parts.push_back(path.substr(start));
    return parts;
}

// The (class, key) pairs a dependency expansion has passed through, so that
// keys declared to depend on each other do not recurse.
using Trail = std::vector<std::pair<const NSClass*, std::u16string>>;

class PathWatch;

// Watches one key of one object, and the key paths the key depends on.
class KeyWatch {
public:
    KeyWatch(Registration& owner, NSObject* object, const std::u16string& key, Sink& sink, bool direct, Trail trail);
    ~KeyWatch();
    KeyWatch(const KeyWatch&) = delete;
    KeyWatch& operator=(const KeyWatch&) = delete;

private:
    std::shared_ptr<KeyEntry> m_entry;
    std::vector<std::unique_ptr<PathWatch>> m_dependencies;
};

// Watches a key path from one object: its first key here, the rest on that
// key's current value.
class PathWatch final : public Sink {
public:
    PathWatch(Registration& owner, NSObject* object, std::span<const std::u16string> path, Sink& outer, bool direct,
              Trail trail);

    void will(const ChangeInfo&) override { m_outer.will({}); }
    void did(const ChangeInfo&) override
    {
        rebuildChild();
        m_outer.did({});
    }

private:
    void rebuildChild();

    Registration& m_owner;
    Weak<NSObject> m_object;
    std::vector<std::u16string> m_path;
    Sink& m_outer;
    bool m_direct;
    Trail m_trail;
    std::unique_ptr<KeyWatch> m_head;
    std::unique_ptr<PathWatch> m_child;
};

// One addObserver call.
class Registration final : public Sink, public std::enable_shared_from_this<Registration> {
public:
    Registration(NSObject* observed, const Id& observer, const Ref<NSString>& keyPath, NSUInteger options,
                 void* context)
        : observedAddress(observed)
        , observerAddress(observer.get())
        , m_observer(observer)
        , m_observed(observed)
        , m_keyPath(static_ref_cast<NSString>(keyPath->copy()))
        , m_path(splitPath(unitsOf(keyPath)))
        , m_options(options)
        , m_context(context)
    { }

    const NSObject* const observedAddress;
    const NSObject* const observerAddress;
    bool detached = false;  // guarded by the table's lock

    bool matches(const NSObject* observer, const Ref<NSString>& keyPath, bool anyContext, void* context) const
    {
        return observer == observerAddress && m_keyPath->isEqualToString(keyPath) &&
               (anyContext || context == m_context);
    }

    void start()
    {
        std::lock_guard lock(m_lock);
        Id observed = m_observed.get();
        if (observed) m_watch = std::make_unique<PathWatch>(*this, observed.get(), m_path, *this, true, Trail{});
    }

    // Stops every notice, including ones already on their way.
    void cancel()
    {
        m_cancelled = true;
        std::lock_guard lock(m_lock);
        m_watch.reset();
        m_pending.clear();
    }

    // The watch tree changes under the registration's lock; the values of
    // the notice are read, and the observer called, after it is released, so
    // a getter that takes a lock of its own cannot deadlock with another
    // thread's change.
    void dispatch(KeyEntry& entry, const ChangeInfo& info, bool before)
    {
        {
            std::lock_guard lock(m_lock);
            if (m_cancelled || !entry.active) return;
            ChangeInfo effective = entry.direct ? info : ChangeInfo{};
            if (before) entry.sink->will(effective);
            else entry.sink->did(effective);
        }
        runSteps();
    }

    void sendInitial()
    {
        if (!(m_options & NSKeyValueObservingOptionInitial)) return;
        auto change = changeOf({});
        if (m_options & NSKeyValueObservingOptionNew) change->setObject(currentValue(), NSKeyValueChangeNewKey);
        send(change);
    }

    // Sink: the end of every chain. Called with the lock held; queues the
    // work for runSteps.
    void will(const ChangeInfo& info) override
    {
        Pending& p = m_pending[std::this_thread::get_id()];
        if (p.depth++ == 0) p.steps.push_back({true, info, nullptr});
    }

    void did(const ChangeInfo& info) override
    {
        Pending& p = m_pending[std::this_thread::get_id()];
        // Nested will/did pairs make one notice, sent by the outermost did.
        if (p.depth > 0 && --p.depth > 0) return;
        p.steps.push_back({false, info, std::move(p.old)});
    }

private:
    struct Step {
        bool before;
        ChangeInfo info;
        Id old;
    };
    // The changes in progress on one thread.
    struct Pending {
        int depth = 0;
        Id old;
        std::vector<Step> steps;
    };

    void runSteps()
    {
        const auto thread = std::this_thread::get_id();
        for (;;) {
            Step step;
            {
                std::lock_guard lock(m_lock);
                auto it = m_pending.find(thread);
                if (it == m_pending.end()) return;
                if (it->second.steps.empty()) {
                    if (it->second.depth == 0) m_pending.erase(it);
                    return;
                }
                step = std::move(it->second.steps.front());
                it->second.steps.erase(it->second.steps.begin());
            }
            if (m_cancelled) return;
            try {
                if (step.before) before(step.info);
                else after(step);
            } catch (...) {
                // A raising getter or observer abandons this thread's change,
                // so that the next one starts afresh.
                std::lock_guard lock(m_lock);
                m_pending.erase(thread);
                throw;
            }
        }
    }

    // The old value of a setting; the elements about to go of a removal or
    // replacement (its indexes refer to the collection before the change).
    void before(const ChangeInfo& info)
    {
        Id old;
        if ((m_options & NSKeyValueObservingOptionOld) && info.kind != NSKeyValueChangeInsertion) {
            old = info.kind == NSKeyValueChangeSetting ? currentValue() : elementsAt(currentValue(), info.indexes);
            std::lock_guard lock(m_lock);
            auto it = m_pending.find(std::this_thread::get_id());
            if (it != m_pending.end() && it->second.depth > 0) it->second.old = old;
        }
        if (!(m_options & NSKeyValueObservingOptionPrior)) return;
        auto change = changeOf(info);
        if (old) change->setObject(old, NSKeyValueChangeOldKey);
        change->setObject(NSNumber::numberWithBool(true), NSKeyValueChangeNotificationIsPriorKey);
        send(change);
    }

    // The new value of a setting; the elements now at the indexes of an
    // insertion or replacement.
    void after(const Step& step)
    {
        auto change = changeOf(step.info);
        if (step.old) change->setObject(step.old, NSKeyValueChangeOldKey);
        if ((m_options & NSKeyValueObservingOptionNew) && step.info.kind != NSKeyValueChangeRemoval)
            change->setObject(step.info.kind == NSKeyValueChangeSetting ? currentValue()
                                                                        : elementsAt(currentValue(), step.info.indexes),
                              NSKeyValueChangeNewKey);
        send(change);
    }

    Id currentValue() const
    {
        Id observed = m_observed.get();
        Id value = observed ? observed->valueForKeyPath(m_keyPath) : nullptr;
        return value ? value : Id(NSNull::null());
    }

    static Ref<NSMutableDictionary> changeOf(const ChangeInfo& info)
    {
        auto change = NSMutableDictionary::dictionary();
        change->setObject(NSNumber::numberWithUnsignedInteger(info.kind), NSKeyValueChangeKindKey);
        if (info.kind != NSKeyValueChangeSetting && info.indexes)
            change->setObject(info.indexes, NSKeyValueChangeIndexesKey);
        return change;
    }

    void send(const Ref<NSDictionary>& change)
    {
        // An earlier observer may have removed this one, or ended either side.
        if (m_cancelled) return;
        Id observer = m_observer.get();
        Id observed = m_observed.get();
        if (!observer || !observed) return;
        observer->observeValueForKeyPathOfObjectChangeContext(m_keyPath, observed, change, m_context);
    }

    std::recursive_mutex m_lock;
    std::atomic<bool> m_cancelled{false};
    Weak<NSObject> m_observer;
    Weak<NSObject> m_observed;
    Ref<NSString> m_keyPath;
    std::vector<std::u16string> m_path;
    NSUInteger m_options;
    void* m_context;
    std::unique_ptr<PathWatch> m_watch;
    std::map<std::thread::id, Pending> m_pending;
};

KeyWatch::KeyWatch(Registration& owner, NSObject* object, const std::u16string& key, Sink& sink, bool direct,
                   Trail trail)
    : m_entry(std::make_shared<KeyEntry>(object, key, owner.weak_from_this(), &sink, direct))
{
    {
        Table& t = table();
        std::lock_guard lock(t.lock);
        t.entries[object].push_back(m_entry);
    }
    const NSClass* cls = &object->realClass();
    if (std::find(trail.begin(), trail.end(), std::make_pair(cls, key)) != trail.end()) return;
    std::vector<Ref<NSString>> paths = affectingKeyPaths(*cls, key);
    if (paths.empty()) return;
    trail.emplace_back(cls, key);
    for (const Ref<NSString>& path : paths)
        m_dependencies.push_back(
            std::make_unique<PathWatch>(owner, object, splitPath(unitsOf(path)), sink, false, trail));
}

KeyWatch::~KeyWatch()
{
    m_dependencies.clear();
    m_entry->active = false;
    Table& t = table();
    std::lock_guard lock(t.lock);
    auto it = t.entries.find(m_entry->object);
    if (it == t.entries.end()) return;  // the object died first
    std::erase(it->second, m_entry);
    if (it->second.empty()) t.entries.erase(it);
}

PathWatch::PathWatch(Registration& owner, NSObject* object, std::span<const std::u16string> path, Sink& outer,
                     bool direct, Trail trail)
    : m_owner(owner)
    , m_object(object)
    , m_path(path.begin(), path.end())
    , m_outer(outer)
    , m_direct(direct)
    , m_trail(std::move(trail))
{
    if (m_path.size() == 1) {
        m_head = std::make_unique<KeyWatch>(owner, object, m_path[0], outer, direct, m_trail);
        return;
    }
    m_head = std::make_unique<KeyWatch>(owner, object, m_path[0], *this, false, m_trail);
    rebuildChild();
}

void PathWatch::rebuildChild()
{
    m_child.reset();
    Id object = m_object.get();
    if (!object) return;
    Id next = object->valueForKey(NSString::stringWithUTF16(m_path[0]));
    if (!next) return;
    m_child =
        std::make_unique<PathWatch>(m_owner, next.get(), std::span(m_path).subspan(1), m_outer, m_direct, m_trail);
}

// Takes a registration out of both indexes. Call with the table locked.
void detach(Table& t, const std::shared_ptr<Registration>& r)
{
    if (r->detached) return;
    r->detached = true;
    for (auto* index : {&t.byObserved, &t.byObserver}) {
        const NSObject* key = index == &t.byObserved ? r->observedAddress : r->observerAddress;
        auto it = index->find(key);
        if (it == index->end()) continue;
        std::erase(it->second, r);
        if (it->second.empty()) index->erase(it);
    }
}

void retire(const std::vector<std::shared_ptr<Registration>>& registrations)
{
    for (const auto& r : registrations) {
        r->cancel();
        g_registrations.fetch_sub(1, std::memory_order_acq_rel);
    }
}

void notify(NSObject* object, const Ref<NSString>& key, const ChangeInfo& info, bool before)
{
    if (g_registrations.load(std::memory_order_acquire) == 0 || !key || !object->hadWeakReferences()) return;
    std::vector<std::pair<std::shared_ptr<KeyEntry>, std::shared_ptr<Registration>>> hits;
    const std::u16string name = unitsOf(key);
    {
        Table& t = table();
        std::lock_guard lock(t.lock);
        auto it = t.entries.find(object);
        if (it == t.entries.end()) return;
        for (const auto& entry : it->second) {
            if (!entry->active || entry->key != name) continue;
            if (auto owner = entry->owner.lock()) hits.emplace_back(entry, std::move(owner));
        }
    }
    for (auto& [entry, owner] : hits) owner->dispatch(*entry, info, before);
}

std::string describe(const NSObject* object)
{
    char text[64];
    std::snprintf(text, sizeof text, "<%s %p>", object ? object->realClass().name().c_str() : "nil",
                  static_cast<const void*>(object));
    return text;
}

void removeRegistration(NSObject* observed, const Id& observer, const Ref<NSString>& keyPath, bool anyContext,
                        void* context)
{
    std::shared_ptr<Registration> found;
    if (keyPath && g_registrations.load(std::memory_order_acquire) != 0) {
        Table& t = table();
        std::lock_guard lock(t.lock);
        auto it = t.byObserved.find(observed);
        if (it != t.byObserved.end()) {
            // The latest registration first, so repeated adds and removes pair up.
            auto match = std::find_if(it->second.rbegin(), it->second.rend(), [&](const auto& r) {
                return r->matches(observer.get(), keyPath, anyContext, context);
            });
            if (match != it->second.rend()) found = *match;
        }
        if (found) detach(t, found);
    }
    if (!found)
        NSException::raise(NSRangeException, "Cannot remove an observer " + describe(observer.get()) +
                                                 " for the key path \"" + (keyPath ? keyPath->UTF8String() : "(null)") +
                                                 "\" from " + describe(observed) +
                                                 " because it is not registered as an observer.");
    retire({found});
}

}

void NSObject::addObserver(const Id& observer, const Ref<NSString>& keyPath, NSUInteger options, void* context)
{
    if (!observer || !keyPath)
        NSException::raise(
            NSInvalidArgumentException,
            "-[NSObject addObserver:forKeyPath:options:context:]: observer and key path must not be nil");
    auto registration = std::make_shared<Registration>(this, observer, keyPath, options, context);
    g_registrations.fetch_add(1, std::memory_order_acq_rel);
    try {
        registration->start();
    } catch (...) {
        retire({registration});
        throw;
    }
    {
        Table& t = table();
        std::lock_guard lock(t.lock);
        t.byObserved[this].push_back(registration);
        t.byObserver[observer.get()].push_back(registration);
    }
    registration->sendInitial();
}

void NSObject::removeObserver(const Id& observer, const Ref<NSString>& keyPath)
{
    removeRegistration(this, observer, keyPath, true, nullptr);
}

void NSObject::removeObserver(const Id& observer, const Ref<NSString>& keyPath, void* context)
{
    removeRegistration(this, observer, keyPath, false, context);
}

void NSObject::observeValueForKeyPathOfObjectChangeContext(const Ref<NSString>& keyPath, const Id& object,
                                                           const Ref<NSDictionary>& change, void* context)
{
    NSException::raise(
        NSInternalInconsistencyException,
        describe(this) +
            ": An -observeValueForKeyPath:ofObject:change:context: message was received but not handled.\n"
            "Key path: " +
            (keyPath ? keyPath->UTF8String() : "(null)") + "\nObserved object: " + describe(object.get()));
}

void NSObject::willChangeValuesAtIndexesForKey(NSUInteger kind, const Ref<NSIndexSet>& indexes,
                                               const Ref<NSString>& key)
{
    notify(this, key, {kind, indexes ? static_ref_cast<NSIndexSet>(indexes->copy()) : nullptr}, true);
}

void NSObject::didChangeValuesAtIndexesForKey(NSUInteger kind, const Ref<NSIndexSet>& indexes, const Ref<NSString>& key)
{
    notify(this, key, {kind, indexes ? static_ref_cast<NSIndexSet>(indexes->copy()) : nullptr}, false);
}

void NSObject::setKeyPathsForValuesAffectingValueForKey(const NSClass& cls, const Ref<NSString>& key,
                                                        const Ref<NSArray>& keyPaths)
{
    if (!key) return;
    std::vector<Ref<NSString>> paths;
    if (keyPaths)
        for (const Id& path : keyPaths->snapshot())
            if (auto text = dynamic_ref_cast<NSString>(path)) paths.push_back(static_ref_cast<NSString>(text->copy()));
    Dependencies& d = dependencies();
    std::lock_guard lock(d.lock);
    d.byClass[&cls][unitsOf(key)] = std::move(paths);
}

Ref<NSArray> NSObject::keyPathsForValuesAffectingValueForKey(const NSClass& cls, const Ref<NSString>& key)
{
    if (!key) return NSArray::array();
    std::vector<Ref<NSString>> paths = affectingKeyPaths(cls, unitsOf(key));
    return NSArray::arrayWithVector(std::vector<Id>(paths.begin(), paths.end()));
}

namespace KVOHooks {

void willChange(NSObject* object, const Ref<NSString>& key) { notify(object, key, {}, true); }

void didChange(NSObject* object, const Ref<NSString>& key) { notify(object, key, {}, false); }

void objectDying(NSObject* object)
{
    if (!object->hadWeakReferences()) return;
    NSObjectAssociation::objectDying(object);
    KeyValueBindingObjectDying(object);
    if (g_registrations.load(std::memory_order_acquire) == 0) return;
    std::vector<std::shared_ptr<Registration>> doomed;
    std::vector<std::shared_ptr<KeyEntry>> orphaned;
    {
        Table& t = table();
        std::lock_guard lock(t.lock);
        for (auto* index : {&t.byObserved, &t.byObserver}) {
            auto it = index->find(object);
            if (it == index->end()) continue;
            std::vector<std::shared_ptr<Registration>> registrations = it->second;
            for (const auto& r : registrations) {
                if (r->detached) continue;
                detach(t, r);
                doomed.push_back(r);
            }
        }
        // Watches on the object as an intermediate or dependency stay with
        // their registrations, which no longer hear from this address.
        if (auto it = t.entries.find(object); it != t.entries.end()) {
            orphaned = std::move(it->second);
            t.entries.erase(it);
        }
    }
    for (const auto& entry : orphaned) entry->active = false;
    retire(doomed);
}

}
