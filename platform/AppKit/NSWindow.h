#pragma once
// Windows: a frame in global points, a content view inside a frame view, a
// level, alpha, opacity and a y-down surface kept by the window server. A
// window is displayed once per run-loop turn from its dirty region, by an
// end-of-turn observer of the main run loop.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "AppKit/CGWindowLevel.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSResponder.h"
#include "AppKit/NSToolbar.h"
#include "AppKit/NSView.h"
#include "Foundation/NSNotification.h"
#include "WindowServer/NSWindowStyleMask.h"
#include "WindowServer/WindowServer.h"

class NSButton;
class NSScreen;
class NSTimer;
class NSWindowController;
class NSGraphicsContext;

enum NSBackingStoreType : NSUInteger {
    NSBackingStoreRetained = 0,
    NSBackingStoreNonretained = 1,
    NSBackingStoreBuffered = 2
};

enum : NSInteger {
    NSNormalWindowLevel = 0,
    NSFloatingWindowLevel = 3,
    NSSubmenuWindowLevel = 3,
    NSTornOffMenuWindowLevel = 3,
    NSModalPanelWindowLevel = 8,
    NSDockWindowLevel = 20,
    NSMainMenuWindowLevel = 24,
    NSStatusWindowLevel = 25,
    NSPopUpMenuWindowLevel = 101,
    NSScreenSaverWindowLevel = 1000,
};

// The title bar of a titled window, in points.
inline constexpr CGFloat kNSWindowTitleBarHeight = 22;

// The buttons of a window's title bar (standardWindowButton).
enum NSWindowButton : NSUInteger {
    NSWindowCloseButton = 0,
    NSWindowMiniaturizeButton = 1,
    NSWindowZoomButton = 2,
    NSWindowToolbarButton = 3,
    NSWindowDocumentIconButton = 4,
};

enum NSSelectionDirection : NSUInteger { NSDirectSelection = 0, NSSelectingNext = 1, NSSelectingPrevious = 2 };

inline constexpr char NSWindowWillCloseNotification[] = "NSWindowWillCloseNotification";
inline constexpr char NSWindowDidMoveNotification[] = "NSWindowDidMoveNotification";
inline constexpr char NSWindowDidResizeNotification[] = "NSWindowDidResizeNotification";
inline constexpr char NSWindowDidBecomeKeyNotification[] = "NSWindowDidBecomeKeyNotification";
inline constexpr char NSWindowDidResignKeyNotification[] = "NSWindowDidResignKeyNotification";
inline constexpr char NSWindowDidBecomeMainNotification[] = "NSWindowDidBecomeMainNotification";
inline constexpr char NSWindowDidResignMainNotification[] = "NSWindowDidResignMainNotification";

class NSWindow;

// The window delegate (optional methods: nullopt / no-op means "not implemented").
class NSWindowDelegate {
public:
    virtual ~NSWindowDelegate() = default;
    virtual std::optional<bool> windowShouldClose(const Id&) { return std::nullopt; }
    virtual void windowWillClose(const Ref<NSNotification>&) { }
    virtual void windowDidMove(const Ref<NSNotification>&) { }
    virtual void windowDidResize(const Ref<NSNotification>&) { }
    virtual void windowDidBecomeKey(const Ref<NSNotification>&) { }
    virtual void windowDidResignKey(const Ref<NSNotification>&) { }
    virtual void windowDidBecomeMain(const Ref<NSNotification>&) { }
    virtual void windowDidResignMain(const Ref<NSNotification>&) { }
    virtual std::optional<NSRect> windowWillUseStandardFrameDefaultFrame(const Ref<NSWindow>&, const NSRect&)
    {
        return std::nullopt;
    }
    virtual std::optional<NSSize> windowWillResizeToSize(const Ref<NSWindow>&, NSSize) { return std::nullopt; }
    // The undo manager of the window's views (the window's own otherwise).
    virtual Id windowWillReturnUndoManager(const Ref<NSWindow>&) { return nullptr; }
};

class NSWindow : public NSResponder {
    NS_OBJECT(NSWindow, NSResponder)
protected:
    NSWindow();

public:
    ~NSWindow() override;

