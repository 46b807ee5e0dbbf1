#include "AppKit/NSProgressIndicator.h"

#include <algorithm>
#include <cmath>

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/ViewCoding.h"
#include "Foundation/Clock.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSRunLoop.h"
#include "Foundation/NSTimer.h"

NS_CLASS_DEFINE(NSProgressIndicator)

namespace {

constexpr NSTimeInterval kFrameInterval = 1.0 / 30;
// The stripes move by one period in half a second; the spokes turn once a second.
constexpr double kStripePeriodsPerSecond = 2, kSpinnerTurnsPerSecond = 1;
constexpr CGFloat kStripePeriod = 16, kBarThickness[] = {12, 10, 6};
constexpr int kSpokes = 12;

Ref<NSColor> accent(CGFloat alpha = 1) { return NSColor::colorWithCalibratedRed(0.22, 0.48, 0.92, alpha); }

}  // namespace

void NSProgressIndicator::describeClass(NSClassMembers<NSProgressIndicator>& m)
{
    m.property("minValue", &NSProgressIndicator::minValue, &NSProgressIndicator::setMinValue);
    m.property("maxValue", &NSProgressIndicator::maxValue, &NSProgressIndicator::setMaxValue);
    m.property("doubleValue", &NSProgressIndicator::doubleValue, &NSProgressIndicator::setDoubleValue);
    m.property("isIndeterminate", &NSProgressIndicator::isIndeterminate, &NSProgressIndicator::setIndeterminate);
    m.property("usesThreadedAnimation", &NSProgressIndicator::usesThreadedAnimation,
               &NSProgressIndicator::setUsesThreadedAnimation);
    m.action("startAnimation:", &NSProgressIndicator::startAnimation);
    m.action("stopAnimation:", &NSProgressIndicator::stopAnimation);
}

NSProgressIndicator::~NSProgressIndicator()
{
    if (m_timer) m_timer->invalidate();
}

Ref<NSView> NSProgressIndicator::initWithFrame(const NSRect& frame)
{
    NSView::initWithFrame(frame);
    return Ref<NSView>(this);
}

void NSProgressIndicator::setStyle(NSProgressIndicatorStyle style)
{
    if (style == m_style) return;
    m_style = style;
    updateTimer();
    setNeedsDisplay(true);
}

void NSProgressIndicator::setIndeterminate(bool flag)
{
    if (flag == m_indeterminate) return;
    m_indeterminate = flag;
    updateTimer();
    setNeedsDisplay(true);
}

void NSProgressIndicator::setBezeled(bool flag)
{
    m_bezeled = flag;
    setNeedsDisplay(true);
}

void NSProgressIndicator::setDisplayedWhenStopped(bool flag)
{
    m_displayedWhenStopped = flag;
    setNeedsDisplay(true);
}

void NSProgressIndicator::setControlSize(NSUInteger size)
{
    m_controlSize = std::min<NSUInteger>(size, 2);
    setNeedsDisplay(true);
}

void NSProgressIndicator::setMinValue(double value)
{
    m_minValue = value;
    setNeedsDisplay(true);
}

void NSProgressIndicator::setMaxValue(double value)
{
    m_maxValue = value;
    setNeedsDisplay(true);
}

void NSProgressIndicator::setDoubleValue(double value)
{
    if (value == m_value) return;
    m_value = value;
    if (!m_indeterminate) setNeedsDisplay(true);
}

void NSProgressIndicator::startAnimation(const Id&)
{
    if (m_animating) return;
    m_animating = true;
    updateTimer();
    setNeedsDisplay(true);
}

void NSProgressIndicator::stopAnimation(const Id&)
{
    if (!m_animating) return;
    m_animating = false;
    updateTimer();
    setNeedsDisplay(true);
}

