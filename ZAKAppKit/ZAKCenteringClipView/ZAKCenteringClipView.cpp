#include "ZAKAppKit/ZAKCenteringClipView/ZAKCenteringClipView.h"

#include <algorithm>
#include <cmath>

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKCenteringClipView)

void ZAKCenteringClipView::initialize() { classRecord().setVersion(1); }

namespace {

// Half the difference, in single precision, halves away from zero.
CGFloat centred(CGFloat document, CGFloat visible) { return std::round(float(document - visible) / 2.0f); }

}  // namespace

void ZAKCenteringClipView::centerDocument()
{
    auto document = documentView();
    if (!document) return;
    const NSRect d = document->frame();
    const NSRect v = bounds();
    NSPoint origin = v.origin;
    if (v.size.width > d.size.width) origin.x = centred(d.size.width, v.size.width);
    if (v.size.height > d.size.height) origin.y = centred(d.size.height, v.size.height);
    scrollToPoint(origin);
}

NSPoint ZAKCenteringClipView::constrainScrollPoint(NSPoint p)
{
    auto document = documentView();
    if (!document) return NSClipView::constrainScrollPoint(p);
    const NSSize d = document->frame().size;
    const NSSize v = bounds().size;
    auto axis = [](CGFloat proposed, CGFloat doc, CGFloat visible) {
        if (visible > doc) return centred(doc, visible);
        return std::round(std::max<CGFloat>(std::min(proposed, doc - visible), 0));
    };
    return NSMakePoint(axis(p.x, d.width, v.width), axis(p.y, d.height, v.height));
}

Id ZAKCenteringClipView::menuForEvent(const Ref<NSEvent>& event)
{
    auto document = documentView();
    return document ? document->menuForEvent(event) : nullptr;
}

void ZAKCenteringClipView::viewFrameChanged()
{
    NSClipView::viewFrameChanged();
    centerDocument();
}

void ZAKCenteringClipView::setFrame(const NSRect& frame)
{
    NSClipView::setFrame(frame);
    centerDocument();
}

void ZAKCenteringClipView::setFrameOrigin(NSPoint origin)
{
    NSClipView::setFrameOrigin(origin);
    centerDocument();
}

void ZAKCenteringClipView::setFrameSize(NSSize size)
{
    NSClipView::setFrameSize(size);
    centerDocument();
}

void ZAKCenteringClipView::scaleUnitSquareToSize(NSSize size)
{
    NSClipView::scaleUnitSquareToSize(size);
    centerDocument();
}

void ZAKCenteringClipView::setDocumentView(const Ref<NSView>& view)
{
    NSClipView::setDocumentView(view);
    centerDocument();
}
