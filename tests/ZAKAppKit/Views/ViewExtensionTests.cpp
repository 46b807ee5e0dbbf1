#include <gtest/gtest.h>

#include "AppKit/NSAnimationContext.h"
#include "AppKit/NSBitmapImageRep.h"
#include "AppKit/NSButton.h"
#include "WindowingFixture.h"
#include "ZAKAppKit/ZAKViewController/ZAKViewController.h"
#include "ZAKAppKit/ZAKViewExtensions/NSView+ZAKNSViewExtension.h"

NS_CLASS_DEFINE(RecordingView)

// Records the overlay hooks in the order they come.
class HookedOverlay : public NSView, public ZAKOverlayView {
    NS_OBJECT(HookedOverlay, NSView)
protected:
    HookedOverlay() = default;

public:
    std::vector<std::string>* calls = nullptr;
    void viewWillBecomeOverlay() override { calls->push_back("will become"); }
    void viewDidBecomeOverlay() override { calls->push_back("did become"); }
    void viewWillResignOverlay() override { calls->push_back("will resign"); }
    void viewDidResignOverlay() override { calls->push_back("did resign"); }
};
NS_CLASS_DEFINE(HookedOverlay)

class HookedController : public ZAKViewController {
    NS_OBJECT(HookedController, ZAKViewController)
protected:
    HookedController() = default;

public:
    std::vector<std::string> calls;
    void viewWillLoad() override { calls.push_back("will"); }
    void viewDidLoad() override { calls.push_back("did"); }
};
NS_CLASS_DEFINE(HookedController)

namespace {

Ref<NSView> view(const NSRect& frame = NSMakeRect(0, 0, 10, 10))
{
    return NSView::alloc<NSView>()->initWithFrame(frame);
}

std::vector<NSView*> order(const Ref<NSView>& parent)
{
    std::vector<NSView*> out;
    for (const auto& v : parent->subviews()) out.push_back(v.get());
    return out;
}

}

using namespace NSViewExt;

TEST(ViewExtension, BringToFrontAndDescendants)
{
    auto parent = view();
    auto a = view(), b = view(), c = view();
    for (auto& v : {a, b, c}) parent->addSubview(v);
    zakBringToFront(a);
    EXPECT_EQ(order(parent), (std::vector<NSView*>{b.get(), c.get(), a.get()}));

    auto root = view();
    auto x = view(), y = NSObject::alloc<NSButton>()->initWithFrame(NSMakeRect(0, 0, 5, 5)), z = view();
    root->addSubview(x);
    x->addSubview(y);
    root->addSubview(z);
    auto all = descendantsKindOfClass(root, nullptr);
    ASSERT_EQ(all->count(), 3u);
    EXPECT_EQ(all->objectAtIndex(0).get(), x.get());
    EXPECT_EQ(all->objectAtIndex(1).get(), y.get());
    EXPECT_EQ(all->objectAtIndex(2).get(), z.get());
    auto buttons = descendantsKindOfClass(root, &NSButton::staticClass());
    ASSERT_EQ(buttons->count(), 1u);
    EXPECT_EQ(buttons->objectAtIndex(0).get(), y.get());
}

TEST(ViewExtension, ScalingRelativeToTheWindowDoesNotCompound)
{
    auto parent = view(NSMakeRect(0, 0, 200, 200));
    auto child = view(NSMakeRect(10, 10, 100, 100));
    parent->addSubview(child);
    setScale(child, NSMakeSize(2, 2));
    setScale(child, NSMakeSize(2, 2));
    EXPECT_TRUE(NSEqualSizes(scale(child), NSMakeSize(2, 2)));
    // A scaled parent: the child's scale is still relative to the window.
    parent->scaleUnitSquareToSize(NSMakeSize(3, 3));
    setScale(child, NSMakeSize(0.5, 0.5));
    EXPECT_TRUE(NSEqualSizes(scale(child), NSMakeSize(0.5, 0.5)));
    resetScaling(child);
    EXPECT_TRUE(NSEqualSizes(scale(child), NSMakeSize(1, 1)));
}

