#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "AppKit/NSGraphicsContext.h"
#include "CoreGraphics/CGRecordingContext.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "SPISpinningProgressIndicator/SPISpinningProgressIndicator.h"
#include "WaitUntil.h"
#include "WindowingFixture.h"

NS_CLASS_DEFINE(RecordingView)

namespace {

using Kind = CGRecordedOperation::Kind;

class SpinnerTest : public WindowingTest {
protected:
    static Ref<SPISpinningProgressIndicator> makeSpinner(NSRect frame = NSMakeRect(0, 0, 32, 20))
    {
        return static_ref_cast<SPISpinningProgressIndicator>(
            NSObject::alloc<SPISpinningProgressIndicator>()->initWithFrame(frame));
    }

    // The spinner's drawing, recorded.
    static std::vector<CGRecordedOperation> record(const Ref<SPISpinningProgressIndicator>& spinner)
    {
        auto rec = CGRecordingContext::create({64, 64});
        NSGraphicsContext::saveGraphicsState();
        NSGraphicsContext::setCurrentContext(NSGraphicsContext::graphicsContextWithGraphicsPort(rec, false));
        spinner->drawRect(spinner->bounds());
        NSGraphicsContext::restoreGraphicsState();
        return rec->operations();
    }

    static std::vector<Ref<NSView>> content(const Ref<NSWindow>& w) { return w->contentView()->subviews(); }

    Ref<NSWindow> windowWith(const Ref<NSView>& view)
    {
        m_window = makeWindow(NSMakeRect(100, 100, 200, 100), NSColor::whiteColor());
        m_window->contentView()->addSubview(view);
        return m_window;
    }

    Ref<NSWindow> m_window;
};

TEST_F(SpinnerTest, NewSpinnerHasTheDefaults)
{
    auto s = makeSpinner();
    EXPECT_TRUE(s->isIndeterminate());
    EXPECT_FALSE(s->isAnimating());
    EXPECT_FALSE(s->isHidden());
    EXPECT_TRUE(s->isDisplayedWhenStopped());
    EXPECT_FALSE(s->usesThreadedAnimation());
    EXPECT_FALSE(s->drawsBackground());
    EXPECT_FALSE(s->backgroundColor());
    EXPECT_EQ(s->numberOfFins(), 12);
    EXPECT_EQ(s->position(), 0);
    EXPECT_EQ(s->maxValue(), 100.0);
    EXPECT_EQ(s->doubleValue(), 0.0);
    EXPECT_TRUE(s->color()->isEqual(NSColor::blackColor().get()));
}

TEST_F(SpinnerTest, FinsScaleWithTheSmallerSideAndFadeWhileAnimating)
{
    auto s = makeSpinner(NSMakeRect(0, 0, 32, 20));
    windowWith(s);
    struct Case {
        bool animating;
        std::vector<double> alphas;
    };
    std::vector<double> trailing;
    for (int i = 0; i < 12; ++i) trailing.push_back(1.0 - i / 12.0);
    for (const Case& c : {Case{false, std::vector<double>(12, 0.2)}, Case{true, trailing}}) {
        if (c.animating) s->startAnimation(nullptr);
        auto ops = record(s);
        ASSERT_EQ(ops.size(), 12u);
        for (size_t i = 0; i < ops.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "animating " << c.animating << " fin " << i);
            EXPECT_EQ(ops[i].kind, Kind::Stroke);
            EXPECT_DOUBLE_EQ(ops[i].strokeStyle.lineWidth, 1.71875);
            EXPECT_EQ(ops[i].strokeStyle.cap, kCGLineCapRound);
            ASSERT_EQ(ops[i].path.size(), 2u);
            EXPECT_DOUBLE_EQ(ops[i].path.elements[0].points[0].y, 4.6875);
            EXPECT_DOUBLE_EQ(ops[i].path.elements[1].points[0].y, 8.4375);
            EXPECT_NEAR(ops[i].paint.color.a, c.alphas[i], 1e-9);
        }
    }
    s->stopAnimation(nullptr);
}

TEST_F(SpinnerTest, PositionCountsDownAndWraps)
{
    auto s = makeSpinner();
    std::vector<NSInteger> seen;
    for (int i = 0; i < 13; ++i) {
        s->updateFrame(nullptr);
        seen.push_back(s->position());
    }
    EXPECT_EQ(seen, (std::vector<NSInteger>{11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 11}));
}

// The fill of the pie, from the top clockwise; none for an empty one.
TEST_F(SpinnerTest, DeterminatePieFollowsTheValueWithinTheRange)
{
    struct Case {
        double value, max;
        bool filled;
        NSPoint end;  // where the arc ends, on a circle of radius r
    };
    auto s = makeSpinner(NSMakeRect(0, 0, 32, 20));
    const double w = 1 + 0.01 * 20, r = (20 - w) / 2.1;
    for (const Case& c : {Case{25, 100, true, NSMakePoint(r, 0)}, Case{50, 100, true, NSMakePoint(0, -r)},
                          Case{150, 100, true, NSMakePoint(0, r)}, Case{-5, 100, false, {}}, Case{10, 0, false, {}},
                          Case{10, -4, false, {}}}) {
        SCOPED_TRACE(testing::Message() << c.value << " of " << c.max);
        s->setMaxValue(c.max);
        s->setDoubleValue(c.value);
        auto ops = record(s);
        ASSERT_EQ(ops.size(), c.filled ? 2u : 1u);
        EXPECT_EQ(ops[0].kind, Kind::Stroke);
        EXPECT_DOUBLE_EQ(ops[0].strokeStyle.lineWidth, w);
        if (!c.filled) continue;
        EXPECT_EQ(ops[1].kind, Kind::Fill);
        const auto& el = ops[1].path.elements;
        ASSERT_GE(el.size(), 3u);
        EXPECT_EQ(el.front().points[0], CGPointZero);
        const auto& last = el[el.size() - 2];  // before the close
        const auto end = last.points[last.pointCount() - 1];
        EXPECT_NEAR(end.x, c.end.x, 1e-6);
        EXPECT_NEAR(end.y, c.end.y, 1e-6);
    }
}

