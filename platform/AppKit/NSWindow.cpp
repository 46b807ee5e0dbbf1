#include "AppKit/NSWindow.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <mutex>

#include "AppKit/NSApplication.h"
#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSScreen.h"
#include "AppKit/NSStringDrawing.h"
#include "AppKit/NSTextView.h"
#include "AppKit/NSWindowController.h"
#include "CoreGraphics/CGCairoContext.h"
#include "Foundation/NSAutoreleasePool.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSRunLoop.h"
#include "Foundation/NSThread.h"
#include "Foundation/NSUserDefaults.h"

NS_CLASS_DEFINE(NSWindow)

namespace {

// The height of the title bar the layer draws itself: none for borderless
// windows, and none where a window manager decorates titled windows (two
// title bars would show).
CGFloat ownTitleBarHeight(NSUInteger styleMask)
{
    if (!(styleMask & NSTitledWindowMask)) return 0;
    return WindowServer::shared().decoratesTitledWindows() ? 0 : kNSWindowTitleBarHeight;
}

}

// The content view's superview: paints the background colour and, for
// titled windows the window manager does not decorate, the title bar: the
// title centred in the system font and, for closable windows, a close box at
// the left that sends performClose: when clicked (pressed and released
// inside it).
class FrameView : public NSView {
    NS_OBJECT(FrameView, NSView)
public:
    FrameView() = default;

    CGFloat titleBarHeight() const
    {
        auto w = window();
        return w ? ownTitleBarHeight(w->styleMask()) : 0;
    }

    NSRect titleBarRect() const
    {
        const CGFloat height = titleBarHeight();
        return NSMakeRect(0, bounds().size.height - height, bounds().size.width, height);
    }

    NSRect closeBoxRect() const
    {
        const NSRect bar = titleBarRect();
        return NSMakeRect(8, bar.origin.y + (kNSWindowTitleBarHeight - 12) / 2, 12, 12);
    }

    bool hasCloseBox() const
    {
        auto w = window();
        return w && titleBarHeight() > 0 && (w->styleMask() & NSClosableWindowMask);
    }

    void drawRect(const NSRect& dirtyRect) override
    {
        auto w = window();
        if (!w) return;
        auto colour = w->backgroundColor();
        if (colour) colour->setFill();
        else NSColor::clearColor()->setFill();
        NSRectFillUsingOperation(dirtyRect, NSCompositingOperationCopy);
        if (titleBarHeight() > 0) drawTitleBar(w);
    }

    void mouseDown(const Ref<NSEvent>& event) override
    {
        const NSPoint p = convertPoint(event->locationInWindow(), nullptr);
        if (hasCloseBox() && mouse(p, closeBoxRect())) {
            m_closePressed = true;
            setNeedsDisplayInRect(closeBoxRect());
            return;
        }
        // The rest of the bar moves the window, as a window manager's does.
        auto w = window();
        if (!w || titleBarHeight() <= 0 || !mouse(p, titleBarRect())) return NSView::mouseDown(event);
        m_dragging = true;
        m_dragStartPointer = event->screenLocation();
        m_dragStartOrigin = w->frame().origin;
    }

    void mouseDragged(const Ref<NSEvent>& event) override
    {
        if (m_dragging) {
            // Screen positions: the window moves under the pointer.
            const NSPoint now = event->screenLocation();
            if (auto w = window())
                w->setFrameOrigin(NSMakePoint(m_dragStartOrigin.x + now.x - m_dragStartPointer.x,
                                              m_dragStartOrigin.y + now.y - m_dragStartPointer.y));
            return;
        }
        if (!m_closePressed) return NSView::mouseDragged(event);
    }

