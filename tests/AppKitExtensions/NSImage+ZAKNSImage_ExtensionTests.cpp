// Image helpers: drawing at a point, tinted and darkened copies, pixel sizes
// and the Core Graphics copy, checked byte by byte.
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "AppKit/NSBitmapImageRep.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKitExtensions/NSImage+ZAKNSImage_Extension.h"

using namespace NSImageExt;

namespace {

using Bytes = std::vector<unsigned char>;

// A bitmap of the given pixels (premultiplied RGBA or RGB bytes, rows from
// the top) in an image of the given size in points.
Ref<NSImage> bitmapImage(NSInteger wide, NSInteger high, bool alpha, NSSize size, const Bytes& bytes)
{
    auto rep = NSBitmapImageRep::initWithBitmapDataPlanes(nullptr, wide, high, 8, alpha ? 4 : 3, alpha, false,
                                                          NSCalibratedRGBColorSpace, 0, 0);
    std::copy(bytes.begin(), bytes.end(), rep->bitmapData());
    auto image = NSImage::initWithSize(size);
    image->addRepresentation(rep);
    return image;
}

Ref<NSBitmapImageRep> firstBitmap(const Ref<NSImage>& image)
{
    return dynamic_ref_cast<NSBitmapImageRep>(image->representations()->objectAtIndex(0));
}

Bytes bytesOf(const Ref<NSBitmapImageRep>& rep)
{
    const unsigned char* data = static_cast<const NSBitmapImageRep&>(*rep).bitmapData();
    return Bytes(data, data + rep->bytesPerRow() * rep->pixelsHigh());
}

// An image drawn by a handler: its only representation is not a bitmap.
Ref<NSImage> drawnImage()
{
    return NSImage::imageWithSize(NSMakeSize(2, 2), false, [](NSRect r) {
        NSColor::redColor()->set();
        NSRectFill(r);
        return true;
    });
}

}

TEST(ImageHelpers, DrawAtPointDrawsTheWholeImage)
{
    // 2 x 2 opaque red.
    auto image = bitmapImage(2, 2, true, NSMakeSize(2, 2),
                             Bytes{255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255});
    struct Case {
        const char* what;
        bool withFraction;
        CGFloat fraction;
        uint32_t inside;
    } cases[] = {
        {"full opacity", false, 0, 0xFFFF0000u},
        {"a quarter", true, 0.25, 0x40400000u},
    };
    for (const auto& c : cases) {
        auto pixels = NSGraphicsContext::imageByDrawing(6, 6, NSMakeSize(6, 6), false, [&] {
            if (c.withFraction) drawAtPoint(image, {1, 3}, NSCompositingOperationSourceOver, c.fraction);
            else drawAtPoint(image, {1, 3}, NSCompositingOperationSourceOver);
        });
        // Points (1, 3) to (3, 5) are columns 1-2, rows 1-2 from the top.
        for (size_t y = 0; y < 6; ++y)
            for (size_t x = 0; x < 6; ++x) {
                const bool inside = x >= 1 && x <= 2 && y >= 1 && y <= 2;
                const uint32_t p = pixels->pixel(x, y);
                if (!inside) {
                    EXPECT_EQ(p, 0u) << c.what << " " << x << "," << y;
                    continue;
                }
                // Red at the fraction's opacity (premultiplied).
                EXPECT_NEAR(double(p >> 24), double(c.inside >> 24), 1) << c.what << " " << x << "," << y;
                EXPECT_EQ(p & 0xFFFF, 0u) << c.what << " " << x << "," << y;
                EXPECT_EQ((p >> 16) & 0xFF, p >> 24) << c.what << " " << x << "," << y;
            }
    }
}