TEST_F(SpinnerTest, SwitchingToDeterminateStopsTheSpin)
{
    auto s = makeSpinner();
    windowWith(s);
    s->startAnimation(nullptr);
    ASSERT_TRUE(s->animationTimer());
    s->setDoubleValue(25);
    EXPECT_FALSE(s->isIndeterminate());
    EXPECT_FALSE(s->isAnimating());
    EXPECT_FALSE(s->animationTimer());
    s->startAnimation(nullptr);  // a determinate spinner ignores it
    EXPECT_FALSE(s->isAnimating());
}

TEST_F(SpinnerTest, TimerTurnsTheFinsOnTheVirtualClock)
{
    auto s = makeSpinner();
    windowWith(s);
    s->startAnimation(nullptr);
    pump();
    EXPECT_EQ(s->position(), 0);
    NSRunLoop::currentRunLoop()->advance(0.05);
    EXPECT_EQ(s->position(), 11);
    NSRunLoop::currentRunLoop()->advance(0.1);
    EXPECT_EQ(s->position(), 9);
    // The timer also runs while a menu or a drag tracks the mouse.
    NSRunLoop::currentRunLoop()->advance(0.05, NSEventTrackingRunLoopMode);
    EXPECT_EQ(s->position(), 8);
    s->stopAnimation(nullptr);
    NSRunLoop::currentRunLoop()->advance(0.5);
    EXPECT_EQ(s->position(), 8);
}

TEST_F(SpinnerTest, LeavingTheWindowStopsAndReturningRestarts)
{
    for (bool threaded : {false, true}) {
        SCOPED_TRACE(threaded ? "thread" : "timer");
        auto s = makeSpinner();
        auto w = windowWith(s);
        s->setUsesThreadedAnimation(threaded);
        s->startAnimation(nullptr);
        auto running = [&] { return threaded ? s->hasAnimationThread() : bool(s->animationTimer()); };
        EXPECT_TRUE(running());
        s->removeFromSuperview();
        EXPECT_FALSE(s->animationTimer());
        EXPECT_FALSE(s->hasAnimationThread());
        EXPECT_TRUE(s->isAnimating());
        w->contentView()->addSubview(s);
        EXPECT_TRUE(running());
        s->stopAnimation(nullptr);
    }
}

TEST_F(SpinnerTest, StartWithoutAWindowWaitsForOne)
{
    auto s = makeSpinner();
    s->startAnimation(nullptr);
    EXPECT_TRUE(s->isAnimating());
    EXPECT_FALSE(s->animationTimer());
    windowWith(s);
    EXPECT_TRUE(s->animationTimer());
}

TEST_F(SpinnerTest, SwitchingTheMechanismWhileAnimatingHandsOver)
{
    auto s = makeSpinner();
    windowWith(s);
    s->setUsesThreadedAnimation(true);  // stopped: only stored
    EXPECT_FALSE(s->hasAnimationThread());
    s->startAnimation(nullptr);
    EXPECT_TRUE(s->hasAnimationThread());
    EXPECT_FALSE(s->animationTimer());
    // The thread turns the fins and the main thread redraws.
    EXPECT_TRUE(test_support::waitUntil([&] { return s->position() != 0; }, std::chrono::seconds(10)));
    s->setUsesThreadedAnimation(false);
    EXPECT_FALSE(s->hasAnimationThread());
    EXPECT_TRUE(s->animationTimer());
    EXPECT_TRUE(s->isAnimating());
    s->stopAnimation(nullptr);
}

TEST_F(SpinnerTest, ThreadedSpinnersComeAndGoSafely)
{
    m_window = makeWindow(NSMakeRect(100, 100, 200, 100), NSColor::whiteColor());
    for (int i = 0; i < 1000; ++i) {
        auto s = makeSpinner();
        m_window->contentView()->addSubview(s);
        s->setUsesThreadedAnimation(true);
        s->startAnimation(nullptr);
        if (i % 3 == 0) s->setUsesThreadedAnimation(false);
        if (i % 3 == 1) s->stopAnimation(nullptr);
        if (i % 10 == 0) pump();
        s->removeFromSuperview();
        // Destroyed here, some still turning.
    }
    pump();
    EXPECT_TRUE(m_window->contentView()->subviews().empty());
}

TEST_F(SpinnerTest, HiddenWhileStoppedWhenAsked)
{
    auto s = makeSpinner();
    windowWith(s);
    s->setDisplayedWhenStopped(false);
    EXPECT_TRUE(s->isHidden());
    s->startAnimation(nullptr);
    EXPECT_FALSE(s->isHidden());
    s->stopAnimation(nullptr);
    EXPECT_TRUE(s->isHidden());
    s->setDisplayedWhenStopped(true);
    EXPECT_FALSE(s->isHidden());
}

TEST_F(SpinnerTest, OnlyTheSpinningStyleIsAccepted)
{
    auto s = makeSpinner();
    EXPECT_NO_THROW(s->setStyle(NSProgressIndicatorSpinningStyle));
    try {
        s->setStyle(0);
        FAIL() << "no assertion";
    } catch (const NSException& e) {
        EXPECT_EQ(e.reason()->UTF8String(), std::string("Non-spinning styles not available."));
    }
}

}  // namespace
