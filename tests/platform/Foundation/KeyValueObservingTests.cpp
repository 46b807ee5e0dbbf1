#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSException.h"
#include "Foundation/NSIndexSet.h"
#include "Foundation/NSKeyValueObserving.h"
#include "Foundation/NSNull.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSString.h"

namespace {

class KVOItem : public NSObject {
    NS_OBJECT(KVOItem, NSObject)
protected:
    KVOItem() = default;

public:
    static void initialize()
    {
        setKeyPathsForValuesAffectingValueForKey<KVOItem>("fullName"_ns,
                                                          NSArray::arrayWithObjects({"first"_ns, "last"_ns}));
        setKeyPathsForValuesAffectingValueForKey<KVOItem>("partnerTitle"_ns,
                                                          NSArray::arrayWithObject("partner.fullName"_ns));
    }
    static void describeClass(NSClassMembers<KVOItem>& m)
    {
        m.property("first", &KVOItem::first, &KVOItem::setFirst);
        m.property("last", &KVOItem::last, &KVOItem::setLast);
        m.property("count", &KVOItem::count, &KVOItem::setCount);
        m.property("partner", &KVOItem::partner, &KVOItem::setPartner);
        m.property("fullName", &KVOItem::fullName);
        m.property("partnerTitle", &KVOItem::partnerTitle);
    }
    static Ref<KVOItem> create(const char* first, const char* last = "")
    {
        auto item = make<KVOItem>();
        item->m_first = NSString::stringWithUTF8String(first);
        item->m_last = NSString::stringWithUTF8String(last);
        return item;
    }
    Ref<NSString> first() const { return m_first; }
    void setFirst(const Ref<NSString>& v) { m_first = v; }
    Ref<NSString> last() const { return m_last; }
    void setLast(const Ref<NSString>& v) { m_last = v; }
    NSInteger count() const { return m_count; }
    void setCount(NSInteger v) { m_count = v; }
    Ref<KVOItem> partner() const { return m_partner; }
    void setPartner(const Ref<KVOItem>& v) { m_partner = v; }
    Ref<NSString> fullName() const { return NSString::stringWithFormat("%@ %@", m_first, m_last); }
    Ref<NSString> partnerTitle() const { return m_partner ? m_partner->fullName() : nullptr; }

private:
    Ref<NSString> m_first;
    Ref<NSString> m_last;
    NSInteger m_count = 0;
    Ref<KVOItem> m_partner;
};
NS_CLASS_DEFINE(KVOItem)

struct Notice {
    std::string keyPath;
    NSObject* object;
    Ref<NSDictionary> change;
    void* context;
    std::thread::id thread;
};

// Records every notice; `onNotice` lets a test act during delivery.
class KVORecorder : public NSObject {
    NS_OBJECT(KVORecorder, NSObject)
protected:
    KVORecorder() = default;

public:
    static inline int deliveriesToDead = 0;
    ~KVORecorder() override { m_dead = true; }
    void observeValueForKeyPathOfObjectChangeContext(const Ref<NSString>& keyPath, const Id& object,
                                                     const Ref<NSDictionary>& change, void* context) override
    {
        if (m_dead) ++deliveriesToDead;
        notices.push_back({keyPath->UTF8String(), object.get(), change, context, std::this_thread::get_id()});
        if (onNotice) onNotice();
    }
    std::vector<Notice> notices;
    std::function<void()> onNotice;

private:
    bool m_dead = false;
};
NS_CLASS_DEFINE(KVORecorder)

std::string text(const Id& value) { return value ? value->description()->UTF8String() : "nil"; }

// The change dictionary as "kind=1 new=b old=a", keys in a fixed order.
std::string summary(const Ref<NSDictionary>& change)
{
    std::string out;
    auto add = [&](const char* label, const Ref<NSString>& key) {
        if (Id v = change->objectForKey(key)) out += std::string(out.empty() ? "" : " ") + label + "=" + text(v);
    };
    add("kind", NSKeyValueChangeKindKey);
    add("new", NSKeyValueChangeNewKey);
    add("old", NSKeyValueChangeOldKey);
    add("indexes", NSKeyValueChangeIndexesKey);
    add("prior", NSKeyValueChangeNotificationIsPriorKey);
    return out;
}

std::vector<std::string> summaries(const KVORecorder& r)
{
    std::vector<std::string> out;
    for (const auto& n : r.notices) out.push_back(n.keyPath + ": " + summary(n.change));
    return out;
}

int g_context;
int g_otherContext;

}