    // initWithContentRect:styleMask:backing:defer: — the rectangle is the
    // content rectangle in global points.
    virtual Ref<NSWindow> initWithContentRect(const NSRect& contentRect, NSUInteger styleMask,
                                              NSBackingStoreType backing, bool defer);
    Id init() override;

    // The window of a server window number, or nil.
    static Ref<NSWindow> windowWithNumber(NSInteger windowNumber);
    // The window of each visible and hidden window object alive, by creation.
    static std::vector<Ref<NSWindow>> allWindows();

    NSInteger windowNumber() const { return m_windowID; }
    NSUInteger styleMask() const { return m_styleMask; }
    void setStyleMask(NSUInteger mask);

    // --- Frame ---
    NSRect frame() const { return m_frame; }
    // Width and height below 1 become 1. Setting the current frame does
    // nothing; inside a display the redraw happens after the current one.
    virtual void setFrame(const NSRect& frame, bool display);
    // With animate, the frame moves there in steps on the run-loop clock
    // over animationResizeTime and ends at exactly `frame`. Moving the
    // window meanwhile (setFrameOrigin) moves the animation along; any other
    // frame change stops it where it is.
    void setFrame(const NSRect& frame, bool display, bool animate);
    virtual NSTimeInterval animationResizeTime(const NSRect& newFrame) const;
    virtual void setFrameOrigin(NSPoint origin);
    void setFrameTopLeftPoint(NSPoint point);
    void setContentSize(NSSize size);
    NSRect frameRectForContentRect(const NSRect& contentRect) const;
    NSRect contentRectForFrameRect(const NSRect& frameRect) const;
    static NSRect frameRectForContentRect(const NSRect& contentRect, NSUInteger styleMask);
    static NSRect contentRectForFrameRect(const NSRect& frameRect, NSUInteger styleMask);
    NSSize minSize() const { return m_minSize; }
    void setMinSize(NSSize size) { m_minSize = size; }
    NSSize maxSize() const { return m_maxSize; }
    void setMaxSize(NSSize size) { m_maxSize = size; }
    // Centres the window horizontally, a little above the middle, on the
    // main screen's visible frame.
    void center();
    // The screen with the largest part of the frame; nil when none meets it.
    Ref<NSScreen> screen() const;
    NSPoint convertBaseToScreen(NSPoint point) const;
    NSPoint convertScreenToBase(NSPoint point) const;
    NSRect convertRectToScreen(const NSRect& rect) const;
    NSRect convertRectFromScreen(const NSRect& rect) const;
    // The pointer in base coordinates.
    NSPoint mouseLocationOutsideOfEventStream() const;

    // --- Frame autosave: "NSWindow Frame <name>" = "x y w h sx sy sw sh" ---
    bool setFrameAutosaveName(const Ref<NSString>& name);
    Ref<NSString> frameAutosaveName() const { return m_autosaveName; }
    void saveFrameUsingName(const Ref<NSString>& name);
    bool setFrameUsingName(const Ref<NSString>& name);
    bool setFrameUsingName(const Ref<NSString>& name, bool force)
    {
        (void)force;
        return setFrameUsingName(name);
    }
    Ref<NSString> stringWithSavedFrame() const;
    void setFrameFromString(const Ref<NSString>& string);

    // --- Title-bar buttons and zooming (NSWindowZoom.cpp) ---
    // The close button of a closable window and the zoom button of a titled
    // one (enabled when the window is resizable), which the layer's title bar
    // draws and a click on which zooms; nil for the other kinds.
    Ref<NSButton> standardWindowButton(NSWindowButton kind);
    // Toggles between the standard frame (the delegate's answer to
    // windowWillUseStandardFrame:defaultFrame:, the default being the
    // screen's visible frame) and the frame the window had before, animated.
    void zoom(const Id& sender);
    // The frame is the standard frame.
    bool isZoomed() const;
    // Kept for callers: the layer draws no resize grip and no toolbar button.
    bool showsResizeIndicator() const { return m_showsResizeIndicator; }
    void setShowsResizeIndicator(bool flag) { m_showsResizeIndicator = flag; }
    bool showsToolbarButton() const { return m_showsToolbarButton; }
    void setShowsToolbarButton(bool flag) { m_showsToolbarButton = flag; }

