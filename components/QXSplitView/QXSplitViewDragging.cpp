// Dragging dividers: room moves from the panes on one side to those on the
// other, a pane dragged below its limit collapses and a collapsed one dragged
// out opens; the window may grow or shrink instead of the opposite pane; the
// crossing dividers of coupled nested split views follow the parent's.
// Double-clicks collapse or reopen a pane. Cursors over the dividers.
#include <array>
#include <cmath>

#include "AppKit/NSScreen.h"
#include "AppKit/NSScrollView.h"
#include "AppKit/NSWindow.h"
#include "QXSplitView/QXSplitAxis.h"
#include "QXSplitView/QXSplitView.h"

using namespace QXSplitAxis;

namespace {

// The replacements set with setCursor:toCursor:, for the whole process.
std::array<Ref<NSCursor>, 4>& replacementCursors()
{
    static auto* cursors = new std::array<Ref<NSCursor>, 4>();
    return *cursors;
}

constexpr double kNoLimit = 1000000.0;

}

// --- Cursors ---

Ref<NSCursor> QXSplitView::cursor(int32_t kind)
{
    if (kind < 0 || kind > 3) return NSCursor::currentCursor();
    if (auto replacement = replacementCursors()[size_t(kind)]) return replacement;
    switch (kind) {
    case QXSplitViewHorizontalDividerCursor: return NSCursor::resizeUpDownCursor();
    case QXSplitViewVerticalDividerCursor: return NSCursor::resizeLeftRightCursor();
    case QXSplitViewCrossingCursor: return NSCursor::openHandCursor();
    default: return NSCursor::closedHandCursor();
    }
}

void QXSplitView::setCursor(int32_t kind, const Ref<NSCursor>& cursor)
{
    if (kind < 0 || kind > 3) return;
    replacementCursors()[size_t(kind)] = cursor;
}

void QXSplitView::resetCursorRects()
{
    if (m_dividers.empty()) return;
    auto* delegate = delegateProtocol();
    auto visible = QX___subviews();
    if (visible.size() < 2 || !divider()) {
        if (delegate) delegate->splitViewCursorRectForDivider(this, NSZeroRect, 0);
        return;
    }
    auto dividerCursor = cursor(isVertical() ? QXSplitViewVerticalDividerCursor : QXSplitViewHorizontalDividerCursor);
    const double t = dividerThickness();
    for (size_t i = 0; i < m_dividers.size() && i + 1 < visible.size(); ++i) {
        for (auto& neighbour : {visible[i], visible[i + 1]})
            if (auto nested = neighbour->coupledSplitView()) nested->QX___addCursorRectsTo(this, m_dividers[i], t);
        NSRect r = m_dividers[i];
        if (delegate)
            if (auto answer = delegate->splitViewCursorRectForDivider(this, r, i)) r = *answer;
        if (!NSIsEmptyRect(r)) addCursorRect(r, dividerCursor);
    }
}

void QXSplitView::QX___addCursorRectsTo(NSView* parent, const NSRect& dividerRect, double thickness)
{
    if (m_dividers.empty() || !divider() || QX___numberOfSubviews() < 2) return;
    const bool horizontal = isHorizontal();
    auto crossingCursor = cursor(QXSplitViewCrossingCursor);
    for (const NSRect& own : m_dividers) {
        const NSRect r = NSIntersectionRect(
            widenedAcross(convertRectToView(own, Ref<NSView>(parent)), horizontal, thickness), dividerRect);
        if (!NSIsEmptyRect(r)) parent->addCursorRect(r, crossingCursor);
    }
}

NSUInteger QXSplitView::QX___dividerHitBy(NSPoint point, const Ref<NSView>& view, double thickness) const
{
    if (m_dividers.empty() || QX___numberOfSubviews() < 2) return NSNotFound;
    const NSPoint p = view.get() == this ? point : convertPointFromView(point, view);
    const bool horizontal = isHorizontal();
    for (size_t i = 0; i < m_dividers.size(); ++i)
        if (mouse(p, widenedAcross(m_dividers[i], horizontal, thickness))) return i;
    return NSNotFound;
}

