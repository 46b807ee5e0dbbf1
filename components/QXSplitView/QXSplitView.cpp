#include "QXSplitView/QXSplitView.h"

#include <algorithm>
#include <cmath>

#include "AppKit/NSScrollView.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSClass.h"
#include "QXSplitView/QXSplitAxis.h"

NS_CLASS_DEFINE(QXSplitView)

using namespace QXSplitAxis;

void QXSplitView::describeClass(NSClassMembers<QXSplitView>& m)
{
    m.property("isHorizontal", &QXSplitView::isHorizontal, &QXSplitView::setHorizontal);
    m.property("dividerThickness", &QXSplitView::dividerThickness, &QXSplitView::setDividerThickness);
    m.property("background", &QXSplitView::background, &QXSplitView::setBackground);
    m.property("divider", &QXSplitView::divider, &QXSplitView::setDivider);
    m.property("delegate", &QXSplitView::delegate, &QXSplitView::setDelegate);
    m.action("adjustSubviews", &QXSplitView::adjustSubviews);
    m.action("viewDidMoveToSuperview", &QXSplitView::viewDidMoveToSuperview);
    m.action("QX___adjustOutermostIfNeeded", &QXSplitView::QX___adjustOutermostIfNeeded);
}

Ref<NSView> QXSplitView::initWithFrame(const NSRect& frame)
{
    QXSplitSubview::initWithFrame(frame);
    m_dividers.clear();
    m_isCoupled = true;
    m_isDragging = false;
    m_isInScrollView = false;
    m_canSaveState = false;
    m_isHorizontal = false;
    m_divider = nullptr;
    m_autosaveName = ""_ns;
    m_background = nullptr;
    return Ref<NSView>(this);
}

Ref<QXSplitView> QXSplitView::initWithFrame(const NSRect& frame, NSUInteger count)
{
    initWithFrame(frame);
    for (NSUInteger i = 0; i < count; ++i) addSubview(alloc<QXSplitSubview>()->initWithFrame(frame));
    setMustAdjust();
    return Ref<QXSplitView>(this);
}

QXSplitViewDelegate* QXSplitView::delegateProtocol() const
{
    return dynamic_cast<QXSplitViewDelegate*>(m_delegate.get().get());
}

// --- Subviews ---

void QXSplitView::addPane(const Ref<NSView>& view, NSWindowOrderingMode place, const Ref<NSView>& relativeTo)
{
    if (!view) return;
    Ref<NSView> pane = view;
    if (!dynamic_ref_cast<QXSplitSubview>(view)) {
        // Anything else is wrapped in a pane of its frame that it fills.
        const NSRect f = view->frame();
        view->setFrameOrigin(NSZeroPoint);
        pane = alloc<QXSplitSubview>()->initWithFrame(f);
        view->setAutoresizingMask(NSViewWidthSizable | NSViewHeightSizable);
        pane->addSubview(view);
    }
    NSView::addSubview(pane, place, relativeTo);
    setMustAdjust();
}

void QXSplitView::addSubview(const Ref<NSView>& view) { addPane(view, NSWindowAbove, nullptr); }

void QXSplitView::addSubview(const Ref<NSView>& view, NSWindowOrderingMode place, const Ref<NSView>& relativeTo)
{
    addPane(view, place, relativeTo);
}

void QXSplitView::addSubview(const Ref<NSView>& view, NSUInteger position)
{
    const auto& all = subviews();
    if (position < all.size()) addPane(view, NSWindowBelow, all[position]);
    else addPane(view, NSWindowAbove, nullptr);
}

Ref<QXSplitSubview> QXSplitView::subviewAtPosition(NSUInteger position) const
{
    const auto& all = subviews();
    return position < all.size() ? dynamic_ref_cast<QXSplitSubview>(all[position]) : nullptr;
}

