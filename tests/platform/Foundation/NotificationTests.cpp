#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "Foundation/NSClass.h"
#include "Foundation/NSDistributedNotificationCenter.h"
#include "Foundation/NSException.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSOperationQueue.h"
#include "Foundation/NSThread.h"
#include "RunLoopTestSupport.h"

namespace {

std::vector<std::string> g_log;

class NoteObserver : public NSObject {
    NS_OBJECT(NoteObserver, NSObject)
protected:
    NoteObserver() = default;

public:
    static Ref<NoteObserver> named(const char* tag)
    {
        auto o = make<NoteObserver>();
        o->m_tag = tag;
        return o;
    }
    static void describeClass(NSClassMembers<NoteObserver>& m) { m.action("noticed:", &NoteObserver::noticed); }
    void noticed(const Ref<NSNotification>& n)
    {
        g_log.push_back(m_tag + ":" + n->name()->UTF8String());
        last = n;
        if (onNotice) onNotice();
    }
    Ref<NSNotification> last;
    std::function<void()> onNotice;

private:
    std::string m_tag;
};
NS_CLASS_DEFINE(NoteObserver)

class Notifications : public ::testing::Test {
protected:
    void SetUp() override { g_log.clear(); }
    Ref<NSNotificationCenter> center = NSObject::make<NSNotificationCenter>();
};

}

TEST_F(Notifications, NameAndObjectFilters)
{
    auto sender = NSObject::make<NSObject>();
    auto other = NSObject::make<NSObject>();
    struct Registration {
        const char* tag;
        Ref<NSString> name;
        Id object;
    } registrations[] = {
        {"any", nullptr, nullptr},
        {"nameA", "A"_ns, nullptr},
        {"fromSender", nullptr, sender},
        {"nameAFromSender", "A"_ns, sender},
    };
    std::vector<Ref<NoteObserver>> observers;
    for (const auto& r : registrations) {
        observers.push_back(NoteObserver::named(r.tag));
        center->addObserver(observers.back(), "noticed:", r.name, r.object);
    }
    struct Post {
        Ref<NSString> name;
        Id object;
        std::vector<std::string> expected;
    } posts[] = {
        {"A"_ns, sender, {"any:A", "nameA:A", "fromSender:A", "nameAFromSender:A"}},
        {"A"_ns, nullptr, {"any:A", "nameA:A"}},
        {"A"_ns, other, {"any:A", "nameA:A"}},
        {"B"_ns, sender, {"any:B", "fromSender:B"}},
        {"B"_ns, nullptr, {"any:B"}},
    };
    for (const auto& p : posts) {
        g_log.clear();
        center->postNotificationName(p.name, p.object);
        EXPECT_EQ(g_log, p.expected) << p.name->UTF8String() << (p.object ? " with object" : "");
    }
}

TEST_F(Notifications, DeliveryInRegistrationOrderWithTheNotification)
{
    std::vector<Ref<NoteObserver>> observers;
    for (const char* tag : {"3", "1", "2"}) {
        observers.push_back(NoteObserver::named(tag));
        center->addObserver(observers.back(), "noticed:", "N"_ns, nullptr);
    }
    Ref<NSNotification> blockSaw;
    Id token = center->addObserverForName("N"_ns, nullptr, nullptr, [&](const Ref<NSNotification>& n) {
        g_log.push_back("block:" + n->name()->UTF8String());
        blockSaw = n;
    });
    auto sender = NSObject::make<NSObject>();
    auto info = NSDictionary::dictionaryWithEntries({{"k"_ns, "v"_ns}});
    center->postNotificationName("N"_ns, sender, info);
    EXPECT_EQ(g_log, (std::vector<std::string>{"3:N", "1:N", "2:N", "block:N"}));
    ASSERT_TRUE(blockSaw);
    EXPECT_EQ(blockSaw.get(), observers[0]->last.get());
    EXPECT_EQ(blockSaw->object().get(), sender.get());
    EXPECT_EQ(blockSaw->userInfo()->objectForKey("k"_ns)->description()->UTF8String(), "v");

    center->removeObserver(token);
    g_log.clear();
    center->postNotificationName("N"_ns, nullptr);
    EXPECT_EQ(g_log, (std::vector<std::string>{"3:N", "1:N", "2:N"}));
    EXPECT_THROW(center->postNotificationName(nullptr, nullptr), NSException);
}

