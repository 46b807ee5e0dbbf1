#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "CoreGraphics/CGCairoContext.h"
#include "CoreGraphics/CGRecordingContext.h"
#include "CoreGraphics/CGShading.h"

namespace {

struct Pixel {
    CGFloat r, g, b, a;  // premultiplied, 0..1
};

Pixel at(const Ref<CGImage>& image, size_t x, size_t y)
{
    uint32_t p = image->pixel(x, y);
    return {((p >> 16) & 0xff) / 255.0, ((p >> 8) & 0xff) / 255.0, (p & 0xff) / 255.0, (p >> 24) / 255.0};
}

uint8_t alphaAt(const Ref<CGImage>& image, size_t x, size_t y) { return image->pixel(x, y) >> 24; }

Ref<CGCairoContext> canvas(size_t w, size_t h) { return CGCairoContext::createForImage(CGImage::create(w, h)); }

CGPathElements line(CGPoint a, CGPoint b)
{
    CGPathElements p;
    p.moveTo(a);
    p.lineTo(b);
    return p;
}

}

TEST(Compositing, EveryOperationMatchesItsFormulaInsideAndLeavesTheOutsideAlone)
{
    using F = std::function<CGFloat(CGFloat s, CGFloat sa, CGFloat d, CGFloat da)>;
    struct Case {
        NSCompositingOperation op;
        F formula;  // per premultiplied channel
    } cases[] = {
        {NSCompositingOperationClear, [](CGFloat, CGFloat, CGFloat, CGFloat) { return 0.0; }},
        {NSCompositingOperationCopy, [](CGFloat s, CGFloat, CGFloat, CGFloat) { return s; }},
        {NSCompositingOperationSourceOver, [](CGFloat s, CGFloat sa, CGFloat d, CGFloat) { return s + d * (1 - sa); }},
        {NSCompositingOperationSourceIn, [](CGFloat s, CGFloat, CGFloat, CGFloat da) { return s * da; }},
        {NSCompositingOperationSourceOut, [](CGFloat s, CGFloat, CGFloat, CGFloat da) { return s * (1 - da); }},
        {NSCompositingOperationSourceAtop,
         [](CGFloat s, CGFloat sa, CGFloat d, CGFloat da) { return s * da + d * (1 - sa); }},
        {NSCompositingOperationDestinationOver,
         [](CGFloat s, CGFloat, CGFloat d, CGFloat da) { return s * (1 - da) + d; }},
        {NSCompositingOperationDestinationIn, [](CGFloat, CGFloat sa, CGFloat d, CGFloat) { return d * sa; }},
        {NSCompositingOperationDestinationOut, [](CGFloat, CGFloat sa, CGFloat d, CGFloat) { return d * (1 - sa); }},
        {NSCompositingOperationDestinationAtop,
         [](CGFloat s, CGFloat sa, CGFloat d, CGFloat da) { return s * (1 - da) + d * sa; }},
        {NSCompositingOperationXOR,
         [](CGFloat s, CGFloat sa, CGFloat d, CGFloat da) { return s * (1 - da) + d * (1 - sa); }},
        {NSCompositingOperationPlusDarker,
         [](CGFloat s, CGFloat, CGFloat d, CGFloat) { return std::max(0.0, s + d - 1); }},
        {NSCompositingOperationHighlight, [](CGFloat s, CGFloat sa, CGFloat d, CGFloat) { return s + d * (1 - sa); }},
        {NSCompositingOperationPlusLighter,
         [](CGFloat s, CGFloat, CGFloat d, CGFloat) { return std::min(1.0, s + d); }},
    };
    const CGRGBA source{0.2, 0.6, 0.9, 0.75};
    for (const Case& c : cases) {
        auto ctx = canvas(8, 8);
        ctx->setCompositingOperation(NSCompositingOperationCopy);
        ctx->setFillColor({0.8, 0.4, 1.0, 0.5});  // half-transparent background
        ctx->fillRect(CGRectMake(0, 0, 8, 8));
        Pixel d = at(ctx->image(), 3, 3);
        uint32_t outsideBefore = ctx->image()->pixel(0, 0);

        ctx->setCompositingOperation(c.op);
        ctx->setFillColor(source);
        ctx->fillRect(CGRectMake(2, 2, 4, 4));
        Pixel r = at(ctx->image(), 3, 3);
        CGFloat sa = source.a;
        CGFloat expect[4] = {c.formula(source.r * sa, sa, d.r, d.a), c.formula(source.g * sa, sa, d.g, d.a),
                             c.formula(source.b * sa, sa, d.b, d.a), c.formula(sa, sa, d.a, d.a)};
        CGFloat got[4] = {r.r, r.g, r.b, r.a};
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(got[i], std::clamp(expect[i], 0.0, 1.0), 2.5 / 255) << "operation " << c.op << " channel " << i;
        EXPECT_EQ(ctx->image()->pixel(0, 0), outsideBefore) << "operation " << c.op;
        EXPECT_EQ(ctx->image()->pixel(7, 7), outsideBefore) << "operation " << c.op;
    }
}

