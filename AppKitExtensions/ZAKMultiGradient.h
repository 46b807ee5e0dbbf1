#pragma once
// A gradient of any number of colour stops, mixed between neighbouring stops
// linearly in RGB, or through the hue circle (chromatic: hue increasing,
// inverse chromatic: hue decreasing). Filled axially at an angle or radially
// through a Core Graphics shading whose function always reads the current
// stops. Every change of stops answers a new gradient; only setBlendingMode
// changes the receiver.
//
// Stops live in a singly linked list sorted by position; a stop added at a
// position already held comes after the ones there, so two stops at one
// position make a sharp step.
#include "AppKit/NSColor.h"
#include "CoreGraphics/CGShading.h"
#include "Foundation/NSObject.h"

struct _MultiGradientElement {
    double red = 0, green = 0, blue = 0, alpha = 0;
    double position = 0;
    _MultiGradientElement* nextElement = nullptr;
};

class ZAKMultiGradient : public NSObject {
    NS_OBJECT(ZAKMultiGradient, NSObject)
protected:
    ZAKMultiGradient() = default;

public:
    enum BlendingMode : int32_t { Linear = 0, Chromatic = 1, InverseChromatic = 2 };

    ~ZAKMultiGradient() override;
    Id init() override;
    // A copy of the stops, in list order, and of the blending mode.
    Id copy() const override;

    static Ref<ZAKMultiGradient> gradientWithBeginningColor(const Ref<NSColor>& begin, const Ref<NSColor>& end);

    // --- New gradients from this one ---
    // Every stop's alpha replaced; the copy blends linearly.
    Ref<ZAKMultiGradient> gradientWithAlphaComponent(double alpha) const;
    Ref<ZAKMultiGradient> gradientWithBlendingMode(int32_t mode) const;
    // Colours without an RGB form raise NSInvalidArgumentException.
    Ref<ZAKMultiGradient> addColorStop(const Ref<NSColor>& color, double position) const;
    // Without the first stop at exactly that position; NSRangeException when
    // there is none.
    Ref<ZAKMultiGradient> removeColorStopAtPosition(double position) const;
    // NSRangeException past the last stop.
    Ref<ZAKMultiGradient> removeColorStopAtIndex(NSUInteger index) const;

    // The colour of a stop; NSRangeException past the last stop.
    Ref<NSColor> colorStopAtIndex(NSUInteger index) const;
    int32_t blendingMode() const { return m_blendingMode; }
    // Modes other than the three mix linearly.
    void setBlendingMode(int32_t mode);
    // What the shading draws at a position: the end colours beyond the
    // stops, opaque white for a gradient without stops.
    Ref<NSColor> colorAtPosition(double position) const;

    // --- Drawing into the current context ---
    // Angle in degrees: 0 runs left to right, 90 bottom to top. A rectangle
    // or angle that is not finite draws nothing.
    void fillRect(const NSRect& rect, double angle) const;
    void drawSwatchInRect(const NSRect& rect) const { fillRect(rect, 45); }
    // From the centre out to half the longer side, the end colours beyond.
    void radialFillRect(const NSRect& rect) const;
    // fillRect in a saved state with the rectangle as clip.
    void drawInRect(const NSRect& rect, double angle) const;

    // --- Presets ---
    static Ref<ZAKMultiGradient> aquaSelectedGradient();
    static Ref<ZAKMultiGradient> aquaNormalGradient();
    static Ref<ZAKMultiGradient> aquaPressedGradient();
    static Ref<ZAKMultiGradient> unifiedSelectedGradient();
    static Ref<ZAKMultiGradient> unifiedNormalGradient();
    static Ref<ZAKMultiGradient> unifiedPressedGradient();
    static Ref<ZAKMultiGradient> unifiedDarkGradient();
    static Ref<ZAKMultiGradient> sourceListSelectedGradient();
    static Ref<ZAKMultiGradient> sourceListUnselectedGradient();
    static Ref<ZAKMultiGradient> rainbowGradient();
    static Ref<ZAKMultiGradient> hydrogenSpectrumGradient();

    // --- The stop list ---
    // Inserts a copy of the record (its link ignored).
    void addElement(const _MultiGradientElement& element);
    // Unlink and answer the stop; the empty stop (colour zero, position NaN)
    // when there is none.
    _MultiGradientElement removeElementAtIndex(NSUInteger index);
    _MultiGradientElement removeElementAtPosition(double position);
    // Null past the last stop.
    _MultiGradientElement* elementAtIndex(NSUInteger index) const;

    const Ref<CGFunction>& gradientFunction() const { return m_gradientFunction; }

    // Calibrated RGB from hue (degrees, taken modulo 359 in single
    // precision), saturation and value; black for a negative hue.
    static CGRGBA rgbFromHSV(double hue, double saturation, double value, double alpha);

private:
    void _commonInit() { m_elementList = nullptr; }
    void freeElements();
    Ref<ZAKMultiGradient> emptyCopy() const;
    void fillWithShading(const Ref<CGShading>& shading, const NSRect& rect) const;

    _MultiGradientElement* m_elementList = nullptr;
    int32_t m_blendingMode = Linear;
    Ref<CGFunction> m_gradientFunction;
};
