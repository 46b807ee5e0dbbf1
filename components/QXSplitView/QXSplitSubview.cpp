#include "QXSplitView/QXSplitSubview.h"

#include <algorithm>
#include <cmath>

#include "AppKit/NSGraphics.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSClass.h"
#include "QXSplitView/QXSplitAxis.h"
#include "QXSplitView/QXSplitView.h"

NS_CLASS_DEFINE(QXSplitSubview)

using namespace QXSplitAxis;

void QXSplitSubview::describeClass(NSClassMembers<QXSplitSubview>& m)
{
    m.property("identifier", &QXSplitSubview::identifier, &QXSplitSubview::setIdentifier);
    m.property("minDimension", &QXSplitSubview::minDimension);
    m.property("maxDimension", &QXSplitSubview::maxDimension);
    m.property("dimension", &QXSplitSubview::dimension, &QXSplitSubview::setDimension);
    m.action("collapse", &QXSplitSubview::collapse);
    m.action("expand", &QXSplitSubview::expand);
    m.action("QX___stepAnimation", &QXSplitSubview::QX___stepAnimation);
}

void QXSplitSubview::setPaneDefaults(NSSize savedSize)
{
    m_identifier = ""_ns;
    m_tag = 0;
    m_minDimension = 1.0;
    m_maxDimension = QXSplitSubviewDefaultMaxDimension;
    m_fraction = 0.0;
    m_previous = NSZeroRect;
    m_savedSize = savedSize;
    m_actDivider = NSNotFound;
    m_canDragWindow = false;
    m_canCollapse = false;
    m_notInLimits = false;
    m_collapsedByArchive = false;
}

Ref<NSView> QXSplitSubview::initWithFrame(const NSRect& frame)
{
    NSView::initWithFrame(frame);
    setPaneDefaults(frame.size);
    return Ref<NSView>(this);
}

QXSplitSubview::~QXSplitSubview() = default;

// --- Relations ---

Ref<QXSplitView> QXSplitSubview::splitView() const { return dynamic_ref_cast<QXSplitView>(superview()); }

Ref<QXSplitView> QXSplitSubview::couplingSplitView() const { return splitView(); }

Ref<QXSplitView> QXSplitSubview::outermostSplitView() const
{
    Ref<QXSplitView> outermost;
    for (auto sv = splitView(); sv; sv = sv->splitView()) outermost = sv;
    return outermost;
}

bool QXSplitSubview::splitViewIsHorizontal() const
{
    auto sv = splitView();
    return sv && sv->isHorizontal();
}

NSUInteger QXSplitSubview::position() const
{
    auto sv = splitView();
    if (!sv) return 0;
    const auto& all = sv->subviews();
    auto it = std::find(all.begin(), all.end(), Ref<NSView>(const_cast<QXSplitSubview*>(this)));
    return it == all.end() ? 0 : NSUInteger(it - all.begin());
}

void QXSplitSubview::setPosition(NSUInteger position)
{
    auto sv = splitView();
    if (!sv) return;
    Ref<QXSplitSubview> self(this);
    removeFromSuperviewWithoutNeedingDisplay();
    sv->addSubview(self, position);
}

// --- Identity ---

void QXSplitSubview::setIdentifier(const Ref<NSString>& identifier)
{
    m_identifier = identifier ? static_ref_cast<NSString>(identifier->copy()) : ""_ns;
}

Ref<NSString> QXSplitSubview::description() const
{
    auto base = NSView::description();
    if (!m_identifier || m_identifier->length() == 0) return base;
    return NSString::stringWithFormat("%@(%@)", base, m_identifier);
}

// --- Size and limits ---

void QXSplitSubview::setMinDimension(double minDimension, double maxDimension)
{
    m_minDimension = std::isfinite(minDimension) ? std::max(std::floor(minDimension), 1.0) : 1.0;
    m_maxDimension =
        std::isfinite(maxDimension) && maxDimension >= 1 ? std::floor(maxDimension) : QXSplitSubviewDefaultMaxDimension;
    m_maxDimension = std::max(m_maxDimension, m_minDimension);
    const double d = dimension();
    if (auto sv = splitView(); sv && (d < m_minDimension || d > m_maxDimension)) sv->setMustAdjust();
}

double QXSplitSubview::QX___visibleDimension() const
{
    if (m_collapsedByArchive) return 0;
    return std::max(0.0, along(frame().size, splitViewIsHorizontal()));
}

double QXSplitSubview::dimension() const
{
    const double visible = QX___visibleDimension();
    if (visible > 0) return visible;
    auto sv = splitView();
    const double length = sv ? sv->QX___dimensionWithoutDividers() : 0;
    const double share = m_fraction * length;
    if (!std::isfinite(share)) return m_minDimension;
    return std::min(std::max(share, m_minDimension), m_maxDimension);
}