TEST(KeyValueObserving, OptionsShapeTheChangeDictionary)
{
    struct Case {
        NSUInteger options;
        std::vector<std::string> expected;  // after adding, then setting first from "a" to "b"
    } cases[] = {
        {0, {"first: kind=1"}},
        {NSKeyValueObservingOptionNew, {"first: kind=1 new=b"}},
        {NSKeyValueObservingOptionOld, {"first: kind=1 old=a"}},
        {NSKeyValueObservingOptionNew | NSKeyValueObservingOptionOld, {"first: kind=1 new=b old=a"}},
        {NSKeyValueObservingOptionInitial, {"first: kind=1", "first: kind=1"}},
        {NSKeyValueObservingOptionInitial | NSKeyValueObservingOptionNew | NSKeyValueObservingOptionOld,
         {"first: kind=1 new=a", "first: kind=1 new=b old=a"}},
        {NSKeyValueObservingOptionPrior, {"first: kind=1 prior=1", "first: kind=1"}},
        {NSKeyValueObservingOptionPrior | NSKeyValueObservingOptionOld | NSKeyValueObservingOptionNew,
         {"first: kind=1 old=a prior=1", "first: kind=1 new=b old=a"}},
    };
    for (const auto& c : cases) {
        auto item = KVOItem::create("a");
        auto recorder = NSObject::make<KVORecorder>();
        item->addObserver(recorder, "first"_ns, c.options, &g_context);
        item->setValueForKey("b"_ns, "first"_ns);
        EXPECT_EQ(summaries(*recorder), c.expected) << "options " << c.options;
        for (const auto& n : recorder->notices) {
            EXPECT_EQ(n.object, item.get());
            EXPECT_EQ(n.context, &g_context);
        }
        item->removeObserver(recorder, "first"_ns);
    }
}

TEST(KeyValueObserving, NilValuesAppearAsNSNull)
{
    auto item = KVOItem::create("a");
    auto recorder = NSObject::make<KVORecorder>();
    item->addObserver(recorder, "partner"_ns, NSKeyValueObservingOptionNew | NSKeyValueObservingOptionOld, nullptr);
    item->setValueForKey(KVOItem::create("p"), "partner"_ns);
    item->setValueForKey(nullptr, "partner"_ns);
    ASSERT_EQ(recorder->notices.size(), 2u);
    EXPECT_EQ(recorder->notices[0].change->objectForKey(NSKeyValueChangeOldKey).get(), NSNull::null().get());
    EXPECT_EQ(recorder->notices[1].change->objectForKey(NSKeyValueChangeNewKey).get(), NSNull::null().get());
    item->removeObserver(recorder, "partner"_ns);
}

TEST(KeyValueObserving, RemoveObserverTakesExactlyOneRegistration)
{
    auto item = KVOItem::create("a");
    auto recorder = NSObject::make<KVORecorder>();
    item->addObserver(recorder, "count"_ns, 0, &g_context);
    item->addObserver(recorder, "count"_ns, 0, &g_otherContext);
    item->addObserver(recorder, "count"_ns, 0, &g_context);
    item->setValueForKey(NSNumber::numberWithInt(1), "count"_ns);
    EXPECT_EQ(recorder->notices.size(), 3u);

    item->removeObserver(recorder, "count"_ns, &g_otherContext);
    recorder->notices.clear();
    item->setValueForKey(NSNumber::numberWithInt(2), "count"_ns);
    ASSERT_EQ(recorder->notices.size(), 2u);
    EXPECT_EQ(recorder->notices[0].context, &g_context);

    item->removeObserver(recorder, "count"_ns);
    recorder->notices.clear();
    item->setValueForKey(NSNumber::numberWithInt(3), "count"_ns);
    EXPECT_EQ(recorder->notices.size(), 1u);

    item->removeObserver(recorder, "count"_ns, &g_context);
    EXPECT_THROW(item->removeObserver(recorder, "count"_ns), NSException);
    EXPECT_THROW(item->removeObserver(recorder, "first"_ns, &g_context), NSException);
}