Ref<QXSplitSubview> QXSplitView::subviewWithIdentifier(const Ref<NSString>& identifier) const
{
    if (!identifier) return nullptr;
    for (const auto& view : subviews())
        if (auto pane = dynamic_ref_cast<QXSplitSubview>(view); pane && pane->identifier()->isEqual(identifier.get()))
            return pane;
    return nullptr;
}

void QXSplitView::willRemoveSubview(const Ref<NSView>& subview)
{
    if (auto pane = dynamic_ref_cast<QXSplitSubview>(subview)) pane->QX___stopAnimation();
    setMustAdjust();
}

// --- Orientation ---

bool QXSplitView::isHorizontal() const
{
    if (auto parent = splitView()) return parent->isVertical();
    return m_isHorizontal;
}

void QXSplitView::setHorizontal(bool flag)
{
    if (splitView() || flag == m_isHorizontal) return;
    m_isHorizontal = flag;
    auto image = divider();
    m_dividerThickness = image ? (flag ? image->size().height : image->size().width) : 0;
    setMustAdjust();
}

// --- Coupling ---

bool QXSplitView::isCoupled() const { return m_isCoupled && splitView(); }

Ref<QXSplitView> QXSplitView::coupledSplitView() const
{
    return isCoupled() ? Ref<QXSplitView>(const_cast<QXSplitView*>(this)) : nullptr;
}

Ref<QXSplitView> QXSplitView::couplingSplitView() const { return m_isCoupled ? splitView() : nullptr; }

void QXSplitView::setCoupled(bool flag)
{
    if (flag == m_isCoupled) return;
    m_isCoupled = flag;
    if (!flag && !m_divider)
        if (auto parent = splitView()) m_divider = parent->divider();
    setMustAdjust();
}

// --- Look ---

Ref<NSColor> QXSplitView::background() const
{
    if (auto coupling = couplingSplitView()) return coupling->background();
    return m_background;
}

void QXSplitView::setBackground(const Ref<NSColor>& color)
{
    if (isCoupled()) return;
    m_background = color && color->alphaComponent() > 0 ? color : nullptr;
    setNeedsDisplay(true);
}

bool QXSplitView::isOpaque() const
{
    if (auto coupling = couplingSplitView()) return coupling->isOpaque();
    return m_background && m_background->alphaComponent() >= 1;
}

Ref<NSImage> QXSplitView::divider() const
{
    if (auto coupling = couplingSplitView()) return coupling->divider();
    return m_divider;
}

void QXSplitView::setDivider(const Ref<NSImage>& image)
{
    if (isCoupled()) return;
    if (image && !image->isFlipped()) {
        m_divider = static_ref_cast<NSImage>(image->copy());
        m_divider->setFlipped(true);
    } else {
        m_divider = image;
    }
    m_dividerThickness = 0;
    setMustAdjust();
}

double QXSplitView::dividerThickness() const
{
    if (m_dividerThickness > 0) return m_dividerThickness;
    auto image = divider();
    if (!image) return 0;
    return isHorizontal() ? image->size().height : image->size().width;
}

void QXSplitView::setDividerThickness(double thickness)
{
    const double value = std::isfinite(thickness) ? std::max(std::floor(thickness), 0.0) : 0.0;
    if (std::trunc(value) == std::trunc(m_dividerThickness)) return;
    m_dividerThickness = value;
    setMustAdjust();
}

Ref<NSString> QXSplitView::description() const
{
    return NSString::stringWithFormat("%@ {%@}", NSView::description(), stringWithSavedState());
}

// --- Pass control ---

void QXSplitView::setMustAdjust()
{
    m_mustAdjust = true;
    setNeedsDisplay(true);
}

void QXSplitView::QX___setDragging(bool flag)
{
    const bool was = m_isDragging;
    m_isDragging = flag;
    if (was && !flag) saveState(false);
}

void QXSplitView::adjustSubviews() { QX___adjustSubviewsExcepting(nullptr); }

