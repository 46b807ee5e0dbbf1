#include <gtest/gtest.h>

#include <algorithm>

#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSException.h"
#include "Foundation/NSKeyValueCoding.h"
#include "Foundation/NSNull.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSString.h"

namespace {

class KVCPerson : public NSObject {
    NS_OBJECT(KVCPerson, NSObject)
protected:
    KVCPerson() = default;

public:
    static Ref<KVCPerson> create(const char* name, NSInteger age, const Ref<KVCPerson>& buddy = nullptr)
    {
        auto p = make<KVCPerson>();
        p->m_name = NSString::stringWithUTF8String(name);
        p->m_age = age;
        p->m_buddy = buddy;
        return p;
    }
    static void describeClass(NSClassMembers<KVCPerson>& m)
    {
        m.property("name", &KVCPerson::name, &KVCPerson::setName);
        m.property("age", &KVCPerson::age, &KVCPerson::setAge);
        m.property("buddy", &KVCPerson::buddy, &KVCPerson::setBuddy);
    }
    Ref<NSString> name() const { return m_name; }
    void setName(const Ref<NSString>& v) { m_name = v; }
    NSInteger age() const { return m_age; }
    void setAge(NSInteger v) { m_age = v; }
    Ref<KVCPerson> buddy() const { return m_buddy; }
    void setBuddy(const Ref<KVCPerson>& v) { m_buddy = v; }

private:
    Ref<NSString> m_name;
    NSInteger m_age = 0;
    Ref<KVCPerson> m_buddy;
};
NS_CLASS_DEFINE(KVCPerson)

// A string without a contiguous buffer, as some string classes are.
class KVCSplitString : public NSString {
    NS_OBJECT(KVCSplitString, NSString)
protected:
    KVCSplitString() = default;

public:
    static Ref<NSString> with(const char16_t* text)
    {
        auto s = make<KVCSplitString>();
        s->m_text = text;
        return s;
    }
    NSUInteger length() const override { return m_text.size(); }
    unichar characterAtIndex(NSUInteger index) const override { return m_text.at(index); }
    void getCharacters(unichar* buffer, NSRange range) const override
    {
        std::copy_n(m_text.data() + range.location, range.length, buffer);
    }
    const unichar* characters() const override { return nullptr; }

private:
    std::u16string m_text;
};
NS_CLASS_DEFINE(KVCSplitString)

std::string text(const Id& value) { return value ? value->description()->UTF8String() : "nil"; }

// The elements' descriptions joined by commas, to compare arrays in one line.
std::string joined(const Id& value)
{
    auto array = dynamic_ref_cast<NSArray>(value);
    if (!array) return "not an array: " + text(value);
    std::string out;
    for (const Id& element : *array) out += (out.empty() ? "" : ",") + text(element);
    return out;
}

std::string exceptionName(const std::function<void()>& f)
{
    try {
        f();
    } catch (const NSException& e) {
        return e.nameUTF8();
    }
    return "none";
}

// Restores a hook however a test ends.
template <class Hook, class Setter> struct HookGuard {
    Setter set;
    Hook previous;
    HookGuard(Setter s, Hook hook)
        : set(s)
        , previous(s(std::move(hook)))
    { }
    ~HookGuard() { set(previous); }
};

}

