#pragma once
// One pane of a QXSplitView: a plain view placed beside its siblings along
// the split axis. It carries the limits and the remembered share the layout
// pass reads, collapses to zero size and expands again (at once or
// animated), lets a divider be dragged from inside it where the delegate
// says, and moves a window that is movable by its background.
//
// Terms: the split axis is x in a vertical split view (panes side by side)
// and y in a horizontal one (panes stacked); a pane's dimension is its size
// along that axis. A collapsed pane has a visible dimension of 0; a hidden
// pane takes no part in layout.
#include <functional>

#include "AppKit/NSView.h"
#include "Foundation/NSCoding.h"

class QXSplitView;
class QXSplitSubview;

// One visible pane's entry during a layout pass.
struct subviewCache {
    NSRect rect;
    double fraction = 0;
    QXSplitSubview* subview = nullptr;
    double dimension = 0;
    bool fixed = false;
};

// The process-wide record of the one running collapse or expand animation.
struct animationData {
    QXSplitSubview* owner = nullptr;
    double dimension = 0;  // visible size when collapsing, remembered share when expanding
    int32_t stepCount = 0;
    double totalStepTime = 0;  // seconds spent inside steps
    double finishTime = 0;     // seconds since the reference date
    double duration = 0;
    bool collapsing = false;
    bool resize = false;  // the pane's own contents follow its size
};

inline constexpr double QXSplitSubviewDefaultMaxDimension = 1000000.0;

class QXSplitSubview : public NSView, public NSCoding {
    NS_OBJECT(QXSplitSubview, NSView)
protected:
    QXSplitSubview() = default;

public:
    Ref<NSView> initWithFrame(const NSRect& frame) override;
    ~QXSplitSubview() override;

    // --- Relations to the enclosing split view ---
    // The superview when it is a QXSplitView, else nil.
    Ref<QXSplitView> splitView() const;
    // The split view whose look this pane borrows (a nested split view
    // answers its parent only while coupled).
    virtual Ref<QXSplitView> couplingSplitView() const;
    // The last of the consecutive QXSplitView superviews, nil when the
    // superview is not one.
    Ref<QXSplitView> outermostSplitView() const;
    bool splitViewIsHorizontal() const;
    virtual Ref<QXSplitView> asSplitView() { return nullptr; }
    virtual Ref<QXSplitView> coupledSplitView() const { return nullptr; }
    virtual bool isCoupled() const { return false; }
    virtual void setCoupled(bool) { }
    // Index among all the split view's subviews, hidden ones included.
    NSUInteger position() const;
    void setPosition(NSUInteger position);
    NSUInteger numberOfSubviews() const { return subviews().size(); }

    // --- Identity ---
    Ref<NSString> identifier() const { return m_identifier; }
    // nil stores the empty string.
    void setIdentifier(const Ref<NSString>& identifier);
    NSInteger tag() const override { return m_tag; }
    void setTag(int64_t tag) { m_tag = tag; }
    Ref<NSString> description() const override;

    // --- Size and limits ---
    double minDimension() const { return m_minDimension; }
    double maxDimension() const { return m_maxDimension; }
    // setMinDimension:andMaxDimension: — whole points, minimum at least 1,
    // a maximum below 1 meaning none; asks for a pass when the pane is now
    // outside them.
    void setMinDimension(double minDimension, double maxDimension);
    // The visible dimension, or for a collapsed pane its remembered share of
    // the current length within its limits.
    double dimension() const;
    // Within the limits: an expanded pane takes it and the split view lays
    // out around it; a collapsed one remembers it as its share.
    void setDimension(double value);
    // changeDimensionBy:mayCollapse:move: — one step of a divider drag;
    // answers the change made.
    double changeDimensionBy(double delta, bool mayCollapse, bool move);

    // --- States ---
    bool isCollapsed() const { return QX___visibleDimension() <= 0; }
    bool canShrink() const;
    bool canExpand() const;
    bool canCollapse() const;
    void setCanCollapse(bool flag) { m_canCollapse = flag; }
    // -2 expanding and -1 collapsing (animated), 1 collapsed, 0 expanded.
    int status() const;
    // Whether a pane of the process is animating.
    static bool animating();

    // --- Collapse and expand ---
    // Minus the dimension given up, 0 when nothing happened.
    double collapse();
    // The share given back, 0 when the pane was not collapsed.
    double expand();
    bool collapseWithAnimation();
    bool expandWithAnimation();
    // YES when an animation started; otherwise the change is made at once.
    bool collapseWithAnimation(bool animate, bool resize);
    bool expandWithAnimation(bool animate, bool resize);

    // Hiding asks the split view for a full pass, showing for one that keeps
    // this pane's size.
    void setHidden(bool hidden) override;
    void QX___setHidden(bool hidden) { NSView::setHidden(hidden); }

    // --- View behaviour ---
    bool isFlipped() const override { return false; }
    bool acceptsFirstResponder() const override { return false; }
    bool autoresizesSubviews() const override { return true; }
    bool isOpaque() const override;
    void setFrame(const NSRect& frame) override;
    void resizeSubviewsWithOldSize(NSSize oldSize) override;
    void drawRect(const NSRect& rect) override;
    void display() override;
    Ref<NSView> hitTest(NSPoint pointInSuperview) override;
    void mouseDown(const Ref<NSEvent>& event) override;

    // --- Archiving ---
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

    // --- Used by the layout pass, dragging, animation and saving ---
    double QX___visibleDimension() const;
    double QX___fraction() const { return m_fraction; }
    void QX___copyIntoCache(subviewCache& entry);
    void QX___updateFromCache(const subviewCache& entry, double totalDimension);
    void QX___setFrame(const NSRect& frame, double fraction, bool notify);
    void QX___setFrameSize(NSSize size, double fraction);
    void QX___finishCollapse(const NSRect& frame, double fraction);
    void QX___finishExpand(const NSRect& frame, double fraction);
    double QX___collapse();
    double QX___expandAndSetToMinimum(bool toMinimum);
    double QX___setMinAndMaxTo(double value, double* savedMin, double* savedMax);
    bool QX___clearResponder();
    NSUInteger QX___actDivider() const { return m_actDivider; }
    // The animation (QXSplitSubviewAnimation.cpp).
    animationData* QX___animationData(bool start, bool resize);
    void QX___stepAnimation();
    bool QX___stopAnimation();

    static void describeClass(NSClassMembers<QXSplitSubview>& m);

protected:
    // The pane defaults, shared by initWithFrame and initWithCoder.
    void setPaneDefaults(NSSize savedSize);
    // Tracks the mouse until it goes up, handing each event to the step.
    static void trackMouse(const std::function<void(const Ref<NSEvent>&)>& step);

private:
    void dragDivider(const Ref<NSEvent>& event);
    void dragWindow(const Ref<NSEvent>& event);

    Ref<NSString> m_identifier;
    int64_t m_tag = 0;
    double m_minDimension = 1.0;
    double m_maxDimension = QXSplitSubviewDefaultMaxDimension;
    double m_fraction = 0.0;
    NSRect m_previous;
    NSSize m_savedSize;
    NSUInteger m_actDivider = NSNotFound;
    bool m_canDragWindow = false;
    bool m_canCollapse = false;
    bool m_notInLimits = false;
    // Decoded from an archive as collapsed: the frame keeps its full size
    // until the split view first places the pane, and the pane counts as
    // collapsed meanwhile (the split axis is not known while decoding).
    bool m_collapsedByArchive = false;
};
