#pragma once
// Class records: name, superclass, version, allocation by name, class
// initialisation, the action table, the key-value property table and the
// outlets that interface files connect.
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Foundation/Boxing.h"
#include "Foundation/NSObject.h"

class NSClass {
public:
    struct Action {
        int arity = 0;
        std::function<Id(NSObject*, const Id&, const Id&)> invoke;
    };
    struct Property {
        std::function<Id(NSObject*)> get;
        std::function<void(NSObject*, const Id&)> set;  // empty when read-only
        bool scalar = false;                            // nil cannot be set
    };
    // Stores a connected object in the field the outlet names; an object of
    // another class than the field holds stores nil.
    using OutletSetter = std::function<void(NSObject*, const Id&)>;

    template <class T> static NSClass make(const char* name);

    const std::string& name() const { return m_name; }
    const NSClass* superclass() const { return m_superclass; }
    bool isSubclassOf(const NSClass& other) const;
    NSInteger version() const { return m_version.load(); }
    void setVersion(NSInteger v) const { m_version.store(v); }

    // Runs initialize for the superclass chain, then this class, once.
    void ensureInitialized() const;
    // A new, uninitialised instance (alloc), or nil for abstract classes.
    Id allocInstance() const;
    // alloc + init.
    Id newInstance() const;

    const Action* actionFor(const SEL& selector) const;
    // Adds an action from outside the class, as a category does. Only while
    // libraries load (static initialisation), before any thread reads the table.
    void addCategoryAction(const SEL& selector, int arity, std::function<Id(NSObject*, const Id&, const Id&)> invoke);
    const Property* propertyFor(const std::string& key) const;
    // Names of the properties registered by this class and its superclasses.
    std::vector<std::string> propertyNames() const;
    // The outlet of this class or a superclass, or null.
    const OutletSetter* outletFor(const std::string& name) const;

    // Registered classes by name (NSClassFromString).
    static const NSClass* named(const std::string& name);
    static void registerClass(NSClass& cls);

    bool operator==(const NSClass& o) const { return this == &o; }

private:
    template <class T> friend class NSClassMembers;
    std::string m_name;
    const NSClass* m_superclass = nullptr;
    Id (*m_alloc)() = nullptr;
    void (*m_initialize)() = nullptr;
    mutable std::atomic<NSInteger> m_version{0};
    mutable std::once_flag m_initOnce;
    std::map<std::string, Action, std::less<>> m_actions;
    std::map<std::string, Property, std::less<>> m_properties;
    std::map<std::string, OutletSetter, std::less<>> m_outlets;

public:
    NSClass() = default;
    NSClass(NSClass&& o) noexcept
        : m_name(std::move(o.m_name))
        , m_superclass(o.m_superclass)
        , m_alloc(o.m_alloc)
        , m_initialize(o.m_initialize)
        , m_version(o.m_version.load())
        , m_actions(std::move(o.m_actions))
        , m_properties(std::move(o.m_properties))
        , m_outlets(std::move(o.m_outlets))
    { }
};

const NSClass* NSClassFromString(const Ref<NSString>& name);
Ref<NSString> NSStringFromClass(const NSClass& cls);

