#include "AppKit/NSRulerView.h"

#include <algorithm>
#include <cmath>

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSScrollView.h"
#include "AppKit/NSStringDrawing.h"
#include "AppKit/NSWindow.h"
#include "AppKit/ViewCoding.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"

NS_CLASS_DEFINE(NSRulerView)

namespace {
constexpr CGFloat kTickSpacing = 10;
constexpr int kLabelEvery = 5;
}

void NSRulerView::describeClass(NSClassMembers<NSRulerView>& m)
{
    m.action("setRuleThickness:", &NSRulerView::setRuleThickness);
    m.action("invalidateHashMarks", &NSRulerView::invalidateHashMarks);
}

Ref<NSView> NSRulerView::initWithFrame(const NSRect& frame)
{
    NSView::initWithFrame(frame);
    return this;
}

Ref<NSRulerView> NSRulerView::initWithScrollView(const Ref<NSScrollView>& scrollView, NSRulerOrientation orientation)
{
    initWithFrame(NSZeroRect);
    m_scrollView = scrollView;
    m_orientation = orientation;
    resizeAcrossAxis();
    return this;
}

Ref<NSScrollView> NSRulerView::scrollView() const
{
    if (auto scroll = m_scrollView.get()) return scroll;
    return enclosingScrollView();
}

void NSRulerView::setOrientation(NSRulerOrientation orientation)
{
    if (orientation == m_orientation) return;
    m_orientation = orientation;
    resizeAcrossAxis();
}

void NSRulerView::setClientView(const Ref<NSView>& client)
{
    if (client.get() == m_clientView.get().get()) return;
    m_markers.clear();
    m_clientView = client;
    setNeedsDisplay(true);
}

void NSRulerView::setRuleThickness(CGFloat thickness)
{
    thickness = std::max(0.0, thickness);
    if (thickness == m_ruleThickness) return;
    m_ruleThickness = thickness;
    resizeAcrossAxis();
}

void NSRulerView::setReservedThicknessForMarkers(CGFloat thickness)
{
    thickness = std::max(0.0, thickness);
    if (thickness == m_reservedThicknessForMarkers) return;
    m_reservedThicknessForMarkers = thickness;
    resizeAcrossAxis();
}

void NSRulerView::resizeAcrossAxis()
{
    const CGFloat across = m_ruleThickness + m_reservedThicknessForMarkers;
    NSSize size = frame().size;
    if (m_orientation == NSVerticalRuler) size.width = across;
    else size.height = across;
    setFrameSize(size);
    setNeedsDisplay(true);
    // The slot takes the ruler's thickness from its frame.
    if (auto scroll = scrollView()) scroll->tile();
}

CGFloat NSRulerView::requiredThickness() const
{
    CGFloat markerArea = m_reservedThicknessForMarkers;
    for (const auto& marker : m_markers) markerArea = std::max(markerArea, marker->thicknessRequiredInRuler());
    return m_ruleThickness + markerArea;
}

CGFloat NSRulerView::baselineLocation() const { return m_reservedThicknessForMarkers; }

Ref<NSArray> NSRulerView::markers() const
{
    std::vector<Id> list(m_markers.begin(), m_markers.end());
    return NSArray::arrayWithVector(std::move(list));
}

void NSRulerView::setMarkers(const Ref<NSArray>& markers)
{
    m_markers.clear();
    if (markers)
        for (const auto& object : markers->snapshot())
            if (auto marker = dynamic_ref_cast<NSRulerMarker>(object)) m_markers.push_back(marker);
    setNeedsDisplay(true);
}

void NSRulerView::addMarker(const Ref<NSRulerMarker>& marker)
{
    if (!marker) return;
    m_markers.push_back(marker);
    setNeedsDisplay(true);
}

void NSRulerView::removeMarker(const Ref<NSRulerMarker>& marker)
{
    const auto it = std::find(m_markers.begin(), m_markers.end(), marker);
    if (it == m_markers.end()) return;
    m_markers.erase(it);
    setNeedsDisplay(true);
}

void NSRulerView::invalidateHashMarks() { setNeedsDisplay(true); }

CGFloat NSRulerView::rulerPositionForClientLocation(CGFloat location) const
{
    auto client = clientView();
    const bool vertical = m_orientation == NSVerticalRuler;
    const NSPoint p = vertical ? NSMakePoint(0, location) : NSMakePoint(location, 0);
    if (!client || !window() || client->window() != window()) return location;
    const NSPoint here = convertPointFromView(p, client);
    return vertical ? here.y : here.x;
}

CGFloat NSRulerView::clientLocationForRulerPosition(CGFloat position) const
{
    auto client = clientView();
    const bool vertical = m_orientation == NSVerticalRuler;
    const NSPoint p = vertical ? NSMakePoint(0, position) : NSMakePoint(position, 0);
    if (!client || !window() || client->window() != window()) return position;
    const NSPoint there = convertPointToView(p, client);
    return vertical ? there.y : there.x;
}