    void mouseUp(const Ref<NSEvent>& event) override
    {
        if (m_dragging) {
            m_dragging = false;
            return;
        }
        if (!m_closePressed) return NSView::mouseUp(event);
        m_closePressed = false;
        setNeedsDisplayInRect(closeBoxRect());
        const NSPoint p = convertPoint(event->locationInWindow(), nullptr);
        if (auto w = window(); w && hasCloseBox() && mouse(p, closeBoxRect())) w->performClose(Ref<FrameView>(this));
    }

private:
    void drawTitleBar(const Ref<NSWindow>& w)
    {
        const NSRect bar = titleBarRect();
        NSColor::colorWithCalibratedWhite(0.85, 1)->setFill();
        NSRectFill(bar);
        NSColor::colorWithCalibratedWhite(0.7, 1)->setFill();
        NSRectFill(NSMakeRect(0, bar.origin.y, bar.size.width, 1));

        CGFloat left = 8;
        if (hasCloseBox()) {
            const NSRect box = closeBoxRect();
            (m_closePressed ? NSColor::colorWithCalibratedRed(0.75, 0.25, 0.22, 1)
                            : NSColor::colorWithCalibratedRed(1.0, 0.37, 0.34, 1))
                ->setFill();
            NSBezierPath::bezierPathWithOvalInRect(box)->fill();
            left = NSMaxX(box) + 8;
        }

        auto title = w->title();
        if (!title || title->length() == 0) return;
        auto attributes = NSDictionary::dictionaryWithObjectsAndKeys(
            {NSFont::systemFontOfSize(NSFont::systemFontSize()), NSFontAttributeName,
             NSColor::colorWithCalibratedWhite(0.2, 1), NSForegroundColorAttributeName});
        const NSSize size = NSStringExt::sizeWithAttributes(title, attributes);
        // Centred in the bar, but never over the close box; a long title is
        // clipped at the right edge.
        const CGFloat x = std::max(left, std::floor((bar.size.width - size.width) / 2));
        const CGFloat y = bar.origin.y + std::floor((kNSWindowTitleBarHeight - size.height) / 2);
        NSGraphicsContext::saveGraphicsState();
        NSRectClip(NSMakeRect(left, bar.origin.y, std::max<CGFloat>(0, bar.size.width - left - 8), bar.size.height));
        NSStringExt::drawAtPoint(title, NSMakePoint(x, y), attributes);
        NSGraphicsContext::restoreGraphicsState();
    }

    bool m_closePressed = false;
    bool m_dragging = false;
    NSPoint m_dragStartPointer{};
    NSPoint m_dragStartOrigin{};
};
NS_CLASS_DEFINE(FrameView)

namespace {

struct Registry {
    std::mutex lock;
    std::map<NSInteger, Weak<NSWindow>> byNumber;
    // Ordered-in windows stay alive while on screen.
    std::vector<Ref<NSWindow>> onScreen;
    Weak<NSWindow> key;
    Weak<NSWindow> main;
    // Windows that were key before the current one, the latest last: the
    // keyboard goes back to them when the key window leaves the screen.
    std::vector<Weak<NSWindow>> previousKeys;
    bool observerInstalled = false;
};

Registry& registry()
{
    static auto* r = new Registry;
    return *r;
}

void installDisplayObserver()
{
    auto& r = registry();
    {
        std::lock_guard guard(r.lock);
        if (r.observerInstalled) return;
        r.observerInstalled = true;
    }
    NSRunLoop::mainRunLoop()->addObserver({NSRunLoopCommonModes}, [] { NSWindow::displayAllWindowsIfNeeded(); });
}

NSRect clampSize(NSRect frame)
{
    frame.size.width = std::max<CGFloat>(1, std::isfinite(frame.size.width) ? frame.size.width : 1);
    frame.size.height = std::max<CGFloat>(1, std::isfinite(frame.size.height) ? frame.size.height : 1);
    return frame;
}

Ref<NSString> frameKey(const Ref<NSString>& name) { return NSString::stringWithFormat("NSWindow Frame %@", name); }

}