void QXSplitSubview::setDimension(double value)
{
    auto sv = splitView();
    if (!sv || !std::isfinite(value)) return;
    value = std::min(std::max(value, m_minDimension), m_maxDimension);
    if (isCollapsed()) {
        m_fraction = value / sv->QX___dimensionWithoutDividers();
        return;
    }
    NSSize size = frame().size;
    setAlong(size, sv->isHorizontal(), value);
    setFrameSize(size);
    sv->adjustSubviewsExcepting(Ref<QXSplitSubview>(this));
}

double QXSplitSubview::changeDimensionBy(double delta, bool mayCollapse, bool move)
{
    auto sv = splitView();
    if (!sv || !(std::fabs(delta) >= 1)) return 0;
    const bool horizontal = sv->isHorizontal();
    const double old = QX___visibleDimension();
    double now = std::max(old + delta, 0.0);
    if (now < old) {
        if (now < m_minDimension) {
            if (mayCollapse && canCollapse() && now < std::max(0.45 * m_minDimension, 1.0)) return QX___collapse();
            now = m_minDimension;
        }
    } else if (now > old) {
        if (old < 1) {
            if (!(now > 0.55 * m_minDimension)) return 0;
            now = std::max(QX___expandAndSetToMinimum(true), now);
        }
        now = std::min(now, m_maxDimension);
    }
    if (std::trunc(now) == std::trunc(old)) return now - old;
    NSRect f = frame();
    setAlong(f.size, horizontal, now);
    if (move) setAlong(f.origin, horizontal, along(f.origin, horizontal) - (now - old));
    setFrame(f);
    sv->QX___setMustClearFractions();
    sv->setMustAdjust();
    return now - old;
}

// --- States ---

bool QXSplitSubview::canShrink() const
{
    const double visible = QX___visibleDimension();
    return canCollapse() ? visible > 0 : visible > m_minDimension;
}

bool QXSplitSubview::canExpand() const { return QX___visibleDimension() < m_maxDimension; }

bool QXSplitSubview::canCollapse() const
{
    auto sv = splitView();
    if (!sv || sv->QX___numberOfSubviews() < 2) return false;
    if (auto* delegate = sv->delegateProtocol())
        if (auto answer = delegate->splitViewCanCollapse(sv.get(), const_cast<QXSplitSubview*>(this))) return *answer;
    return m_canCollapse;
}

// --- Collapse and expand ---

double QXSplitSubview::collapse() { return QX___collapse(); }

double QXSplitSubview::expand() { return QX___expandAndSetToMinimum(false); }

bool QXSplitSubview::collapseWithAnimation() { return collapseWithAnimation(true, true); }

bool QXSplitSubview::expandWithAnimation() { return expandWithAnimation(true, true); }

double QXSplitSubview::QX___collapse()
{
    auto sv = splitView();
    if (!sv || isCollapsed() || !canCollapse()) return 0;
    QX___clearResponder();
    const double old = QX___visibleDimension();
    NSRect f = frame();
    setAlong(f.size, sv->isHorizontal(), 0);
    QX___finishCollapse(f, old / sv->QX___dimensionWithoutDividers());
    return -old;
}

double QXSplitSubview::QX___expandAndSetToMinimum(bool toMinimum)
{
    auto sv = splitView();
    if (!sv || !isCollapsed()) return 0;
    double size = m_minDimension;
    double answer = m_minDimension;
    if (!toMinimum) {
        const double length = sv->QX___dimensionWithoutDividers();
        const double f = m_fraction;
        // The share of a total that now also holds this pane.
        size = f >= 1 ? std::floor(length * f) : std::floor(length * f / (1 - f));
        answer = std::floor(length * f);
        if (!std::isfinite(size) || size < 0) size = 0;
        if (!std::isfinite(answer)) answer = 0;
    }
    NSRect f = frame();
    setAlong(f.size, sv->isHorizontal(), size);
    QX___finishExpand(f, 0);
    return answer;
}

double QXSplitSubview::QX___setMinAndMaxTo(double value, double* savedMin, double* savedMax)
{
    if (savedMin) *savedMin = m_minDimension;
    if (savedMax) *savedMax = m_maxDimension;
    value = std::min(std::max(value, m_minDimension), m_maxDimension);
    m_minDimension = m_maxDimension = value;
    return value;
}

bool QXSplitSubview::QX___clearResponder()
{
    auto window = this->window();
    if (!window) return false;
    auto responder = dynamic_ref_cast<NSView>(window->firstResponder());
    if (!responder || !responder->isDescendantOf(Ref<NSView>(this))) return false;
    if (!window->makeFirstResponder(nullptr)) return false;
    responder->setNeedsDisplay(true);
    return true;
}

