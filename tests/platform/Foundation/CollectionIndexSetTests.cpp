#include <gtest/gtest.h>

#include "Foundation/NSException.h"
#include "Foundation/NSIndexPath.h"
#include "Foundation/NSIndexSet.h"

namespace {

constexpr NSUInteger kNotFound = static_cast<NSUInteger>(NSNotFound);

std::vector<NSUInteger> indexesOf(const Ref<NSIndexSet>& s)
{
    std::vector<NSUInteger> v;
    s->enumerateIndexesUsingBlock([&](NSUInteger i, bool*) { v.push_back(i); });
    return v;
}

Ref<NSMutableIndexSet> setOf(std::initializer_list<NSRange> ranges)
{
    auto s = NSMutableIndexSet::indexSet();
    for (NSRange r : ranges) s->addIndexesInRange(r);
    return s;
}

}

TEST(CollectionIndexSet, RangesMergeAndSplit)
{
    auto s = setOf({{10, 3}, {2, 2}, {4, 1}, {13, 1}, {20, 0}});
    EXPECT_EQ(s->ranges(), (std::vector<NSRange>{{2, 3}, {10, 4}}));
    EXPECT_EQ(s->count(), 7u);
    s->removeIndex(11);
    s->removeIndexesInRange({0, 3});
    EXPECT_EQ(indexesOf(s), (std::vector<NSUInteger>{3, 4, 10, 12, 13}));
    std::vector<NSRange> ranges;
    s->enumerateRangesUsingBlock([&](NSRange r, bool* stop) {
        ranges.push_back(r);
        *stop = ranges.size() == 2;
    });
    EXPECT_EQ(ranges, (std::vector<NSRange>{{3, 2}, {10, 1}}));
    EXPECT_EQ(s->countOfIndexesInRange({4, 9}), 3u);
    EXPECT_TRUE(s->containsIndexesInRange({12, 2}));
    EXPECT_FALSE(s->containsIndexesInRange({10, 3}));
    EXPECT_FALSE(s->containsIndexesInRange({12, 0}));
    EXPECT_TRUE(s->containsIndexes(setOf({{3, 2}, {13, 1}})));
}

TEST(CollectionIndexSet, NeighbourQueries)
{
    auto s = setOf({{3, 2}, {10, 1}});
    auto empty = NSIndexSet::indexSet();
    struct Case {
        const char* query;
        NSUInteger (NSIndexSet::*method)(NSUInteger) const;
        NSUInteger argument, expected, expectedWhenEmpty;
    } cases[] = {
        {"greater than", &NSIndexSet::indexGreaterThanIndex, 4, 10, kNotFound},
        {"greater than at the end", &NSIndexSet::indexGreaterThanIndex, 10, kNotFound, kNotFound},
        {"greater than the largest", &NSIndexSet::indexGreaterThanIndex, NSUIntegerMax, kNotFound, kNotFound},
        {"greater or equal inside", &NSIndexSet::indexGreaterThanOrEqualToIndex, 4, 4, kNotFound},
        {"greater or equal in a gap", &NSIndexSet::indexGreaterThanOrEqualToIndex, 5, 10, kNotFound},
        {"less than", &NSIndexSet::indexLessThanIndex, 10, 4, kNotFound},
        {"less than 0", &NSIndexSet::indexLessThanIndex, 0, kNotFound, kNotFound},
        {"less or equal in a gap", &NSIndexSet::indexLessThanOrEqualToIndex, 9, 4, kNotFound},
        {"less or equal far above", &NSIndexSet::indexLessThanOrEqualToIndex, NSUIntegerMax, 10, kNotFound},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(((*s).*c.method)(c.argument), c.expected) << c.query;
        EXPECT_EQ(((*empty).*c.method)(c.argument), c.expectedWhenEmpty) << c.query;
    }
    EXPECT_EQ(s->firstIndex(), 3u);
    EXPECT_EQ(s->lastIndex(), 10u);
    EXPECT_EQ(empty->firstIndex(), kNotFound);
    EXPECT_EQ(empty->lastIndex(), kNotFound);
}

