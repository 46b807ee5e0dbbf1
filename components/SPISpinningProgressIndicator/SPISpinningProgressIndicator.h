#pragma once
// A spinning progress indicator drawn with vector paths: twelve fins whose
// brightness trails the current step, or, in determinate mode, a circle
// filled as a pie. It animates by a timer on the main run loop or, when
// asked, by a thread of its own that only advances the step and has the main
// thread redraw.
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "AppKit/NSColor.h"
#include "AppKit/NSView.h"
#include "Foundation/NSTimer.h"

inline constexpr NSUInteger NSProgressIndicatorSpinningStyle = 1;

class SPISpinningProgressIndicator : public NSView {
    NS_OBJECT(SPISpinningProgressIndicator, NSView)
public:
    SPISpinningProgressIndicator();
    ~SPISpinningProgressIndicator() override;

    Ref<NSView> initWithFrame(const NSRect& frame) override;

    void startAnimation(const Id& sender);
    void stopAnimation(const Id& sender);
    bool isAnimating() const { return m_isAnimating; }

    Ref<NSColor> color() const { return m_foreColor; }
    void setColor(const Ref<NSColor>& color);
    Ref<NSColor> backgroundColor() const { return m_backColor; }
    void setBackgroundColor(const Ref<NSColor>& color);
    bool drawsBackground() const { return m_drawBackground; }
    void setDrawsBackground(bool flag);

    bool isIndeterminate() const { return m_isIndeterminate; }
    void setIndeterminate(bool flag);
    double doubleValue() const { return m_currentValue; }
    void setDoubleValue(double value);
    double maxValue() const { return m_maxValue; }
    void setMaxValue(double value);

    bool usesThreadedAnimation() const { return m_usesThreadedAnimation; }
    void setUsesThreadedAnimation(bool flag);
    bool isDisplayedWhenStopped() const { return m_displayWhenStopped; }
    void setDisplayedWhenStopped(bool flag);
    // Only the spinning style exists; any other is a programming error.
    void setStyle(NSUInteger style);

    NSInteger position() const { return m_position.load(); }
    NSInteger numberOfFins() const { return m_numFins; }
    // The running mechanism, for callers that check what animates.
    Ref<NSTimer> animationTimer() const { return m_animationTimer; }
    bool hasAnimationThread() const { return m_animationThread != nullptr; }

    // One animation step: the bright fin moves on by one.
    void updateFrame(const Id& sender);

    void viewDidMoveToWindow() override;
    void drawRect(const NSRect& dirtyRect) override;

    static void describeClass(NSClassMembers<SPISpinningProgressIndicator>& m);

private:
    struct AnimationThread;

    void advancePosition();
    void actuallyStartAnimation();
    void actuallyStopAnimation();

    std::atomic<NSInteger> m_position{0};
    NSInteger m_numFins = 12;
    bool m_isAnimating = false;
    Ref<NSTimer> m_animationTimer;
    std::unique_ptr<AnimationThread> m_animationThread;
    Ref<NSColor> m_foreColor;
    Ref<NSColor> m_backColor;
    bool m_drawBackground = false;
    bool m_displayWhenStopped = true;
    bool m_isIndeterminate = true;
    double m_currentValue = 0;
    double m_maxValue = 100.0;
    bool m_usesThreadedAnimation = false;
};