void NSProgressIndicator::updateTimer()
{
    if (moves() == bool(m_timer)) return;
    if (m_timer) {
        m_timer->invalidate();
        m_timer = nullptr;
        return;
    }
    m_phaseStartTime = Clock::now();
    m_phaseAtStart = m_phase;
    // The timer holds the indicator weakly: an indicator that goes away
    // while animating stops its timer in its destructor.
    Weak<NSProgressIndicator> weak(this);
    m_timer = NSTimer::timerWithTimeInterval(kFrameInterval, true, [weak](const Ref<NSTimer>&) {
        if (auto self = weak.get()) self->step();
    });
    NSRunLoop::mainRunLoop()->addTimer(m_timer, NSRunLoopCommonModes);
}

void NSProgressIndicator::step()
{
    const double rate = m_style == NSProgressIndicatorSpinningStyle ? kSpinnerTurnsPerSecond : kStripePeriodsPerSecond;
    const double phase = m_phaseAtStart + (Clock::now() - m_phaseStartTime) * rate;
    m_phase = phase - std::floor(phase);
    setNeedsDisplay(true);
}

void NSProgressIndicator::sizeToFit()
{
    const NSRect f = frame();
    if (m_style == NSProgressIndicatorSpinningStyle) {
        const CGFloat side = m_controlSize == 0 ? 32 : m_controlSize == 1 ? 16 : 10;
        setFrameSize(NSMakeSize(side, side));
    } else {
        setFrameSize(NSMakeSize(f.size.width, kBarThickness[m_controlSize] + 8));
    }
}

void NSProgressIndicator::drawRect(const NSRect&)
{
    if (!m_animating && !m_displayedWhenStopped) return;
    NSGraphicsContext::saveGraphicsState();
    if (m_style == NSProgressIndicatorSpinningStyle) drawSpinner(bounds());
    else drawBar(bounds());
    NSGraphicsContext::restoreGraphicsState();
}

void NSProgressIndicator::drawBar(const NSRect& rect)
{
    const CGFloat thickness = std::min(rect.size.height, kBarThickness[m_controlSize]);
    const NSRect track = NSMakeRect(rect.origin.x + 0.5, NSMidY(rect) - thickness / 2 + 0.5,
                                    std::max<CGFloat>(0, rect.size.width - 1), thickness - 1);
    const CGFloat radius = track.size.height / 2;
    auto trackPath = NSBezierPath::bezierPathWithRoundedRect(track, radius, radius);
    NSColor::colorWithCalibratedWhite(0.9, 1)->setFill();
    trackPath->fill();

    NSGraphicsContext::saveGraphicsState();
    trackPath->addClip();
    if (m_indeterminate) {
        // Diagonal stripes that move to the right as the phase grows.
        accent(0.55)->setFill();
        NSBezierPath::fillRect(track);
        accent()->setFill();
        const CGFloat shift = CGFloat(m_phase) * kStripePeriod;
        for (CGFloat x = track.origin.x - track.size.height - kStripePeriod + shift; x < NSMaxX(track);
             x += kStripePeriod) {
            auto stripe = NSBezierPath::bezierPath();
            stripe->moveToPoint(NSMakePoint(x, track.origin.y));
            stripe->lineToPoint(NSMakePoint(x + kStripePeriod / 2, track.origin.y));
            stripe->lineToPoint(NSMakePoint(x + kStripePeriod / 2 + track.size.height, NSMaxY(track)));
            stripe->lineToPoint(NSMakePoint(x + track.size.height, NSMaxY(track)));
            stripe->closePath();
            stripe->fill();
        }
    } else {
        const double span = m_maxValue - m_minValue;
        const double fraction = span > 0 ? std::clamp((m_value - m_minValue) / span, 0.0, 1.0) : 0;
        accent()->setFill();
        NSBezierPath::fillRect(
            NSMakeRect(track.origin.x, track.origin.y, track.size.width * fraction, track.size.height));
    }
    NSGraphicsContext::restoreGraphicsState();

    if (!m_bezeled) return;
    NSColor::colorWithCalibratedWhite(0.6, 1)->setStroke();
    trackPath->setLineWidth(1);
    trackPath->stroke();
}