TEST(KeyValueObserving, ManualNoticesNestForTheSameKeyAndDeliverOnce)
{
    auto item = KVOItem::create("a");
    auto recorder = NSObject::make<KVORecorder>();
    item->addObserver(recorder, "count"_ns, NSKeyValueObservingOptionOld | NSKeyValueObservingOptionNew, nullptr);
    item->willChangeValueForKey("count"_ns);
    item->willChangeValueForKey("count"_ns);
    item->setCount(5);
    item->didChangeValueForKey("count"_ns);
    EXPECT_TRUE(recorder->notices.empty());
    item->didChangeValueForKey("count"_ns);
    EXPECT_EQ(summaries(*recorder), (std::vector<std::string>{"count: kind=1 new=5 old=0"}));
    item->removeObserver(recorder, "count"_ns);
}

namespace {

// An ordered to-many key changed with indexed notices.
class KVOList : public NSObject {
    NS_OBJECT(KVOList, NSObject)
protected:
    KVOList() = default;

public:
    static void describeClass(NSClassMembers<KVOList>& m) { m.property("items", &KVOList::items); }
    Ref<NSArray> items() const { return NSArray::arrayWithArray(m_items); }
    void change(NSKeyValueChange kind, const Ref<NSIndexSet>& indexes, const std::function<void()>& mutate)
    {
        willChangeValuesAtIndexesForKey(kind, indexes, "items"_ns);
        mutate();
        didChangeValuesAtIndexesForKey(kind, indexes, "items"_ns);
    }
    Ref<NSMutableArray> m_items = NSMutableArray::arrayWithObjects({"a"_ns, "b"_ns, "c"_ns, "d"_ns});
};
NS_CLASS_DEFINE(KVOList)

// "[a,b]" for arrays of strings, "{1,3}" for index sets.
std::string compact(const Id& value)
{
    if (auto indexes = dynamic_ref_cast<NSIndexSet>(value)) {
        std::string out;
        indexes->enumerateIndexesUsingBlock(
            [&](NSUInteger i, bool*) { out += (out.empty() ? "" : ",") + std::to_string(i); });
        return "{" + out + "}";
    }
    if (auto array = dynamic_ref_cast<NSArray>(value)) {
        std::string out;
        for (const Id& e : array->snapshot()) out += (out.empty() ? "" : ",") + text(e);
        return "[" + out + "]";
    }
    return text(value);
}

std::string indexedSummary(const Ref<NSDictionary>& change)
{
    std::string out = "kind=" + text(change->objectForKey(NSKeyValueChangeKindKey));
    for (auto [label, key] : {std::pair{"indexes", NSKeyValueChangeIndexesKey},
                              {"old", NSKeyValueChangeOldKey},
                              {"new", NSKeyValueChangeNewKey},
                              {"prior", NSKeyValueChangeNotificationIsPriorKey}})
        if (Id v = change->objectForKey(key)) out += std::string(" ") + label + "=" + compact(v);
    return out;
}

}

TEST(KeyValueObserving, IndexedChangesCarryTheIndexesAndTheElements)
{
    struct Case {
        const char* name;
        NSKeyValueChange kind;
        Ref<NSIndexSet> indexes;
        std::function<void(NSMutableArray&)> mutate;
        std::vector<std::string> expected;  // the prior notice, then the notice
    };
    auto oneAndThree = NSMutableIndexSet::indexSetWithIndex(1);
    oneAndThree->addIndex(3);
    const Case cases[] = {
        // Removal indexes and old elements refer to the array before the removal.
        {"removal",
         NSKeyValueChangeRemoval,
         oneAndThree,
         [&](NSMutableArray& a) { a.removeObjectsAtIndexes(oneAndThree); },
         {"kind=3 indexes={1,3} old=[b,d] prior=1", "kind=3 indexes={1,3} old=[b,d]"}},
        // Insertion indexes and new elements refer to the array after it.
        {"insertion",
         NSKeyValueChangeInsertion,
         NSIndexSet::indexSetWithIndexesInRange(NSMakeRange(0, 2)),
         [](NSMutableArray& a) {
             a.insertObjects(NSArray::arrayWithObjects({"x"_ns, "y"_ns}),
                             NSIndexSet::indexSetWithIndexesInRange(NSMakeRange(0, 2)));
         },
         {"kind=2 indexes={0,1} prior=1", "kind=2 indexes={0,1} new=[x,y]"}},
        {"replacement",
         NSKeyValueChangeReplacement,
         NSIndexSet::indexSetWithIndex(2),
         [](NSMutableArray& a) { a.replaceObjectAtIndex(2, "z"_ns); },
         {"kind=4 indexes={2} old=[c] prior=1", "kind=4 indexes={2} old=[c] new=[z]"}},
    };
    for (const Case& c : cases) {
        auto list = NSObject::make<KVOList>();
        auto recorder = NSObject::make<KVORecorder>();
        list->addObserver(recorder, "items"_ns,
                          NSKeyValueObservingOptionOld | NSKeyValueObservingOptionNew | NSKeyValueObservingOptionPrior,
                          nullptr);
        list->change(c.kind, c.indexes, [&] { c.mutate(*list->m_items); });
        std::vector<std::string> got;
        for (const auto& n : recorder->notices) got.push_back(indexedSummary(n.change));
        EXPECT_EQ(got, c.expected) << c.name;
        list->removeObserver(recorder, "items"_ns);
    }
}

