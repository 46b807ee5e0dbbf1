#pragma once
// A split view that lays out its panes (QXSplitSubview) along one axis with a
// divider between neighbours. It is itself a pane, so split views nest; a
// nested split view always runs across its parent and, while coupled,
// borrows the parent's background and divider image. Layout is lazy: every
// change marks the view, and one pass runs before the next display, before a
// size change returns, or when asked. The view is flipped: panes are placed
// from the top or from the left.
//
// Files: QXSplitView.cpp (set-up, orientation, look), QXSplitViewLayout.cpp
// (the pass), QXSplitViewDrawing.cpp, QXSplitViewDragging.cpp (dividers,
// cursors), QXSplitViewState.cpp (saved layouts, archiving).
#include <vector>

#include "AppKit/NSColor.h"
#include "AppKit/NSCursor.h"
#include "AppKit/NSImage.h"
#include "QXSplitView/QXSplitSubview.h"
#include "QXSplitView/QXSplitViewDelegate.h"

class NSArray;

// Cursor kinds: over dividers of a horizontal (0) or vertical (1) split
// view, over crossings of coupled nested dividers (2), while dragging (3).
enum QXSplitViewCursorKind : int32_t {
    QXSplitViewHorizontalDividerCursor = 0,
    QXSplitViewVerticalDividerCursor = 1,
    QXSplitViewCrossingCursor = 2,
    QXSplitViewDraggingCursor = 3,
};

class QXSplitView : public QXSplitSubview {
    NS_OBJECT(QXSplitView, QXSplitSubview)
protected:
    QXSplitView() = default;

public:
    Ref<NSView> initWithFrame(const NSRect& frame) override;
    // initWithFrame:andSubviews: — that many new panes of the same frame.
    Ref<QXSplitView> initWithFrame(const NSRect& frame, NSUInteger count);

    // Not retained; adopts QXSplitViewDelegate.
    Id delegate() const { return m_delegate.get(); }
    void setDelegate(const Id& delegate) { m_delegate = delegate; }
    QXSplitViewDelegate* delegateProtocol() const;

    // --- Subviews ---
    // A view that is not a pane is wrapped in a new pane of its frame, with
    // width and height sizable.
    void addSubview(const Ref<NSView>& view) override;
    void addSubview(const Ref<NSView>& view, NSWindowOrderingMode place, const Ref<NSView>& relativeTo) override;
    // addSubview:atPosition: — below the subview at that index, or last.
    void addSubview(const Ref<NSView>& view, NSUInteger position);
    Ref<QXSplitSubview> subviewAtPosition(NSUInteger position) const;
    Ref<QXSplitSubview> subviewWithIdentifier(const Ref<NSString>& identifier) const;
    void willRemoveSubview(const Ref<NSView>& subview) override;
    bool autoresizesSubviews() const override { return false; }

    // --- Orientation ---
    // A nested split view runs across its parent whatever was set on it.
    bool isHorizontal() const;
    bool isVertical() const { return !isHorizontal(); }
    void setHorizontal(bool flag);
    void setVertical(bool flag) { setHorizontal(!flag); }

    // --- Coupling ---
    bool isCoupled() const override;
    Ref<QXSplitView> coupledSplitView() const override;
    Ref<QXSplitView> couplingSplitView() const override;
    Ref<QXSplitView> asSplitView() override { return Ref<QXSplitView>(this); }
    void setCoupled(bool flag) override;

    // --- Look ---
    Ref<NSColor> background() const;
    void setBackground(const Ref<NSColor>& color);
    bool isOpaque() const override;
    // Always stored flipped, so it draws upright in this flipped view.
    Ref<NSImage> divider() const;
    void setDivider(const Ref<NSImage>& image);
    double dividerThickness() const;
    void setDividerThickness(double thickness);
    Ref<NSString> description() const override;

    // --- Pass control ---
    void setMustAdjust();
    bool mustAdjust() const { return m_mustAdjust; }
    bool isAdjusting() const { return m_isAdjusting; }
    bool isDragging() const { return m_isDragging; }
    bool isInScrollView() const { return m_isInScrollView; }
    // Clearing it saves the layout.
    void QX___setDragging(bool flag);
    void adjustSubviews();
    void adjustSubviewsExcepting(const Ref<QXSplitSubview>& subview);
    void QX___adjustSubviewsExcepting(QXSplitSubview* excepted);
    // Run a pending pass first.
    void display() override;
    bool needsDisplay() const override;
    void QX___adjustOutermostIfNeeded();
    void setFrame(const NSRect& frame) override;
    void setFrameSize(NSSize size) override;
    void viewDidMoveToSuperview() override;
    void awakeFromNib() override;

