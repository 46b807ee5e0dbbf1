#include "AppKit/NSViewAnimator.h"

#include "AppKit/NSAnimationContext.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSViewAnimator)

Ref<NSViewAnimator> NSViewAnimator::animatorForView(const Ref<NSView>& view)
{
    auto animator = make<NSViewAnimator>();
    animator->m_view = view;
    return animator;
}

void NSViewAnimator::setFrame(const NSRect& to)
{
    Ref<NSView> view = m_view.get();
    if (!view) return;
    const NSRect from = view->frame();
    Weak<NSView> weak = view;
    NSAnimationContext::animate([weak, from, to](double t) {
        auto v = weak.get();
        if (!v) return;
        auto mix = [t](CGFloat a, CGFloat b) { return t >= 1 ? b : a + (b - a) * t; };
        v->setFrame(NSMakeRect(mix(from.origin.x, to.origin.x), mix(from.origin.y, to.origin.y),
                               mix(from.size.width, to.size.width), mix(from.size.height, to.size.height)));
    });
}

void NSViewAnimator::setFrameOrigin(NSPoint origin)
{
    if (auto view = m_view.get())
        setFrame(NSMakeRect(origin.x, origin.y, view->frame().size.width, view->frame().size.height));
}

void NSViewAnimator::setFrameSize(NSSize size)
{
    if (auto view = m_view.get())
        setFrame(NSMakeRect(view->frame().origin.x, view->frame().origin.y, size.width, size.height));
}

void NSViewAnimator::setAlphaValue(CGFloat to)
{
    Ref<NSView> view = m_view.get();
    if (!view) return;
    const CGFloat from = view->alphaValue();
    Weak<NSView> weak = view;
    NSAnimationContext::animate([weak, from, to](double t) {
        if (auto v = weak.get()) v->setAlphaValue(t >= 1 ? to : from + (to - from) * t);
    });
}

void NSViewAnimator::addSubview(const Ref<NSView>& subview)
{
    if (auto view = m_view.get()) view->addSubview(subview);
}

void NSViewAnimator::addSubview(const Ref<NSView>& subview, NSWindowOrderingMode place, const Ref<NSView>& relativeTo)
{
    if (auto view = m_view.get()) view->addSubview(subview, place, relativeTo);
}

void NSViewAnimator::removeFromSuperview()
{
    if (auto view = m_view.get()) view->removeFromSuperview();
}
