// Text laid along a long gentle curve: placing 10,000 glyphs against the
// layout manager laying the same text out straight, and drawing them against
// Cairo called directly with the same per-glyph transforms. Run with
//   bench_TextOnPath --benchmark_repetitions=10
//     --benchmark_enable_random_interleaving=true
//     --benchmark_report_aggregates_only=true
// and compare the medians.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <vector>

#include "AppKit/NSGraphicsContext.h"
#include "AppKitExtensions/NSBezierPath+Text.ZAKAppKitExtensions.h"
#include "AppKitExtensions/NSBezierPath+ZAKNSBezierPathExtension.h"
#include "CoreGraphics/CGCairoContext.h"
#include "TextOnPathSamples.h"

namespace {

constexpr int kGlyphs = 10000, kCurves = 2000;
constexpr int kWidth = 1000, kHeight = 1000;

Ref<NSAttributedString> latinText()
{
    static const Ref<NSAttributedString> text = TextOnPathSamples::latinText(kGlyphs);
    return text;
}

// 2,000 cubics of 40 units each, 80,000 in all, enough for the text.
Ref<NSBezierPath> gentleCurve()
{
    static const Ref<NSBezierPath> path = TextOnPathSamples::gentleCurve(kCurves);
    return path;
}

struct LayerCanvas {
    Ref<CGCairoContext> port = CGCairoContext::createForImage(CGImage::create(kWidth, kHeight));
    LayerCanvas()
    {
        NSGraphicsContext::saveGraphicsState();
        NSGraphicsContext::setCurrentContext(NSGraphicsContext::graphicsContextWithGraphicsPort(port, false));
    }
    ~LayerCanvas() { NSGraphicsContext::restoreGraphicsState(); }
};

void PlaceOnPath(benchmark::State& state)
{
    auto layoutManager = NSBezierPathExt::textOnPathLayoutManager();
    size_t placed = 0;
    for (auto _ : state) {
        auto recorder = NSObject::make<PlacementRecorder>();
        auto storage = NSBezierPathExt::preadjustedTextStorageWithString(gentleCurve(), latinText(), layoutManager);
        NSBezierPathExt::layoutStringOnPath(gentleCurve(), storage, 0, recorder, layoutManager, nullptr);
        placed = recorder->placements.size();
    }
    state.counters["glyphs"] = double(placed);
}

void LayOutStraight(benchmark::State& state)
{
    CGFloat length = NSBezierPathExt::length(gentleCurve());
    auto layoutManager = NSObject::make<NSLayoutManager>();
    auto container = NSTextContainer::initWithContainerSize(NSMakeSize(length, 50000));
    container->setLineFragmentPadding(0);
    layoutManager->addTextContainer(container);
    double sum = 0;
    for (auto _ : state) {
        auto storage = NSTextStorage::initWithAttributedString(latinText());
        storage->addLayoutManager(layoutManager);
        NSUInteger n = layoutManager->numberOfGlyphs();
        for (NSUInteger i = 0; i < n; ++i) sum += layoutManager->locationForGlyphAtIndex(i).x;
        storage->removeLayoutManager(layoutManager);
    }
    benchmark::DoNotOptimize(sum);
}

void DrawOnPath(benchmark::State& state)
{
    LayerCanvas canvas;
    for (auto _ : state) {
        NSBezierPathExt::drawTextOnPath(gentleCurve(), latinText(), 0, nullptr, nullptr);
        canvas.port->flush();
    }
}

void DrawOnPathWarmCache(benchmark::State& state)
{
    LayerCanvas canvas;
    auto cache = NSMutableDictionary::dictionary();
    NSBezierPathExt::drawTextOnPath(gentleCurve(), latinText(), 0, nullptr, cache);
    for (auto _ : state) {
        NSBezierPathExt::drawTextOnPath(gentleCurve(), latinText(), 0, nullptr, cache);
        canvas.port->flush();
    }
}

// The same glyphs and transforms, straight to Cairo: the drawer's origin is
// the glyph's line position, its baseline the fragment's.
void CairoPerGlyph(benchmark::State& state)
{
    auto layoutManager = NSBezierPathExt::textOnPathLayoutManager();
    auto recorder = NSObject::make<PlacementRecorder>();
    auto storage = NSBezierPathExt::preadjustedTextStorageWithString(gentleCurve(), latinText(), layoutManager);
    NSBezierPathExt::layoutStringOnPath(gentleCurve(), storage, 0, recorder, layoutManager, nullptr);
    struct Glyph {
        unsigned long index;
        double x, y, baseline, slope;
    };
    std::vector<Glyph> glyphs;
    for (const auto& p : recorder->placements)
        glyphs.push_back({layoutManager->glyphAtIndex(p.glyph), p.point.x, p.point.y,
                          layoutManager->locationForGlyphAtIndex(p.glyph).y, p.slope});
    auto font = NSFont::fontWithName("Helvetica"_ns, 12);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
    cairo_t* cr = cairo_create(surface);
    cairo_set_font_face(cr, font->cgFont()->cairoFace());
    cairo_set_font_size(cr, 12);
    cairo_set_source_rgb(cr, 0, 0, 0);
    for (auto _ : state) {
        for (const Glyph& g : glyphs) {
            cairo_save(cr);
            cairo_translate(cr, g.x, kHeight - g.y);
            cairo_rotate(cr, -g.slope);
            cairo_glyph_t glyph{g.index, 0, -g.baseline};
            cairo_show_glyphs(cr, &glyph, 1);
            cairo_restore(cr);
        }
        cairo_surface_flush(surface);
    }
    state.counters["glyphs"] = double(glyphs.size());
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

}

BENCHMARK(PlaceOnPath)->Unit(benchmark::kMillisecond);
BENCHMARK(LayOutStraight)->Unit(benchmark::kMillisecond);
BENCHMARK(DrawOnPath)->Unit(benchmark::kMillisecond);
BENCHMARK(DrawOnPathWarmCache)->Unit(benchmark::kMillisecond);
BENCHMARK(CairoPerGlyph)->Unit(benchmark::kMillisecond);