    // --- Appearance ---
    NSInteger level() const { return m_level; }
    virtual void setLevel(NSInteger level);
    bool isOpaque() const { return m_opaque; }
    void setOpaque(bool opaque);
    Ref<NSColor> backgroundColor() const { return m_backgroundColor; }
    virtual void setBackgroundColor(const Ref<NSColor>& color);
    CGFloat alphaValue() const { return m_alpha; }
    void setAlphaValue(CGFloat alpha);
    bool ignoresMouseEvents() const { return m_ignoresMouse; }
    void setIgnoresMouseEvents(bool ignores);
    bool hasShadow() const { return m_hasShadow; }
    void setHasShadow(bool shadow);
    void invalidateShadow() { }
    bool isMovableByWindowBackground() const { return m_movableByBackground; }
    void setMovableByWindowBackground(bool movable) { m_movableByBackground = movable; }
    bool isExcludedFromWindowsMenu() const { return m_excludedFromWindowsMenu; }
    void setExcludedFromWindowsMenu(bool flag) { m_excludedFromWindowsMenu = flag; }
    void useOptimizedDrawing(bool) { }
    bool acceptsMouseMovedEvents() const { return m_acceptsMouseMoved; }
    void setAcceptsMouseMovedEvents(bool flag) { m_acceptsMouseMoved = flag; }
    Ref<NSString> title() const { return m_title; }
    void setTitle(const Ref<NSString>& title);
    // The role name the window server shows (x11 WM_CLASS, test lookups).
    const std::string& roleName() const { return m_role; }
    // What the window says of itself to the window server: a role name that
    // outside tools find it by, and how a window manager should treat it.
    void setRoleName(const std::string& role, WSWindowType type = WSWindowType::automatic);
    WSWindowType windowType() const { return m_windowType; }
    bool worksWhenModal() const { return m_worksWhenModal; }
    void setWorksWhenModal(bool flag) { m_worksWhenModal = flag; }
    bool isReleasedWhenClosed() const { return m_releasedWhenClosed; }
    void setReleasedWhenClosed(bool flag) { m_releasedWhenClosed = flag; }
    bool hidesOnDeactivate() const { return m_hidesOnDeactivate; }
    void setHidesOnDeactivate(bool flag) { m_hidesOnDeactivate = flag; }

    // --- Content ---
    Ref<NSView> contentView() const { return m_contentView; }
    // The toolbar shows as a strip above the content view; the content keeps
    // its size and the window grows or shrinks by the strip.
    Ref<NSToolbar> toolbar() const { return m_toolbar; }
    void setToolbar(const Ref<NSToolbar>& toolbar);
    // The toolbar's strip changed height or visibility.
    void toolbarDidChangeHeight();
    // The thickness of the window's bottom (NSMinYEdge) and top (NSMaxYEdge)
    // content borders; other edges have none.
    CGFloat contentBorderThicknessForEdge(NSRectEdge edge) const
    {
        return edge == NSMinYEdge ? m_bottomContentBorder : edge == NSMaxYEdge ? m_topContentBorder : 0;
    }
    void setContentBorderThickness(CGFloat thickness, NSRectEdge edge)
    {
        if (edge == NSMinYEdge) m_bottomContentBorder = thickness;
        else if (edge == NSMaxYEdge) m_topContentBorder = thickness;
    }
    virtual void setContentView(const Ref<NSView>& view);
    // The content view's superview: background and title bar.
    Ref<NSView> frameView() const { return m_frameView; }

    // --- Order and state ---
    virtual void orderFront(const Id& sender);
    virtual void orderOut(const Id& sender);
    void orderBack(const Id& sender);
    void orderFrontRegardless() { orderFront(nullptr); }
    void orderWindow(NSWindowOrderingMode place, NSInteger relativeTo);
    virtual void makeKeyAndOrderFront(const Id& sender);
    void makeKeyWindow();
    void makeMainWindow();
    // Orders out and posts windowWillClose:; the window object lives on while
    // anyone (its controller) holds it.
    virtual void close();
    // performClose: asks windowShouldClose: first (beeps for windows that
    // have no close button).
    virtual void performClose(const Id& sender);
    bool isVisible() const { return m_visible; }
    bool isKeyWindow() const;
    bool isMainWindow() const;
    // Borderless windows cannot, unless a subclass says so.
    virtual bool canBecomeKeyWindow() const;
    virtual bool canBecomeMainWindow() const;
    virtual void becomeKeyWindow();
    virtual void resignKeyWindow();
    virtual void becomeMainWindow();
    virtual void resignMainWindow();
    // YES for a window attached to another as its sheet.
    bool isSheet() const;

