#include "QuartzCore/CARenderer.h"

#include <cairo.h>
#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "CoreGraphics/CGShadowBlur.h"

namespace {

// The rectangle the contents fill in layer coordinates.
CGRect contentRect(const CALayer& layer)
{
    const CGRect b = layer.bounds();
    auto image = layer.contents();
    if (!image) return b;
    if (layer.contentsGravity() && layer.contentsGravity()->isEqualToString(kCAGravityCenter)) {
        const CGFloat w = CGFloat(image->width()), h = CGFloat(image->height());
        return CGRectMake(b.origin.x + (b.size.width - w) / 2, b.origin.y + (b.size.height - h) / 2, w, h);
    }
    return b;
}

double signedArea(const CAProjectedPoint q[4])
{
    double a = 0;
    for (int i = 0; i < 4; ++i) {
        const auto& p = q[i];
        const auto& n = q[(i + 1) % 4];
        a += p.x * n.y - n.x * p.y;
    }
    return a / 2;
}

struct PixelBox {
    int x0, y0, x1, y1;
    bool empty() const { return x1 <= x0 || y1 <= y0; }
};

PixelBox boxOf(const CAProjectedPoint q[4], double grow, const CGRect& clip)
{
    double minX = q[0].x, maxX = q[0].x, minY = q[0].y, maxY = q[0].y;
    for (int i = 1; i < 4; ++i) {
        minX = std::min(minX, q[i].x);
        maxX = std::max(maxX, q[i].x);
        minY = std::min(minY, q[i].y);
        maxY = std::max(maxY, q[i].y);
    }
    const double cx0 = clip.origin.x, cy0 = clip.origin.y;
    const double cx1 = cx0 + clip.size.width, cy1 = cy0 + clip.size.height;
    return {int(std::floor(std::max(minX - grow, cx0))), int(std::floor(std::max(minY - grow, cy0))),
            int(std::ceil(std::min(maxX + grow, cx1))), int(std::ceil(std::min(maxY + grow, cy1)))};
}

pixman_image_t* wrap(const Ref<CGImage>& image)
{
    cairo_surface_t* s = image->surface();
    return pixman_image_create_bits(PIXMAN_a8r8g8b8, int(image->width()), int(image->height()),
                                    reinterpret_cast<uint32_t*>(image->data()), cairo_image_surface_get_stride(s));
}

// Image pixels (u, v; row 0 at the top) to device pixels, as a 3 x 3 matrix
// for row vectors [u v 1].
void sourceToDevice(const CALayer& layer, const CATransform3D& m, double h[3][3])
{
    const CGRect c = contentRect(layer);
    auto image = layer.contents();
    const double sx = c.size.width / double(image->width()), sy = c.size.height / double(image->height());
    // [u v 1] -> layer point [x y 1]: x = c.x + u sx, y = c.maxY - v sy.
    const double a[3][3] = {{sx, 0, 0}, {0, -sy, 0}, {c.origin.x, c.origin.y + c.size.height, 1}};
    const double n[3][3] = {{m.m11, m.m12, m.m14}, {m.m21, m.m22, m.m24}, {m.m41, m.m42, m.m44}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            h[i][j] = 0;
            for (int k = 0; k < 3; ++k) h[i][j] += a[i][k] * n[k][j];
        }
}

bool invert3(const double m[3][3], double r[3][3])
{
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                       m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                       m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    if (std::fabs(det) < 1e-15) return false;
    r[0][0] = (m[1][1] * m[2][2] - m[1][2] * m[2][1]) / det;
    r[0][1] = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) / det;
    r[0][2] = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) / det;
    r[1][0] = (m[1][2] * m[2][0] - m[1][0] * m[2][2]) / det;
    r[1][1] = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) / det;
    r[1][2] = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) / det;
    r[2][0] = (m[1][0] * m[2][1] - m[1][1] * m[2][0]) / det;
    r[2][1] = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) / det;
    r[2][2] = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) / det;
    return true;
}

// Sets the device-to-source transform on the source image; false when the
// mapping is degenerate (a layer seen edge-on).
bool setWarp(pixman_image_t* source, const CALayer& layer, const CATransform3D& m)
{
    double h[3][3], inv[3][3];
    sourceToDevice(layer, m, h);
    if (!invert3(h, inv)) return false;
    // Row vectors [X Y 1] inv = [u v w]; pixman takes column vectors, so the
    // transpose. Scaled so the largest element fits 16.16 fixed point well.
    double largest = 0;
    for (auto& row : inv)
        for (double v : row) largest = std::max(largest, std::fabs(v));
    if (largest == 0) return false;
    const double scale = largest > 1000 ? 1000 / largest : 1;
    pixman_transform_t t;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) t.matrix[i][j] = pixman_double_to_fixed(inv[j][i] * scale);
    pixman_image_set_transform(source, &t);
    pixman_image_set_filter(source, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    pixman_image_set_repeat(source, PIXMAN_REPEAT_NONE);
    return true;
}