void NSWindow::describeClass(NSClassMembers<NSWindow>& m)
{
    m.action("orderFront:", &NSWindow::orderFront);
    m.action("orderOut:", &NSWindow::orderOut);
    m.action("makeKeyAndOrderFront:", &NSWindow::makeKeyAndOrderFront);
    m.action("performClose:", &NSWindow::performClose);
    m.action("selectNextKeyView:", &NSWindow::selectNextKeyView);
    m.action("selectPreviousKeyView:", &NSWindow::selectPreviousKeyView);
    m.property("title", &NSWindow::title, &NSWindow::setTitle);
    m.property("alphaValue", &NSWindow::alphaValue, &NSWindow::setAlphaValue);
    // Outlets an interface file connects.
    m.property("delegate", &NSWindow::delegate, &NSWindow::setDelegate);
    m.property("contentView", &NSWindow::contentView, &NSWindow::setContentView);
    m.property("initialFirstResponder", &NSWindow::initialFirstResponder, &NSWindow::setInitialFirstResponder);
}

NSWindow::~NSWindow()
{
    if (m_windowID) {
        {
            std::lock_guard guard(registry().lock);
            registry().byNumber.erase(m_windowID);
        }
        WindowServer::shared().destroyWindow(m_windowID);
    }
}

Id NSWindow::init()
{
    return initWithContentRect(NSMakeRect(0, 0, 100, 100), NSTitledWindowMask, NSBackingStoreBuffered, false);
}

Ref<NSWindow> NSWindow::initWithContentRect(const NSRect& contentRect, NSUInteger styleMask, NSBackingStoreType, bool)
{
    m_styleMask = styleMask;
    m_frame = clampSize(frameRectForContentRect(contentRect, styleMask));
    m_backgroundColor = NSColor::windowBackgroundColor();
    m_title = NSString::string();
    m_frameView = alloc<FrameView>()->initWithFrame(NSMakeRect(0, 0, m_frame.size.width, m_frame.size.height));
    m_frameView->m_window = this;
    m_frameView->setNextResponder(this);
    ensureServerWindow();
    auto content = alloc<NSView>()->initWithFrame(
        contentRectForFrameRect(NSMakeRect(0, 0, m_frame.size.width, m_frame.size.height), styleMask));
    setContentView(content);
    m_firstResponder = Ref<NSResponder>(this);
    m_dirty = {NSMakeRect(0, 0, m_frame.size.width, m_frame.size.height)};
    windowDidInit();
    return this;
}

void NSWindow::ensureServerWindow()
{
    if (m_windowID) return;
    installDisplayObserver();
    m_windowID = WindowServer::shared().createWindow(m_frame, m_level, m_opaque);
    std::lock_guard guard(registry().lock);
    registry().byNumber[m_windowID] = Weak<NSWindow>(this);
}

Ref<NSWindow> NSWindow::windowWithNumber(NSInteger windowNumber)
{
    std::lock_guard guard(registry().lock);
    auto it = registry().byNumber.find(windowNumber);
    return it == registry().byNumber.end() ? nullptr : it->second.get();
}

std::vector<Ref<NSWindow>> NSWindow::allWindows()
{
    std::vector<Ref<NSWindow>> list;
    std::lock_guard guard(registry().lock);
    for (auto& [n, w] : registry().byNumber)
        if (auto window = w.get()) list.push_back(window);
    return list;
}

void NSWindow::setStyleMask(NSUInteger mask)
{
    if (mask == m_styleMask) return;
    const NSRect content = contentRectForFrameRect(m_frame);
    m_styleMask = mask;
    if (m_contentView)
        m_contentView->setFrame(contentRectForFrameRect(NSMakeRect(0, 0, m_frame.size.width, m_frame.size.height)));
    (void)content;
    setViewsNeedDisplay(true);
}

// --- Frame ---

NSRect NSWindow::frameRectForContentRect(const NSRect& contentRect, NSUInteger styleMask)
{
    NSRect f = contentRect;
    f.size.height += ownTitleBarHeight(styleMask);
    return f;
}

