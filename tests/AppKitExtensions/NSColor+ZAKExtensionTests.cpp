// Colour helpers: disabled and transparent colours, the Core Graphics copy,
// swatch images, and the one-device-pixel line drawn in views of a window on
// the headless server.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <string>

#include "AppKit/NSApplication.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSWindow.h"
#include "AppKitExtensions/NSColor+ZAKExtension.h"
#include "Foundation/Clock.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSRunLoop.h"
#include "backend/headless/HeadlessWindowServer.h"

using namespace NSColorExt;

// Draws one pixel line in red across its bounds.
class PixelLineView : public NSView {
    NS_OBJECT(PixelLineView, NSView)
protected:
    PixelLineView() = default;

public:
    bool flipped = false;
    NSInteger position = 0, inset = 0;
    bool horizontal = true, flip = false;
    bool isFlipped() const override { return flipped; }
    void drawRect(const NSRect&) override
    {
        zakDrawPixelThickLineAtPosition(NSColor::redColor(), position, inset, bounds(), this, horizontal, flip);
    }
};
NS_CLASS_DEFINE(PixelLineView)

namespace {

// Columns and rows (from the top) of the red pixels in a screen area.
struct Ink {
    int left = -1, top = -1, right = -1, bottom = -1, count = 0;
};

std::string describe(const Ink& ink)
{
    return "columns " + std::to_string(ink.left) + "-" + std::to_string(ink.right) + ", rows " +
           std::to_string(ink.top) + "-" + std::to_string(ink.bottom) + ", " + std::to_string(ink.count) + " pixels";
}

Ink inkIn(const Ref<CGImage>& image, int left, int top, int width, int height, uint32_t colour)
{
    Ink ink;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (image->pixel(size_t(left + x), size_t(top + y)) != colour) continue;
            if (ink.count++ == 0) ink.left = ink.right = x, ink.top = ink.bottom = y;
            ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
            ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
        }
    }
    return ink;
}

class PixelLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("PLUMBLINE_BACKEND", "headless", 1);
        Clock::useVirtualClock();
        server().configureMainScreen(NSMakeSize(1920, 1080), NSMakeSize(508, 286));
        NSApplication::sharedApplication();
    }
    void TearDown() override
    {
        for (auto& w : NSWindow::allWindows()) w->orderOut(nullptr);
        pump();
    }
    static HeadlessWindowServer& server() { return *HeadlessWindowServer::current(); }
    static void pump()
    {
        while (auto e = NSApp->nextEventMatchingMask(NSAnyEventMask, nullptr, NSDefaultRunLoopMode, true))
            NSApp->sendEvent(e);
        NSRunLoop::currentRunLoop()->runUntilIdle();
    }
};

}

// A 30 x 20 view at (10, 5) in a window at (100, 100): rows are counted
// from the view's top, columns from its left.
TEST_F(PixelLine, LandsOnOneRowOrColumnOfTheView)
{
    struct Case {
        const char* what;
        bool flippedView, horizontal, flip;
        NSInteger position, inset;
        Ink ink;
    } cases[] = {
        {"horizontal at 0: the bottom row", false, true, false, 0, 0, {0, 19, 29, 19, 30}},
        {"horizontal at 0 flipped: row 19 from the bottom", false, true, true, 0, 0, {0, 0, 29, 0, 30}},
        {"horizontal at 3, inset 2", false, true, false, 3, 2, {2, 16, 27, 16, 26}},
        {"horizontal at 3 flipped", false, true, true, 3, 0, {0, 3, 29, 3, 30}},
        {"flipped view, horizontal at 0: the top row", true, true, false, 0, 0, {0, 0, 29, 0, 30}},
        {"flipped view, horizontal at 0 flipped: the bottom row", true, true, true, 0, 0, {0, 19, 29, 19, 30}},
        {"flipped view, horizontal at 3, inset 2", true, true, false, 3, 2, {2, 3, 27, 3, 26}},
        {"vertical at 0: the left column", false, false, false, 0, 0, {0, 0, 0, 19, 20}},
        {"vertical at 0 flipped: the right column", false, false, true, 0, 0, {29, 0, 29, 19, 20}},
        {"vertical at 4, inset 3", false, false, false, 4, 3, {4, 3, 4, 16, 14}},
        {"flipped view, vertical at 4, inset 3", true, false, false, 4, 3, {4, 3, 4, 16, 14}},
    };
    for (const auto& c : cases) {
        auto window = NSObject::alloc<NSWindow>()->initWithContentRect(
            NSMakeRect(100, 100, 60, 40), NSBorderlessWindowMask, NSBackingStoreBuffered, false);
        window->setBackgroundColor(NSColor::whiteColor());
        auto view = NSObject::alloc<PixelLineView>();
        view->initWithFrame(NSMakeRect(10, 5, 30, 20));
        view->flipped = c.flippedView, view->horizontal = c.horizontal, view->flip = c.flip;
        view->position = c.position, view->inset = c.inset;
        window->contentView()->addSubview(view);
        window->orderFront(nullptr);
        pump();
        // The view covers global x 110-139 and y 105-124: screen rows 955-974.
        const Ink ink = inkIn(server().screenImage(), 110, 1080 - 125, 30, 20, 0xFFFF0000u);
        EXPECT_EQ(describe(ink), describe(c.ink)) << c.what;
        // Nothing outside the view.
        EXPECT_EQ(inkIn(server().screenImage(), 100, 1080 - 140, 60, 40, 0xFFFF0000u).count, c.ink.count) << c.what;
        window->orderOut(nullptr);
        pump();
    }
}

