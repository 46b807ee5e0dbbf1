// Plumbline's drawing against the same drawing done by direct Cairo calls.
// (a) a pointer location reaching ten corner rulers until their window images
//     are up to date; (b) a full redraw of the guideline window with 1,000
//     lines; (c) one drag step of one line among 1,000, redrawing only the
//     dirty strips. Run with
//   bench_PlumblineBench --benchmark_repetitions=10
//     --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true
// and compare the medians. The windows live on the headless window server;
// composing the screen is not part of (a). The baselines draw the same pixels
// as the program, which (b) checks before it times anything: the guideline
// view is flipped, so its handle images, drawn at a point, come out upside
// down there.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "AppController.h"
#include "AppKit/NSScreen.h"
#include "DoubleRulerController.h"
#include "Foundation/NSBundle.h"
#include "GuidelineController.h"
#include "GuidelineStore.h"
#include "SharedRulerStore.h"
#include "WindowServer/WindowServer.h"
#include "backend/headless/HeadlessWindowServer.h"

namespace {

constexpr int kLines = 1000;
constexpr int kRulers = 10;

// The program's objects, made once on the benchmark's thread.
struct Program {
    Ref<GuidelineController> guidelines;
    std::vector<Ref<DoubleRulerController>> rulers;
    Program()
    {
        setenv("PLUMBLINE_BACKEND", "headless", 1);
        if (!getenv("PLUMBLINE_RESOURCES")) setenv("PLUMBLINE_RESOURCES", PLUMBLINE_SOURCE_DIR "/resources", 1);
        NSApplication::sharedApplication();
        AppController::registerApplicationDefaults();
        auto store = GuidelineStore::getSharedGuidelineStore();
        store->setDefaultData();
        auto set = store->getCurrentSet();
        for (int i = 0; i < kLines; ++i) set->addGuideline(Guidelines::create(i % 2, 20.0f + (i * 37) % 1000));
        guidelines = NSObject::make<GuidelineController>();
        guidelines->showWindow(nullptr);
        guidelines->window()->display();
        for (int i = 0; i < kRulers; ++i) {
            auto ruler = NSObject::make<DoubleRulerController>();
            ruler->showWindow(nullptr);
            auto w = ruler->window();
            w->setFrameOrigin(NSMakePoint(40 + 120 * i, 60 + 60 * i));
            w->display();
            SharedRulerStore::getSharedRulerStore()->addRuler(ruler);
            rulers.push_back(ruler);
        }
        // Saves the screen once set up, to compare the drawing of two builds.
        if (const char* path = getenv("PLUMBLINE_BENCH_SCREEN"))
            if (auto* server = dynamic_cast<HeadlessWindowServer*>(&WindowServer::shared()))
                server->saveScreenImage(path);
    }
};

Program& program()
{
    static Program p;
    return p;
}

// --- Direct Cairo baselines ---

cairo_surface_t* png(const char* name)
{
    static std::vector<std::pair<std::string, cairo_surface_t*>> cache;
    for (auto& [n, s] : cache)
        if (n == name) return s;
    const std::string path = std::string(PLUMBLINE_SOURCE_DIR "/resources/") + name + ".png";
    cache.emplace_back(name, cairo_image_surface_create_from_png(path.c_str()));
    return cache.back().second;
}

void cairoImage(cairo_t* cr, cairo_surface_t* image, double x, double y)
{
    cairo_set_source_surface(cr, image, x, y);
    cairo_paint(cr);
}

// The image with its top row at the bottom, its bounding box's top left at
// (x, y): how an image drawn at a point appears in a flipped view.
void cairoFlippedImage(cairo_t* cr, cairo_surface_t* image, double x, double y)
{
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(image);
    const cairo_matrix_t toImage{1, 0, 0, -1, -x, y + cairo_image_surface_get_height(image)};
    cairo_pattern_set_matrix(pattern, &toImage);
    cairo_set_source(cr, pattern);
    cairo_pattern_destroy(pattern);
    cairo_paint(cr);
}

// One corner ruler's horizontal and vertical arm, drawn as the views do.
void cairoRuler(cairo_t* cr, double mx, double my)
{
    const double W = 401, H = 301, arm = 40;
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_rectangle(cr, 0, 0, W, arm);
    cairo_rectangle(cr, 0, arm, arm, H - arm);
    cairo_fill(cr);
    for (double x = 1; x <= W; x += 100) cairoImage(cr, png("doublehorgrid"), x, arm - 14);
    for (double y = arm; y <= H; y += 100) cairoImage(cr, png("doublevergrid"), 13, y);
    cairo_set_source_rgb(cr, 1, 0, 0);
    cairo_rectangle(cr, mx, arm - 23, 1, 23);
    cairo_rectangle(cr, 13, my, 23, 1);
    cairo_fill(cr);
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 10);
    cairo_set_source_rgb(cr, 0, 0, 0);
    char text[16];
    for (int n = 0; n <= 400; n += 100) {
        std::snprintf(text, sizeof text, "%d", n);
        cairo_move_to(cr, n + 2, arm - 17);
        cairo_show_text(cr, text);
        cairo_move_to(cr, 18, arm + n + 10);
        cairo_show_text(cr, text);
    }
    std::snprintf(text, sizeof text, "%d", static_cast<int>(mx));
    cairo_set_source_rgb(cr, 1, 0, 0);
    cairo_move_to(cr, mx, arm - 28);
    cairo_show_text(cr, text);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, 0.5, 0.5, W - 1, arm - 1);
    cairo_rectangle(cr, 0.5, arm + 0.5, arm - 1, H - arm - 1);
    cairo_stroke(cr);
}

