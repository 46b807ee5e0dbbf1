// The guideline model: free positions, set removal and the stored archive.
#include <gtest/gtest.h>

#include "Foundation/NSArchiver.h"
#include "Foundation/NSNotificationCenter.h"
#include "GuidelineStore.h"

namespace {

Ref<GuidelineSet> setWith(std::initializer_list<std::pair<int, float>> lines)
{
    auto set = GuidelineSet::create("S"_ns);
    for (auto [type, value] : lines) set->addGuideline(Guidelines::create(type, value));
    return set;
}

TEST(GuidelineModel, FreePositionIsFoundInOnePass)
{
    struct Case {
        std::initializer_list<std::pair<int, float>> lines;
        int type;
        float expected;
    };
    const Case cases[] = {
        {{}, 0, 80.0f},
        {{}, 1, 80.0f},
        {{{0, 80}, {0, 94}}, 0, 108.0f},
        {{{0, 94}, {0, 80}}, 0, 94.0f},  // the pass has gone past 94
        {{{1, 80}}, 0, 80.0f},           // other types do not count
        {{{0, 86.9f}}, 0, 100.9f},
        {{{0, 87}}, 0, 80.0f},  // 87 - 7 is not below 80
    };
    for (const auto& c : cases) EXPECT_FLOAT_EQ(setWith(c.lines)->freePosForType(c.type), c.expected);
}

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuidelineStore::resetShared();
        store = GuidelineStore::getSharedGuidelineStore();
        for (const char* name : {"A", "B", "C"})
            store->addGuidelineSet(GuidelineSet::create(NSString::stringWithUTF8String(name)));
        observer = NSNotificationCenter::defaultCenter()->addObserverForName(
            "SetActived"_ns, nullptr, nullptr, [this](const Ref<NSNotification>&) { ++posted; });
    }
    void TearDown() override
    {
        NSNotificationCenter::defaultCenter()->removeObserver(observer);
        GuidelineStore::resetShared();
    }
    Ref<GuidelineStore> store;
    Id observer;
    int posted = 0;
};

TEST_F(StoreTest, RemovingSetsKeepsOrMovesTheCurrentSet)
{
    store->activedSet(store->getSetAtIndex(2));  // C
    store->removeGuidelineSet(store->getSetAtIndex(0));
    EXPECT_EQ(store->getCurrentSet()->name()->UTF8String(), "C");
    EXPECT_EQ(store->currentSetIndex(), 1);
    store->removeGuidelineSet(store->getCurrentSet());
    EXPECT_EQ(store->getCurrentSet()->name()->UTF8String(), "B");
    const int before = posted;
    store->removeGuidelineSet(store->getCurrentSet());  // the last set stays
    EXPECT_EQ(store->nsets(), 1);
    EXPECT_EQ(posted, before);
    EXPECT_EQ(posted, 3);
    EXPECT_EQ(NSObject::make<GuidelineStore>().get(), store.get());
}

TEST_F(StoreTest, ArchiveKeepsNamesOrderTypesAndPositionsExactly)
{
    store->getSetAtIndex(0)->addGuideline(Guidelines::create(0, 80.1f));
    store->getSetAtIndex(0)->addGuideline(Guidelines::create(1, -3.25e-3f));
    store->getSetAtIndex(2)->addGuideline(Guidelines::create(257, 1e30f));  // low 8 bits: 1
    auto sets = GuidelineStore::setsFromData(store->guidelineSetsAsNSData());
    ASSERT_TRUE(sets);
    ASSERT_EQ(sets->count(), 3u);
    auto a = dynamic_ref_cast<GuidelineSet>(sets->objectAtIndex(0));
    EXPECT_EQ(a->name()->UTF8String(), "A");
    ASSERT_EQ(a->getLinesArray()->count(), 2u);
    auto l0 = dynamic_ref_cast<Guidelines>(a->getLinesArray()->objectAtIndex(0));
    auto l1 = dynamic_ref_cast<Guidelines>(a->getLinesArray()->objectAtIndex(1));
    EXPECT_EQ(l0->type(), 0);
    EXPECT_EQ(l0->value(), 80.1f);
    EXPECT_EQ(l1->type(), 1);
    EXPECT_EQ(l1->value(), -3.25e-3f);
    auto c = dynamic_ref_cast<GuidelineSet>(sets->objectAtIndex(2));
    EXPECT_EQ(dynamic_ref_cast<Guidelines>(c->getLinesArray()->objectAtIndex(0))->type(), 1);
}

TEST(GuidelineModel, DamagedOrForeignArchivesAreRefused)
{
    GuidelineStore::resetShared();
    auto store = GuidelineStore::getSharedGuidelineStore();
    store->setDefaultData();
    auto good = store->guidelineSetsAsNSData();
    auto truncated = NSData::dataWithBytes(good->bytes(), good->length() - 3);
    // A list of strings is a valid archive but not a list of sets.
    auto foreign = NSArchiver::archivedDataWithRootObject(NSArray::arrayWithObjects({"x"_ns}));
    auto bad = setWith({{0, 80}});
    bad->getLinesArray()->addObject("not a line"_ns);
    auto wrongLine = NSArchiver::archivedDataWithRootObject(NSArray::arrayWithObjects({bad}));
    auto nan = setWith({{0, std::numeric_limits<float>::quiet_NaN()}});
    auto nanData = NSArchiver::archivedDataWithRootObject(NSArray::arrayWithObjects({nan}));
    for (const auto& data : {truncated, foreign, wrongLine, nanData, Ref<NSData>()}) {
        std::string problem;
        EXPECT_FALSE(GuidelineStore::setsFromData(data, &problem));
        EXPECT_FALSE(problem.empty());
    }
    EXPECT_TRUE(GuidelineStore::setsFromData(good));
    GuidelineStore::resetShared();
}

}  // namespace
