// The window core: first responder on click, the title bar the layer draws,
// cursors and cursor rectangles, and the headless server's key state and
// hot-key bookkeeping.
#include "WindowingFixture.h"

#include "AppKit/NSCursor.h"
#include "AppKit/NSTextView.h"

namespace {

// Records who was first responder when its mouse-down arrived.
class CoreClickView : public RecordingView {
    NS_OBJECT(CoreClickView, RecordingView)
protected:
    CoreClickView() = default;

public:
    bool accepts = true;
    std::vector<bool> wasFirstAtDown;
    bool acceptsFirstResponder() const override { return accepts; }
    void mouseDown(const Ref<NSEvent>& e) override
    {
        auto w = window();
        wasFirstAtDown.push_back(w && w->firstResponder().get() == this);
        RecordingView::mouseDown(e);
    }
};
NS_CLASS_DEFINE(CoreClickView)

class CoreCloseDelegate : public NSObject, public NSWindowDelegate {
    NS_OBJECT(CoreCloseDelegate, NSObject)
protected:
    CoreCloseDelegate() = default;

public:
    bool allow = false;
    int asked = 0;
    int willClose = 0;
    std::optional<bool> windowShouldClose(const Id&) override
    {
        ++asked;
        return allow;
    }
    void windowWillClose(const Ref<NSNotification>&) override { ++willClose; }
};
NS_CLASS_DEFINE(CoreCloseDelegate)

// Adds one cursor rectangle over its left half whenever asked.
class CoreCursorView : public RecordingView {
    NS_OBJECT(CoreCursorView, RecordingView)
protected:
    CoreCursorView() = default;

public:
    Ref<NSCursor> cursor;
    int resets = 0;
    void resetCursorRects() override
    {
        ++resets;
        addCursorRect(NSMakeRect(0, 0, bounds().size.width / 2, bounds().size.height), cursor);
    }
};
NS_CLASS_DEFINE(CoreCursorView)

}

class CoreWindowTest : public WindowingTest {
protected:
    // A titled window with its content rectangle at (100, 200, 300, 150): the
    // title bar covers global y 350 to 372, screen rows 708 to 729.
    Ref<NSWindow> titledWindow(NSUInteger extraStyle, const char* title)
    {
        auto w = NSObject::alloc<NSWindow>()->initWithContentRect(
            NSMakeRect(100, 200, 300, 150), NSTitledWindowMask | extraStyle, NSBackingStoreBuffered, false);
        w->setTitle(NSString::stringWithUTF8String(title));
        w->makeKeyAndOrderFront(nullptr);
        pump();
        return w;
    }

    // Dark (text) pixels in a column range of the title bar's rows.
    static int darkPixels(int x0, int x1)
    {
        auto image = server().screenImage();
        int dark = 0;
        for (int row = 708; row < 730; ++row)
            for (int x = x0; x < x1; ++x) {
                const uint32_t p = image->pixel(size_t(x), size_t(row));
                if (((p >> 16) & 0xFF) < 0x80 && ((p >> 8) & 0xFF) < 0x80 && (p & 0xFF) < 0x80) ++dark;
            }
        return dark;
    }
};

TEST_F(CoreWindowTest, LeftMouseDownMakesAnAcceptingViewFirstResponderBeforeItsMouseDown)
{
    auto w = makeWindow(NSMakeRect(100, 100, 300, 200), NSColor::whiteColor());
    auto accepting = NSObject::alloc<CoreClickView>();
    accepting->initWithFrame(NSMakeRect(0, 0, 100, 100));
    auto refusing = NSObject::alloc<CoreClickView>();
    refusing->initWithFrame(NSMakeRect(150, 0, 100, 100));
    refusing->accepts = false;
    w->contentView()->addSubview(accepting);
    w->contentView()->addSubview(refusing);
    w->makeKeyAndOrderFront(nullptr);
    pump();

    click(NSMakePoint(150, 150));
    ASSERT_EQ(accepting->wasFirstAtDown.size(), 1u);
    EXPECT_TRUE(accepting->wasFirstAtDown[0]);
    EXPECT_EQ(w->firstResponder(), Ref<NSResponder>(accepting));

    // A view that declines leaves the first responder where it was; a right
    // click changes nothing either.
    click(NSMakePoint(300, 150));
    EXPECT_EQ(refusing->downs.size(), 1u);
    EXPECT_EQ(w->firstResponder(), Ref<NSResponder>(accepting));
    w->makeFirstResponder(nullptr);
    server().injectMouse(NSEventTypeRightMouseDown, NSMakePoint(150, 150));
    server().injectMouse(NSEventTypeRightMouseUp, NSMakePoint(150, 150));
    pump();
    EXPECT_EQ(w->firstResponder(), Ref<NSResponder>(w));
}