void NSProgressIndicator::drawSpinner(const NSRect& rect)
{
    const CGFloat side = std::min(rect.size.width, rect.size.height);
    const NSPoint centre = NSMakePoint(NSMidX(rect), NSMidY(rect));
    if (!m_indeterminate) {
        const double span = m_maxValue - m_minValue;
        const double fraction = span > 0 ? std::clamp((m_value - m_minValue) / span, 0.0, 1.0) : 0;
        const CGFloat radius = side / 2 - 1;
        auto ring = NSBezierPath::bezierPathWithOvalInRect(
            NSMakeRect(centre.x - radius, centre.y - radius, 2 * radius, 2 * radius));
        NSColor::colorWithCalibratedWhite(0.6, 1)->setStroke();
        ring->stroke();
        auto pie = NSBezierPath::bezierPath();
        pie->moveToPoint(centre);
        pie->appendBezierPathWithArcWithCenter(centre, radius - 1, 90, 90 - 360 * fraction, true);
        pie->closePath();
        NSColor::colorWithCalibratedWhite(0.45, 1)->setFill();
        pie->fill();
        return;
    }
    // Twelve spokes, the leading one darkest; the lead turns clockwise.
    const int lead = int(m_phase * kSpokes) % kSpokes;
    const CGFloat outer = side / 2, inner = side / 4, width = std::max<CGFloat>(1.5, side / 12);
    for (int i = 0; i < kSpokes; ++i) {
        const double angle = M_PI / 2 - 2 * M_PI * i / kSpokes;
        const int age = (lead - i + kSpokes) % kSpokes;
        NSColor::colorWithCalibratedWhite(0.2, 1 - 0.07 * age)->setStroke();
        auto spoke = NSBezierPath::bezierPath();
        spoke->setLineWidth(width);
        spoke->setLineCapStyle(NSRoundLineCapStyle);
        spoke->moveToPoint(NSMakePoint(centre.x + inner * std::cos(angle), centre.y + inner * std::sin(angle)));
        spoke->lineToPoint(
            NSMakePoint(centre.x + (outer - width) * std::cos(angle), centre.y + (outer - width) * std::sin(angle)));
        spoke->stroke();
    }
}

void NSProgressIndicator::encodeWithCoder(NSCoder* coder) const
{
    using ViewCoding::key;
    ViewCoding::encodeView(*this, coder);
    coder->encodeDouble(m_minValue, key("NSMinValue"));
    coder->encodeDouble(m_maxValue, key("NSMaxValue"));
    coder->encodeDouble(m_value, key("NSValue"));
    coder->encodeBool(m_indeterminate, key("NSIndeterminate"));
    coder->encodeInteger(NSInteger(m_style), key("NSStyle"));
    coder->encodeBool(m_bezeled, key("NSBezeled"));
    coder->encodeBool(m_displayedWhenStopped, key("NSDisplayedWhenStopped"));
    coder->encodeBool(m_usesThreadedAnimation, key("NSUsesThreadedAnimation"));
    coder->encodeInteger(NSInteger(m_controlSize), key("NSControlSize"));
}

Id NSProgressIndicator::initWithCoder(NSCoder* coder)
{
    using ViewCoding::key;
    ViewCoding::decodeView(*this, coder);
    auto finite = [](double v) { return std::isfinite(v) ? v : 0; };
    m_minValue = finite(coder->decodeDoubleForKey(key("NSMinValue")));
    m_maxValue = finite(coder->decodeDoubleForKey(key("NSMaxValue")));
    m_value = finite(coder->decodeDoubleForKey(key("NSValue")));
    m_indeterminate = coder->decodeBoolForKey(key("NSIndeterminate"));
    m_style = coder->decodeIntegerForKey(key("NSStyle")) == 1 ? NSProgressIndicatorSpinningStyle
                                                              : NSProgressIndicatorBarStyle;
    m_bezeled = coder->decodeBoolForKey(key("NSBezeled"));
    m_displayedWhenStopped = coder->decodeBoolForKey(key("NSDisplayedWhenStopped"));
    m_usesThreadedAnimation = coder->decodeBoolForKey(key("NSUsesThreadedAnimation"));
    m_controlSize = NSUInteger(std::clamp<NSInteger>(coder->decodeIntegerForKey(key("NSControlSize")), 0, 2));
    return Id(this);
}