TEST(ColorHelpers, DisabledColorHalvesOnlyOpaqueAlpha)
{
    struct Case {
        CGFloat alpha, disabled;
    } cases[] = {{1.0, 0.5}, {0.8, 0.0}, {0.999, 0.0}, {0.0, 0.0}};
    for (const auto& c : cases) {
        auto color = disabledColor(NSColor::colorWithCalibratedRed(0.2, 0.4, 0.6, c.alpha));
        EXPECT_EQ(color->alphaComponent(), c.disabled) << "alpha " << c.alpha;
        EXPECT_EQ(color->redComponent(), 0.2);
        EXPECT_EQ(color->blueComponent(), 0.6);
    }
    EXPECT_EQ(disabledColor(NSColor::controlTextColor())->alphaComponent(), 0.5);
}

TEST(ColorHelpers, TransparencyAndCoreGraphicsCopy)
{
    EXPECT_TRUE(isTransparent(NSColor::clearColor()));
    EXPECT_TRUE(isTransparent(NSColor::colorWithCalibratedRed(1, 0, 0, 0)));
    EXPECT_FALSE(isTransparent(NSColor::colorWithCalibratedRed(1, 0, 0, 0.01)));

    struct Case {
        const char* what;
        Ref<NSColor> color;
        std::vector<CGFloat> components;
    } cases[] = {
        {"calibrated RGB", NSColor::colorWithCalibratedRed(0.1, 0.2, 0.3, 0.4), {0.1, 0.2, 0.3, 0.4}},
        {"grey becomes RGB", NSColor::colorWithCalibratedWhite(0.25, 0.5), {0.25, 0.25, 0.25, 0.5}},
        {"a named colour", NSColor::selectedControlColor(), {0.710, 0.835, 1.0, 1}},
    };
    for (const auto& c : cases) {
        auto cg = NSColorExt::CGColor(c.color);
        ASSERT_TRUE(cg) << c.what;
        EXPECT_TRUE(cg->colorSpace()->name()->isEqualToString(kCGColorSpaceGenericRGB)) << c.what;
        EXPECT_EQ(cg->components(), c.components) << c.what;
    }
    auto pattern = NSColor::colorWithPatternImage(NSImage::initWithSize(NSMakeSize(2, 2)));
    EXPECT_FALSE(NSColorExt::CGColor(pattern));
}

// A 10 x 10 swatch: the frame is the outer ring of pixels; the diagonals of a
// transparent colour cross the inside. Without antialiasing every pixel is
// fully covered or not at all.
TEST(ColorHelpers, SwatchImages)
{
    const uint32_t black = 0xFF000000u, red = 0xFFFF0000u;
    struct Case {
        const char* what;
        Ref<NSColor> color;
        uint32_t inside;
        bool cross;
    } cases[] = {
        {"clear: frame and cross", NSColor::clearColor(), 0, true},
        {"opaque red: only the frame", NSColor::redColor(), red, false},
        // Pixels are premultiplied: half-covered blue is 0x80000080.
        {"half-transparent blue: only the frame", NSColor::colorWithCalibratedRed(0, 0, 1, 0.5), 0x80000080u, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto image = colorImageWithSize(c.color, NSMakeSize(10, 10));
        EXPECT_EQ(image->size(), NSMakeSize(10, 10));
        auto pixels = image->CGImageForDrawing();
        ASSERT_TRUE(pixels);
        int crossPixels = 0;
        for (size_t y = 0; y < 10; ++y) {
            for (size_t x = 0; x < 10; ++x) {
                const uint32_t p = pixels->pixel(x, y);
                if (x == 0 || y == 0 || x == 9 || y == 9) {
                    EXPECT_EQ(p, black) << x << "," << y;
                    continue;
                }
                const bool onDiagonal = x == y || x + y == 9 || x + 1 == y || x == y + 1 || x + y == 8 || x + y == 10;
                if (p == black) {
                    ++crossPixels;
                    EXPECT_TRUE(c.cross && onDiagonal) << x << "," << y;
                } else {
                    EXPECT_EQ(p, c.inside) << x << "," << y;
                }
            }
        }
        // At least one pixel of each diagonal in every inner row.
        if (c.cross) EXPECT_GE(crossPixels, 16);
        else EXPECT_EQ(crossPixels, 0);
    }
}

TEST(ColorHelpers, SwatchLeavesTheCallersContextAlone)
{
    auto outer = NSGraphicsContext::imageByDrawing(4, 4, NSMakeSize(4, 4), false, [] {
        auto context = NSGraphicsContext::currentContext();
        context->setShouldAntialias(false);
        auto swatch = colorImageWithSize(NSColor::clearColor(), NSMakeSize(6, 6));
        EXPECT_EQ(NSGraphicsContext::currentContext(), context);
        EXPECT_FALSE(context->shouldAntialias());
        // A size no bitmap can hold draws nothing, least of all here.
        colorImageWithSize(NSColor::redColor(), NSMakeSize(1e7, 1e7));
        EXPECT_EQ(NSGraphicsContext::currentContext(), context);
    });
    EXPECT_EQ(outer->pixel(1, 1), 0u);
}