NSRect NSWindow::contentRectForFrameRect(const NSRect& frameRect, NSUInteger styleMask)
{
    NSRect c = frameRect;
    if (const CGFloat bar = ownTitleBarHeight(styleMask)) c.size.height = std::max<CGFloat>(0, c.size.height - bar);
    return c;
}

NSRect NSWindow::frameRectForContentRect(const NSRect& contentRect) const
{
    NSRect f = frameRectForContentRect(contentRect, m_styleMask);
    if (m_toolbar && m_toolbar->isVisible()) f.size.height += m_toolbar->stripHeight();
    return f;
}

NSRect NSWindow::contentRectForFrameRect(const NSRect& frameRect) const
{
    NSRect c = contentRectForFrameRect(frameRect, m_styleMask);
    if (m_toolbar && m_toolbar->isVisible())
        c.size.height = std::max<CGFloat>(0, c.size.height - m_toolbar->stripHeight());
    return c;
}

void NSWindow::setToolbar(const Ref<NSToolbar>& toolbar)
{
    if (toolbar == m_toolbar) return;
    const NSRect content = contentRectForFrameRect(m_frame);
    if (m_toolbar) {
        m_toolbar->stripView()->removeFromSuperview();
        m_toolbar->setWindow(nullptr);
    }
    m_toolbar = toolbar;
    if (m_toolbar) m_toolbar->setWindow(this);
    keepContentSize(content);
}

void NSWindow::toolbarDidChangeHeight() { keepContentSize(NSZeroRect); }

void NSWindow::keepContentSize(NSRect content)
{
    // The strip's height before the change is gone from the window already
    // when asked for after it: the caller passes the content rectangle.
    if (NSIsEmptyRect(content)) {
        content = m_contentView ? m_contentView->frame() : contentRectForFrameRect(m_frame);
        content.origin = m_frame.origin;
    }
    NSRect f = frameRectForContentRect(content);
    f.origin.y = NSMaxY(m_frame) - f.size.height;
    f.origin.x = m_frame.origin.x;
    applyFrame(f, true);
    placeToolbarStrip();
}

void NSWindow::placeToolbarStrip()
{
    const NSRect inner = contentRectForFrameRect(NSMakeRect(0, 0, m_frame.size.width, m_frame.size.height));
    if (m_contentView) m_contentView->setFrame(inner);
    if (!m_toolbar) return;
    auto strip = m_toolbar->stripView();
    if (!m_toolbar->isVisible()) {
        strip->removeFromSuperview();
        return;
    }
    if (strip->superview() != m_frameView) m_frameView->addSubview(strip);
    strip->setAutoresizingMask(NSViewWidthSizable | NSViewMinYMargin);
    strip->setFrame(NSMakeRect(0, NSMaxY(inner), m_frame.size.width, m_toolbar->stripHeight()));
    m_toolbar->itemsDidChange();
}

void NSWindow::setFrame(const NSRect& frame, bool display) { applyFrame(frame, display); }

void NSWindow::setFrameOrigin(NSPoint origin) { applyFrame({origin, m_frame.size}, false); }

void NSWindow::setFrameTopLeftPoint(NSPoint point)
{
    setFrameOrigin(NSMakePoint(point.x, point.y - m_frame.size.height));
}

void NSWindow::setContentSize(NSSize size)
{
    NSRect f = frameRectForContentRect(NSMakeRect(m_frame.origin.x, m_frame.origin.y, size.width, size.height));
    f.origin.y = NSMaxY(m_frame) - f.size.height;
    setFrame(f, true);
}

void NSWindow::applyFrame(const NSRect& requested, bool display)
{
    const NSRect frame = clampSize(requested);
    if (frame == m_frame) return;
    Ref<NSWindow> self(this);
    const NSRect old = m_frame;
    m_frame = frame;
    if (m_windowID) WindowServer::shared().setFrame(m_windowID, frame);
    const bool resized = old.size != frame.size;
    if (resized) {
        // The server made a new, clear surface: everything is drawn again.
        m_frameView->setFrameSize(frame.size);
        m_dirty = {NSMakeRect(0, 0, frame.size.width, frame.size.height)};
    }
    if (old.origin != frame.origin) postWindowNotification(NSWindowDidMoveNotification);
    if (resized) postWindowNotification(NSWindowDidResizeNotification);
    if (m_autosaveName) saveFrameUsingName(m_autosaveName);
    if (display && !m_displaying) displayIfNeeded();
}