TEST(KeyValueObserving, IndexesOfANoticeDoNotChangeWithTheCallersSet)
{
    auto list = NSObject::make<KVOList>();
    auto recorder = NSObject::make<KVORecorder>();
    list->addObserver(recorder, "items"_ns, NSKeyValueObservingOptionOld, nullptr);
    auto indexes = NSMutableIndexSet::indexSetWithIndex(0);
    list->change(NSKeyValueChangeRemoval, indexes, [&] { list->m_items->removeObjectAtIndex(0); });
    indexes->addIndex(1);  // the caller reuses its set; the observer kept the notice
    ASSERT_EQ(recorder->notices.size(), 1u);
    EXPECT_EQ(indexedSummary(recorder->notices[0].change), "kind=3 indexes={0} old=[a]");
    list->removeObserver(recorder, "items"_ns);
}

TEST(KeyValueObserving, DyingObserverIsNeverCalledAndItsRegistrationsGo)
{
    auto item = KVOItem::create("a");
    KVORecorder::deliveriesToDead = 0;
    Weak<KVORecorder> weak;
    {
        auto recorder = NSObject::make<KVORecorder>();
        weak = recorder;
        item->addObserver(recorder, "first"_ns, NSKeyValueObservingOptionNew, nullptr);
        item->addObserver(recorder, "partner.first"_ns, NSKeyValueObservingOptionNew, nullptr);
        item->setValueForKey("b"_ns, "first"_ns);
        EXPECT_EQ(recorder->notices.size(), 1u);
    }
    EXPECT_FALSE(weak.get());
    item->setValueForKey("c"_ns, "first"_ns);
    item->setValueForKey(KVOItem::create("p"), "partner"_ns);
    EXPECT_EQ(KVORecorder::deliveriesToDead, 0);
    // A new observer (possibly at the dead one's address) starts clean.
    auto next = NSObject::make<KVORecorder>();
    item->addObserver(next, "first"_ns, 0, nullptr);
    item->setValueForKey("d"_ns, "first"_ns);
    EXPECT_EQ(next->notices.size(), 1u);
    item->removeObserver(next, "first"_ns);
    EXPECT_THROW(item->removeObserver(next, "first"_ns), NSException);
}

TEST(KeyValueObserving, DyingObservedObjectEndsItsRegistrations)
{
    auto recorder = NSObject::make<KVORecorder>();
    {
        auto item = KVOItem::create("a");
        item->addObserver(recorder, "first"_ns, 0, nullptr);
        item->addObserver(recorder, "partner.first"_ns, 0, nullptr);
    }
    // The registrations went with the object: one at a recycled address does
    // not inherit them.
    for (int i = 0; i < 8; ++i) {
        auto item = KVOItem::create("x");
        item->setValueForKey("y"_ns, "first"_ns);
        EXPECT_THROW(item->removeObserver(recorder, "first"_ns), NSException);
    }
    EXPECT_TRUE(recorder->notices.empty());
}

