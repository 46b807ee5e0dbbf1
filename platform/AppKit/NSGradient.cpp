#include "AppKit/NSGradient.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSGraphicsContext.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSNumber.h"

NS_CLASS_DEFINE(NSGradient)

namespace {
CGContext* port()
{
    auto context = NSGraphicsContext::currentContext();
    return context ? context->graphicsPort() : nullptr;
}
constexpr uint32_t kExtendBoth = kCGGradientDrawsBeforeStartLocation | kCGGradientDrawsAfterEndLocation;
}

Ref<NSGradient> NSGradient::initWithStartingColor(const Ref<NSColor>& start, const Ref<NSColor>& end)
{
    return initWithColors(NSArray::arrayWithObjects({start, end}), {0.0, 1.0});
}

Ref<NSGradient> NSGradient::initWithColors(const Ref<NSArray>& colors)
{
    if (!colors || colors->count() < 2) return nullptr;
    std::vector<CGFloat> locations;
    for (NSUInteger i = 0; i < colors->count(); ++i)
        locations.push_back(static_cast<CGFloat>(i) / static_cast<CGFloat>(colors->count() - 1));
    return initWithColors(colors, locations);
}

Ref<NSGradient> NSGradient::initWithColors(const Ref<NSArray>& colors, const std::vector<CGFloat>& locations,
                                           const Ref<NSColorSpace>&)
{
    if (!colors || colors->count() != locations.size() || locations.empty()) return nullptr;
    auto gradient = alloc<NSGradient>();
    for (NSUInteger i = 0; i < colors->count(); ++i) {
        auto color = dynamic_ref_cast<NSColor>(colors->objectAtIndex(i));
        auto rgb = color ? color->colorUsingColorSpaceName(NSCalibratedRGBColorSpace) : nullptr;
        if (!rgb) return nullptr;
        gradient->m_stops.push_back({rgb, locations[i]});
    }
    std::stable_sort(gradient->m_stops.begin(), gradient->m_stops.end(),
                     [](const Stop& a, const Stop& b) { return a.location < b.location; });
    return gradient;
}

Ref<NSGradient> NSGradient::initWithColorsAndLocations(std::initializer_list<std::pair<Ref<NSColor>, CGFloat>> stops)
{
    std::vector<Id> colors;
    std::vector<CGFloat> locations;
    for (const auto& [color, location] : stops) {
        colors.push_back(color);
        locations.push_back(location);
    }
    return initWithColors(NSArray::arrayWithVector(std::move(colors)), locations);
}

void NSGradient::getColor(Ref<NSColor>* color, CGFloat* location, NSInteger index) const
{
    if (index < 0 || index >= numberOfColorStops()) return;
    const Stop& s = m_stops[static_cast<size_t>(index)];
    if (color) *color = s.color;
    if (location) *location = s.location;
}

Ref<NSColor> NSGradient::interpolatedColorAtLocation(CGFloat location) const
{
    if (m_stops.empty()) return NSColor::whiteColor();
    if (location <= m_stops.front().location) return m_stops.front().color;
    if (location >= m_stops.back().location) return m_stops.back().color;
    for (size_t i = 1; i < m_stops.size(); ++i) {
        if (location > m_stops[i].location) continue;
        const Stop &a = m_stops[i - 1], &b = m_stops[i];
        CGFloat span = b.location - a.location;
        CGFloat f = span > 0 ? (location - a.location) / span : 1;
        return a.color->blendedColorWithFraction(f, b.color);
    }
    return m_stops.back().color;
}

std::vector<CGGradientStop> NSGradient::cgStops() const
{
    std::vector<CGGradientStop> stops;
    for (const Stop& s : m_stops) stops.push_back({s.location, s.color->rgba()});
    return stops;
}

void NSGradient::linearInRect(const NSRect& rect, CGFloat angle) const
{
    CGContext* c = port();
    if (!c) return;
    // The axis runs through the centre so the far corners reach the end colours.
    CGFloat radians = angle * std::numbers::pi / 180;
    CGFloat dx = std::cos(radians), dy = std::sin(radians);
    CGFloat half = (std::fabs(rect.size.width * dx) + std::fabs(rect.size.height * dy)) / 2;
    NSPoint mid{NSMidX(rect), NSMidY(rect)};
    c->drawLinearGradient(cgStops(), {mid.x - dx * half, mid.y - dy * half}, {mid.x + dx * half, mid.y + dy * half},
                          kExtendBoth);
}