TEST(CollectionIndexSet, OverflowAndNotFoundEdges)
{
    // A range whose end overflows gives an empty set.
    EXPECT_EQ(NSIndexSet::indexSetWithIndexesInRange({5, NSUIntegerMax})->count(), 0u);
    EXPECT_EQ(NSIndexSet::indexSetWithIndexesInRange({NSUIntegerMax, 2})->count(), 0u);
    auto s = NSMutableIndexSet::indexSetWithIndex(1);
    s->addIndexesInRange({2, NSUIntegerMax});
    EXPECT_EQ(indexesOf(s), (std::vector<NSUInteger>{1}));
    // NSNotFound can never be stored.
    EXPECT_THROW(NSIndexSet::indexSetWithIndex(kNotFound), NSException);
    EXPECT_THROW(s->addIndex(kNotFound), NSException);
    EXPECT_THROW(s->addIndex(NSUIntegerMax), NSException);
    EXPECT_THROW(s->addIndexesInRange({kNotFound - 1, 2}), NSException);
    EXPECT_THROW(s->addIndexesInRange({0, NSUIntegerMax}), NSException);
    try {
        s->addIndex(kNotFound);
    } catch (const NSException& e) {
        EXPECT_EQ(e.nameUTF8(), NSInvalidArgumentException);
    }
    // The largest storable index works, and queries at the edge stay sane.
    s->addIndex(kNotFound - 1);
    EXPECT_EQ(s->lastIndex(), kNotFound - 1);
    EXPECT_EQ(s->indexGreaterThanIndex(kNotFound - 1), kNotFound);
    EXPECT_FALSE(s->containsIndex(kNotFound));
    EXPECT_EQ(s->countOfIndexesInRange({0, NSUIntegerMax}), 2u);
    s->removeIndexesInRange({2, NSUIntegerMax});
    EXPECT_EQ(indexesOf(s), (std::vector<NSUInteger>{1}));
}

TEST(CollectionIndexSet, ShiftingIndexes)
{
    struct Case {
        const char* name;
        NSUInteger start;
        NSInteger delta;
        std::vector<NSUInteger> expected;
    } cases[] = {
        {"up from inside a range", 3, 2, {1, 2, 5, 6, 12}},
        {"up from a gap", 5, 1, {1, 2, 3, 4, 11}},
        {"down removes the indexes it covers", 4, -2, {1, 2, 8}},
        {"down past zero drops what falls below", 10, -20, {}},
        {"down from inside a range", 2, -1, {1, 2, 3, 9}},
        {"nothing at or above the start", 11, 5, {1, 2, 3, 4, 10}},
        {"up to the largest index drops what would reach NSNotFound", 10, NSNotFound - 10, {1, 2, 3, 4}},
    };
    for (const auto& c : cases) {
        auto s = setOf({{1, 4}, {10, 1}});
        s->shiftIndexesStartingAtIndex(c.start, c.delta);
        EXPECT_EQ(indexesOf(s), c.expected) << c.name;
    }
}

TEST(CollectionIndexSet, EqualityAndCopies)
{
    auto a = setOf({{1, 2}, {5, 1}});
    auto b = setOf({{5, 1}, {2, 1}, {1, 1}});
    EXPECT_TRUE(a->isEqualToIndexSet(b));
    EXPECT_TRUE(a->isEqual(b.get()));
    EXPECT_EQ(a->hash(), b->hash());
    auto frozen = static_ref_cast<NSIndexSet>(a->copy());
    a->addIndex(9);
    EXPECT_FALSE(frozen->isEqualToIndexSet(a));
    EXPECT_EQ(frozen->copy().get(), frozen.get());
    auto thawed = static_ref_cast<NSMutableIndexSet>(frozen->mutableCopy());
    thawed->addIndex(9);
    EXPECT_TRUE(thawed->isEqualToIndexSet(a));
    EXPECT_EQ(frozen->count(), 3u);
    a->addIndexes(a);
    a->removeIndexes(a);
    EXPECT_EQ(a->count(), 0u);
}

TEST(CollectionIndexPath, BuildingAndComparing)
{
    NSUInteger raw[] = {1, 4, 2};
    auto p = NSIndexPath::indexPathWithIndexes(raw, 3);
    EXPECT_EQ(p->length(), 3u);
    EXPECT_EQ(p->indexAtPosition(1), 4u);
    EXPECT_EQ(p->indexAtPosition(3), kNotFound);
    auto parent = p->indexPathByRemovingLastIndex();
    EXPECT_EQ(parent->indexes(), (std::vector<NSUInteger>{1, 4}));
    EXPECT_TRUE(parent->indexPathByAddingIndex(2)->isEqual(p.get()));
    EXPECT_EQ(parent->indexPathByAddingIndex(2)->hash(), p->hash());
    EXPECT_EQ(NSIndexPath::indexPath()->indexPathByRemovingLastIndex()->length(), 0u);

    struct Case {
        std::vector<NSUInteger> a, b;
        int expected;
    } cases[] = {
        {{1, 4, 2}, {1, 4, 2}, 0}, {{1, 4}, {1, 4, 2}, -1}, {{1, 5}, {1, 4, 2}, 1}, {{0}, {1}, -1}, {{}, {0}, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NSIndexPath::indexPathWithIndexes(c.a)->compare(NSIndexPath::indexPathWithIndexes(c.b)), c.expected);
        EXPECT_EQ(NSIndexPath::indexPathWithIndexes(c.b)->compare(NSIndexPath::indexPathWithIndexes(c.a)), -c.expected);
    }
    EXPECT_EQ(NSIndexPath::indexPathWithIndex(7)->indexes(), (std::vector<NSUInteger>{7}));
}
