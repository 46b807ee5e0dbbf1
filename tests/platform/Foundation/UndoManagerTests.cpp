// The undo manager: groups by event and nested groups, undo and redo
// stacks, levels, names and titles, notifications, and targets that go away.
#include <gtest/gtest.h>

#include "Foundation/Clock.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSUndoManager.h"

namespace {

// A counter whose changes register their own reversal, the way a document
// model does.
class UndoCounter : public NSObject {
    NS_OBJECT(UndoCounter, NSObject)
protected:
    UndoCounter() = default;

public:
    Ref<NSUndoManager> undo;
    NSInteger value = 0;

    void setValue(NSInteger v)
    {
        undo->registerUndoWithTarget(Ref<UndoCounter>(this), "setValueObject:", NSNumber::numberWithInteger(value));
        value = v;
    }
    void setValueObject(const Ref<NSNumber>& v) { setValue(v->integerValue()); }
    static void describeClass(NSClassMembers<UndoCounter>& m)
    {
        m.action("setValueObject:", &UndoCounter::setValueObject);
    }
};

class NotificationLog : public NSObject {
    NS_OBJECT(NotificationLog, NSObject)
protected:
    NotificationLog() = default;

public:
    std::vector<std::string> names;
    void note(const Ref<NSNotification>& n)
    {
        std::string name = n->name()->UTF8String();
        names.push_back(name.substr(std::string("NSUndoManager").size()));
    }
    static void describeClass(NSClassMembers<NotificationLog>& m) { m.action("note:", &NotificationLog::note); }
};

}

NS_CLASS_DEFINE(UndoCounter)
NS_CLASS_DEFINE(NotificationLog)

class UndoManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Clock::useVirtualClock();
        undo = NSObject::make<NSUndoManager>();
        counter = NSObject::make<UndoCounter>();
        counter->undo = undo;
    }
    // One event: the changes, then the end of the run-loop turn.
    void event(std::initializer_list<NSInteger> values)
    {
        for (auto v : values) counter->setValue(v);
        NSRunLoop::currentRunLoop()->performBlock({NSDefaultRunLoopMode}, [] {});
        NSRunLoop::currentRunLoop()->runUntilIdle();
    }
    Ref<NSUndoManager> undo;
    Ref<UndoCounter> counter;
};

TEST_F(UndoManagerTest, EachEventIsOneGroupUndoneAndRedoneWhole)
{
    event({1, 2});
    event({3});
    EXPECT_EQ(undo->groupingLevel(), 0);
    ASSERT_TRUE(undo->canUndo());
    EXPECT_FALSE(undo->canRedo());

    undo->undo();
    EXPECT_EQ(counter->value, 2);
    undo->undo();
    EXPECT_EQ(counter->value, 0);
    EXPECT_FALSE(undo->canUndo());
    EXPECT_TRUE(undo->canRedo());

    undo->redo();
    EXPECT_EQ(counter->value, 2);
    undo->redo();
    EXPECT_EQ(counter->value, 3);
    EXPECT_FALSE(undo->canRedo());

    // A new change after an undo drops what could be redone.
    undo->undo();
    event({7});
    EXPECT_FALSE(undo->canRedo());
    undo->undo();
    EXPECT_EQ(counter->value, 2);
}

TEST_F(UndoManagerTest, UndoClosesTheOpenEventGroupFirst)
{
    counter->setValue(5);
    EXPECT_EQ(undo->groupingLevel(), 1);
    undo->undo();
    EXPECT_EQ(counter->value, 0);
    EXPECT_EQ(undo->groupingLevel(), 0);
}

TEST_F(UndoManagerTest, NestedGroupsAndGroupingFaults)
{
    undo->setGroupsByEvent(false);
    EXPECT_THROW(counter->setValue(1), NSException);
    EXPECT_THROW(undo->endUndoGrouping(), NSException);

    undo->beginUndoGrouping();
    counter->setValue(1);
    undo->beginUndoGrouping();
    counter->setValue(2);
    EXPECT_THROW(undo->undo(), NSException);
    undo->endUndoGrouping();
    // Inside the outer group, the inner one can be undone alone.
    undo->undoNestedGroup();
    EXPECT_EQ(counter->value, 1);
    undo->endUndoGrouping();
    undo->undo();
    EXPECT_EQ(counter->value, 0);

    // An empty group leaves nothing to undo.
    undo->beginUndoGrouping();
    undo->endUndoGrouping();
    EXPECT_FALSE(undo->canUndo());
}

