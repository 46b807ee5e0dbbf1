#include "ZAKAppKit/ZAKSheetPresentation/ZAKSheetPresentation.h"

#include <algorithm>
#include <mutex>

#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSString.h"
#include "FoundationExtensions/NSArray+ZAKNSArray_Extension.h"

NS_CLASS_DEFINE(ZAKSheetPresentation)

namespace {

constexpr NSTimeInterval kFadeDuration = 1.0;

std::mutex& classLock()
{
    static std::mutex lock;
    return lock;
}

Ref<ZAKSheetPresentation>& sharedInstance()
{
    static auto* instance = new Ref<ZAKSheetPresentation>;
    return *instance;
}

}  // namespace

Ref<ZAKSheetPresentation> ZAKSheetPresentation::allocWithZone()
{
    staticClass();
    std::lock_guard guard(classLock());
    if (sharedInstance()) return nullptr;
    sharedInstance() = Ref<ZAKSheetPresentation>::adopt(new ZAKSheetPresentation);
    return sharedInstance();
}

Ref<ZAKSheetPresentation> ZAKSheetPresentation::sharedSheetPresentation()
{
    staticClass();
    Ref<ZAKSheetPresentation> made;
    {
        std::lock_guard guard(classLock());
        if (sharedInstance()) return sharedInstance();
        made = Ref<ZAKSheetPresentation>::adopt(new ZAKSheetPresentation);
        sharedInstance() = made;
    }
    made->init();
    return made;
}

Id ZAKSheetPresentation::init()
{
    m_useHighlightEffect = true;
    return Id(this);
}

Ref<ZAKSheetPresentationView> ZAKSheetPresentation::presentationViewForWindow(const Ref<NSWindow>& window) const
{
    auto content = window ? window->contentView() : nullptr;
    if (!content) return nullptr;
    std::vector<Id> subviews(content->subviews().begin(), content->subviews().end());
    auto views = NSArrayExt::arrayWithObjectsOfClass(NSArray::arrayWithVector(std::move(subviews)),
                                                     ZAKSheetPresentationView::classRecord());
    return dynamic_ref_cast<ZAKSheetPresentationView>(views->lastObject());
}

void ZAKSheetPresentation::prepareSheetPresentationForWindow(const Ref<NSWindow>& window)
{
    if (!m_useHighlightEffect) return;
    auto content = window ? window->contentView() : nullptr;
    if (!content) return;
    if (auto existing = presentationViewForWindow(window)) {
        // A fade-out still running would take the view from under the new
        // sheet: call it off and bring the dimming back.
        if (stopFadesOf(existing, /*fadeOutsOnly*/ true)) fade(existing, false);
        return;
    }
    auto view = alloc<ZAKSheetPresentationView>();
    view->initWithFrame(content->bounds());
    view->setAutoresizingMask(NSViewWidthSizable | NSViewHeightSizable);
    content->addSubview(view, NSWindowAbove, nullptr);
    fade(view, false);
}

void ZAKSheetPresentation::cleanUpSheetPresentationForWindow(const Ref<NSWindow>& window)
{
    auto view = presentationViewForWindow(window);
    if (!view) return;
    stopFadesOf(view, false);
    fade(view, true);
}

void ZAKSheetPresentation::fade(const Ref<ZAKSheetPresentationView>& view, bool out)
{
    auto description = NSDictionary::dictionaryWithObjectsAndKeys(
        {Id(view), NSString::stringWithUTF8String(NSViewAnimationTargetKey),
         NSString::stringWithUTF8String(out ? NSViewAnimationFadeOutEffect : NSViewAnimationFadeInEffect),
         NSString::stringWithUTF8String(NSViewAnimationEffectKey)});
    auto animation = alloc<NSViewAnimation>()->initWithViewAnimations(NSArray::arrayWithObject(description));
    animation->setDuration(kFadeDuration);
    animation->setDelegate(Id(this));
    m_fades.push_back({animation, view, out});
    animation->startAnimation();
}

bool ZAKSheetPresentation::stopFadesOf(const Ref<NSView>& view, bool fadeOutsOnly)
{
    std::vector<Fade> doomed;
    std::erase_if(m_fades, [&](const Fade& f) {
        if (f.view.get() != view || (fadeOutsOnly && !f.out)) return false;
        doomed.push_back(f);
        return true;
    });
    bool fadingOut = false;
    for (const auto& f : doomed) {
        fadingOut = fadingOut || f.out;
        f.animation->setDelegate(nullptr);
        f.animation->stopAnimation();
    }
    return fadingOut;
}

void ZAKSheetPresentation::finished(NSAnimation* animation)
{
    auto it = std::find_if(m_fades.begin(), m_fades.end(),
                           [animation](const Fade& f) { return f.animation.get() == animation; });
    if (it == m_fades.end()) return;
    const Fade fade = *it;
    m_fades.erase(it);
    if (!fade.out) return;
    if (auto view = fade.view.get()) view->removeFromSuperview();
}

void ZAKSheetPresentation::animationDidEnd(NSAnimation* animation) { finished(animation); }

void ZAKSheetPresentation::animationDidStop(NSAnimation* animation) { finished(animation); }
