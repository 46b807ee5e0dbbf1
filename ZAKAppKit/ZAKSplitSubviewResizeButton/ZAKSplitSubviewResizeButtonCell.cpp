#include "ZAKAppKit/ZAKSplitSubviewResizeButton/ZAKSplitSubviewResizeButtonCell.h"

#include "AppKit/NSApplication.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSRunLoop.h"
#include "QXSplitView/QXSplitView.h"

NS_CLASS_DEFINE(ZAKSplitSubviewResizeButtonCell)

Id ZAKSplitSubviewResizeButtonCell::init()
{
    NSButtonCell::init();
    auto bundle = NSBundle::bundleForClass(staticClass());
    auto path = bundle->pathForResource("ZAKSplitSubviewResizeButtonResizeImage"_ns, "png"_ns);
    setImage(path ? NSImage::initByReferencingFile(path) : nullptr);
    sendActionOn(NSLeftMouseDownMask | NSLeftMouseDraggedMask);
    setRefusesFirstResponder(false);
    setContinuous(false);
    setTag(0);
    setShowsFirstResponder(true);
    // Momentary change: while pressed the cell shows its alternate contents,
    // which is the look of highlighting by contents.
    setButtonType(NSMomentaryChangeButton);
    setTitle(""_ns);
    setEnabled(true);
    setImagePosition(NSImageRight);
    setBordered(true);
    setBezeled(true);
    setBezelStyle(NSSmallSquareBezelStyle);
    return this;
}

Ref<QXSplitSubview> ZAKSplitSubviewResizeButtonCell::superQXSplitSubviewOfView(const Ref<NSView>& view)
{
    for (auto v = view ? view->superview() : nullptr; v; v = v->superview())
        if (v->isMemberOfClass(QXSplitSubview::staticClass())) return static_ref_cast<QXSplitSubview>(v);
    return nullptr;
}

bool ZAKSplitSubviewResizeButtonCell::trackMouse(const Ref<NSEvent>&, const NSRect&, const Ref<NSView>& controlView,
                                                 bool)
{
    const Ref<QXSplitSubview> pane = superQXSplitSubviewOfView(controlView);
    if (!pane) return true;
    const NSEventMask mask = NSLeftMouseUpMask | NSLeftMouseDraggedMask;
    auto app = NSApplication::sharedApplication();
    // Only a drag starts the resize; a click leaves the pane alone.
    auto event = app->nextEventMatchingMask(mask, NSDate::distantFuture(), NSEventTrackingRunLoopMode, false);
    if (!event || event->type() != NSEventTypeLeftMouseDragged) return true;
    // The peeked event is taken now, so its movement counts once.
    event = app->nextEventMatchingMask(mask, NSDate::distantFuture(), NSEventTrackingRunLoopMode, true);
    const bool outwards = imagePosition() == NSImageRight;
    auto window = controlView->window();
    while (event && event->type() != NSEventTypeLeftMouseUp) {
        const float delta = float(event->deltaX());
        const float proposed = outwards ? float(pane->dimension()) + delta : float(pane->dimension()) - delta;
        if (proposed > pane->minDimension() && proposed < pane->maxDimension()) {
            pane->setDimension(proposed);
        } else if (proposed < pane->minDimension() && pane->canCollapse()) {
            pane->collapse();
            break;
        }
        event = window ? window->nextEventMatchingMask(mask) : nullptr;
    }
    return true;
}
