// One frame of a window flip: two 800 x 600 photographs on single-sided
// layers in a 1000 x 800 flip surface, turned 45 degrees (the target's facing
// away), against pixman's projective composite of the same photograph called
// directly with the same transform. The shadowed frame is reported beside.
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <pixman.h>

#include <cmath>

#include "QuartzCore/CALayer.h"
#include "QuartzCore/CARenderer.h"

namespace {

constexpr int kWidth = 800, kHeight = 600, kMargin = 100;

Ref<CGImage> photograph(uint32_t tint)
{
    auto image = CGImage::create(kWidth, kHeight);
    auto* data = reinterpret_cast<uint32_t*>(image->data());
    const int stride = cairo_image_surface_get_stride(image->surface()) / 4;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) data[y * stride + x] = ((x / 20 + y / 20) % 2) ? tint : 0xffffffff;
    image->markDirty();
    return image;
}

CATransform3D perspective()
{
    CATransform3D p;
    p.m34 = -1.0 / 850;
    return p;
}

CATransform3D surfaceBase()
{
    CATransform3D t = CATransform3DMakeScale(1, -1, 1);
    t.m42 = kHeight + 2 * kMargin;
    return t;
}

struct Flip {
    Ref<CALayer> root = CALayer::layer();
    Ref<CGImage> surface = CGImage::create(kWidth + 2 * kMargin, kHeight + 2 * kMargin);

    explicit Flip(bool shadowed)
    {
        root->setFrame(CGRectMake(0, 0, kWidth + 2 * kMargin, kHeight + 2 * kMargin));
        const double angles[2] = {M_PI / 4, M_PI + M_PI / 4};
        const uint32_t tints[2] = {0xffcc3333, 0xff3333cc};
        for (int i = 0; i < 2; ++i) {
            auto layer = CALayer::layer();
            layer->setFrame(root->bounds());
            layer->setContents(photograph(tints[i]));
            layer->setContentsGravity(kCAGravityCenter);
            layer->setDoubleSided(false);
            layer->setTransform(CATransform3DConcat(CATransform3DMakeRotation(angles[i], 0, 1, 0), perspective()));
            if (shadowed) {
                layer->setShadowColor(CGColor::createGenericRGB(0, 0, 0, 1));
                layer->setShadowRadius(14);
                layer->setShadowOffset(CGSizeMake(0, -22.5));
                layer->setShadowOpacity(0.4f);
            }
            root->addSublayer(layer);
        }
    }
    void frame()
    {
        CARenderer::render(root, surface, surfaceBase(), 0,
                           CGRectMake(0, 0, kWidth + 2 * kMargin, kHeight + 2 * kMargin));
    }
};

void BM_FlipFrame(benchmark::State& state)
{
    Flip flip(false);
    for (auto _ : state) flip.frame();
}
BENCHMARK(BM_FlipFrame)->Unit(benchmark::kMillisecond);

void BM_FlipFrameWithShadows(benchmark::State& state)
{
    Flip flip(true);
    for (auto _ : state) flip.frame();
}
BENCHMARK(BM_FlipFrameWithShadows)->Unit(benchmark::kMillisecond);

// The baseline: the visible photograph composited by pixman with the device-
// to-picture transform of the same turn, over the quad's bounds.
void BM_PixmanProjectiveComposite(benchmark::State& state)
{
    Flip flip(false);
    auto layer = flip.root->sublayers()[0];
    const CATransform3D m = CATransform3DConcat(
        layer->transformToSuperlayer(layer->transform()),
        CATransform3DConcat(flip.root->transformToSuperlayer(CATransform3DIdentity), surfaceBase()));
    // Picture pixel (u, v) -> layer point (margin + u, margin + height - v).
    const double a[3][3] = {{1, 0, 0}, {0, -1, 0}, {double(kMargin), double(kMargin + kHeight), 1}};
    const double n[3][3] = {{m.m11, m.m12, m.m14}, {m.m21, m.m22, m.m24}, {m.m41, m.m42, m.m44}};
    double h[3][3] = {};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) h[i][j] += a[i][k] * n[k][j];
    pixman_f_transform_t forward, inverse;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) forward.m[i][j] = h[j][i];
    pixman_f_transform_invert(&inverse, &forward);
    pixman_transform_t t;
    pixman_transform_from_pixman_f_transform(&t, &inverse);
    auto picture = layer->contents();
    pixman_image_t* source =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, reinterpret_cast<uint32_t*>(picture->data()),
                                 cairo_image_surface_get_stride(picture->surface()));
    pixman_image_set_transform(source, &t);
    pixman_image_set_filter(source, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    auto surface = flip.surface;
    pixman_image_t* target = pixman_image_create_bits(PIXMAN_a8r8g8b8, int(surface->width()), int(surface->height()),
                                                      reinterpret_cast<uint32_t*>(surface->data()),
                                                      cairo_image_surface_get_stride(surface->surface()));
    CAProjectedPoint quad[4];
    CARenderer::projectedContentQuad(layer, m, quad);
    double x0 = quad[0].x, x1 = quad[0].x, y0 = quad[0].y, y1 = quad[0].y;
    for (const auto& q : quad) {
        x0 = std::min(x0, q.x);
        x1 = std::max(x1, q.x);
        y0 = std::min(y0, q.y);
        y1 = std::max(y1, q.y);
    }
    const int bx = int(std::floor(x0)), by = int(std::floor(y0));
    const int bw = int(std::ceil(x1)) - bx, bh = int(std::ceil(y1)) - by;
    for (auto _ : state)
        pixman_image_composite32(PIXMAN_OP_OVER, source, nullptr, target, bx, by, 0, 0, bx, by, bw, bh);
    pixman_image_unref(source);
    pixman_image_unref(target);
}
BENCHMARK(BM_PixmanProjectiveComposite)->Unit(benchmark::kMillisecond);

}
