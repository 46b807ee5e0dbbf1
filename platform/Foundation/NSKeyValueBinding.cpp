// Bindings: a record per (bound object, binding name) that owns one key-path
// observation of the observed object and pushes each new value, transformed,
// into the bound object.
#include "Foundation/NSKeyValueBinding.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSException.h"
#include "Foundation/NSKeyValueObserving.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSValueTransformer.h"

NS_CLASS_DEFINE(NSBindingSelectionMarker)

Ref<NSBindingSelectionMarker> NSBindingSelectionMarker::markerNamed(const char* name)
{
    static std::mutex lock;
    static auto* markers = new std::map<std::string, Ref<NSBindingSelectionMarker>>;
    std::lock_guard guard(lock);
    Ref<NSBindingSelectionMarker>& marker = (*markers)[name];
    if (!marker) {
        marker = alloc<NSBindingSelectionMarker>();
        marker->m_name = NSString::stringWithUTF8String(name);
    }
    return marker;
}

bool NSIsControllerMarker(const Id& object)
{
    return object &&
           (object == NSNoSelectionMarker || object == NSMultipleValuesMarker || object == NSNotApplicableMarker);
}

namespace {

int g_bindingContext;  // the context of every binding's observation

// Observes the bound key path for one binding and pushes values into the
// bound object. The bound object's record owns it; the observation holds it
// weakly, so dropping the record ends the observation.
class BindingObserver : public NSObject {
    NS_OBJECT(BindingObserver, NSObject)
protected:
    BindingObserver() = default;

public:
    Weak<NSObject> bound;
    Ref<NSString> binding;
    Id observedStrong;  // nil when the object is bound to itself
    Weak<NSObject> observed;
    Ref<NSString> keyPath;
    Ref<NSDictionary> options;
    Ref<NSValueTransformer> transformer;
    std::atomic<bool> active{true};

    void observeValueForKeyPathOfObjectChangeContext(const Ref<NSString>&, const Id&, const Ref<NSDictionary>&,
                                                     void*) override
    {
        push();
    }

    void push()
    {
        if (!active) return;
        Id target = bound.get();
        Id source = observed.get();
        if (!target || !source) return;
        Id value = present(source->valueForKeyPath(keyPath));
        // A scalar property cannot take nil; a missing value reads as 0 / NO.
        if (!value) {
            const NSClass::Property* p = target->realClass().propertyFor(binding->UTF8String());
            if (p && p->scalar) value = NSNumber::numberWithInteger(0);
        }
        target->setValueForKey(value, binding);
    }

private:
    Id present(const Id& raw) const
    {
        if (raw == NSMultipleValuesMarker)
            return options ? options->objectForKey(NSMultipleValuesPlaceholderBindingOption) : nullptr;
        if (NSIsControllerMarker(raw)) return nullptr;
        return transformer ? transformer->transformedValue(raw) : raw;
    }
};

}

NS_CLASS_DEFINE(BindingObserver)

namespace {

struct Exposed {
    std::mutex lock;
    std::unordered_map<const NSClass*, std::vector<Ref<NSString>>> byClass;
};

Exposed& exposed()
{
    static auto* e = new Exposed;
    return *e;
}

struct Bindings {
    std::mutex lock;
    std::unordered_map<const NSObject*, std::vector<Ref<BindingObserver>>> byObject;
};

Bindings& bindings()
{
    static auto* b = new Bindings;  // objects die during process exit too
    return *b;
}

// Live binding records; zero lets every death skip the table.
std::atomic<size_t> g_bindings{0};

Ref<BindingObserver> findRecord(const NSObject* object, const Ref<NSString>& binding)
{
    if (!binding || g_bindings.load(std::memory_order_acquire) == 0) return nullptr;
    Bindings& b = bindings();
    std::lock_guard lock(b.lock);
    auto it = b.byObject.find(object);
    if (it == b.byObject.end()) return nullptr;
    for (const auto& record : it->second)
        if (record->binding->isEqualToString(binding)) return record;
    return nullptr;
}

// Takes the record out of the table; the caller drops it outside the lock,
// which ends its observation.
Ref<BindingObserver> removeRecord(const NSObject* object, const Ref<NSString>& binding)
{
    if (!binding || g_bindings.load(std::memory_order_acquire) == 0) return nullptr;
    Ref<BindingObserver> removed;
    Bindings& b = bindings();
    std::lock_guard lock(b.lock);
    auto it = b.byObject.find(object);
    if (it == b.byObject.end()) return nullptr;
    auto match = std::find_if(it->second.begin(), it->second.end(),
                              [&](const auto& record) { return record->binding->isEqualToString(binding); });
    if (match == it->second.end()) return nullptr;
    removed = *match;
    it->second.erase(match);
    if (it->second.empty()) b.byObject.erase(it);
    g_bindings.fetch_sub(1, std::memory_order_acq_rel);
    removed->active = false;
    return removed;
}

Ref<NSValueTransformer> transformerFor(const Ref<NSDictionary>& options)
{
    if (!options) return nullptr;
    if (auto t = dynamic_ref_cast<NSValueTransformer>(options->objectForKey(NSValueTransformerBindingOption))) return t;
    auto name = dynamic_ref_cast<NSString>(options->objectForKey(NSValueTransformerNameBindingOption));
    if (!name) return nullptr;
    auto t = NSValueTransformer::valueTransformerForName(name);
    if (!t)
        NSException::raise(NSInvalidArgumentException, "Cannot find value transformer with name " + name->UTF8String());
    return t;
}

}