void drawShadow(const CALayer& layer, pixman_image_t* source, pixman_image_t* target, const CATransform3D& m,
                const CAProjectedPoint quad[4], const CGRect& clip, const CATransform3D& base)
{
    const double radius = std::max<double>(0, layer.shadowRadius());
    // The offset is in the superlayer's units, y up; on the device it goes
    // through the base's linear part.
    const CGSize o = layer.shadowOffset();
    const double dx = o.width * base.m11 + o.height * base.m21, dy = o.width * base.m12 + o.height * base.m22;
    const int margin = int(std::ceil(radius * 2)) + 1;
    const CGRect everything = CGRectMake(-1e9, -1e9, 2e9, 2e9);
    const PixelBox box = boxOf(quad, margin, everything);
    if (box.empty()) return;
    const int w = box.x1 - box.x0, h = box.y1 - box.y0;
    pixman_image_t* coverage = pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, nullptr, 0);
    if (!coverage) return;
    pixman_image_composite32(PIXMAN_OP_SRC, source, nullptr, coverage, box.x0, box.y0, 0, 0, 0, 0, w, h);
    CGRGBA rgba;  // black unless set
    if (auto c = layer.shadowColor()) rgba = c->rgba();
    CGTintedBlur(reinterpret_cast<uint8_t*>(pixman_image_get_data(coverage)), w, h, pixman_image_get_stride(coverage),
                 radius / 2, rgba.r, rgba.g, rgba.b, rgba.a * layer.shadowOpacity());
    const int ox = box.x0 + int(std::lround(dx)), oy = box.y0 + int(std::lround(dy));
    const PixelBox target_box{std::max(ox, int(clip.origin.x)), std::max(oy, int(clip.origin.y)),
                              std::min(ox + w, int(clip.origin.x + clip.size.width)),
                              std::min(oy + h, int(clip.origin.y + clip.size.height))};
    if (!target_box.empty())
        pixman_image_composite32(PIXMAN_OP_OVER, coverage, nullptr, target, target_box.x0 - ox, target_box.y0 - oy, 0,
                                 0, target_box.x0, target_box.y0, target_box.x1 - target_box.x0,
                                 target_box.y1 - target_box.y0);
    pixman_image_unref(coverage);
    (void)m;
}

void renderLayer(const Ref<CALayer>& layer, pixman_image_t* target, const CATransform3D& parentToDevice,
                 NSTimeInterval now, const CGRect& clip, const CATransform3D& base)
{
    if (layer->isHidden()) return;
    const CATransform3D m =
        CATransform3DConcat(layer->transformToSuperlayer(layer->presentationTransform(now)), parentToDevice);
    const CATransform3D front =
        CATransform3DConcat(layer->transformToSuperlayer(CATransform3DIdentity), parentToDevice);
    CAProjectedPoint quad[4];
    auto image = layer->contents();
    if (image && image->width() > 0 && image->height() > 0 && CARenderer::projectedContentQuad(layer, m, quad) &&
        (layer->isDoubleSided() || !CARenderer::facesAway(layer, m, front))) {
        pixman_image_t* source = wrap(image);
        if (source && setWarp(source, *layer, m)) {
            if (layer->shadowOpacity() > 0) drawShadow(*layer, source, target, m, quad, clip, base);
            const PixelBox box = boxOf(quad, 1, clip);
            if (!box.empty())
                pixman_image_composite32(PIXMAN_OP_OVER, source, nullptr, target, box.x0, box.y0, 0, 0, box.x0, box.y0,
                                         box.x1 - box.x0, box.y1 - box.y0);
        }
        if (source) pixman_image_unref(source);
    }
    for (const auto& sub : std::vector<Ref<CALayer>>(layer->sublayers())) renderLayer(sub, target, m, now, clip, base);
}

}

namespace CARenderer {

bool projectedContentQuad(const Ref<CALayer>& layer, const CATransform3D& m, CAProjectedPoint quad[4])
{
    const CGRect c = contentRect(*layer);
    const double xs[4] = {c.origin.x, c.origin.x + c.size.width, c.origin.x + c.size.width, c.origin.x};
    const double ys[4] = {c.origin.y, c.origin.y, c.origin.y + c.size.height, c.origin.y + c.size.height};
    for (int i = 0; i < 4; ++i) {
        quad[i] = CATransform3DProjectPoint(m, xs[i], ys[i]);
        if (quad[i].w <= 0) return false;
    }
    return true;
}

bool facesAway(const Ref<CALayer>& layer, const CATransform3D& m, const CATransform3D& front)
{
    CAProjectedPoint shown[4], facing[4];
    if (!projectedContentQuad(layer, m, shown) || !projectedContentQuad(layer, front, facing)) return false;
    const double a = signedArea(shown), b = signedArea(facing);
    return a * b < 0 || a == 0;
}

void render(const Ref<CALayer>& root, const Ref<CGImage>& target, const CATransform3D& base, NSTimeInterval now,
            const CGRect& clip)
{
    if (!root || !target) return;
    const CGRect bounds = CGRectMake(0, 0, CGFloat(target->width()), CGFloat(target->height()));
    const CGRect area = CGRectIntersection(bounds, clip);
    if (CGRectIsEmpty(area)) return;
    pixman_image_t* destination = wrap(target);
    if (!destination) return;
    renderLayer(root, destination, base, now, area, base);
    pixman_image_unref(destination);
    target->markDirty();
}

}