void NSWindow::center()
{
    auto main = NSScreen::mainScreen();
    if (!main) return;
    const NSRect v = main->visibleFrame();
    const CGFloat x = v.origin.x + std::floor((v.size.width - m_frame.size.width) / 2);
    const CGFloat y = v.origin.y + std::floor((v.size.height - m_frame.size.height) * 2 / 3);
    setFrameOrigin(NSMakePoint(x, y));
}

Ref<NSScreen> NSWindow::screen() const
{
    Ref<NSScreen> best;
    CGFloat bestArea = 0;
    auto screens = NSScreen::screens();
    for (NSUInteger i = 0; i < screens->count(); ++i) {
        auto s = static_ref_cast<NSScreen>(screens->objectAtIndex(i));
        const NSRect overlap = NSIntersectionRect(s->frame(), m_frame);
        const CGFloat area = overlap.size.width * overlap.size.height;
        if (area > bestArea) best = s, bestArea = area;
    }
    return best;
}

NSPoint NSWindow::convertBaseToScreen(NSPoint p) const
{
    return NSMakePoint(p.x + m_frame.origin.x, p.y + m_frame.origin.y);
}

NSPoint NSWindow::convertScreenToBase(NSPoint p) const
{
    return NSMakePoint(p.x - m_frame.origin.x, p.y - m_frame.origin.y);
}

NSRect NSWindow::convertRectToScreen(const NSRect& r) const { return {convertBaseToScreen(r.origin), r.size}; }

NSRect NSWindow::convertRectFromScreen(const NSRect& r) const { return {convertScreenToBase(r.origin), r.size}; }

NSPoint NSWindow::mouseLocationOutsideOfEventStream() const
{
    return convertScreenToBase(WindowServer::shared().pointerLocation());
}

// --- Frame autosave ---

Ref<NSString> NSWindow::stringWithSavedFrame() const
{
    NSRect s = NSZeroRect;
    if (auto sc = screen()) s = sc->visibleFrame();
    else if (auto main = NSScreen::mainScreen()) s = main->visibleFrame();
    auto i = [](CGFloat v) { return static_cast<int>(std::lround(v)); };
    return NSString::stringWithFormat("%d %d %d %d %d %d %d %d ", i(m_frame.origin.x), i(m_frame.origin.y),
                                      i(m_frame.size.width), i(m_frame.size.height), i(s.origin.x), i(s.origin.y),
                                      i(s.size.width), i(s.size.height));
}

void NSWindow::setFrameFromString(const Ref<NSString>& string)
{
    if (!string) return;
    double v[4];
    if (std::sscanf(string->UTF8String().c_str(), "%lf %lf %lf %lf", &v[0], &v[1], &v[2], &v[3]) != 4) return;
    setFrame(NSMakeRect(v[0], v[1], v[2], v[3]), true);
}

bool NSWindow::setFrameAutosaveName(const Ref<NSString>& name)
{
    m_autosaveName = nullptr;
    if (name && name->length()) {
        setFrameUsingName(name);
        m_autosaveName = name;
        saveFrameUsingName(name);
    }
    return true;
}

void NSWindow::saveFrameUsingName(const Ref<NSString>& name)
{
    if (!name || !name->length()) return;
    NSUserDefaults::standardUserDefaults()->setObject(stringWithSavedFrame(), frameKey(name));
}

bool NSWindow::setFrameUsingName(const Ref<NSString>& name)
{
    if (!name || !name->length()) return false;
    auto saved = NSUserDefaults::standardUserDefaults()->stringForKey(frameKey(name));
    if (!saved) return false;
    setFrameFromString(saved);
    return true;
}

