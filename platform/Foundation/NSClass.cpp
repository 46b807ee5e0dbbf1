#include "Foundation/NSClass.h"

#include <mutex>
#include <shared_mutex>
#include <unordered_map>

#include "Foundation/NSClassLoading.h"
#include "Foundation/NSException.h"
#include "Foundation/NSString.h"
#include "Foundation/URLLoadingAvailability.h"

namespace {
struct Registry {
    std::shared_mutex lock;
    std::unordered_map<std::string, NSClass*> byName;
};
Registry& registry()
{
    static auto* r = new Registry;
    return *r;
}

// The collection of the load in progress, if any; loads hold loadLock.
std::recursive_mutex& loadLock()
{
    static auto* lock = new std::recursive_mutex;
    return *lock;
}
NSClassRegistrations* g_collecting = nullptr;
}

void NSClass::registerClass(NSClass& cls)
{
    Registry& r = registry();
    std::unique_lock lock(r.lock);
    auto [it, inserted] = r.byName.emplace(cls.name(), &cls);
    if (!inserted && it->second != &cls) {
        // Raising here would unwind through the dynamic loader.
        if (g_collecting) return g_collecting->refused.push_back(cls.name());
        NSException::raise(NSInternalInconsistencyException, "class " + cls.name() + " already exists");
    }
    if (inserted && g_collecting) g_collecting->registered.push_back(&cls);
}

NSClassRegistrations NSClassCollectRegistrations(const std::function<void()>& load)
{
    std::lock_guard guard(loadLock());
    NSClassRegistrations collected;
    NSClassRegistrations* outer = g_collecting;
    g_collecting = &collected;
    try {
        load();
    } catch (...) {
        g_collecting = outer;
        throw;
    }
    g_collecting = outer;
    return collected;
}

const NSClass* NSClass::named(const std::string& name)
{
    Registry& r = registry();
    std::shared_lock lock(r.lock);
    auto it = r.byName.find(name);
    return it == r.byName.end() ? nullptr : it->second;
}

bool NSClass::isSubclassOf(const NSClass& other) const
{
    for (const NSClass* c = this; c; c = c->m_superclass)
        if (c == &other) return true;
    return false;
}

void NSClass::ensureInitialized() const
{
    std::call_once(m_initOnce, [this] {
        if (m_superclass) m_superclass->ensureInitialized();
        if (m_initialize) m_initialize();
    });
}

Id NSClass::allocInstance() const
{
    if (!m_alloc) return nullptr;
    ensureInitialized();
    return m_alloc();
}

Id NSClass::newInstance() const
{
    Id object = allocInstance();
    return object ? object->init() : nullptr;
}

const NSClass::Action* NSClass::actionFor(const SEL& selector) const
{
    for (const NSClass* c = this; c; c = c->m_superclass) {
        auto it = c->m_actions.find(selector);
        if (it == c->m_actions.end()) continue;
        // An entry without a method withdraws what the superclasses offer:
        // instances of the class do not respond to the selector.
        return it->second.invoke ? &it->second : nullptr;
    }
    return nullptr;
}

void NSClass::addCategoryAction(const SEL& selector, int arity,
                                std::function<Id(NSObject*, const Id&, const Id&)> invoke)
{
    m_actions[selector] = {arity, std::move(invoke)};
}

const NSClass::Property* NSClass::propertyFor(const std::string& key) const
{
    for (const NSClass* c = this; c; c = c->m_superclass) {
        auto it = c->m_properties.find(key);
        if (it != c->m_properties.end()) return &it->second;
    }
    return nullptr;
}

const NSClass::OutletSetter* NSClass::outletFor(const std::string& name) const
{
    for (const NSClass* c = this; c; c = c->m_superclass) {
        auto it = c->m_outlets.find(name);
        if (it != c->m_outlets.end()) return &it->second;
    }
    return nullptr;
}

std::vector<std::string> NSClass::propertyNames() const
{
    std::vector<std::string> names;
    for (const NSClass* c = this; c; c = c->m_superclass)
        for (auto& [key, _] : c->m_properties) names.push_back(key);
    return names;
}

const NSClass* NSClassFromString(const Ref<NSString>& name)
{
    if (!name) return nullptr;
    std::string text = name->UTF8String();
    // Tests can make the URL loading classes look absent.
    if (URLLoadingHidesClassNamed(text)) return nullptr;
    return NSClass::named(text);
}

Ref<NSString> NSStringFromClass(const NSClass& cls) { return NSString::stringWithUTF8String(cls.name()); }
