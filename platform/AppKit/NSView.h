#pragma once
// Views: a tree of rectangles inside a window. A view's frame is in its
// superview's coordinates, its bounds in its own; a flipped view's y axis
// grows downwards. Drawing happens once per run-loop turn: setNeedsDisplay
// adds to the window's dirty region, and the window's end-of-turn display
// calls drawRect: with the current graphics context's transform set to the
// full user-to-device matrix of the window's y-down surface.
#include <vector>

#include "AppKit/NSResponder.h"
#include "AppKit/NSTrackingArea.h"
#include "CoreGraphics/CGAffineTransform.h"
#include "Foundation/NSGeometry.h"

class NSWindow;
class NSScrollView;
class NSBitmapImageRep;
class NSViewAnimator;
class NSCoder;

enum NSAutoresizingMaskOptions : NSUInteger {
    NSViewNotSizable = 0,
    NSViewMinXMargin = 1,
    NSViewWidthSizable = 2,
    NSViewMaxXMargin = 4,
    NSViewMinYMargin = 8,
    NSViewHeightSizable = 16,
    NSViewMaxYMargin = 32,
};

enum NSWindowOrderingMode : NSInteger { NSWindowBelow = -1, NSWindowOut = 0, NSWindowAbove = 1 };

using NSTrackingRectTag = NSInteger;

inline constexpr char NSViewFrameDidChangeNotification[] = "NSViewFrameDidChangeNotification";
inline constexpr char NSViewBoundsDidChangeNotification[] = "NSViewBoundsDidChangeNotification";

class NSView : public NSResponder {
    NS_OBJECT(NSView, NSResponder)
protected:
    NSView() = default;

public:
    ~NSView() override;

    virtual Ref<NSView> initWithFrame(const NSRect& frame);
    Id init() override { return initWithFrame(NSZeroRect); }

    // --- Hierarchy ---
    Ref<NSView> superview() const { return m_superview.get(); }
    const std::vector<Ref<NSView>>& subviews() const { return m_subviews; }
    Ref<NSWindow> window() const;
    virtual void addSubview(const Ref<NSView>& view);
    virtual void addSubview(const Ref<NSView>& view, NSWindowOrderingMode place, const Ref<NSView>& relativeTo);
    virtual void removeFromSuperview();
    void removeFromSuperviewWithoutNeedingDisplay();
    void replaceSubview(const Ref<NSView>& oldView, const Ref<NSView>& newView);
    void setSubviews(const std::vector<Ref<NSView>>& views);
    bool isDescendantOf(const Ref<NSView>& view) const;
    // Stable sort; the comparator answers NSOrderedAscending etc.
    void sortSubviewsUsingFunction(NSComparisonResult (*compare)(NSView*, NSView*, void*), void* context);
    Ref<NSView> viewWithTag(NSInteger tag);
    virtual NSInteger tag() const { return -1; }

    virtual void viewWillMoveToWindow(const Ref<NSWindow>&) { }
    virtual void viewDidMoveToWindow() { }
    virtual void viewWillMoveToSuperview(const Ref<NSView>&) { }
    virtual void viewDidMoveToSuperview() { }
    virtual void didAddSubview(const Ref<NSView>&) { }
    virtual void willRemoveSubview(const Ref<NSView>&) { }

    // --- Geometry ---
    virtual NSRect frame() const { return m_frame; }
    virtual NSRect bounds() const { return m_bounds; }
    // Setting the current value does nothing: no display, no notification.
    virtual void setFrame(const NSRect& frame);
    virtual void setFrameOrigin(NSPoint origin);
    virtual void setFrameSize(NSSize size);
    virtual void setBounds(const NSRect& bounds);
    virtual void setBoundsOrigin(NSPoint origin);
    virtual void setBoundsSize(NSSize size);
    virtual void scaleUnitSquareToSize(NSSize size);
    CGFloat frameRotation() const { return 0; }
    virtual bool isFlipped() const { return false; }
    NSRect visibleRect() const;

    // nil view = the window's base coordinates.
    NSPoint convertPointFromView(NSPoint point, const Ref<NSView>& view) const;
    NSPoint convertPointToView(NSPoint point, const Ref<NSView>& view) const;
    NSRect convertRectFromView(const NSRect& rect, const Ref<NSView>& view) const;
    NSRect convertRectToView(const NSRect& rect, const Ref<NSView>& view) const;
    NSSize convertSizeFromView(NSSize size, const Ref<NSView>& view) const;
    NSSize convertSizeToView(NSSize size, const Ref<NSView>& view) const;
    // Platform spellings: convertPoint:fromView: etc.
    NSPoint convertPoint(NSPoint point, const Ref<NSView>& fromView) const
    {
        return convertPointFromView(point, fromView);
    }
    NSRect convertRect(const NSRect& rect, const Ref<NSView>& fromView) const
    {
        return convertRectFromView(rect, fromView);
    }
    // Bounds to window base coordinates (y up, window origin).
    CGAffineTransform transformToWindow() const;

