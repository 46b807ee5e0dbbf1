#include "SPISpinningProgressIndicator/SPISpinningProgressIndicator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "AppKit/NSAffineTransform.h"
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSAssertionHandler.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSRunLoop.h"

NS_CLASS_DEFINE(SPISpinningProgressIndicator)

// The animation thread touches nothing of the view but its atomic step: it
// advances the step, sleeps a frame, and asks the main thread to redraw. The
// view detaches itself (main thread) and joins the thread when it stops, so
// no redraw reaches a view that is gone and no two threads ever run.
struct SPISpinningProgressIndicator::AnimationThread {
    struct Shared {
        SPISpinningProgressIndicator* view = nullptr;  // read and cleared on the main thread only
        std::atomic<bool> redrawQueued{false};
        std::mutex lock;
        std::condition_variable wake;
        bool cancelled = false;
    };
    std::shared_ptr<Shared> shared = std::make_shared<Shared>();
    std::thread thread;

    explicit AnimationThread(SPISpinningProgressIndicator* view)
    {
        shared->view = view;
        const NSInteger fins = view->m_numFins;
        const auto frame = std::chrono::microseconds(600000 / std::max<NSInteger>(fins, 1));
        thread = std::thread([s = shared, view, frame] {
            for (;;) {
                view->advancePosition();
                if (!s->redrawQueued.exchange(true)) {
                    NSRunLoop::mainRunLoop()->performBlock({NSRunLoopCommonModes}, [s] {
                        s->redrawQueued = false;
                        if (s->view) s->view->setNeedsDisplay(true);
                    });
                }
                std::unique_lock guard(s->lock);
                if (s->wake.wait_for(guard, frame, [&] { return s->cancelled; })) return;
            }
        });
    }

    ~AnimationThread()
    {
        shared->view = nullptr;
        {
            std::lock_guard guard(shared->lock);
            shared->cancelled = true;
        }
        shared->wake.notify_all();
        thread.join();
    }
};

void SPISpinningProgressIndicator::describeClass(NSClassMembers<SPISpinningProgressIndicator>& m)
{
    m.action("startAnimation:", &SPISpinningProgressIndicator::startAnimation);
    m.action("stopAnimation:", &SPISpinningProgressIndicator::stopAnimation);
    m.action("updateFrame:", &SPISpinningProgressIndicator::updateFrame);
    m.property("color", &SPISpinningProgressIndicator::color, &SPISpinningProgressIndicator::setColor);
    m.property("backgroundColor", &SPISpinningProgressIndicator::backgroundColor,
               &SPISpinningProgressIndicator::setBackgroundColor);
    m.property("doubleValue", &SPISpinningProgressIndicator::doubleValue,
               &SPISpinningProgressIndicator::setDoubleValue);
    m.property("maxValue", &SPISpinningProgressIndicator::maxValue, &SPISpinningProgressIndicator::setMaxValue);
}

Ref<NSView> SPISpinningProgressIndicator::initWithFrame(const NSRect& frame)
{
    NSView::initWithFrame(frame);
    m_position = 0;
    m_numFins = 12;
    m_isAnimating = false;
    m_foreColor = static_ref_cast<NSColor>(NSColor::blackColor()->copy());
    m_backColor = nullptr;
    m_drawBackground = false;
    m_displayWhenStopped = true;
    m_isIndeterminate = true;
    m_currentValue = 0;
    m_maxValue = 100.0;
    m_usesThreadedAnimation = false;
    return Ref<NSView>(this);
}

SPISpinningProgressIndicator::SPISpinningProgressIndicator() = default;

SPISpinningProgressIndicator::~SPISpinningProgressIndicator()
{
    // The timer holds its target weakly; the thread must end before the view does.
    if (m_animationTimer) m_animationTimer->invalidate();
    m_animationThread.reset();
}

// --- Appearance ---

void SPISpinningProgressIndicator::setColor(const Ref<NSColor>& color)
{
    if (color.get() == m_foreColor.get()) return;
    m_foreColor = color ? static_ref_cast<NSColor>(color->copy()) : nullptr;
    setNeedsDisplay(true);
}

void SPISpinningProgressIndicator::setBackgroundColor(const Ref<NSColor>& color)
{
    if (color.get() == m_backColor.get()) return;
    m_backColor = color ? static_ref_cast<NSColor>(color->copy()) : nullptr;
    setNeedsDisplay(true);
}

void SPISpinningProgressIndicator::setDrawsBackground(bool flag)
{
    m_drawBackground = flag;
    setNeedsDisplay(true);
}

void SPISpinningProgressIndicator::setIndeterminate(bool flag)
{
    m_isIndeterminate = flag;
    if (!flag && m_isAnimating) stopAnimation(nullptr);
    setNeedsDisplay(true);
}

void SPISpinningProgressIndicator::setDoubleValue(double value)
{
    if (m_isIndeterminate) setIndeterminate(false);
    m_currentValue = value;
    setNeedsDisplay(true);
}

void SPISpinningProgressIndicator::setMaxValue(double value)
{
    m_maxValue = value;
    setNeedsDisplay(true);
}

void SPISpinningProgressIndicator::setUsesThreadedAnimation(bool flag)
{
    if (m_usesThreadedAnimation == flag) return;
    m_usesThreadedAnimation = flag;
    if (m_isAnimating) {
        // Restart so that the other mechanism takes over.
        stopAnimation(nullptr);
        startAnimation(nullptr);
    }
}