// The guideline window's lines, as the view draws them, within a clip.
void cairoGuidelines(cairo_t* cr, const NSRect& clip)
{
    const double W = 1920, H = 1056;
    cairo_save(cr);
    cairo_rectangle(cr, clip.origin.x, clip.origin.y, clip.size.width, clip.size.height);
    cairo_clip(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    auto set = GuidelineStore::getSharedGuidelineStore()->getCurrentSet();
    for (const Id& o : *set->getLinesArray()) {
        auto line = static_ref_cast<Guidelines>(o);
        const double v = line->value();
        cairo_set_source_rgb(cr, 0, 0, 0);
        if (line->type() != 0) {
            cairo_rectangle(cr, v, 0, 1, H);
            cairo_fill(cr);
            cairoFlippedImage(cr, png("ver_mover"), v - 7, 0);
        } else {
            cairo_rectangle(cr, 0, v, W, 1);
            cairo_fill(cr);
            cairoFlippedImage(cr, png("hor_mover"), 0, v - 7);
        }
    }
    cairo_restore(cr);
}

// --- (a) ---

void PointerToTenRulers_Plumbline(benchmark::State& state)
{
    auto& p = program();
    double x = 100;
    for (auto _ : state) {
        x = x > 900 ? 100 : x + 3;
        SharedRulerStore::getSharedRulerStore()->publishCurrentMouseLocation(NSMakePoint(x, 500));
        for (const auto& ruler : p.rulers) ruler->window()->displayIfNeeded();
    }
}
BENCHMARK(PointerToTenRulers_Plumbline)->Unit(benchmark::kMicrosecond);

void PointerToTenRulers_Cairo(benchmark::State& state)
{
    std::vector<cairo_surface_t*> surfaces;
    for (int i = 0; i < kRulers; ++i) surfaces.push_back(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 401, 301));
    double x = 100;
    for (auto _ : state) {
        x = x > 900 ? 100 : x + 3;
        for (auto* s : surfaces) {
            cairo_t* cr = cairo_create(s);
            cairoRuler(cr, x - 40, 200);
            cairo_destroy(cr);
        }
    }
    for (auto* s : surfaces) cairo_surface_destroy(s);
}
BENCHMARK(PointerToTenRulers_Cairo)->Unit(benchmark::kMicrosecond);

