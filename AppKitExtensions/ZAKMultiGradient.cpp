#include "AppKitExtensions/ZAKMultiGradient.h"

#include <cmath>

#include "AppKit/NSGraphicsContext.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSString.h"

NS_CLASS_DEFINE(ZAKMultiGradient)

namespace {

using Element = _MultiGradientElement;

// The neighbouring stops of a position: L the last stop the position is not
// beyond, R the one after it (R = L at the end of the list).
struct Segment {
    const Element* left = nullptr;
    const Element* right = nullptr;
};

Segment segmentAt(const Element* head, double position)
{
    const Element* left = head;
    while (left->nextElement && position > left->nextElement->position) left = left->nextElement;
    return {left, left->nextElement ? left->nextElement : left};
}

const Element* headOf(void* info) { return *static_cast<Element* const*>(info); }

void writeColor(const Element& e, CGFloat* out) { out[0] = e.red, out[1] = e.green, out[2] = e.blue, out[3] = e.alpha; }

// Answers true with the output written when the position lies at or beyond
// one of the stops, or no stop exists; t otherwise.
bool endColor(const Element* head, const Segment& s, double position, CGFloat* out, double& t)
{
    if (!head) {
        out[0] = out[1] = out[2] = out[3] = 1;
        return true;
    }
    // A position that is not a number takes the first stop's colour.
    if (std::isnan(position) || position <= s.left->position) {
        writeColor(*(std::isnan(position) ? head : s.left), out);
        return true;
    }
    if (position >= s.right->position) {
        writeColor(*s.right, out);
        return true;
    }
    t = (position - s.left->position) / (s.right->position - s.left->position);
    return false;
}

void linearEvaluate(void* info, const CGFloat* in, CGFloat* out)
{
    const Element* head = headOf(info);
    Segment s = head ? segmentAt(head, in[0]) : Segment{};
    double t = 0;
    if (endColor(head, s, in[0], out, t)) return;
    const Element &l = *s.left, &r = *s.right;
    out[0] = l.red + t * (r.red - l.red);
    out[1] = l.green + t * (r.green - l.green);
    out[2] = l.blue + t * (r.blue - l.blue);
    out[3] = l.alpha + t * (r.alpha - l.alpha);
}

// Hue (NaN when undefined), saturation, value.
struct HSV {
    double hue, saturation, value, alpha;
};

HSV hsvOf(const Element& e)
{
    double maxC = std::max({e.red, e.green, e.blue}), minC = std::min({e.red, e.green, e.blue});
    double hue = NAN;
    if (maxC != minC) {
        double range = maxC - minC;
        if (e.red == maxC) hue = (e.green - e.blue) * 60 / range + (e.green < e.blue ? 360 : 0);
        else if (e.green == maxC) hue = (e.blue - e.red) * 60 / range + 120;
        else hue = (e.red - e.green) * 60 / range + 240;
    }
    return {hue, maxC == 0 ? 0 : 1 - minC / maxC, maxC, e.alpha};
}

void chromaticEvaluate(void* info, const CGFloat* in, CGFloat* out, bool increasing)
{
    const Element* head = headOf(info);
    if (!head) {
        out[0] = out[1] = out[2] = out[3] = 1;
        return;
    }
    double position = std::isnan(in[0]) ? head->position : in[0];
    Segment s = segmentAt(head, position);
    HSV l = hsvOf(*s.left), r = hsvOf(*s.right);
    if (std::isnan(l.hue) && std::isnan(r.hue)) l.hue = r.hue = 0;
    else if (std::isnan(l.hue)) l.hue = r.hue;
    else if (std::isnan(r.hue)) r.hue = l.hue;
    if (increasing && l.hue > r.hue) r.hue += 360;
    if (!increasing && l.hue < r.hue) l.hue += 360;
    HSV c = l;
    if (position >= s.right->position) c = r;
    else if (position > s.left->position) {
        double t = (position - s.left->position) / (s.right->position - s.left->position);
        c = {l.hue + t * (r.hue - l.hue), l.saturation + t * (r.saturation - l.saturation),
             l.value + t * (r.value - l.value), l.alpha + t * (r.alpha - l.alpha)};
    }
    CGRGBA rgb = ZAKMultiGradient::rgbFromHSV(c.hue, c.saturation, c.value, c.alpha);
    out[0] = rgb.r, out[1] = rgb.g, out[2] = rgb.b, out[3] = rgb.a;
}

void chromaticIncreasing(void* info, const CGFloat* in, CGFloat* out) { chromaticEvaluate(info, in, out, true); }
void chromaticDecreasing(void* info, const CGFloat* in, CGFloat* out) { chromaticEvaluate(info, in, out, false); }

// A linear gradient is its stops: Cairo draws them exactly.
bool linearStops(void* info, std::vector<CGGradientStop>& stops)
{
    for (const Element* e = headOf(info); e; e = e->nextElement)
        stops.push_back({e->position, {e->red, e->green, e->blue, e->alpha}});
    return !stops.empty();
}

Element elementFromColor(const Ref<NSColor>& color, double position, const char* method)
{
    auto rgb = color ? color->colorUsingColorSpaceName(NSCalibratedRGBColorSpace) : nullptr;
    if (!rgb)
        NSException::raise(NSInvalidArgumentException,
                           std::string("-[ZAKMultiGradient ") + method + "]: the colour has no RGB form");
    Element e;
    CGFloat r, g, b, a;
    rgb->getRed(&r, &g, &b, &a);
    e.red = r, e.green = g, e.blue = b, e.alpha = a, e.position = position;
    return e;
}

Element emptyElement()
{
    Element e;
    e.position = NAN;
    return e;
}

CGContext* currentPort()
{
    auto context = NSGraphicsContext::currentContext();
    return context ? context->graphicsPort() : nullptr;
}

bool isFinite(const NSRect& r)
{
    return std::isfinite(r.origin.x) && std::isfinite(r.origin.y) && std::isfinite(r.size.width) &&
           std::isfinite(r.size.height);
}

}

