#include <gtest/gtest.h>

#include "Foundation/NSArray.h"
#include "Foundation/NSAutoreleasePool.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSString.h"

namespace {

std::vector<std::string> g_events;

class Counter : public NSObject {
    NS_OBJECT(Counter, NSObject)
protected:
    Counter() = default;

public:
    static void initialize() { g_events.push_back("initialize"); }
    Id init() override
    {
        g_events.push_back("init");
        return this;
    }
    static void describeClass(NSClassMembers<Counter>& m)
    {
        m.action("increment:", &Counter::increment);
        m.action("reset", &Counter::reset);
        m.action("add:to:", &Counter::addTo);
        m.property("value", &Counter::value, &Counter::setValue);
        m.property("name", &Counter::name, &Counter::setName);
    }
    void increment(const Id& sender)
    {
        ++m_value;
        m_lastSender = sender;
    }
    void reset() { m_value = 0; }
    void addTo(const Ref<NSNumber>& a, const Ref<NSNumber>& b) { m_value = a->integerValue() + b->integerValue(); }
    NSInteger value() const { return m_value; }
    void setValue(NSInteger v) { m_value = v; }
    Ref<NSString> name() const { return m_name; }
    void setName(const Ref<NSString>& n) { m_name = n; }
    Id lastSender() const { return m_lastSender; }

private:
    NSInteger m_value = 0;
    Ref<NSString> m_name;
    Id m_lastSender;
};
NS_CLASS_DEFINE(Counter)

// A class whose init answers the one shared instance.
class Shared : public NSObject {
    NS_OBJECT(Shared, NSObject)
protected:
    Shared() = default;

public:
    static Ref<Shared> sharedInstance() { return make<Shared>(); }
    Id init() override
    {
        static Shared* instance = nullptr;
        if (instance) return instance;
        instance = this;
        retain();  // never destroyed
        return this;
    }
};
NS_CLASS_DEFINE(Shared)

struct Tracked : NSObject {
    NS_OBJECT(Tracked, NSObject)
public:
    static inline int alive = 0;
    Tracked() { ++alive; }
    ~Tracked() override { --alive; }
};
NS_CLASS_DEFINE(Tracked)

}

TEST(ObjectModel, InitializeRunsOnceBeforeFirstInit)
{
    g_events.clear();
    auto a = NSObject::make<Counter>();
    auto b = NSObject::make<Counter>();
    EXPECT_EQ(g_events, (std::vector<std::string>{"initialize", "init", "init"}));
}

TEST(ObjectModel, SingletonSecondInitAnswersFirstInstance)
{
    auto first = Shared::sharedInstance();
    auto second = Shared::sharedInstance();
    EXPECT_EQ(first.get(), second.get());
}

TEST(ObjectModel, ClassRegistryCreatesByNameAndKnowsTheChain)
{
    const NSClass* cls = NSClassFromString("Counter"_ns);
    ASSERT_NE(cls, nullptr);
    EXPECT_EQ(cls->superclass(), &NSObject::classRecord());
    Id object = cls->newInstance();
    ASSERT_TRUE(object);
    EXPECT_TRUE(object->isKindOfClass(NSObject::staticClass()));
    EXPECT_TRUE(object->isMemberOfClass(Counter::staticClass()));
    EXPECT_FALSE(NSMutableString::string()->isMemberOfClass(NSString::staticClass()));
    EXPECT_TRUE(NSMutableString::string()->isKindOfClass(NSString::staticClass()));
    EXPECT_EQ(NSClassFromString("NoSuchClass"_ns), nullptr);
    EXPECT_EQ(object->className()->UTF8String(), "Counter");
}

TEST(ObjectModel, WeakReferenceReadsNullOnceTheObjectIsGone)
{
    Weak<Tracked> weak;
    {
        auto t = NSObject::make<Tracked>();
        weak = t;
        EXPECT_EQ(weak.get().get(), t.get());
    }
    EXPECT_FALSE(weak.get());
    EXPECT_EQ(Tracked::alive, 0);
}

TEST(ObjectModel, AutoreleasedObjectLivesUntilThePoolDrains)
{
    Weak<Tracked> weak;
    {
        NSAutoreleasePool pool;
        {
            auto t = NSObject::make<Tracked>();
            weak = t;
            NSAutoreleasePool::keepAlive(t);
        }
        EXPECT_TRUE(weak.get());
    }
    EXPECT_FALSE(weak.get());
}

TEST(ObjectModel, PerformSelectorByArity)
{
    auto c = NSObject::make<Counter>();
    auto sender = NSString::stringWithUTF8String("sender");
    // A one-argument action sent with two objects receives the first.
    c->performSelector("increment:", sender, "ignored"_ns);
    EXPECT_EQ(c->value(), 1);
    EXPECT_EQ(c->lastSender().get(), sender.get());
    c->performSelector("add:to:", NSNumber::numberWithInt(2), NSNumber::numberWithInt(40));
    EXPECT_EQ(c->value(), 42);
    c->performSelector("reset");
    EXPECT_EQ(c->value(), 0);
    EXPECT_TRUE(c->respondsToSelector("reset"));
    EXPECT_FALSE(c->respondsToSelector("fly:"));
    try {
        c->performSelector("fly:");
        FAIL() << "an unknown selector must raise";
    } catch (const NSException& e) {
        EXPECT_EQ(e.nameUTF8(), NSInvalidArgumentException);
        EXPECT_NE(e.reasonUTF8().find("-[Counter fly:]: unrecognized selector sent to instance"), std::string::npos);
    }
}

TEST(ObjectModel, KeyValueCodingOnRegisteredProperties)
{
    auto c = NSObject::make<Counter>();
    c->setValueForKey(NSNumber::numberWithInt(7), "value"_ns);
    EXPECT_EQ(c->value(), 7);
    // Strings convert through their numeric value, as the platform's do.
    c->setValueForKey("300H"_ns, "value"_ns);
    EXPECT_EQ(c->value(), 300);
    c->setValueForKey("Ann"_ns, "name"_ns);
    EXPECT_TRUE(c->valueForKeyPath("name.self"_ns)->isEqual("Ann"_ns.get()));
    EXPECT_EQ(dynamic_ref_cast<NSNumber>(c->valueForKey("value"_ns))->integerValue(), 300);
    EXPECT_THROW(c->valueForKey("nothing"_ns), NSException);
    EXPECT_THROW(c->setValueForKey(nullptr, "value"_ns), NSException);
}

TEST(ObjectModel, CopyOfImmutableAnswersReceiver)
{
    auto s = "abc"_ns;
    EXPECT_EQ(s->copy().get(), s.get());
    auto m = NSMutableString::stringWithString(s);
    Id c = m->copy();
    EXPECT_NE(c.get(), m.get());
    EXPECT_TRUE(c->isEqual(s.get()));
    EXPECT_FALSE(c->isKindOfClass(NSMutableString::staticClass()));
}
