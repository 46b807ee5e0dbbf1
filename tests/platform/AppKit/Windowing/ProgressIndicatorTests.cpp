// Progress indicators: the determinate bar fills to the clamped value, the
// indeterminate one moves its stripes from a common-modes timer (also in a
// modal session), and both codings keep every setting.
#include "AppKit/NSProgressIndicator.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"
#include "WindowingFixture.h"

namespace {

class ProgressIndicatorTest : public WindowingTest {
protected:
    void SetUp() override
    {
        WindowingTest::SetUp();
        window = makeWindow(NSMakeRect(100, 100, 300, 60), NSColor::whiteColor());
        indicator = NSObject::alloc<NSProgressIndicator>();
        indicator->initWithFrame(NSMakeRect(50, 20, 200, 20));
        window->contentView()->addSubview(indicator);
    }
    // Whether the bar is filled (accent blue) at x points into the indicator.
    static bool blueAt(int x)
    {
        const uint32_t p = screenPixel(100 + 50 + x, 1080 - 100 - 30);
        return (p & 0xFF) > 200 && ((p >> 16) & 0xFF) < 100;
    }
    Ref<NSWindow> window;
    Ref<NSProgressIndicator> indicator;
};

TEST_F(ProgressIndicatorTest, DeterminateBarFillsToTheClampedValue)
{
    EXPECT_TRUE(indicator->isIndeterminate());
    EXPECT_EQ(indicator->minValue(), 0);
    EXPECT_EQ(indicator->maxValue(), 100);
    indicator->setIndeterminate(false);
    indicator->setMinValue(10);
    indicator->setMaxValue(20);
    struct Case {
        double value;
        int filledUpTo;  // points: blue below, track above
    };
    const Case cases[] = {{15, 100}, {12.5, 50}, {-3, 0}, {400, 200}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        indicator->setDoubleValue(c.value);
        EXPECT_EQ(indicator->doubleValue(), c.value);
        pump();
        if (c.filledUpTo > 4) EXPECT_TRUE(blueAt(c.filledUpTo - 4));
        if (c.filledUpTo < 196) EXPECT_FALSE(blueAt(c.filledUpTo + 4));
    }
}

TEST_F(ProgressIndicatorTest, IndeterminateStripesMoveEvenInAModalSession)
{
    indicator->setUsesThreadedAnimation(true);
    EXPECT_TRUE(indicator->usesThreadedAnimation());
    indicator->startAnimation(nullptr);
    EXPECT_TRUE(indicator->isAnimating());
    pump();
    const auto before = server().screenImage();
    auto session = NSApp->beginModalSessionForWindow(window);
    NSRunLoop::currentRunLoop()->advance(0.11, NSModalPanelRunLoopMode);
    NSApp->runModalSession(session);
    NSApp->endModalSession(session);
    // Two stripe periods a second, stepped 30 times a second.
    EXPECT_NEAR(indicator->animationPhase(), 0.2, 0.07);
    pump();
    const auto after = server().screenImage();
    int changed = 0;
    for (int x = 150; x < 350; ++x) changed += before->pixel(size_t(x), 950) != after->pixel(size_t(x), 950);
    EXPECT_GT(changed, 20) << "the stripes did not move";

    indicator->stopAnimation(nullptr);
    const double stoppedAt = indicator->animationPhase();
    NSRunLoop::currentRunLoop()->advance(1);
    EXPECT_EQ(indicator->animationPhase(), stoppedAt);
    // A determinate indicator does not move even while "animating".
    indicator->setIndeterminate(false);
    indicator->startAnimation(nullptr);
    NSRunLoop::currentRunLoop()->advance(1);
    EXPECT_EQ(indicator->animationPhase(), stoppedAt);
}

TEST_F(ProgressIndicatorTest, KeyedCodingKeepsTheSettings)
{
    indicator->setIndeterminate(false);
    indicator->setMinValue(-5);
    indicator->setMaxValue(5);
    indicator->setDoubleValue(2.5);
    indicator->setStyle(NSProgressIndicatorSpinningStyle);
    indicator->setUsesThreadedAnimation(true);
    indicator->setDisplayedWhenStopped(false);
    auto copy = dynamic_ref_cast<NSProgressIndicator>(
        NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(indicator)));
    ASSERT_TRUE(copy);
    EXPECT_FALSE(copy->isIndeterminate());
    EXPECT_EQ(copy->minValue(), -5);
    EXPECT_EQ(copy->maxValue(), 5);
    EXPECT_EQ(copy->doubleValue(), 2.5);
    EXPECT_EQ(copy->style(), NSProgressIndicatorSpinningStyle);
    EXPECT_TRUE(copy->usesThreadedAnimation());
    EXPECT_FALSE(copy->isDisplayedWhenStopped());
    EXPECT_TRUE(copy->isBezeled());
    EXPECT_TRUE(NSEqualRects(copy->frame(), indicator->frame()));
}

}  // namespace
