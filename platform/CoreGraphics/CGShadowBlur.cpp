#include "CoreGraphics/CGShadowBlur.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// One box-blur pass of radius r along a line of n values with step.
void boxPass(float* line, int n, int step, int r, std::vector<float>& scratch)
{
    scratch.resize(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) scratch[static_cast<size_t>(i)] = line[i * step];
    float window = 0;
    for (int i = -r; i <= r; ++i)
        if (i >= 0 && i < n) window += scratch[static_cast<size_t>(i)];
    float scale = 1.0f / static_cast<float>(2 * r + 1);
    for (int i = 0; i < n; ++i) {
        line[i * step] = window * scale;
        int add = i + r + 1, drop = i - r;
        if (add < n) window += scratch[static_cast<size_t>(add)];
        if (drop >= 0) window -= scratch[static_cast<size_t>(drop)];
    }
}

// Box sizes of three passes whose combined variance matches sigma^2.
int boxRadius(CGFloat sigma)
{
    // Variance of a box of width w is (w^2 - 1) / 12; three passes add up.
    CGFloat w = std::sqrt(4 * sigma * sigma + 1);
    return std::max(0, static_cast<int>(std::lround((w - 1) / 2)));
}

}

void CGTintedBlur(uint8_t* data, int width, int height, int stride, CGFloat sigma, CGFloat r, CGFloat g, CGFloat b,
                  CGFloat a)
{
    std::vector<float> alpha(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint32_t p;
            std::memcpy(&p, data + y * stride + x * 4, 4);
            alpha[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
                static_cast<float>(p >> 24) / 255.0f;
        }
    int radius = sigma > 0 ? boxRadius(sigma) : 0;
    if (radius > 0) {
        std::vector<float> scratch;
        for (int pass = 0; pass < 3; ++pass) {
            for (int y = 0; y < height; ++y)
                boxPass(&alpha[static_cast<size_t>(y) * static_cast<size_t>(width)], width, 1, radius, scratch);
            for (int x = 0; x < width; ++x) boxPass(&alpha[static_cast<size_t>(x)], height, width, radius, scratch);
        }
    }
    auto channel = [](CGFloat v) { return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            CGFloat A = alpha[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] * a;
            uint32_t p = channel(A) << 24 | channel(r * A) << 16 | channel(g * A) << 8 | channel(b * A);
            std::memcpy(data + y * stride + x * 4, &p, 4);
        }
}
