#include "ZAKAppKit/ZAKLineNumberRuler/ZAKRulerMarker.h"

#include <array>

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColor.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKRulerMarker)

namespace {

using Triangle = std::array<NSPoint, 3>;

// An 8 x 8 image, not flipped, drawn when needed: the triangle filled, then
// stroked one point wide, in a dark grey.
Ref<NSImage> triangleImage(const Triangle& corners)
{
    return NSImage::imageWithSize(NSMakeSize(8, 8), false, [corners](NSRect) {
        auto path = NSBezierPath::bezierPath();
        path->moveToPoint(corners[0]);
        path->lineToPoint(corners[1]);
        path->lineToPoint(corners[2]);
        path->closePath();
        auto grey = NSColor::colorWithCalibratedRed(0.141, 0.141, 0.141, 1);
        grey->set();
        path->fill();
        path->setLineWidth(1);
        path->stroke();
        return true;
    });
}

Ref<ZAKRulerMarker> marker(const Ref<NSRulerView>& ruler, NSPoint origin, const Triangle& corners)
{
    auto made = NSObject::alloc<ZAKRulerMarker>();
    made->initWithRulerView(ruler, 0, triangleImage(corners), origin);
    return made;
}

}

Ref<ZAKRulerMarker> ZAKRulerMarker::leftEdgeRulerMarkerForRulerView(const Ref<NSRulerView>& ruler)
{
    return marker(ruler, NSMakePoint(0, 0), {{{0.5, 7.5}, {7.5, 7.5}, {0.5, 0.5}}});
}

Ref<ZAKRulerMarker> ZAKRulerMarker::rightEdgeRulerMarkerForRulerView(const Ref<NSRulerView>& ruler)
{
    return marker(ruler, NSMakePoint(7, 0), {{{7.5, 7.5}, {0.5, 7.5}, {7.5, 0.5}}});
}

Ref<ZAKRulerMarker> ZAKRulerMarker::topEdgeRulerMarkerForRulerView(const Ref<NSRulerView>& ruler)
{
    return marker(ruler, NSMakePoint(8, 8), {{{0.5, 7.5}, {7.5, 7.5}, {0.5, 0.5}}});
}

Ref<ZAKRulerMarker> ZAKRulerMarker::bottomEdgeRulerMarkerForRulerView(const Ref<NSRulerView>& ruler)
{
    return marker(ruler, NSMakePoint(8, 0), {{{0.5, 0.5}, {7.5, 0.5}, {0.5, 7.5}}});
}
