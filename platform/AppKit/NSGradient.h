#pragma once
// Colour gradients: stops of colour and location, drawn linear at an angle
// (0 runs left to right, 90 bottom to top in unflipped space) or radial, in
// a rectangle or a path.
#include <vector>

#include "AppKit/NSColor.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSCoding.h"
#include "Foundation/NSObject.h"

class NSBezierPath;

enum NSGradientDrawingOptions : NSUInteger {
    NSGradientDrawsBeforeStartingLocation = 1,
    NSGradientDrawsAfterEndingLocation = 2,
};

// Keyed-coding keys: NSColors (array of colours), NSLocations (array of numbers).
class NSGradient : public NSObject, public NSCoding {
    NS_OBJECT(NSGradient, NSObject)
public:
    NSGradient() = default;

    static Ref<NSGradient> initWithStartingColor(const Ref<NSColor>& start, const Ref<NSColor>& end);
    // Colours spread evenly from 0 to 1.
    static Ref<NSGradient> initWithColors(const Ref<NSArray>& colors);
    // Locations are widened from float, as the platform's take CGFloat
    // arrays filled from float literals; nil when the counts differ or a
    // colour has no RGB form.
    static Ref<NSGradient> initWithColors(const Ref<NSArray>& colors, const std::vector<CGFloat>& locations,
                                          const Ref<NSColorSpace>& space = nullptr);
    // Pairs of colour and location (the platform's nil-terminated list).
    static Ref<NSGradient> initWithColorsAndLocations(std::initializer_list<std::pair<Ref<NSColor>, CGFloat>> stops);

    NSInteger numberOfColorStops() const { return static_cast<NSInteger>(m_stops.size()); }
    void getColor(Ref<NSColor>* color, CGFloat* location, NSInteger index) const;
    Ref<NSColorSpace> colorSpace() const { return NSColorSpace::genericRGBColorSpace(); }
    // Linear in RGB between the neighbouring stops; the end colours beyond them.
    Ref<NSColor> interpolatedColorAtLocation(CGFloat location) const;

    void drawInRect(const NSRect& rect, CGFloat angle) const;
    void drawInBezierPath(const Ref<NSBezierPath>& path, CGFloat angle) const;
    void drawFromPoint(NSPoint start, NSPoint end, NSGradientDrawingOptions options) const;
    void drawFromCenter(NSPoint startCenter, CGFloat startRadius, NSPoint endCenter, CGFloat endRadius,
                        NSGradientDrawingOptions options) const;
    // A radial gradient from the relative centre ((0, 0) the middle, (1, 1)
    // the top-right corner) out to the farthest corner.
    void drawInRect(const NSRect& rect, NSPoint relativeCenterPosition) const;
    void drawInBezierPath(const Ref<NSBezierPath>& path, NSPoint relativeCenterPosition) const;

    Id copy() const override { return const_cast<NSGradient*>(this); }
    bool isEqual(const NSObject* other) const override;
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

private:
    struct Stop {
        Ref<NSColor> color;  // calibrated RGB
        CGFloat location;
    };
    std::vector<CGGradientStop> cgStops() const;
    void linearInRect(const NSRect& rect, CGFloat angle) const;
    void radialInRect(const NSRect& rect, NSPoint relativeCenter) const;
    std::vector<Stop> m_stops;
};