void SPISpinningProgressIndicator::setDisplayedWhenStopped(bool flag)
{
    m_displayWhenStopped = flag;
    if (m_isAnimating) return;
    if (flag && isHidden()) setHidden(false);
    else if (!flag && !isHidden()) setHidden(true);
}

void SPISpinningProgressIndicator::setStyle(NSUInteger style)
{
    NSAssert(style == NSProgressIndicatorSpinningStyle, "Non-spinning styles not available.");
}

// --- Animation ---

void SPISpinningProgressIndicator::startAnimation(const Id&)
{
    if (!m_isIndeterminate || m_isAnimating) return;
    if (!m_displayWhenStopped) setHidden(false);
    actuallyStartAnimation();
    m_isAnimating = true;
}

void SPISpinningProgressIndicator::stopAnimation(const Id&)
{
    actuallyStopAnimation();
    m_isAnimating = false;
    if (!m_displayWhenStopped) setHidden(true);
}

void SPISpinningProgressIndicator::actuallyStartAnimation()
{
    actuallyStopAnimation();
    if (!window()) return;  // starts when the view enters a window
    if (m_usesThreadedAnimation) {
        m_animationThread = std::make_unique<AnimationThread>(this);
        return;
    }
    // Held weakly so that a spinner dropped while it turns is destroyed and
    // stops its timer.
    m_animationTimer =
        NSTimer::timerWithTimeIntervalWeakTarget(0.05, Id(this), "updateFrame:", nullptr, /*repeats=*/true);
    auto loop = NSRunLoop::currentRunLoop();
    loop->addTimer(m_animationTimer, NSRunLoopCommonModes);
    loop->addTimer(m_animationTimer, NSDefaultRunLoopMode);
    loop->addTimer(m_animationTimer, NSEventTrackingRunLoopMode);
}

void SPISpinningProgressIndicator::actuallyStopAnimation()
{
    if (m_animationThread) m_animationThread.reset();
    if (m_animationTimer) {
        m_animationTimer->invalidate();
        m_animationTimer = nullptr;
    }
    setNeedsDisplay(true);
}

void SPISpinningProgressIndicator::advancePosition()
{
    NSInteger p = m_position.load();
    if (p < 1) p = m_numFins;
    m_position.store(p - 1);
}

void SPISpinningProgressIndicator::updateFrame(const Id&)
{
    advancePosition();
    setNeedsDisplay(true);
}

void SPISpinningProgressIndicator::viewDidMoveToWindow()
{
    NSView::viewDidMoveToWindow();
    if (!window()) actuallyStopAnimation();
    else if (m_isAnimating) actuallyStartAnimation();
}

// --- Drawing ---

void SPISpinningProgressIndicator::drawRect(const NSRect&)
{
    const NSRect bounds = this->bounds();
    const float size = float(std::min(bounds.size.width, bounds.size.height));
    if (m_drawBackground && m_backColor) {
        m_backColor->set();
        NSRectFill(bounds);
    }

    NSGraphicsContext::saveGraphicsState();
    auto toCentre = NSAffineTransform::transform();
    toCentre->translateXBy(bounds.size.width / 2, bounds.size.height / 2);
    toCentre->concat();

    const Ref<NSColor> fore = m_foreColor ? m_foreColor : NSColor::blackColor();
    if (m_isIndeterminate) {
        const double step = 2 * std::numbers::pi / double(m_numFins);
        auto turn = NSAffineTransform::transform();
        turn->rotateByRadians(double(m_position.load()) * step);
        turn->concat();

        // One path serves every fin, each drawn under a further rotation.
        auto fin = NSBezierPath::bezierPath();
        fin->setLineWidth(size * 0.0859375);
        fin->setLineCapStyle(NSRoundLineCapStyle);
        fin->moveToPoint(NSMakePoint(0, size * 0.234375));
        fin->lineToPoint(NSMakePoint(0, size * 0.421875));
        auto next = NSAffineTransform::transform();
        next->rotateByRadians(step);
        double alpha = 1.0;
        for (NSInteger i = 0; i < m_numFins; ++i) {
            fore->colorWithAlphaComponent(m_isAnimating ? alpha : 0.2)->set();
            fin->stroke();
            next->concat();
            alpha -= 1.0 / double(m_numFins);
        }
    } else {
        const double lineWidth = 1 + 0.01 * size;
        const double radius = (size - lineWidth) / 2.1;
        fore->colorWithAlphaComponent(1.0)->set();
        auto ring = NSBezierPath::bezierPathWithOvalInRect(NSMakeRect(-radius, -radius, 2 * radius, 2 * radius));
        ring->setLineWidth(lineWidth);
        ring->stroke();
        // A maximum of 0 or less shows an empty pie; the value stays in range.
        const double fraction = m_maxValue > 0 ? std::clamp(m_currentValue / m_maxValue, 0.0, 1.0) : 0.0;
        if (fraction > 0) {
            auto pie = NSBezierPath::bezierPath();
            pie->moveToPoint(NSZeroPoint);
            pie->appendBezierPathWithArcWithCenter(NSZeroPoint, radius, 90, 90 - 360 * fraction, /*clockwise=*/true);
            pie->closePath();
            pie->fill();
        }
    }
    NSGraphicsContext::restoreGraphicsState();
}
