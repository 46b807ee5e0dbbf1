#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "CoreGraphics/CGCairoContext.h"

namespace {

constexpr size_t kW = 24, kH = 20;

// Premultiplied pixels, opaque, half transparent and clear, all different.
Ref<CGImage> sourceImage()
{
    auto image = CGImage::create(7, 5);
    for (size_t y = 0; y < 5; ++y)
        for (size_t x = 0; x < 7; ++x) {
            const uint32_t a = (x + y) % 3 == 0 ? 255 : (x + y) % 3 == 1 ? 128 : 0;
            const uint32_t r = a * x / 7, g = a * y / 5, b = a * (x * y % 4) / 4;
            const uint32_t pixel = a << 24 | r << 16 | g << 8 | b;
            std::memcpy(image->data() + y * image->bytesPerRow() + x * 4, &pixel, 4);
        }
    image->markDirty();
    return image;
}

// A background the operations visibly combine with.
Ref<CGCairoContext> background()
{
    auto ctx = CGCairoContext::createForImage(CGImage::create(kW, kH));
    for (size_t y = 0; y < kH; ++y)
        for (size_t x = 0; x < kW; ++x) {
            const uint32_t a = (x * 3 + y) % 4 == 0 ? 0 : 200;
            const uint32_t pixel = a << 24 | (a * x / kW) << 16 | (a / 2) << 8 | (a * y / kH);
            std::memcpy(ctx->image()->data() + y * ctx->image()->bytesPerRow() + x * 4, &pixel, 4);
        }
    ctx->image()->markDirty();
    return ctx;
}

struct Case {
    const char* name;
    CGAffineTransform ctm;
    CGRect source;
    CGAffineTransform toUser;
    NSCompositingOperation op = NSCompositingOperationSourceOver;
    CGFloat fraction = 1;
    std::vector<CGRect> clip = {};  // one clip path of these rectangles
};

Ref<CGImage> draw(const Case& c, const Ref<CGImage>& image, bool aligned)
{
    auto ctx = background();
    ctx->setAlignedImageDrawing(aligned);
    ctx->setCTM(c.ctm);
    if (!c.clip.empty()) {
        CGPathElements path;
        for (const CGRect& r : c.clip) {
            path.moveTo(r.origin);
            path.lineTo({NSMaxX(r), NSMinY(r)});
            path.lineTo({NSMaxX(r), NSMaxY(r)});
            path.lineTo({NSMinX(r), NSMaxY(r)});
            path.close();
        }
        ctx->clipToPath(path, CGPathFillRule::NonZero);
    }
    ctx->setCompositingOperation(c.op);
    ctx->drawImage(image, c.source, c.toUser, c.fraction);
    ctx->flush();
    return ctx->image();
}

bool samePixels(const Ref<CGImage>& a, const Ref<CGImage>& b)
{
    for (size_t y = 0; y < kH; ++y)
        if (std::memcmp(a->data() + y * a->bytesPerRow(), b->data() + y * b->bytesPerRow(), kW * 4) != 0) return false;
    return true;
}

}  // namespace