TEST_F(UndoManagerTest, LevelsDropTheOldestGroups)
{
    undo->setLevelsOfUndo(2);
    event({1});
    event({2});
    event({3});
    undo->undo();
    undo->undo();
    EXPECT_EQ(counter->value, 1);
    EXPECT_FALSE(undo->canUndo());
}

TEST_F(UndoManagerTest, NamesFollowTheGroupToRedoAndMakeMenuTitles)
{
    EXPECT_EQ(undo->undoMenuItemTitle()->UTF8String(), "Undo");
    counter->setValue(1);
    undo->setActionName("Typing"_ns);
    EXPECT_EQ(undo->undoMenuItemTitle()->UTF8String(), "Undo Typing");
    undo->undo();
    EXPECT_EQ(undo->undoActionName()->UTF8String(), "");
    EXPECT_EQ(undo->redoMenuItemTitle()->UTF8String(), "Redo Typing");
}

TEST_F(UndoManagerTest, RegistrationCanBeSuspendedAndTargetsRemoved)
{
    undo->disableUndoRegistration();
    undo->disableUndoRegistration();
    event({1});
    undo->enableUndoRegistration();
    event({2});
    EXPECT_FALSE(undo->canUndo());
    undo->enableUndoRegistration();
    EXPECT_THROW(undo->enableUndoRegistration(), NSException);

    event({3});
    auto other = NSObject::make<UndoCounter>();
    other->undo = undo;
    other->setValue(9);
    undo->removeAllActionsWithTarget(counter);
    undo->undo();
    EXPECT_EQ(other->value, 0);
    EXPECT_EQ(counter->value, 3);
}

TEST_F(UndoManagerTest, ATargetThatIsGoneIsSkipped)
{
    {
        auto gone = NSObject::make<UndoCounter>();
        gone->undo = undo;
        gone->setValue(4);
    }
    counter->setValue(1);
    undo->undo();
    EXPECT_EQ(counter->value, 0);
}

TEST_F(UndoManagerTest, HandlersRegisterTheirRedo)
{
    auto text = std::make_shared<std::string>("a");
    std::function<void(const std::string&)> set = [&](const std::string& v) {
        std::string old = *text;
        undo->registerUndoWithTarget(counter, [&, old](const Id&) { set(old); });
        *text = v;
    };
    set("ab");
    undo->undo();
    EXPECT_EQ(*text, "a");
    undo->redo();
    EXPECT_EQ(*text, "ab");
}

TEST_F(UndoManagerTest, NotificationsComeInOrder)
{
    auto log = NSObject::make<NotificationLog>();
    auto center = NSNotificationCenter::defaultCenter();
    for (auto name : {NSUndoManagerDidOpenUndoGroupNotification, NSUndoManagerDidCloseUndoGroupNotification,
                      NSUndoManagerWillUndoChangeNotification, NSUndoManagerDidUndoChangeNotification,
                      NSUndoManagerWillRedoChangeNotification, NSUndoManagerDidRedoChangeNotification})
        center->addObserver(log, "note:", name, undo);
    event({1});
    undo->undo();
    undo->redo();
    center->removeObserver(log);
    std::vector<std::string> expected = {"DidOpenUndoGroupNotification",  "DidCloseUndoGroupNotification",  // the event
                                         "WillUndoChangeNotification",    "DidOpenUndoGroupNotification",
                                         "DidCloseUndoGroupNotification", "DidUndoChangeNotification",
                                         "WillRedoChangeNotification",    "DidOpenUndoGroupNotification",
                                         "DidCloseUndoGroupNotification", "DidRedoChangeNotification"};
    EXPECT_EQ(log->names, expected);
}
