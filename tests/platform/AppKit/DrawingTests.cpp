#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSBitmapImageRep.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSGradient.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSImage.h"
#include "AppKit/NSShadow.h"
#include "CoreGraphics/CGCairoContext.h"
#include "CoreGraphics/CGRecordingContext.h"
#include "Foundation/NSException.h"

namespace {

// A pixel surface made current for one test: flipped (y down, like a
// flipped view at the window's origin) or unflipped (y up).
struct Canvas {
    Ref<CGCairoContext> port;
    Canvas(size_t w, size_t h, bool flipped)
    {
        port = CGCairoContext::createForImage(CGImage::create(w, h));
        if (!flipped) port->setCTM({1, 0, 0, -1, 0, static_cast<CGFloat>(h)});
        NSGraphicsContext::saveGraphicsState();
        NSGraphicsContext::setCurrentContext(NSGraphicsContext::graphicsContextWithGraphicsPort(port, flipped));
    }
    ~Canvas() { NSGraphicsContext::restoreGraphicsState(); }
    uint32_t pixel(size_t x, size_t y) const
    {
        port->flush();
        return port->image()->pixel(x, y);
    }
};

constexpr uint32_t kRed = 0xffff0000, kBlue = 0xff0000ff, kWhite = 0xffffffff;

// 1 x 2 image: red over blue.
Ref<NSImage> redOverBlue()
{
    auto image = NSImage::initWithSize({1, 2});
    image->lockFocus();
    NSColor::blueColor()->set();
    NSRectFill(NSMakeRect(0, 0, 1, 1));
    NSColor::redColor()->set();
    NSRectFill(NSMakeRect(0, 1, 1, 1));
    image->unlockFocus();
    return image;
}

}

TEST(Color, ComponentsStayAsGivenAndConvert)
{
    auto c = NSColor::colorWithCalibratedRed(0.1f, 0.7f, 0.3f, 5.0);
    CGFloat r, g, b, a;
    c->getRed(&r, &g, &b, &a);
    EXPECT_EQ(r, static_cast<double>(0.1f));
    EXPECT_EQ(g, static_cast<double>(0.7f));
    EXPECT_EQ(a, 5.0);
    auto white = c->colorUsingColorSpaceName(NSCalibratedWhiteColorSpace);
    EXPECT_DOUBLE_EQ(white->whiteComponent(), 0.299 * r + 0.587 * g + 0.114 * b);
    auto back = NSColor::colorWithCalibratedWhite(0.25, 1)->colorUsingColorSpaceName(NSDeviceRGBColorSpace);
    EXPECT_EQ(back->redComponent(), 0.25);
    EXPECT_EQ(back->blueComponent(), 0.25);
    EXPECT_THROW(NSColor::grayColor()->redComponent(), NSException);
    EXPECT_FALSE(NSColor::colorWithPatternImage(NSImage::initWithSize({1, 1}))
                     ->colorUsingColorSpaceName(NSCalibratedRGBColorSpace));

    auto mixed = NSColor::redColor()->blendedColorWithFraction(0.25, NSColor::blueColor());
    EXPECT_DOUBLE_EQ(mixed->redComponent(), 0.75);
    EXPECT_DOUBLE_EQ(mixed->blueComponent(), 0.25);
    EXPECT_DOUBLE_EQ(NSColor::blackColor()->highlightWithLevel(0.5)->redComponent(), 0.5);
    EXPECT_DOUBLE_EQ(NSColor::whiteColor()->shadowWithLevel(0.25)->greenComponent(), 0.75);
    EXPECT_EQ(NSColor::redColor()->colorWithAlphaComponent(0.5)->alphaComponent(), 0.5);

    CGFloat h, s, v;
    NSColor::colorWithCalibratedHue(2.0 / 3, 1, 1, 1)->getHue(&h, &s, &v, nullptr);
    EXPECT_NEAR(h, 2.0 / 3, 1e-12);
    EXPECT_EQ(NSColor::colorWithCalibratedHue(2.0 / 3, 1, 1, 1)->blueComponent(), 1);

    EXPECT_TRUE(NSColor::redColor()->isEqual(NSColor::colorWithCalibratedRed(1, 0, 0, 1).get()));
    EXPECT_FALSE(NSColor::redColor()->isEqual(NSColor::colorWithDeviceRed(1, 0, 0, 1).get()));
    EXPECT_TRUE(NSColor::gridColor()->isEqual(NSColor::gridColor().get()));
    EXPECT_FALSE(NSColor::gridColor()->isEqual(NSColor::controlShadowColor().get()));
    EXPECT_EQ(NSColor::gridColor()->colorSpaceName()->UTF8String(), "NSNamedColorSpace");
    EXPECT_EQ(NSColor::selectedControlColor()->colorUsingColorSpaceName(NSCalibratedRGBColorSpace)->blueComponent(),
              1.0);
    auto cg = NSColor::grayColor()->CGColor();
    ASSERT_EQ(CGColorGetNumberOfComponents(cg), 4u);
    EXPECT_EQ(CGColorGetComponents(cg)[1], 0.5);
}