// Registers a class's actions, key-value properties and outlets; a class
// fills it in its static describeClass(NSClassMembers<T>&).
template <class T> class NSClassMembers {
public:
    explicit NSClassMembers(NSClass& cls)
        : m_class(cls)
    { }

    template <class R, class C> void action(const char* selector, R (C::*method)())
    {
        m_class.m_actions[selector] = {0, [method](NSObject* self, const Id&, const Id&) -> Id {
                                           return invoke<R>([&] { return (static_cast<T*>(self)->*method)(); });
                                       }};
    }
    template <class R, class C, class A> void action(const char* selector, R (C::*method)(A))
    {
        m_class.m_actions[selector] = {
            1, [method](NSObject* self, const Id& a, const Id&) -> Id {
                return invoke<R>([&] { return (static_cast<T*>(self)->*method)(Boxing<std::decay_t<A>>::unbox(a)); });
            }};
    }
    template <class R, class C, class A, class B> void action(const char* selector, R (C::*method)(A, B))
    {
        m_class.m_actions[selector] = {2, [method](NSObject* self, const Id& a, const Id& b) -> Id {
                                           return invoke<R>([&] {
                                               return (static_cast<T*>(self)->*method)(
                                                   Boxing<std::decay_t<A>>::unbox(a),
                                                   Boxing<std::decay_t<B>>::unbox(b));
                                           });
                                       }};
    }

    // A read-only property.
    template <class R, class C> void property(const char* key, R (C::*getter)() const)
    {
        m_class.m_properties[key] = {getterFor(getter), {}, !Boxing<std::decay_t<R>>::isObject};
    }
    // A read-write property.
    template <class R, class C, class A, class D>
    void property(const char* key, R (C::*getter)() const, void (D::*setter)(A))
    {
        m_class.m_properties[key] = {getterFor(getter),
                                     [setter](NSObject* self, const Id& v) {
                                         (static_cast<T*>(self)->*setter)(Boxing<std::decay_t<A>>::unbox(v));
                                     },
                                     !Boxing<std::decay_t<A>>::isObject};
    }

    // An outlet kept in a field: Ref<M> or Weak<M> (a back reference).
    template <class F, class C> void outlet(const char* name, F C::*field)
    {
        using M = typename OutletField<F>::Held;
        m_class.m_outlets[name] = [field](NSObject* self, const Id& v) {
            static_cast<T*>(self)->*field = dynamic_ref_cast<M>(v);
        };
    }
    // An outlet set through a setter taking Ref<M>.
    template <class A, class C> void outlet(const char* name, void (C::*setter)(A))
    {
        using M = typename OutletField<std::decay_t<A>>::Held;
        m_class.m_outlets[name] = [setter](NSObject* self, const Id& v) {
            (static_cast<T*>(self)->*setter)(dynamic_ref_cast<M>(v));
        };
    }

private:
    template <class F> struct OutletField;
    template <class M> struct OutletField<Ref<M>> {
        using Held = M;
    };
    template <class M> struct OutletField<Weak<M>> {
        using Held = M;
    };
    template <class R, class F> static Id invoke(F&& f)
    {
        if constexpr (std::is_void_v<R>) {
            f();
            return nullptr;
        } else {
            return Boxing<std::decay_t<R>>::box(f());
        }
    }
    template <class R, class C> static std::function<Id(NSObject*)> getterFor(R (C::*getter)() const)
    {
        return
            [getter](NSObject* self) -> Id { return Boxing<std::decay_t<R>>::box((static_cast<T*>(self)->*getter)()); };
    }
    NSClass& m_class;
};

template <class T> NSClass NSClass::make(const char* name)
{
    NSClass c;
    c.m_name = name;
    if constexpr (!std::is_same_v<T, NSObject>) {
        c.m_superclass = &T::Base::classRecord();
        if (&T::initialize != &T::Base::initialize) c.m_initialize = &T::initialize;
    }
    // Constructors are not public: the class record reaches them as a friend.
    if constexpr (requires { new T; }) c.m_alloc = []() -> Id { return Ref<NSObject>::adopt(new T); };
    if constexpr (requires(NSClassMembers<T> & m) { T::describeClass(m); }) {
        NSClassMembers<T> members(c);
        T::describeClass(members);
    }
    return c;
}

// Defines a class's record and registers its name at load time. Put it in the
// class's .cpp file.
#define NS_CLASS_DEFINE(T)                                                                                             \
    NSClass& T::classRecord()                                                                                          \
    {                                                                                                                  \
        static NSClass record = NSClass::make<T>(#T);                                                                  \
        return record;                                                                                                 \
    }                                                                                                                  \
    const NSClass& T::staticClass()                                                                                    \
    {                                                                                                                  \
        const NSClass& c = classRecord();                                                                              \
        c.ensureInitialized();                                                                                         \
        return c;                                                                                                      \
    }                                                                                                                  \
    [[maybe_unused]] static const bool T##_registered = [] {                                                           \
        NSClass::registerClass(T::classRecord());                                                                      \
        return true;                                                                                                   \
    }();