TEST_F(Notifications, DestroyedObserverIsNotCalled)
{
    auto keeper = NoteObserver::named("keeper");
    Weak<NoteObserver> weak;
    {
        auto doomed = NoteObserver::named("doomed");
        weak = doomed;
        center->addObserver(doomed, "noticed:", "N"_ns, nullptr);
        center->addObserver(keeper, "noticed:", "N"_ns, nullptr);
        center->postNotificationName("N"_ns, nullptr);
    }
    EXPECT_FALSE(weak.get());
    center->postNotificationName("N"_ns, nullptr);
    EXPECT_EQ(g_log, (std::vector<std::string>{"doomed:N", "keeper:N", "keeper:N"}));

    // An object filter that died matches nothing any more.
    g_log.clear();
    {
        auto sender = NSObject::make<NSObject>();
        center->addObserver(NoteObserver::named("gone"), "noticed:", nullptr, sender);
        center->addObserver(keeper, "noticed:", "M"_ns, sender);
    }
    center->postNotificationName("M"_ns, NSObject::make<NSObject>());
    EXPECT_TRUE(g_log.empty());
}

TEST_F(Notifications, RemovalAndAdditionDuringAPost)
{
    auto first = NoteObserver::named("first");
    auto second = NoteObserver::named("second");
    auto late = NoteObserver::named("late");
    center->addObserver(first, "noticed:", "N"_ns, nullptr);
    center->addObserver(second, "noticed:", "N"_ns, nullptr);
    first->onNotice = [&] {
        center->removeObserver(second);
        center->addObserver(late, "noticed:", "N"_ns, nullptr);
        first->onNotice = nullptr;
    };
    center->postNotificationName("N"_ns, nullptr);
    EXPECT_EQ(g_log, (std::vector<std::string>{"first:N"}));
    g_log.clear();
    center->postNotificationName("N"_ns, nullptr);
    EXPECT_EQ(g_log, (std::vector<std::string>{"first:N", "late:N"}));

    // An observer that destroys a later one during the post.
    g_log.clear();
    auto killer = NoteObserver::named("killer");
    Ref<NoteObserver> victim = NoteObserver::named("victim");
    auto c2 = NSObject::make<NSNotificationCenter>();
    c2->addObserver(killer, "noticed:", nullptr, nullptr);
    c2->addObserver(victim, "noticed:", nullptr, nullptr);
    killer->onNotice = [&] { victim = nullptr; };
    c2->postNotificationName("K"_ns, nullptr);
    EXPECT_EQ(g_log, (std::vector<std::string>{"killer:K"}));
}

TEST_F(Notifications, SelectiveRemoval)
{
    auto sender = NSObject::make<NSObject>();
    auto observer = NoteObserver::named("o");
    center->addObserver(observer, "noticed:", "A"_ns, nullptr);
    center->addObserver(observer, "noticed:", "B"_ns, sender);
    center->addObserver(observer, "noticed:", "B"_ns, nullptr);
    center->removeObserver(observer, "B"_ns, sender);
    center->postNotificationName("B"_ns, sender);
    EXPECT_EQ(g_log, (std::vector<std::string>{"o:B"}));
    center->removeObserver(observer, "B"_ns, nullptr);
    g_log.clear();
    center->postNotificationName("B"_ns, sender);
    center->postNotificationName("A"_ns, sender);
    EXPECT_EQ(g_log, (std::vector<std::string>{"o:A"}));
    center->removeObserver(observer);
    g_log.clear();
    center->postNotificationName("A"_ns, nullptr);
    EXPECT_TRUE(g_log.empty());
}