TEST(Drawing, RectFillCopiesAndFrameRectStaysInside)
{
    Canvas canvas(10, 10, true);
    NSColor::whiteColor()->set();
    NSRectFill(NSMakeRect(0, 0, 10, 10));
    NSColor::colorWithCalibratedRed(1, 0, 0, 0.5)->set();
    NSRectFill(NSMakeRect(0, 0, 2, 2));
    EXPECT_EQ(canvas.pixel(0, 0), 0x80800000u);  // replaced, not blended
    NSColor::blueColor()->set();
    NSFrameRect(NSMakeRect(4, 4, 4, 4));
    EXPECT_EQ(canvas.pixel(4, 4), kBlue);
    EXPECT_EQ(canvas.pixel(7, 5), kBlue);
    EXPECT_EQ(canvas.pixel(5, 5), kWhite);
    EXPECT_EQ(canvas.pixel(8, 5), kWhite);
}

TEST(Drawing, FocusRingOnlyDrawsAroundTheShape)
{
    Canvas canvas(20, 20, true);
    NSColor::whiteColor()->set();
    NSRectFill(NSMakeRect(0, 0, 20, 20));
    NSGraphicsContext::saveGraphicsState();
    NSSetFocusRingStyle(NSFocusRingOnly);
    NSColor::blackColor()->set();
    NSRectFill(NSMakeRect(5, 5, 10, 10));
    NSGraphicsContext::restoreGraphicsState();
    EXPECT_EQ(canvas.pixel(10, 10), kWhite);  // the shape itself is not filled
    EXPECT_NE(canvas.pixel(10, 3), kWhite);   // the ring lies outside it
    EXPECT_EQ(canvas.pixel(10, 0), kWhite);
    // After the restore, fills are fills again.
    NSColor::blackColor()->set();
    NSRectFill(NSMakeRect(0, 0, 1, 1));
    EXPECT_EQ(canvas.pixel(0, 0), 0xff000000u);
}

TEST(Images, AtAPointInAFlippedContextTheImageIsUpsideDown)
{
    auto image = redOverBlue();
    {
        Canvas canvas(1, 4, true);
        image->drawAtPoint({0, 1}, NSZeroRect, NSCompositingOperationSourceOver, 1);
        // Covers [1, 3] below the point, upside down.
        EXPECT_EQ(canvas.pixel(0, 1), kBlue);
        EXPECT_EQ(canvas.pixel(0, 2), kRed);
        EXPECT_EQ(canvas.pixel(0, 0), 0u);
        image->drawInRect(NSMakeRect(0, 1, 1, 2), NSZeroRect, NSCompositingOperationCopy, 1, true, nullptr);
        EXPECT_EQ(canvas.pixel(0, 1), kRed);
        EXPECT_EQ(canvas.pixel(0, 2), kBlue);
    }
    {
        Canvas canvas(1, 4, false);
        image->drawAtPoint({0, 1}, NSZeroRect, NSCompositingOperationSourceOver, 1);
        // Unflipped: y 1..3 up from the bottom are device rows 1 and 2, upright.
        EXPECT_EQ(canvas.pixel(0, 1), kRed);
        EXPECT_EQ(canvas.pixel(0, 2), kBlue);
    }
    {
        // Part of the image, at a fraction (clamped to 1).
        Canvas canvas(1, 1, false);
        image->drawAtPoint({0, 0}, NSMakeRect(0, 1, 1, 1), NSCompositingOperationSourceOver, 1.001);
        EXPECT_EQ(canvas.pixel(0, 0), kRed);
        image->drawAtPoint({0, 0}, NSMakeRect(0, 0, 1, 1), NSCompositingOperationCopy, 0.5);
        EXPECT_EQ(canvas.pixel(0, 0), 0x80000080u);  // premultiplied
    }
}

