#pragma once
// A container view that paints its background (a gradient, or a fill
// colour) inside one of four outline shapes and border lines on chosen sides,
// all through the theme its key names. Active and inactive looks differ: the
// bindable isActive flag and, when asked, the window's main state decide.
// Its own active and inactive gradients, when set, fade out to the right. In
// a dark theme every control inside it gets the dark background style. With
// no theme under the key it draws as a plain view.
//
// Archive key: themeKey (read only when present, always written). A decoded
// view keeps nothing else: it starts inactive until isActive is set or bound.
#include "AppKit/NSGradient.h"
#include "AppKit/NSView.h"
#include "Foundation/NSCoding.h"
#include "Foundation/NSDictionary.h"
#include "ZAKAppKit/ZAKThemes/ZAKTheme.h"

class ZAKTBorderedView : public NSView, public NSCoding, public ZAKThemedObject {
    NS_OBJECT(ZAKTBorderedView, NSView)
protected:
    ZAKTBorderedView() = default;

public:
    static void initialize();
    Ref<NSView> initWithFrame(const NSRect& frame) override;

    Ref<NSString> themeKey() const override { return m_themeKey; }
    void setThemeKey(const Ref<NSString>& key) override;
    // 1 left, 2 right, 4 top, 8 bottom.
    NSUInteger borderSides() const { return m_borderSides; }
    void setBorderSides(NSUInteger sides) { m_borderSides = sides; }
    // 0 the theme's stroke colour, 1 its dark stroke colour, 2 its grid
    // colour; any other value draws no border.
    NSUInteger borderStyle() const { return m_borderStyle; }
    void setBorderStyle(NSUInteger style) { m_borderStyle = style; }
    // 0 the bounds, 1 rounded (radius 4), 2 rounded top corners, 3 rounded
    // bottom corners (radius 8); any other value paints no outline.
    NSUInteger pathStyle() const { return m_pathStyle; }
    void setPathStyle(NSUInteger style) { m_pathStyle = style; }
    Ref<NSGradient> activeBackgroundGradient() const { return m_activeBackgroundGradient; }
    void setActiveBackgroundGradient(const Ref<NSGradient>& g) { m_activeBackgroundGradient = g; }
    double activeBackgroundGradientAngle() const { return m_activeBackgroundGradientAngle; }
    void setActiveBackgroundGradientAngle(double angle) { m_activeBackgroundGradientAngle = angle; }
    Ref<NSGradient> inactiveBackgroundGradient() const { return m_inactiveBackgroundGradient; }
    void setInactiveBackgroundGradient(const Ref<NSGradient>& g) { m_inactiveBackgroundGradient = g; }
    double inactiveBackgroundGradientAngle() const { return m_inactiveBackgroundGradientAngle; }
    void setInactiveBackgroundGradientAngle(double angle) { m_inactiveBackgroundGradientAngle = angle; }
    // A window that is not main makes the view look inactive.
    bool respectWindowState() const { return m_respectWindowState; }
    void setRespectWindowState(bool flag) { m_respectWindowState = flag; }
    bool isActive() const { return m_isActive; }
    void setActive(bool flag) { m_isActive = flag; }

    // "isActive" is the view's own binding; others go to the platform. Both
    // redraw the view.
    void bind(const Ref<NSString>& binding, const Id& observable, const Ref<NSString>& keyPath,
              const Ref<NSDictionary>& options) override;
    void unbind(const Ref<NSString>& binding) override;
    Ref<NSDictionary> infoForBinding(const Ref<NSString>& binding) const override;
    void observeValueForKeyPathOfObjectChangeContext(const Ref<NSString>& keyPath, const Id& object,
                                                     const Ref<NSDictionary>& change, void* context) override;

    void viewWillMoveToWindow(const Ref<NSWindow>& window) override;
    void viewDidMoveToWindow() override;
    // The window became or resigned main.
    void _updateWindowState(const Id& notification);
    void awakeFromNib() override;
    void didAddSubview(const Ref<NSView>& subview) override;

    // The look the next drawing takes: 0 active, 2 inactive.
    NSUInteger stateMask() const;
    void drawRect(const NSRect& dirtyRect) override;

    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

    static void describeClass(NSClassMembers<ZAKTBorderedView>& m);

private:
    void applyDarkBackgroundStyle();
    void stopObservingWindows();

    Ref<NSString> m_themeKey;
    NSUInteger m_borderSides = 0;
    NSUInteger m_borderStyle = 0;
    NSUInteger m_pathStyle = 0;
    Ref<NSGradient> m_activeBackgroundGradient;
    double m_activeBackgroundGradientAngle = 0;
    Ref<NSGradient> m_inactiveBackgroundGradient;
    double m_inactiveBackgroundGradientAngle = 0;
    bool m_respectWindowState = false;
    bool m_isActive = false;
    Id m_isActiveBindingObservedObject;
    Ref<NSString> m_isActiveBindingKeyPath;
    Ref<NSDictionary> m_isActiveBindingOptions;
    bool m_observesWindow = false;
};