TEST(Stroking, ZeroWidthLinesAreOneDevicePixel)
{
    struct Case {
        bool antialias, flipped;
        CGFloat y;
        int fullRow;             // the row covered fully, or -1
        int halfRows[2];         // rows at half coverage, or -1
        CGFloat viewOffset = 0;  // a view's fractional offset in its window
    } cases[] = {
        {true, false, 10.5, 9, {-1, -1}},      {false, false, 10.5, 9, {-1, -1}},
        {true, true, 10.5, 10, {-1, -1}},      {false, true, 10.5, 10, {-1, -1}},
        {true, true, 10, -1, {9, 10}},         {true, false, 10, -1, {9, 10}},
        {true, true, 10.5, 10, {-1, -1}, 0.3}, {false, false, 10.5, 9, {-1, -1}, 0.25},
        {true, false, 10, -1, {9, 10}, 0.4},
    };
    for (const Case& c : cases) {
        auto ctx = canvas(20, 20);
        if (!c.flipped) ctx->setCTM({1, 0, 0, -1, 0, 20});
        ctx->translateCTM(0, c.viewOffset);
        ctx->setShouldAntialias(c.antialias);
        CGStrokeStyle hairline;
        hairline.lineWidth = 0;
        ctx->strokePath(line({0, c.y}, {20, c.y}), hairline);
        for (int row = 0; row < 20; ++row) {
            uint8_t a = alphaAt(ctx->image(), 10, static_cast<size_t>(row));
            if (row == c.fullRow) EXPECT_EQ(a, 255) << "row " << row << " y " << c.y << " flipped " << c.flipped;
            else if (row == c.halfRows[0] || row == c.halfRows[1]) EXPECT_NEAR(a, 128, 2) << "row " << row;
            else EXPECT_EQ(a, 0) << "row " << row << " y " << c.y << " flipped " << c.flipped << " aa " << c.antialias;
        }
    }
    // With antialiasing off an integral coordinate still covers exactly one row.
    auto ctx = canvas(20, 20);
    ctx->setShouldAntialias(false);
    CGStrokeStyle hairline;
    hairline.lineWidth = 0;
    ctx->strokePath(line({0, 10}, {20, 10}), hairline);
    int rows = 0;
    for (int row = 0; row < 20; ++row) {
        uint8_t a = alphaAt(ctx->image(), 10, static_cast<size_t>(row));
        EXPECT_TRUE(a == 0 || a == 255);
        rows += a == 255;
    }
    EXPECT_EQ(rows, 1);
}

TEST(Shadows, OffsetIsInBaseSpaceSoMinusOneIsOnePixelBelow)
{
    for (bool flipped : {false, true}) {
        auto ctx = canvas(20, 20);
        if (!flipped) ctx->setCTM({1, 0, 0, -1, 0, 20});
        ctx->setShadow({0, -1}, 0, {1, 0, 0, 1});
        ctx->setFillColor({0, 0, 1, 1});
        ctx->fillRect(CGRectMake(5, 5, 4, 4));
        // Device rows of the shape: flipped 5..8, unflipped 11..14.
        int top = flipped ? 5 : 11, bottom = top + 3;
        EXPECT_EQ(ctx->image()->pixel(6, static_cast<size_t>(bottom + 1)), 0xffff0000u) << "flipped " << flipped;
        EXPECT_EQ(ctx->image()->pixel(6, static_cast<size_t>(top - 1)), 0u) << "flipped " << flipped;
        EXPECT_EQ(ctx->image()->pixel(6, static_cast<size_t>(top)), 0xff0000ffu);
        EXPECT_EQ(ctx->image()->pixel(6, static_cast<size_t>(bottom + 2)), 0u);
    }
    // A blurred shadow spreads beyond the offset shape and fades.
    auto ctx = canvas(40, 40);
    ctx->setShadow({0, 0}, 4, {0, 0, 0, 1});
    ctx->fillRect(CGRectMake(15, 15, 10, 10));
    EXPECT_GT(alphaAt(ctx->image(), 20, 13), 0);
    EXPECT_LT(alphaAt(ctx->image(), 20, 13), alphaAt(ctx->image(), 20, 14));
    EXPECT_EQ(alphaAt(ctx->image(), 20, 2), 0);
}

