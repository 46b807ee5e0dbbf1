#include "GuidelineWindowView.h"
#include "Foundation/NSClass.h"

#include "AppDefaults.h"
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSEvent.h"
#include "AppKit/NSGraphicsContext.h"

#include "AppKitExtensions/NSImage+ZAKNSImage_Extension.h"
#include "AppNotifications.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSUserDefaults.h"
#include "GuidelineStore.h"
#include <cmath>

NS_CLASS_DEFINE(GuidelineWindowView)

namespace {
constexpr CGFloat kTile = 100;
constexpr CGFloat kBox = 13;

// The mouse-in-rectangle rule for an unflipped rectangle, applied to the
// flipped coordinates: the left and top-in-the-flipped-sense edges differ.
bool inBox(NSPoint p, CGFloat x, CGFloat y) { return x <= p.x && p.x < x + kBox && y < p.y && p.y <= y + kBox; }

bool intersects(const NSRect& a, const NSRect& b)
{
    return a.origin.x < b.origin.x + b.size.width && b.origin.x < a.origin.x + a.size.width &&
           a.origin.y < b.origin.y + b.size.height && b.origin.y < a.origin.y + a.size.height;
}

Ref<NSImage> blackTile(NSSize size)
{
    return NSImage::imageWithSize(size, false, [](NSRect rect) {
        NSColor::blackColor()->setFill();
        NSBezierPath::fillRect(rect);
        return true;
    });
}
}  // namespace

void GuidelineWindowView::describeClass(NSClassMembers<GuidelineWindowView>& m)
{
    m.action("handleSetActived:", &GuidelineWindowView::handleSetActived);
    m.action("handleGuideColorHasChanged:", &GuidelineWindowView::handleGuideColorHasChanged);
    m.action("handleGuideControllerHasChanged:", &GuidelineWindowView::handleGuideControllerHasChanged);
}

Ref<NSView> GuidelineWindowView::initWithFrame(const NSRect& frame)
{
    NSView::initWithFrame(frame);
    m_verImage = blackTile(NSMakeSize(1, kTile));
    m_horImage = blackTile(NSMakeSize(kTile, 1));
    auto color = AppDefaults::colorForKey("GuidelineColor");
    fillImageWithColor(m_verImage, color);
    fillImageWithColor(m_horImage, color);
    makePatterns();
    m_horMoverImage = NSImage::imageNamed("hor_mover.pdf"_ns);
    m_verMoverImage = NSImage::imageNamed("ver_mover.pdf"_ns);
    m_firstDraw = true;
    m_dragging = false;
    auto center = NSNotificationCenter::defaultCenter();
    center->addObserver(Id(this), "handleSetActived:", NSString::stringWithUTF8String(SetActivedNotification), nullptr);
    center->addObserver(Id(this),
                        "handleGuideColorHasChanged:", NSString::stringWithUTF8String(GuideColorHasChangedNotification),
                        nullptr);
    center->addObserver(Id(this), "handleGuideControllerHasChanged:",
                        NSString::stringWithUTF8String(GuidelineControllerHasChangedNotification), nullptr);
    m_set = GuidelineStore::getSharedGuidelineStore()->getCurrentSet();
    return this;
}

void GuidelineWindowView::fillImageWithColor(const Ref<NSImage>& image, const Ref<NSColor>& color)
{
    // Replacing the drawing handler drops the cached bitmaps with the old colour.
    auto old = image->representations();
    for (const Id& rep : *old) image->removeRepresentation(dynamic_ref_cast<NSImageRep>(rep));
    const NSSize size = image->size();
    auto filled = NSImage::imageWithSize(size, false, [color](NSRect rect) {
        color->setFill();
        NSBezierPath::fillRect(rect);
        return true;
    });
    auto reps = filled->representations();
    for (const Id& rep : *reps) image->addRepresentation(dynamic_ref_cast<NSImageRep>(rep));
}

void GuidelineWindowView::calcControllerPosition()
{
    auto defaults = NSUserDefaults::standardUserDefaults();
    const NSRect b = bounds();
    m_horControllerPos =
        defaults->integerForKey("HorGuideController"_ns) != 0 ? static_cast<float>(b.size.width - 24) : 0;
    m_verControllerPos =
        defaults->integerForKey("VerGuideController"_ns) != 0 ? static_cast<float>(b.size.height - 24) : 0;
}

void GuidelineWindowView::handleSetActived(const Ref<NSNotification>&)
{
    m_set = GuidelineStore::getSharedGuidelineStore()->getCurrentSet();
    m_dragging = false;
    m_draggingLine = nullptr;
    setNeedsDisplay(true);
}

void GuidelineWindowView::handleGuideColorHasChanged(const Ref<NSNotification>&)
{
    auto color = AppDefaults::colorForKey("GuidelineColor");
    fillImageWithColor(m_verImage, color);
    fillImageWithColor(m_horImage, color);
    makePatterns();
    setNeedsDisplay(true);
}

void GuidelineWindowView::handleGuideControllerHasChanged(const Ref<NSNotification>&)
{
    calcControllerPosition();
    setNeedsDisplay(true);
}