// --- Appearance ---

void NSWindow::setLevel(NSInteger level)
{
    m_level = level;
    if (m_windowID) WindowServer::shared().setLevel(m_windowID, level);
}

void NSWindow::setOpaque(bool opaque)
{
    if (opaque == m_opaque) return;
    m_opaque = opaque;
    if (m_windowID) WindowServer::shared().setOpaque(m_windowID, opaque);
    setViewsNeedDisplay(true);
}

void NSWindow::setBackgroundColor(const Ref<NSColor>& color)
{
    m_backgroundColor = color;
    setViewsNeedDisplay(true);
}

void NSWindow::setAlphaValue(CGFloat alpha)
{
    alpha = std::clamp<CGFloat>(alpha, 0, 1);
    if (alpha == m_alpha) return;
    m_alpha = alpha;
    if (m_windowID) WindowServer::shared().setAlpha(m_windowID, alpha);
}

void NSWindow::setIgnoresMouseEvents(bool ignores)
{
    m_ignoresMouse = ignores;
    if (m_windowID) WindowServer::shared().setIgnoresMouse(m_windowID, ignores);
}

void NSWindow::setHasShadow(bool shadow)
{
    m_hasShadow = shadow;
    if (m_windowID) WindowServer::shared().setHasShadow(m_windowID, shadow);
}

void NSWindow::setTitle(const Ref<NSString>& title)
{
    m_title = title ? title : NSString::string();
    if (m_windowID) WindowServer::shared().setTitle(m_windowID, m_title->UTF8String());
    if (m_styleMask & NSTitledWindowMask) setViewsNeedDisplay(true);
}

void NSWindow::setRoleName(const std::string& role, WSWindowType type)
{
    m_role = role;
    m_windowType = type;
    if (m_windowID) WindowServer::shared().setRole(m_windowID, role, type);
}

// --- Content ---

void NSWindow::setContentView(const Ref<NSView>& view)
{
    if (view == m_contentView) return;
    if (m_contentView) m_contentView->removeFromSuperviewWithoutNeedingDisplay();
    m_contentView = view;
    if (!view) return;
    view->setFrame(contentRectForFrameRect(NSMakeRect(0, 0, m_frame.size.width, m_frame.size.height)));
    view->setAutoresizingMask(NSViewWidthSizable | NSViewHeightSizable);
    m_frameView->addSubview(view);
}

// --- Order and state ---

void NSWindow::orderFront(const Id&) { orderWindow(NSWindowAbove, 0); }

void NSWindow::orderBack(const Id&) { orderWindow(NSWindowBelow, 0); }

void NSWindow::orderWindow(NSWindowOrderingMode place, NSInteger relativeTo)
{
    if (place == NSWindowOut) {
        orderOut(nullptr);
        return;
    }
    ensureServerWindow();
    Ref<NSWindow> self(this);
    if (!m_visible) {
        std::lock_guard guard(registry().lock);
        registry().onScreen.push_back(self);
    }
    m_visible = true;
    if (relativeTo == 0 && place == NSWindowBelow) {
        // Behind every other window of the level.
        auto order = WindowServer::shared().windowOrder();
        WSWindowID last = 0;
        for (auto id : order) {
            auto info = WindowServer::shared().windowInfo(id);
            if (id != m_windowID && info && info->level == m_level) last = id;
        }
        WindowServer::shared().orderWindow(m_windowID, last ? -1 : 1, last);
    } else {
        WindowServer::shared().orderWindow(m_windowID, place == NSWindowBelow ? -1 : 1, relativeTo);
    }
    if (!m_displaying) displayIfNeeded();
}

