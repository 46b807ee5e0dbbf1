#include <gtest/gtest.h>

#include <cmath>

#include "AppKit/NSViewLayer.h"
#include "QuartzCore/CABasicAnimation.h"
#include "WindowServer/WindowServer.h"
#include "WindowingFixture.h"
#include "ZAKAppKit/ZAKWindowFlip/NSWindow+ZAKNSWindowExtension.h"
#include "ZAKAppKit/ZAKWindowFlip/NSWindowFlipperDelegate.h"

namespace {

bool near(const CATransform3D& a, const CATransform3D& b)
{
    const double* x = &a.m11;
    const double* y = &b.m11;
    for (int i = 0; i < 16; ++i)
        if (std::fabs(x[i] - y[i]) > 1e-9) return false;
    return true;
}

CATransform3D turned(double angle) { return CATransform3DMakeRotation(angle, 0, 1, 0); }
CATransform3D turnedInPerspective(double angle)
{
    return CATransform3DConcat(turned(angle), NSWindowExt::flipPerspective());
}

class WindowFlipTest : public WindowingTest {
protected:
    void SetUp() override
    {
        WindowingTest::SetUp();
        source = makeTitled(NSMakeRect(200, 300, 400, 300), NSColor::redColor());
        target = makeTitled(NSMakeRect(50, 50, 200, 100), NSColor::blueColor());
        target->orderOut(nullptr);
        source->makeKeyAndOrderFront(nullptr);
        pump();
    }
    void TearDown() override
    {
        source = target = nullptr;
        WindowingTest::TearDown();
    }

    static Ref<NSWindow> makeTitled(const NSRect& frame, const Ref<NSColor>& colour)
    {
        auto w =
            NSObject::alloc<NSWindow>()->initWithContentRect(frame, NSTitledWindowMask, NSBackingStoreBuffered, false);
        w->setReleasedWhenClosed(false);
        auto view = NSObject::alloc<RecordingView>();
        view->initWithFrame(NSMakeRect(0, 0, frame.size.width, frame.size.height));
        view->fill = colour;
        w->setContentView(view);
        return w;
    }

    // The flip windows on screen: the ones whose content view has a layer.
    static std::vector<Ref<NSWindow>> flipWindows()
    {
        std::vector<Ref<NSWindow>> found;
        for (const auto& w : NSWindow::allWindows())
            if (w->isVisible() && w->contentView() && NSViewExt::layer(w->contentView().get())) found.push_back(w);
        return found;
    }
    static Ref<CALayer> layerOf(const Ref<NSWindow>& w) { return NSViewExt::layer(w->contentView().get()); }
    static Ref<CABasicAnimation> turnOf(const Ref<NSWindow>& w)
    {
        return dynamic_ref_cast<CABasicAnimation>(layerOf(w)->animationForKey("transform"_ns));
    }
    std::pair<Ref<NSWindow>, Ref<NSWindow>> fromAndToFlipWindows()
    {
        auto flips = flipWindows();
        EXPECT_EQ(flips.size(), 2u);
        if (flips.size() != 2) return {};
        // The target's picture starts facing away.
        auto a = flips[0], b = flips[1];
        if (near(turnOf(a)->fromValue().value(), turned(M_PI))) std::swap(a, b);
        return {a, b};
    }
    void runFor(double seconds)
    {
        const int frames = int(std::ceil(seconds * 60)) + 2;
        for (int i = 0; i < frames; ++i) {
            Clock::advance(1.0 / 60);
            pump();
        }
    }
    static void holdModifiers(NSUInteger flags)
    {
        if (flags & NSShiftKeyMask) server().injectKey(kVK_Shift, NSShiftKeyMask, true);
        if (flags & NSControlKeyMask) server().injectKey(kVK_Control, flags, true);
        pump();
        // pump() hands events to sendEvent directly; the application's own
        // dispatch, which it skips, is what records the keys held.
        WindowServer::noteModifierFlags(flags);
    }

    Ref<NSWindow> source, target;
};

}

TEST_F(WindowFlipTest, ModifierKeysStretchTheDuration)
{
    const struct {
        NSUInteger flags;
        double expected;
    } cases[] = {{0, 1}, {NSShiftKeyMask, 2}, {NSShiftKeyMask | NSControlKeyMask, 8}, {NSControlKeyMask, 1}};
    for (const auto& c : cases) {
        holdModifiers(c.flags);
        NSWindowExt::flipToWindow(source, target, 1.0, false);
        auto [fromFlip, toFlip] = fromAndToFlipWindows();
        ASSERT_TRUE(toFlip) << c.flags;
        EXPECT_EQ(turnOf(toFlip)->duration(), c.expected) << c.flags;
        EXPECT_EQ(turnOf(fromFlip)->duration(), c.expected) << c.flags;
        runFor(c.expected);
        EXPECT_TRUE(flipWindows().empty()) << c.flags;
        server().injectKey(kVK_Shift, 0, false);
        server().injectKey(kVK_Control, 0, false);
        pump();
        WindowServer::noteModifierFlags(0);
        // Back again for the next case.
        std::swap(source, target);
    }
}