// The repeated tiles of one line are one fill with the tile as its pattern,
// cut to the dirty rectangle; nothing outside it reaches the context. The
// rectangle goes to the context directly: a path object per line costs
// more than filling a short line.
void GuidelineWindowView::fillTiles(const Ref<NSColor>& pattern, const NSRect& tiles, const NSRect& dirtyRect)
{
    const NSRect r = NSIntersectionRect(tiles, dirtyRect);
    if (r.size.width <= 0 || r.size.height <= 0) return;
    pattern->setFill();
    auto context = NSGraphicsContext::currentContext();
    CGContext* port = context ? context->graphicsPort() : nullptr;
    if (!port || port->gstate().focusRingOnly) return NSBezierPath::fillRect(r);
    port->fillRect(r);
}

// The tiles hold one colour, so their pattern is that colour: a plain fill
// draws the same pixels without a pattern surface per fill.
void GuidelineWindowView::makePatterns() { m_horPattern = m_verPattern = AppDefaults::colorForKey("GuidelineColor"); }

// Tiles outside the dirty rectangle are skipped before they reach the
// drawing context, so a drag step costs only what it uncovers.
void GuidelineWindowView::drawRect(const NSRect& dirtyRect)
{
    if (m_firstDraw) {
        calcControllerPosition();
        m_firstDraw = false;
    }
    auto set = m_set.get();
    if (!set) return;
    const NSRect b = bounds();
    const CGFloat W = b.size.width, H = b.size.height;
    for (const Id& object : *set->getLinesArray()) {
        auto line = dynamic_ref_cast<Guidelines>(object);
        if (!line) continue;
        const CGFloat v = line->value();
        if (line->type() != 0) {
            fillTiles(m_verPattern, NSMakeRect(v, 0, 1, std::floor((H + kTile) / kTile) * kTile + kTile), dirtyRect);
            const NSPoint mover = NSMakePoint(v - 7, m_verControllerPos);
            if (m_verMoverImage &&
                intersects(NSMakeRect(mover.x, mover.y, m_verMoverImage->size().width, m_verMoverImage->size().height),
                           dirtyRect))
                NSImageExt::drawAtPoint(m_verMoverImage, mover, NSCompositeSourceOver);
        } else {
            fillTiles(m_horPattern, NSMakeRect(0, v, std::floor(W / kTile) * kTile + kTile, 1), dirtyRect);
            const NSPoint mover = NSMakePoint(m_horControllerPos, v - 7);
            if (m_horMoverImage &&
                intersects(NSMakeRect(mover.x, mover.y, m_horMoverImage->size().width, m_horMoverImage->size().height),
                           dirtyRect))
                NSImageExt::drawAtPoint(m_horMoverImage, mover, NSCompositeSourceOver);
        }
    }
}

void GuidelineWindowView::mouseDown(const Ref<NSEvent>& event)
{
    const CGFloat H = bounds().size.height;
    NSPoint p = event->locationInWindow();
    p.y = H - p.y;
    m_dragging = false;
    m_draggingLine = nullptr;
    auto set = m_set.get();
    if (set) {
        auto lines = NSArray::arrayWithArray(set->getLinesArray());
        for (const Id& object : *lines) {
            auto line = dynamic_ref_cast<Guidelines>(object);
            if (!line) continue;
            const CGFloat v = line->value();
            const bool vertical = line->type() != 0;
            const NSPoint del =
                vertical ? NSMakePoint(v - 7, m_verControllerPos + 1) : NSMakePoint(m_horControllerPos + 13, v - 7);
            const NSPoint drag =
                vertical ? NSMakePoint(v - 7, m_verControllerPos + 14) : NSMakePoint(m_horControllerPos + 1, v - 7);
            if (inBox(p, del.x, del.y)) {
                set->removeGuideline(line);
                setNeedsDisplay(true);
            } else if (inBox(p, drag.x, drag.y)) {
                m_dragging = true;
                m_draggingLine = line;
            }
        }
    }
    NSView::mouseDown(event);
}

void GuidelineWindowView::mouseDragged(const Ref<NSEvent>& event)
{
    auto line = m_dragging ? m_draggingLine.get() : nullptr;
    auto set = m_set.get();
    if (!line || !set || set->getLinesArray()->indexOfObjectIdenticalTo(line) == NSNotFound) return;
    const float delta = static_cast<float>(line->type() != 0 ? event->deltaX() : event->deltaY());
    // Only the strips of the old and the new position are drawn again.
    setNeedsDisplayInRect(lineRect(line));
    line->setValue(line->value() + delta);
    setNeedsDisplayInRect(lineRect(line));
}

NSRect GuidelineWindowView::lineRect(const Ref<Guidelines>& line) const
{
    const NSRect b = bounds();
    const CGFloat v = line->value();
    if (line->type() != 0) return NSMakeRect(v - 7, 0, 15, b.size.height);
    return NSMakeRect(0, v - 7, b.size.width, 15);
}

void GuidelineWindowView::mouseUp(const Ref<NSEvent>& event)
{
    m_dragging = false;
    m_draggingLine = nullptr;
    NSView::mouseUp(event);
}