TEST(KeyValueCoding, KeyPathsThroughRegisteredProperties)
{
    auto carl = KVCPerson::create("Carl", 50);
    auto bea = KVCPerson::create("Bea", 40, carl);
    auto ann = KVCPerson::create("Ann", 30, bea);
    struct Case {
        const char* path;
        std::string expected;
    } cases[] = {
        {"name", "Ann"},
        {"age", "30"},
        {"buddy.name", "Bea"},
        {"buddy.buddy.age", "50"},
        {"buddy.buddy.buddy", "nil"},
        {"buddy.buddy.buddy.name", "nil"},  // nil stops the walk
        {"self.buddy.self.name", "Bea"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(text(ann->valueForKeyPath(NSString::stringWithUTF8String(c.path))), c.expected) << c.path;
    EXPECT_EQ(ann->valueForKey("self"_ns).get(), ann.get());

    ann->setValueForKeyPath("Beatrice"_ns, "buddy.name"_ns);
    ann->setValueForKeyPath(NSNumber::numberWithInt(51), "buddy.buddy.age"_ns);
    EXPECT_EQ(bea->name()->UTF8String(), "Beatrice");
    EXPECT_EQ(carl->age(), 51);
    EXPECT_EQ(exceptionName([&] { ann->valueForKeyPath("buddy.height"_ns); }), "NSUnknownKeyException");
    EXPECT_EQ(exceptionName([&] { ann->setValueForKey(nullptr, "age"_ns); }), NSInvalidArgumentException);
}

TEST(KeyValueCoding, ArraysMapKeysOverTheirElements)
{
    auto bea = KVCPerson::create("Bea", 40);
    auto people = NSArray::arrayWithObjects({KVCPerson::create("Ann", 30, bea), bea, KVCPerson::create("Cid", 20)});
    EXPECT_EQ(joined(people->valueForKey("name"_ns)), "Ann,Bea,Cid");
    // A nil value keeps its place as NSNull.
    EXPECT_EQ(joined(people->valueForKeyPath("buddy.name"_ns)), "Bea,<null>,<null>");
    EXPECT_EQ(joined(people->valueForKey("self"_ns)), joined(people));

    auto mutablePeople = NSMutableArray::arrayWithArray(people);
    mutablePeople->setValueForKey(NSNumber::numberWithInt(7), "age"_ns);
    EXPECT_EQ(joined(people->valueForKey("age"_ns)), "7,7,7");
    NSArray::arrayWithObject(people)->setValueForKeyPath("Zed"_ns, "name"_ns);
    EXPECT_EQ(joined(mutablePeople->valueForKey("name"_ns)), "Zed,Zed,Zed");
}

TEST(KeyValueCoding, ArrayOperators)
{
    auto make = [](const char* name, NSInteger age) { return KVCPerson::create(name, age); };
    auto people = NSArray::arrayWithObjects({make("Ann", 30), make("Bea", 40), make("Ann", 20), make("Cid", 10)});
    auto nested = NSArray::arrayWithObjects(
        {NSArray::arrayWithObjects({"a"_ns, "b"_ns}), NSArray::arrayWithObjects({"b"_ns, "c"_ns}), NSArray::array()});
    struct Case {
        Ref<NSArray> receiver;
        const char* path;
        std::string expected;
    } cases[] = {
        {people, "@count", "4"},
        {people, "@sum.age", "100"},
        {people, "@avg.age", "25"},
        {people, "@max.age", "40"},
        {people, "@min.age", "10"},
        {people, "@max.name", "Cid"},
        {people, "@min.name", "Ann"},
        {NSArray::array(), "@max.age", "nil"},
        {NSArray::array(), "@sum.age", "0"},
        {nested, "@count", "3"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(text(c.receiver->valueForKeyPath(NSString::stringWithUTF8String(c.path))), c.expected) << c.path;

    struct ArrayCase {
        Ref<NSArray> receiver;
        const char* path;
        std::string expected;
    } arrayCases[] = {
        {people, "@unionOfObjects.name", "Ann,Bea,Ann,Cid"},
        {people, "@distinctUnionOfObjects.name", "Ann,Bea,Cid"},
        {NSArray::arrayWithObjects({"x"_ns, "y"_ns, "x"_ns}), "@distinctUnionOfObjects.self", "x,y"},
        {nested, "@distinctUnionOfArrays.self", "a,b,c"},
    };
    for (const auto& c : arrayCases)
        EXPECT_EQ(joined(c.receiver->valueForKeyPath(NSString::stringWithUTF8String(c.path))), c.expected) << c.path;

    // Operators also work in the middle of a path and as a plain key.
    EXPECT_EQ(text(NSArray::arrayWithObject(people)->valueForKeyPath("@count"_ns)), "1");
    EXPECT_EQ(text(people->valueForKey("@count"_ns)), "4");
    EXPECT_EQ(exceptionName([&] { people->valueForKeyPath("@median.age"_ns); }), "NSUnknownKeyException");
}

TEST(KeyValueCoding, ManyKeysAtOnceWithNSNullForNil)
{
    auto ann = KVCPerson::create("Ann", 30, KVCPerson::create("Bea", 40));
    ann->setValuesForKeysWithDictionary(NSDictionary::dictionaryWithEntries(
        {{"name"_ns, "Anna"_ns}, {"age"_ns, NSNumber::numberWithInt(31)}, {"buddy"_ns, NSNull::null()}}));
    EXPECT_EQ(ann->name()->UTF8String(), "Anna");
    EXPECT_EQ(ann->age(), 31);
    EXPECT_FALSE(ann->buddy());

    auto values = ann->dictionaryWithValuesForKeys(NSArray::arrayWithObjects({"name"_ns, "buddy"_ns}));
    EXPECT_EQ(values->count(), 2u);
    EXPECT_EQ(text(values->objectForKey("name"_ns)), "Anna");
    EXPECT_EQ(values->objectForKey("buddy"_ns).get(), NSNull::null().get());
}

TEST(KeyValueCoding, DictionariesAnswerTheirEntries)
{
    auto inner = NSMutableDictionary::dictionary();
    auto outer = NSDictionary::dictionaryWithEntries({{"inner"_ns, inner}});
    outer->setValueForKeyPath("v"_ns, "inner.key"_ns);
    EXPECT_EQ(text(outer->valueForKeyPath("inner.key"_ns)), "v");
    EXPECT_EQ(text(outer->valueForKey("missing"_ns)), "nil");
    inner->setValueForKey(nullptr, "key"_ns);
    EXPECT_EQ(inner->count(), 0u);
    // "@" reaches the dictionary's own properties instead of its entries.
    inner->setObject("entry"_ns, "self"_ns);
    EXPECT_EQ(text(inner->valueForKey("self"_ns)), "entry");
    EXPECT_EQ(inner->valueForKey("@self"_ns).get(), inner.get());
    EXPECT_EQ(exceptionName([&] { inner->valueForKey("@missing"_ns); }), "NSUnknownKeyException");
    EXPECT_EQ(exceptionName([&] { outer->setValueForKey("v"_ns, "k"_ns); }), "NSUnknownKeyException");
}

TEST(KeyValueCoding, UndefinedKeyHookReachesEveryObject)
{
    auto ann = KVCPerson::create("Ann", 30);
    EXPECT_EQ(exceptionName([&] { ann->valueForKey("height"_ns); }), "NSUnknownKeyException");

    std::vector<std::string> seen;
    {
        HookGuard guard(SetValueForUndefinedKeyHook,
                        ValueForUndefinedKeyHook([&](NSObject* receiver, const Ref<NSString>& key) -> Id {
                            seen.push_back(receiver->realClass().name() + "." + key->UTF8String());
                            return "fallback"_ns;
                        }));
        EXPECT_EQ(text(ann->valueForKey("height"_ns)), "fallback");
        EXPECT_EQ(text(NSNumber::numberWithInt(1)->valueForKey("colour"_ns)), "fallback");
        EXPECT_EQ(joined(NSArray::arrayWithObject(ann)->valueForKey("shoe"_ns)), "fallback");
        // The default hook, answered as the previous one, still raises.
        EXPECT_EQ(exceptionName([&] { guard.previous(ann.get(), "height"_ns); }), "NSUnknownKeyException");
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"KVCPerson.height", "NSNumber.colour", "KVCPerson.shoe"}));
    EXPECT_EQ(exceptionName([&] { ann->valueForKey("height"_ns); }), "NSUnknownKeyException");
}

TEST(KeyValueCoding, MutableArrayValueForKeyHook)
{
    auto people = NSArray::arrayWithObjects({KVCPerson::create("Ann", 30), KVCPerson::create("Bea", 40)});
    auto mutablePeople = NSMutableArray::arrayWithArray(people);
    {
        MutableArrayValueForKeyHook previous;
        HookGuard guard(SetMutableArrayValueForKeyHook,
                        MutableArrayValueForKeyHook([&](NSMutableArray* receiver, const Ref<NSString>& key) -> Id {
                            if (key->isEqualToString("first"_ns)) return receiver->firstObject();
                            return previous(receiver, key);
                        }));
        previous = guard.previous;
        EXPECT_EQ(mutablePeople->valueForKey("first"_ns).get(), people->firstObject().get());
        EXPECT_EQ(joined(mutablePeople->valueForKey("name"_ns)), "Ann,Bea");
        // Immutable arrays keep the plain mapping.
        EXPECT_EQ(exceptionName([&] { people->valueForKey("first"_ns); }), "NSUnknownKeyException");
    }
    EXPECT_EQ(exceptionName([&] { mutablePeople->valueForKey("first"_ns); }), "NSUnknownKeyException");
}

TEST(KeyValueCoding, KeysAndKeyPathsWithoutAContiguousBuffer)
{
    auto ann = KVCPerson::create("Ann", 30, KVCPerson::create("Bea", 20));
    EXPECT_EQ(text(ann->valueForKey(KVCSplitString::with(u"name"))), "Ann");
    EXPECT_EQ(text(ann->valueForKeyPath(KVCSplitString::with(u"buddy.name"))), "Bea");
    ann->setValueForKeyPath("Cid"_ns, KVCSplitString::with(u"buddy.name"));
    EXPECT_EQ(text(ann->valueForKeyPath("buddy.name"_ns)), "Cid");
    auto people = NSArray::arrayWithObjects({ann, KVCPerson::create("Dan", 40)});
    EXPECT_EQ(text(people->valueForKeyPath(KVCSplitString::with(u"@sum.age"))), "70");
    auto entries = NSDictionary::dictionaryWithEntries({{"k"_ns, "v"_ns}});
    EXPECT_EQ(entries->valueForKey(KVCSplitString::with(u"@self")).get(), entries.get());
}
