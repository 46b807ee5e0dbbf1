#pragma once
// Progress indicators. The bar style shows a determinate value as a filled
// part of a rounded track, or, indeterminate, stripes that move along the
// track while the indicator is animated; the spinning style shows rotating
// spokes (and, determinate, a filling pie). Animation runs on the main
// thread from a timer in the common run-loop modes, so an indicator keeps
// moving during modal sessions, sheets and tracking. usesThreadedAnimation
// is kept for callers that ask; drawing stays on the main thread.
#include "AppKit/NSView.h"
#include "Foundation/NSCoding.h"
#include "Foundation/NSTimer.h"

enum NSProgressIndicatorStyle : NSUInteger {
    NSProgressIndicatorBarStyle = 0,
    NSProgressIndicatorSpinningStyle = 1,
};

class NSProgressIndicator : public NSView, public NSCoding {
    NS_OBJECT(NSProgressIndicator, NSView)
protected:
    NSProgressIndicator() = default;

public:
    ~NSProgressIndicator() override;
    static void describeClass(NSClassMembers<NSProgressIndicator>& m);

    // Indeterminate, range 0 to 100, value 0, bar style, displayed when stopped.
    Ref<NSView> initWithFrame(const NSRect& frame) override;

    NSProgressIndicatorStyle style() const { return m_style; }
    void setStyle(NSProgressIndicatorStyle style);
    bool isIndeterminate() const { return m_indeterminate; }
    void setIndeterminate(bool flag);
    bool isBezeled() const { return m_bezeled; }
    void setBezeled(bool flag);
    bool isDisplayedWhenStopped() const { return m_displayedWhenStopped; }
    void setDisplayedWhenStopped(bool flag);
    NSUInteger controlSize() const { return m_controlSize; }
    void setControlSize(NSUInteger size);

    double minValue() const { return m_minValue; }
    void setMinValue(double value);
    double maxValue() const { return m_maxValue; }
    void setMaxValue(double value);
    // The value as set; it is drawn clamped to the range.
    double doubleValue() const { return m_value; }
    void setDoubleValue(double value);
    void incrementBy(double delta) { setDoubleValue(m_value + delta); }

    bool usesThreadedAnimation() const { return m_usesThreadedAnimation; }
    void setUsesThreadedAnimation(bool flag) { m_usesThreadedAnimation = flag; }
    // startAnimation: / stopAnimation: — only an indeterminate indicator
    // (or a spinning one) moves, but the state is kept either way.
    void startAnimation(const Id& sender);
    void stopAnimation(const Id& sender);
    bool isAnimating() const { return m_animating; }
    // The stripes' (or spokes') position, in [0, 1): how far the pattern has
    // moved by one period. Follows the process clock while animating.
    double animationPhase() const { return m_phase; }

    void sizeToFit();
    bool isOpaque() const override { return false; }
    void drawRect(const NSRect& dirtyRect) override;

    // Keys: the view's (ViewCoding), NSMinValue, NSMaxValue, NSValue,
    // NSIndeterminate, NSStyle, NSBezeled, NSDisplayedWhenStopped,
    // NSUsesThreadedAnimation, NSControlSize.
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

private:
    void updateTimer();
    void step();
    bool moves() const { return m_animating && (m_indeterminate || m_style == NSProgressIndicatorSpinningStyle); }
    void drawBar(const NSRect& rect);
    void drawSpinner(const NSRect& rect);

    NSProgressIndicatorStyle m_style = NSProgressIndicatorBarStyle;
    bool m_indeterminate = true;
    bool m_bezeled = true;
    bool m_displayedWhenStopped = true;
    NSUInteger m_controlSize = 0;
    double m_minValue = 0, m_maxValue = 100, m_value = 0;
    bool m_usesThreadedAnimation = false;
    bool m_animating = false;
    double m_phase = 0;
    double m_phaseStartTime = 0, m_phaseAtStart = 0;
    Ref<NSTimer> m_timer;
};