    // --- Events ---
    bool isFlipped() const override { return true; }
    bool mouseDownCanMoveWindow() const override { return false; }
    bool acceptsFirstMouse(const Ref<NSEvent>& event) override;
    bool shouldDelayWindowOrderingForEvent(const Ref<NSEvent>& event) override;
    void mouseDown(const Ref<NSEvent>& event) override;
    void resetCursorRects() override;
    void drawRect(const NSRect& rect) override;
    void drawDivider(const Ref<NSImage>& image, const NSRect& rect, QXSplitSubview* leading, QXSplitSubview* trailing);

    // --- Cursors (one process-wide replacement per kind) ---
    static Ref<NSCursor> cursor(int32_t kind);
    static void setCursor(int32_t kind, const Ref<NSCursor>& cursor);

    // --- Saved layouts and archives ---
    Ref<NSString> autosaveName() const { return m_autosaveName; }
    void setAutosaveName(const Ref<NSString>& name, bool recursively);
    static Ref<NSString> defaultsKeyForName(const Ref<NSString>& name, bool isHorizontal);
    static void removeStateUsingName(const Ref<NSString>& name);
    Ref<NSString> stringWithSavedState() const;
    bool setStateFromString(const Ref<NSString>& string);
    bool saveState(bool recursively);
    bool restoreState(bool recursively);
    Ref<NSArray> arrayWithStates() const;
    bool setStatesFromArray(const Ref<NSArray>& array);
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

    // --- Geometry shared with the panes ---
    // The visible subviews in order.
    std::vector<Ref<QXSplitSubview>> QX___subviews() const;
    NSUInteger QX___numberOfSubviews() const;
    double QX___dividerThickness() const { return m_dividerThickness; }
    double QX___dimensionWithoutDividers() const;
    double QX___dividerOrigin(NSUInteger index) const;
    NSRect QX___dividerRect(NSUInteger index, const Ref<NSView>& view) const;
    void QX___setMustClearFractions() { m_mustClearFractions = true; }
    const std::vector<NSRect>& dividerRects() const { return m_dividers; }

    // --- Dragging (QXSplitViewDragging.cpp) ---
    void QX___trackMouseEvent(const Ref<NSEvent>& event, NSPoint start, NSPoint base, NSUInteger divider);
    bool QX___shouldResizeWindowForDivider(NSUInteger divider, QXSplitSubview* leading, QXSplitSubview* trailing,
                                           bool willGrow);
    NSUInteger QX___dividerHitBy(NSPoint point, const Ref<NSView>& view, double thickness) const;
    void QX___addCursorRectsTo(NSView* parent, const NSRect& dividerRect, double thickness);
    void QX___drawDividersIn(QXSplitView* parent, const NSRect& dividerRect, double thickness);
    void QX___tryToShortenLeading(QXSplitSubview* leading, NSUInteger divider, QXSplitSubview* trailing, double delta,
                                  bool always);
    void QX___tryToShortenTrailing(QXSplitSubview* trailing, NSUInteger divider, QXSplitSubview* leading, double delta,
                                   bool always);
    void QX___tryToExpandLeading(QXSplitSubview* leading, NSUInteger divider, QXSplitSubview* trailing, double delta);
    void QX___tryToExpandTrailing(QXSplitSubview* trailing, QXSplitSubview* leading, double delta);

    static void describeClass(NSClassMembers<QXSplitView>& m);

private:
    // Lets this split view and its nested ones save their layouts.
    void allowSavingState();
    void addPane(const Ref<NSView>& view, NSWindowOrderingMode place, const Ref<NSView>& relativeTo);
    // The split view, window or document view that grows or shrinks instead
    // of a pane (QXSplitViewDragging.cpp).
    struct WindowRoom;
    WindowRoom windowRoom() const;
    void resizeWindowBy(double change);
    void dragDivider(const Ref<NSEvent>& event, NSUInteger divider);
    void toggleCollapse(NSUInteger divider);
    // Runs the pass on the enclosing split view (or this one) and displays.
    void adjustAndDisplayAfterMove();

    Weak<NSObject> m_delegate;
    Ref<NSString> m_autosaveName;
    Ref<NSColor> m_background;
    Ref<NSImage> m_divider;
    std::vector<NSRect> m_dividers;
    double m_dividerThickness = 0.0;
    bool m_mustAdjust = false;
    bool m_mustClearFractions = false;
    bool m_isHorizontal = false;
    bool m_canSaveState = false;
    bool m_isCoupled = true;
    bool m_isAdjusting = false;
    bool m_isDragging = false;
    bool m_isInScrollView = false;
};