void QXSplitSubview::setHidden(bool hidden)
{
    if (hidden == isHidden()) return;
    NSView::setHidden(hidden);
    auto sv = splitView();
    if (!sv) return;
    if (hidden) sv->adjustSubviews();
    else sv->adjustSubviewsExcepting(Ref<QXSplitSubview>(this));
}

// --- Frames set by the layout pass ---

void QXSplitSubview::setFrame(const NSRect& frame)
{
    if (frame.size != this->frame().size) m_collapsedByArchive = false;
    NSView::setFrame(frame);
}

void QXSplitSubview::QX___copyIntoCache(subviewCache& entry)
{
    entry.rect = frame();
    entry.fraction = m_fraction;
    entry.subview = this;
    entry.dimension = QX___visibleDimension();
    entry.fixed = false;
}

void QXSplitSubview::QX___updateFromCache(const subviewCache& entry, double totalDimension)
{
    const double visible = QX___visibleDimension();
    if (entry.dimension >= 1 && visible < 1) {
        QX___finishExpand(entry.rect, entry.fraction);
    } else if (entry.dimension < 1 && visible >= 1) {
        QX___clearResponder();
        QX___finishCollapse(entry.rect, visible / totalDimension);
    } else {
        QX___setFrame(entry.rect, entry.fraction, true);
    }
}

void QXSplitSubview::QX___setFrame(const NSRect& frame, double fraction, bool notify)
{
    auto sv = splitView();
    if (sv) sv->setMustAdjust();
    m_collapsedByArchive = false;
    setFrame(frame);
    m_fraction = fraction;
    auto* delegate = sv ? sv->delegateProtocol() : nullptr;
    if (notify && delegate && frame != m_previous &&
        delegate->splitViewChangedFrameOfSubviewFromTo(sv.get(), this, m_previous, frame)) {
        m_previous = frame;
        return;
    }
    m_previous = NSZeroRect;
}

void QXSplitSubview::QX___setFrameSize(NSSize size, double fraction)
{
    if (auto sv = splitView()) sv->setMustAdjust();
    setFrameSize(size);
    m_fraction = fraction;
}

void QXSplitSubview::QX___finishCollapse(const NSRect& frame, double fraction)
{
    Ref<QXSplitSubview> self(this);
    const bool stopped = QX___stopAnimation();
    QX___setFrame(frame, fraction, true);
    auto sv = splitView();
    if (sv) sv->QX___setMustClearFractions();
    if (stopped) setNeedsDisplay(true);
    if (auto* delegate = sv ? sv->delegateProtocol() : nullptr) delegate->splitViewDidCollapse(sv.get(), this);
}

void QXSplitSubview::QX___finishExpand(const NSRect& frame, double fraction)
{
    Ref<QXSplitSubview> self(this);
    const bool stopped = QX___stopAnimation();
    QX___setFrame(frame, fraction, true);
    auto sv = splitView();
    if (sv) sv->QX___setMustClearFractions();
    if (stopped) setNeedsDisplay(true);
    if (auto* delegate = sv ? sv->delegateProtocol() : nullptr) delegate->splitViewDidExpand(sv.get(), this);
}

// --- Contents ---

void QXSplitSubview::resizeSubviewsWithOldSize(NSSize oldSize)
{
    auto sv = splitView();
    if (!sv) return;
    const bool horizontal = sv->isHorizontal();
    const NSSize size = frame().size;
    double lower = m_minDimension;
    if (auto* animation = QX___animationData(false, false); animation && !animation->resize)
        lower = animation->dimension;
    const double alongSize = along(size, horizontal), acrossSize = across(size, horizontal);
    const bool inside = alongSize >= lower && alongSize <= m_maxDimension && acrossSize >= sv->minDimension() &&
                        acrossSize <= sv->maxDimension();
    if (!inside) {
        m_notInLimits = true;
        return;
    }
    NSView::resizeSubviewsWithOldSize(m_notInLimits ? m_savedSize : oldSize);
    m_notInLimits = false;
    m_savedSize = size;
}

// --- Drawing ---

bool QXSplitSubview::isOpaque() const
{
    auto coupling = QXSplitSubview::couplingSplitView();
    return coupling && coupling->isOpaque();
}

void QXSplitSubview::drawRect(const NSRect& rect)
{
    auto sv = splitView();
    if (!sv) return;
    if (auto background = sv->background()) {
        background->set();
        NSRectFillUsingOperation(rect, NSCompositingOperationSourceOver);
    }
    if (auto* delegate = sv->delegateProtocol()) delegate->splitViewWillDrawSubviewInRect(sv.get(), this, rect);
}

void QXSplitSubview::display()
{
    auto sv = splitView();
    if (!sv) return;
    if (sv->mustAdjust()) return sv->display();
    NSView::display();
}
