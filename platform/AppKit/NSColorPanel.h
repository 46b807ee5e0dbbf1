#pragma once
// The shared colour panel: swatches, red, green and blue sliders with
// number fields, a hex field ("#RRGGBB") and a preview of the colour. Every
// part works by keyboard: Tab and Shift-Tab move between the swatches, the
// sliders and the fields; arrow keys move in the swatches (choosing the
// colour) and the sliders; a field applies its number when editing ends.
// Each change the user makes sends the panel's action to its target (the
// active colour well) and posts NSColorPanelColorDidChangeNotification.
#include <vector>

#include "AppKit/NSColor.h"
#include "AppKit/NSPanel.h"
#include "AppKit/NSSlider.h"
#include "AppKit/NSTextField.h"
#include "AppKit/NSWindow.h"

inline constexpr char NSColorPanelColorDidChangeNotification[] = "NSColorPanelColorDidChangeNotification";

class NSColorPanel : public NSPanel {
    NS_OBJECT(NSColorPanel, NSPanel)
protected:
    NSColorPanel() = default;

public:
    static Ref<NSColorPanel> sharedColorPanel();
    static bool sharedColorPanelExists();

    Ref<NSColor> color() const { return m_color; }
    // Shows the colour without sending the action.
    void setColor(const Ref<NSColor>& colour);
    bool isContinuous() const { return m_continuous; }
    void setContinuous(bool flag) { m_continuous = flag; }
    // Not retained.
    Id target() const { return m_target.get(); }
    void setTarget(const Id& target) { m_target = target; }
    SEL action() const { return m_action; }
    void setAction(const SEL& action) { m_action = action; }

    // The swatch colours, in order.
    static const std::vector<Ref<NSColor>>& swatchColors();
    // The panel's parts (tests and the key-view loop).
    Ref<NSView> swatchView() const { return m_swatches; }
    Ref<NSSlider> componentSlider(int component) const { return m_sliders[component]; }
    Ref<NSTextField> componentField(int component) const { return m_fields[component]; }
    Ref<NSTextField> hexField() const { return m_hexField; }
    // "#RRGGBB" of a colour; a parsed colour or nil.
    static Ref<NSString> hexStringForColor(const Ref<NSColor>& colour);
    static Ref<NSColor> colorFromHexString(const Ref<NSString>& text);
    // The red, green, blue and alpha of any colour (black for colours with
    // no RGB form, such as patterns).
    static void getRGBA(const Ref<NSColor>& colour, CGFloat rgba[4]);

    // What the user did; each sends the action.
    void userChoseColor(const Ref<NSColor>& colour);
    void componentChanged(const Id& sender);
    void fieldChanged(const Id& sender);

    // The key-view loop over the panel's parts.
    void selectNextKeyView(const Id& sender);
    void selectPreviousKeyView(const Id& sender);
    void keyDown(const Ref<NSEvent>& event) override;

    static void describeClass(NSClassMembers<NSColorPanel>& m);

private:
    std::vector<Ref<NSView>> keyViews() const;
    void moveFocus(int direction);
    void build();
    void showColorInControls();

    Ref<NSColor> m_color;
    bool m_continuous = true;
    Weak<NSObject> m_target;
    SEL m_action;
    Ref<NSView> m_swatches;
    Ref<NSView> m_preview;
    Ref<NSSlider> m_sliders[3];
    Ref<NSTextField> m_fields[3];
    Ref<NSTextField> m_hexField;
    Ref<NSObject> m_fieldDelegate;
};
