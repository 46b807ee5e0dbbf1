#include "AppKit/PopUpList.h"

#include "Foundation/NSClass.h"

#include <algorithm>

#include "AppKit/NSApplication.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSPanel.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSRunLoop.h"
#include "WindowServer/USKeyboardLayout.h"

namespace {

class PopUpListView : public NSView {
    NS_OBJECT(PopUpListView, NSView)
protected:
    PopUpListView() = default;

public:
    PopUpList::Options options;
    NSInteger highlighted = -1;

    bool isFlipped() const override { return true; }
    NSRect rowRect(NSInteger row) const
    {
        return NSMakeRect(0, 2 + row * PopUpList::kRowHeight, bounds().size.width, PopUpList::kRowHeight);
    }
    NSInteger rowAt(NSPoint p) const
    {
        if (!NSPointInRect(p, bounds())) return -1;
        const NSInteger row = NSInteger(std::floor((p.y - 2) / PopUpList::kRowHeight));
        if (row < 0 || row >= NSInteger(options.titles.size())) return -1;
        return isEnabled(row) ? row : -1;
    }
    bool isEnabled(NSInteger row) const
    {
        return options.enabled.empty() || (size_t(row) < options.enabled.size() && options.enabled[size_t(row)]);
    }
    void drawRect(const NSRect&) override
    {
        NSColor::whiteColor()->setFill();
        NSRectFill(bounds());
        NSColor::grayColor()->setFill();
        NSFrameRect(bounds());
        for (NSInteger i = 0; i < NSInteger(options.titles.size()); ++i) {
            const NSRect r = rowRect(i);
            Ref<NSColor> ink = isEnabled(i) ? NSColor::blackColor() : NSColor::grayColor();
            if (i == highlighted) {
                NSColor::selectedMenuItemColor()->setFill();
                NSRectFill(NSInsetRect(r, 1, 0));
                ink = NSColor::whiteColor();
            }
            ControlText::drawInRect(options.titles[size_t(i)], NSInsetRect(r, 10, 0), options.style, ink, 0);
        }
    }
};

NS_CLASS_DEFINE(PopUpListView)

Weak<NSWindow>& currentList()
{
    static Weak<NSWindow> list;
    return list;
}

NSPoint screenPoint(const Ref<NSEvent>& e)
{
    auto w = e->window();
    return w ? w->convertBaseToScreen(e->locationInWindow()) : e->locationInWindow();
}

NSInteger step(const PopUpListView& view, NSInteger from, int direction)
{
    const NSInteger n = NSInteger(view.options.titles.size());
    for (NSInteger row = from + direction; row >= 0 && row < n; row += direction)
        if (view.isEnabled(row)) return row;
    return from;
}

}  // namespace

NSRect PopUpList::listFrame(const Options& o)
{
    CGFloat width = o.controlRectOnScreen.size.width;
    for (const auto& t : o.titles) width = std::max(width, std::ceil(ControlText::width(t, o.style)) + 24);
    const CGFloat height = std::max<CGFloat>(1, o.titles.size()) * kRowHeight + 4;
    const NSRect c = o.controlRectOnScreen;
    if (o.belowControl) return NSMakeRect(c.origin.x, c.origin.y - height, width, height);
    // The current row sits over the control, as a pop-up menu opens.
    const NSInteger row = std::max<NSInteger>(0, o.highlighted);
    const CGFloat top = NSMidY(c) + kRowHeight / 2 + 2 + row * kRowHeight;
    return NSMakeRect(c.origin.x, top - height, width, height);
}

Ref<NSWindow> PopUpList::currentListWindow() { return currentList().get(); }

NSInteger PopUpList::run(const Options& options, const Ref<NSEvent>& startEvent)
{
    if (!NSApp || options.titles.empty()) return -1;
    const NSRect frame = listFrame(options);
    auto window = NSObject::alloc<NSPanel>();
    window->initWithContentRect(frame, NSBorderlessWindowMask, NSBackingStoreBuffered, false);
    window->setLevel(NSPopUpMenuWindowLevel);
    window->setReleasedWhenClosed(false);
    window->setHasShadow(true);
    auto view = NSObject::alloc<PopUpListView>();
    view->initWithFrame(NSMakeRect(0, 0, frame.size.width, frame.size.height));
    view->options = options;
    view->highlighted = options.highlighted;
    window->setContentView(view);
    window->orderFront(nullptr);
    currentList() = window;

    auto rowAt = [&](NSPoint screen) {
        return view->rowAt(view->convertPoint(window->convertScreenToBase(screen), nullptr));
    };
    auto highlight = [&](NSInteger row) {
        if (row == view->highlighted) return;
        view->highlighted = row;
        view->setNeedsDisplay(true);
    };

    NSInteger choice = -1;
    bool openingRelease = startEvent && startEvent->type() == NSLeftMouseDown;
    bool dragged = false;
    const NSEventMask mask = NSLeftMouseDownMask | NSLeftMouseUpMask | NSLeftMouseDraggedMask | NSMouseMovedMask |
                             NSKeyDownMask | NSRightMouseDownMask;
    for (bool done = false; !done;) {
        NSWindow::displayAllWindowsIfNeeded();
        auto e = NSApp->nextEventMatchingMask(mask, NSDate::distantFuture(), NSEventTrackingRunLoopMode, true);
        if (!e) break;
        switch (e->type()) {
        case NSLeftMouseDragged:
        case NSMouseMoved: {
            const NSInteger row = rowAt(screenPoint(e));
            if (e->type() == NSLeftMouseDragged) dragged = true;
            if (row >= 0 || e->type() == NSLeftMouseDragged) highlight(row);
            break;
        }
        case NSLeftMouseDown: {
            const NSInteger row = rowAt(screenPoint(e));
            if (!NSPointInRect(screenPoint(e), frame)) done = true;  // a click elsewhere cancels
            else highlight(row);
            break;
        }
        case NSRightMouseDown: done = true; break;
        case NSLeftMouseUp: {
            const NSPoint p = screenPoint(e);
            const NSInteger row = rowAt(p);
            // The release of the click that opened the list leaves it open.
            if (openingRelease && !dragged) {
                openingRelease = false;
                break;
            }
            openingRelease = false;
            if (row >= 0) {
                choice = row;
                done = true;
            } else if (!NSPointInRect(p, frame)) {
                done = true;
            }
            break;
        }
        case NSKeyDown:
            switch (e->keyCode()) {
            case kVK_UpArrow: highlight(step(*view, view->highlighted, -1)); break;
            case kVK_DownArrow: highlight(step(*view, view->highlighted, +1)); break;
            case kVK_Return:
            case kVK_ANSI_KeypadEnter:
            case kVK_Space:
                choice = view->highlighted;
                done = true;
                break;
            case kVK_Escape: done = true; break;
            default: break;
            }
            break;
        default: break;
        }
    }
    window->orderOut(nullptr);
    currentList() = nullptr;
    return choice;
}
