// Multi-stop gradient fills through the layer against a Cairo linear pattern
// with the same four stops on the same axis. Run with
//   bench_GradientFill --benchmark_repetitions=10
//     --benchmark_enable_random_interleaving=true
//     --benchmark_report_aggregates_only=true
// and compare the medians.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cmath>

#include "AppKit/NSGraphicsContext.h"
#include "AppKitExtensions/ZAKMultiGradient.h"
#include "CoreGraphics/CGCairoContext.h"

namespace {

constexpr int kWidth = 1000, kHeight = 600;
constexpr double kAngle = 30;

// The gradient's axis for the whole image at kAngle: through the centre,
// just long enough to reach the farthest corners.
void axis(double& x0, double& y0, double& x1, double& y1)
{
    double a = kAngle * 3.1415926535 / 180, k = std::fabs(std::tan(a));
    double length = std::fabs(std::sin(a)) * (kHeight - k * kWidth) + kWidth / std::fabs(std::cos(a));
    double dx = std::cos(a) * length / 2, dy = std::sin(a) * length / 2;
    x0 = kWidth / 2.0 - dx, y0 = kHeight / 2.0 - dy, x1 = kWidth / 2.0 + dx, y1 = kHeight / 2.0 + dy;
}

class LayerCanvas {
public:
    LayerCanvas()
    {
        NSGraphicsContext::saveGraphicsState();
        NSGraphicsContext::setCurrentContext(NSGraphicsContext::graphicsContextWithGraphicsPort(port, false));
    }
    ~LayerCanvas() { NSGraphicsContext::restoreGraphicsState(); }
    Ref<CGCairoContext> port = CGCairoContext::createForImage(CGImage::create(kWidth, kHeight));
};

void fillWith(benchmark::State& state, const Ref<ZAKMultiGradient>& gradient)
{
    LayerCanvas canvas;
    for (auto _ : state) {
        gradient->fillRect(NSMakeRect(0, 0, kWidth, kHeight), kAngle);
        canvas.port->flush();
    }
}

void LayerAquaNormal(benchmark::State& state) { fillWith(state, ZAKMultiGradient::aquaNormalGradient()); }
void LayerRainbow(benchmark::State& state) { fillWith(state, ZAKMultiGradient::rainbowGradient()); }

void CairoFourStops(benchmark::State& state)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
    cairo_t* cr = cairo_create(surface);
    double x0, y0, x1, y1;
    axis(x0, y0, x1, y1);
    for (auto _ : state) {
        cairo_save(cr);
        cairo_rectangle(cr, 0, 0, kWidth, kHeight);
        cairo_clip(cr);
        cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
        cairo_pattern_add_color_stop_rgba(p, 0, 0.95, 0.95, 0.95, 1);
        cairo_pattern_add_color_stop_rgba(p, 0.5, 0.83, 0.83, 0.83, 1);
        cairo_pattern_add_color_stop_rgba(p, 0.5, 0.95, 0.95, 0.95, 1);
        cairo_pattern_add_color_stop_rgba(p, 1, 0.92, 0.92, 0.92, 1);
        cairo_set_source(cr, p);
        cairo_paint(cr);
        cairo_pattern_destroy(p);
        cairo_restore(cr);
        cairo_surface_flush(surface);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

}

BENCHMARK(LayerAquaNormal)->Unit(benchmark::kMillisecond);
BENCHMARK(LayerRainbow)->Unit(benchmark::kMillisecond);
BENCHMARK(CairoFourStops)->Unit(benchmark::kMillisecond);