TEST(ImageHelpers, TintKeepsAlphaAndLeavesTheOriginal)
{
    // Opaque black, half-covered white, transparent.
    const Bytes original = {0, 0, 0, 255, 128, 128, 128, 128, 0, 0, 0, 0};
    auto image = bitmapImage(3, 1, true, NSMakeSize(3, 1), original);
    auto tinted = zakTintedImageWithColor(image, NSColor::blueColor());
    ASSERT_TRUE(tinted);
    EXPECT_EQ(tinted->size(), NSMakeSize(3, 1));
    auto pixels = tinted->CGImageForDrawing();
    EXPECT_EQ(pixels->pixel(0, 0), 0xFF0000FFu);
    EXPECT_EQ(pixels->pixel(1, 0), 0x80000080u);
    EXPECT_EQ(pixels->pixel(2, 0), 0u);
    EXPECT_EQ(bytesOf(firstBitmap(image)), original);
}

TEST(ImageHelpers, DarkenedImage)
{
    // Two RGBA pixels, or two RGB ones.
    const Bytes rgba = {10, 0, 255, 255, 200, 100, 50, 128};
    const Bytes rgb = {10, 0, 255, 200, 100, 50};
    struct Case {
        const char* what;
        bool alpha;
        Ref<NSColor> color;
        Bytes expected;
    } cases[] = {
        {"white lowers every colour byte by 1", true, NSColor::whiteColor(), {9, 0, 254, 255, 199, 99, 49, 128}},
        {"black empties every colour byte", true, NSColor::blackColor(), {0, 0, 0, 255, 0, 0, 0, 128}},
        // Lowered by 1, 128 and 256.
        {"each channel by its own amount",
         true,
         NSColor::colorWithCalibratedRed(1, 0.5, 0, 1),
         {9, 0, 0, 255, 199, 0, 0, 128}},
        {"without alpha", false, NSColor::whiteColor(), {9, 0, 254, 199, 99, 49}},
        {"a grey colour is taken as RGB", false, NSColor::colorWithCalibratedWhite(1, 1), {9, 0, 254, 199, 99, 49}},
    };
    for (const auto& c : cases) {
        auto image = bitmapImage(2, 1, c.alpha, NSMakeSize(2, 1), c.alpha ? rgba : rgb);
        auto darkened = darkenedImageWithColor(image, c.color);
        ASSERT_TRUE(darkened) << c.what;
        EXPECT_EQ(darkened->size(), NSMakeSize(2, 1));
        auto rep = firstBitmap(darkened);
        ASSERT_TRUE(rep) << c.what;
        EXPECT_EQ(rep->samplesPerPixel(), c.alpha ? 4 : 3) << c.what;
        EXPECT_EQ(bytesOf(rep), c.expected) << c.what;
    }
}

// A bitmap with more or fewer pixels than the image has points: the result
// has one pixel per point, filled where the source has pixels, and neither
// buffer is read or written past its end.
TEST(ImageHelpers, DarkenedImageOfOtherPixelSizes)
{
    // 4 x 2 pixels for 2 x 1 points: the result takes the top-left 2 x 1.
    Bytes doubled(4 * 2 * 4);
    for (size_t i = 0; i < doubled.size(); ++i) doubled[i] = static_cast<unsigned char>(100 + i);
    auto dense = darkenedImageWithColor(bitmapImage(4, 2, true, NSMakeSize(2, 1), doubled), NSColor::whiteColor());
    ASSERT_TRUE(dense);
    EXPECT_EQ(bytesOf(firstBitmap(dense)), (Bytes{99, 100, 101, 103, 103, 104, 105, 107}));

    // 1 x 1 pixel for 3 x 2 points: the rest stays empty.
    auto sparse =
        darkenedImageWithColor(bitmapImage(1, 1, false, NSMakeSize(3, 2), {50, 60, 70}), NSColor::whiteColor());
    ASSERT_TRUE(sparse);
    auto rep = firstBitmap(sparse);
    EXPECT_EQ(rep->pixelsWide(), 3);
    EXPECT_EQ(rep->pixelsHigh(), 2);
    Bytes expected(3 * 2 * 3, 0);
    expected[0] = 49, expected[1] = 59, expected[2] = 69;
    EXPECT_EQ(bytesOf(rep), expected);
}

