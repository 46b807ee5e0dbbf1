// Themed cells painting into a 1920 x 1080 window surface. The textured
// rounded painter in "ZAKLightGrayTheme" (1,000 image-only cells of 80 x 24)
// against Cairo called directly with the same rounded rectangles, gradient
// stops, colours and line widths; and themed push buttons with titles
// against plain platform button cells. Run with
//   bench_ThemedCells --benchmark_repetitions=10
//     --benchmark_enable_random_interleaving=true
//     --benchmark_report_aggregates_only=true
// and compare the medians of each pair.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cmath>
#include <vector>

#include "AppKit/NSColorSpace.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKitExtensions/NSGradient+ZAKNSGradientExtensions.h"
#include "CoreGraphics/CGCairoContext.h"
#include "ZAKAppKit/ZAKTButton/ZAKTButtonCell.h"
#include "ZAKAppKit/ZAKThemes/ZAKThemeManager.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080, kCells = 1000;
constexpr double kCellWidth = 80, kCellHeight = 24;

NSRect cellFrame(int i)
{
    const int columns = int(kWidth / kCellWidth);
    return NSMakeRect((i % columns) * kCellWidth, (i / columns) * kCellHeight, kCellWidth, kCellHeight);
}

// The window surface: y down, like a flipped view at the window's origin.
class Surface {
public:
    Surface()
    {
        NSGraphicsContext::saveGraphicsState();
        NSGraphicsContext::setCurrentContext(NSGraphicsContext::graphicsContextWithGraphicsPort(port, true));
    }
    ~Surface() { NSGraphicsContext::restoreGraphicsState(); }
    Ref<CGCairoContext> port = CGCairoContext::createForImage(CGImage::create(kWidth, kHeight));
};

std::vector<Ref<ZAKTButtonCell>> imageOnlyCells()
{
    std::vector<Ref<ZAKTButtonCell>> cells;
    for (int i = 0; i < kCells; ++i) {
        auto cell = NSObject::make<ZAKTButtonCell>();
        cell->setThemeKey("ZAKLightGrayTheme"_ns);
        cell->setImagePosition(NSImageOnly);
        cells.push_back(cell);
    }
    return cells;
}

void ThemedTexturedRounded(benchmark::State& state)
{
    Surface surface;
    auto cells = imageOnlyCells();
    for (auto _ : state) {
        for (int i = 0; i < kCells; ++i) cells[size_t(i)]->drawTexturedRoundedButtonInFrame(cellFrame(i));
        surface.port->flush();
    }
}

struct RGBA {
    double r, g, b, a;
};

RGBA rgba(const Ref<NSColor>& colour)
{
    CGFloat r, g, b, a;
    colour->colorUsingColorSpace(NSColorSpace::deviceRGBColorSpace())->getRed(&r, &g, &b, &a);
    return {r, g, b, a};
}

// The path of NSBezierPath's rounded rectangle: quarter circles at the
// corners.
void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r)
{
    cairo_new_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void CairoTexturedRounded(benchmark::State& state)
{
    auto theme = ZAKThemeManager::sharedThemeManager()->themeForKey("ZAKLightGrayTheme"_ns);
    const RGBA dark = rgba(theme->darkStrokeColorForStateMask(0));
    const RGBA edge = rgba(theme->strokeColorForStateMask(0));
    auto gradient = theme->gradientForStateMask(0);
    std::vector<std::pair<double, RGBA>> stops;
    for (NSInteger i = 0; i < gradient->numberOfColorStops(); ++i) {
        Ref<NSColor> colour;
        CGFloat location;
        gradient->getColor(&colour, &location, i);
        stops.push_back({location, rgba(colour)});
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
    cairo_t* cr = cairo_create(surface);
    cairo_set_line_width(cr, 1);
    for (auto _ : state) {
        for (int i = 0; i < kCells; ++i) {
            const NSRect f = cellFrame(i);
            const double x = f.origin.x + 1.5, y = f.origin.y + 1.5, w = f.size.width - 3, h = f.size.height - 4;
            roundedRect(cr, x, y, w, h, 4);
            cairo_set_source_rgba(cr, dark.r, dark.g, dark.b, dark.a);
            cairo_stroke_preserve(cr);
            cairo_save(cr);
            cairo_clip(cr);
            // Angle 90 in a flipped space: from the bottom edge up.
            cairo_pattern_t* p = cairo_pattern_create_linear(0, y + h, 0, y);
            for (const auto& [location, c] : stops) cairo_pattern_add_color_stop_rgba(p, location, c.r, c.g, c.b, c.a);
            cairo_set_source(cr, p);
            cairo_paint(cr);
            cairo_pattern_destroy(p);
            cairo_restore(cr);
            roundedRect(cr, x, y, w, h, 4);
            cairo_set_source_rgba(cr, edge.r, edge.g, edge.b, edge.a);
            cairo_stroke(cr);
        }
        cairo_surface_flush(surface);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

template <class Cell> void pushButtons(benchmark::State& state, const char* themeKey)
{
    Surface surface;
    std::vector<Ref<Cell>> cells;
    for (int i = 0; i < kCells; ++i) {
        auto cell = NSObject::make<Cell>();
        cell->setTitle("Button"_ns);
        if constexpr (std::is_same_v<Cell, ZAKTButtonCell>) cell->setThemeKey(NSString::stringWithUTF8String(themeKey));
        cells.push_back(cell);
    }
    for (auto _ : state) {
        for (int i = 0; i < kCells; ++i) cells[size_t(i)]->drawWithFrame(cellFrame(i), nullptr);
        surface.port->flush();
    }
}

void ThemedPushButtonsWithTitles(benchmark::State& state) { pushButtons<ZAKTButtonCell>(state, "ZAKLightGrayTheme"); }
void PlainPushButtonsWithTitles(benchmark::State& state) { pushButtons<NSButtonCell>(state, nullptr); }

}

BENCHMARK(ThemedTexturedRounded)->Unit(benchmark::kMillisecond);
BENCHMARK(CairoTexturedRounded)->Unit(benchmark::kMillisecond);
BENCHMARK(ThemedPushButtonsWithTitles)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainPushButtonsWithTitles)->Unit(benchmark::kMillisecond);
