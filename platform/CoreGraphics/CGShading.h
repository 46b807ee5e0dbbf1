#pragma once
// Shadings driven by function callbacks, and gradients of colour stops.
// Cairo has no function evaluator. A function that can state its colour
// stops exactly (piecewise linear ones) is drawn as a Cairo gradient with
// those stops, which keeps sharp steps sharp and is fast; any other is
// sampled when drawn: an axial shading into a one-row image of 1,024 texels
// drawn along the axis, a radial one into 256 colour stops.
#include <vector>

#include "CoreGraphics/CGContext.h"

struct CGFunctionCallbacks {
    unsigned int version = 0;
    // in: domain dimension values; out: range dimension values (RGBA here).
    void (*evaluate)(void* info, const CGFloat* in, CGFloat* out) = nullptr;
    void (*releaseInfo)(void* info) = nullptr;
    // Optional: fills the exact colour stops over the domain (input values,
    // ascending; two at one input make a sharp step) and answers true, or
    // answers false when the function is not piecewise linear.
    bool (*colorStops)(void* info, std::vector<CGGradientStop>& stops) = nullptr;
};

class CGFunction : public NSObject {
    NS_OBJECT(CGFunction, NSObject)
protected:
    CGFunction() = default;

public:
    ~CGFunction() override;
    // One input over the domain, four outputs (RGBA); nil otherwise.
    static Ref<CGFunction> create(void* info, size_t domainDimension, const CGFloat* domain, size_t rangeDimension,
                                  const CGFloat* range, const CGFunctionCallbacks& callbacks);
    // The colour at t in [0, 1] of the domain.
    CGRGBA evaluate(CGFloat t) const;
    // The exact stops over t in [0, 1], with stops at 0 and 1; false when the
    // function states none.
    bool colorStops(std::vector<CGGradientStop>& stops) const;

private:
    void* m_info = nullptr;
    CGFloat m_domain[2] = {0, 1};
    std::vector<CGFloat> m_range;
    CGFunctionCallbacks m_callbacks;
};
using CGFunctionRef = Ref<CGFunction>;

class CGShading : public NSObject {
    NS_OBJECT(CGShading, NSObject)
protected:
    CGShading() = default;

public:
    static Ref<CGShading> createAxial(const Ref<CGColorSpace>& space, CGPoint start, CGPoint end,
                                      const Ref<CGFunction>& function, bool extendStart, bool extendEnd);
    static Ref<CGShading> createRadial(const Ref<CGColorSpace>& space, CGPoint start, CGFloat startRadius, CGPoint end,
                                       CGFloat endRadius, const Ref<CGFunction>& function, bool extendStart,
                                       bool extendEnd);
    // Fills the context's clip.
    void draw(CGContext* context) const;

private:
    bool m_radial = false;
    CGPoint m_start, m_end;
    CGFloat m_startRadius = 0, m_endRadius = 0;
    Ref<CGFunction> m_function;
    bool m_extendStart = false, m_extendEnd = false;
};
using CGShadingRef = Ref<CGShading>;

inline Ref<CGFunction> CGFunctionCreate(void* info, size_t domainDimension, const CGFloat* domain,
                                        size_t rangeDimension, const CGFloat* range,
                                        const CGFunctionCallbacks* callbacks)
{
    return callbacks ? CGFunction::create(info, domainDimension, domain, rangeDimension, range, *callbacks) : nullptr;
}
inline Ref<CGShading> CGShadingCreateAxial(const Ref<CGColorSpace>& space, CGPoint start, CGPoint end,
                                           const Ref<CGFunction>& function, bool extendStart, bool extendEnd)
{
    return CGShading::createAxial(space, start, end, function, extendStart, extendEnd);
}
inline Ref<CGShading> CGShadingCreateRadial(const Ref<CGColorSpace>& space, CGPoint start, CGFloat startRadius,
                                            CGPoint end, CGFloat endRadius, const Ref<CGFunction>& function,
                                            bool extendStart, bool extendEnd)
{
    return CGShading::createRadial(space, start, startRadius, end, endRadius, function, extendStart, extendEnd);
}
inline void CGContextDrawShading(CGContextRef context, const Ref<CGShading>& shading)
{
    if (context && shading) shading->draw(context);
}

// Colour-stop gradients.
class CGGradient : public NSObject {
    NS_OBJECT(CGGradient, NSObject)
protected:
    CGGradient() = default;

public:
    // RGBA components per stop; locations null spreads them evenly.
    static Ref<CGGradient> create(const Ref<CGColorSpace>& space, const CGFloat* components, const CGFloat* locations,
                                  size_t count);
    const std::vector<CGGradientStop>& stops() const { return m_stops; }

private:
    std::vector<CGGradientStop> m_stops;
};
using CGGradientRef = Ref<CGGradient>;

inline Ref<CGGradient> CGGradientCreateWithColorComponents(const Ref<CGColorSpace>& space, const CGFloat* components,
                                                           const CGFloat* locations, size_t count)
{
    return CGGradient::create(space, components, locations, count);
}
inline void CGContextDrawLinearGradient(CGContextRef c, const Ref<CGGradient>& g, CGPoint start, CGPoint end,
                                        uint32_t options)
{
    if (c && g) c->drawLinearGradient(g->stops(), start, end, options);
}
inline void CGContextDrawRadialGradient(CGContextRef c, const Ref<CGGradient>& g, CGPoint startCenter,
                                        CGFloat startRadius, CGPoint endCenter, CGFloat endRadius, uint32_t options)
{
    if (c && g) c->drawRadialGradient(g->stops(), startCenter, startRadius, endCenter, endRadius, options);
}