CGRGBA ZAKMultiGradient::rgbFromHSV(double hue, double saturation, double value, double alpha)
{
    double h = static_cast<double>(std::fmod(static_cast<float>(hue), 359.0f)) / 60;
    if (!std::isfinite(h)) h = 0;
    double whole = std::floor(h);
    int i = static_cast<int>(whole) % 6;
    double f = h - whole;
    double s = saturation, v = value;
    double p = v * (1 - s), q = v * (1 - s * f), r = v * (1 - s * (1 - f));
    switch (i) {
    case 0: return {v, r, p, alpha};
    case 1: return {q, v, p, alpha};
    case 2: return {p, v, r, alpha};
    case 3: return {p, q, v, alpha};
    case 4: return {r, p, v, alpha};
    case 5: return {v, p, q, alpha};
    default: return {0, 0, 0, alpha};
    }
}

ZAKMultiGradient::~ZAKMultiGradient() { freeElements(); }

void ZAKMultiGradient::freeElements()
{
    while (m_elementList) {
        Element* next = m_elementList->nextElement;
        delete m_elementList;
        m_elementList = next;
    }
}

Id ZAKMultiGradient::init()
{
    _commonInit();
    setBlendingMode(Linear);
    return this;
}

Ref<ZAKMultiGradient> ZAKMultiGradient::emptyCopy() const
{
    return static_ref_cast<ZAKMultiGradient>(classObject().newInstance());
}

Id ZAKMultiGradient::copy() const
{
    auto copy = emptyCopy();
    for (const Element* e = m_elementList; e; e = e->nextElement) copy->addElement(*e);
    copy->setBlendingMode(m_blendingMode);
    return copy;
}

Ref<ZAKMultiGradient> ZAKMultiGradient::gradientWithBeginningColor(const Ref<NSColor>& begin, const Ref<NSColor>& end)
{
    auto gradient = make<ZAKMultiGradient>();
    gradient->addElement(elementFromColor(begin, 0, "gradientWithBeginningColor:endingColor:"));
    gradient->addElement(elementFromColor(end, 1, "gradientWithBeginningColor:endingColor:"));
    return gradient;
}

