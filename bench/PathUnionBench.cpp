// Union of two rings of 5,000 cubic curves each (radius 500, a radial wave of
// plus or minus 3 alternating per curve; the second ring moved by
// (170, 90)). BM_ClipperOnly times Clipper's AddPaths and Execute on the
// polygons our conversion makes, BM_Conversion everything else (copy,
// scaling, flattening, rounding, result path), BM_Union the whole operation.
// Each also counts the page faults per call (fresh memory the allocator
// maps and the kernel fills). Run with
// --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cmath>
#include <numbers>

#include "AppKitExtensions/ClipperPolygons.h"
#include "AppKitExtensions/NSBezierPath+ClipperExtensions.h"

namespace {

constexpr int kCurves = 5000;

Ref<NSBezierPath> ring(double dx, double dy)
{
    auto at = [dx, dy](double radius, double angle) {
        return NSMakePoint(dx + radius * std::cos(angle), dy + radius * std::sin(angle));
    };
    auto path = NSBezierPath::bezierPath();
    const double step = 2 * std::numbers::pi / kCurves;
    path->moveToPoint(at(500, 0));
    for (int i = 0; i < kCurves; ++i) {
        double a = i * step, control = i % 2 ? 497 : 503;
        path->curveToPoint(at(500, a + step), at(control, a + step / 3), at(control, a + 2 * step / 3));
    }
    path->closePath();
    return path;
}

struct Rings {
    Ref<NSBezierPath> a = ring(0, 0), b = ring(170, 90);
    ClipperLib::Paths polygonsA, polygonsB, solution;
    Rings()
    {
        ClipperPolygons::fromPath(a, polygonsA);
        ClipperPolygons::fromPath(b, polygonsB);
        ClipperLib::Clipper clipper;
        clipper.AddPaths(polygonsA, ClipperLib::ptSubject, true);
        clipper.AddPaths(polygonsB, ClipperLib::ptClip, true);
        clipper.Execute(ClipperLib::ctUnion, solution, ClipperLib::pftEvenOdd, ClipperLib::pftEvenOdd);
    }
};

const Rings& rings()
{
    static const Rings shared;
    return shared;
}

long minorFaults()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_minflt;
}

// Page faults of the timed loop, per iteration.
class FaultCounter {
public:
    explicit FaultCounter(benchmark::State& state)
        : m_state(state)
        , m_start(minorFaults())
    { }
    ~FaultCounter()
    {
        m_state.counters["page_faults"] =
            benchmark::Counter(static_cast<double>(minorFaults() - m_start), benchmark::Counter::kAvgIterations);
    }

private:
    benchmark::State& m_state;
    long m_start;
};

void BM_Union(benchmark::State& state)
{
    const Rings& r = rings();
    FaultCounter faults(state);
    for (auto _ : state) benchmark::DoNotOptimize(NSBezierPathExt::bezierPathByUnionWithPath(r.a, r.b));
}

void BM_ClipperOnly(benchmark::State& state)
{
    const Rings& r = rings();
    FaultCounter faults(state);
    for (auto _ : state) {
        ClipperLib::Clipper clipper;
        ClipperLib::Paths solution;
        clipper.AddPaths(r.polygonsA, ClipperLib::ptSubject, true);
        clipper.AddPaths(r.polygonsB, ClipperLib::ptClip, true);
        clipper.Execute(ClipperLib::ctUnion, solution, ClipperLib::pftEvenOdd, ClipperLib::pftEvenOdd);
        benchmark::DoNotOptimize(solution.data());
    }
    state.counters["vertices_per_curve"] = static_cast<double>(r.polygonsA[0].size()) / kCurves;
}

void BM_Conversion(benchmark::State& state)
{
    const Rings& r = rings();
    FaultCounter faults(state);
    for (auto _ : state) {
        ClipperLib::Paths a, b;
        ClipperPolygons::fromPath(r.a, a);
        ClipperPolygons::fromPath(r.b, b);
        benchmark::DoNotOptimize(ClipperPolygons::toPath(r.solution));
    }
    size_t vertices = 0;
    for (const ClipperLib::Path& polygon : r.solution) vertices += polygon.size();
    state.counters["result_vertices"] = static_cast<double>(vertices);
}

}

BENCHMARK(BM_Union)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClipperOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Conversion)->Unit(benchmark::kMillisecond);
