#include <gtest/gtest.h>

#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSException.h"
#include "Foundation/NSLocale.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSSortDescriptor.h"
#include "Foundation/NSString.h"

namespace {

Ref<NSNumber> num(NSInteger v) { return NSNumber::numberWithInteger(v); }

std::vector<NSInteger> ints(const Ref<NSArray>& a)
{
    std::vector<NSInteger> v;
    for (const Id& o : *a) v.push_back(static_ref_cast<NSNumber>(o)->integerValue());
    return v;
}

std::vector<std::string> texts(const Ref<NSArray>& a)
{
    std::vector<std::string> v;
    for (const Id& o : *a) v.push_back(o->description()->UTF8String());
    return v;
}

// An element sorted by its rank, remembering its label, with its own compare:
// in the action table, as application classes declare it.
class RankedItem : public NSObject {
    NS_OBJECT(RankedItem, NSObject)
protected:
    RankedItem() = default;

public:
    static Ref<RankedItem> make(NSInteger rank, const char* label)
    {
        auto r = alloc<RankedItem>();
        r->m_rank = rank;
        r->m_label = NSString::stringWithUTF8String(label);
        return r;
    }
    static void describeClass(NSClassMembers<RankedItem>& m)
    {
        m.action("compare:", &RankedItem::compare);
        m.action("promote:", &RankedItem::promote);
        m.property("rank", &RankedItem::rank);
        m.property("label", &RankedItem::label);
    }
    NSInteger compare(const Ref<RankedItem>& other)
    {
        return m_rank < other->m_rank ? -1 : (m_rank > other->m_rank ? 1 : 0);
    }
    void promote(const Ref<NSNumber>& by) { m_rank += by->integerValue(); }
    NSInteger rank() const { return m_rank; }
    Ref<NSString> label() const { return m_label; }
    Ref<NSString> description() const override { return m_label; }

private:
    NSInteger m_rank = 0;
    Ref<NSString> m_label;
};
NS_CLASS_DEFINE(RankedItem)

Ref<NSArray> rankedItems()
{
    // Equal ranks appear in label order a, b, c, ... so stability is visible.
    return NSArray::arrayWithObjects({RankedItem::make(2, "a"), RankedItem::make(1, "b"), RankedItem::make(2, "c"),
                                      RankedItem::make(0, "d"), RankedItem::make(1, "e"), RankedItem::make(2, "f"),
                                      RankedItem::make(0, "g"), RankedItem::make(1, "h")});
}

}

TEST(CollectionArray, AddingNilRaisesInvalidArgument)
{
    auto a = NSMutableArray::array();
    try {
        a->addObject(nullptr);
        FAIL() << "no exception";
    } catch (const NSException& e) {
        EXPECT_EQ(e.nameUTF8(), NSInvalidArgumentException);
    }
    EXPECT_THROW(a->insertObject(nullptr, 0), NSException);
    EXPECT_THROW(NSArray::arrayWithObjects({num(1), nullptr}), NSException);
    EXPECT_EQ(a->count(), 0u);
}

TEST(CollectionArray, SortsAreStable)
{
    auto items = rankedItems();
    const std::vector<std::string> ascending{"d", "g", "b", "e", "h", "a", "c", "f"};
    EXPECT_EQ(texts(items->sortedArrayUsingSelector("compare:")), ascending);
    EXPECT_EQ(texts(items->sortedArrayUsingDescriptors(
                  NSArray::arrayWithObject(NSSortDescriptor::sortDescriptorWithKey("rank"_ns, true)))),
              ascending);
    EXPECT_EQ(texts(items->sortedArrayUsingDescriptors(
                  NSArray::arrayWithObject(NSSortDescriptor::sortDescriptorWithKey("rank"_ns, false)))),
              (std::vector<std::string>{"a", "c", "f", "b", "e", "h", "d", "g"}));
    // A second descriptor breaks ties of the first.
    auto byRankThenLabelDescending =
        NSArray::arrayWithObjects({NSSortDescriptor::sortDescriptorWithKey("rank"_ns, true),
                                   NSSortDescriptor::sortDescriptorWithKey("label"_ns, false)});
    EXPECT_EQ(texts(items->sortedArrayUsingDescriptors(byRankThenLabelDescending)),
              (std::vector<std::string>{"g", "d", "h", "e", "b", "f", "c", "a"}));

    auto mutableItems = NSMutableArray::arrayWithArray(items);
    mutableItems->sortUsingComparator([](const Id& a, const Id& b) {
        return CompareObjects(a->valueForKey("rank"_ns), b->valueForKey("rank"_ns), "compare:");
    });
    EXPECT_EQ(texts(mutableItems), ascending);
    mutableItems->setArray(items);
    int calls = 0;
    mutableItems->sortUsingFunction(
        [](const Id& a, const Id& b, void* context) -> NSInteger {
            ++*static_cast<int*>(context);
            return static_ref_cast<RankedItem>(b)->rank() - static_ref_cast<RankedItem>(a)->rank();
        },
        &calls);
    EXPECT_EQ(texts(mutableItems), (std::vector<std::string>{"a", "c", "f", "b", "e", "h", "d", "g"}));
    EXPECT_GT(calls, 0);
}