Ref<ZAKMultiGradient> ZAKMultiGradient::gradientWithAlphaComponent(double alpha) const
{
    auto gradient = emptyCopy();
    for (const Element* e = m_elementList; e; e = e->nextElement) {
        Element changed = *e;
        changed.alpha = alpha;
        gradient->addElement(changed);
    }
    return gradient;
}

Ref<ZAKMultiGradient> ZAKMultiGradient::gradientWithBlendingMode(int32_t mode) const
{
    auto gradient = static_ref_cast<ZAKMultiGradient>(copy());
    gradient->setBlendingMode(mode);
    return gradient;
}

Ref<ZAKMultiGradient> ZAKMultiGradient::addColorStop(const Ref<NSColor>& color, double position) const
{
    Element added = elementFromColor(color, position, "addColorStop:atPosition:");
    auto gradient = static_ref_cast<ZAKMultiGradient>(copy());
    gradient->addElement(added);
    return gradient;
}

Ref<ZAKMultiGradient> ZAKMultiGradient::removeColorStopAtPosition(double position) const
{
    auto gradient = static_ref_cast<ZAKMultiGradient>(copy());
    Element removed = gradient->removeElementAtPosition(position);
    if (std::isnan(removed.position)) {
        auto reason = NSString::stringWithFormat("-[%@ removeColorStopAtPosition:]: no such colorStop at position (%f)",
                                                 className(), position);
        NSException::raise(NSRangeException, reason->UTF8String());
    }
    return gradient;
}

Ref<ZAKMultiGradient> ZAKMultiGradient::removeColorStopAtIndex(NSUInteger index) const
{
    auto gradient = static_ref_cast<ZAKMultiGradient>(copy());
    Element removed = gradient->removeElementAtIndex(index);
    if (std::isnan(removed.position)) {
        auto reason = NSString::stringWithFormat("-[%@ removeColorStopAtIndex:]: index (%ld) beyond bounds",
                                                 className(), static_cast<long>(index));
        NSException::raise(NSRangeException, reason->UTF8String());
    }
    return gradient;
}

Ref<NSColor> ZAKMultiGradient::colorStopAtIndex(NSUInteger index) const
{
    const Element* e = elementAtIndex(index);
    if (!e) {
        // The text is the removal's, as callers know it.
        auto reason = NSString::stringWithFormat("-[%@ removeColorStopAtIndex:]: index (%ld) beyond bounds",
                                                 className(), static_cast<long>(index));
        NSException::raise(NSRangeException, reason->UTF8String());
    }
    return NSColor::colorWithCalibratedRed(e->red, e->green, e->blue, e->alpha);
}

void ZAKMultiGradient::setBlendingMode(int32_t mode)
{
    m_blendingMode = mode;
    CGFunctionCallbacks callbacks;
    if (mode == Chromatic) callbacks.evaluate = chromaticIncreasing;
    else if (mode == InverseChromatic) callbacks.evaluate = chromaticDecreasing;
    else {
        callbacks.evaluate = linearEvaluate;
        callbacks.colorStops = linearStops;
    }
    static const CGFloat domain[2] = {0, 1};
    static const CGFloat range[8] = {0, 1, 0, 1, 0, 1, 0, 1};
    m_gradientFunction = CGFunctionCreate(&m_elementList, 1, domain, 4, range, &callbacks);
}

Ref<NSColor> ZAKMultiGradient::colorAtPosition(double position) const
{
    CGFloat in = position, out[4] = {0, 0, 0, 0};
    if (m_blendingMode == Chromatic) chromaticIncreasing(const_cast<Element**>(&m_elementList), &in, out);
    else if (m_blendingMode == InverseChromatic) chromaticDecreasing(const_cast<Element**>(&m_elementList), &in, out);
    else linearEvaluate(const_cast<Element**>(&m_elementList), &in, out);
    return NSColor::colorWithCalibratedRed(out[0], out[1], out[2], out[3]);
}

// --- Drawing ---

void ZAKMultiGradient::fillWithShading(const Ref<CGShading>& shading, const NSRect& rect) const
{
    CGContext* port = currentPort();
    if (!port || !shading) return;
    port->saveGState();
    port->clipToRect(rect);
    CGContextDrawShading(port, shading);
    port->restoreGState();
}

