// Actions along the responder chain, key routing, key bindings, tracking
// rectangles, the event queue and autoresizing.
#include "WindowingFixture.h"

#include "AppKit/NSWindowController.h"
#include "WindowServer/USKeyboardLayout.h"

class ChainView : public RecordingView {
    NS_OBJECT(ChainView, RecordingView)
protected:
    ChainView() = default;

public:
    static void describeClass(NSClassMembers<ChainView>& m) { m.action("viewAction:", &ChainView::viewAction); }
    bool acceptsFirstResponder() const override { return true; }
    void viewAction(const Id&) { hits.push_back("view"); }
    bool performKeyEquivalent(const Ref<NSEvent>& e) override
    {
        if (e->charactersIgnoringModifiers()->UTF8String() != "k") return false;
        hits.push_back("view key equivalent");
        return true;
    }
    void keyDown(const Ref<NSEvent>& e) override { hits.push_back("keyDown " + e->characters()->UTF8String()); }
    void mouseEntered(const Ref<NSEvent>& e) override
    {
        hits.push_back("entered " + std::to_string(e->trackingNumber()));
    }
    void mouseExited(const Ref<NSEvent>& e) override
    {
        hits.push_back("exited " + std::to_string(e->trackingNumber()));
    }
    std::vector<std::string> hits;
};
NS_CLASS_DEFINE(ChainView)

class ChainRecorder : public NSObject, public NSWindowDelegate {
    NS_OBJECT(ChainRecorder, NSObject)
protected:
    ChainRecorder() = default;

public:
    static void describeClass(NSClassMembers<ChainRecorder>& m)
    {
        m.action("delegateAction:", &ChainRecorder::delegateAction);
    }
    void delegateAction(const Id&) { hits.push_back("window delegate"); }
    std::vector<std::string> hits;
};
NS_CLASS_DEFINE(ChainRecorder)

class AppChainRecorder : public NSObject {
    NS_OBJECT(AppChainRecorder, NSObject)
protected:
    AppChainRecorder() = default;

public:
    static void describeClass(NSClassMembers<AppChainRecorder>& m)
    {
        m.action("appDelegateAction:", &AppChainRecorder::appDelegateAction);
    }
    void appDelegateAction(const Id&) { hits.push_back("app delegate"); }
    std::vector<std::string> hits;
};
NS_CLASS_DEFINE(AppChainRecorder)

class ChainController : public NSWindowController {
    NS_OBJECT(ChainController, NSWindowController)
protected:
    ChainController() = default;

public:
    static void describeClass(NSClassMembers<ChainController>& m)
    {
        m.action("controllerAction:", &ChainController::controllerAction);
        m.action("viewAction:", &ChainController::viewAction);
    }
    void controllerAction(const Id&) { hits.push_back("controller"); }
    void viewAction(const Id&) { hits.push_back("controller view action"); }
    std::vector<std::string> hits;
};
NS_CLASS_DEFINE(ChainController)

class BindingRecorder : public NSResponder {
    NS_OBJECT(BindingRecorder, NSResponder)
protected:
    BindingRecorder() = default;

public:
    void doCommandBySelector(const SEL& s) override { last = s; }
    void insertText(const Id& text) override { last = "insertText " + static_ref_cast<NSString>(text)->UTF8String(); }
    std::string last;
};
NS_CLASS_DEFINE(BindingRecorder)

namespace {

struct ChainFixture {
    Ref<NSWindow> window;
    Ref<ChainView> view;
    Ref<ChainRecorder> windowDelegate = NSObject::make<ChainRecorder>();
    Ref<AppChainRecorder> appDelegate = NSObject::make<AppChainRecorder>();
    Ref<ChainController> controller;