    // --- Autoresizing ---
    NSUInteger autoresizingMask() const { return m_autoresizingMask; }
    void setAutoresizingMask(NSUInteger mask) { m_autoresizingMask = mask; }
    virtual bool autoresizesSubviews() const { return m_autoresizesSubviews; }
    void setAutoresizesSubviews(bool flag) { m_autoresizesSubviews = flag; }
    virtual void resizeSubviewsWithOldSize(NSSize oldSize);
    virtual void resizeWithOldSuperviewSize(NSSize oldSize);

    // --- Display ---
    virtual void setNeedsDisplay(bool flag);
    virtual void setNeedsDisplayInRect(const NSRect& rect);
    virtual bool needsDisplay() const;
    // Draws now what is marked (display draws everything).
    virtual void display();
    virtual void displayIfNeeded();
    void displayRect(const NSRect& rect);
    virtual void drawRect(const NSRect& dirtyRect);
    // Inside drawRect: whether the rectangle meets what is being redrawn.
    bool needsToDrawRect(const NSRect& rect) const;
    void getRectsBeingDrawn(std::vector<NSRect>* rects) const;
    // Snapshots: a representation sized to the rectangle (one pixel per
    // point), and the view with its subviews drawn into one offscreen, the
    // rectangle's origin at the representation's corner; no window needed.
    Ref<NSBitmapImageRep> bitmapImageRepForCachingDisplayInRect(const NSRect& rect) const;
    void cacheDisplayInRect(const NSRect& rect, const Ref<NSBitmapImageRep>& rep);
    // Makes the view's drawing the current context (display does this).
    bool lockFocusIfCanDraw();
    void lockFocus();
    void unlockFocus();
    bool canDraw() const;
    virtual bool isOpaque() const { return false; }
    Ref<NSView> opaqueAncestor() const;
    virtual bool isHidden() const { return m_hidden; }
    virtual void setHidden(bool hidden);
    // The opacity the view and its subviews are drawn at (0 to 1).
    CGFloat alphaValue() const { return m_alphaValue; }
    void setAlphaValue(CGFloat alpha);
    // The proxy whose changes animate in the current animation group.
    Ref<NSViewAnimator> animator();
    bool isHiddenOrHasHiddenAncestor() const;
    void setKeyboardFocusRingNeedsDisplayInRect(const NSRect& rect);

    // --- Events ---
    // The deepest visible view containing the point (in the superview's
    // coordinates), or nil.
    virtual Ref<NSView> hitTest(NSPoint pointInSuperview);
    bool mouse(NSPoint point, const NSRect& rect) const;
    virtual bool acceptsFirstMouse(const Ref<NSEvent>&) { return false; }
    virtual bool mouseDownCanMoveWindow() const { return isOpaque(); }
    virtual bool shouldDelayWindowOrderingForEvent(const Ref<NSEvent>&) { return false; }
    virtual bool needsPanelToBecomeKey() const { return false; }
    // Offered to the view, then its subviews; YES when one handled it.
    bool performKeyEquivalent(const Ref<NSEvent>& event) override;
    Id menuForEvent(const Ref<NSEvent>& event) override;

    // Tracking rectangles (in the view's coordinates); entered and exited
    // events go to the owner with the tag as trackingNumber.
    NSTrackingRectTag addTrackingRect(const NSRect& rect, const Id& owner, void* userData, bool assumeInside);
    void removeTrackingRect(NSTrackingRectTag tag);
    void addTrackingArea(const Ref<NSTrackingArea>& area);
    void removeTrackingArea(const Ref<NSTrackingArea>& area);
    std::vector<Ref<NSTrackingArea>> trackingAreas() const { return m_trackingAreas; }
    virtual void updateTrackingAreas() { }

    // Cursor rectangles: an NSCursor object per rectangle, set when the
    // pointer enters it.
    virtual void resetCursorRects() { }
    void addCursorRect(const NSRect& rect, const Id& cursor);
    void removeCursorRect(const NSRect& rect, const Id& cursor);
    void discardCursorRects();
    struct CursorRect {
        NSRect rect;
        Id cursor;
    };
    const std::vector<CursorRect>& cursorRects() const { return m_cursorRects; }

    bool postsFrameChangedNotifications() const { return m_postsFrameChanged; }
    void setPostsFrameChangedNotifications(bool flag) { m_postsFrameChanged = flag; }
    bool postsBoundsChangedNotifications() const { return m_postsBoundsChanged; }
    void setPostsBoundsChangedNotifications(bool flag) { m_postsBoundsChanged = flag; }