void NSObject::exposeBinding(const NSClass& cls, const Ref<NSString>& binding)
{
    if (!binding) return;
    Exposed& e = exposed();
    std::lock_guard lock(e.lock);
    auto& names = e.byClass[&cls];
    if (std::none_of(names.begin(), names.end(), [&](const Ref<NSString>& n) { return n->isEqualToString(binding); }))
        names.push_back(static_ref_cast<NSString>(binding->copy()));
}

Ref<NSArray> NSObject::exposedBindings() const
{
    std::vector<const NSClass*> chain;
    for (const NSClass* c = &realClass(); c; c = c->superclass()) chain.push_back(c);
    std::vector<Id> names;
    Exposed& e = exposed();
    std::lock_guard lock(e.lock);
    // Superclasses' bindings first.
    for (auto c = chain.rbegin(); c != chain.rend(); ++c) {
        auto it = e.byClass.find(*c);
        if (it == e.byClass.end()) continue;
        for (const Ref<NSString>& name : it->second)
            if (std::none_of(names.begin(), names.end(), [&](const Id& n) { return n->isEqual(name.get()); }))
                names.push_back(name);
    }
    return NSArray::arrayWithVector(std::move(names));
}

void NSBindingHoldsObservedWeakly(const Id& bound, const Ref<NSString>& binding)
{
    if (!bound) return;
    Id released;  // dropped outside the lock
    Bindings& b = bindings();
    std::lock_guard lock(b.lock);
    auto it = b.byObject.find(bound.get());
    if (it == b.byObject.end()) return;
    for (const auto& record : it->second)
        if (record->binding->isEqualToString(binding)) released = std::move(record->observedStrong);
}

const NSClass* NSObject::valueClassForBinding(const Ref<NSString>&) const { return nullptr; }

void NSObject::bind(const Ref<NSString>& binding, const Id& observable, const Ref<NSString>& keyPath,
                    const Ref<NSDictionary>& options)
{
    if (!binding || !observable || !keyPath)
        NSException::raise(NSInvalidArgumentException,
                           "-[" + realClass().name() +
                               " bind:toObject:withKeyPath:options:]: binding, object and key path must not be nil");
    auto record = alloc<BindingObserver>();
    record->bound = this;
    record->binding = static_ref_cast<NSString>(binding->copy());
    record->observed = observable;
    if (observable.get() != this) record->observedStrong = observable;
    record->keyPath = static_ref_cast<NSString>(keyPath->copy());
    record->options = options ? static_ref_cast<NSDictionary>(options->copy()) : NSDictionary::dictionary();
    record->transformer = transformerFor(options);

    Ref<BindingObserver> replaced = removeRecord(this, binding);
    observable->addObserver(record, record->keyPath, 0, &g_bindingContext);
    {
        Bindings& b = bindings();
        std::lock_guard lock(b.lock);
        b.byObject[this].push_back(record);
        g_bindings.fetch_add(1, std::memory_order_acq_rel);
    }
    try {
        record->push();
    } catch (...) {
        removeRecord(this, binding);
        throw;
    }
}

void NSObject::unbind(const Ref<NSString>& binding) { removeRecord(this, binding); }

Ref<NSDictionary> NSObject::infoForBinding(const Ref<NSString>& binding) const
{
    Ref<BindingObserver> record = findRecord(this, binding);
    if (!record) return nullptr;
    Id observed = record->observed.get();
    if (!observed) return nullptr;
    return NSDictionary::dictionaryWithEntries(
        {{NSObservedObjectKey, observed}, {NSObservedKeyPathKey, record->keyPath}, {NSOptionsKey, record->options}});
}

void KeyValueBindingObjectDying(NSObject* object)
{
    if (g_bindings.load(std::memory_order_acquire) == 0) return;
    std::vector<Ref<BindingObserver>> ended;
    {
        Bindings& b = bindings();
        std::lock_guard lock(b.lock);
        auto it = b.byObject.find(object);
        if (it == b.byObject.end()) return;
        ended = std::move(it->second);
        b.byObject.erase(it);
        g_bindings.fetch_sub(ended.size(), std::memory_order_acq_rel);
    }
    for (const auto& record : ended) record->active = false;
}