    ChainFixture()
    {
        window = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(100, 100, 200, 100), NSTitledWindowMask,
                                                                  NSBackingStoreBuffered, false);
        view = NSObject::alloc<ChainView>();
        view->initWithFrame(NSMakeRect(0, 0, 200, 100));
        window->setContentView(view);
        window->setDelegate(windowDelegate);
        controller = NSObject::alloc<ChainController>();
        controller->initWithWindow(window);
        NSApp->setDelegate(appDelegate);
        window->makeKeyAndOrderFront(nullptr);
        window->makeFirstResponder(view);
    }
    ~ChainFixture() { NSApp->setDelegate(nullptr); }
};

}

TEST_F(WindowingTest, ActionsTravelTheResponderChain)
{
    ChainFixture f;
    EXPECT_TRUE(NSApp->sendAction("viewAction:", nullptr, nullptr));
    EXPECT_TRUE(NSApp->sendAction("delegateAction:", nullptr, nullptr));
    EXPECT_TRUE(NSApp->sendAction("controllerAction:", nullptr, nullptr));
    EXPECT_TRUE(NSApp->sendAction("appDelegateAction:", nullptr, nullptr));
    EXPECT_FALSE(NSApp->sendAction("nobodyAction:", nullptr, nullptr));
    // An explicit target gets the action even when the chain would answer first.
    EXPECT_TRUE(NSApp->sendAction("viewAction:", f.controller, nullptr));
    EXPECT_EQ(f.view->hits, std::vector<std::string>{"view"});
    EXPECT_EQ(f.windowDelegate->hits, std::vector<std::string>{"window delegate"});
    EXPECT_EQ(f.controller->hits, (std::vector<std::string>{"controller", "controller view action"}));
    EXPECT_EQ(f.appDelegate->hits, std::vector<std::string>{"app delegate"});
    EXPECT_EQ(NSApp->targetForAction("terminate:"), Id(NSApp));
}

TEST_F(WindowingTest, KeyEquivalentsGoToViewsThenTheMenuThenKeyDown)
{
    ChainFixture f;
    std::vector<std::string> menu;
    NSApp->setMainMenu(NSObject::make<NSObject>());
    const auto previousHandler = NSApplication::menuKeyEquivalentHandler();
    NSApplication::setMenuKeyEquivalentHandler([&](const Id&, const Ref<NSEvent>& e) {
        if (e->charactersIgnoringModifiers()->UTF8String() != "m") return false;
        menu.push_back("m");
        return true;
    });
    for (uint16_t code : {kVK_ANSI_K, kVK_ANSI_M, kVK_ANSI_X}) {
        server().injectKey(code, NSCommandKeyMask, true);
        server().injectKey(code, NSCommandKeyMask, false);
    }
    pump();
    EXPECT_EQ(f.view->hits, (std::vector<std::string>{"view key equivalent", "keyDown x"}));
    EXPECT_EQ(menu, std::vector<std::string>{"m"});
    NSApplication::setMenuKeyEquivalentHandler(previousHandler);
    NSApp->setMainMenu(nullptr);
}

TEST_F(WindowingTest, StandardKeyBindings)
{
    auto r = NSObject::make<BindingRecorder>();
    struct Case {
        uint16_t code;
        NSUInteger flags;
        std::string expected;
    } cases[] = {
        {kVK_Return, 0, "insertNewline:"},
        {kVK_Tab, 0, "insertTab:"},
        {kVK_Tab, NSShiftKeyMask, "insertBacktab:"},
        {kVK_Delete, 0, "deleteBackward:"},
        {kVK_ForwardDelete, 0, "deleteForward:"},
        {kVK_Escape, 0, "cancelOperation:"},
        {kVK_LeftArrow, 0, "moveLeft:"},
        {kVK_RightArrow, NSShiftKeyMask, "moveRightAndModifySelection:"},
        {kVK_UpArrow, 0, "moveUp:"},
        {kVK_DownArrow, NSShiftKeyMask, "moveDownAndModifySelection:"},
        {kVK_ANSI_A, 0, "insertText a"},
        {kVK_ANSI_A, NSShiftKeyMask, "insertText A"},
        {kVK_ANSI_A, NSCommandKeyMask, "selectAll:"},
    };
    for (const auto& c : cases) {
        const NSUInteger flags = c.flags | USKeyboardLayout::implicitFlags(c.code);
        auto chars = USKeyboardLayout::charactersFor(c.code, flags);
        auto e = NSEvent::keyEventWithType(NSKeyDown, NSZeroPoint, flags, 0, 0, nullptr,
                                           NSString::stringWithUTF16(chars.characters),
                                           NSString::stringWithUTF16(chars.ignoringModifiers), false, c.code);
        r->interpretKeyEvents(NSArray::arrayWithObjects({e}));
        EXPECT_EQ(r->last, c.expected) << c.code << " flags " << c.flags;
    }
}

