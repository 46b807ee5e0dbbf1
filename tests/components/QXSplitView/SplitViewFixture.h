#pragma once
// Split views in a window of the headless server, driven from the test's own
// thread; the user defaults live in a fresh folder per test.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "AppKit/NSApplication.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSWindow.h"
#include "Foundation/Clock.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSRunLoop.h"
#include "Foundation/NSUserDefaults.h"
#include "QXSplitView/QXSplitView.h"
#include "backend/headless/HeadlessWindowServer.h"

// A delegate that records what it hears and answers what a test sets.
class RecordingSplitDelegate : public NSObject, public QXSplitViewDelegate {
    NS_OBJECT(RecordingSplitDelegate, NSObject)
protected:
    RecordingSplitDelegate() = default;

public:
    std::vector<std::string> log;
    std::optional<bool> canCollapse;
    std::optional<bool> resizeWindow;
    std::optional<bool> handleEvent;
    std::optional<double> animationDuration;
    std::function<std::optional<NSUInteger>(NSPoint, QXSplitSubview*)> dividerForPoint;
    std::function<std::optional<NSRect>(const NSRect&, NSUInteger)> cursorRect;
    QXSplitSubview* collapsePick = nullptr;
    bool takesFrameChanges = false;
    int passes = 0;

    static std::string name(QXSplitSubview* pane) { return pane->identifier()->UTF8String(); }
    std::optional<bool> splitViewCanCollapse(QXSplitView*, QXSplitSubview*) override { return canCollapse; }
    std::optional<NSUInteger> splitViewDividerForPointInSubview(QXSplitView*, NSPoint p, QXSplitSubview* pane) override
    {
        return dividerForPoint ? dividerForPoint(p, pane) : std::nullopt;
    }
    std::optional<double> splitViewWillAnimateSubviewWithDimension(QXSplitView*, QXSplitSubview*, double) override
    {
        return animationDuration;
    }
    void splitViewDidCollapse(QXSplitView*, QXSplitSubview* pane) override { log.push_back("collapse " + name(pane)); }
    void splitViewDidExpand(QXSplitView*, QXSplitSubview* pane) override { log.push_back("expand " + name(pane)); }
    bool splitViewChangedFrameOfSubviewFromTo(QXSplitView*, QXSplitSubview* pane, const NSRect&, const NSRect&) override
    {
        if (takesFrameChanges) log.push_back("frame " + name(pane));
        return takesFrameChanges;
    }
    void splitViewWasResizedFromTo(QXSplitView*, double from, double to) override
    {
        log.push_back("resized " + std::to_string(int(from)) + " " + std::to_string(int(to)));
    }
    std::optional<bool> splitViewShouldHandleEventInDividerBetweenViewAndView(QXSplitView*, const Ref<NSEvent>&,
                                                                              NSUInteger, QXSplitSubview*,
                                                                              QXSplitSubview*) override
    {
        return handleEvent;
    }
    std::optional<QXSplitSubview*> splitViewCollapseLeadingOrTrailing(QXSplitView*, QXSplitSubview*,
                                                                      QXSplitSubview*) override
    {
        return collapsePick ? std::optional<QXSplitSubview*>(collapsePick) : std::nullopt;
    }
    std::optional<NSRect> splitViewCursorRectForDivider(QXSplitView*, const NSRect& r, NSUInteger i) override
    {
        return cursorRect ? cursorRect(r, i) : std::nullopt;
    }
    std::optional<bool> splitViewShouldResizeWindowForDividerBetweenViewAndViewWillGrow(QXSplitView*, NSUInteger,
                                                                                        QXSplitSubview*,
                                                                                        QXSplitSubview*, bool) override
    {
        return resizeWindow;
    }
    std::function<void()> onPass;
    void didAdjustSubviews(QXSplitView*) override
    {
        ++passes;
        if (onPass) onPass();
    }
};

class SplitViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("PLUMBLINE_BACKEND", "headless", 1);
        Clock::useVirtualClock();
        server().configureMainScreen(NSMakeSize(1920, 1080), NSMakeSize(508, 286));
        server().setMenuBarHeight(24);
        NSApplication::sharedApplication()->resetTerminatedState();
        char folder[] = "/tmp/qxsplit-XXXXXX";
        m_config = mkdtemp(folder);
        setenv("XDG_CONFIG_HOME", m_config.c_str(), 1);
        NSUserDefaults::resetStandardUserDefaults();
    }

    void TearDown() override
    {
        for (auto& w : NSWindow::allWindows()) w->orderOut(nullptr);
        pump();
        NSUserDefaults::resetStandardUserDefaults();
        std::filesystem::remove_all(m_config);
    }

    static HeadlessWindowServer& server() { return *HeadlessWindowServer::current(); }

    static void pump()
    {
        while (auto e = NSApp->nextEventMatchingMask(NSAnyEventMask, nullptr, NSDefaultRunLoopMode, true))
            NSApp->sendEvent(e);
        NSRunLoop::currentRunLoop()->runUntilIdle();
    }

    // A borderless window at (100, 100) whose content view holds the view.
    Ref<NSWindow> showInWindow(const Ref<NSView>& view, NSSize size)
    {
        m_window = NSObject::alloc<NSWindow>()->initWithContentRect(
            NSMakeRect(100, 100, size.width, size.height), NSBorderlessWindowMask, NSBackingStoreBuffered, false);
        auto content = NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, size.width, size.height));
        m_window->setContentView(content);
        content->addSubview(view);
        m_window->makeKeyAndOrderFront(nullptr);
        pump();
        return m_window;
    }

    // A split view with panes of the given dimensions (and the split view's
    // size across), named "0", "1"...; laid out once.
    static Ref<QXSplitView> makeSplit(std::vector<double> dimensions, double thickness, bool horizontal = false,
                                      double acrossSize = 100)
    {
        double length = thickness * double(dimensions.size() - 1);
        for (double d : dimensions) length += d;
        const NSRect frame = horizontal ? NSMakeRect(0, 0, acrossSize, length) : NSMakeRect(0, 0, length, acrossSize);
        auto sv = static_ref_cast<QXSplitView>(NSObject::alloc<QXSplitView>()->initWithFrame(frame));
        sv->setHorizontal(horizontal);
        sv->setDividerThickness(thickness);
        for (size_t i = 0; i < dimensions.size(); ++i) {
            const NSRect f =
                horizontal ? NSMakeRect(0, 0, acrossSize, dimensions[i]) : NSMakeRect(0, 0, dimensions[i], acrossSize);
            auto pane = static_ref_cast<QXSplitSubview>(NSObject::alloc<QXSplitSubview>()->initWithFrame(f));
            pane->setIdentifier(NSString::stringWithUTF8String(std::to_string(i).c_str()));
            sv->addSubview(pane);
        }
        sv->adjustSubviews();
        return sv;
    }

    // A divider image of one colour.
    static Ref<NSImage> dividerImage(double width, double height, const Ref<NSColor>& colour)
    {
        auto image = NSImage::initWithSize(NSMakeSize(width, height));
        image->lockFocus();
        colour->set();
        NSRectFill(NSMakeRect(0, 0, width, height));
        image->unlockFocus();
        return image;
    }

    static Ref<QXSplitSubview> pane(const Ref<QXSplitView>& sv, NSUInteger i) { return sv->subviewAtPosition(i); }

    // The visible dimension of every subview, in order.
    static std::vector<double> dims(const Ref<QXSplitView>& sv)
    {
        std::vector<double> d;
        for (auto& v : sv->subviews()) d.push_back(static_ref_cast<QXSplitSubview>(v)->QX___visibleDimension());
        return d;
    }

    static std::vector<double> fractions(const Ref<QXSplitView>& sv)
    {
        std::vector<double> f;
        for (auto& v : sv->subviews()) f.push_back(static_ref_cast<QXSplitSubview>(v)->QX___fraction());
        return f;
    }

    // A point of the view in global screen coordinates.
    static NSPoint onScreen(const Ref<NSView>& view, NSPoint p)
    {
        return view->window()->convertBaseToScreen(view->convertPointToView(p, nullptr));
    }

    // Presses at `from`, drags through the points, releases at the last one
    // (all in the view's coordinates), then dispatches.
    static void drag(const Ref<NSView>& view, NSPoint from, std::vector<NSPoint> through, int clicks = 1)
    {
        server().injectMouse(NSEventTypeLeftMouseDown, onScreen(view, from), 0, clicks);
        for (auto p : through) server().injectPointer(onScreen(view, p));
        server().injectMouse(NSEventTypeLeftMouseUp, onScreen(view, through.empty() ? from : through.back()), 0,
                             clicks);
        pump();
    }

    static std::string stored(const std::string& key)
    {
        auto s = NSUserDefaults::standardUserDefaults()->stringForKey(NSString::stringWithUTF8String(key.c_str()));
        return s ? s->UTF8String() : "(none)";
    }

    Ref<NSWindow> m_window;
    std::string m_config;
};
