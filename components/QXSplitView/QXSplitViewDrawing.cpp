// Drawing the dividers, and the crossings of coupled nested split views'
// dividers with the parent's.
#include <cmath>

#include "AppKit/NSGraphics.h"
#include "QXSplitView/QXSplitAxis.h"
#include "QXSplitView/QXSplitView.h"

using namespace QXSplitAxis;

namespace {

bool isCoupledSplitView(QXSplitSubview* pane) { return pane && !pane->isCollapsed() && pane->coupledSplitView(); }

}

void QXSplitView::drawRect(const NSRect& rect)
{
    QXSplitSubview::drawRect(rect);
    auto visible = QX___subviews();
    if (m_dividers.empty() || visible.size() < 2) return;
    auto image = divider();
    const double t = dividerThickness();
    for (size_t i = 0; i < m_dividers.size() && i + 1 < visible.size(); ++i) {
        const NSRect r = m_dividers[i];
        if (!needsToDrawRect(r)) continue;
        QXSplitSubview* leading = visible[i].get();
        QXSplitSubview* trailing = visible[i + 1].get();
        if (!image) {
            drawDivider(nullptr, r, leading, trailing);
            continue;
        }
        const bool crossed = isCoupledSplitView(leading) || isCoupledSplitView(trailing);
        drawDivider(crossed ? nullptr : image, r, leading, trailing);
        for (QXSplitSubview* neighbour : {leading, trailing})
            if (isCoupledSplitView(neighbour)) neighbour->asSplitView()->QX___drawDividersIn(this, r, t);
    }
}

void QXSplitView::QX___drawDividersIn(QXSplitView* parent, const NSRect& dividerRect, double thickness)
{
    const bool horizontal = isHorizontal();
    auto image = parent->divider();
    for (const NSRect& own : m_dividers) {
        const NSRect inParent = widenedAcross(convertRectToView(own, Ref<NSView>(parent)), horizontal, thickness);
        const NSRect crossing = NSIntersectionRect(inParent, dividerRect);
        if (!NSIsEmptyRect(crossing)) parent->drawDivider(image, crossing, nullptr, nullptr);
    }
}

void QXSplitView::drawDivider(const Ref<NSImage>& image, const NSRect& rect, QXSplitSubview* leading,
                              QXSplitSubview* trailing)
{
    if (leading || trailing) {
        if (auto color = background()) {
            color->set();
            NSRectFillUsingOperation(rect, NSCompositingOperationSourceOver);
        }
    }
    NSRect imageRect = NSZeroRect;
    if (image) {
        const NSSize size = image->size();
        imageRect = NSMakeRect(std::floor(NSMidX(rect) - size.width / 2), std::floor(NSMidY(rect) - size.height / 2),
                               size.width, size.height);
    }
    if (auto* delegate = delegateProtocol())
        if (auto answer = delegate->splitViewWillDrawDividerInRectBetweenViewAndViewWithProposedRect(
                this, rect, leading, trailing, imageRect))
            imageRect = *answer;
    if (image && !NSIsEmptyRect(imageRect))
        image->drawInRect(imageRect, NSZeroRect, NSCompositingOperationSourceOver, 1, true, nullptr);
}
