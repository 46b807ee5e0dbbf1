#pragma once
// Dims a window's content while a sheet is attached to it: prepare lays a
// ZAKSheetPresentationView over the content view and fades it in over one
// second; clean-up fades it out over one second and then removes it. The one
// shared instance is made on first use and never destroyed.
#include <vector>

#include "AppKit/NSViewAnimation.h"
#include "AppKit/NSWindow.h"
#include "ZAKAppKit/ZAKSheetPresentation/ZAKSheetPresentationView.h"

class ZAKSheetPresentation : public NSObject, public NSAnimationDelegate {
    NS_OBJECT(ZAKSheetPresentation, NSObject)
protected:
    ZAKSheetPresentation() = default;

public:
    static Ref<ZAKSheetPresentation> sharedSheetPresentation();
    // The shared instance when none exists yet, nil afterwards.
    static Ref<ZAKSheetPresentation> allocWithZone();
    Id init() override;
    Id copy() const override { return Id(const_cast<ZAKSheetPresentation*>(this)); }

    bool useHighlightEffect() const { return m_useHighlightEffect; }
    void setUseHighlightEffect(bool flag) { m_useHighlightEffect = flag; }

    // Before a sheet is attached. Adds nothing when the window already holds
    // a dimming view (a fade-out still running on it is called off, so the
    // view stays), when the effect is off, or without a window.
    void prepareSheetPresentationForWindow(const Ref<NSWindow>& window);
    // After the sheet ended: fades the dimming view out, then removes it.
    void cleanUpSheetPresentationForWindow(const Ref<NSWindow>& window);
    // The last dimming view among the content view's subviews, or nil.
    Ref<ZAKSheetPresentationView> presentationViewForWindow(const Ref<NSWindow>& window) const;

    void animationDidEnd(NSAnimation* animation) override;
    void animationDidStop(NSAnimation* animation) override;

private:
    struct Fade {
        Ref<NSViewAnimation> animation;
        Weak<NSView> view;
        bool out = false;
    };
    void fade(const Ref<ZAKSheetPresentationView>& view, bool out);
    // Calls off the fades (or only the fade-outs) of the view; answers
    // whether one was a fade-out.
    bool stopFadesOf(const Ref<NSView>& view, bool fadeOutsOnly);
    void finished(NSAnimation* animation);

    bool m_useHighlightEffect = true;
    // The fades running, held until they end; a fade-out then removes its view.
    std::vector<Fade> m_fades;
};