TEST(Images, CustomRepresentationsDrawAtTheSizeAsked)
{
    int calls = 0;
    auto image = NSImage::imageWithSize({2, 2}, false, [&](NSRect r) {
        ++calls;
        NSColor::redColor()->set();
        NSRectFill(NSMakeRect(0, 0, r.size.width, r.size.height / 2));
        return true;
    });
    Canvas canvas(8, 8, false);
    image->drawInRect(NSMakeRect(0, 0, 8, 8), NSZeroRect, NSCompositingOperationSourceOver, 1);
    EXPECT_GE(calls, 1);
    EXPECT_EQ(canvas.pixel(3, 7), kRed);  // bottom half
    EXPECT_EQ(canvas.pixel(3, 0), 0u);
}

TEST(Images, BitmapRepresentationsAndTheirContexts)
{
    for (NSInteger spp : {3, 4}) {
        auto rep = NSBitmapImageRep::initWithBitmapDataPlanes(nullptr, 5, 3, 8, spp, spp == 4, false,
                                                              NSCalibratedRGBColorSpace, 0, 0);
        ASSERT_TRUE(rep);
        EXPECT_EQ(rep->bitsPerPixel(), spp * 8);
        EXPECT_EQ(rep->bytesPerRow(), 5 * spp);
        EXPECT_EQ(rep->pixelsWide(), 5);
        auto ctx = NSGraphicsContext::graphicsContextWithBitmapImageRep(rep);
        NSGraphicsContext::saveGraphicsState();
        NSGraphicsContext::setCurrentContext(ctx);
        NSColor::redColor()->set();
        NSRectFill(NSMakeRect(0, 0, 1, 1));  // bottom-left
        NSGraphicsContext::restoreGraphicsState();
        ctx->flushGraphics();
        const unsigned char* p = rep->bitmapData() + 2 * rep->bytesPerRow();
        EXPECT_EQ(p[0], 255);
        EXPECT_EQ(p[1], 0);
        if (spp == 4) {
            EXPECT_EQ(p[3], 255);
        }
        auto png = rep->representationUsingType(NSBitmapImageFileTypePNG);
        auto back = NSBitmapImageRep::imageRepWithData(png);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->colorAtX(0, 2)->redComponent(), 1);
        EXPECT_EQ(back->colorAtX(1, 2)->alphaComponent(), spp == 4 ? 0 : 1);
    }
    EXPECT_FALSE(
        NSBitmapImageRep::initWithBitmapDataPlanes(nullptr, 5, 3, 16, 4, true, false, NSCalibratedRGBColorSpace, 0, 0));
    // TIFF data of an image reads back as the same image.
    auto image = redOverBlue();
    auto again = NSImage::initWithData(image->TIFFRepresentation());
    ASSERT_TRUE(again);
    EXPECT_EQ(again->size(), NSMakeSize(1, 2));
}

