#include <gtest/gtest.h>

#include "Foundation/NSArray.h"
#include "Foundation/NSCountedSet.h"
#include "Foundation/NSException.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSSet.h"
#include "Foundation/NSString.h"

namespace {

Ref<NSNumber> num(NSInteger v) { return NSNumber::numberWithInteger(v); }

std::vector<std::string> texts(const Ref<NSArray>& a)
{
    std::vector<std::string> v;
    for (const Id& o : *a) v.push_back(o->description()->UTF8String());
    return v;
}

}

TEST(CollectionSet, EnumerationFollowsInsertionOrder)
{
    auto s = NSMutableSet::set();
    for (int i = 0; i < 12; ++i) s->addObject(num(i * 7 % 12));
    s->addObject(num(7));  // already a member: keeps its place
    for (int i = 0; i < 12; i += 3) s->removeObject(num(i));
    s->addObject(num(0));
    EXPECT_EQ(texts(s->allObjects()), (std::vector<std::string>{"7", "2", "4", "11", "1", "8", "10", "5", "0"}));
    EXPECT_EQ(texts(s->objectEnumerator()->allObjects()), texts(s->allObjects()));
    EXPECT_EQ(s->anyObject()->description()->UTF8String(), "7");
}

TEST(CollectionSet, MembershipIsByEquality)
{
    auto first = NSNumber::numberWithInt(3);
    auto s = NSSet::setWithArray(NSArray::arrayWithObjects({first, NSNumber::numberWithDouble(3.0), "a"_ns}));
    EXPECT_EQ(s->count(), 2u);
    // member answers the object stored, not the one asked with.
    EXPECT_EQ(s->member(NSNumber::numberWithFloat(3.0f)).get(), first.get());
    EXPECT_TRUE(s->containsObject(NSString::stringWithUTF8String("a")));
    EXPECT_FALSE(s->containsObject(nullptr));
    EXPECT_THROW(NSMutableSet::set()->addObject(nullptr), NSException);
    EXPECT_FALSE(NSSet::set()->anyObject());
}

TEST(CollectionSet, SetAlgebra)
{
    auto s = NSMutableSet::setWithArray(NSArray::arrayWithObjects({num(1), num(2), num(3)}));
    auto t = NSSet::setWithArray(NSArray::arrayWithObjects({num(3), num(4)}));
    s->unionSet(t);
    EXPECT_EQ(texts(s->allObjects()), (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_TRUE(t->isSubsetOfSet(s));
    EXPECT_FALSE(s->isSubsetOfSet(t));
    s->minusSet(NSSet::setWithObject(num(1)));
    EXPECT_EQ(texts(s->allObjects()), (std::vector<std::string>{"2", "3", "4"}));
    s->intersectSet(t);
    EXPECT_TRUE(s->isEqualToSet(t));
    EXPECT_TRUE(s->isEqual(t.get()));
    EXPECT_EQ(s->hash(), t->hash());
    s->minusSet(s);  // the argument may be the receiver
    EXPECT_EQ(s->count(), 0u);
    auto copy = static_ref_cast<NSSet>(t->mutableCopy());
    EXPECT_TRUE(copy->isEqualToSet(t));
    EXPECT_NE(copy.get(), t.get());
    EXPECT_EQ(t->copy().get(), t.get());
}

TEST(CollectionSet, CountedSetCountsThroughEveryEditingPath)
{
    auto s = NSCountedSet::set();
    s->addObject("a"_ns);
    s->addObjectsFromArray(NSArray::arrayWithObjects({"a"_ns, "b"_ns}));
    s->unionSet(NSSet::setWithObject("a"_ns));
    EXPECT_EQ(s->countForObject("a"_ns), 3u);
    EXPECT_EQ(s->countForObject("b"_ns), 1u);
    EXPECT_EQ(s->count(), 2u);
    // Through the base class, removal still counts down.
    Ref<NSMutableSet> base = s;
    base->removeObject("a"_ns);
    base->minusSet(NSSet::setWithObject("a"_ns));
    EXPECT_TRUE(s->containsObject("a"_ns));
    base->removeObject("a"_ns);
    EXPECT_FALSE(s->containsObject("a"_ns));
    EXPECT_EQ(s->countForObject("a"_ns), 0u);
    auto frozen = static_ref_cast<NSCountedSet>(s->copy());
    s->removeAllObjects();
    EXPECT_EQ(s->countForObject("b"_ns), 0u);
    EXPECT_EQ(frozen->countForObject("b"_ns), 1u);
}
