#include "AppKit/NSClipView.h"

#include <algorithm>

#include "AppKit/NSGraphics.h"
#include "AppKit/NSScrollView.h"
#include "AppKit/ViewCoding.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSNotificationCenter.h"

NS_CLASS_DEFINE(NSClipView)

NSClipView::~NSClipView() { stopObservingDocument(); }

Ref<NSView> NSClipView::initWithFrame(const NSRect& frame)
{
    NSView::initWithFrame(frame);
    m_backgroundColor = NSColor::controlBackgroundColor();
    m_drawsBackground = true;
    m_copiesOnScroll = true;
    setAutoresizesSubviews(false);
    return this;
}

void NSClipView::setDocumentView(const Ref<NSView>& view)
{
    if (view == m_documentView) return;
    stopObservingDocument();
    if (m_documentView) m_documentView->removeFromSuperview();
    m_documentView = view;
    if (view) {
        addSubview(view);
        observeDocument();
    }
    // Start at the document's top: its origin when flipped, its top edge
    // otherwise (constrainScrollPoint pins a short document to its start).
    const NSRect doc = view ? view->frame() : NSZeroRect;
    const NSRect b = bounds();
    scrollToPoint(isFlipped() ? doc.origin : NSMakePoint(doc.origin.x, NSMaxY(doc) - b.size.height));
    reflectInScrollView();
}

void NSClipView::observeDocument()
{
    auto center = NSNotificationCenter::defaultCenter();
    Weak<NSClipView> weak(this);
    auto changed = [weak](const Ref<NSNotification>&) {
        if (auto self = weak.get()) self->viewFrameChanged();
    };
    m_frameObserver = center->addObserverForName(NSString::stringWithUTF8String(NSViewFrameDidChangeNotification),
                                                 m_documentView, nullptr, changed);
    m_boundsObserver = center->addObserverForName(NSString::stringWithUTF8String(NSViewBoundsDidChangeNotification),
                                                  m_documentView, nullptr, changed);
}

void NSClipView::stopObservingDocument()
{
    auto center = NSNotificationCenter::defaultCenter();
    if (m_frameObserver) center->removeObserver(m_frameObserver);
    if (m_boundsObserver) center->removeObserver(m_boundsObserver);
    m_frameObserver = nullptr;
    m_boundsObserver = nullptr;
}

bool NSClipView::isFlipped() const { return m_documentView && m_documentView->isFlipped(); }

NSRect NSClipView::documentRect() const
{
    if (!m_documentView) return bounds();
    NSRect doc = m_documentView->frame();
    const NSSize size = bounds().size;
    doc.size.width = std::max(doc.size.width, size.width);
    doc.size.height = std::max(doc.size.height, size.height);
    return doc;
}

NSRect NSClipView::documentVisibleRect() const
{
    if (!m_documentView) return NSZeroRect;
    const NSRect visible = m_documentView->convertRectFromView(bounds(), Ref<NSView>(const_cast<NSClipView*>(this)));
    return NSIntersectionRect(visible, m_documentView->bounds());
}

NSRect NSClipView::constrainBoundsRect(const NSRect& proposed)
{
    const NSRect doc = documentRect();
    NSRect r = proposed;
    r.origin.x = std::clamp(r.origin.x, NSMinX(doc), std::max(NSMinX(doc), NSMaxX(doc) - r.size.width));
    // An unflipped document shorter than the clip view sits at its top.
    if (!isFlipped() && m_documentView && m_documentView->frame().size.height < r.size.height)
        r.origin.y = NSMaxY(m_documentView->frame()) - r.size.height;
    else r.origin.y = std::clamp(r.origin.y, NSMinY(doc), std::max(NSMinY(doc), NSMaxY(doc) - r.size.height));
    return r;
}

NSPoint NSClipView::constrainScrollPoint(NSPoint proposedOrigin)
{
    return constrainBoundsRect({proposedOrigin, bounds().size}).origin;
}

void NSClipView::scrollToPoint(NSPoint newOrigin)
{
    const NSPoint origin = constrainScrollPoint(newOrigin);
    if (origin == bounds().origin) return;
    setBoundsOrigin(origin);
    reflectInScrollView();
}

bool NSClipView::autoscroll(const Ref<NSEvent>& event)
{
    if (!event || !m_documentView) return false;
    const NSPoint p = convertPointFromView(event->locationInWindow(), nullptr);
    const NSRect b = bounds();
    NSPoint origin = b.origin;
    if (p.x < NSMinX(b)) origin.x -= NSMinX(b) - p.x;
    else if (p.x > NSMaxX(b)) origin.x += p.x - NSMaxX(b);
    if (p.y < NSMinY(b)) origin.y -= NSMinY(b) - p.y;
    else if (p.y > NSMaxY(b)) origin.y += p.y - NSMaxY(b);
    const NSPoint before = b.origin;
    scrollToPoint(origin);
    return bounds().origin != before;
}

void NSClipView::viewFrameChanged()
{
    const NSPoint before = bounds().origin;
    const NSPoint origin = constrainScrollPoint(before);
    if (origin != before) setBoundsOrigin(origin);
    reflectInScrollView();
}

void NSClipView::reflectInScrollView()
{
    if (auto scrollView = dynamic_ref_cast<NSScrollView>(superview())) scrollView->reflectScrolledClipView(this);
}

void NSClipView::setFrame(const NSRect& frame)
{
    NSView::setFrame(frame);
    viewFrameChanged();
}

void NSClipView::setFrameSize(NSSize size) { setFrame({frame().origin, size}); }

void NSClipView::setDrawsBackground(bool flag)
{
    if (flag == m_drawsBackground) return;
    m_drawsBackground = flag;
    setNeedsDisplay(true);
}

void NSClipView::setBackgroundColor(const Ref<NSColor>& color)
{
    m_backgroundColor = color;
    setNeedsDisplay(true);
}

void NSClipView::drawRect(const NSRect& dirtyRect)
{
    if (!m_drawsBackground || !m_backgroundColor) return;
    m_backgroundColor->setFill();
    NSRectFill(dirtyRect);
}

void NSClipView::encodeWithCoder(NSCoder* coder) const
{
    ViewCoding::encodeView(*this, coder);
    ViewCoding::encodeIfCodable(coder, m_documentView, "NSDocView");
    ViewCoding::encodeIfCodable(coder, m_backgroundColor, "NSBGColor");
    coder->encodeBool(m_drawsBackground, ViewCoding::key("NSDrawsBackground"));
}

Id NSClipView::initWithCoder(NSCoder* coder)
{
    ViewCoding::decodeView(*this, coder);
    setAutoresizesSubviews(false);
    m_drawsBackground = coder->decodeBoolForKey(ViewCoding::key("NSDrawsBackground"));
    m_backgroundColor = dynamic_ref_cast<NSColor>(coder->decodeObjectForKey(ViewCoding::key("NSBGColor")));
    setDocumentView(dynamic_ref_cast<NSView>(coder->decodeObjectForKey(ViewCoding::key("NSDocView"))));
    return this;
}
