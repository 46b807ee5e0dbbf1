// Segmented controls: selection by tracking mode, segment geometry,
// copying and keyed coding (images are not archivable here), and clicks
// through the event loop.
#include <gtest/gtest.h>

#include "AppHarness.h"
#include "AppKit/NSApplication.h"
#include "AppKit/NSSegmentedControl.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"

namespace {

Ref<NSSegmentedControl> makeControl(NSInteger count, NSRect frame = NSMakeRect(10, 10, 150, 24))
{
    auto control = static_ref_cast<NSSegmentedControl>(NSObject::alloc<NSSegmentedControl>()->initWithFrame(frame));
    control->setSegmentCount(count);
    for (NSInteger i = 0; i < count; ++i) control->setLabel(NSString::stringWithFormat("S%ld", long(i)), i);
    return control;
}

std::string selection(const NSSegmentedCell& cell)
{
    std::string out;
    for (NSInteger i = 0; i < cell.segmentCount(); ++i) out += cell.isSelectedForSegment(i) ? '1' : '0';
    return out;
}

TEST(SegmentedControl, ClicksSelectAsTheTrackingModeSays)
{
    struct Case {
        NSSegmentSwitchTracking mode;
        std::vector<NSInteger> clicks;
        std::string selected;
    } cases[] = {
        {NSSegmentSwitchTrackingSelectOne, {0, 2}, "001"},  {NSSegmentSwitchTrackingSelectOne, {1, 1}, "010"},
        {NSSegmentSwitchTrackingSelectAny, {0, 2}, "101"},  {NSSegmentSwitchTrackingSelectAny, {0, 2, 0}, "001"},
        {NSSegmentSwitchTrackingSelectOne, {5, -1}, "000"},  // out of range: ignored
    };
    for (const auto& c : cases) {
        auto cell = makeControl(3)->segmentedCell();
        cell->setTrackingMode(c.mode);
        for (NSInteger segment : c.clicks) cell->didClickSegment(segment);
        EXPECT_EQ(selection(*cell), c.selected) << c.mode;
    }
    auto control = makeControl(3);
    control->setEnabled(false, 1);
    control->segmentedCell()->didClickSegment(1);
    EXPECT_EQ(control->selectedSegment(), -1);  // a disabled segment takes no click
    control->setSelectedSegment(2);
    EXPECT_EQ(control->selectedSegment(), 2);
    control->setSelectedSegment(-1);
    EXPECT_EQ(control->selectedSegment(), -1);
    EXPECT_EQ(control->segmentStyle(), NSSegmentStyleRounded);
    control->setSegmentStyle(4);  // other styles are kept as given
    EXPECT_EQ(control->segmentStyle(), 4);
}

TEST(SegmentedControl, FixedWidthsStayAndTheRestOfTheFrameIsShared)
{
    auto cell = makeControl(3)->segmentedCell();
    cell->setWidth(30, 1);
    const NSRect frame = NSMakeRect(5, 2, 130, 20);
    struct Case {
        NSInteger segment;
        NSRect rect;
    } cases[] = {{0, NSMakeRect(5, 2, 50, 20)}, {1, NSMakeRect(55, 2, 30, 20)}, {2, NSMakeRect(85, 2, 50, 20)}};
    for (const auto& c : cases) EXPECT_TRUE(NSEqualRects(cell->rectForSegment(c.segment, frame), c.rect)) << c.segment;
    EXPECT_TRUE(NSEqualRects(cell->rectForSegment(3, frame), NSZeroRect));
    EXPECT_EQ(cell->segmentAtPoint(NSMakePoint(54.9, 10), frame), 0);
    EXPECT_EQ(cell->segmentAtPoint(NSMakePoint(55, 10), frame), 1);
    EXPECT_EQ(cell->segmentAtPoint(NSMakePoint(135, 10), frame), -1);
}

TEST(SegmentedControl, CopiesAndArchivesKeepEverySegment)
{
    auto control = makeControl(3);
    auto image = NSImage::initWithSize(NSMakeSize(8, 8));
    control->setImage(image, 0);
    control->setImageScaling(NSImageScaleNone, 0);
    control->setWidth(40, 1);
    control->setEnabled(false, 2);
    control->setSelectedSegment(1);
    control->setSegmentStyle(NSSegmentStyleSmallSquare);
    control->segmentedCell()->setTrackingMode(NSSegmentSwitchTrackingMomentary);
    control->segmentedCell()->setTag(7, 2);

    auto copy = static_ref_cast<NSSegmentedCell>(control->segmentedCell()->copy());
    copy->setLabel("changed"_ns, 0);
    EXPECT_EQ(control->labelForSegment(0)->UTF8String(), std::string("S0"));  // copies are separate
    EXPECT_EQ(copy->imageForSegment(0).get(), image.get());                   // images are shared

    auto back = dynamic_ref_cast<NSSegmentedControl>(
        NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(control)));
    ASSERT_TRUE(back);
    for (const Ref<NSSegmentedCell>& cell : {copy, back->segmentedCell()}) {
        ASSERT_TRUE(cell);
        EXPECT_EQ(cell->segmentCount(), 3);
        EXPECT_EQ(cell->labelForSegment(2)->UTF8String(), std::string("S2"));
        EXPECT_EQ(cell->imageScalingForSegment(0), NSImageScaleNone);
        EXPECT_EQ(cell->widthForSegment(1), 40);
        EXPECT_FALSE(cell->isEnabledForSegment(2));
        EXPECT_EQ(cell->selectedSegment(), 1);
        EXPECT_EQ(cell->segmentStyle(), NSSegmentStyleSmallSquare);
        EXPECT_EQ(cell->trackingMode(), NSSegmentSwitchTrackingMomentary);
        EXPECT_EQ(cell->tagForSegment(2), 7);
    }
}