TEST(Gradients, AnglesRunFromTheStartColour)
{
    auto gradient = NSGradient::initWithStartingColor(NSColor::redColor(), NSColor::blueColor());
    struct Case {
        CGFloat angle;
        size_t x, y;     // device pixel
        bool nearStart;  // mostly red
    } cases[] = {{0, 2, 50, true}, {0, 97, 50, false}, {90, 50, 97, true}, {90, 50, 2, false}, {180, 2, 50, false}};
    for (const Case& c : cases) {
        Canvas canvas(100, 100, false);
        gradient->drawInRect(NSMakeRect(0, 0, 100, 100), c.angle);
        uint32_t p = canvas.pixel(c.x, c.y);
        int red = (p >> 16) & 0xff, blue = p & 0xff;
        EXPECT_EQ(p >> 24, 255u);
        EXPECT_EQ(red > 240, c.nearStart) << "angle " << c.angle;
        EXPECT_EQ(blue > 240, !c.nearStart) << "angle " << c.angle;
    }
    auto mid = gradient->interpolatedColorAtLocation(0.25);
    EXPECT_DOUBLE_EQ(mid->redComponent(), 0.75);
    EXPECT_EQ(gradient->interpolatedColorAtLocation(-1)->redComponent(), 1);
    auto three = NSGradient::initWithColorsAndLocations(
        {{NSColor::whiteColor(), 0.0}, {NSColor::blackColor(), 0.5f}, {NSColor::redColor(), 1.0}});
    ASSERT_EQ(three->numberOfColorStops(), 3);
    Ref<NSColor> color;
    CGFloat location;
    three->getColor(&color, &location, 1);
    EXPECT_EQ(location, 0.5);
    EXPECT_EQ(color->redComponent(), 0);
}

TEST(Shadows, NSShadowAppliesUntilRestore)
{
    for (bool flipped : {false, true}) {
        Canvas canvas(20, 20, flipped);
        NSGraphicsContext::saveGraphicsState();
        auto shadow = NSShadow::shadow();
        shadow->setShadowOffset({0, -1});
        shadow->setShadowColor(NSColor::redColor());
        shadow->set();
        NSColor::blueColor()->set();
        NSBezierPath::fillRect(NSMakeRect(5, 5, 4, 4));
        NSGraphicsContext::restoreGraphicsState();
        int bottom = flipped ? 8 : 14;
        EXPECT_EQ(canvas.pixel(6, static_cast<size_t>(bottom + 1)), kRed) << "flipped " << flipped;
        NSBezierPath::fillRect(NSMakeRect(12, 5, 4, 4));
        EXPECT_EQ(canvas.pixel(13, static_cast<size_t>(bottom + 1)), 0u);
    }
}

TEST(Drawing, PathsReachTheRecordingContext)
{
    auto rec = CGRecordingContext::create({50, 50});
    NSGraphicsContext::saveGraphicsState();
    NSGraphicsContext::setCurrentContext(NSGraphicsContext::graphicsContextWithGraphicsPort(rec, false));
    auto p = NSBezierPath::bezierPathWithOvalInRect(NSMakeRect(0, 0, 10, 10));
    p->setLineWidth(0);
    CGFloat dash[] = {2, 1};
    p->setLineDash(dash, 2, 0.5);
    NSColor::greenColor()->setStroke();
    p->stroke();
    p->setClip();
    NSGraphicsContext::restoreGraphicsState();
    ASSERT_EQ(rec->operations().size(), 2u);
    const auto& stroke = rec->operations()[0];
    EXPECT_EQ(stroke.kind, CGRecordedOperation::Kind::Stroke);
    EXPECT_EQ(stroke.strokeStyle.lineWidth, 0);
    EXPECT_EQ(stroke.strokeStyle.dash, (std::vector<CGFloat>{2, 1}));
    EXPECT_EQ(stroke.paint.color, (CGRGBA{0, 1, 0, 1}));
    EXPECT_EQ(stroke.path, p->elements());
    EXPECT_EQ(rec->operations()[1].kind, CGRecordedOperation::Kind::ReplaceClip);
}

