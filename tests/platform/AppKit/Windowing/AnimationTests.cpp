// Timed animations on the animation clock: curves, progress over time,
// stopping and ending, and view animations that move and fade views and
// windows.
#include "AppKit/NSAnimation.h"
#include "AppKit/NSAnimationContext.h"
#include "AppKit/NSViewAnimation.h"
#include "Foundation/NSValue.h"
#include "WindowingFixture.h"

namespace {

class AnimationRecorder : public NSObject, public NSAnimationDelegate {
    NS_OBJECT(AnimationRecorder, NSObject)
protected:
    AnimationRecorder() = default;

public:
    std::vector<std::string> calls;
    bool refuseStart = false;
    std::optional<bool> animationShouldStart(NSAnimation*) override
    {
        calls.push_back("shouldStart");
        return !refuseStart;
    }
    void animationDidStop(NSAnimation* a) override
    {
        calls.push_back("didStop " + std::to_string(a->currentProgress()));
    }
    void animationDidEnd(NSAnimation* a) override { calls.push_back("didEnd " + std::to_string(a->currentProgress())); }
};

NS_CLASS_DEFINE(AnimationRecorder)

class AnimationTest : public WindowingTest {
protected:
    static void advance(NSTimeInterval seconds) { NSRunLoop::currentRunLoop()->advance(seconds); }
    static Ref<NSString> ns(const char* text) { return NSString::stringWithUTF8String(text); }
};

TEST_F(AnimationTest, CurvesBendTheProgress)
{
    struct Case {
        NSAnimationCurve curve;
        float progress, value;
    };
    // Ease-in-out is symmetric about the middle and slow at both ends.
    const Case cases[] = {
        {NSAnimationLinear, 0.25f, 0.25f},   {NSAnimationEaseInOut, 0, 0},          {NSAnimationEaseInOut, 0.5f, 0.5f},
        {NSAnimationEaseInOut, 1, 1},        {NSAnimationEaseInOut, 0.1f, 0.0198f}, {NSAnimationEaseIn, 0.5f, 0.3153f},
        {NSAnimationEaseOut, 0.5f, 0.6847f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "curve " << c.curve << " at " << c.progress);
        EXPECT_NEAR(NSAnimation::valueOfCurve(c.curve, c.progress), c.value, 2e-3);
    }
    EXPECT_NEAR(NSAnimation::valueOfCurve(NSAnimationEaseInOut, 0.3f) +
                    NSAnimation::valueOfCurve(NSAnimationEaseInOut, 0.7f),
                1.0, 1e-5);
}

TEST_F(AnimationTest, NonBlockingAnimationRunsOnTheClockAndEndsOnce)
{
    auto animation = NSObject::alloc<NSAnimation>()->initWithDuration(2, NSAnimationLinear);
    animation->setAnimationBlockingMode(NSAnimationNonblocking);
    auto recorder = NSObject::make<AnimationRecorder>();
    animation->setDelegate(recorder);
    animation->startAnimation();
    EXPECT_TRUE(animation->isAnimating());
    advance(1);
    EXPECT_NEAR(animation->currentProgress(), 0.5, 0.02);
    EXPECT_NEAR(animation->currentValue(), 0.5, 0.02);
    advance(1.1);
    EXPECT_FALSE(animation->isAnimating());
    EXPECT_EQ(animation->currentProgress(), 1);
    EXPECT_EQ(recorder->calls, (std::vector<std::string>{"shouldStart", "didEnd 1.000000"}));
    EXPECT_EQ(NSAnimationContext::runningAnimationCount(), 0u);
}

TEST_F(AnimationTest, StopKeepsTheProgressAndARefusedStartDoesNothing)
{
    auto recorder = NSObject::make<AnimationRecorder>();
    Weak<NSAnimation> weak;
    {
        auto animation = NSObject::alloc<NSAnimation>()->initWithDuration(1, NSAnimationLinear);
        animation->setAnimationBlockingMode(NSAnimationNonblocking);
        animation->setDelegate(recorder);
        animation->startAnimation();
        weak = animation;
    }
    // A running animation keeps itself.
    advance(0.5);
    ASSERT_TRUE(weak.get());
    weak.get()->stopAnimation();
    EXPECT_FALSE(weak.get());
    EXPECT_EQ(recorder->calls, (std::vector<std::string>{"shouldStart", "didStop 0.500000"}));

    recorder->calls.clear();
    recorder->refuseStart = true;
    auto refused = NSObject::make<NSAnimation>();
    refused->setDelegate(recorder);
    refused->setAnimationBlockingMode(NSAnimationNonblocking);
    refused->startAnimation();
    EXPECT_FALSE(refused->isAnimating());
    refused->stopAnimation();
    EXPECT_EQ(recorder->calls, (std::vector<std::string>{"shouldStart"}));
}

TEST_F(AnimationTest, AnimationGoesOnDuringAModalSession)
{
    auto panel = makeWindow(NSMakeRect(100, 100, 200, 100), NSColor::whiteColor());
    auto animation = NSObject::alloc<NSAnimation>()->initWithDuration(1, NSAnimationLinear);
    animation->setAnimationBlockingMode(NSAnimationNonblocking);
    animation->startAnimation();
    auto session = NSApp->beginModalSessionForWindow(panel);
    NSRunLoop::currentRunLoop()->advance(2, NSModalPanelRunLoopMode);
    NSApp->endModalSession(session);
    EXPECT_FALSE(animation->isAnimating());
    EXPECT_EQ(animation->currentProgress(), 1);
}

TEST_F(AnimationTest, ViewAnimationMovesAndFadesViewsAndWindows)
{
    auto window = makeWindow(NSMakeRect(100, 100, 400, 300), NSColor::whiteColor());
    auto moving = NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 50, 50));
    auto fadingIn = NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 50, 50));
    auto fadingOut = NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 50, 50));
    fadingIn->setHidden(true);
    for (const auto& v : {moving, fadingIn, fadingOut}) window->contentView()->addSubview(v);
    auto other = makeWindow(NSMakeRect(600, 100, 100, 100), NSColor::redColor());

    auto custom = ns("custom");
    auto descriptions = NSArray::arrayWithObjects({
        NSDictionary::dictionaryWithObjectsAndKeys({moving, ns(NSViewAnimationTargetKey),
                                                    NSValue::valueWithRect(NSMakeRect(100, 50, 100, 50)),
                                                    ns(NSViewAnimationEndFrameKey), custom, custom}),
        NSDictionary::dictionaryWithObjectsAndKeys(
            {fadingIn, ns(NSViewAnimationTargetKey), ns(NSViewAnimationFadeInEffect), ns(NSViewAnimationEffectKey)}),
        NSDictionary::dictionaryWithObjectsAndKeys(
            {fadingOut, ns(NSViewAnimationTargetKey), ns(NSViewAnimationFadeOutEffect), ns(NSViewAnimationEffectKey)}),
        NSDictionary::dictionaryWithObjectsAndKeys(
            {other, ns(NSViewAnimationTargetKey), ns(NSViewAnimationFadeOutEffect), ns(NSViewAnimationEffectKey)}),
    });
    auto animation = NSObject::alloc<NSViewAnimation>()->initWithViewAnimations(descriptions);
    EXPECT_EQ(animation->animationBlockingMode(), NSAnimationNonblocking);
    animation->setDuration(1);
    animation->setAnimationCurve(NSAnimationLinear);
    animation->startAnimation();
    EXPECT_FALSE(fadingIn->isHidden());
    EXPECT_EQ(fadingIn->alphaValue(), 0);
    advance(0.5);
    EXPECT_NEAR(moving->frame().origin.x, 50, 2);
    EXPECT_NEAR(moving->frame().size.width, 75, 2);
    EXPECT_NEAR(fadingIn->alphaValue(), 0.5, 0.02);
    EXPECT_NEAR(fadingOut->alphaValue(), 0.5, 0.02);
    EXPECT_NEAR(other->alphaValue(), 0.5, 0.02);
    advance(0.6);
    EXPECT_TRUE(NSEqualRects(moving->frame(), NSMakeRect(100, 50, 100, 50)));
    EXPECT_EQ(fadingIn->alphaValue(), 1);
    EXPECT_TRUE(fadingOut->isHidden());
    EXPECT_EQ(fadingOut->alphaValue(), 1);
    EXPECT_FALSE(other->isVisible());
    // The descriptions come back as given, other keys included.
    auto first = dynamic_ref_cast<NSDictionary>(animation->viewAnimations()->objectAtIndex(0));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->objectForKey(custom), Id(custom));
}

}  // namespace