class SegmentTarget : public NSObject, public NSApplicationDelegate {
    NS_OBJECT(SegmentTarget, NSObject)
protected:
    SegmentTarget() = default;

public:
    std::vector<NSInteger> actions;  // the selected segment at each action
    Ref<NSWindow> window;
    Ref<NSSegmentedControl> control;
    void changed(const Id&) { actions.push_back(control->selectedSegment()); }
    void applicationDidFinishLaunching(const Ref<NSNotification>&) override
    {
        window = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(100, 100, 200, 60), NSTitledWindowMask,
                                                                  NSBackingStoreBuffered, false);
        control = makeControl(3, NSMakeRect(20, 20, 150, 24));
        control->setEnabled(false, 2);
        control->setTarget(Id(this));
        control->setAction("changed:");
        window->contentView()->addSubview(control);
        window->makeKeyAndOrderFront(nullptr);
    }
    static void describeClass(NSClassMembers<SegmentTarget>& m) { m.action("changed:", &SegmentTarget::changed); }
};
NS_CLASS_DEFINE(SegmentTarget)

TEST(SegmentedControl, AClickReleasedOnItsSegmentSelectsItAndSendsTheAction)
{
    auto target = NSObject::make<SegmentTarget>();
    AppHarness::run(
        [&] {
            NSApplication::sharedApplication()->setDelegate(target);
            return NSApplicationMain(0, nullptr);
        },
        [&](AppDriver& d) {
            NSPoint at[3];
            d.onMain([&] {
                auto c = target->control;
                for (int i = 0; i < 3; ++i)
                    at[i] =
                        c->window()->convertBaseToScreen(c->convertPointToView(NSMakePoint(25 + 50 * i, 12), nullptr));
            });
            auto tracked = [&] {
                NSInteger t = 0;
                d.onMain([&] { t = target->control->segmentedCell()->trackedSegment(); });
                return t;
            };
            d.click(at[1]);
            d.mouseDown(at[0]);
            EXPECT_EQ(tracked(), 0);
            d.moveMouse(at[1]);
            EXPECT_EQ(tracked(), -1);  // pressed look only over the pressed segment
            d.mouseUp(at[1]);          // released elsewhere: no change
            d.click(at[2]);            // disabled segment
            d.onMain([&] {
                EXPECT_EQ(target->control->selectedSegment(), 1);
                EXPECT_EQ(target->actions, std::vector<NSInteger>{1});
            });
        });
}

}