    // --- Responders ---
    Ref<NSResponder> firstResponder() const { return m_firstResponder.get(); }
    // Asks the current one to resign and the new one to accept; nil makes
    // the window itself the first responder.
    bool makeFirstResponder(const Ref<NSResponder>& responder);
    Ref<NSResponder> initialFirstResponder() const { return m_initialFirstResponder.get(); }
    void setInitialFirstResponder(const Ref<NSResponder>& responder) { m_initialFirstResponder = responder; }
    // The key-view loop: Tab and Shift-Tab move the first responder to the
    // next or previous view along the views' nextKeyView links, starting from
    // the sender when it is a view of this window, else from the first
    // responder, else at the initial first responder.
    void selectNextKeyView(const Id& sender);
    void selectPreviousKeyView(const Id& sender);
    void selectKeyViewFollowingView(const Ref<NSView>& view);
    void selectKeyViewPrecedingView(const Ref<NSView>& view);
    // How the key view now taking the focus was reached: NSSelectingPrevious
    // while the loop goes backwards, NSSelectingNext forwards, else
    // NSDirectSelection.
    NSSelectionDirection keyViewSelectionDirection() const { return m_keyViewSelectionDirection; }

    // The field editor: a text view in field-editor mode, made on demand.
    Ref<NSResponder> fieldEditor(bool createFlag, const Id& forObject);
    // The delegate's undo manager, or one the window makes on first use
    // (NSWindowUndo.cpp).
    Id undoManager() override;
    void endEditingFor(const Id& object);

    // --- Delegate and controller ---
    // Not retained; a delegate implements NSWindowDelegate and/or actions.
    Id delegate() const { return m_delegate.get(); }
    void setDelegate(const Id& delegate) { m_delegate = delegate; }
    Ref<NSWindowController> windowController() const;
    void setWindowController(const Ref<NSWindowController>& controller);

    // --- Events ---
    virtual void sendEvent(const Ref<NSEvent>& event);
    Ref<NSEvent> nextEventMatchingMask(NSEventMask mask);
    Ref<NSEvent> currentEvent() const;
    // The window itself (no window background moves at the end of the chain).
    void mouseDown(const Ref<NSEvent>& event) override;
    void mouseDragged(const Ref<NSEvent>& event) override;
    void mouseUp(const Ref<NSEvent>& event) override;
    void keyDown(const Ref<NSEvent>& event) override;
    bool tryToPerform(const SEL& action, const Id& object) override;
    // Cursor rectangles: each view's resetCursorRects runs before the
    // pointer is next looked at after the window's views change (or at
    // once for invalidateCursorRectsForView); entering a rectangle sets its
    // cursor, leaving them all sets the arrow.
    void invalidateCursorRectsForView(const Ref<NSView>& view);
    void resetCursorRects();
    void discardCursorRects();

    // --- Display ---
    // The window's dirty region (base coordinates), displayed at the end of
    // the turn.
    void setViewsNeedDisplay(bool flag);
    bool viewsNeedDisplay() const { return !m_dirty.empty(); }
    void invalidateRectInBase(const NSRect& rect);
    void display();
    void displayIfNeeded();
    void disableFlushWindow() { ++m_flushDisabled; }
    void enableFlushWindow()
    {
        if (m_flushDisabled > 0) --m_flushDisabled;
    }
    void flushWindow();
    // Flushes every window whose flush waited while screen updates were
    // disabled (NSEnableScreenUpdates, at the outermost level).
    static void flushWindowsHeldForScreenUpdates();
    bool isDisplaying() const { return m_displaying; }
    // Displays every window that needs it (the end-of-turn observer).
    static void displayAllWindowsIfNeeded();
    // The user-to-device matrix of the window's surface: base coordinates
    // (y up) to surface pixels (y down).
    CGAffineTransform baseToSurfaceTransform() const;