void NSWindow::orderOut(const Id&)
{
    if (!m_visible) return;
    Ref<NSWindow> self(this);
    m_visible = false;
    WindowServer::shared().orderOut(m_windowID);
    {
        std::lock_guard guard(registry().lock);
        std::erase(registry().onScreen, self);
    }
    // The window may be held only by the screen list; let the caller finish.
    NSAutoreleasePool::keepAlive(self);
    if (isKeyWindow()) {
        resignKeyWindow();
        if (auto next = nextKeyWindowAfter(self)) next->makeKeyWindow();
    }
    if (isMainWindow()) resignMainWindow();
}

Ref<NSWindow> NSWindow::nextKeyWindowAfter(const Ref<NSWindow>& leaving)
{
    auto eligible = [&](const Ref<NSWindow>& w) {
        return w && w != leaving && w->isVisible() && w->canBecomeKeyWindow();
    };
    // The window the user had before (an alert's document), then the main
    // window, then the front-most window that takes the keyboard.
    std::vector<Weak<NSWindow>> previous;
    Ref<NSWindow> main;
    {
        std::lock_guard guard(registry().lock);
        previous = registry().previousKeys;
        main = registry().main.get();
    }
    for (auto it = previous.rbegin(); it != previous.rend(); ++it)
        if (auto w = it->get(); eligible(w)) return w;
    if (eligible(main)) return main;
    for (auto id : WindowServer::shared().windowOrder())
        if (auto w = windowWithNumber(id); eligible(w)) return w;
    return nullptr;
}

void NSWindow::makeKeyAndOrderFront(const Id& sender)
{
    orderFront(sender);
    makeKeyWindow();
    makeMainWindow();
}

void NSWindow::makeKeyWindow()
{
    if (!canBecomeKeyWindow() || isKeyWindow()) return;
    Ref<NSWindow> old = registry().key.get();
    if (old) old->resignKeyWindow();
    {
        std::lock_guard guard(registry().lock);
        auto& previous = registry().previousKeys;
        std::erase_if(previous,
                      [&](const Weak<NSWindow>& w) { return !w.get() || w.refersTo(this) || w.refersTo(old.get()); });
        if (old) previous.emplace_back(old);
        // Only the last few matter.
        constexpr size_t kRemembered = 8;
        if (previous.size() > kRemembered) previous.erase(previous.begin());
        registry().key = Weak<NSWindow>(this);
    }
    ensureServerWindow();
    WindowServer::shared().setKeyWindow(m_windowID);
    becomeKeyWindow();
}

void NSWindow::makeMainWindow()
{
    if (!canBecomeMainWindow() || isMainWindow()) return;
    Ref<NSWindow> old = registry().main.get();
    if (old) old->resignMainWindow();
    {
        std::lock_guard guard(registry().lock);
        registry().main = Weak<NSWindow>(this);
    }
    becomeMainWindow();
}

void NSWindow::becomeKeyWindow()
{
    if (auto initial = initialFirstResponder(); initial && firstResponder().get() == this) makeFirstResponder(initial);
    if (auto first = firstResponder(); first && first.get() != this) first->becomeFirstResponder();
    postWindowNotification(NSWindowDidBecomeKeyNotification);
}

void NSWindow::resignKeyWindow()
{
    {
        std::lock_guard guard(registry().lock);
        if (registry().key.refersTo(this)) registry().key = nullptr;
    }
    if (WindowServer::shared().keyWindow() == m_windowID) WindowServer::shared().setKeyWindow(0);
    postWindowNotification(NSWindowDidResignKeyNotification);
}

void NSWindow::becomeMainWindow() { postWindowNotification(NSWindowDidBecomeMainNotification); }

void NSWindow::resignMainWindow()
{
    {
        std::lock_guard guard(registry().lock);
        if (registry().main.refersTo(this)) registry().main = nullptr;
    }
    postWindowNotification(NSWindowDidResignMainNotification);
}

bool NSWindow::isKeyWindow() const
{
    std::lock_guard guard(registry().lock);
    return registry().key.refersTo(this);
}

bool NSWindow::isMainWindow() const
{
    std::lock_guard guard(registry().lock);
    return registry().main.refersTo(this);
}

