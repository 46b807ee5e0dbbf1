#include "AWAttachedWindow/AWAttachedWindow.h"

#include <algorithm>
#include <cmath>

#include "AppKit/NSColor.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSImage.h"
#include "AppKit/NSScreen.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSNotificationCenter.h"

NS_CLASS_DEFINE(AWAttachedWindow)

namespace {

Ref<NSColor> copied(const Ref<NSColor>& c) { return c ? static_ref_cast<NSColor>(c->copy()) : nullptr; }

// The edge the arrow sits on for a side: 0 top, 1 right, 2 bottom, 3 left.
enum Edge { TopEdge, RightEdge, BottomEdge, LeftEdge };

int edgeOfSide(int side)
{
    switch (side) {
    case AWPositionBottom:
    case AWPositionBottomLeft:
    case AWPositionBottomRight: return TopEdge;
    case AWPositionLeft:
    case AWPositionLeftTop:
    case AWPositionLeftBottom: return RightEdge;
    case AWPositionTop:
    case AWPositionTopLeft:
    case AWPositionTopRight: return BottomEdge;
    default: return LeftEdge;
    }
}

}  // namespace

void AWAttachedWindow::describeClass(NSClassMembers<AWAttachedWindow>& m)
{
    m.action("performClose:", &AWAttachedWindow::performClose);
    m.action("windowDidResize:", &AWAttachedWindow::windowDidResize);
}

AWAttachedWindow::~AWAttachedWindow()
{
    if (m_resizeObserver) NSNotificationCenter::defaultCenter()->removeObserver(m_resizeObserver);
}

// --- Creation ---

Ref<AWAttachedWindow> AWAttachedWindow::initWithView(const Ref<NSView>& view, NSPoint point,
                                                     const Ref<NSWindow>& window, int side, float distance)
{
    if (!view) return nullptr;
    const NSSize size = view->frame().size;
    NSWindow::initWithContentRect(NSMakeRect(0, 0, size.width, size.height), NSBorderlessWindowMask,
                                  NSBackingStoreBuffered, false);
    m_view = view;
    m_window = window;
    m_point = point;
    m_side = side;
    m_distance = distance;

    NSWindow::setBackgroundColor(NSColor::clearColor());
    setMovableByWindowBackground(false);
    setExcludedFromWindowsMenu(true);
    setAlphaValue(1.0);
    setOpaque(false);
    setHasShadow(true);
    useOptimizedDrawing(true);

    m_borderColor = copied(NSColor::darkGrayColor());
    m_borderWidth = 2;
    m_viewMargin = 2;
    m_arrowBaseWidth = 20;
    m_arrowHeight = 16;
    m_hasArrow = true;
    m_cornerRadius = 8;
    m_drawsRoundCornerBesideArrow = true;
    m_MABackgroundColor = copied(NSColor::windowBackgroundColor());

    // The side is chosen once, here; an unknown code counts as automatic.
    if (m_side < AWPositionLeft || m_side >= AWPositionAutomatic) m_side = bestSideForAutomaticPosition();
    updateGeometry();
    updateBackground();
    contentView()->addSubview(view);

    Weak<AWAttachedWindow> weak(this);
    m_resizeObserver = NSNotificationCenter::defaultCenter()->addObserverForName(
        NSString::stringWithUTF8String(NSWindowDidResizeNotification), Id(this), nullptr,
        [weak](const Ref<NSNotification>& note) {
            if (auto self = weak.get()) self->windowDidResize(note);
        });
    return Ref<AWAttachedWindow>(this);
}

Ref<AWAttachedWindow> AWAttachedWindow::initWithView(const Ref<NSView>& view, NSPoint point,
                                                     const Ref<NSWindow>& window, float distance)
{
    return initWithView(view, point, window, AWPositionAutomatic, distance);
}

Ref<AWAttachedWindow> AWAttachedWindow::initWithView(const Ref<NSView>& view, NSPoint point, int side, float distance)
{
    return initWithView(view, point, nullptr, side, distance);
}

Ref<AWAttachedWindow> AWAttachedWindow::initWithView(const Ref<NSView>& view, NSPoint point, float distance)
{
    return initWithView(view, point, nullptr, AWPositionAutomatic, distance);
}

Ref<AWAttachedWindow> AWAttachedWindow::initWithView(const Ref<NSView>& view, NSPoint point,
                                                     const Ref<NSWindow>& window)
{
    return initWithView(view, point, window, AWPositionAutomatic, 0);
}

Ref<AWAttachedWindow> AWAttachedWindow::initWithView(const Ref<NSView>& view, NSPoint point, int side)
{
    return initWithView(view, point, nullptr, side, 0);
}

Ref<AWAttachedWindow> AWAttachedWindow::initWithView(const Ref<NSView>& view, NSPoint point)
{
    return initWithView(view, point, nullptr, AWPositionAutomatic, 0);
}

