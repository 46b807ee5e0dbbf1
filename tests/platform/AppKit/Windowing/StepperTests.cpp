// Steppers: stepping and wrapping, holding an arrow on the run-loop clock,
// and their keyed coding.
#include "AppHarness.h"
#include "AppKit/NSStepper.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"
#include "WindowingFixture.h"

namespace {

Ref<NSStepper> makeStepper(NSRect frame = NSMakeRect(20, 20, 15, 22))
{
    return static_ref_cast<NSStepper>(NSObject::alloc<NSStepper>()->initWithFrame(frame));
}

TEST(Stepper, StepsWithinItsRangeAndWrapsWhenAsked)
{
    auto s = makeStepper();
    EXPECT_EQ(s->minValue(), 0);
    EXPECT_EQ(s->maxValue(), 59);
    EXPECT_EQ(s->increment(), 1);
    EXPECT_TRUE(s->valueWraps());
    struct Case {
        double min, max, increment, start;
        bool wraps;
        int direction;
        double expected;
    };
    for (const Case& c :
         {Case{0, 3, 1, 3, true, +1, 0}, Case{0, 3, 1, 3, false, +1, 3}, Case{0, 3, 1, 0, true, -1, 3},
          Case{0, 3, 1, 0, false, -1, 0}, Case{1, 12, 2, 5, true, +1, 7}, Case{0, 1, 0.25, 0.5, false, -1, 0.25}}) {
        auto cell = s->stepperCell();
        cell->setMinValue(c.min);
        cell->setMaxValue(c.max);
        cell->setIncrement(c.increment);
        cell->setValueWraps(c.wraps);
        cell->setDoubleValue(c.start);
        cell->step(c.direction);
        EXPECT_EQ(cell->doubleValue(), c.expected) << c.start << " " << c.direction;
    }
    s->setMaxValue(10);
    s->setDoubleValue(40);
    EXPECT_EQ(s->doubleValue(), 10);  // held to the range
    EXPECT_EQ(s->integerValue(), 10);
}

TEST(Stepper, KeyedCodingKeepsTheSettings)
{
    auto s = makeStepper();
    s->setMinValue(1);
    s->setMaxValue(12);
    s->setIncrement(3);
    s->setValueWraps(false);
    s->setAutorepeat(false);
    s->setIntegerValue(7);
    auto back = dynamic_ref_cast<NSStepper>(
        NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(s)));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->minValue(), 1);
    EXPECT_EQ(back->maxValue(), 12);
    EXPECT_EQ(back->increment(), 3);
    EXPECT_FALSE(back->valueWraps());
    EXPECT_FALSE(back->autorepeat());
    EXPECT_EQ(back->integerValue(), 7);
}

// Counts the actions a stepper sends.
class StepperTarget : public NSObject, public NSApplicationDelegate {
    NS_OBJECT(StepperTarget, NSObject)
public:
    StepperTarget() = default;
    std::atomic<int> actions{0};
    Ref<NSWindow> window;
    Ref<NSStepper> stepper;
    void stepped(const Id&) { ++actions; }
    void applicationDidFinishLaunching(const Ref<NSNotification>&) override
    {
        window = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(100, 100, 100, 60), NSTitledWindowMask,
                                                                  NSBackingStoreBuffered, false);
        stepper = makeStepper();
        stepper->setMaxValue(10);
        stepper->setValueWraps(false);
        stepper->setIntegerValue(5);
        stepper->setTarget(Id(this));
        stepper->setAction("stepped:");
        window->contentView()->addSubview(stepper);
        window->makeKeyAndOrderFront(nullptr);
    }
    static void describeClass(NSClassMembers<StepperTarget>& m) { m.action("stepped:", &StepperTarget::stepped); }
};
NS_CLASS_DEFINE(StepperTarget)

TEST(Stepper, HoldingAnArrowRepeatsOnTheRunLoopClock)
{
    auto target = NSObject::make<StepperTarget>();
    AppHarness::run(
        [&] {
            NSApplication::sharedApplication()->setDelegate(target);
            return NSApplicationMain(0, nullptr);
        },
        [&](AppDriver& d) {
            NSPoint upper{}, lower{};
            d.onMain([&] {
                auto s = target->stepper;
                upper = s->window()->convertBaseToScreen(s->convertPointToView(NSMakePoint(7, 4), nullptr));
                lower = s->window()->convertBaseToScreen(s->convertPointToView(NSMakePoint(7, 18), nullptr));
            });
            auto value = [&] {
                NSInteger v = 0;
                d.onMain([&] { v = target->stepper->integerValue(); });
                return v;
            };
            d.mouseDown(upper);
            EXPECT_EQ(value(), 6);
            d.advance(0.4);
            EXPECT_EQ(value(), 6);
            d.advance(0.1);  // half a second held
            EXPECT_EQ(value(), 7);
            d.advance(0.1);
            d.advance(0.1);
            EXPECT_EQ(value(), 9);
            d.advance(0.1);  // held at the maximum
            EXPECT_EQ(value(), 10);
            d.mouseUp(upper);
            d.advance(1);
            EXPECT_EQ(value(), 10);
            d.mouseDown(lower);
            d.mouseUp(lower);
            EXPECT_EQ(value(), 9);
            EXPECT_EQ(target->actions.load(), 6);  // every step sends the action
        });
}

}  // namespace