TEST(KeyValueObserving, DependentKeysAndDependentKeyPaths)
{
    auto item = KVOItem::create("Ada", "Byron");
    auto recorder = NSObject::make<KVORecorder>();
    item->addObserver(recorder, "fullName"_ns, NSKeyValueObservingOptionOld | NSKeyValueObservingOptionNew, nullptr);
    item->setValueForKey("Lovelace"_ns, "last"_ns);
    item->setValueForKey("Augusta"_ns, "first"_ns);
    item->setValueForKey(NSNumber::numberWithInt(3), "count"_ns);  // unrelated
    EXPECT_EQ(summaries(*recorder),
              (std::vector<std::string>{"fullName: kind=1 new=Ada Lovelace old=Ada Byron",
                                        "fullName: kind=1 new=Augusta Lovelace old=Ada Lovelace"}));
    item->removeObserver(recorder, "fullName"_ns);

    // partnerTitle depends on partner.fullName, which depends on first and last.
    recorder->notices.clear();
    auto partner = KVOItem::create("Charles", "Babbage");
    item->addObserver(recorder, "partnerTitle"_ns, NSKeyValueObservingOptionNew, nullptr);
    item->setValueForKey(partner, "partner"_ns);
    partner->setValueForKey("Chas"_ns, "first"_ns);
    EXPECT_EQ(summaries(*recorder), (std::vector<std::string>{"partnerTitle: kind=1 new=Charles Babbage",
                                                              "partnerTitle: kind=1 new=Chas Babbage"}));
    item->removeObserver(recorder, "partnerTitle"_ns);
}

TEST(KeyValueObserving, KeyPathFollowsAReplacedIntermediate)
{
    auto root = KVOItem::create("root");
    auto before = KVOItem::create("before");
    auto after = KVOItem::create("after");
    root->setPartner(before);
    auto recorder = NSObject::make<KVORecorder>();
    root->addObserver(recorder, "partner.first"_ns, NSKeyValueObservingOptionOld | NSKeyValueObservingOptionNew,
                      &g_context);

    before->setValueForKey("before2"_ns, "first"_ns);
    root->setValueForKey(after, "partner"_ns);
    before->setValueForKey("ignored"_ns, "first"_ns);  // no longer on the path
    after->setValueForKey("after2"_ns, "first"_ns);
    root->setValueForKey(nullptr, "partner"_ns);
    after->setValueForKey("ignored"_ns, "first"_ns);
    EXPECT_EQ(summaries(*recorder), (std::vector<std::string>{
                                        "partner.first: kind=1 new=before2 old=before",
                                        "partner.first: kind=1 new=after old=before2",
                                        "partner.first: kind=1 new=after2 old=after",
                                        "partner.first: kind=1 new=<null> old=after2",
                                    }));
    for (const auto& n : recorder->notices) EXPECT_EQ(n.object, root.get());
    root->removeObserver(recorder, "partner.first"_ns, &g_context);
}

TEST(KeyValueObserving, NoticesArriveOnTheChangingThread)
{
    auto item = KVOItem::create("a");
    auto recorder = NSObject::make<KVORecorder>();
    item->addObserver(recorder, "count"_ns, 0, nullptr);
    std::thread::id worker;
    std::thread t([&] {
        worker = std::this_thread::get_id();
        item->setValueForKey(NSNumber::numberWithInt(1), "count"_ns);
    });
    t.join();
    ASSERT_EQ(recorder->notices.size(), 1u);
    EXPECT_EQ(recorder->notices[0].thread, worker);
    item->removeObserver(recorder, "count"_ns);
}

TEST(KeyValueObserving, ObserverRemovedByAnEarlierOneIsNotCalled)
{
    auto item = KVOItem::create("a");
    auto first = NSObject::make<KVORecorder>();
    auto second = NSObject::make<KVORecorder>();
    item->addObserver(first, "count"_ns, 0, nullptr);
    item->addObserver(second, "count"_ns, 0, nullptr);
    first->onNotice = [&] { item->removeObserver(second, "count"_ns); };
    item->setValueForKey(NSNumber::numberWithInt(1), "count"_ns);
    EXPECT_EQ(first->notices.size(), 1u);
    EXPECT_TRUE(second->notices.empty());
    item->removeObserver(first, "count"_ns);
}