TEST_F(CoreWindowTest, ClickingATextViewMakesItFirstResponder)
{
    auto w = makeWindow(NSMakeRect(100, 100, 300, 200), NSColor::whiteColor());
    auto text = NSObject::alloc<NSTextView>();
    text->initWithFrame(NSMakeRect(10, 10, 200, 100));
    w->contentView()->addSubview(text);
    w->makeKeyAndOrderFront(nullptr);
    pump();
    ASSERT_NE(w->firstResponder(), Ref<NSResponder>(text));
    click(NSMakePoint(150, 150));
    EXPECT_EQ(w->firstResponder(), Ref<NSResponder>(text));
}

TEST_F(CoreWindowTest, TitleBarShowsTheTitleCentredAndACloseBox)
{
    auto w = titledWindow(NSClosableWindowMask, "Plumbline Window");
    // The title's ink sits around the middle (x 250 global), not at the sides.
    EXPECT_GT(darkPixels(200, 300), 20);
    EXPECT_EQ(darkPixels(125, 170), 0);
    EXPECT_EQ(darkPixels(330, 398), 0);
    // The close box: a red disc 8 points in from the left edge.
    const uint32_t box = screenPixel(114, 719);
    EXPECT_GT((box >> 16) & 0xFF, 0xC0u);
    EXPECT_LT((box >> 8) & 0xFF, 0x80u);

    // Without the closable style there is no close box.
    auto plain = titledWindow(0, "");
    const uint32_t bar = screenPixel(114, 719);
    EXPECT_EQ((bar >> 16) & 0xFF, bar & 0xFF);
    EXPECT_GT(bar & 0xFF, 0xC0u);
    EXPECT_EQ(darkPixels(100, 400), 0);
    (void)w;
}

TEST_F(CoreWindowTest, CloseBoxSendsPerformCloseWhichAsksTheDelegate)
{
    auto w = titledWindow(NSClosableWindowMask, "Close me");
    auto delegateObject = NSObject::make<CoreCloseDelegate>();
    auto delegate = static_ref_cast<CoreCloseDelegate>(delegateObject);
    w->setDelegate(delegateObject);
    const NSPoint box = NSMakePoint(114, 361);

    // Pressed in the box but released outside it: nothing.
    server().injectMouse(NSEventTypeLeftMouseDown, box);
    server().injectMouse(NSEventTypeLeftMouseUp, NSMakePoint(200, 361));
    pump();
    EXPECT_EQ(delegate->asked, 0);
    // Elsewhere in the title bar: nothing.
    click(NSMakePoint(250, 361));
    EXPECT_EQ(delegate->asked, 0);

    click(box);
    EXPECT_EQ(delegate->asked, 1);
    EXPECT_TRUE(w->isVisible());
    delegate->allow = true;
    click(box);
    EXPECT_EQ(delegate->asked, 2);
    EXPECT_EQ(delegate->willClose, 1);
    EXPECT_FALSE(w->isVisible());
}

TEST_F(CoreWindowTest, CursorSetPushPopAndImageCursors)
{
    EXPECT_EQ(NSCursor::currentCursor(), NSCursor::arrowCursor());
    const std::pair<Ref<NSCursor>, const char*> named[] = {
        {NSCursor::arrowCursor(), "left_ptr"},
        {NSCursor::pointingHandCursor(), "pointer"},
        {NSCursor::resizeLeftRightCursor(), "sb_h_double_arrow"},
        {NSCursor::resizeUpDownCursor(), "sb_v_double_arrow"},
        {NSCursor::openHandCursor(), "grab"},
        {NSCursor::closedHandCursor(), "grabbing"},
        {NSCursor::IBeamCursor(), "xterm"},
        {NSCursor::crosshairCursor(), "crosshair"},
    };
    for (const auto& [cursor, name] : named) {
        cursor->set();
        EXPECT_EQ(server().currentCursor().themeName, name);
        EXPECT_EQ(NSCursor::currentCursor(), cursor);
    }
    EXPECT_EQ(NSCursor::pointingHandCursor(), NSCursor::pointingHandCursor());

    NSCursor::arrowCursor()->set();
    NSCursor::IBeamCursor()->push();
    NSCursor::closedHandCursor()->push();
    EXPECT_EQ(server().currentCursor().themeName, "grabbing");
    NSCursor::pop();
    EXPECT_EQ(NSCursor::currentCursor(), NSCursor::IBeamCursor());
    NSCursor::IBeamCursor()->pop();
    EXPECT_EQ(server().currentCursor().themeName, "left_ptr");
    const int changes = server().cursorChanges();
    NSCursor::pop();  // empty stack
    EXPECT_EQ(server().cursorChanges(), changes);

    auto image = NSImage::initWithSize(NSMakeSize(16, 12));
    image->lockFocus();
    NSColor::blackColor()->setFill();
    NSRectFill(NSMakeRect(0, 0, 16, 12));
    image->unlockFocus();
    auto custom = NSObject::alloc<NSCursor>()->initWithImage(image, NSMakePoint(5, 0));
    custom->set();
    EXPECT_EQ(server().currentCursor().themeName, "");
    ASSERT_TRUE(server().currentCursor().image);
    EXPECT_EQ(server().currentCursor().image->width(), 16u);
    EXPECT_EQ(server().currentCursor().image->height(), 12u);
    EXPECT_EQ(server().currentCursor().hotSpot, NSMakePoint(5, 0));
}

