// Scrolling a table grid of 20 columns (short strings, a background colour on
// every third row) in an 800 x 600 headless window: each step scrolls the
// cells 20 points down and displays. The baseline draws the same visible
// cells directly at the same frames (background, the two grid lines, the
// string through the layer's string drawing), scrolled the same way. Run with
//   bench_TableGridBench --benchmark_repetitions=10
//     --benchmark_enable_random_interleaving=true
//     --benchmark_report_aggregates_only=true
// and compare the medians: the grid within 1.5 x the baseline, 100,000 rows
// within 1.1 x 1,000 rows. The counter "values" is the number of values the
// data source was asked per step, "cells" the visible cells; values must not
// exceed cells.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cmath>

#include "AppKit/NSApplication.h"
#include "AppKit/NSClipView.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSStringDrawing.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSRunLoop.h"
#include "ZAKAppKit/ZAKTableGrid/ZAKTableGrid.h"

namespace {

constexpr NSUInteger kColumns = 20;
constexpr CGFloat kWidth = 800, kHeight = 600;

Ref<NSString> valueText(NSUInteger c, NSUInteger r)
{
    return NSString::stringWithFormat("%c%lu", char('A' + c), static_cast<unsigned long>(r + 1));
}

Ref<NSColor> rowColour() { return NSColor::colorWithDeviceRed(0.9, 0.95, 1, 1); }

class BenchSource : public NSObject, public ZAKTableGridDataSource {
    NS_OBJECT(BenchSource, NSObject)
protected:
    BenchSource() = default;

public:
    NSUInteger rows = 0;
    long values = 0;
    std::optional<NSUInteger> numberOfColumnsInTableGrid(ZAKTableGrid*) override { return kColumns; }
    std::optional<NSUInteger> numberOfRowsInTableGrid(ZAKTableGrid*) override { return rows; }
    std::optional<Id> tableGridObjectValueForColumnRow(ZAKTableGrid*, NSUInteger c, NSUInteger r) override
    {
        ++values;
        return Id(valueText(c, r));
    }
    std::optional<Ref<NSColor>> tableGridBackgroundColorForColumnRow(ZAKTableGrid*, NSUInteger, NSUInteger r) override
    {
        static const Ref<NSColor> colour = rowColour();
        if (r % 3 == 0) return colour;
        return std::nullopt;
    }
};
NS_CLASS_DEFINE(BenchSource)

// The baseline: the visible cells drawn directly, scrolled by an offset.
class DirectCells : public NSView {
    NS_OBJECT(DirectCells, NSView)
protected:
    DirectCells() = default;

public:
    CGFloat offset = 0;
    long cells = 0;
    bool isFlipped() const override { return true; }
    void drawRect(const NSRect&) override
    {
        static const Ref<NSColor> line = NSColor::colorWithDeviceWhite(0.83, 1);
        static const Ref<NSColor> colour = rowColour();
        static const Ref<NSDictionary> attributes = NSDictionary::dictionary();
        const NSSize size = frame().size;
        const auto firstRow = NSUInteger(offset / 20);
        const auto lastRow = NSUInteger((offset + size.height - 0.001) / 20);
        cells = 0;
        for (NSUInteger c = 0; c < kColumns && c * 60 < size.width; ++c) {
            for (NSUInteger r = firstRow; r <= lastRow; ++r) {
                const NSRect f = NSMakeRect(CGFloat(c) * 60, CGFloat(r) * 20 - offset, 60, 20);
                (r % 3 == 0 ? colour : NSColor::whiteColor())->set();
                NSRectFill(f);
                line->set();
                NSRectFill(NSMakeRect(NSMaxX(f) - 1, f.origin.y, 1, f.size.height));
                NSRectFill(NSMakeRect(f.origin.x, NSMaxY(f) - 1, f.size.width, 1));
                NSStringExt::drawInRect(valueText(c, r), NSInsetRect(f, 2, 1), attributes);
                ++cells;
            }
        }
    }
};
NS_CLASS_DEFINE(DirectCells)

void setUpOnce()
{
    static bool done = [] {
        setenv("PLUMBLINE_BACKEND", "headless", 1);
        NSApplication::sharedApplication();
        return true;
    }();
    (void)done;
}

Ref<NSWindow> makeWindow()
{
    auto w = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(0, 0, kWidth, kHeight), NSBorderlessWindowMask,
                                                              NSBackingStoreBuffered, false);
    w->setContentView(NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, kWidth, kHeight)));
    w->orderFront(nullptr);
    return w;
}

void BM_DirectCells(benchmark::State& state)
{
    setUpOnce();
    auto window = makeWindow();
    // The cell area of the grid: less the headers and the scrollers.
    auto view = static_ref_cast<DirectCells>(
        NSObject::alloc<DirectCells>()->initWithFrame(NSMakeRect(40, 0, kWidth - 40 - 15, kHeight - 19 - 15)));
    window->contentView()->addSubview(view);
    window->display();
    long steps = 0, cells = 0;
    for (auto _ : state) {
        view->offset += 20;
        if (view->offset > 20 * 900) view->offset = 0;
        view->setNeedsDisplay(true);
        window->displayIfNeeded();
        NSRunLoop::currentRunLoop()->runUntilIdle();
        ++steps;
        cells += view->cells;
    }
    state.counters["cells"] = steps ? double(cells) / double(steps) : 0;
    window->orderOut(nullptr);
}

void BM_TableGrid(benchmark::State& state)
{
    setUpOnce();
    auto window = makeWindow();
    auto source = NSObject::make<BenchSource>();
    source->rows = NSUInteger(state.range(0));
    auto grid = static_ref_cast<ZAKTableGrid>(
        NSObject::alloc<ZAKTableGrid>()->initWithFrame(NSMakeRect(0, 0, kWidth, kHeight)));
    grid->setDataSource(source);
    window->contentView()->addSubview(grid);
    grid->reloadData();
    window->display();
    auto clip = grid->contentScrollView()->contentView();
    long steps = 0;
    CGFloat y = 0;
    source->values = 0;
    for (auto _ : state) {
        y += 20;
        if (y > 20 * 900) y = 0;
        clip->scrollToPoint(NSMakePoint(0, y));
        grid->contentScrollView()->reflectScrolledClipView(clip);
        window->displayIfNeeded();
        NSRunLoop::currentRunLoop()->runUntilIdle();
        ++steps;
    }
    state.counters["values"] = steps ? double(source->values) / double(steps) : 0;
    window->orderOut(nullptr);
}

}  // namespace

BENCHMARK(BM_DirectCells)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TableGrid)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