TEST(Drawing, PatternColoursTileTheirImage)
{
    auto tile = NSImage::initWithSize({2, 1});
    tile->lockFocus();
    NSColor::redColor()->set();
    NSRectFill(NSMakeRect(0, 0, 1, 1));
    NSColor::blueColor()->set();
    NSRectFill(NSMakeRect(1, 0, 1, 1));
    tile->unlockFocus();
    Canvas canvas(6, 1, true);
    NSColor::colorWithPatternImage(tile)->set();
    NSBezierPath::fillRect(NSMakeRect(0, 0, 6, 1));
    for (size_t x = 0; x < 6; ++x) EXPECT_EQ(canvas.pixel(x, 0), x % 2 ? kBlue : kRed) << x;
}

TEST(Drawing, ClipsIntersectReplaceAndFollowMasks)
{
    Canvas canvas(10, 10, true);
    auto port = canvas.port;
    port->setBaseClip(CGRectMake(0, 0, 8, 10));
    NSColor::redColor()->set();
    port->saveGState();
    NSBezierPath::clipRect(NSMakeRect(0, 0, 4, 4));
    NSBezierPath::clipRect(NSMakeRect(2, 2, 4, 4));  // intersects
    NSRectFill(NSMakeRect(0, 0, 10, 10));
    EXPECT_EQ(canvas.pixel(3, 3), kRed);
    EXPECT_EQ(canvas.pixel(1, 1), 0u);
    EXPECT_EQ(canvas.pixel(5, 5), 0u);
    // setClip replaces the clip, within the base clip.
    NSBezierPath::bezierPathWithRect(NSMakeRect(6, 6, 4, 4))->setClip();
    NSRectFill(NSMakeRect(0, 0, 10, 10));
    EXPECT_EQ(canvas.pixel(7, 7), kRed);
    EXPECT_EQ(canvas.pixel(8, 8), 0u);
    port->restoreGState();

    // A mask image: only its opaque left half lets drawing through.
    auto mask = CGImage::create(2, 1);
    std::memcpy(mask->data(), "\xff\xff\xff\xff", 4);
    mask->markDirty();
    port->saveGState();
    CGContextClipToMask(port.get(), CGRectMake(0, 0, 10, 1), mask);
    NSColor::blueColor()->set();
    NSRectFill(NSMakeRect(0, 0, 10, 1));
    port->restoreGState();
    EXPECT_EQ(canvas.pixel(2, 0), kBlue);
    EXPECT_EQ(canvas.pixel(7, 0), 0u);
}

TEST(Images, NamedImagesAreSharedAndPDFNamesFindPNGs)
{
    auto dir = std::filesystem::temp_directory_path() / ("graphics-images-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    auto data = redOverBlue()->PNGRepresentation();
    ASSERT_TRUE(data->writeToFile(NSString::stringWithUTF8String((dir / "Handle.png").string()), true));
    NSImage::addImageSearchDirectory(dir.string());
    auto a = NSImage::imageNamed("Handle.pdf"_ns);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->size(), NSMakeSize(1, 2));
    EXPECT_EQ(NSImage::imageNamed("Handle.pdf"_ns), a);
    auto b = NSImage::imageNamed("Handle"_ns);
    ASSERT_TRUE(b);
    b->setSize({10, 20});
    EXPECT_EQ(NSImage::imageNamed("Handle"_ns)->size(), NSMakeSize(10, 20));  // shared
    EXPECT_FALSE(NSImage::imageNamed("Missing"_ns));
    std::filesystem::remove_all(dir);
}

TEST(Images, LockFocusOnAFlippedImageDrawsFromTheTop)
{
    auto image = NSImage::initWithSize({1, 2});
    image->setFlipped(true);
    image->lockFocus();
    EXPECT_TRUE(NSGraphicsContext::currentContext()->isFlipped());
    NSColor::redColor()->set();
    NSRectFill(NSMakeRect(0, 0, 1, 1));  // the top pixel
    image->unlockFocus();
    Canvas canvas(1, 2, false);
    image->drawInRect(NSMakeRect(0, 0, 1, 2));
    EXPECT_EQ(canvas.pixel(0, 0), kRed);
    EXPECT_EQ(canvas.pixel(0, 1), 0u);
}