TEST(Gradients, ShadingsAreEvaluatedThroughTheirCallback)
{
    CGFunctionCallbacks callbacks;
    callbacks.evaluate = [](void*, const CGFloat* in, CGFloat* out) {
        out[0] = in[0], out[1] = 0, out[2] = 1 - in[0], out[3] = 1;
    };
    CGFloat domain[] = {0, 1};
    auto function = CGFunctionCreate(nullptr, 1, domain, 4, nullptr, &callbacks);
    ASSERT_TRUE(function);
    struct Case {
        Ref<CGShading> shading;
        size_t x, y;
        CGFloat red;
    } cases[] = {
        {CGShadingCreateAxial(CGColorSpace::genericRGB(), {0, 0}, {100, 0}, function, true, true), 25, 5, 0.25},
        {CGShadingCreateAxial(CGColorSpace::genericRGB(), {0, 0}, {100, 0}, function, true, true), 75, 5, 0.75},
        {CGShadingCreateRadial(CGColorSpace::genericRGB(), {50, 50}, 0, {50, 50}, 50, function, true, true), 50, 30,
         0.4},
    };
    for (const Case& c : cases) {
        auto ctx = canvas(100, 100);
        CGContextDrawShading(ctx.get(), c.shading);
        Pixel p = at(ctx->image(), c.x, c.y);
        EXPECT_NEAR(p.r, c.red, 0.02);
        EXPECT_NEAR(p.b, 1 - c.red, 0.02);
        EXPECT_EQ(p.a, 1);
    }
    // Without extension nothing is drawn beyond the ends.
    auto ctx = canvas(100, 10);
    CGContextDrawShading(ctx.get(), CGShadingCreateAxial(nullptr, {20, 0}, {80, 0}, function, false, false));
    EXPECT_EQ(alphaAt(ctx->image(), 10, 5), 0);
    EXPECT_EQ(alphaAt(ctx->image(), 50, 5), 255);
}

TEST(Images, PNGRoundTripKeepsPixels)
{
    auto ctx = canvas(4, 3);
    ctx->setFillColor({1, 0, 0, 1});
    ctx->fillRect(CGRectMake(0, 0, 2, 1));
    ctx->setFillColor({0, 0.5, 1, 0.5});
    ctx->fillRect(CGRectMake(2, 1, 2, 2));
    ctx->flush();
    auto png = ctx->image()->PNGRepresentation();
    ASSERT_TRUE(png);
    auto back = CGImage::createWithPNGData(png);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->width(), 4u);
    ASSERT_EQ(back->height(), 3u);
    for (size_t y = 0; y < 3; ++y)
        for (size_t x = 0; x < 4; ++x) {
            Pixel a = at(ctx->image(), x, y), b = at(back, x, y);
            EXPECT_NEAR(a.r, b.r, 1.5 / 255);
            EXPECT_NEAR(a.g, b.g, 1.5 / 255);
            EXPECT_NEAR(a.b, b.b, 1.5 / 255);
            EXPECT_EQ(a.a, b.a);
        }
    EXPECT_FALSE(CGImage::createWithPNGData(NSData::dataWithBytes("not a png", 9)));
}

TEST(Images, BitmapContextsAreYUpAndDrawIntoTheCallersMemory)
{
    std::vector<uint32_t> pixels(4 * 2, 0);
    auto ctx = CGBitmapContextCreate(pixels.data(), 4, 2, 8, 16, CGColorSpaceCreateDeviceRGB(), 8194);
    ASSERT_TRUE(ctx);
    CGContextSetRGBFillColor(ctx.get(), 1, 0, 0, 1);
    CGContextFillRect(ctx.get(), CGRectMake(0, 0, 1, 1));
    ctx->flush();
    EXPECT_EQ(pixels[4], 0xffff0000u);  // bottom-left pixel, second row in memory
    EXPECT_EQ(pixels[0], 0u);
    auto copy = CGBitmapContextCreateImage(ctx);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->pixel(0, 1), 0xffff0000u);
    EXPECT_FALSE(CGBitmapContextCreate(nullptr, 4, 2, 8, 0, CGColorSpaceCreateDeviceRGB(), 1));
    EXPECT_TRUE(CGBitmapContextCreate(nullptr, 4, 2, 8, 0, CGColorSpaceCreateDeviceRGB(), 0x2002));
}

TEST(Recording, LogsOperationsWithTheirState)
{
    auto rec = CGRecordingContext::create({100, 100});
    rec->translateCTM(10, 20);
    rec->saveGState();
    rec->setFillColor({1, 0, 0, 1});
    rec->setShadow({0, -1}, 2, {0, 0, 0, 0.5});
    rec->fillRect(CGRectMake(0, 0, 5, 5));
    rec->restoreGState();
    rec->clipToRect(CGRectMake(1, 1, 2, 2));
    ASSERT_EQ(rec->operations().size(), 2u);
    const auto& fill = rec->operations()[0];
    EXPECT_EQ(fill.kind, CGRecordedOperation::Kind::Fill);
    EXPECT_EQ(fill.ctm, CGAffineTransformMakeTranslation(10, 20));
    EXPECT_EQ(fill.paint.color, (CGRGBA{1, 0, 0, 1}));
    EXPECT_TRUE(fill.shadow.enabled);
    EXPECT_EQ(fill.path.bounds(), CGRectMake(0, 0, 5, 5));
    EXPECT_EQ(rec->operations()[1].kind, CGRecordedOperation::Kind::Clip);
    EXPECT_FALSE(rec->operations()[1].shadow.enabled);  // restored
}
