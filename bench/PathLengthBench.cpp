// Length and point-at-length on an open path of 10,000 curves (each 10
// units long, amplitude 5). Run with --benchmark_repetitions=5
// --benchmark_enable_random_interleaving=true for medians.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "AppKitExtensions/NSBezierPath+ZAKNSBezierPathExtension.h"

namespace {

constexpr int kCurves = 10000;

Ref<NSBezierPath> wave()
{
    auto path = NSBezierPath::bezierPath();
    path->moveToPoint({0, 0});
    // Control points at 4/3 of the amplitude put the middle of each curve 5
    // units off the axis, alternately up and down.
    for (int i = 0; i < kCurves; ++i) {
        double x = 10.0 * i, h = (i % 2 ? -5.0 : 5.0) * 4 / 3;
        path->curveToPoint({x + 10, 0}, {x + 10.0 / 3, h}, {x + 20.0 / 3, h});
    }
    return path;
}

const Ref<NSBezierPath>& sharedWave()
{
    static const Ref<NSBezierPath> path = wave();
    return path;
}

void BM_Length(benchmark::State& state)
{
    const auto& path = sharedWave();
    for (auto _ : state) benchmark::DoNotOptimize(NSBezierPathExt::length(path));
    state.SetItemsProcessed(state.iterations());
}

void BM_PointOnPathAtLength(benchmark::State& state)
{
    const auto& path = sharedWave();
    const double total = NSBezierPathExt::length(path);
    std::mt19937 random(42);
    std::uniform_real_distribution<double> at(0, total);
    std::vector<double> lengths(1024);
    for (double& l : lengths) l = at(random);
    size_t next = 0;
    CGFloat slope = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(NSBezierPathExt::pointOnPathAtLength(path, lengths[next++ % lengths.size()], &slope));
    }
    state.SetItemsProcessed(state.iterations());
}

}

BENCHMARK(BM_Length)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PointOnPathAtLength)->Unit(benchmark::kMillisecond);