class ViewExtensionWindowTest : public WindowingTest { };

TEST_F(ViewExtensionWindowTest, ScreenResolutionFactorOfAScreenWithoutASize)
{
    auto w = makeWindow(NSMakeRect(100, 100, 200, 100), NSColor::whiteColor());
    const NSSize withSize = effectiveScreenResolutionScaleFactor(w->contentView());
    EXPECT_NEAR(withSize.width, 1920 / (508 / 25.4) / 72, 1e-9);
    server().configureMainScreen(NSMakeSize(1920, 1080), NSMakeSize(0, 0));
    pump();
    EXPECT_TRUE(NSEqualSizes(effectiveScreenResolutionScaleFactor(w->contentView()), NSMakeSize(1, 1)));
    EXPECT_TRUE(NSEqualSizes(effectiveScreenResolutionScaleFactor(view()), NSMakeSize(1, 1)));
}

TEST_F(ViewExtensionWindowTest, OverlaysLandNextToTheViewWithTheirHooksInOrder)
{
    auto w = makeWindow(NSMakeRect(100, 100, 200, 100), NSColor::whiteColor());
    auto content = w->contentView();
    auto first = view(), target = view(), last = view();
    for (auto& v : {first, target, last}) content->addSubview(v);
    struct Case {
        NSInteger ordering;
        size_t index;  // of the overlay after adding
    } cases[] = {{1, 2}, {-1, 1}, {0, 1}};
    for (const auto& c : cases) {
        std::vector<std::string> calls;
        auto overlay = NSObject::alloc<HookedOverlay>();
        overlay->initWithFrame(NSMakeRect(0, 0, 5, 5));
        overlay->calls = &calls;
        addOverlayView(target, overlay, c.ordering);
        ASSERT_EQ(content->subviews().size(), 4u) << c.ordering;
        EXPECT_EQ(content->subviews()[c.index].get(), overlay.get()) << c.ordering;
        removeOverlayView(target, overlay);
        EXPECT_EQ(order(content), (std::vector<NSView*>{first.get(), target.get(), last.get()}));
        EXPECT_EQ(calls, (std::vector<std::string>{"will become", "did become", "will resign", "did resign"}));
    }
    EXPECT_TRUE(NSEqualRects(adjustedFrameForOverlay(target), target->frame()));
}

TEST_F(ViewExtensionWindowTest, SnapshotPixelsMatchTheView)
{
    auto w = makeWindow(NSMakeRect(100, 100, 60, 40), NSColor::whiteColor());
    auto inner = NSObject::alloc<RecordingView>();
    inner->initWithFrame(NSMakeRect(10, 5, 20, 10));
    inner->fill = NSColor::redColor();
    w->contentView()->addSubview(inner);
    pump();
    auto image = imageWithSubviews(w->contentView());
    EXPECT_TRUE(NSEqualSizes(image->size(), NSMakeSize(60, 40)));
    auto rep = NSBitmapImageRep::initWithCGImage(image->CGImageForProposedRect(nullptr, nullptr, nullptr));
    ASSERT_TRUE(rep);
    // The snapshot is y-down in pixels like the screen; compare every pixel.
    const NSRect frame = w->frame();
    // The screen is composited once: each composition is a full-screen pass.
    const auto screen = server().screenImage();
    const int top = int(screen->height() - NSMaxY(frame));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            ASSERT_EQ(rep->CGImage()->pixel(size_t(x), size_t(y)),
                      screen->pixel(size_t(frame.origin.x) + size_t(x), size_t(top + y)))
                << x << "," << y;
}

TEST(ViewController, EachHookRunsOncePerLoad)
{
    auto controller = NSObject::make<HookedController>();
    auto v = controller->view();
    ASSERT_TRUE(v);
    controller->view();
    EXPECT_EQ(controller->calls, (std::vector<std::string>{"will", "did"}));
}
