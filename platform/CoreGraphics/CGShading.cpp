#include "CoreGraphics/CGShading.h"

#include <algorithm>

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(CGFunction)
NS_CLASS_DEFINE(CGShading)
NS_CLASS_DEFINE(CGGradient)

namespace {
// Texels of a sampled axial shading: enough that neighbours differ by less
// than one 8-bit step for any smooth function.
constexpr int kAxialTexels = 1024;
constexpr int kRadialSamples = 256;
}

CGFunction::~CGFunction()
{
    if (m_callbacks.releaseInfo) m_callbacks.releaseInfo(m_info);
}

Ref<CGFunction> CGFunction::create(void* info, size_t domainDimension, const CGFloat* domain, size_t rangeDimension,
                                   const CGFloat* range, const CGFunctionCallbacks& callbacks)
{
    if (domainDimension != 1 || rangeDimension != 4 || !callbacks.evaluate) return nullptr;
    auto f = alloc<CGFunction>();
    f->m_info = info;
    if (domain) f->m_domain[0] = domain[0], f->m_domain[1] = domain[1];
    if (range) f->m_range.assign(range, range + 8);
    f->m_callbacks = callbacks;
    return f;
}

CGRGBA CGFunction::evaluate(CGFloat t) const
{
    CGFloat in = m_domain[0] + (m_domain[1] - m_domain[0]) * t;
    CGFloat out[4] = {0, 0, 0, 1};
    m_callbacks.evaluate(m_info, &in, out);
    if (!m_range.empty())
        for (int i = 0; i < 4; ++i)
            out[i] = std::clamp(out[i], m_range[static_cast<size_t>(2 * i)], m_range[static_cast<size_t>(2 * i + 1)]);
    return {out[0], out[1], out[2], out[3]};
}

bool CGFunction::colorStops(std::vector<CGGradientStop>& stops) const
{
    stops.clear();
    if (!m_callbacks.colorStops) return false;
    std::vector<CGGradientStop> given;
    if (!m_callbacks.colorStops(m_info, given) || given.empty()) return false;
    CGFloat span = m_domain[1] - m_domain[0];
    if (!(span > 0)) return false;
    auto clampToRange = [&](CGRGBA c) {
        if (m_range.empty()) return c;
        c.r = std::clamp(c.r, m_range[0], m_range[1]);
        c.g = std::clamp(c.g, m_range[2], m_range[3]);
        c.b = std::clamp(c.b, m_range[4], m_range[5]);
        c.a = std::clamp(c.a, m_range[6], m_range[7]);
        return c;
    };
    stops.push_back({0, evaluate(0)});
    for (const CGGradientStop& s : given) {
        CGFloat t = (s.location - m_domain[0]) / span;
        if (!(t > 0 && t < 1)) continue;  // the ends are stated below, NaN skipped
        stops.push_back({t, clampToRange(s.color)});
    }
    stops.push_back({1, evaluate(1)});
    return true;
}

Ref<CGShading> CGShading::createAxial(const Ref<CGColorSpace>&, CGPoint start, CGPoint end,
                                      const Ref<CGFunction>& function, bool extendStart, bool extendEnd)
{
    if (!function) return nullptr;
    auto s = alloc<CGShading>();
    s->m_start = start;
    s->m_end = end;
    s->m_function = function;
    s->m_extendStart = extendStart;
    s->m_extendEnd = extendEnd;
    return s;
}

Ref<CGShading> CGShading::createRadial(const Ref<CGColorSpace>& space, CGPoint start, CGFloat startRadius, CGPoint end,
                                       CGFloat endRadius, const Ref<CGFunction>& function, bool extendStart,
                                       bool extendEnd)
{
    auto s = createAxial(space, start, end, function, extendStart, extendEnd);
    if (!s) return nullptr;
    s->m_radial = true;
    s->m_startRadius = startRadius;
    s->m_endRadius = endRadius;
    return s;
}

void CGShading::draw(CGContext* context) const
{
    // The function is evaluated now, so it sees the data it reads as it is
    // at drawing time.
    uint32_t options = (m_extendStart ? uint32_t(kCGGradientDrawsBeforeStartLocation) : 0u) |
                       (m_extendEnd ? uint32_t(kCGGradientDrawsAfterEndLocation) : 0u);
    std::vector<CGGradientStop> stops;
    if (m_function->colorStops(stops)) {
        if (m_radial) context->drawRadialGradient(stops, m_start, m_startRadius, m_end, m_endRadius, options);
        else context->drawLinearGradient(stops, m_start, m_end, options);
        return;
    }
    if (!m_radial) {
        std::vector<CGRGBA> texels(kAxialTexels);
        for (int i = 0; i < kAxialTexels; ++i)
            texels[size_t(i)] = m_function->evaluate(CGFloat(i) / (kAxialTexels - 1));
        context->drawLinearSamples(texels, m_start, m_end, options);
        return;
    }
    stops.reserve(kRadialSamples);
    for (int i = 0; i < kRadialSamples; ++i) {
        CGFloat t = static_cast<CGFloat>(i) / (kRadialSamples - 1);
        stops.push_back({t, m_function->evaluate(t)});
    }
    context->drawRadialGradient(stops, m_start, m_startRadius, m_end, m_endRadius, options);
}

Ref<CGGradient> CGGradient::create(const Ref<CGColorSpace>& space, const CGFloat* components, const CGFloat* locations,
                                   size_t count)
{
    if (!components || count == 0) return nullptr;
    bool gray = space && space->model() == CGColorSpaceModel::Monochrome;
    auto g = alloc<CGGradient>();
    for (size_t i = 0; i < count; ++i) {
        CGFloat at =
            locations ? locations[i] : (count > 1 ? static_cast<CGFloat>(i) / static_cast<CGFloat>(count - 1) : 0);
        const CGFloat* c = components + i * (gray ? 2 : 4);
        g->m_stops.push_back({at, gray ? CGRGBA{c[0], c[0], c[0], c[1]} : CGRGBA{c[0], c[1], c[2], c[3]}});
    }
    return g;
}