TEST_F(WindowingTest, TrackingRectangleSeesEnterAndExit)
{
    ChainFixture f;
    pump();
    const NSTrackingRectTag tag = f.view->addTrackingRect(NSMakeRect(0, 0, 50, 50), f.view, nullptr, false);
    server().injectPointer(NSMakePoint(500, 500));
    server().injectPointer(NSMakePoint(120, 120));  // inside the rectangle
    server().injectPointer(NSMakePoint(180, 120));  // in the window, outside the rectangle
    server().injectPointer(NSMakePoint(120, 120));
    server().injectPointer(NSMakePoint(900, 900));  // out of the window
    pump();
    const std::string t = std::to_string(tag);
    EXPECT_EQ(f.view->hits, (std::vector<std::string>{"entered " + t, "exited " + t, "entered " + t, "exited " + t}));
}

TEST_F(WindowingTest, PeekingLeavesTheEventQueued)
{
    auto first = NSEvent::otherEventWithType(NSApplicationDefined, NSZeroPoint, 0, 0, 0, nullptr, 1, 0, 0);
    auto second = NSEvent::otherEventWithType(NSApplicationDefined, NSZeroPoint, 0, 0, 0, nullptr, 2, 0, 0);
    NSApplication::postEvent(first, false);
    NSApplication::postEvent(second, false);
    auto next = [](bool dequeue) {
        return NSApp->nextEventMatchingMask(NSAnyEventMask, nullptr, NSDefaultRunLoopMode, dequeue);
    };
    EXPECT_EQ(next(false), first);
    EXPECT_EQ(next(false), first);
    EXPECT_EQ(next(true), first);
    EXPECT_EQ(next(true), second);
    EXPECT_FALSE(next(true));
}

TEST_F(WindowingTest, AutoresizingSharesTheChangeAmongFlexibleParts)
{
    struct Case {
        NSUInteger mask;
        NSRect expected;
    } cases[] = {
        {NSViewNotSizable, {{10, 10}, {30, 30}}},
        {NSViewWidthSizable | NSViewHeightSizable, {{10, 10}, {130, 80}}},
        {NSViewMinXMargin | NSViewMinYMargin, {{110, 60}, {30, 30}}},
        {NSViewMinXMargin | NSViewMaxXMargin, {{10 + 100.0 / 7, 10}, {30, 30}}},  // margins 10 and 60 share 100
        {NSViewMinXMargin | NSViewWidthSizable | NSViewMaxXMargin, {{20, 10}, {60, 30}}},  // 10, 30, 60 of 100
    };
    for (const auto& c : cases) {
        auto parent = NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 100, 100));
        auto child = NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(10, 10, 30, 30));
        child->setAutoresizingMask(c.mask);
        parent->addSubview(child);
        parent->setFrameSize(NSMakeSize(200, 150));
        const NSRect r = child->frame();
        EXPECT_NEAR(r.origin.x, c.expected.origin.x, 1e-9) << "mask " << c.mask;
        EXPECT_NEAR(r.origin.y, c.expected.origin.y, 1e-9) << "mask " << c.mask;
        EXPECT_NEAR(r.size.width, c.expected.size.width, 1e-9) << "mask " << c.mask;
        EXPECT_NEAR(r.size.height, c.expected.size.height, 1e-9) << "mask " << c.mask;
    }
}