TEST(CollectionArray, SortingStringsByTheStringSelectors)
{
    auto words = NSArray::arrayWithObjects({"b"_ns, "A"_ns, "a"_ns, "B"_ns, "\u00e9"_ns, "e"_ns});
    struct Case {
        SEL selector;
        std::vector<std::string> expected;
    } cases[] = {
        {"compare:", {"A", "B", "a", "b", "e", "\u00e9"}},
        // Case-insensitive ties keep their original order.
        {"caseInsensitiveCompare:", {"A", "a", "b", "B", "e", "\u00e9"}},
        {"localizedCaseInsensitiveCompare:", {"A", "a", "b", "B", "e", "\u00e9"}},
    };
    for (const auto& c : cases) EXPECT_EQ(texts(words->sortedArrayUsingSelector(c.selector)), c.expected) << c.selector;
}

TEST(CollectionArray, LocalizedSortingFollowsTheCurrentLocale)
{
    // Swedish sorts "ä" after "z"; English with "a". The POSIX locale
    // still ignores case.
    auto words = NSArray::arrayWithObjects({"z"_ns, u"\u00e4"_ns, "B"_ns, "b"_ns, "a"_ns});
    struct Case {
        const char* locale;
        std::vector<std::string> expected;
    } cases[] = {
        {"sv_SE", {"a", "B", "b", "z", "\u00e4"}},
        {"en_US", {"a", "\u00e4", "B", "b", "z"}},
        {"en_US_POSIX", {"a", "\u00e4", "B", "b", "z"}},
    };
    for (const auto& c : cases) {
        NSLocale::setCurrentLocale(NSLocale::localeWithLocaleIdentifier(NSString::stringWithUTF8String(c.locale)));
        EXPECT_EQ(texts(words->sortedArrayUsingSelector("localizedCaseInsensitiveCompare:")), c.expected) << c.locale;
    }
    NSLocale::setCurrentLocale(nullptr);
}

TEST(CollectionArray, CompareKnowsNumbersAndDatesAndRaisesOnMismatch)
{
    auto mixed =
        NSArray::arrayWithObjects({NSNumber::numberWithDouble(2.5), num(-3), NSNumber::numberWithFloat(0.5f), num(2)});
    EXPECT_EQ(texts(mixed->sortedArrayUsingSelector("compare:")), (std::vector<std::string>{"-3", "0.5", "2", "2.5"}));
    auto dates = NSArray::arrayWithObjects(
        {NSDate::dateWithTimeIntervalSinceReferenceDate(20), NSDate::dateWithTimeIntervalSinceReferenceDate(-5)});
    auto sortedDates = dates->sortedArrayUsingSelector("compare:");
    EXPECT_EQ(static_ref_cast<NSDate>(sortedDates->firstObject())->timeIntervalSinceReferenceDate(), -5);
    EXPECT_THROW(NSArray::arrayWithObjects({"a"_ns, num(1)})->sortedArrayUsingSelector("compare:"), NSException);
    EXPECT_THROW(NSArray::arrayWithObjects({num(1), num(2)})->sortedArrayUsingSelector("noSuchCompare:"), NSException);
}

TEST(CollectionArray, InconsistentComparatorNeverLeavesTheArray)
{
    std::vector<Id> many;
    for (int i = 0; i < 200; ++i) many.push_back(num(i % 7));
    auto a = NSMutableArray::arrayWithArray(NSArray::arrayWithVector(many));
    unsigned state = 1;
    a->sortUsingComparator([&](const Id&, const Id&) {
        state = state * 1103515245u + 12345u;
        return static_cast<int>((state >> 16) % 3) - 1;
    });
    EXPECT_EQ(a->count(), 200u);
    for (const Id& o : *a) EXPECT_TRUE(o);
}

TEST(CollectionArray, ComparatorThatRaisesLeavesTheArrayUnchanged)
{
    auto a = NSMutableArray::arrayWithObjects({num(3), num(1), num(2)});
    EXPECT_THROW(
        a->sortUsingComparator([](const Id&, const Id&) -> int { NSException::raise(NSGenericException, "stop"); }),
        NSException);
    EXPECT_EQ(ints(a), (std::vector<NSInteger>{3, 1, 2}));
}