// --- Mouse-down in a divider ---

void QXSplitView::mouseDown(const Ref<NSEvent>& event)
{
    auto visible = QX___subviews();
    if (m_dividers.empty() || visible.size() < 2) return;
    if ((splitView() && QX___actDivider() != NSNotFound) || !divider()) return QXSplitSubview::mouseDown(event);
    const NSPoint p = convertPointFromView(event->locationInWindow(), nullptr);
    for (size_t i = 0; i < m_dividers.size() && i + 1 < visible.size(); ++i) {
        if (!mouse(p, m_dividers[i])) continue;
        if (auto* delegate = delegateProtocol())
            if (auto handle = delegate->splitViewShouldHandleEventInDividerBetweenViewAndView(
                    this, event, i, visible[i].get(), visible[i + 1].get());
                handle && !*handle)
                return;
        if (event->clickCount() < 2) dragDivider(event, i);
        else toggleCollapse(i);
        return;
    }
}

void QXSplitView::adjustAndDisplayAfterMove()
{
    Ref<QXSplitView> target = splitView();
    if (!target) target = Ref<QXSplitView>(this);
    target->adjustSubviews();
    QXSplitSubview::display();
}

void QXSplitView::dragDivider(const Ref<NSEvent>& event, NSUInteger index)
{
    Ref<QXSplitView> self(this);
    const bool horizontal = isHorizontal();
    const double t = dividerThickness();
    NSPoint location = convertPointFromView(event->locationInWindow(), nullptr);
    const double grip = along(location, horizontal) - QX___dividerOrigin(index);
    struct Crossing {
        Ref<QXSplitView> view;
        NSUInteger divider;
        double grip;
        NSPoint location;
    };
    std::vector<Crossing> crossings;
    auto visible = QX___subviews();
    for (auto& neighbour : {visible[index], visible[index + 1]}) {
        auto nested = neighbour->coupledSplitView();
        if (!nested) continue;
        const NSUInteger hit = nested->QX___dividerHitBy(location, self, t);
        if (hit == NSNotFound) continue;
        const NSRect r = nested->QX___dividerRect(hit, self);
        crossings.push_back({nested, hit, across(location, horizontal) - across(r.origin, horizontal), location});
    }
    cursor(QXSplitViewDraggingCursor)->push();
    QX___setDragging(true);
    auto finish = [&] {
        QX___setDragging(false);
        NSCursor::pop();
    };
    try {
        trackMouse([&](const Ref<NSEvent>& e) {
            QX___trackMouseEvent(e, location, NSZeroPoint, index);
            bool moved = mustAdjust();
            for (auto& c : crossings) {
                c.view->QX___trackMouseEvent(e, c.view->convertPointFromView(c.location, self), NSZeroPoint, c.divider);
                moved = moved || c.view->mustAdjust();
            }
            if (!moved) return;
            adjustAndDisplayAfterMove();
            setAlong(location, horizontal, QX___dividerOrigin(index) + grip);
            for (auto& c : crossings)
                if (!c.view->isCollapsed())
                    setAcross(c.location, horizontal,
                              across(c.view->QX___dividerRect(c.divider, self).origin, horizontal) + c.grip);
        });
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

// --- One drag step ---

void QXSplitView::QX___trackMouseEvent(const Ref<NSEvent>& event, NSPoint start, NSPoint base, NSUInteger divider)
{
    auto visible = QX___subviews();
    // Only dividers between visible panes can move.
    if (divider == NSNotFound || divider + 1 >= visible.size()) return;
    const bool horizontal = isHorizontal();
    const NSPoint p = convertPointFromView(event->locationInWindow(), nullptr);
    const double delta = along(p, horizontal) - along(start, horizontal) - along(base, horizontal);
    QXSplitSubview* leading = visible[divider].get();
    QXSplitSubview* trailing = visible[divider + 1].get();
    if (delta < 0) {
        QXSplitSubview* shrinking = leading;
        if (!leading->canShrink())
            for (NSUInteger j = divider; j-- > 0;)
                if (visible[j]->canShrink()) {
                    shrinking = visible[j].get();
                    break;
                }
        QXSplitSubview* growing = m_isInScrollView ? nullptr : trailing;
        if (growing && growing->isCollapsed()) QX___tryToExpandTrailing(growing, shrinking, delta);
        else QX___tryToShortenLeading(shrinking, divider, growing, delta, true);
    } else if (delta > 0) {
        QXSplitSubview* shrinking = nullptr;
        if (!m_isInScrollView) {
            shrinking = trailing;
            if (!trailing->canShrink())
                for (NSUInteger j = divider + 2; j < visible.size(); ++j)
                    if (visible[j]->canShrink()) {
                        shrinking = visible[j].get();
                        break;
                    }
        }
        if (leading->isCollapsed()) QX___tryToExpandLeading(leading, divider, shrinking, delta);
        else QX___tryToShortenTrailing(shrinking, divider, leading, delta, true);
    }
}

// --- The window instead of a pane ---

struct QXSplitView::WindowRoom {
    double grow = 0;
    double shrink = 0;
};

bool QXSplitView::QX___shouldResizeWindowForDivider(NSUInteger divider, QXSplitSubview* leading,
                                                    QXSplitSubview* trailing, bool willGrow)
{
    if (m_isInScrollView) return false;
    auto* delegate = delegateProtocol();
    if (!delegate) return false;
    return delegate
        ->splitViewShouldResizeWindowForDividerBetweenViewAndViewWillGrow(this, divider, leading, trailing, willGrow)
        .value_or(false);
}

QXSplitView::WindowRoom QXSplitView::windowRoom() const
{
    const bool horizontal = isHorizontal();
    WindowRoom room;
    NSRect f;
    NSSize minimum, maximum;
    double free = 0;
    auto scrollView = enclosingScrollView();
    auto document = scrollView ? scrollView->documentView() : nullptr;
    if (document) {
        f = document->frame();
        minimum = NSMakeSize(0, 0);
        maximum = NSMakeSize(kNoLimit, kNoLimit);
        free = horizontal ? f.origin.y : kNoLimit - NSMaxX(f);
    } else if (auto window = this->window()) {
        f = window->frame();
        minimum = window->minSize();
        maximum = window->maxSize();
        auto screen = NSScreen::mainScreen();
        const NSRect visible = screen ? screen->visibleFrame() : f;
        free = horizontal ? f.origin.y - visible.origin.y : NSMaxX(visible) - NSMaxX(f);
    } else {
        return room;
    }
    room.grow = std::min(along(maximum, horizontal) - along(f.size, horizontal), std::max(0.0, free));
    room.shrink = along(f.size, horizontal) - along(minimum, horizontal);
    return room;
}

void QXSplitView::resizeWindowBy(double change)
{
    if (change == 0) return;
    const bool horizontal = isHorizontal();
    auto grow = [&](NSRect f) {
        setAlong(f.size, horizontal, along(f.size, horizontal) + change);
        // The top edge stays where it is.
        if (horizontal) f.origin.y -= change;
        return f;
    };
    auto scrollView = enclosingScrollView();
    if (auto document = scrollView ? scrollView->documentView() : nullptr) {
        document->setFrame(grow(document->frame()));
        document->setNeedsDisplay(true);
    } else if (auto window = this->window()) {
        window->setFrame(grow(window->frame()), true);
    }
    setMustAdjust();
}

// --- The four moves ---

void QXSplitView::QX___tryToShortenLeading(QXSplitSubview* leading, NSUInteger divider, QXSplitSubview* trailing,
                                           double delta, bool always)
{
    const bool window = QX___shouldResizeWindowForDivider(divider, leading, trailing, false);
    const double room = window     ? windowRoom().shrink
                        : trailing ? trailing->maxDimension() - trailing->dimension()
                                   : kNoLimit;
    if (-delta > room) {
        if (!always) return;
        delta = -room;
    }
    if (!always && leading->dimension() > room) return;
    const double made = leading->changeDimensionBy(delta, leading->dimension() <= room, false);
    if (window) resizeWindowBy(made);
    else if (trailing) trailing->changeDimensionBy(-made, false, true);
}

void QXSplitView::QX___tryToShortenTrailing(QXSplitSubview* trailing, NSUInteger divider, QXSplitSubview* leading,
                                            double delta, bool always)
{
    const bool window = QX___shouldResizeWindowForDivider(divider, leading, trailing, true);
    const double room = window ? windowRoom().grow : leading->maxDimension() - leading->dimension();
    if (room < delta) {
        if (!always) return;
        delta = room;
    }
    if (window) {
        resizeWindowBy(leading->changeDimensionBy(delta, false, false));
        return;
    }
    const double d = trailing ? trailing->dimension() : kNoLimit;
    if (!always && d > room) return;
    if (!trailing) {
        leading->changeDimensionBy(delta, false, false);
        return;
    }
    const double made = trailing->changeDimensionBy(-delta, d <= room, true);
    leading->changeDimensionBy(-made, false, false);
}

void QXSplitView::QX___tryToExpandLeading(QXSplitSubview* leading, NSUInteger divider, QXSplitSubview* trailing,
                                          double delta)
{
    const bool window = QX___shouldResizeWindowForDivider(divider, leading, trailing, true);
    const double room = window ? windowRoom().grow : trailing ? trailing->dimension() : kNoLimit;
    if (leading->minDimension() > room) return;
    if (!window && trailing && leading->minDimension() + trailing->minDimension() > trailing->dimension()) {
        // The trailing pane gives way only by collapsing.
        if (delta > 0.55 * trailing->dimension() && trailing->canCollapse() &&
            trailing->dimension() >= leading->maxDimension())
            leading->changeDimensionBy(-trailing->collapse(), false, false);
        return;
    }
    const double made = leading->changeDimensionBy(delta, false, false);
    if (window) resizeWindowBy(made);
    else if (trailing) trailing->changeDimensionBy(-made, false, true);
}

void QXSplitView::QX___tryToExpandTrailing(QXSplitSubview* trailing, QXSplitSubview* leading, double delta)
{
    const double trailingMinimum = trailing ? trailing->minDimension() : 0;
    if (leading->dimension() < trailingMinimum) return;
    if (leading->dimension() >= trailingMinimum + leading->minDimension()) {
        if (!trailing) {
            leading->changeDimensionBy(delta, false, false);
            return;
        }
        const double made = trailing->changeDimensionBy(-delta, false, true);
        leading->changeDimensionBy(-made, false, false);
        return;
    }
    // The leading pane gives way only by collapsing.
    const double trailingMaximum = trailing ? trailing->maxDimension() : 0;
    if (leading->canCollapse() && -delta > 0.55 * leading->dimension() && leading->dimension() >= trailingMaximum) {
        const double given = -leading->collapse();
        if (trailing) trailing->changeDimensionBy(given, false, true);
    }
}

// --- Double-click: collapse or reopen ---

void QXSplitView::toggleCollapse(NSUInteger divider)
{
    Ref<QXSplitView> self(this);
    auto visible = QX___subviews();
    QXSplitSubview* leading = visible[divider].get();
    QXSplitSubview* trailing = visible[divider + 1].get();
    if (trailing->isCollapsed()) {
        if (!leading->isCollapsed()) QX___tryToExpandTrailing(trailing, leading, -trailing->dimension());
    } else if (leading->isCollapsed()) {
        QX___tryToExpandLeading(leading, divider, trailing, leading->dimension());
    } else {
        bool l = leading->canCollapse(), r = trailing->canCollapse();
        if (l && r) {
            auto* delegate = delegateProtocol();
            if (auto pick =
                    delegate ? delegate->splitViewCollapseLeadingOrTrailing(this, leading, trailing) : std::nullopt) {
                l = *pick == leading;
                r = *pick == trailing;
            } else {
                l = leading->dimension() < trailing->dimension();
            }
        }
        if (l) QX___tryToShortenLeading(leading, divider, trailing, -leading->dimension(), false);
        if (r && !mustAdjust()) QX___tryToShortenTrailing(trailing, divider, leading, trailing->dimension(), false);
    }
    if (!mustAdjust()) return;
    QX___setMustClearFractions();
    adjustAndDisplayAfterMove();
}
