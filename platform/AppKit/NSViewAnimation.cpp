#include "AppKit/NSViewAnimation.h"

#include "AppKit/NSView.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSString.h"
#include "Foundation/NSValue.h"

NS_CLASS_DEFINE(NSViewAnimation)

namespace {

Id valueFor(const Ref<NSDictionary>& dictionary, const char* key)
{
    return dictionary->objectForKey(NSString::stringWithUTF8String(key));
}

NSRect mix(const NSRect& a, const NSRect& b, float t)
{
    auto m = [t](CGFloat x, CGFloat y) { return t >= 1 ? y : x + (y - x) * t; };
    return NSMakeRect(m(a.origin.x, b.origin.x), m(a.origin.y, b.origin.y), m(a.size.width, b.size.width),
                      m(a.size.height, b.size.height));
}

}  // namespace

Ref<NSViewAnimation> NSViewAnimation::initWithViewAnimations(const Ref<NSArray>& viewAnimations)
{
    initWithDuration(0.5, NSAnimationEaseInOut);
    setAnimationBlockingMode(NSAnimationNonblocking);
    setViewAnimations(viewAnimations);
    return Ref<NSViewAnimation>(this);
}

void NSViewAnimation::setViewAnimations(const Ref<NSArray>& viewAnimations)
{
    m_viewAnimations = viewAnimations ? NSArray::arrayWithArray(viewAnimations) : NSArray::array();
}

void NSViewAnimation::animationWillStart()
{
    m_tracks.clear();
    for (NSUInteger i = 0; i < m_viewAnimations->count(); ++i) {
        auto dictionary = dynamic_ref_cast<NSDictionary>(m_viewAnimations->objectAtIndex(i));
        if (!dictionary) continue;
        Track track;
        track.target = valueFor(dictionary, NSViewAnimationTargetKey);
        auto view = dynamic_ref_cast<NSView>(track.target);
        auto window = dynamic_ref_cast<NSWindow>(track.target);
        if (!view && !window) continue;
        const NSRect current = view ? view->frame() : window->frame();
        auto start = dynamic_ref_cast<NSValue>(valueFor(dictionary, NSViewAnimationStartFrameKey));
        auto end = dynamic_ref_cast<NSValue>(valueFor(dictionary, NSViewAnimationEndFrameKey));
        track.hasStart = bool(start) || bool(end);
        track.start = start ? start->rectValue() : current;
        track.hasEnd = bool(end);
        track.end = end ? end->rectValue() : track.start;
        if (auto effect = dynamic_ref_cast<NSString>(valueFor(dictionary, NSViewAnimationEffectKey))) {
            if (effect->isEqualToString(NSString::stringWithUTF8String(NSViewAnimationFadeInEffect))) track.fade = 1;
            else if (effect->isEqualToString(NSString::stringWithUTF8String(NSViewAnimationFadeOutEffect)))
                track.fade = -1;
        }
        if (track.fade == -1) track.fadeOutFrom = view ? view->alphaValue() : window->alphaValue();
        m_tracks.push_back(track);
        // A fade-in shows its target from the first frame.
        if (track.fade == 1) {
            if (view) {
                view->setAlphaValue(0);
                view->setHidden(false);
            } else if (!window->isVisible()) {
                window->setAlphaValue(0);
                window->orderFront(nullptr);
            }
        }
    }
}

void NSViewAnimation::apply(const Track& track, float value)
{
    auto view = dynamic_ref_cast<NSView>(track.target);
    auto window = dynamic_ref_cast<NSWindow>(track.target);
    const bool finished = value >= 1;
    if (track.hasStart) {
        const NSRect frame = mix(track.start, track.end, value);
        if (view) view->setFrame(frame);
        else window->setFrame(frame, true);
    }
    if (track.fade == 0) return;
    const CGFloat alpha = track.fade == 1 ? value : track.fadeOutFrom * (1 - value);
    if (view) {
        if (finished && track.fade == -1) {
            view->setHidden(true);
            view->setAlphaValue(1);
        } else {
            view->setAlphaValue(alpha);
        }
    } else {
        if (finished && track.fade == -1) {
            window->orderOut(nullptr);
            window->setAlphaValue(1);
        } else {
            window->setAlphaValue(alpha);
        }
    }
}

void NSViewAnimation::setCurrentProgress(NSAnimationProgress progress)
{
    NSAnimation::setCurrentProgress(progress);
    if (!isAnimating()) return;
    const float value = currentProgress() >= 1 ? 1 : currentValue();
    for (const auto& track : m_tracks) apply(track, value);
}