TEST_F(Notifications, DefaultAndDistributedCentresAreSeparate)
{
    auto local = NSNotificationCenter::defaultCenter();
    auto distributed = NSDistributedNotificationCenter::defaultCenter();
    EXPECT_EQ(local.get(), NSNotificationCenter::defaultCenter().get());
    EXPECT_EQ(distributed.get(), NSDistributedNotificationCenter::defaultCenter().get());
    ASSERT_NE(static_cast<NSNotificationCenter*>(distributed.get()), local.get());

    auto observer = NoteObserver::named("d");
    // Distributed objects are strings, matched by equality.
    distributed->addObserver(observer, "noticed:", "InputSourceChanged"_ns, NSString::stringWithUTF8String("system"));
    local->postNotificationName("InputSourceChanged"_ns, "system"_ns);
    EXPECT_TRUE(g_log.empty());
    distributed->postNotificationName("InputSourceChanged"_ns, NSMutableString::stringWithString("system"_ns));
    distributed->postNotificationName("InputSourceChanged"_ns, "user"_ns);
    EXPECT_EQ(g_log, (std::vector<std::string>{"d:InputSourceChanged"}));
    distributed->removeObserver(observer);
}

namespace {

class CountingNoteObserver : public NSObject {
    NS_OBJECT(CountingNoteObserver, NSObject)
protected:
    CountingNoteObserver() = default;

public:
    static void describeClass(NSClassMembers<CountingNoteObserver>& m)
    {
        m.action("noticed:", &CountingNoteObserver::noticed);
    }
    void noticed(const Ref<NSNotification>&) { ++count; }
    std::atomic<int> count{0};
};
NS_CLASS_DEFINE(CountingNoteObserver)

}

// Posts on worker threads while observers come, go and die on the main
// thread: every post reaches the observer that stays, and nothing crashes.
TEST_F(Notifications, PostsFromSeveralThreadsWhileObserversChange)
{
    auto stays = NSObject::make<CountingNoteObserver>();
    center->addObserver(stays, "noticed:", "T"_ns, nullptr);
    constexpr int perThread = 500;
    std::vector<std::thread> threads;
    for (int w = 0; w < 3; ++w)
        threads.emplace_back([&] {
            for (int i = 0; i < perThread; ++i) center->postNotificationName("T"_ns, nullptr);
        });
    for (int round = 0; round < 300; ++round) {
        auto passing = NSObject::make<CountingNoteObserver>();
        center->addObserver(passing, "noticed:", "T"_ns, nullptr);
        center->addObserverForName("T"_ns, nullptr, nullptr, [](const Ref<NSNotification>&) {});
        if (round % 2) center->removeObserver(passing);
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(stays->count.load(), 3 * perThread);
}

TEST(NotificationCenter, ABlockWithAQueueRunsThroughTheQueue)
{
    auto center = NSObject::make<NSNotificationCenter>();
    auto loop = NSRunLoop::mainRunLoop();
    ASSERT_TRUE(NSThread::isMainThread());

    // The main queue: later, on the main run loop.
    std::vector<std::string> seen;
    Id onMain =
        center->addObserverForName("N"_ns, nullptr, NSOperationQueue::mainQueue(), [&](const Ref<NSNotification>& n) {
            seen.push_back(n->name()->UTF8String() + (NSThread::isMainThread() ? "@main" : "@other"));
        });
    center->postNotificationName("N"_ns, nullptr);
    EXPECT_TRUE(seen.empty()) << "the post does not run the block itself";
    loop->runUntilIdle();
    EXPECT_EQ(seen, std::vector<std::string>{"N@main"});

    // Removed before the queue gets to it: never called.
    center->postNotificationName("N"_ns, nullptr);
    center->removeObserver(onMain);
    loop->runUntilIdle();
    EXPECT_EQ(seen.size(), 1u);

    // A queue of its own: on one of its workers.
    auto queue = NSObject::make<NSOperationQueue>();
    EventLog log;
    Id onWorker = center->addObserverForName("W"_ns, nullptr, queue, [&](const Ref<NSNotification>& n) {
        log.add(n->name()->UTF8String() + (NSThread::isMainThread() ? "@main" : "@worker"));
    });
    center->postNotificationName("W"_ns, nullptr);
    queue->waitUntilAllOperationsAreFinished();
    EXPECT_EQ(log.lines(), std::vector<std::string>{"W@worker"});
    center->removeObserver(onWorker);
}