TEST(ImageDrawing, TheShortWayForWholePixelsDrawsWhatTheGeneralWayDraws)
{
    const CGAffineTransform id = CGAffineTransformIdentity;
    const CGAffineTransform yUp{1, 0, 0, -1, 0, kH};  // a bitmap context's space
    const CGRect all = CGRectMake(0, 0, 7, 5);
    const Case cases[] = {
        {"whole pixels", id, all, {1, 0, 0, 1, 5, 4}},
        {"flipped, as an image drawn in a y-up space", yUp, all, {1, 0, 0, -1, 5, 12}},
        {"flipped by the image transform", id, all, {1, 0, 0, -1, 5, 12}},
        {"mirrored sideways", id, all, {-1, 0, 0, 1, 12, 3}},
        {"part of the image", id, CGRectMake(2, 1, 3, 3), {1, 0, 0, 1, 6, 6}},
        {"part of the image, flipped", yUp, CGRectMake(1, 2, 4, 3), {1, 0, 0, -1, 3, 15}},
        {"fractional offset", id, all, {1, 0, 0, 1, 5.5, 4.25}},
        {"fractional device offset", {1, 0, 0, 1, 0.5, 0}, all, {1, 0, 0, 1, 5, 4}},
        {"scaled", id, all, {2, 0, 0, 2, 3, 3}},
        {"turned a quarter", id, all, {0, 1, -1, 0, 12, 3}},
        {"fractional source rectangle", id, CGRectMake(0.5, 0, 6, 5), {1, 0, 0, 1, 5, 4}},
        {"source reaching past the image", id, CGRectMake(4, 3, 6, 5), {1, 0, 0, 1, 5, 4}},
        {"under a whole-pixel clip",
         id,
         all,
         {1, 0, 0, 1, 5, 4},
         NSCompositingOperationSourceOver,
         1,
         {CGRectMake(7, 5, 3, 10)}},
        {"under an L-shaped whole-pixel clip",
         yUp,
         all,
         {1, 0, 0, -1, 5, 12},
         NSCompositingOperationSourceOver,
         1,
         {CGRectMake(4, 8, 3, 6), CGRectMake(4, 8, 8, 2)}},
        {"under a fractional clip",
         id,
         all,
         {1, 0, 0, 1, 5, 4},
         NSCompositingOperationSourceOver,
         1,
         {CGRectMake(6.5, 4.25, 3.5, 2.5)}},
        {"flipped under a clip",
         yUp,
         all,
         {1, 0, 0, -1, 5, 12},
         NSCompositingOperationSourceOver,
         1,
         {CGRectMake(6, 9, 4, 2.5)}},
        {"partly off the canvas", id, all, {1, 0, 0, 1, -3, 17}},
        {"copy", id, all, {1, 0, 0, 1, 5, 4}, NSCompositingOperationCopy},
        {"copy under a fractional clip",
         id,
         all,
         {1, 0, 0, 1, 5, 4},
         NSCompositingOperationCopy,
         1,
         {CGRectMake(6.5, 4.5, 3, 2)}},
        {"clear", id, all, {1, 0, 0, 1, 5, 4}, NSCompositingOperationClear},
        {"source atop", id, all, {1, 0, 0, 1, 5, 4}, NSCompositingOperationSourceAtop},
        {"xor", yUp, all, {1, 0, 0, -1, 5, 12}, NSCompositingOperationXOR},
        {"destination out", id, all, {1, 0, 0, 1, 5, 4}, NSCompositingOperationDestinationOut},
        {"source in (composited by formula)", id, all, {1, 0, 0, 1, 5, 4}, NSCompositingOperationSourceIn},
        {"half faded", id, all, {1, 0, 0, 1, 5, 4}, NSCompositingOperationSourceOver, 0.5},
    };
    const auto image = sourceImage();
    const auto untouched = background()->image();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto shortWay = draw(c, image, true), generalWay = draw(c, image, false);
        EXPECT_TRUE(samePixels(shortWay, generalWay));
        EXPECT_FALSE(samePixels(shortWay, untouched)) << "the case draws nothing";
    }
}

TEST(ImageDrawing, AFractionalClipStaysInForceUnderNestedStatesAndWholePixelClips)
{
    const auto image = sourceImage();
    auto drawn = [&](bool aligned) {
        auto ctx = background();
        ctx->setAlignedImageDrawing(aligned);
        ctx->saveGState();
        ctx->clipToRect(CGRectMake(6.5, 4.5, 4, 3));
        ctx->saveGState();
        ctx->clipToRect(CGRectMake(0, 0, 20, 20));
        ctx->restoreGState();
        ctx->clipToRect(CGRectMake(2, 2, 16, 12));
        ctx->drawImage(image, CGRectMake(0, 0, 7, 5), {1, 0, 0, 1, 5, 4}, 1);
        ctx->restoreGState();
        ctx->flush();
        return ctx->image();
    };
    EXPECT_TRUE(samePixels(drawn(true), drawn(false)));
}
