// Regular expressions through the cache against ICU called directly.
#include <algorithm>
#include <random>
#include <thread>

#include <benchmark/benchmark.h>
#include <unicode/uregex.h>

#include "RegexLite/RegexLite.h"

using namespace NSStringExt;

namespace {

constexpr size_t kSubjects = 100000;

const char* const kWords[] = {"lorem", "ipsum", "dolor",   "sit",    "amet",       "consectetur", "adipiscing", "elit",
                              "sed",   "do",    "eiusmod", "tempor", "incididunt", "ut",          "labore",     "et"};

// Prose with a number every few words.
std::u16string prose(std::mt19937& rng, size_t length, int numberEvery)
{
    std::u16string out;
    std::uniform_int_distribution<int> word(0, 15), gap(1, numberEvery * 2 - 1), number(0, 99999);
    int untilNumber = gap(rng);
    while (out.size() < length) {
        if (--untilNumber == 0) {
            for (char c : std::to_string(number(rng))) out.push_back(static_cast<char16_t>(c));
            untilNumber = gap(rng);
        } else {
            for (const char* p = kWords[word(rng)]; *p; ++p) out.push_back(static_cast<char16_t>(*p));
        }
        out.push_back(u' ');
    }
    out.resize(length);
    return out;
}

std::vector<Ref<NSString>> makeSubjects(unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_int_distribution<size_t> length(40, 80);
    std::vector<Ref<NSString>> subjects;
    subjects.reserve(kSubjects);
    for (size_t i = 0; i < kSubjects; ++i) {
        auto s = NSString::stringWithUTF16(prose(rng, length(rng), 4));
        s->hash();  // hashed once, as a string in use would be
        subjects.push_back(s);
    }
    return subjects;
}

const std::vector<Ref<NSString>>& subjects()
{
    static const auto list = makeSubjects(1);
    return list;
}

const Ref<NSString>& digits()
{
    static const Ref<NSString> pattern = NSString::stringWithUTF8String("[0-9]+");
    return pattern;
}

Ref<NSString> bigText(int numberEvery)
{
    std::mt19937 rng(7);
    return NSString::stringWithUTF16(prose(rng, 5242880, numberEvery));
}

URegularExpression* openICU(const char16_t* pattern)
{
    UParseError pe;
    UErrorCode status = U_ZERO_ERROR;
    return uregex_open(pattern, -1, 0, &pe, &status);
}

void BM_CachedMatch_ICU(benchmark::State& state)
{
    const auto& list = subjects();
    URegularExpression* re = openICU(u"[0-9]+");
    size_t i = 0;
    for (auto _ : state) {
        const auto& s = list[i];
        i = i + 1 == list.size() ? 0 : i + 1;
        UErrorCode status = U_ZERO_ERROR;
        uregex_setText(re, s->characters(), static_cast<int32_t>(s->length()), &status);
        NSRange r{static_cast<NSUInteger>(NSNotFound), 0};
        if (uregex_find(re, 0, &status)) {
            int32_t start = uregex_start(re, 0, &status);
            r = NSMakeRange(static_cast<NSUInteger>(start),
                            static_cast<NSUInteger>(uregex_end(re, 0, &status) - start));
        }
        benchmark::DoNotOptimize(r);
    }
    uregex_close(re);
    state.SetItemsProcessed(state.iterations());
}

void BM_CachedMatch_rangeOfRegex(benchmark::State& state)
{
    const auto& list = subjects();
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(rangeOfRegex(list[i], digits()));
        i = i + 1 == list.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(state.iterations());
}

// Threads on subjects of their own: each thread takes its share of a second
// list, so the single-thread figures never meet lines other cores wrote.
void BM_CachedMatch_threads(benchmark::State& state)
{
    static const auto list = makeSubjects(2);
    const size_t share = list.size() / static_cast<size_t>(state.threads());
    const size_t first = share * static_cast<size_t>(state.thread_index());
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(rangeOfRegex(list[first + i], digits()));
        i = i + 1 == share ? 0 : i + 1;
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_CachedMatch_stringByMatching(benchmark::State& state)
{
    const auto& list = subjects();
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(stringByMatching(list[i], digits()));
        i = i + 1 == list.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_CachedMatch_captureComponents(benchmark::State& state)
{
    const auto& list = subjects();
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(captureComponentsMatchedByRegex(list[i], digits()));
        i = i + 1 == list.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_CachedMatch_newEqualPattern(benchmark::State& state)
{
    const auto& list = subjects();
    size_t i = 0;
    for (auto _ : state) {
        auto pattern = NSString::stringWithUTF16(u"[0-9]+");
        benchmark::DoNotOptimize(rangeOfRegex(list[i], pattern));
        i = i + 1 == list.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(state.iterations());
}

void replaceICU(benchmark::State& state, int numberEvery, const char16_t* pattern, const char16_t* replacement)
{
    const Ref<NSString> text = bigText(numberEvery);
    URegularExpression* re = openICU(pattern);
    const size_t capacity = text->length() * 3 + 16;
    std::unique_ptr<UChar[]> out(new UChar[capacity]);
    for (auto _ : state) {
        UErrorCode status = U_ZERO_ERROR;
        uregex_setText(re, text->characters(), static_cast<int32_t>(text->length()), &status);
        int32_t n = uregex_replaceAll(re, replacement, -1, out.get(), static_cast<int32_t>(capacity), &status);
        benchmark::DoNotOptimize(n);
    }
    uregex_close(re);
}

void replaceRegexLite(benchmark::State& state, int numberEvery, const char* pattern, const char* replacement)
{
    const Ref<NSString> text = bigText(numberEvery);
    const Ref<NSString> regex = NSString::stringWithUTF8String(pattern);
    const Ref<NSString> with = NSString::stringWithUTF8String(replacement);
    for (auto _ : state) benchmark::DoNotOptimize(stringByReplacingOccurrencesOfRegex(text, regex, with));
}

void BM_Replace_ICU(benchmark::State& state) { replaceICU(state, 4, u"[0-9]+", u"#"); }
void BM_Replace_RegexLite(benchmark::State& state) { replaceRegexLite(state, 4, "[0-9]+", "#"); }
void BM_ReplaceRare_ICU(benchmark::State& state) { replaceICU(state, 5000, u"[0-9]+", u"#"); }
void BM_ReplaceRare_RegexLite(benchmark::State& state) { replaceRegexLite(state, 5000, "[0-9]+", "#"); }
void BM_ReplaceGrowing_ICU(benchmark::State& state) { replaceICU(state, 4, u"(\\w+)", u"[[$1]]"); }
void BM_ReplaceGrowing_RegexLite(benchmark::State& state) { replaceRegexLite(state, 4, "(\\w+)", "[[$1]]"); }

void BM_Replace_InPlace(benchmark::State& state)
{
    const Ref<NSString> text = bigText(4);
    const Ref<NSString> regex = NSString::stringWithUTF8String("[0-9]+");
    const Ref<NSString> with = NSString::stringWithUTF8String("#");
    for (auto _ : state) {
        state.PauseTiming();
        auto copy = NSMutableString::stringWithString(text);
        state.ResumeTiming();
        benchmark::DoNotOptimize(NSMutableStringExt::replaceOccurrencesOfRegex(copy, regex, with));
    }
}

// The fastest repetition as well: other work on a shared machine only adds
// time, so the minimum compares two loops with the least noise.
double fastest(const std::vector<double>& values) { return *std::min_element(values.begin(), values.end()); }

}  // namespace

BENCHMARK(BM_CachedMatch_ICU)->ComputeStatistics("min", fastest);
BENCHMARK(BM_CachedMatch_rangeOfRegex)->ComputeStatistics("min", fastest);
BENCHMARK(BM_CachedMatch_stringByMatching);
BENCHMARK(BM_CachedMatch_captureComponents);
BENCHMARK(BM_CachedMatch_newEqualPattern);
BENCHMARK(BM_CachedMatch_threads)->Threads(1)->Threads(8)->Threads(16)->UseRealTime();
BENCHMARK(BM_Replace_ICU)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Replace_RegexLite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceRare_ICU)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceRare_RegexLite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceGrowing_ICU)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceGrowing_RegexLite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Replace_InPlace)->Unit(benchmark::kMillisecond);