// --- (b) ---

void GuidelinesFullRedraw_Plumbline(benchmark::State& state)
{
    auto view = program().guidelines->getView();
    for (auto _ : state) {
        view->setNeedsDisplay(true);
        view->window()->displayIfNeeded();
    }
}
BENCHMARK(GuidelinesFullRedraw_Plumbline)->Unit(benchmark::kMillisecond);

// The baseline is only a measure if it draws what the program draws: both
// full redraws are compared pixel for pixel before timing.
bool drawsAsTheProgram(cairo_surface_t* baseline)
{
    auto view = program().guidelines->getView();
    view->setNeedsDisplay(true);
    view->window()->displayIfNeeded();
    auto window = WindowServer::shared().surface(view->window()->windowNumber());
    cairo_surface_flush(baseline);
    const int w = cairo_image_surface_get_width(baseline), h = cairo_image_surface_get_height(baseline);
    if (!window || static_cast<int>(window->width()) != w || static_cast<int>(window->height()) != h) return false;
    const unsigned char* data = cairo_image_surface_get_data(baseline);
    const int stride = cairo_image_surface_get_stride(baseline);
    for (int y = 0; y < h; ++y)
        if (std::memcmp(window->data() + y * window->bytesPerRow(), data + y * stride, static_cast<size_t>(w) * 4) != 0)
            return false;
    return true;
}

void GuidelinesFullRedraw_Cairo(benchmark::State& state)
{
    program();
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1920, 1056);
    cairo_t* check = cairo_create(s);
    cairoGuidelines(check, NSMakeRect(0, 0, 1920, 1056));
    cairo_destroy(check);
    if (!drawsAsTheProgram(s)) state.SkipWithError("the baseline draws other pixels than the program");
    for (auto _ : state) {
        cairo_t* cr = cairo_create(s);
        cairoGuidelines(cr, NSMakeRect(0, 0, 1920, 1056));
        cairo_destroy(cr);
    }
    cairo_surface_destroy(s);
}
BENCHMARK(GuidelinesFullRedraw_Cairo)->Unit(benchmark::kMillisecond);

// --- (c) ---

Ref<Guidelines> draggedLine()
{
    return static_ref_cast<Guidelines>(
        GuidelineStore::getSharedGuidelineStore()->getCurrentSet()->getLinesArray()->objectAtIndex(500));
}

void GuidelineDragStep_Plumbline(benchmark::State& state)
{
    auto view = program().guidelines->getView();
    auto line = draggedLine();
    float step = 1;
    for (auto _ : state) {
        if (line->value() > 900) step = -1;
        if (line->value() < 100) step = 1;
        view->setNeedsDisplayInRect(view->lineRect(line));
        line->setValue(line->value() + step);
        view->setNeedsDisplayInRect(view->lineRect(line));
        view->window()->displayIfNeeded();
    }
}
BENCHMARK(GuidelineDragStep_Plumbline)->Unit(benchmark::kMicrosecond);

void GuidelineDragStep_Cairo(benchmark::State& state)
{
    program();
    auto line = draggedLine();
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1920, 1056);
    float step = 1;
    for (auto _ : state) {
        if (line->value() > 900) step = -1;
        if (line->value() < 100) step = 1;
        const double before = line->value();
        line->setValue(line->value() + step);
        cairo_t* cr = cairo_create(s);
        const bool vertical = line->type() != 0;
        for (double v : {before, static_cast<double>(line->value())})
            cairoGuidelines(cr, vertical ? NSMakeRect(v - 7, 0, 15, 1056) : NSMakeRect(0, v - 7, 1920, 15));
        cairo_destroy(cr);
    }
    cairo_surface_destroy(s);
}
BENCHMARK(GuidelineDragStep_Cairo)->Unit(benchmark::kMicrosecond);

}  // namespace
