// The layout pass: shares the split view's length among its visible panes in
// proportion to their exact shares, within their limits, collapsing panes
// that may collapse when the rest does not fit, then places panes and
// dividers from the top or the left.
#include <cmath>
#include <limits>
#include <new>

#include "AppKit/NSWindow.h"
#include "QXSplitView/QXSplitAxis.h"
#include "QXSplitView/QXSplitView.h"

using namespace QXSplitAxis;

namespace {

bool isAnimated(const subviewCache& entry) { return entry.subview->status() < 0; }

// One sharing of the length to share among the expanded entries; answers the
// new total (dimensions plus fractions).
double share(std::vector<subviewCache>& cache, double length, double total, const QXSplitSubview* excepted)
{
    double avail = length;
    double ratio = avail / total;
    for (;;) {
        double flexible = 0, newTotal = 0;
        bool newlyFixed = false;
        for (auto& e : cache) {
            if (!(e.dimension > 0)) continue;
            auto fix = [&](double value) {
                e.fixed = true;
                e.fraction = 0;
                e.dimension = value;
                avail -= value;
                newlyFixed = true;
            };
            if (e.fixed) {
            } else if (isAnimated(e)) {
                fix(e.dimension);
            } else if (e.subview == excepted && excepted->dimension() > 0) {
                fix(excepted->dimension());
            } else {
                const double s = (e.dimension + e.fraction) * ratio;
                if (s < e.subview->minDimension()) {
                    fix(e.subview->minDimension());
                } else if (s > e.subview->maxDimension()) {
                    fix(e.subview->maxDimension());
                } else {
                    // Whole points; exactly x.5 rounds down.
                    const double r = std::fmod(s, 1.0);
                    e.dimension = s - r + (r > 0.5 ? 1 : 0);
                    e.fraction = r > 0.5 ? r - 1 : r;
                    flexible += e.dimension;
                }
            }
            newTotal += e.dimension + e.fraction;
        }
        if (!newlyFixed || !(flexible > 0)) return newTotal;
        ratio = avail / flexible;
    }
}

}

void QXSplitView::QX___adjustSubviewsExcepting(QXSplitSubview* excepted)
{
    m_mustAdjust = false;
    auto visible = QX___subviews();
    const size_t n = visible.size();
    NSRect b = bounds();
    if (n == 0 || b.size.width < 1 || b.size.height < 1 || m_isAdjusting) return;
    Ref<QXSplitView> self(this);
    m_isAdjusting = true;
    auto* delegate = delegateProtocol();
    if (delegate) {
        delegate->willAdjustSubviews(this);
        b = bounds();
    }
    try {
        m_dividers.resize(n - 1);
    } catch (const std::bad_alloc&) {
        // Without a divider store there is no layout, but later passes may
        // still run.
        m_isAdjusting = false;
        return;
    }

    std::vector<subviewCache> cache(n);
    for (size_t i = 0; i < n; ++i) visible[i]->QX___copyIntoCache(cache[i]);
    const bool horizontal = isHorizontal();
    double length = along(b.size, horizontal);
    const double t = dividerThickness();
    const double dividers = double(n - 1) * t;
    const double toShare = length - dividers;

    const int cycles = excepted ? 6 : 3;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        const QXSplitSubview* fixedPane = cycle < 3 ? excepted : nullptr;
        for (auto& e : cache) e.fixed = false;
        double total = 0;
        bool anyExpanded = false;
        size_t k = 0;
        double smallestMinimum = std::numeric_limits<double>::infinity();
        for (size_t i = 0; i < n; ++i) {
            auto& e = cache[i];
            if (e.dimension > 0) {
                anyExpanded = true;
                total += e.dimension + (m_isInScrollView ? 0 : e.fraction);
            } else if (e.subview->minDimension() < smallestMinimum) {
                smallestMinimum = e.subview->minDimension();
                k = i;
            }
        }
        if (!anyExpanded) {
            cache[k].dimension = cache[k].subview->minDimension();
            cache[k].fraction = 0;
            total += cache[k].dimension;
        }
        if (m_isInScrollView) {
            // The panes keep their sizes and the view's length follows them,
            // dividers included.
            length = total + dividers;
            break;
        }
        if (total < 1) {
            cache[k].dimension = toShare;
            cache[k].fraction = 0;
            total = toShare;
        }
        double newTotal = share(cache, toShare, total, fixedPane);
        const double d = newTotal - toShare;
        if (d > -1 && d < 1) break;
        if (d >= 1) {
            // Too long: collapse fixed panes that may, in order.
            for (auto& e : cache) {
                if (!e.fixed || e.subview == fixedPane || isAnimated(e) || !e.subview->canCollapse()) continue;
                newTotal -= e.dimension;
                if (newTotal < 1) break;
                e.dimension = 0;
                if (newTotal - toShare < 1) break;
            }
        } else {
            // Too short: open collapsed panes at their minimum, in order.
            for (auto& e : cache) {
                if (e.dimension > 0) continue;
                e.dimension = e.subview->minDimension();
                e.fraction = 0;
                newTotal += e.dimension;
                if (newTotal - toShare > -1) break;
            }
        }
    }

    // Placement.
    double origin = 0;
    ptrdiff_t lastVisible = -1;
    for (size_t i = 0; i < n; ++i) {
        auto& e = cache[i];
        NSRect rect = NSZeroRect;
        setAlong(rect.origin, horizontal, origin);
        setAcross(rect.size, horizontal, across(b.size, horizontal));
        setAlong(rect.size, horizontal, e.dimension);
        e.rect = rect;
        if (e.dimension > 0 && m_mustClearFractions) e.fraction = 0;
        e.subview->QX___updateFromCache(e, toShare);
        origin += e.dimension;
        if (e.dimension > 0) lastVisible = ptrdiff_t(i);
        if (i + 1 < n) {
            NSRect divider = NSZeroRect;
            setAlong(divider.origin, horizontal, origin);
            setAlong(divider.size, horizontal, t);
            setAcross(divider.size, horizontal, across(b.size, horizontal));
            m_dividers[i] = divider;
            origin += t;
        }
    }
    const double gap = length - origin;
    if (lastVisible >= 0 && gap != 0) {
        auto* pane = cache[size_t(lastVisible)].subview;
        NSSize size = pane->frame().size;
        setAlong(size, horizontal, along(size, horizontal) + gap);
        pane->QX___setFrameSize(size, pane->QX___fraction() - gap);
        for (size_t j = size_t(lastVisible); j < m_dividers.size(); ++j) {
            NSPoint o = m_dividers[j].origin;
            setAlong(o, horizontal, along(o, horizontal) + gap);
            m_dividers[j].origin = o;
        }
    }
    if (m_isInScrollView) {
        NSSize size = b.size;
        setAlong(size, horizontal, length);
        QXSplitSubview::setFrame({frame().origin, size});
    }
    for (auto& pane : visible)
        if (auto nested = pane->asSplitView(); nested && nested->mustAdjust()) nested->adjustSubviews();

    m_mustAdjust = false;
    m_mustClearFractions = false;
    auto window = this->window();
    if (window) window->invalidateCursorRectsForView(self);
    if (!m_isDragging) saveState(false);
    if (auto coupling = couplingSplitView(); coupling && window) window->invalidateCursorRectsForView(coupling);
    m_isAdjusting = false;
    if (delegate) delegate->didAdjustSubviews(this);
}
