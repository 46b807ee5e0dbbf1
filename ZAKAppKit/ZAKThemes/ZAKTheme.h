#pragma once
// A look for the framework's controls: colours, gradients, alpha values and
// shadows as functions of a control's state. Themes live in the theme manager
// under a string key; a control resolves its key at every draw.
#include "AppKit/NSColor.h"
#include "AppKit/NSGradient.h"
#include "AppKit/NSShadow.h"
#include "Foundation/NSObject.h"

// Bits of the state mask a control hands to every state-dependent question.
enum ZAKThemeStateMask : NSUInteger {
    ZAKThemeStateDisabled = 1,
    // The control's window is not the main window (the pop-up arrow painter:
    // not the key window).
    ZAKThemeStateInactive = 2,
    // Highlighted (pressed) or selected; in a painter's fill mask the on state.
    ZAKThemeStateHighlighted = 4,
    // Only the painters' fill masks set it: highlighted, or a recessed
    // button's on state.
    ZAKThemeStateOn = 8,
};

// The platform cell's background styles.
enum ZAKBackgroundStyle : NSInteger {
    ZAKBackgroundStyleLight = 0,
    ZAKBackgroundStyleDark = 1,
    ZAKBackgroundStyleRaised = 2,
    ZAKBackgroundStyleLowered = 3,
};

class ZAKTheme : public NSObject {
    NS_OBJECT(ZAKTheme, NSObject)
protected:
    ZAKTheme() = default;

public:
    virtual NSInteger backgroundStyle() const = 0;
    virtual Ref<NSShadow> focusRing() const = 0;
    virtual Ref<NSColor> strokeColorForStateMask(NSUInteger mask) const = 0;
    virtual Ref<NSColor> darkStrokeColorForStateMask(NSUInteger mask) const = 0;
    virtual Ref<NSColor> gridColorForStateMask(NSUInteger mask) const = 0;
    virtual Ref<NSColor> fillColorForStateMask(NSUInteger mask) const = 0;
    virtual double gradientAngleForStateMask(NSUInteger mask) const = 0;
    virtual Ref<NSGradient> gradientForStateMask(NSUInteger mask) const = 0;
    virtual Ref<NSGradient> complexGradientForStateMask(NSUInteger mask) const = 0;
    virtual Ref<NSGradient> borderSideGradientForStateMask(NSUInteger mask) const = 0;
    virtual Ref<NSColor> textColorForBackgroundStyle(NSInteger style, NSUInteger mask) const = 0;
    virtual Ref<NSColor> selectedTextColorForBackgroundStyle(NSInteger style, NSUInteger mask) const = 0;
    virtual Ref<NSColor> selectedTextBackgroundColorForBackgroundStyle(NSInteger style, NSUInteger mask) const = 0;
    virtual double alphaValueForStateMask(NSUInteger mask) const = 0;
    virtual double alphaValueForBackgroundStyle(NSInteger style, NSUInteger mask) const = 0;
    virtual bool applyShadows() const = 0;
    virtual Ref<NSShadow> dropShadow() const = 0;
    virtual Ref<NSShadow> dropShadowForBackgroundStyle(NSInteger style) const = 0;
};

// Adopted by the controls that draw through a theme; the key is archived
// under "themeKey".
class ZAKThemedObject {
public:
    virtual ~ZAKThemedObject() = default;
    virtual Ref<NSString> themeKey() const = 0;
    virtual void setThemeKey(const Ref<NSString>& key) = 0;
};