TEST_F(WindowFlipTest, TheTwoPicturesTurnOnSingleSidedLayersAndTheTargetEndsKeyAndOpaque)
{
    const NSPoint sourceMiddle = NSWindowExt::midpoint(source);
    NSWindowExt::flipToWindow(source, target, 1.0, false);
    // Centred on the source, its size kept.
    EXPECT_EQ(NSWindowExt::midpoint(target).x, sourceMiddle.x);
    EXPECT_EQ(NSWindowExt::midpoint(target).y, sourceMiddle.y);
    EXPECT_EQ(target->frame().size.width, 200);
    EXPECT_FALSE(source->isVisible());
    EXPECT_TRUE(target->isVisible());
    EXPECT_EQ(target->alphaValue(), 0);

    auto [fromFlip, toFlip] = fromAndToFlipWindows();
    ASSERT_TRUE(fromFlip && toFlip);
    EXPECT_TRUE(NSEqualRects(fromFlip->frame(), NSInsetRect(source->frame(), -100, -100)));
    EXPECT_FALSE(fromFlip->isOpaque());
    auto from = turnOf(fromFlip), to = turnOf(toFlip);
    ASSERT_TRUE(from && to);
    EXPECT_TRUE(near(from->fromValue().value(), CATransform3DIdentity));
    EXPECT_TRUE(near(from->toValue().value(), turnedInPerspective(M_PI)));
    EXPECT_EQ(NSWindowExt::flipPerspective().m34, -1.0 / 850);
    EXPECT_TRUE(near(to->fromValue().value(), turned(M_PI)));
    EXPECT_TRUE(near(to->toValue().value(), turnedInPerspective(2 * M_PI)));
    for (const auto& turn : {from, to}) {
        EXPECT_FALSE(turn->isRemovedOnCompletion());
        float c1[2], c2[2];
        turn->timingFunction()->getControlPointAtIndex(1, c1);
        turn->timingFunction()->getControlPointAtIndex(2, c2);
        EXPECT_FLOAT_EQ(c1[0], 0.42f);
        EXPECT_FLOAT_EQ(c2[0], 0.58f);
    }
    for (const auto& w : {fromFlip, toFlip}) {
        EXPECT_FALSE(layerOf(w)->isDoubleSided());
        EXPECT_EQ(layerOf(w)->shadowOpacity(), 0);  // not asked for
        ASSERT_TRUE(layerOf(w)->contents());
    }
    // The photographs include the title bars.
    EXPECT_EQ(layerOf(fromFlip)->contents()->width(), size_t(source->frame().size.width));
    EXPECT_EQ(layerOf(fromFlip)->contents()->height(), size_t(source->frame().size.height));
    auto delegate = dynamic_ref_cast<NSWindowFlipperDelegate>(to->delegate());
    ASSERT_TRUE(delegate);
    Weak<NSWindowFlipperDelegate> watch(delegate);
    delegate = nullptr;

    // Frames keep coming and redraw the flip windows.
    const int flushesBefore = server().flushCount(fromFlip->windowNumber());
    runFor(0.5);
    EXPECT_GT(server().flushCount(fromFlip->windowNumber()), flushesBefore + 10);
    runFor(0.6);
    EXPECT_TRUE(flipWindows().empty());
    EXPECT_TRUE(target->isKeyWindow());
    EXPECT_EQ(target->alphaValue(), 1);
    EXPECT_FALSE(source->isVisible());
    fromFlip = toFlip = nullptr;
    from = to = nullptr;
    pump();
    EXPECT_FALSE(watch.get());
}

TEST_F(WindowFlipTest, ShadowsOnlyWhenAskedAndAdjustingGivesTheSourceFrame)
{
    NSWindowExt::flipToWindow(source, target, true, 1.0, true);
    EXPECT_TRUE(NSEqualRects(target->frame(), source->frame()));
    auto [fromFlip, toFlip] = fromAndToFlipWindows();
    ASSERT_TRUE(fromFlip && toFlip);
    for (const auto& w : {fromFlip, toFlip}) {
        auto layer = layerOf(w);
        EXPECT_FLOAT_EQ(layer->shadowOpacity(), 0.4f);
        EXPECT_EQ(layer->shadowRadius(), 14);
        EXPECT_EQ(layer->shadowOffset().height, -22.5);
        EXPECT_EQ(layer->shadowColor()->rgba(), (CGRGBA{0, 0, 0, 1}));
    }
    runFor(1.1);
}

TEST_F(WindowFlipTest, ClosingTheTargetMidFlipEndsTheFlip)
{
    NSWindowExt::flipToWindow(source, target, 1.0, false);
    auto [fromFlip, toFlip] = fromAndToFlipWindows();
    ASSERT_TRUE(toFlip);
    Weak<NSObject> delegate(turnOf(toFlip)->delegate());
    fromFlip = toFlip = nullptr;
    runFor(0.3);
    target->close();
    pump();
    EXPECT_TRUE(flipWindows().empty());
    EXPECT_FALSE(source->isVisible());  // kept ordered out
    runFor(1);
    EXPECT_FALSE(delegate.get());
}

TEST_F(WindowFlipTest, MidpointsMoveTheFrameKeepingItsSize)
{
    EXPECT_EQ(NSWindowExt::midpoint(source).x, 400);
    NSWindowExt::setMidpoint(source, NSMakePoint(500, 500));
    EXPECT_EQ(NSWindowExt::midpoint(source).x, 500);
    EXPECT_EQ(NSWindowExt::midpoint(source).y, 500);
    EXPECT_EQ(source->frame().size.width, 400);
}