TEST(CollectionArray, RangeAndIndexSetEditing)
{
    auto a = NSMutableArray::arrayWithObjects({num(0), num(1), num(2), num(3), num(4), num(5)});
    auto evens = NSMutableIndexSet::indexSet();
    evens->addIndex(4);
    evens->addIndex(0);
    evens->addIndex(2);
    EXPECT_EQ(ints(a->objectsAtIndexes(evens)), (std::vector<NSInteger>{0, 2, 4}));
    EXPECT_EQ(a->indexesOfObjectsPassingTest([](const Id& o, NSUInteger, bool*) {
                   return static_ref_cast<NSNumber>(o)->integerValue() % 2 == 0;
               })->isEqualToIndexSet(evens),
              true);
    EXPECT_EQ(a->indexOfObject(num(1), NSMakeRange(2, 4)), static_cast<NSUInteger>(NSNotFound));
    EXPECT_EQ(a->indexOfObject(num(4), NSMakeRange(2, 4)), 4u);

    a->replaceObjectsInRange(NSMakeRange(1, 2), NSArray::arrayWithObjects({num(10), num(11), num(12)}));
    EXPECT_EQ(ints(a), (std::vector<NSInteger>{0, 10, 11, 12, 3, 4, 5}));
    a->removeObjectsInRange(NSMakeRange(4, 2));
    EXPECT_EQ(ints(a), (std::vector<NSInteger>{0, 10, 11, 12, 5}));
    a->removeObjectsAtIndexes(evens);
    EXPECT_EQ(ints(a), (std::vector<NSInteger>{10, 12}));
    // Objects go to the indexes of the grown array, in ascending order.
    auto at = NSMutableIndexSet::indexSetWithIndex(0);
    at->addIndex(2);
    at->addIndex(4);
    a->insertObjects(NSArray::arrayWithObjects({num(7), num(8), num(9)}), at);
    EXPECT_EQ(ints(a), (std::vector<NSInteger>{7, 10, 8, 12, 9}));
    a->removeObjectsInArray(NSArray::arrayWithObjects({num(8), num(9), num(99)}));
    EXPECT_EQ(ints(a), (std::vector<NSInteger>{7, 10, 12}));
    a->filterUsingBlock([](const Id& o) { return static_ref_cast<NSNumber>(o)->integerValue() > 7; });
    EXPECT_EQ(ints(a), (std::vector<NSInteger>{10, 12}));
    EXPECT_EQ(a->componentsJoinedByString(", "_ns)->UTF8String(), "10, 12");
    EXPECT_EQ(ints(a->arrayByAddingObjectsFromArray(a)), (std::vector<NSInteger>{10, 12, 10, 12}));

    // Bad ranges and indexes raise before anything changes.
    EXPECT_THROW(a->removeObjectsInRange(NSMakeRange(1, 5)), NSException);
    EXPECT_THROW(a->replaceObjectsInRange(NSMakeRange(NSUIntegerMax, 2), NSArray::array()), NSException);
    EXPECT_THROW(a->objectsAtIndexes(NSIndexSet::indexSetWithIndex(2)), NSException);
    EXPECT_THROW(a->insertObjects(NSArray::arrayWithObject(num(1)), NSIndexSet::indexSetWithIndex(3)), NSException);
    EXPECT_THROW(a->insertObjects(NSArray::arrayWithObject(num(1)), NSIndexSet::indexSet()), NSException);
    EXPECT_EQ(ints(a), (std::vector<NSInteger>{10, 12}));
}

TEST(CollectionArray, WalksTolerateMutation)
{
    auto a = NSMutableArray::arrayWithObjects({num(1), num(2), num(3)});
    // Range-for rereads the count: elements appended during the walk are
    // visited, and removing does not invalidate anything.
    std::vector<NSInteger> seen;
    for (const Id& o : *a) {
        NSInteger v = static_ref_cast<NSNumber>(o)->integerValue();
        seen.push_back(v);
        if (v < 3) a->addObject(num(v + 10));
        if (v == 11) a->removeAllObjects();
    }
    EXPECT_EQ(seen, (std::vector<NSInteger>{1, 2, 3, 11}));

    // Enumerators walk the array as it was.
    auto b = NSMutableArray::arrayWithObjects({num(1), num(2), num(3)});
    auto forward = b->objectEnumerator();
    auto backward = b->reverseObjectEnumerator();
    b->removeAllObjects();
    EXPECT_EQ(ints(forward->allObjects()), (std::vector<NSInteger>{1, 2, 3}));
    EXPECT_EQ(static_ref_cast<NSNumber>(backward->nextObject())->integerValue(), 3);
    EXPECT_EQ(ints(backward->allObjects()), (std::vector<NSInteger>{2, 1}));
    EXPECT_FALSE(backward->nextObject());
}

TEST(CollectionArray, MakeObjectsPerformSelectorReachesEveryElement)
{
    auto items = NSArray::arrayWithObjects({RankedItem::make(1, "a"), RankedItem::make(5, "b")});
    items->makeObjectsPerformSelector("promote:", num(10));
    EXPECT_EQ(ints(static_ref_cast<NSArray>(items->valueForKey("rank"_ns))), (std::vector<NSInteger>{11, 15}));
    EXPECT_THROW(items->makeObjectsPerformSelector("noSuchAction"), NSException);
}