void ZAKMultiGradient::fillRect(const NSRect& rect, double angle) const
{
    if (!isFinite(rect) || !std::isfinite(angle)) return;
    NSPoint start, end;
    if (angle == 0) {
        start = rect.origin;
        end = NSMakePoint(rect.origin.x + rect.size.width, rect.origin.y);
    } else if (angle == 90) {
        start = rect.origin;
        end = NSMakePoint(rect.origin.x, rect.origin.y + rect.size.height);
    } else {
        // The axis through the centre just long enough that the lines across
        // it at its ends touch the farthest corners.
        double w = rect.size.width, h = rect.size.height;
        double a = angle * 3.1415926535 / 180, k = std::fabs(std::tan(a)), length, dx, dy;
        if (k <= 1) {
            length = std::fabs(std::sin(a)) * (h - k * w) + w / std::fabs(std::cos(a));
            dx = std::cos(a) * length / 2, dy = std::sin(a) * length / 2;
        } else {
            double b = a - 1.57079632675;
            length = std::fabs(std::sin(b)) * (w - std::fabs(std::tan(b)) * h) + h / std::fabs(std::cos(b));
            dx = -std::sin(b) * length / 2, dy = std::cos(b) * length / 2;
        }
        NSPoint centre = NSMakePoint(NSMidX(rect), NSMidY(rect));
        start = NSMakePoint(centre.x - dx, centre.y - dy);
        end = NSMakePoint(centre.x + dx, centre.y + dy);
    }
    if (!std::isfinite(start.x) || !std::isfinite(start.y) || !std::isfinite(end.x) || !std::isfinite(end.y)) return;
    auto space = CGColorSpaceCreateWithName(kCGColorSpaceGenericRGB);
    fillWithShading(CGShadingCreateAxial(space, start, end, m_gradientFunction, false, false), rect);
}

void ZAKMultiGradient::radialFillRect(const NSRect& rect) const
{
    if (!isFinite(rect)) return;
    NSPoint centre = NSMakePoint(NSMidX(rect), NSMidY(rect));
    auto space = CGColorSpaceCreateWithName(kCGColorSpaceGenericRGB);
    CGFloat radius = std::max(rect.size.width, rect.size.height) / 2;
    fillWithShading(CGShadingCreateRadial(space, centre, 1, centre, radius, m_gradientFunction, true, true), rect);
}

void ZAKMultiGradient::drawInRect(const NSRect& rect, double angle) const
{
    CGContext* port = currentPort();
    if (!port) return;
    port->saveGState();
    port->clipToRect(rect);
    fillRect(rect, angle);
    port->restoreGState();
}

// --- The stop list ---

void ZAKMultiGradient::addElement(const _MultiGradientElement& element)
{
    auto* added = new Element(element);
    added->nextElement = nullptr;
    if (!m_elementList || element.position < m_elementList->position) {
        added->nextElement = m_elementList;
        m_elementList = added;
        return;
    }
    Element* at = m_elementList;
    while (at->nextElement && at->nextElement->position <= element.position) at = at->nextElement;
    added->nextElement = at->nextElement;
    at->nextElement = added;
}

_MultiGradientElement ZAKMultiGradient::removeElementAtIndex(NSUInteger index)
{
    Element** link = &m_elementList;
    for (NSUInteger i = 0; *link && i < index; ++i) link = &(*link)->nextElement;
    if (!*link) return emptyElement();
    Element* removed = *link;
    *link = removed->nextElement;
    Element answer = *removed;
    answer.nextElement = nullptr;
    delete removed;
    return answer;
}

_MultiGradientElement ZAKMultiGradient::removeElementAtPosition(double position)
{
    NSUInteger index = 0;
    for (const Element* e = m_elementList; e; e = e->nextElement, ++index)
        if (e->position == position) return removeElementAtIndex(index);
    return emptyElement();
}

_MultiGradientElement* ZAKMultiGradient::elementAtIndex(NSUInteger index) const
{
    Element* e = m_elementList;
    for (NSUInteger i = 0; e && i < index; ++i) e = e->nextElement;
    return e;
}
