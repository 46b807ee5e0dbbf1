#include "ZAKAppKit/ZAKLineNumberRuler/ZAKLineNumberRulerWithMarker.h"

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSTableView.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKLineNumberRulerWithMarker)

void ZAKLineNumberRulerWithMarker::describeClass(NSClassMembers<ZAKLineNumberRulerWithMarker>& m)
{
    m.action("drawMarkerImageIntoRep:", &ZAKLineNumberRulerWithMarker::drawMarkerImageIntoRep);
}

Ref<ZAKLineNumberRuler> ZAKLineNumberRulerWithMarker::initWithScrollView(const Ref<NSScrollView>& scrollView)
{
    ZAKLineNumberRuler::initWithScrollView(scrollView);
    m_editable = true;
    return this;
}

void ZAKLineNumberRulerWithMarker::setRuleThickness(CGFloat thickness)
{
    ZAKLineNumberRuler::setRuleThickness(thickness);
    if (m_markerImage) m_markerImage->setSize(NSMakeSize(thickness, kMarkerHeight));
}

Ref<NSImage> ZAKLineNumberRulerWithMarker::markerImageWithSize(NSSize size)
{
    if (m_markerImage) return m_markerImage;
    auto rep = NSCustomImageRep::initWithDrawSelector("drawMarkerImageIntoRep:", Id(this));
    rep->setSize(size);
    m_markerImage = NSImage::initWithSize(size);
    m_markerImage->addRepresentation(rep);
    return m_markerImage;
}

void ZAKLineNumberRulerWithMarker::drawMarkerImageIntoRep(const Id& object)
{
    auto rep = dynamic_ref_cast<NSImageRep>(object);
    if (!rep) return;
    const CGFloat w = rep->size().width;
    const CGFloat h = rep->size().height;
    auto path = NSBezierPath::bezierPath();
    path->moveToPoint(NSMakePoint(w - 1, (h - 3) / 2 + 2));
    path->lineToPoint(NSMakePoint(w - 6, h - 1));
    path->appendBezierPathWithArcWithCenter(NSMakePoint(4, h - 4), 3, 90, 180);
    path->appendBezierPathWithArcWithCenter(NSMakePoint(4, 5), 3, 180, 270);
    path->lineToPoint(NSMakePoint(w - 6, 2));
    path->closePath();
    NSColor::colorWithCalibratedRed(0.003, 0.56, 0.85, 1.0)->setFill();
    path->fill();
    NSColor::colorWithCalibratedRed(0.0, 0.44, 0.8, 1.0)->setStroke();
    path->setLineWidth(2);
    path->stroke();
}

Ref<ZAKLineNumberRulerMarker> ZAKLineNumberRulerWithMarker::newMarker(NSUInteger line)
{
    auto image = markerImageWithSize(NSMakeSize(ruleThickness(), kMarkerHeight));
    return NSObject::alloc<ZAKLineNumberRulerMarker>()->initWithRulerView(this, double(line), image,
                                                                          NSMakePoint(0, kMarkerHeight / 2));
}

void ZAKLineNumberRulerWithMarker::mouseDown(const Ref<NSEvent>& event)
{
    if (!m_editable) return;
    CGFloat y = convertPointFromView(event->locationInWindow(), nullptr).y;
    if (auto table = dynamic_ref_cast<NSTableView>(clientView()))
        if (auto header = table->headerView()) y -= header->frame().size.height;
    const NSUInteger line = lineNumberForLocation(y);
    if (line == NSUInteger(NSNotFound)) return;
    if (auto marker = markerAtLine(line)) removeMarker(marker);
    else addMarker(newMarker(line));
    setNeedsDisplay(true);
}

void ZAKLineNumberRulerWithMarker::addMarkerWithLineNumber(NSUInteger line)
{
    if (markerAtLine(line)) return;
    addMarker(newMarker(line));
    setNeedsDisplay(true);
}

void ZAKLineNumberRulerWithMarker::addSingleMarkerWithLineNumber(NSUInteger line)
{
    removeAllMarker();
    addMarkerWithLineNumber(line);
}
