#include "KeyRecorder/KRSharedImageProvider.h"

#include "Foundation/NSClass.h"
#include <cmath>
#include <map>
#include <numbers>

#include "AppKit/NSAffineTransform.h"
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSCustomImageRep.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSShadow.h"

NS_CLASS_DEFINE(KRSharedImageProvider)

double KRTransitionEase(double t) { return (std::sin(t * std::numbers::pi - std::numbers::pi / 2) + 1) / 2; }

namespace {

void drawRemoveCircle(NSSize size, CGFloat opacity)
{
    const CGFloat w = size.width, h = size.height;
    NSColor::colorWithCalibratedWhite(0, 1 - opacity)->setFill();
    NSBezierPath::bezierPathWithOvalInRect(NSMakeRect(0, 0, w, h))->fill();
    const CGFloat ux = w / 14, uy = h / 14;
    auto cross = NSBezierPath::bezierPath();
    cross->setLineWidth(1.2 * w / 14);
    cross->moveToPoint({4 * ux, 4 * uy});
    cross->lineToPoint({10 * ux, 10 * uy});
    cross->moveToPoint({10 * ux, 4 * uy});
    cross->lineToPoint({4 * ux, 10 * uy});
    NSColor::whiteColor()->setStroke();
    cross->stroke();
}

void drawSnapback(NSSize size)
{
    const CGFloat w = size.width, h = size.height;
    auto p = [&](double x, double y) { return NSPoint{0.9 * (x * w + 0.5), y * h - 0.5}; };
    auto path = NSBezierPath::bezierPath();
    path->moveToPoint(p(0.0490, 0.6182));
    path->lineToPoint(p(0.4086, 0.9469));
    path->lineToPoint(p(0.4086, 0.7226));
    path->curveToPoint(p(0.8508, 0.4836), p(0.4086, 0.7226), p(0.8371, 0.7492));
    path->curveToPoint(p(0.5507, 0.0531), p(0.8678, 0.1545), p(0.5507, 0.0531));
    path->curveToPoint(p(0.7422, 0.3392), p(0.5507, 0.0531), p(0.7459, 0.1913));
    path->curveToPoint(p(0.4086, 0.5154), p(0.7383, 0.4930), p(0.4086, 0.5154));
    path->lineToPoint(p(0.4086, 0.2654));
    path->closePath();
    NSGraphicsContext::saveGraphicsState();
    auto shadow = NSShadow::shadow();
    shadow->setShadowColor(NSColor::colorWithCalibratedWhite(0, 0.45));
    shadow->setShadowBlurRadius(1);
    shadow->setShadowOffset({0, -1});
    shadow->set();
    NSColor::whiteColor()->setFill();
    path->fill();
    NSGraphicsContext::restoreGraphicsState();
}

struct Drawing {
    NSSize size;
    std::function<void(NSSize)> draw;
};

const std::map<std::string, Drawing>& drawings()
{
    static const auto* table = new std::map<std::string, Drawing>{
        {"KRSnapback", {{14, 14}, drawSnapback}},
        {"KRRemoveShortcut", {{14, 14}, [](NSSize s) { drawRemoveCircle(s, 0.75); }}},
        {"KRRemoveShortcutRollover", {{14, 14}, [](NSSize s) { drawRemoveCircle(s, 0.65); }}},
        {"KRRemoveShortcutPressed", {{14, 14}, [](NSSize s) { drawRemoveCircle(s, 0.55); }}},
    };
    return *table;
}

}

Ref<NSImage> KRSharedImageProvider::supportingImageWithName(const Ref<NSString>& name)
{
    // Main thread only, like all drawing; never emptied.
    static auto* cache = new std::map<std::string, Ref<NSImage>>;
    if (!name) return nullptr;
    const std::string key = name->UTF8String();
    if (auto it = cache->find(key); it != cache->end()) return it->second;
    auto found = drawings().find(key);
    if (found == drawings().end()) return nullptr;
    const Drawing drawing = found->second;
    auto image = NSImage::initWithSize(drawing.size);
    image->addRepresentation(NSCustomImageRep::initWithSize(drawing.size, false, [drawing](NSRect rect) {
        drawing.draw(rect.size);
        return true;
    }));
    image->setScalesWhenResized(true);
    (*cache)[key] = image;
    return image;
}
