#pragma once
// Windows on the headless server, driven from the test's own (main) thread:
// events are injected and then dispatched by pump().
#include <gtest/gtest.h>
#include <stdlib.h>

#include "AppKit/NSApplication.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSMenu.h"
#include "AppKit/NSWindow.h"
#include "Foundation/Clock.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSRunLoop.h"
#include "WindowServer/USKeyboardLayout.h"
#include "backend/headless/HeadlessWindowServer.h"

// A view that fills itself with a colour and records its mouse events.
class RecordingView : public NSView {
    NS_OBJECT(RecordingView, NSView)
protected:
    RecordingView() = default;

public:
    Ref<NSColor> fill;
    bool flipped = false;
    bool handlesMouse = true;
    int draws = 0;
    std::vector<NSPoint> downs;       // local coordinates
    std::vector<NSPoint> dragDeltas;  // deltaX, deltaY
    int ups = 0;
    bool isFlipped() const override { return flipped; }
    void drawRect(const NSRect& r) override
    {
        ++draws;
        if (!fill) return;
        fill->setFill();
        NSRectFill(r);
    }
    void mouseDown(const Ref<NSEvent>& e) override
    {
        if (!handlesMouse) return NSView::mouseDown(e);
        downs.push_back(convertPoint(e->locationInWindow(), nullptr));
    }
    void mouseDragged(const Ref<NSEvent>& e) override
    {
        if (!handlesMouse) return NSView::mouseDragged(e);
        dragDeltas.push_back({e->deltaX(), e->deltaY()});
    }
    void mouseUp(const Ref<NSEvent>& e) override
    {
        if (!handlesMouse) return NSView::mouseUp(e);
        ++ups;
    }
};

// An application delegate that answers `menu` as the dock menu and counts
// how often it is asked (defined in MenuTests.cpp).
class CountingDockDelegate : public NSObject, public NSApplicationDelegate {
    NS_OBJECT(CountingDockDelegate, NSObject)
protected:
    CountingDockDelegate() = default;

public:
    int asked = 0;
    Ref<NSMenu> menu;
    Id applicationDockMenu(const Ref<NSApplication>&) override
    {
        ++asked;
        return menu;
    }
};

class WindowingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("PLUMBLINE_BACKEND", "headless", 1);
        Clock::useVirtualClock();
        server().configureMainScreen(NSMakeSize(1920, 1080), NSMakeSize(508, 286));
        server().setMenuBarHeight(24);
        // A harness program that ran earlier in this process left the
        // application terminated: no tracking loop could run then.
        NSApplication::sharedApplication()->resetTerminatedState();
    }

    void TearDown() override
    {
        for (auto& w : NSWindow::allWindows()) w->orderOut(nullptr);
        pump();
    }

    static HeadlessWindowServer& server() { return *HeadlessWindowServer::current(); }

    // A key pressed and released, then dispatched.
    static void key(uint16_t code, NSUInteger flags = 0)
    {
        server().injectKey(code, flags, true);
        server().injectKey(code, flags, false);
        pump();
    }
    // Types the text key by key on the US layout.
    static void type(const std::u16string& text)
    {
        for (char16_t c : text) {
            auto stroke = USKeyboardLayout::strokeForCharacter(c);
            ASSERT_TRUE(stroke) << int(c);
            key(stroke->keyCode, stroke->shift ? NSUInteger(NSShiftKeyMask) : 0);
        }
    }

    // Dispatches every queued event and runs the loop until it is idle.
    static void pump()
    {
        while (auto e = NSApp->nextEventMatchingMask(NSAnyEventMask, nullptr, NSDefaultRunLoopMode, true))
            NSApp->sendEvent(e);
        NSRunLoop::currentRunLoop()->runUntilIdle();
    }

    // A borderless window whose content view is a RecordingView of the colour.
    static Ref<NSWindow> makeWindow(const NSRect& frame, const Ref<NSColor>& colour,
                                    NSInteger level = NSNormalWindowLevel)
    {
        auto w = NSObject::alloc<NSWindow>()->initWithContentRect(frame, NSBorderlessWindowMask, NSBackingStoreBuffered,
                                                                  false);
        w->setLevel(level);
        auto view = NSObject::alloc<RecordingView>();
        view->initWithFrame(NSMakeRect(0, 0, frame.size.width, frame.size.height));
        view->fill = colour;
        w->setContentView(view);
        w->orderFront(nullptr);
        return w;
    }

    static Ref<RecordingView> contentOf(const Ref<NSWindow>& w)
    {
        return dynamic_ref_cast<RecordingView>(w->contentView());
    }

    static uint32_t screenPixel(int x, int row) { return server().screenImage()->pixel(size_t(x), size_t(row)); }

    void click(NSPoint p)
    {
        server().injectMouse(NSEventTypeLeftMouseDown, p);
        server().injectMouse(NSEventTypeLeftMouseUp, p);
        pump();
    }
};
