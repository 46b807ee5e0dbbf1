#pragma once
// What the preference window asks of a pane, and what a plug-in pane's
// principal object (the class a pane bundle names as "NSPrincipalClass")
// provides.
//
// Optional hooks are selectors the window tests before sending them:
// "loadMainView", "willSelect", "didSelect", "willUnselect", "didUnselect",
// "shouldResize", "minSize", "maxSize", "standardSize" (sizes),
// "panelDidBecomeMain" and "categoryDisplayName". A pane answers them
// through paneRespondsToSelector and panePerformSelector, so that a plug-in
// pane can pass them on to its principal object.
#include "AppKit/NSImage.h"
#include "AppKit/NSView.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSString.h"

class ZAKPrefPaneProtocol {
public:
    virtual ~ZAKPrefPaneProtocol();
    virtual Ref<NSString> identifier() = 0;
    virtual Ref<NSView> mainView() = 0;
    virtual Ref<NSString> label() = 0;
    virtual Ref<NSImage> icon() = 0;
    virtual Ref<NSString> category() = 0;
    virtual NSUInteger sortOrder() = 0;
    virtual void setSortOrder(NSUInteger order) = 0;

    // The optional hooks; sending one the pane does not answer raises the
    // unrecognised-selector exception.
    virtual bool paneRespondsToSelector(const SEL& selector) = 0;
    virtual Id panePerformSelector(const SEL& selector) = 0;
};

// The principal object of a pane bundle. Besides these it registers the
// optional hooks it has as actions, and "sortOrder" and "identifier" as
// key-value properties (the window orders its toolbar by them; the
// identifier must equal the bundle's "CFBundleIdentifier").
class ZAKPrefPaneBundleProtocol {
public:
    virtual ~ZAKPrefPaneBundleProtocol();
    // Answers nil when the pane cannot be made.
    virtual Id initWithBundle(const Ref<NSBundle>& bundle) = 0;
    virtual Ref<NSView> mainView() = 0;
    virtual NSUInteger sortOrder() const = 0;
    virtual void setSortOrder(NSUInteger order) = 0;
};