    static void describeClass(NSClassMembers<NSWindow>& m);

protected:
    // Runs at the end of initWithContentRect (after the server window exists).
    virtual void windowDidInit() { }

private:
    // Sets the frame for the content rectangle (the content view's frame
    // when empty), keeping the top edge, then places the toolbar's strip.
    void keepContentSize(NSRect content);
    void placeToolbarStrip();
    Ref<NSView> keyViewStart(const Id& sender) const;
    // Who takes the keyboard when the key window leaves the screen.
    static Ref<NSWindow> nextKeyWindowAfter(const Ref<NSWindow>& leaving);
    friend class NSApplication;
    friend class NSView;
    void applyFrame(const NSRect& frame, bool display);
    void stopFrameAnimation();
    // A move during an animated frame change moves where it goes too; NO
    // when no animation runs.
    bool shiftFrameAnimation(NSPoint delta);
    NSRect standardFrame() const;
    void postWindowNotification(const char* name);
    void ensureServerWindow();
    void sendMouseToView(const Ref<NSEvent>& event);
    void updateTrackingAreas(const Ref<NSEvent>& event);
    void updateCursorRects(NSPoint locationInWindow, bool pointerInside);
    Ref<NSGraphicsContext> makeSurfaceContext(Ref<CGImage>& surface);
    NSWindowDelegate* delegateProtocol() const;

    WSWindowID m_windowID = 0;
    NSUInteger m_styleMask = NSTitledWindowMask;
    NSRect m_frame;
    NSSize m_minSize{1, 1};
    NSSize m_maxSize{1e6, 1e6};
    NSInteger m_level = NSNormalWindowLevel;
    bool m_opaque = true;
    Ref<NSColor> m_backgroundColor;
    CGFloat m_alpha = 1;
    bool m_ignoresMouse = false;
    bool m_hasShadow = true;
    bool m_movableByBackground = false;
    bool m_excludedFromWindowsMenu = false;
    bool m_acceptsMouseMoved = false;
    bool m_worksWhenModal = false;
    bool m_releasedWhenClosed = true;
    bool m_hidesOnDeactivate = false;
    bool m_visible = false;
    Ref<NSString> m_title;
    std::string m_role;
    WSWindowType m_windowType = WSWindowType::automatic;
    Ref<NSString> m_autosaveName;
    Ref<NSView> m_frameView;
    Ref<NSView> m_contentView;
    Ref<NSToolbar> m_toolbar;
    Ref<NSButton> m_closeButton;
    Ref<NSButton> m_zoomButton;
    bool m_showsResizeIndicator = true;
    bool m_showsToolbarButton = true;
    // The frame before zooming, for the way back.
    std::optional<NSRect> m_userStateFrame;
    Ref<NSTimer> m_frameAnimation;
    Id m_frameAnimationState;
    CGFloat m_topContentBorder = 0;
    CGFloat m_bottomContentBorder = 0;
    Weak<NSResponder> m_firstResponder;
    Weak<NSResponder> m_initialFirstResponder;
    Ref<NSResponder> m_fieldEditor;
    NSSelectionDirection m_keyViewSelectionDirection = NSDirectSelection;
    Id m_undoManager;
    Weak<NSObject> m_delegate;
    Weak<NSWindowController> m_windowController;
    // Mouse routing: the view that took the mouse-down keeps the drags.
    Weak<NSView> m_mouseDownView;
    bool m_movingByBackground = false;
    // Cursor rectangles: rebuilt when stale; the cursor of the one the
    // pointer is in.
    bool m_cursorRectsValid = false;
    Id m_cursorRectCursor;
    NSPoint m_moveStartPointer;
    NSPoint m_moveStartOrigin;
    // Display.
    std::vector<NSRect> m_dirty;
    bool m_displaying = false;
    int m_flushDisabled = 0;
    bool m_flushHeld = false;  // a flush waits for screen updates
    // The changed rectangles go to the server (none: the whole window).
    void flushToServer(const std::vector<NSRect>& changed);
};
