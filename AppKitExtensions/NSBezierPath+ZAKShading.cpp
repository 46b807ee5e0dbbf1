#include "AppKitExtensions/NSBezierPath+ZAKShading.h"

#include <cmath>

#include "AppKit/NSGraphicsContext.h"

namespace NSBezierPathExt {

namespace {

void mix(const ZAKShadingInfo& info, CGFloat t, CGFloat* out)
{
    for (int i = 0; i < 4; ++i) out[i] = info.first[i] + t * info.difference[i];
}

// Both evaluators are piecewise linear, so their stops are exact.
bool linearStops(void* info, std::vector<CGGradientStop>& stops)
{
    const auto& s = *static_cast<const ZAKShadingInfo*>(info);
    stops.push_back({0, {s.first[0], s.first[1], s.first[2], s.first[3]}});
    stops.push_back({1, {s.second[0], s.second[1], s.second[2], s.second[3]}});
    return true;
}

bool bilinearStops(void* info, std::vector<CGGradientStop>& stops)
{
    const auto& s = *static_cast<const ZAKShadingInfo*>(info);
    CGRGBA first{s.first[0], s.first[1], s.first[2], s.first[3]};
    stops.push_back({0, first});
    stops.push_back({0.5, {s.second[0], s.second[1], s.second[2], s.second[3]}});
    stops.push_back({1, first});
    return true;
}

bool readDeviceRGB(const Ref<NSColor>& color, CGFloat* out)
{
    auto rgb = color ? color->colorUsingColorSpaceName(NSDeviceRGBColorSpace) : nullptr;
    if (!rgb) return false;
    rgb->getRed(&out[0], &out[1], &out[2], &out[3]);
    return true;
}

bool isFinite(NSPoint p) { return std::isfinite(p.x) && std::isfinite(p.y); }

}

void linearShadingEvaluate(void* info, const CGFloat* in, CGFloat* out)
{
    mix(*static_cast<const ZAKShadingInfo*>(info), in[0], out);
}

void bilinearShadingEvaluate(void* info, const CGFloat* in, CGFloat* out)
{
    CGFloat t = in[0] > 0.5 ? 2 - 2 * in[0] : 2 * in[0];
    mix(*static_cast<const ZAKShadingInfo*>(info), t, out);
}

void customFillWithCallbacks(const Ref<NSBezierPath>& path, const CGFunctionCallbacks& callbacks,
                             const Ref<NSColor>& firstColor, const Ref<NSColor>& secondColor, NSPoint startPoint,
                             NSPoint endPoint)
{
    auto context = NSGraphicsContext::currentContext();
    if (!path || !context || !isFinite(startPoint) || !isFinite(endPoint)) return;
    ZAKShadingInfo info;
    if (!readDeviceRGB(firstColor, info.first) || !readDeviceRGB(secondColor, info.second)) return;
    for (int i = 0; i < 4; ++i) info.difference[i] = info.second[i] - info.first[i];
    auto space = CGColorSpaceCreateDeviceRGB();
    static const CGFloat domain[2] = {0, 1};
    static const CGFloat range[8] = {0, 1, 0, 1, 0, 1, 0, 1};
    auto function = CGFunctionCreate(&info, 1, domain, CGColorSpaceGetNumberOfComponents(space) + 1, range, &callbacks);
    auto shading = CGShadingCreateAxial(space, startPoint, endPoint, function, false, false);
    if (!shading) return;
    CGContext* port = context->graphicsPort();
    port->saveGState();
    path->addClip();
    CGContextDrawShading(port, shading);
    port->restoreGState();
}

void customHorizontalFillWithCallbacks(const Ref<NSBezierPath>& path, const CGFunctionCallbacks& callbacks,
                                       const Ref<NSColor>& firstColor, const Ref<NSColor>& secondColor)
{
    if (!path) return;
    NSRect bounds = path->bounds();
    customFillWithCallbacks(path, callbacks, firstColor, secondColor, NSMakePoint(0, NSMinY(bounds)),
                            NSMakePoint(0, NSMaxY(bounds)));
}

void customVerticalFillWithCallbacks(const Ref<NSBezierPath>& path, const CGFunctionCallbacks& callbacks,
                                     const Ref<NSColor>& firstColor, const Ref<NSColor>& secondColor)
{
    if (!path) return;
    NSRect bounds = path->bounds();
    customFillWithCallbacks(path, callbacks, firstColor, secondColor, NSMakePoint(NSMinX(bounds), 0),
                            NSMakePoint(NSMaxX(bounds), 0));
}

void linearGradientFillWithStartColor(const Ref<NSBezierPath>& path, const Ref<NSColor>& startColor,
                                      const Ref<NSColor>& endColor)
{
    CGFunctionCallbacks callbacks{0, linearShadingEvaluate, nullptr, linearStops};
    customHorizontalFillWithCallbacks(path, callbacks, startColor, endColor);
}

void linearVerticalGradientFillWithStartColor(const Ref<NSBezierPath>& path, const Ref<NSColor>& startColor,
                                              const Ref<NSColor>& endColor)
{
    CGFunctionCallbacks callbacks{0, linearShadingEvaluate, nullptr, linearStops};
    customVerticalFillWithCallbacks(path, callbacks, startColor, endColor);
}

void bilinearGradientFillWithOuterColor(const Ref<NSBezierPath>& path, const Ref<NSColor>& outerColor,
                                        const Ref<NSColor>& innerColor)
{
    CGFunctionCallbacks callbacks{0, bilinearShadingEvaluate, nullptr, bilinearStops};
    customHorizontalFillWithCallbacks(path, callbacks, innerColor, outerColor);
}

}
