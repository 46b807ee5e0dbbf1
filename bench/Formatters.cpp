// Formatting a column of 100,000 values, as a table would, against ICU's
// DecimalFormat with the same pattern, made once. Run with
//   bench_Formatters --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true
// and compare the medians.
#include <random>
#include <vector>

#include <benchmark/benchmark.h>
#include <unicode/decimfmt.h>

#include "FormatKit/FMTOrdinalNumberFormatter.h"
#include "Foundation/NSLocale.h"
#include "Foundation/NSNumber.h"
#include "ZAKAppKit/ZAKMeasurement/ZAKMeasurementNumberFormatter.h"
#include "ZAKAppKit/ZAKMeasurement/ZAKMeasurementUnits.h"

namespace {

constexpr size_t kValues = 100000;

void pinLocale()
{
    static const bool pinned = [] {
        NSLocale::setCurrentLocale(NSLocale::localeWithLocaleIdentifier("en_US"_ns));
        return true;
    }();
    (void)pinned;
}

// Lengths in points, as single-precision values of a model.
const std::vector<Ref<NSNumber>>& lengths()
{
    static const auto list = [] {
        std::mt19937 rng(1);
        std::uniform_real_distribution<float> points(0.5f, 2000.0f);
        std::vector<Ref<NSNumber>> values;
        for (size_t i = 0; i < kValues; ++i) values.push_back(NSNumber::numberWithFloat(points(rng)));
        return values;
    }();
    return list;
}

const std::vector<Ref<NSNumber>>& counts()
{
    static const auto list = [] {
        std::vector<Ref<NSNumber>> values;
        for (size_t i = 0; i < kValues; ++i) values.push_back(NSNumber::numberWithInteger(NSInteger(i)));
        return values;
    }();
    return list;
}

std::unique_ptr<icu::DecimalFormat> icuFormat(const char16_t* pattern)
{
    UErrorCode status = U_ZERO_ERROR;
    auto format = std::make_unique<icu::DecimalFormat>(icu::UnicodeString(pattern), status);
    if (U_FAILURE(status)) return nullptr;
    return format;
}

// The measurement formatter's pattern in millimetres with two decimals.
void IcuMeasurementPattern(benchmark::State& state)
{
    auto format = icuFormat(u"#0.00' mm'");
    for (auto _ : state) {
        for (const auto& value : lengths()) {
            // The conversion the formatter does, so only formatting differs.
            icu::UnicodeString text;
            format->format(ZAKConvertUnitValue(ZAKUnitPoint, ZAKUnitMillimeter, value->doubleValue()), text);
            benchmark::DoNotOptimize(text);
        }
    }
    state.SetItemsProcessed(state.iterations() * kValues);
}

void MeasurementNumberFormatter(benchmark::State& state)
{
    pinLocale();
    auto formatter = NSObject::make<ZAKMeasurementNumberFormatter>();
    formatter->setShowType(ZAKUnitMillimeter);
    formatter->setNumberOfDigitsAfterPoint(2);
    for (auto _ : state) {
        for (const auto& value : lengths()) benchmark::DoNotOptimize(formatter->stringForObjectValue(value));
    }
    state.SetItemsProcessed(state.iterations() * kValues);
}

void IcuOrdinalPattern(benchmark::State& state)
{
    auto format = icuFormat(u"#'th'");
    for (auto _ : state) {
        for (const auto& value : counts()) {
            icu::UnicodeString text;
            format->format(int64_t(value->integerValue()), text);
            benchmark::DoNotOptimize(text);
        }
    }
    state.SetItemsProcessed(state.iterations() * kValues);
}

// Changes its suffix with every value ("1st", "2nd", "3rd", "4th").
void OrdinalNumberFormatter(benchmark::State& state)
{
    pinLocale();
    auto formatter = NSObject::make<FMTOrdinalNumberFormatter>();
    for (auto _ : state) {
        for (const auto& value : counts()) benchmark::DoNotOptimize(formatter->stringFromNumber(value));
    }
    state.SetItemsProcessed(state.iterations() * kValues);
}

}  // namespace

BENCHMARK(IcuMeasurementPattern)->Unit(benchmark::kMillisecond);
BENCHMARK(MeasurementNumberFormatter)->Unit(benchmark::kMillisecond);
BENCHMARK(IcuOrdinalPattern)->Unit(benchmark::kMillisecond);
BENCHMARK(OrdinalNumberFormatter)->Unit(benchmark::kMillisecond);