TEST_F(CoreWindowTest, CursorRectsSetTheirCursorOnEntryAndTheArrowOnLeaving)
{
    auto w = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(100, 100, 200, 100), NSBorderlessWindowMask,
                                                              NSBackingStoreBuffered, false);
    auto view = NSObject::alloc<CoreCursorView>();
    view->initWithFrame(NSMakeRect(0, 0, 200, 100));
    view->cursor = NSCursor::pointingHandCursor();
    w->setContentView(view);
    w->makeKeyAndOrderFront(nullptr);
    pump();
    NSCursor::arrowCursor()->set();

    server().injectPointer(NSMakePoint(150, 150));  // left half
    pump();
    EXPECT_EQ(view->resets, 1);
    EXPECT_EQ(server().currentCursor().themeName, "pointer");
    EXPECT_EQ(server().currentCursor().window, w->windowNumber());
    // Moving inside the rectangle sets nothing more.
    const int changes = server().cursorChanges();
    server().injectPointer(NSMakePoint(160, 140));
    pump();
    EXPECT_EQ(server().cursorChanges(), changes);
    server().injectPointer(NSMakePoint(250, 150));  // right half
    pump();
    EXPECT_EQ(server().currentCursor().themeName, "left_ptr");

    // Invalidating asks the view again; a new cursor shows on the next entry.
    view->cursor = NSCursor::IBeamCursor();
    w->invalidateCursorRectsForView(view);
    EXPECT_EQ(view->resets, 2);
    server().injectPointer(NSMakePoint(120, 150));
    pump();
    EXPECT_EQ(server().currentCursor().themeName, "xterm");

    // Discarded rectangles set nothing; a resize asks for them again.
    w->discardCursorRects();
    server().injectPointer(NSMakePoint(250, 150));
    server().injectPointer(NSMakePoint(120, 150));
    pump();
    EXPECT_EQ(server().currentCursor().themeName, "xterm");
    view->cursor = NSCursor::crosshairCursor();
    w->setFrame(NSMakeRect(100, 100, 300, 100), true);
    server().injectPointer(NSMakePoint(121, 150));
    pump();
    EXPECT_EQ(view->resets, 3);
    EXPECT_EQ(server().currentCursor().themeName, "crosshair");
}

TEST_F(CoreWindowTest, HeadlessServerKnowsHeldKeysAndForgetsHotKeysHeldElsewhere)
{
    WindowServer& base = server();
    EXPECT_FALSE(base.isKeyDown(0));
    server().injectKey(0, 0, true);                // a
    server().injectKey(56, NSShiftKeyMask, true);  // shift
    EXPECT_TRUE(base.isKeyDown(0));
    EXPECT_TRUE(base.isKeyDown(56));
    server().injectKey(0, 0, false);
    EXPECT_FALSE(base.isKeyDown(0));
    EXPECT_TRUE(base.isKeyDown(56));
    EXPECT_FALSE(base.isKeyDown(200));
    server().injectKey(56, 0, false);
    EXPECT_FALSE(base.isKeyDown(56));
    pump();

    server().holdHotKeyElsewhere(49, 256);
    EXPECT_EQ(server().registerHotKey(49, 256, [] {}), 0);
    server().clearHotKeysHeldElsewhere();
    const NSInteger registration = server().registerHotKey(49, 256, [] {});
    EXPECT_NE(registration, 0);
    server().unregisterHotKey(registration);
}