bool NSWindow::canBecomeKeyWindow() const { return m_styleMask & (NSTitledWindowMask | NSResizableWindowMask); }

bool NSWindow::canBecomeMainWindow() const
{
    return isVisible() && (m_styleMask & (NSTitledWindowMask | NSResizableWindowMask));
}

void NSWindow::close()
{
    Ref<NSWindow> self(this);
    NSAutoreleasePool::keepAlive(self);
    postWindowNotification(NSWindowWillCloseNotification);
    orderOut(nullptr);
}

void NSWindow::performClose(const Id& sender)
{
    if (!(m_styleMask & NSClosableWindowMask)) {
        NSBeep();
        return;
    }
    if (auto d = delegateProtocol()) {
        if (auto answer = d->windowShouldClose(Ref<NSWindow>(this)); answer && !*answer) return;
    }
    (void)sender;
    close();
}

// --- Responders ---

bool NSWindow::makeFirstResponder(const Ref<NSResponder>& responder)
{
    Ref<NSResponder> current = firstResponder();
    Ref<NSResponder> target = responder ? responder : Ref<NSResponder>(this);
    if (current == target) return true;
    if (current && current.get() != this && !current->resignFirstResponder()) return false;
    if (target.get() != this && (!target->acceptsFirstResponder() || !target->becomeFirstResponder())) {
        m_firstResponder = Ref<NSResponder>(this);
        return false;
    }
    m_firstResponder = target;
    return true;
}

Ref<NSResponder> NSWindow::fieldEditor(bool createFlag, const Id&)
{
    // Text fields are edited through a text view in field-editor mode.
    if (!m_fieldEditor && createFlag) {
        auto editor = NSObject::alloc<NSTextView>();
        editor->initWithFrame(NSZeroRect);
        editor->setFieldEditor(true);
        m_fieldEditor = editor;
    }
    return m_fieldEditor;
}

void NSWindow::endEditingFor(const Id&)
{
    if (m_fieldEditor && firstResponder() == m_fieldEditor) m_firstResponder = Ref<NSResponder>(this);
}

Ref<NSWindowController> NSWindow::windowController() const { return m_windowController.get(); }

void NSWindow::setWindowController(const Ref<NSWindowController>& controller) { m_windowController = controller; }

NSWindowDelegate* NSWindow::delegateProtocol() const { return dynamic_cast<NSWindowDelegate*>(m_delegate.get().get()); }

void NSWindow::postWindowNotification(const char* name)
{
    auto note = NSNotification::notificationWithName(NSString::stringWithUTF8String(name), Ref<NSWindow>(this));
    auto holder = m_delegate.get();
    if (auto d = dynamic_cast<NSWindowDelegate*>(holder.get())) {
        const std::string n = name;
        if (n == NSWindowWillCloseNotification) d->windowWillClose(note);
        else if (n == NSWindowDidMoveNotification) d->windowDidMove(note);
        else if (n == NSWindowDidResizeNotification) d->windowDidResize(note);
        else if (n == NSWindowDidBecomeKeyNotification) d->windowDidBecomeKey(note);
        else if (n == NSWindowDidResignKeyNotification) d->windowDidResignKey(note);
        else if (n == NSWindowDidBecomeMainNotification) d->windowDidBecomeMain(note);
        else if (n == NSWindowDidResignMainNotification) d->windowDidResignMain(note);
    }
    NSNotificationCenter::defaultCenter()->postNotification(note);
}

bool NSWindow::tryToPerform(const SEL& action, const Id& object)
{
    return NSResponder::tryToPerform(action, object, delegate());
}

void NSWindow::displayAllWindowsIfNeeded()
{
    std::vector<Ref<NSWindow>> windows;
    {
        std::lock_guard guard(registry().lock);
        windows = registry().onScreen;
    }
    for (auto& w : windows)
        if (w->isVisible()) w->displayIfNeeded();
}
