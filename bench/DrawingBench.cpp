// Drawing through the layer against Cairo called directly on the same
// geometry, tolerance, antialiasing and line width. Run with
//   bench_DrawingBench --benchmark_repetitions=10
//     --benchmark_enable_random_interleaving=true
//     --benchmark_report_aggregates_only=true
// and compare the medians.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSGraphicsContext.h"
#include "CoreGraphics/CGCairoContext.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;
constexpr int kRosetteCurves = 10000;
constexpr int kRoundedRects = 10000;

// A closed rosette: a radius that swings seven times around the centre,
// each step one cubic whose control points lie on the curve at its thirds.
struct Curve {
    NSPoint c1, c2, end;
};
NSPoint rosettePoint(double t)
{
    double r = 400 + 120 * std::sin(7 * t) + 15 * std::sin(53 * t);
    return {kWidth / 2.0 + r * std::cos(t), kHeight / 2.0 + r * std::sin(t)};
}
const std::vector<Curve>& rosette()
{
    static const std::vector<Curve> curves = [] {
        std::vector<Curve> c;
        double step = 2 * std::numbers::pi / kRosetteCurves;
        for (int i = 0; i < kRosetteCurves; ++i) {
            double t = i * step;
            c.push_back({rosettePoint(t + step / 3), rosettePoint(t + 2 * step / 3), rosettePoint(t + step)});
        }
        return c;
    }();
    return curves;
}

struct RoundedRect {
    double x, y, w, h, radius, r, g, b;
};
const std::vector<RoundedRect>& roundedRects()
{
    static const std::vector<RoundedRect> rects = [] {
        std::vector<RoundedRect> v;
        for (int i = 0; i < kRoundedRects; ++i) {
            double x = (i * 37) % (kWidth - 40), y = (i * 53) % (kHeight - 30);
            v.push_back({x, y, 24.0 + i % 13, 14.0 + i % 7, 4, (i % 255) / 255.0, ((i * 7) % 255) / 255.0,
                         ((i * 13) % 255) / 255.0});
        }
        return v;
    }();
    return rects;
}

// Cairo's own rounded rectangle, built from the same quarter-circle curves
// as the layer's.
void cairoRoundedRect(cairo_t* cr, const RoundedRect& q)
{
    constexpr double k = 0.55228474983079339840;
    double x0 = q.x, y0 = q.y, x1 = q.x + q.w, y1 = q.y + q.h, r = q.radius, c = r * (1 - k);
    cairo_move_to(cr, x0 + r, y0);
    cairo_line_to(cr, x1 - r, y0);
    cairo_curve_to(cr, x1 - c, y0, x1, y0 + c, x1, y0 + r);
    cairo_line_to(cr, x1, y1 - r);
    cairo_curve_to(cr, x1, y1 - c, x1 - c, y1, x1 - r, y1);
    cairo_line_to(cr, x0 + r, y1);
    cairo_curve_to(cr, x0 + c, y1, x0, y1 - c, x0, y1 - r);
    cairo_line_to(cr, x0, y0 + r);
    cairo_curve_to(cr, x0, y0 + c, x0 + c, y0, x0 + r, y0);
    cairo_close_path(cr);
}

struct LayerCanvas {
    Ref<CGCairoContext> port = CGCairoContext::createForImage(CGImage::create(kWidth, kHeight));
    LayerCanvas()
    {
        NSGraphicsContext::saveGraphicsState();
        NSGraphicsContext::setCurrentContext(NSGraphicsContext::graphicsContextWithGraphicsPort(port, true));
    }
    ~LayerCanvas() { NSGraphicsContext::restoreGraphicsState(); }
};

void LayerRosette(benchmark::State& state)
{
    LayerCanvas canvas;
    auto path = NSBezierPath::bezierPath();
    path->moveToPoint(rosettePoint(0));
    for (const Curve& c : rosette()) path->curveToPoint(c.end, c.c1, c.c2);
    path->closePath();
    path->setLineWidth(1);
    auto fill = NSColor::colorWithCalibratedRed(0.2, 0.4, 0.8, 1), stroke = NSColor::blackColor();
    for (auto _ : state) {
        fill->setFill();
        path->fill();
        stroke->setStroke();
        path->stroke();
        canvas.port->flush();
    }
}

void CairoRosette(benchmark::State& state)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
    cairo_t* cr = cairo_create(surface);
    for (auto _ : state) {
        cairo_new_path(cr);
        NSPoint start = rosettePoint(0);
        cairo_move_to(cr, start.x, start.y);
        for (const Curve& c : rosette()) cairo_curve_to(cr, c.c1.x, c.c1.y, c.c2.x, c.c2.y, c.end.x, c.end.y);
        cairo_close_path(cr);
        cairo_set_source_rgba(cr, 0.2, 0.4, 0.8, 1);
        cairo_fill_preserve(cr);
        cairo_set_source_rgba(cr, 0, 0, 0, 1);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        cairo_surface_flush(surface);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

void LayerRoundedRects(benchmark::State& state)
{
    LayerCanvas canvas;
    for (auto _ : state) {
        for (const RoundedRect& q : roundedRects()) {
            NSGraphicsContext::saveGraphicsState();
            auto path = NSBezierPath::bezierPathWithRoundedRect(NSMakeRect(q.x, q.y, q.w, q.h), q.radius, q.radius);
            NSColor::colorWithCalibratedRed(q.r, q.g, q.b, 1)->set();
            path->fill();
            NSColor::blackColor()->setStroke();
            path->stroke();
            NSGraphicsContext::restoreGraphicsState();
        }
        canvas.port->flush();
    }
}

void CairoRoundedRects(benchmark::State& state)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
    cairo_t* cr = cairo_create(surface);
    cairo_set_line_width(cr, 1);
    for (auto _ : state) {
        for (const RoundedRect& q : roundedRects()) {
            cairo_save(cr);
            cairo_new_path(cr);
            cairoRoundedRect(cr, q);
            cairo_set_source_rgba(cr, q.r, q.g, q.b, 1);
            cairo_fill_preserve(cr);
            cairo_set_source_rgba(cr, 0, 0, 0, 1);
            cairo_stroke(cr);
            cairo_restore(cr);
        }
        cairo_surface_flush(surface);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

}

BENCHMARK(LayerRosette)->Unit(benchmark::kMillisecond);
BENCHMARK(CairoRosette)->Unit(benchmark::kMillisecond);
BENCHMARK(LayerRoundedRects)->Unit(benchmark::kMillisecond);
BENCHMARK(CairoRoundedRects)->Unit(benchmark::kMillisecond);
