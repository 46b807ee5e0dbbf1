// The template images' artwork, drawn on demand at any resolution. Shapes
// are black; the alpha carries the form, as templates do.
#include <cmath>
#include <functional>
#include <map>

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSImageNames.h"

namespace {

using Drawing = std::function<void()>;

void fillRect(CGFloat x, CGFloat y, CGFloat w, CGFloat h) { NSRectFill(NSMakeRect(x, y, w, h)); }

Ref<NSBezierPath> polygon(std::initializer_list<NSPoint> points)
{
    auto path = NSBezierPath::bezierPath();
    bool first = true;
    for (NSPoint p : points) {
        if (first) path->moveToPoint(p);
        else path->lineToPoint(p);
        first = false;
    }
    path->closePath();
    return path;
}

void strokeArc(NSPoint centre, CGFloat radius, CGFloat from, CGFloat to, CGFloat width)
{
    auto path = NSBezierPath::bezierPath();
    path->appendBezierPathWithArcWithCenter(centre, radius, from, to, false);
    path->setLineWidth(width);
    path->stroke();
}

void lockBody() { NSBezierPath::bezierPathWithRoundedRect(NSMakeRect(3, 1, 10, 8), 1.5, 1.5)->fill(); }

struct Artwork {
    NSSize size;
    Drawing draw;
    bool isTemplate = true;
};

// General preferences: a grey tile holding three sliders.
void drawPreferencesGeneral()
{
    auto tile = NSBezierPath::bezierPathWithRoundedRect(NSMakeRect(2, 2, 28, 28), 6, 6);
    NSColor::colorWithCalibratedWhite(0.55, 1)->setFill();
    tile->fill();
    auto inner = NSBezierPath::bezierPathWithRoundedRect(NSMakeRect(3, 3, 26, 26), 5, 5);
    NSColor::colorWithCalibratedWhite(0.86, 1)->setFill();
    inner->fill();
    const CGFloat knobs[3] = {19, 11, 15};
    for (int i = 0; i < 3; ++i) {
        const CGFloat y = 8 + 8 * i;
        NSColor::colorWithCalibratedWhite(0.35, 1)->setFill();
        NSRectFill(NSMakeRect(7, y - 1, 18, 2));
        auto knob = NSBezierPath::bezierPathWithOvalInRect(NSMakeRect(knobs[i] - 3, y - 3, 6, 6));
        NSColor::whiteColor()->setFill();
        knob->fill();
        NSColor::colorWithCalibratedWhite(0.3, 1)->setStroke();
        knob->setLineWidth(1);
        knob->stroke();
    }
}

const std::map<std::string, Artwork>& artworks()
{
    static const std::map<std::string, Artwork> table = {
        {NSImageNameAddTemplate,
         {{10, 10},
          [] {
              fillRect(4, 0, 2, 10);
              fillRect(0, 4, 10, 2);
          }}},
        {NSImageNameRemoveTemplate, {{10, 10}, [] { fillRect(0, 4, 10, 2); }}},
        {NSImageNameQuickLookTemplate,
         {{16, 16},
          [] {
              // An eye: an almond outline with a pupil.
              auto eye = NSBezierPath::bezierPath();
              eye->moveToPoint({1, 8});
              eye->curveToPoint({15, 8}, {4, 13}, {12, 13});
              eye->curveToPoint({1, 8}, {12, 3}, {4, 3});
              eye->closePath();
              eye->setLineWidth(1.5);
              eye->stroke();
              NSBezierPath::bezierPathWithOvalInRect(NSMakeRect(5.5, 5.5, 5, 5))->fill();
          }}},
        {NSImageNameActionTemplate,
         {{16, 16},
          [] {
              // A gear: eight teeth around a ring.
              const NSPoint c{8, 8};
              auto gear = NSBezierPath::bezierPath();
              for (int i = 0; i < 8; ++i) {
                  const double a = i * M_PI / 4;
                  const double s = std::sin(a), k = std::cos(a);
                  gear->appendBezierPath(polygon({
                      {c.x + 4 * k - 1.3 * s, c.y + 4 * s + 1.3 * k},
                      {c.x + 7.5 * k - 1.3 * s, c.y + 7.5 * s + 1.3 * k},
                      {c.x + 7.5 * k + 1.3 * s, c.y + 7.5 * s - 1.3 * k},
                      {c.x + 4 * k + 1.3 * s, c.y + 4 * s - 1.3 * k},
                  }));
              }
              gear->fill();
              strokeArc(c, 4, 0, 360, 3);
          }}},
        {NSImageNameShareTemplate,
         {{16, 16},
          [] {
              // A tray with an arrow leaving it upwards.
              auto tray = NSBezierPath::bezierPath();
              tray->moveToPoint({5, 9});
              tray->lineToPoint({2, 9});
              tray->lineToPoint({2, 1});
              tray->lineToPoint({14, 1});
              tray->lineToPoint({14, 9});
              tray->lineToPoint({11, 9});
              tray->setLineWidth(1.5);
              tray->stroke();
              fillRect(7.25, 4, 1.5, 9);
              polygon({{4.5, 11.5}, {8, 15.5}, {11.5, 11.5}})->fill();
          }}},
        {NSImageNameIconViewTemplate,
         {{16, 16},
          [] {
              for (int row = 0; row < 2; ++row)
                  for (int col = 0; col < 2; ++col) fillRect(1 + 8 * col, 1 + 8 * row, 6, 6);
          }}},
        {NSImageNameListViewTemplate,
         {{16, 16},
          [] {
              for (int row = 0; row < 4; ++row) {
                  fillRect(1, 1.5 + 4 * row, 2, 2);
                  fillRect(5, 1.5 + 4 * row, 10, 2);
              }
          }}},
        {NSImageNameLockLockedTemplate,
         {{16, 16},
          [] {
              lockBody();
              strokeArc({8, 9}, 3.25, 0, 180, 1.5);
              fillRect(4, 8, 1.5, 1.5);
              fillRect(10.5, 8, 1.5, 1.5);
          }}},
        {NSImageNameLockUnlockedTemplate,
         {{16, 16},
          [] {
              lockBody();
              // The shackle swung open to the right.
              strokeArc({11, 11}, 3.25, 0, 180, 1.5);
              fillRect(13.5, 8, 1.5, 3);
          }}},
        {NSImageNameGoRightTemplate,
         {{9, 12},
          [] {
              polygon({{1, 0}, {8, 6}, {1, 12}})->fill();
          }}},
        {NSImageNameGoLeftTemplate,
         {{9, 12},
          [] {
              polygon({{8, 0}, {1, 6}, {8, 12}})->fill();
          }}},
        {NSImageNameStopProgressTemplate,
         {{12, 12},
          [] {
              // A cross of two bars.
              polygon({{0, 1.5}, {1.5, 0}, {12, 10.5}, {10.5, 12}})->fill();
              polygon({{0, 10.5}, {10.5, 0}, {12, 1.5}, {1.5, 12}})->fill();
          }}},
        {NSImageNameRefreshTemplate,
         {{14, 14},
          [] {
              // An open circle ending in an arrowhead.
              strokeArc({7, 7}, 5, 100, 400, 2);
              polygon({{4.5, 14}, {9, 12}, {4.5, 9.5}})->fill();
          }}},
        {NSImageNamePreferencesGeneral, {{32, 32}, drawPreferencesGeneral, false}},
    };
    return table;
}

}

Ref<NSImage> NSImageTemplates::make(const std::string& name)
{
    const auto& table = artworks();
    auto it = table.find(name);
    if (it == table.end()) return nullptr;
    const NSSize size = it->second.size;
    const Drawing draw = it->second.draw;
    auto image = NSImage::imageWithSize(size, false, [draw](NSRect) {
        NSColor::blackColor()->set();
        draw();
        return true;
    });
    image->setTemplate(it->second.isTemplate);
    return image;
}