    Ref<NSString> toolTip() const { return m_toolTip; }
    void setToolTip(const Ref<NSString>& tip) { m_toolTip = tip; }

    // The view controller whose view this is (NSViewController sets it): it
    // follows the view in the responder chain, so a next responder given to
    // the view (its superview) goes to the controller instead.
    void setViewController(const Ref<NSResponder>& controller);
    Ref<NSResponder> viewController() const { return m_viewController.get(); }
    void setNextResponder(const Ref<NSResponder>& responder) override;

    bool inLiveResize() const { return false; }
    virtual void viewWillStartLiveResize() { }
    virtual void viewDidEndLiveResize() { }

    // A right-button press pops up the menu menuForEvent: answers, if any;
    // otherwise it goes up the responder chain.
    void rightMouseDown(const Ref<NSEvent>& event) override;

    // --- Key-view loop ---
    // The view Tab moves to from this one; the loop is not retained (views
    // hold each other through the view tree), and setting it makes this view
    // the next view's previous key view.
    Ref<NSView> nextKeyView() const { return m_nextKeyView.get(); }
    void setNextKeyView(const Ref<NSView>& next);
    Ref<NSView> previousKeyView() const { return m_previousKeyView.get(); }
    // The first view along the loop (from the next one) that accepts first
    // responder and is visible, or nil.
    Ref<NSView> nextValidKeyView() const;
    Ref<NSView> previousValidKeyView() const;
    virtual bool canBecomeKeyView() const;

    // --- Scrolling (implemented beside the scroll views) ---
    Ref<NSScrollView> enclosingScrollView() const;
    void scrollPoint(NSPoint point);
    bool scrollRectToVisible(const NSRect& rect);
    bool autoscroll(const Ref<NSEvent>& event);

    // --- Coding of the view's own keys ---
    // NSFrame (rect), NSAutoresizingMask (integer), NSHidden (bool) and
    // NSSubviews (array of the subviews that adopt NSCoding, so an archive
    // never holds a view it cannot rebuild). A sequential coder gets the
    // same values in that order: the frame as four doubles ("d"), the mask
    // ("q"), hidden ("c") and the array of subviews.
    void encodeViewKeys(NSCoder* coder, bool withSubviews = true) const
    {
        encodeViewKeys(coder, frame(), withSubviews);
    }
    // The same with another frame written in place of the view's own.
    void encodeViewKeys(NSCoder* coder, const NSRect& archivedFrame, bool withSubviews = true) const;
    // Runs initWithFrame with the archived frame, sets the other keys and
    // adds the archived subviews.
    void decodeViewKeys(NSCoder* coder, bool withSubviews = true);

    static void describeClass(NSClassMembers<NSView>& m);

private:
    friend class NSWindow;
    void setWindowRecursively(NSWindow* window);
    void didChangeFrame(NSSize oldSize, bool sizeChanged);
    // Window-coordinate rectangle of the view's visible part.
    NSRect visibleRectInWindow() const;
    // Draws the view and its subviews where they meet the window rectangle.
    void drawInWindow(const NSRect& windowRect);
    // The product of the alpha values up the superview chain; each shape is
    // drawn at it.
    CGFloat effectiveAlpha() const;
    // Before a display: asks each visible view that meets the window
    // rectangle needsDisplay, so views that lay out lazily (and override it)
    // do so before anything is drawn.
    void prepareForDisplay(const NSRect& windowRect);
    // Draws the view and its subviews with the transform from this view's
    // bounds to the destination (used by cacheDisplayInRect).
    void drawOffscreen(CGContext* port, const CGAffineTransform& rootToDestination, const NSView& root);
    void notifyTrackingAreasChanged();
    std::vector<Id> codableSubviews() const;

    Weak<NSView> m_superview;
    Weak<NSWindow> m_window;
    std::vector<Ref<NSView>> m_subviews;
    NSRect m_frame;
    NSRect m_bounds;
    NSUInteger m_autoresizingMask = NSViewNotSizable;
    bool m_autoresizesSubviews = true;
    bool m_hidden = false;
    CGFloat m_alphaValue = 1;
    bool m_postsFrameChanged = true;
    bool m_postsBoundsChanged = true;
    std::vector<Ref<NSTrackingArea>> m_trackingAreas;
    std::vector<CursorRect> m_cursorRects;
    Ref<NSString> m_toolTip;
    // While drawRect: runs: the rectangles being redrawn, in bounds coordinates.
    std::vector<NSRect> m_rectsBeingDrawn;
    int m_focusDepth = 0;
    Weak<NSResponder> m_viewController;
    Weak<NSView> m_nextKeyView;
    Weak<NSView> m_previousKeyView;
};
