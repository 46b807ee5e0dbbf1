#include <gtest/gtest.h>

#include "Foundation/NSArray.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSException.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSString.h"

namespace {

Ref<NSNumber> num(NSInteger v) { return NSNumber::numberWithInteger(v); }
Ref<NSString> str(const std::string& s) { return NSString::stringWithUTF8String(s); }

std::vector<std::string> texts(const Ref<NSArray>& a)
{
    std::vector<std::string> v;
    for (const Id& o : *a) v.push_back(o->description()->UTF8String());
    return v;
}

}

TEST(CollectionDictionary, EnumerationFollowsInsertionOrderAfterRemovalAndReinsertion)
{
    // Enough keys that removals compact the table, which must keep the order.
    auto d = NSMutableDictionary::dictionary();
    std::vector<std::string> expected;
    for (int i = 0; i < 20; ++i) {
        d->setObject(num(i), str("k" + std::to_string(i)));
        expected.push_back("k" + std::to_string(i));
    }
    for (int i = 0; i < 20; i += 2) d->removeObjectForKey(str("k" + std::to_string(i)));
    std::erase_if(expected, [](const std::string& k) { return std::stoi(k.substr(1)) % 2 == 0; });
    d->setObject(num(100), "k4"_ns);  // re-inserted: goes to the end
    d->setObject(num(101), "k7"_ns);  // replaced: keeps its place
    expected.push_back("k4");
    EXPECT_EQ(texts(d->allKeys()), expected);
    EXPECT_EQ(texts(d->keyEnumerator()->allObjects()), expected);
    EXPECT_EQ(d->count(), 11u);
    EXPECT_EQ(static_ref_cast<NSNumber>(d->objectForKey("k7"_ns))->integerValue(), 101);
    EXPECT_EQ(texts(d->objectEnumerator()->allObjects()).back(), "100");
}

TEST(CollectionDictionary, KeysAreCopied)
{
    auto key = NSMutableString::stringWithString("name"_ns);
    auto d = NSMutableDictionary::dictionary();
    d->setObject(num(1), key);
    key->appendString("-changed"_ns);
    EXPECT_TRUE(d->objectForKey("name"_ns));
    EXPECT_FALSE(d->objectForKey(key));
}

TEST(CollectionDictionary, ObjectsAndKeysEndAtTheFirstNilValue)
{
    struct Case {
        const char* name;
        std::initializer_list<Id> list;
        std::vector<std::string> keys;
    } cases[] = {
        {"complete list", {num(1), "a"_ns, num(2), "b"_ns}, {"a", "b"}},
        {"nil terminator", {num(1), "a"_ns, nullptr}, {"a"}},
        {"nil value in the middle ends the list", {num(1), "a"_ns, nullptr, "b"_ns, num(3), "c"_ns}, {"a"}},
        {"nil first value gives an empty dictionary", {nullptr, "a"_ns}, {}},
        {"repeated key keeps the last value", {num(1), "a"_ns, num(2), "a"_ns, nullptr}, {"a"}},
    };
    for (const auto& c : cases) {
        auto d = NSDictionary::dictionaryWithObjectsAndKeys(c.list);
        EXPECT_EQ(texts(d->allKeys()), c.keys) << c.name;
    }
    EXPECT_EQ(static_ref_cast<NSNumber>(
                  NSDictionary::dictionaryWithObjectsAndKeys({num(1), "a"_ns, num(2), "a"_ns})->objectForKey("a"_ns))
                  ->integerValue(),
              2);
    // A value without its key raises.
    EXPECT_THROW(NSDictionary::dictionaryWithObjectsAndKeys({num(1), "a"_ns, num(2)}), NSException);
    EXPECT_THROW(NSMutableDictionary::dictionaryWithObjectsAndKeys({num(1), nullptr}), NSException);
    EXPECT_TRUE(NSMutableDictionary::dictionaryWithObjectsAndKeys({num(1), "a"_ns, nullptr})
                    ->isKindOfClass(NSMutableDictionary::staticClass()));
}

TEST(CollectionDictionary, LookupsOverKeysAndValues)
{
    auto d = NSDictionary::dictionaryWithObjectsForKeys(NSArray::arrayWithObjects({num(3), num(1), num(3), num(2)}),
                                                        NSArray::arrayWithObjects({"c"_ns, "a"_ns, "x"_ns, "b"_ns}));
    EXPECT_EQ(texts(d->allKeysForObject(num(3))), (std::vector<std::string>{"c", "x"}));
    EXPECT_EQ(texts(d->keysSortedByValueUsingSelector("compare:")), (std::vector<std::string>{"a", "b", "c", "x"}));
    EXPECT_EQ(texts(d->objectsForKeys(NSArray::arrayWithObjects({"b"_ns, "missing"_ns, "a"_ns}), "-"_ns)),
              (std::vector<std::string>{"2", "-", "1"}));
    EXPECT_THROW(NSDictionary::dictionaryWithObjectsForKeys(NSArray::arrayWithObject(num(1)), NSArray::array()),
                 NSException);
}