TEST(KeyValueObserving, UnhandledNoticeRaises)
{
    auto item = KVOItem::create("a");
    auto plain = NSObject::make<NSObject>();
    item->addObserver(plain, "count"_ns, 0, nullptr);
    EXPECT_THROW(item->setValueForKey(NSNumber::numberWithInt(1), "count"_ns), NSException);
    item->removeObserver(plain, "count"_ns);
}

namespace {

// Properties guarded by a lock, so that several threads may use one object.
class KVOSharedItem : public NSObject {
    NS_OBJECT(KVOSharedItem, NSObject)
protected:
    KVOSharedItem() = default;

public:
    static void initialize()
    {
        setKeyPathsForValuesAffectingValueForKey<KVOSharedItem>(
            "summary"_ns, NSArray::arrayWithObjects({"count"_ns, "partner.count"_ns}));
    }
    static void describeClass(NSClassMembers<KVOSharedItem>& m)
    {
        m.property("count", &KVOSharedItem::count, &KVOSharedItem::setCount);
        m.property("partner", &KVOSharedItem::partner, &KVOSharedItem::setPartner);
        m.property("summary", &KVOSharedItem::summary);
    }
    NSInteger count() const { return m_count; }
    void setCount(NSInteger v) { m_count = v; }
    Ref<KVOSharedItem> partner() const
    {
        std::lock_guard lock(m_lock);
        return m_partner;
    }
    void setPartner(const Ref<KVOSharedItem>& v)
    {
        Ref<KVOSharedItem> old;  // released after the lock
        std::lock_guard lock(m_lock);
        old = std::exchange(m_partner, v);
    }
    NSInteger summary() const
    {
        auto p = partner();
        return m_count + (p ? p->count() : 0);
    }

private:
    std::atomic<NSInteger> m_count{0};
    mutable std::mutex m_lock;
    Ref<KVOSharedItem> m_partner;
};
NS_CLASS_DEFINE(KVOSharedItem)

class CountingObserver : public NSObject {
    NS_OBJECT(CountingObserver, NSObject)
protected:
    CountingObserver() = default;

public:
    void observeValueForKeyPathOfObjectChangeContext(const Ref<NSString>&, const Id&, const Ref<NSDictionary>&,
                                                     void*) override
    {
        ++notices;
    }
    std::atomic<int> notices{0};
};
NS_CLASS_DEFINE(CountingObserver)

}

// Changes on worker threads while the main thread registers, removes and
// drops observers: nothing may crash, leak or deadlock (the sanitizers watch).
TEST(KeyValueObserving, ConcurrentChangesRegistrationsAndDeaths)
{
    constexpr int workers = 3;
    std::vector<Ref<KVOSharedItem>> roots;
    for (int i = 0; i < workers; ++i) roots.push_back(NSObject::make<KVOSharedItem>());
    auto keeper = NSObject::make<CountingObserver>();
    for (auto& root : roots) root->addObserver(keeper, "count"_ns, 0, nullptr);

    std::atomic<bool> stop{false};
    std::vector<std::thread> threads;
    for (int w = 0; w < workers; ++w) {
        threads.emplace_back([&, root = roots[w]] {
            for (int i = 0; !stop || i < 200; ++i) {
                root->setValueForKey(NSNumber::numberWithInt(i), "count"_ns);
                if (i % 7 == 0) root->setValueForKey(NSObject::make<KVOSharedItem>(), "partner"_ns);
                if (auto p = root->partner()) p->setValueForKey(NSNumber::numberWithInt(i), "count"_ns);
                if (i > 100000) break;
            }
        });
    }
    for (int round = 0; round < 200; ++round) {
        auto observer = NSObject::make<CountingObserver>();
        for (auto& root : roots) {
            root->addObserver(observer, "summary"_ns, NSKeyValueObservingOptionOld | NSKeyValueObservingOptionNew,
                              nullptr);
            root->addObserver(observer, "partner.count"_ns,
                              NSKeyValueObservingOptionPrior | NSKeyValueObservingOptionOld, nullptr);
        }
        if (round % 2) roots[round % workers]->removeObserver(observer, "summary"_ns);
        // Otherwise the observer dies here with its registrations.
    }
    stop = true;
    for (auto& t : threads) t.join();
    EXPECT_GT(keeper->notices.load(), 0);
    for (auto& root : roots) root->removeObserver(keeper, "count"_ns);
}