TEST(ImageHelpers, DarkenedImageNeedsABitmapAndAnRGBColour)
{
    auto bitmap = bitmapImage(1, 1, true, NSMakeSize(1, 1), {1, 2, 3, 255});
    EXPECT_FALSE(darkenedImageWithColor(drawnImage(), NSColor::whiteColor()));
    EXPECT_FALSE(darkenedImageWithColor(NSImage::initWithSize(NSMakeSize(2, 2)), NSColor::whiteColor()));
    EXPECT_FALSE(darkenedImageWithColor(bitmap, NSColor::colorWithPatternImage(bitmap)));
    EXPECT_FALSE(darkenedImageWithColor(bitmap, nullptr));
    // Points too few for a single pixel.
    EXPECT_FALSE(
        darkenedImageWithColor(bitmapImage(1, 1, true, NSMakeSize(0.5, 0.5), {1, 2, 3, 255}), NSColor::whiteColor()));
}

TEST(ImageHelpers, NormalizeSizeTakesTheFirstBitmapsPixels)
{
    auto image = bitmapImage(8, 6, true, NSMakeSize(4, 3), Bytes(8 * 6 * 4, 0));
    firstBitmap(image)->setSize(NSMakeSize(4, 3));
    EXPECT_EQ(normalizeSize(image), image);
    EXPECT_EQ(image->size(), NSMakeSize(8, 6));
    EXPECT_EQ(firstBitmap(image)->size(), NSMakeSize(8, 6));

    // A bitmap after a drawn representation still counts.
    auto mixed = drawnImage();
    auto rep =
        NSBitmapImageRep::initWithBitmapDataPlanes(nullptr, 5, 7, 8, 4, true, false, NSCalibratedRGBColorSpace, 0, 0);
    mixed->addRepresentation(rep);
    normalizeSize(mixed);
    EXPECT_EQ(mixed->size(), NSMakeSize(5, 7));

    // Without a bitmap nothing changes.
    auto drawn = drawnImage();
    normalizeSize(drawn);
    EXPECT_EQ(drawn->size(), NSMakeSize(2, 2));
    auto empty = NSImage::initWithSize(NSMakeSize(3, 3));
    normalizeSize(empty);
    EXPECT_EQ(empty->size(), NSMakeSize(3, 3));
}

TEST(ImageHelpers, ImageRefCopyHasTheImagesPixels)
{
    // Red, half-covered blue, transparent / green, white, black.
    auto image = bitmapImage(3, 2, true, NSMakeSize(3, 2), {255, 0,   0, 255, 0,   0,   128, 128, 0, 0, 0, 0,
                                                            0,   255, 0, 255, 255, 255, 255, 255, 0, 0, 0, 255});
    const uint32_t expected[2][3] = {{0xFFFF0000u, 0x80000080u, 0}, {0xFF00FF00u, 0xFFFFFFFFu, 0xFF000000u}};
    auto outer = NSGraphicsContext::imageByDrawing(1, 1, NSMakeSize(1, 1), true, [&] {
        auto context = NSGraphicsContext::currentContext();
        auto copy = imageRefCopy(image);
        ASSERT_TRUE(copy);
        EXPECT_EQ(NSGraphicsContext::currentContext(), context);
        ASSERT_EQ(copy->width(), 3u);
        ASSERT_EQ(copy->height(), 2u);
        for (size_t y = 0; y < 2; ++y)
            for (size_t x = 0; x < 3; ++x) EXPECT_EQ(copy->pixel(x, y), expected[y][x]) << x << "," << y;
    });
    EXPECT_EQ(outer->pixel(0, 0), 0u);
    // Whole pixels of the size; nothing for an empty image.
    auto drawn = imageRefCopy(drawnImage());
    ASSERT_TRUE(drawn);
    EXPECT_EQ(drawn->pixel(1, 1), 0xFFFF0000u);
    EXPECT_FALSE(imageRefCopy(NSImage::initWithSize(NSMakeSize(0, 4))));
}