// --- Geometry ---

float AWAttachedWindow::scaleFactor()
{
    auto screen = NSScreen::mainScreen();
    return screen ? float(screen->userSpaceScaleFactor()) : 1.0f;
}

NSPoint AWAttachedWindow::pointOnScreen() const
{
    auto w = m_window.get();
    return w ? w->convertBaseToScreen(m_point) : m_point;
}

NSSize AWAttachedWindow::viewSize() const
{
    auto v = m_view.get();
    return v ? v->frame().size : m_viewFrame.size;
}

float AWAttachedWindow::arrowInset() const
{
    return scaleFactor() * (m_arrowBaseWidth * 0.5f + (m_drawsRoundCornerBesideArrow ? m_cornerRadius : 0.0f));
}

int AWAttachedWindow::bestSideForAutomaticPosition() const
{
    const float s = scaleFactor();
    auto w = m_window.get();
    Ref<NSScreen> screen = w ? w->screen() : nullptr;
    if (!screen) screen = NSScreen::mainScreen();
    const NSRect S = screen ? screen->visibleFrame() : NSZeroRect;
    const NSPoint P = pointOnScreen();
    const NSSize size = viewSize();
    const double VW = size.width + 2 * m_viewMargin * s, VH = size.height + 2 * m_viewMargin * s;
    const double A = m_distance + m_arrowHeight * s;

    int side = AWPositionBottom;
    if (P.y - VH - A >= NSMinY(S)) side = AWPositionBottom;
    else if (P.x + VW + A < NSMaxX(S)) side = AWPositionRight;
    else if (P.x - VW - A >= NSMinX(S)) side = AWPositionLeft;
    else if (P.y + VH + A < NSMaxY(S)) side = AWPositionTop;

    const NSRect F = w ? w->frame() : S;
    const double i = arrowInset();
    if (side == AWPositionLeft || side == AWPositionRight) {
        const bool right = side == AWPositionRight;
        if (NSMinY(F) > P.y - VH / 2 && NSMaxY(S) > P.y + VH - i) return right ? AWPositionRightTop : AWPositionLeftTop;
        if (P.y + VH / 2 >= NSMaxY(F) && P.y - VH + i >= NSMinY(S))
            return right ? AWPositionRightBottom : AWPositionLeftBottom;
    } else {
        const bool below = side == AWPositionBottom;
        if (NSMinX(F) > P.x - VW / 2 && NSMaxX(S) > P.x + VW - i)
            return below ? AWPositionBottomRight : AWPositionTopRight;
        if (P.x + VW / 2 >= NSMaxX(F) && P.x - VW + i >= NSMinX(S))
            return below ? AWPositionBottomLeft : AWPositionTopLeft;
    }
    return side;
}

void AWAttachedWindow::updateGeometry()
{
    const float s = scaleFactor();
    const double m = m_viewMargin * s, h = m_arrowHeight * s;
    const NSSize size = viewSize();
    m_viewFrame = NSMakeRect(m, m, size.width, size.height);
    double W = size.width + 2 * m, H = size.height + 2 * m;
    switch (edgeOfSide(m_side)) {
    case RightEdge: W += h; break;
    case LeftEdge:
        W += h;
        m_viewFrame.origin.x += h;
        break;
    case TopEdge: H += h; break;
    case BottomEdge:
        H += h;
        m_viewFrame.origin.y += h;
        break;
    }

    const NSPoint P = pointOnScreen();
    const double i = arrowInset(), d = m_distance;
    NSPoint o;
    switch (m_side) {
    case AWPositionLeft: o = NSMakePoint(P.x - W - d, P.y - H / 2); break;
    case AWPositionBottom: o = NSMakePoint(P.x - W / 2, P.y - H - d); break;
    case AWPositionRight: o = NSMakePoint(P.x + d, P.y - H / 2); break;
    case AWPositionTop: o = NSMakePoint(P.x - W / 2, P.y + d); break;
    case AWPositionLeftTop: o = NSMakePoint(P.x - W - d, P.y - i); break;
    case AWPositionLeftBottom: o = NSMakePoint(P.x - W - d, P.y - (H - i)); break;
    case AWPositionRightTop: o = NSMakePoint(P.x + d, P.y - i); break;
    case AWPositionRightBottom: o = NSMakePoint(P.x + d, P.y - (H - i)); break;
    case AWPositionTopLeft: o = NSMakePoint(P.x - (W - i), P.y + d); break;
    case AWPositionTopRight: o = NSMakePoint(P.x - i, P.y + d); break;
    case AWPositionBottomLeft: o = NSMakePoint(P.x - (W - i), P.y - H - d); break;
    default: o = NSMakePoint(P.x - i, P.y - H - d); break;  // bottom right
    }
    setFrame(NSMakeRect(o.x, o.y, W, H), false);
    if (auto v = m_view.get()) v->setFrame(m_viewFrame);
}

