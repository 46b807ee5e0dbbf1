// Title-bar buttons, zooming and animated frame changes.
#include <algorithm>
#include <cmath>

#include "AppKit/NSButton.h"
#include "AppKit/NSScreen.h"
#include "AppKit/NSWindow.h"
#include "Foundation/Clock.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSRunLoop.h"
#include "Foundation/NSTimer.h"

namespace {

// Steps of an animated frame change, per second.
constexpr NSTimeInterval kAnimationStep = 1.0 / 60;

NSRect interpolate(const NSRect& from, const NSRect& to, CGFloat t)
{
    auto mix = [t](CGFloat a, CGFloat b) { return a + (b - a) * t; };
    return NSMakeRect(mix(from.origin.x, to.origin.x), mix(from.origin.y, to.origin.y),
                      mix(from.size.width, to.size.width), mix(from.size.height, to.size.height));
}

// One animated frame change; the timer's user information.
class WindowFrameAnimation : public NSObject {
    NS_OBJECT(WindowFrameAnimation, NSObject)
protected:
    WindowFrameAnimation() = default;

public:
    NSRect from{};
    NSRect to{};
    NSTimeInterval start = 0;
    NSTimeInterval duration = 0;
    bool display = false;
};

}  // namespace

NS_CLASS_DEFINE(WindowFrameAnimation)

Ref<NSButton> NSWindow::standardWindowButton(NSWindowButton kind)
{
    if (!(m_styleMask & NSTitledWindowMask)) return nullptr;
    auto make = [](bool enabled) {
        auto button = NSObject::alloc<NSButton>();
        button->initWithFrame(NSMakeRect(0, 0, 12, 12));
        button->setEnabled(enabled);
        return button;
    };
    switch (kind) {
    case NSWindowCloseButton:
        if (!(m_styleMask & NSClosableWindowMask)) return nullptr;
        if (!m_closeButton) m_closeButton = make(true);
        return m_closeButton;
    case NSWindowZoomButton:
        if (!m_zoomButton) m_zoomButton = make((m_styleMask & NSResizableWindowMask) != 0);
        return m_zoomButton;
    default: return nullptr;
    }
}

NSRect NSWindow::standardFrame() const
{
    auto display = screen();
    if (!display) display = NSScreen::mainScreen();
    NSRect defaultFrame = display ? display->visibleFrame() : m_frame;
    if (auto* d = delegateProtocol())
        if (auto answer =
                d->windowWillUseStandardFrameDefaultFrame(Ref<NSWindow>(const_cast<NSWindow*>(this)), defaultFrame))
            return *answer;
    return defaultFrame;
}

bool NSWindow::isZoomed() const { return m_frame == standardFrame(); }

void NSWindow::zoom(const Id&)
{
    const NSRect standard = standardFrame();
    if (m_frame == standard) {
        if (!m_userStateFrame) return;
        const NSRect back = *m_userStateFrame;
        m_userStateFrame.reset();
        setFrame(back, true, true);
        return;
    }
    m_userStateFrame = m_frame;
    setFrame(standard, true, true);
}

NSTimeInterval NSWindow::animationResizeTime(const NSRect&) const { return 0.2; }

void NSWindow::stopFrameAnimation()
{
    if (!m_frameAnimation) return;
    m_frameAnimation->invalidate();
    m_frameAnimation = nullptr;
    m_frameAnimationState = nullptr;
}

void NSWindow::setFrame(const NSRect& frame, bool display, bool animate)
{
    const NSTimeInterval duration = animate ? animationResizeTime(frame) : 0;
    if (duration <= 0 || frame == m_frame) return setFrame(frame, display);
    stopFrameAnimation();
    auto animation = NSObject::alloc<WindowFrameAnimation>();
    animation->from = m_frame;
    animation->to = frame;
    animation->start = Clock::now();
    animation->duration = duration;
    animation->display = display;
    Weak<NSWindow> weak(this);
    m_frameAnimation =
        NSTimer::timerWithTimeInterval(kAnimationStep, true, [weak, animation](const Ref<NSTimer>& timer) {
            auto self = weak.get();
            if (!self) return timer->invalidate();
            const WindowFrameAnimation& a = *animation;
            const CGFloat t = std::clamp<CGFloat>((Clock::now() - a.start) / a.duration, 0, 1);
            if (t >= 1) {
                const NSRect end = a.to;
                self->stopFrameAnimation();
                self->applyFrame(end, a.display);
                return;
            }
            self->applyFrame(interpolate(a.from, a.to, t), a.display);
        });
    m_frameAnimationState = animation;
    NSRunLoop::mainRunLoop()->addTimer(m_frameAnimation, NSRunLoopCommonModes);
}

bool NSWindow::shiftFrameAnimation(NSPoint delta)
{
    auto animation = dynamic_ref_cast<WindowFrameAnimation>(m_frameAnimationState);
    if (!m_frameAnimation || !animation) return false;
    for (NSRect* r : {&animation->from, &animation->to}) {
        r->origin.x += delta.x;
        r->origin.y += delta.y;
    }
    applyFrame({{m_frame.origin.x + delta.x, m_frame.origin.y + delta.y}, m_frame.size}, false);
    return true;
}