void NSRulerView::drawHashMarksAndLabelsInRect(const NSRect&)
{
    const NSRect b = bounds();
    const bool vertical = m_orientation == NSVerticalRuler;
    const CGFloat start = vertical ? NSMinY(b) : NSMinX(b);
    const CGFloat end = vertical ? NSMaxY(b) : NSMaxX(b);
    // The rule's inner edge faces the client.
    const CGFloat edge = vertical ? NSMaxX(b) : NSMaxY(b);
    CGFloat from = clientLocationForRulerPosition(start);
    CGFloat to = clientLocationForRulerPosition(end);
    if (from > to) std::swap(from, to);

    NSColor::darkGrayColor()->set();
    NSBezierPath::strokeLineFromPoint(vertical ? NSMakePoint(edge - 0.5, start) : NSMakePoint(start, edge - 0.5),
                                      vertical ? NSMakePoint(edge - 0.5, end) : NSMakePoint(end, edge - 0.5));
    const auto attributes = NSDictionary::dictionaryWithObjectsAndKeys(
        {NSFont::labelFontOfSize(9), NSFontAttributeName, NSColor::darkGrayColor(), NSForegroundColorAttributeName});
    const long first = long(std::ceil(from / kTickSpacing));
    const long last = long(std::floor(to / kTickSpacing));
    for (long i = first; i <= last; ++i) {
        const bool major = i % kLabelEvery == 0;
        const CGFloat length = std::min(m_ruleThickness, major ? m_ruleThickness * 0.5 : m_ruleThickness * 0.25);
        const CGFloat at = std::floor(rulerPositionForClientLocation(CGFloat(i) * kTickSpacing)) + 0.5;
        NSBezierPath::strokeLineFromPoint(vertical ? NSMakePoint(edge - length, at) : NSMakePoint(at, edge - length),
                                          vertical ? NSMakePoint(edge, at) : NSMakePoint(at, edge));
        if (!major) continue;
        const auto label = NSString::stringWithFormat("%ld"_ns, i * long(kTickSpacing));
        const CGFloat base = edge - m_ruleThickness;
        NSStringExt::drawAtPoint(label, vertical ? NSMakePoint(base + 1, at + 1) : NSMakePoint(at + 2, base),
                                 attributes);
    }
}

void NSRulerView::drawMarkersInRect(const NSRect& rect)
{
    for (const auto& marker : std::vector<Ref<NSRulerMarker>>(m_markers)) marker->drawRect(rect);
}

void NSRulerView::drawRect(const NSRect& dirtyRect)
{
    NSColor::controlColor()->set();
    NSRectFill(dirtyRect);
    drawHashMarksAndLabelsInRect(dirtyRect);
    drawMarkersInRect(dirtyRect);
}

void NSRulerView::mouseDown(const Ref<NSEvent>&) { }

void NSRulerView::encodeWithCoder(NSCoder* coder) const
{
    encodeViewKeys(coder, false);
    // The ruler's own list: subclasses that keep markers elsewhere code them
    // themselves.
    const auto markerList = NSArray::arrayWithVector(std::vector<Id>(m_markers.begin(), m_markers.end()));
    if (!coder->allowsKeyedCoding()) {
        coder->encodeInt64(int64_t(m_orientation));
        coder->encodeDouble(m_ruleThickness);
        coder->encodeDouble(m_reservedThicknessForMarkers);
        coder->encodeObject(markerList);
        return;
    }
    coder->encodeInteger(NSInteger(m_orientation), "NSRulerOrientation"_ns);
    coder->encodeDouble(m_ruleThickness, "NSRuleThickness"_ns);
    coder->encodeDouble(m_reservedThicknessForMarkers, "NSReservedThicknessForMarkers"_ns);
    if (!m_markers.empty()) coder->encodeObject(markerList, "NSRulerMarkers"_ns);
}

Id NSRulerView::initWithCoder(NSCoder* coder)
{
    decodeViewKeys(coder, false);
    NSInteger orientation = 0;
    Ref<NSArray> markerList;
    if (!coder->allowsKeyedCoding()) {
        orientation = NSInteger(coder->decodeInt64());
        m_ruleThickness = coder->decodeDouble();
        m_reservedThicknessForMarkers = coder->decodeDouble();
        markerList = dynamic_ref_cast<NSArray>(coder->decodeObject());
    } else {
        orientation = coder->decodeIntegerForKey("NSRulerOrientation"_ns);
        m_ruleThickness = coder->containsValueForKey("NSRuleThickness"_ns)
                              ? coder->decodeDoubleForKey("NSRuleThickness"_ns)
                              : kDefaultRuleThickness;
        m_reservedThicknessForMarkers = coder->decodeDoubleForKey("NSReservedThicknessForMarkers"_ns);
        markerList = dynamic_ref_cast<NSArray>(coder->decodeObjectForKey("NSRulerMarkers"_ns));
    }
    m_orientation = orientation == NSInteger(NSVerticalRuler) ? NSVerticalRuler : NSHorizontalRuler;
    m_ruleThickness = std::isfinite(m_ruleThickness) ? std::max(0.0, m_ruleThickness) : kDefaultRuleThickness;
    m_reservedThicknessForMarkers =
        std::isfinite(m_reservedThicknessForMarkers) ? std::max(0.0, m_reservedThicknessForMarkers) : 0;
    if (markerList)
        for (const auto& object : markerList->snapshot())
            if (auto marker = dynamic_ref_cast<NSRulerMarker>(object)) {
                marker->setRuler(this);
                m_markers.push_back(marker);
            }
    return this;
}