NSPoint AWAttachedWindow::arrowTipOnScreen() const
{
    const NSPoint P = pointOnScreen();
    const double d = m_distance;
    switch (edgeOfSide(m_side)) {
    case TopEdge: return NSMakePoint(P.x, P.y - d);
    case RightEdge: return NSMakePoint(P.x - d, P.y);
    case BottomEdge: return NSMakePoint(P.x, P.y + d);
    default: return NSMakePoint(P.x + d, P.y);
    }
}

// --- The panel's shape ---

void AWAttachedWindow::appendArrowToPath(const Ref<NSBezierPath>& path, int edge) const
{
    if (!m_hasArrow) return;
    const float s = scaleFactor();
    const double b = m_arrowBaseWidth * s, h = m_arrowHeight * s;
    const NSPoint p = path->currentPoint();
    switch (edge) {
    case TopEdge:
        path->lineToPoint(NSMakePoint(p.x + b / 2, p.y + h));
        path->lineToPoint(NSMakePoint(p.x + b, p.y));
        break;
    case RightEdge:
        path->lineToPoint(NSMakePoint(p.x + h, p.y - b / 2));
        path->lineToPoint(NSMakePoint(p.x, p.y - b));
        break;
    case BottomEdge:
        path->lineToPoint(NSMakePoint(p.x - b / 2, p.y - h));
        path->lineToPoint(NSMakePoint(p.x - b, p.y));
        break;
    default:
        path->lineToPoint(NSMakePoint(p.x - h, p.y + b / 2));
        path->lineToPoint(NSMakePoint(p.x, p.y + b));
        break;
    }
}

Ref<NSBezierPath> AWAttachedWindow::backgroundPath() const
{
    const float s = scaleFactor();
    const double m = m_viewMargin * s;
    const NSRect c = NSInsetRect(m_viewFrame, -m, -m);
    const double r = m_cornerRadius * s, b = m_arrowBaseWidth * s;
    const double minX = NSMinX(c), maxX = NSMaxX(c), minY = NSMinY(c), maxY = NSMaxY(c);
    const double midX = NSMidX(c), midY = NSMidY(c);
    const bool square = !m_drawsRoundCornerBesideArrow;
    auto radius = [&](bool squareHere) { return r <= 0 || squareHere ? 0.0 : r; };
    const double rTL = radius(square && (m_side == AWPositionRightBottom || m_side == AWPositionBottomRight));
    const double rTR = radius(square && (m_side == AWPositionLeftBottom || m_side == AWPositionBottomLeft));
    const double rBR = radius(square && (m_side == AWPositionLeftTop || m_side == AWPositionTopLeft));
    const double rBL = radius(square && (m_side == AWPositionRightTop || m_side == AWPositionTopRight));
    const int edge = edgeOfSide(m_side);

    auto path = NSBezierPath::bezierPath();
    path->setLineJoinStyle(NSRoundLineJoinStyle);
    auto corner = [&](NSPoint at, NSPoint towards, double rad) {
        if (rad > 0) path->appendBezierPathWithArcFromPoint(at, towards, rad);
        else path->lineToPoint(at);
    };
    auto arrowAt = [&](NSPoint start) {
        path->lineToPoint(start);
        appendArrowToPath(path, edge);
    };

    path->moveToPoint(NSMakePoint(minX + rTL, maxY));
    if (edge == TopEdge) {
        if (m_side == AWPositionBottom) arrowAt(NSMakePoint(midX - b / 2, maxY));
        else if (m_side == AWPositionBottomRight) arrowAt(NSMakePoint(minX + rTL, maxY));
        else arrowAt(NSMakePoint(maxX - rTR - b, maxY));
    }
    corner(NSMakePoint(maxX, maxY), NSMakePoint(maxX, minY), rTR);
    if (edge == RightEdge) {
        if (m_side == AWPositionLeft) arrowAt(NSMakePoint(maxX, midY + b / 2));
        else if (m_side == AWPositionLeftBottom) arrowAt(NSMakePoint(maxX, maxY - rTR));
        else arrowAt(NSMakePoint(maxX, minY + rBR + b));
    }
    corner(NSMakePoint(maxX, minY), NSMakePoint(minX, minY), rBR);
    if (edge == BottomEdge) {
        if (m_side == AWPositionTop) arrowAt(NSMakePoint(midX + b / 2, minY));
        else if (m_side == AWPositionTopLeft) arrowAt(NSMakePoint(maxX - rBR, minY));
        else arrowAt(NSMakePoint(minX + rBL + b, minY));
    }
    corner(NSMakePoint(minX, minY), NSMakePoint(minX, maxY), rBL);
    if (edge == LeftEdge) {
        if (m_side == AWPositionRight) arrowAt(NSMakePoint(minX, midY - b / 2));
        else if (m_side == AWPositionRightTop) arrowAt(NSMakePoint(minX, minY + rBL));
        else arrowAt(NSMakePoint(minX, maxY - rTL - b));
    }
    corner(NSMakePoint(minX, maxY), NSMakePoint(maxX, maxY), rTL);
    path->closePath();
    return path;
}

