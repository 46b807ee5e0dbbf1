#pragma once
// The view a scroll view shows its document through. Its bounds origin is
// the scroll position: scrolling moves the bounds over the document view,
// which stays where it is. Every scroll passes through constrainScrollPoint
// (and constrainBoundsRect), which subclasses override to keep the document
// centred or pinned. The clip view is flipped exactly when its document view
// is, so a scroll position reads in the document's own orientation.
#include "AppKit/NSColor.h"
#include "AppKit/NSView.h"
#include "Foundation/NSCoding.h"

class NSClipView : public NSView, public NSCoding {
    NS_OBJECT(NSClipView, NSView)
protected:
    NSClipView() = default;

public:
    ~NSClipView() override;

    Ref<NSView> initWithFrame(const NSRect& frame) override;

    Ref<NSView> documentView() const { return m_documentView; }
    // Replaces the document view (nil removes it) and scrolls to its origin.
    virtual void setDocumentView(const Ref<NSView>& view);

    // The document view's frame, grown to the clip view's size where the
    // document is smaller, in the clip view's coordinates.
    NSRect documentRect() const;
    // The part of the document view shown, in the document view's coordinates.
    NSRect documentVisibleRect() const;

    // Moves the bounds origin to the point after constrainScrollPoint and
    // tells the enclosing scroll view.
    virtual void scrollToPoint(NSPoint newOrigin);
    // The nearest origin that keeps the bounds inside documentRect (the
    // document's start when it is smaller than the clip view).
    virtual NSPoint constrainScrollPoint(NSPoint proposedOrigin);
    virtual NSRect constrainBoundsRect(const NSRect& proposedBounds);
    // Scrolls so that the point (in the clip view's coordinates) lies inside
    // the bounds, as a drag past the edge does; YES when it scrolled.
    bool autoscroll(const Ref<NSEvent>& event);

    bool isFlipped() const override;
    bool isOpaque() const override { return m_drawsBackground; }
    bool drawsBackground() const { return m_drawsBackground; }
    void setDrawsBackground(bool flag);
    Ref<NSColor> backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const Ref<NSColor>& color);
    bool copiesOnScroll() const { return m_copiesOnScroll; }
    void setCopiesOnScroll(bool flag) { m_copiesOnScroll = flag; }

    void setFrame(const NSRect& frame) override;
    void setFrameSize(NSSize size) override;
    void drawRect(const NSRect& dirtyRect) override;

    // Called when the document view's frame or bounds change: keeps the
    // scroll position valid and the scroll view's scrollers current.
    virtual void viewFrameChanged();

    // Keys: NSFrame, NSAutoresizingMask, NSHidden (ViewCoding),
    // NSDocView, NSBGColor, NSDrawsBackground.
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

private:
    void observeDocument();
    void stopObservingDocument();
    void reflectInScrollView();

    Ref<NSView> m_documentView;
    Ref<NSColor> m_backgroundColor;
    bool m_drawsBackground = false;
    bool m_copiesOnScroll = false;
    Id m_frameObserver;
    Id m_boundsObserver;
};
