#pragma once
// A shadow for the drawing that follows `set` until the graphics state is
// restored. The offset is in base (unflipped) space: (0, -1) lies one pixel
// below the shape in flipped views too. The blur radius maps to a Gaussian of
// standard deviation radius / 2.
#include "AppKit/NSColor.h"
#include "Foundation/NSObject.h"

class NSShadow : public NSObject {
    NS_OBJECT(NSShadow, NSObject)
protected:
    NSShadow() = default;

public:
    static Ref<NSShadow> shadow() { return make<NSShadow>(); }

    NSSize shadowOffset() const { return m_offset; }
    void setShadowOffset(NSSize offset) { m_offset = offset; }
    CGFloat shadowBlurRadius() const { return m_blurRadius; }
    void setShadowBlurRadius(CGFloat radius) { m_blurRadius = radius; }
    // Black at one third opacity unless set.
    Ref<NSColor> shadowColor() const;
    void setShadowColor(const Ref<NSColor>& color) { m_color = color; }

    void set() const;
    bool isEqual(const NSObject* other) const override;
    Id copy() const override;

private:
    NSSize m_offset;
    CGFloat m_blurRadius = 0;
    Ref<NSColor> m_color;
};