// --- Background ---

void AWAttachedWindow::updateBackground()
{
    const NSSize size = frame().size;
    auto image = NSImage::initWithSize(size);
    image->lockFocus();
    auto path = backgroundPath();
    NSGraphicsContext::saveGraphicsState();
    path->addClip();
    if (m_MABackgroundColor) m_MABackgroundColor->setFill();
    path->fill();
    if (m_borderWidth > 0 && m_borderColor) {
        // Half of the stroke falls outside the clip.
        path->setLineWidth(m_borderWidth * 2 * scaleFactor());
        m_borderColor->setStroke();
        path->stroke();
    }
    NSGraphicsContext::restoreGraphicsState();
    image->unlockFocus();

    NSDisableScreenUpdates();
    NSWindow::setBackgroundColor(NSColor::colorWithPatternImage(image));
    if (isVisible()) {
        display();
        invalidateShadow();
    }
    NSEnableScreenUpdates();
}

void AWAttachedWindow::redisplay()
{
    if (m_resizing) return;
    m_resizing = true;
    NSDisableScreenUpdates();
    updateGeometry();
    updateBackground();
    NSEnableScreenUpdates();
    m_resizing = false;
}

void AWAttachedWindow::windowDidResize(const Ref<NSNotification>&) { redisplay(); }

// --- Appearance ---

void AWAttachedWindow::setBackgroundColor(const Ref<NSColor>& color)
{
    if (color.get() == m_MABackgroundColor.get()) return;
    m_MABackgroundColor = copied(color);
    updateBackground();
}

void AWAttachedWindow::setBackgroundImage(const Ref<NSImage>& image)
{
    if (!image) return;
    setBackgroundColor(NSColor::colorWithPatternImage(image));
}

void AWAttachedWindow::setBorderColor(const Ref<NSColor>& color)
{
    if (color.get() == m_borderColor.get()) return;
    m_borderColor = copied(color);
    updateBackground();
}

void AWAttachedWindow::setBorderWidth(float width)
{
    if (width == m_borderWidth) return;
    m_borderWidth = std::clamp(width, 0.0f, m_viewMargin);
    updateBackground();
}

void AWAttachedWindow::setViewMargin(float margin)
{
    if (margin == m_viewMargin) return;
    m_viewMargin = std::max(margin, 0.0f);
    setCornerRadius(m_cornerRadius);
}

void AWAttachedWindow::setCornerRadius(float radius)
{
    const NSSize size = viewSize();
    const float limit = float((2 * m_viewMargin + std::min(size.width, size.height) - m_arrowBaseWidth) * 0.5);
    m_cornerRadius = std::clamp(radius, 0.0f, std::max(limit, 0.0f));
    setArrowBaseWidth(m_arrowBaseWidth);
}

void AWAttachedWindow::setArrowBaseWidth(float width)
{
    const NSSize size = viewSize();
    float limit = float(2 * m_viewMargin + std::min(size.width, size.height) - m_cornerRadius);
    if (m_drawsRoundCornerBesideArrow) limit -= m_cornerRadius;
    m_arrowBaseWidth = std::clamp(width, 0.0f, std::max(limit, 0.0f));
    redisplay();
}

void AWAttachedWindow::setArrowHeight(float height)
{
    if (height == m_arrowHeight) return;
    m_arrowHeight = height;
    redisplay();
}

void AWAttachedWindow::setHasArrow(float flag)
{
    const bool value = flag != 0;
    if (value == m_hasArrow) return;
    m_hasArrow = value;
    updateBackground();
}

void AWAttachedWindow::setDrawsRoundCornerBesideArrow(float flag)
{
    const bool value = flag != 0;
    if (value == m_drawsRoundCornerBesideArrow) return;
    m_drawsRoundCornerBesideArrow = value;
    redisplay();
}

// --- Window behaviour ---

void AWAttachedWindow::performClose(const Id& sender)
{
    if (auto w = m_window.get()) return w->performClose(sender);
    NSWindow::performClose(sender);
}

std::optional<bool> AWAttachedWindow::validateMenuItem(const Ref<NSMenuItem>& item)
{
    auto w = m_window.get();
    if (!w) return std::nullopt;
    if (auto v = dynamic_cast<NSMenuItemValidation*>(w.get())) return v->validateMenuItem(item);
    return std::nullopt;
}
