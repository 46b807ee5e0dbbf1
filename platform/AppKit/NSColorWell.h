#pragma once
// Colour wells: a control showing a colour. A click activates the well and
// shows the shared colour panel with the well's colour; while the well is
// active, every colour the user picks in the panel becomes the well's
// colour and the well sends its action. Only one well is active at a time
// when activated exclusively.
//
// Keyed-coding keys (after NSControl's): NSColor ("r g b a"), NSIsBordered.
#include "AppKit/NSColor.h"
#include "AppKit/NSControl.h"

class NSWindow;

class NSColorWell : public NSControl {
    NS_OBJECT(NSColorWell, NSControl)
protected:
    NSColorWell() = default;

public:
    ~NSColorWell() override;

    Ref<NSView> initWithFrame(const NSRect& frame) override;

    Ref<NSColor> color() const { return m_color; }
    void setColor(const Ref<NSColor>& colour);
    bool isBordered() const { return m_bordered; }
    void setBordered(bool flag)
    {
        m_bordered = flag;
        setNeedsDisplay(true);
    }
    bool isActive() const { return m_active; }
    // Makes the panel report to this well (deactivating the others when
    // exclusive) and shows it.
    void activate(bool exclusive);
    void deactivate();
    // The panel's action while the well is active.
    void takeColorFrom(const Id& sender);

    void drawRect(const NSRect& dirtyRect) override;
    void mouseDown(const Ref<NSEvent>& event) override;
    bool acceptsFirstResponder() const override { return false; }

    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

    static void describeClass(NSClassMembers<NSColorWell>& m);

private:
    void placeBesideWindow(const Ref<NSWindow>& panel) const;

    Ref<NSColor> m_color;
    bool m_bordered = true;
    bool m_active = false;
};
