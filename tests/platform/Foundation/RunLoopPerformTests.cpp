// Delayed performs: cancellation by an equal argument, retention of target and
// argument, the next-turn rule for a delay of 0, and modes.
#include "Foundation/NSClass.h"
#include "Foundation/NSString.h"
#include "Foundation/NSTimer.h"
#include "RunLoopTestSupport.h"

namespace {

class PerformTarget : public NSObject {
    NS_OBJECT(PerformTarget, NSObject)
protected:
    PerformTarget() = default;

public:
    static void describeClass(NSClassMembers<PerformTarget>& m)
    {
        m.action("note:", &PerformTarget::note);
        m.action("other:", &PerformTarget::other);
    }
    void note(const Ref<NSString>& text) { calls.push_back(text ? text->UTF8String() : "nil"); }
    void other(const Ref<NSString>& text) { calls.push_back("other " + (text ? text->UTF8String() : "nil")); }
    std::vector<std::string> calls;
};
NS_CLASS_DEFINE(PerformTarget)

// A fresh string object each time, so an "equal" argument is never the same object.
Ref<NSString> text(const char* s) { return NSString::stringWithUTF8String(s); }

using DelayedPerformTest = VirtualClockTest;

}

TEST_F(DelayedPerformTest, CancellationMatchesTargetSelectorAndAnEqualArgument)
{
    struct Case {
        std::string name;
        std::function<void(const Ref<PerformTarget>&)> cancel;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"equal argument",
         [](const Ref<PerformTarget>& t) { NSObject::cancelPreviousPerformRequestsWithTarget(t, "note:", text("a")); },
         {"b", "other a"}},
        {"nil argument matches only nil",
         [](const Ref<PerformTarget>& t) { NSObject::cancelPreviousPerformRequestsWithTarget(t, "note:", nullptr); },
         {"a", "b", "other a"}},
        {"other selector",
         [](const Ref<PerformTarget>& t) { NSObject::cancelPreviousPerformRequestsWithTarget(t, "other:", text("a")); },
         {"a", "b"}},
        {"other target",
         [](const Ref<PerformTarget>&) {
             NSObject::cancelPreviousPerformRequestsWithTarget(NSObject::make<PerformTarget>(), "note:", text("a"));
         },
         {"a", "b", "other a"}},
        {"every request of the target",
         [](const Ref<PerformTarget>& t) { NSObject::cancelPreviousPerformRequestsWithTarget(t); },
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto target = NSObject::make<PerformTarget>();
        target->performSelectorAfterDelay("note:", text("a"), 0.1);
        target->performSelectorAfterDelay("note:", text("b"), 0.2);
        target->performSelectorAfterDelay("other:", text("a"), 0.3);
        c.cancel(target);
        loop->advance(1.0);
        EXPECT_EQ(target->calls, c.expected);
    }
}

TEST_F(DelayedPerformTest, RetainsTargetAndArgumentUntilItRunsOrIsCancelled)
{
    for (bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "cancelled" : "run");
        Weak<PerformTarget> weakTarget;
        Weak<NSString> weakArgument;
        bool ran = false;
        {
            auto target = NSObject::make<PerformTarget>();
            auto argument = text("kept");
            weakTarget = target;
            weakArgument = argument;
            target->performSelectorAfterDelay("note:", argument, 0.5);
        }
        loop->advance(0.25);
        ASSERT_TRUE(weakTarget.get());
        EXPECT_TRUE(weakArgument.get());
        if (cancel) NSObject::cancelPreviousPerformRequestsWithTarget(weakTarget.get(), "note:", text("kept"));
        else {
            auto target = weakTarget.get();
            loop->advance(0.5);
            ran = target->calls == std::vector<std::string>{"kept"};
        }
        loop->runUntilIdle();
        EXPECT_EQ(ran, !cancel);
        EXPECT_FALSE(weakTarget.get());
        EXPECT_FALSE(weakArgument.get());
    }
}

TEST_F(DelayedPerformTest, DelayZeroRunsInTheNextTurn)
{
    auto target = NSObject::make<PerformTarget>();
    target->performSelectorAfterDelay("note:", text("first"), 0);
    EXPECT_TRUE(target->calls.empty());

    // One pass runs it; what it schedules with delay 0 waits for the pass after.
    auto chained = NSTimer::scheduledTimerWithTimeInterval(
        0, false, [&](const Ref<NSTimer>&) { target->performSelectorAfterDelay("note:", text("chained"), 0); });
    loop->runModeBeforeDate(NSDefaultRunLoopMode, NSDate::date());
    EXPECT_EQ(target->calls, std::vector<std::string>{"first"});
    loop->runModeBeforeDate(NSDefaultRunLoopMode, NSDate::date());
    EXPECT_EQ(target->calls, (std::vector<std::string>{"first", "chained"}));
    EXPECT_DOUBLE_EQ(elapsed(), 0.0);
}

TEST_F(DelayedPerformTest, RunsOnlyInTheModesGiven)
{
    auto target = NSObject::make<PerformTarget>();
    target->performSelectorAfterDelay("note:", text("tracking"), 0.1, {NSEventTrackingRunLoopMode});
    target->performSelectorAfterDelay("note:", text("both"), 0.1, {NSDefaultRunLoopMode, NSModalPanelRunLoopMode});

    loop->advance(0.2, NSModalPanelRunLoopMode);
    EXPECT_EQ(target->calls, std::vector<std::string>{"both"});
    loop->runUntilIdle(NSDefaultRunLoopMode);  // ran once only, though due in this mode too
    EXPECT_EQ(target->calls, std::vector<std::string>{"both"});
    loop->runUntilIdle(NSEventTrackingRunLoopMode);
    EXPECT_EQ(target->calls, (std::vector<std::string>{"both", "tracking"}));
}