void NSGradient::radialInRect(const NSRect& rect, NSPoint relative) const
{
    CGContext* c = port();
    if (!c) return;
    NSPoint center{NSMidX(rect) + relative.x * rect.size.width / 2, NSMidY(rect) + relative.y * rect.size.height / 2};
    CGFloat radius = 0;
    for (NSPoint corner : {NSPoint{NSMinX(rect), NSMinY(rect)}, NSPoint{NSMaxX(rect), NSMinY(rect)},
                           NSPoint{NSMinX(rect), NSMaxY(rect)}, NSPoint{NSMaxX(rect), NSMaxY(rect)}})
        radius = std::max(radius, std::hypot(corner.x - center.x, corner.y - center.y));
    c->drawRadialGradient(cgStops(), center, 0, center, radius, kExtendBoth);
}

void NSGradient::drawInRect(const NSRect& rect, CGFloat angle) const
{
    CGContext* c = port();
    if (!c || NSIsEmptyRect(rect)) return;
    c->saveGState();
    c->clipToRect(rect);
    linearInRect(rect, angle);
    c->restoreGState();
}

void NSGradient::drawInBezierPath(const Ref<NSBezierPath>& path, CGFloat angle) const
{
    CGContext* c = port();
    if (!c || !path || path->isEmpty()) return;
    c->saveGState();
    path->addClip();
    linearInRect(path->bounds(), angle);
    c->restoreGState();
}

void NSGradient::drawFromPoint(NSPoint start, NSPoint end, NSGradientDrawingOptions options) const
{
    if (CGContext* c = port()) c->drawLinearGradient(cgStops(), start, end, static_cast<uint32_t>(options));
}

void NSGradient::drawFromCenter(NSPoint startCenter, CGFloat startRadius, NSPoint endCenter, CGFloat endRadius,
                                NSGradientDrawingOptions options) const
{
    if (CGContext* c = port())
        c->drawRadialGradient(cgStops(), startCenter, startRadius, endCenter, endRadius,
                              static_cast<uint32_t>(options));
}

void NSGradient::drawInRect(const NSRect& rect, NSPoint relativeCenterPosition) const
{
    CGContext* c = port();
    if (!c || NSIsEmptyRect(rect)) return;
    c->saveGState();
    c->clipToRect(rect);
    radialInRect(rect, relativeCenterPosition);
    c->restoreGState();
}

void NSGradient::drawInBezierPath(const Ref<NSBezierPath>& path, NSPoint relativeCenterPosition) const
{
    CGContext* c = port();
    if (!c || !path || path->isEmpty()) return;
    c->saveGState();
    path->addClip();
    radialInRect(path->bounds(), relativeCenterPosition);
    c->restoreGState();
}

bool NSGradient::isEqual(const NSObject* other) const
{
    auto o = dynamic_cast<const NSGradient*>(other);
    if (!o || o->m_stops.size() != m_stops.size()) return false;
    for (size_t i = 0; i < m_stops.size(); ++i)
        if (m_stops[i].location != o->m_stops[i].location || !m_stops[i].color->isEqual(o->m_stops[i].color.get()))
            return false;
    return true;
}

void NSGradient::encodeWithCoder(NSCoder* coder) const
{
    std::vector<Id> colors, locations;
    for (const auto& stop : m_stops) {
        colors.push_back(stop.color);
        locations.push_back(NSNumber::numberWithDouble(stop.location));
    }
    coder->encodeObject(NSArray::arrayWithVector(std::move(colors)), "NSColors"_ns);
    coder->encodeObject(NSArray::arrayWithVector(std::move(locations)), "NSLocations"_ns);
}

Id NSGradient::initWithCoder(NSCoder* coder)
{
    auto colors = dynamic_ref_cast<NSArray>(coder->decodeObjectForKey("NSColors"_ns));
    auto locations = dynamic_ref_cast<NSArray>(coder->decodeObjectForKey("NSLocations"_ns));
    m_stops.clear();
    const NSUInteger n = colors && locations ? std::min(colors->count(), locations->count()) : 0;
    for (NSUInteger i = 0; i < n; ++i) {
        auto color = dynamic_ref_cast<NSColor>(colors->objectAtIndex(i));
        auto location = dynamic_ref_cast<NSNumber>(locations->objectAtIndex(i));
        if (color && location) m_stops.push_back({color, location->doubleValue()});
    }
    return Id(this);
}