void QXSplitView::adjustSubviewsExcepting(const Ref<QXSplitSubview>& subview)
{
    QX___adjustSubviewsExcepting(subview && !subview->isCollapsed() ? subview.get() : nullptr);
}

void QXSplitView::display()
{
    if (m_mustAdjust && !m_isAdjusting) adjustSubviews();
    QXSplitSubview::display();
}

bool QXSplitView::needsDisplay() const
{
    if (m_mustAdjust && !m_isAdjusting) {
        const_cast<QXSplitView*>(this)->adjustSubviews();
        return true;
    }
    return QXSplitSubview::needsDisplay();
}

void QXSplitView::QX___adjustOutermostIfNeeded()
{
    Ref<QXSplitView> outermost(this);
    if (auto up = outermostSplitView()) outermost = up;
    if (outermost->m_mustAdjust && !outermost->m_isAdjusting) outermost->adjustSubviews();
}

void QXSplitView::setFrame(const NSRect& frame)
{
    // Size changes go through setFrameSize, which lays out.
    if (frame.size == this->frame().size) return QXSplitSubview::setFrame(frame);
    QXSplitSubview::setFrame({frame.origin, this->frame().size});
    setFrameSize(frame.size);
}

void QXSplitView::setFrameSize(NSSize size)
{
    const bool horizontal = isHorizontal();
    const double oldLength = along(frame().size, horizontal);
    QXSplitSubview::setFrame({frame().origin, size});
    setMustAdjust();
    const double newLength = along(size, horizontal);
    if (std::trunc(oldLength) != std::trunc(newLength))
        if (auto* delegate = delegateProtocol()) delegate->splitViewWasResizedFromTo(this, oldLength, newLength);
    if (m_mustAdjust && !m_isAdjusting) adjustSubviews();
}

void QXSplitView::viewDidMoveToSuperview()
{
    auto scrollView = enclosingScrollView();
    m_isInScrollView = scrollView && scrollView->documentView().get() == this;
}

void QXSplitView::awakeFromNib()
{
    QXSplitSubview::awakeFromNib();
    if (!splitView()) restoreState(true);
}

bool QXSplitView::acceptsFirstMouse(const Ref<NSEvent>& event)
{
    return !(event && (event->modifierFlags() & NSCommandKeyMask));
}

bool QXSplitView::shouldDelayWindowOrderingForEvent(const Ref<NSEvent>& event)
{
    return event && (event->modifierFlags() & NSCommandKeyMask);
}

// --- Geometry shared with the panes ---

std::vector<Ref<QXSplitSubview>> QXSplitView::QX___subviews() const
{
    std::vector<Ref<QXSplitSubview>> visible;
    for (const auto& view : subviews())
        if (auto pane = dynamic_ref_cast<QXSplitSubview>(view); pane && !pane->isHidden()) visible.push_back(pane);
    return visible;
}

NSUInteger QXSplitView::QX___numberOfSubviews() const
{
    NSUInteger count = 0;
    for (const auto& view : subviews())
        if (!view->isHidden() && dynamic_cast<QXSplitSubview*>(view.get())) ++count;
    return count;
}

double QXSplitView::QX___dimensionWithoutDividers() const
{
    const double visible = double(QX___numberOfSubviews());
    const double length = along(bounds().size, isHorizontal()) - std::max(visible - 1, 0.0) * dividerThickness();
    return std::max(length, 1.0);
}

double QXSplitView::QX___dividerOrigin(NSUInteger index) const
{
    if (index >= m_dividers.size()) return 0;
    return along(m_dividers[index].origin, isHorizontal());
}

NSRect QXSplitView::QX___dividerRect(NSUInteger index, const Ref<NSView>& view) const
{
    const NSUInteger visible = QX___numberOfSubviews();
    if (visible < 1 || index >= visible - 1 || index >= m_dividers.size()) return NSZeroRect;
    const NSRect r = m_dividers[index];
    if (!view || view.get() == this) return r;
    return convertRectToView(r, view);
}
