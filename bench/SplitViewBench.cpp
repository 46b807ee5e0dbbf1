// Live resize of a nestable split view against plain views given the same
// frames by a direct proportional computation. Each step changes the width
// by one point (1200 to 1800 and back), displays the 1600 x 900 headless
// window and ends the run-loop turn (which writes changed user defaults).
// The split view has 20 panes (minimums 30 to 80, three collapsible, two of
// them nested split views of three panes) and a divider image; the autosave
// variant saves its layout string on every pass. Run with
//   bench_SplitViewBench --benchmark_repetitions=10
//     --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true
// and compare the medians. The counter "passes" is the number of layout
// passes per step, which must be 1.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "AppKit/NSApplication.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSRunLoop.h"
#include "Foundation/NSUserDefaults.h"
#include "QXSplitView/QXSplitView.h"

namespace {

constexpr int kPanes = 20;
constexpr double kMinWidth = 1200, kMaxWidth = 1800, kHeight = 900;

// Counts the passes of the outermost split view.
class PassCounter : public NSObject, public QXSplitViewDelegate {
    NS_OBJECT(PassCounter, NSObject)
protected:
    PassCounter() = default;

public:
    long passes = 0;
    void didAdjustSubviews(QXSplitView*) override { ++passes; }
};
NS_CLASS_DEFINE(PassCounter)

// A view that fills itself, as panes' contents do.
class Filled : public NSView {
    NS_OBJECT(Filled, NSView)
protected:
    Filled() = default;

public:
    void drawRect(const NSRect& r) override
    {
        NSColor::colorWithCalibratedWhite(0.9, 1)->set();
        NSRectFill(r);
    }
};
NS_CLASS_DEFINE(Filled)

void setUpOnce()
{
    static bool done = [] {
        setenv("PLUMBLINE_BACKEND", "headless", 1);
        static std::string config = std::filesystem::temp_directory_path() / "plumbline-splitview-bench";
        std::filesystem::create_directories(config);
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        NSApplication::sharedApplication();
        return true;
    }();
    (void)done;
}

Ref<NSWindow> makeWindow()
{
    auto w = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(0, 0, 1600, kHeight), NSBorderlessWindowMask,
                                                              NSBackingStoreBuffered, false);
    w->setContentView(NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 1600, kHeight)));
    w->orderFront(nullptr);
    return w;
}

Ref<NSView> filled(double width)
{
    auto v = NSObject::alloc<Filled>()->initWithFrame(NSMakeRect(0, 0, width, kHeight));
    v->setAutoresizingMask(NSViewWidthSizable | NSViewHeightSizable);
    return v;
}

Ref<NSImage> dividerImage()
{
    auto image = NSImage::initWithSize(NSMakeSize(4, 4));
    image->lockFocus();
    NSColor::grayColor()->set();
    NSRectFill(NSMakeRect(0, 0, 4, 4));
    image->unlockFocus();
    return image;
}

Ref<QXSplitSubview> pane(double width, double minimum, bool collapsible)
{
    auto p = static_ref_cast<QXSplitSubview>(
        NSObject::alloc<QXSplitSubview>()->initWithFrame(NSMakeRect(0, 0, width, kHeight)));
    p->setMinDimension(minimum, 0);
    p->setCanCollapse(collapsible);
    p->addSubview(filled(width));
    return p;
}

Ref<QXSplitView> makeSplitView(double width, PassCounter* counter)
{
    auto sv =
        static_ref_cast<QXSplitView>(NSObject::alloc<QXSplitView>()->initWithFrame(NSMakeRect(0, 0, width, kHeight)));
    sv->setVertical(true);
    sv->setDivider(dividerImage());
    sv->setDividerThickness(4);
    sv->setDelegate(counter);
    const double paneWidth = (width - 4.0 * (kPanes - 1)) / kPanes;
    for (int i = 0; i < kPanes; ++i) {
        const double minimum = 30 + (i * 50) / (kPanes - 1);
        if (i == 5 || i == 14) {
            // Nested split views of three stacked panes; the first collapses.
            auto nested = static_ref_cast<QXSplitView>(
                NSObject::alloc<QXSplitView>()->initWithFrame(NSMakeRect(0, 0, paneWidth, kHeight)));
            for (int k = 0; k < 3; ++k) {
                auto inner = pane(paneWidth, 40, false);
                inner->setFrameSize(NSMakeSize(paneWidth, 296));
                nested->addSubview(inner);
            }
            nested->setMinDimension(minimum, 0);
            nested->setCanCollapse(true);
            sv->addSubview(nested);
            continue;
        }
        sv->addSubview(pane(paneWidth, minimum, i == 10));
    }
    sv->adjustSubviews();
    return sv;
}

// The next width of the sweep 1200 .. 1800 .. 1200.
double nextWidth(double& width, double& step)
{
    if (width + step > kMaxWidth || width + step < kMinWidth) step = -step;
    width += step;
    return width;
}

void endTurn(const Ref<NSWindow>& window)
{
    window->display();
    NSRunLoop::currentRunLoop()->runUntilIdle();
}

void BM_PlainViews(benchmark::State& state)
{
    setUpOnce();
    auto window = makeWindow();
    auto root = NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, kMinWidth, kHeight));
    root->setAutoresizesSubviews(false);
    std::vector<Ref<NSView>> views;
    for (int i = 0; i < kPanes; ++i) {
        views.push_back(filled(kMinWidth / kPanes));
        root->addSubview(views.back());
    }
    window->contentView()->addSubview(root);
    double width = kMinWidth, step = 1;
    for (auto _ : state) {
        const double w = nextWidth(width, step);
        root->setFrameSize(NSMakeSize(w, kHeight));
        const double share = (w - 4.0 * (kPanes - 1)) / kPanes;
        double x = 0;
        for (auto& v : views) {
            v->setFrame(NSMakeRect(std::floor(x), 0, std::floor(x + share) - std::floor(x), kHeight));
            x += share + 4;
        }
        root->setNeedsDisplay(true);
        endTurn(window);
    }
    window->orderOut(nullptr);
}

void runSplitView(benchmark::State& state, bool autosave)
{
    setUpOnce();
    auto window = makeWindow();
    auto counter = NSObject::make<PassCounter>();
    auto sv = makeSplitView(kMinWidth, counter.get());
    window->contentView()->addSubview(sv);
    if (autosave) sv->setAutosaveName("Bench"_ns, true);
    endTurn(window);
    double width = kMinWidth, step = 1;
    counter->passes = 0;
    long steps = 0;
    for (auto _ : state) {
        sv->setFrameSize(NSMakeSize(nextWidth(width, step), kHeight));
        endTurn(window);
        ++steps;
    }
    state.counters["passes"] = steps ? double(counter->passes) / double(steps) : 0;
    if (steps && counter->passes != steps) state.SkipWithError("not exactly one layout pass per step");
    if (autosave) sv->setAutosaveName(""_ns, true);
    window->orderOut(nullptr);
}

void BM_SplitView(benchmark::State& state) { runSplitView(state, false); }
void BM_SplitViewAutosave(benchmark::State& state) { runSplitView(state, true); }

}  // namespace

BENCHMARK(BM_PlainViews);
BENCHMARK(BM_SplitView);
BENCHMARK(BM_SplitViewAutosave);
