// The CSV reader against ICU decoding of the same bytes (the floor any
// reader of encoded text stands on), on 50 MB of generated rows: composed
// text, then decomposed accents, and the memory a long stream needs.
//
// Run: bench_CSVParser --benchmark_repetitions=5
//      --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstring>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include <unicode/ucnv.h>

#include "Foundation/NSClass.h"
#include "ZAKAppKit/ZAKCSVParser/ZAKCSVParser.h"

namespace {

constexpr size_t kFileSize = 50u << 20;

// Rows of ten fields: numbers, words, quoted fields with separators and
// doubled quotes, and non-ASCII text (CJK, accented) in every fifth field.
std::string generatedRows(size_t size, bool decomposed, uint32_t seed = 1)
{
    static const char* words[] = {"alpha", "beta", "gamma", "delta", "epsilon", "zeta", "eta", "theta"};
    static const char* composed[] = {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", "caf\xC3\xA9", "na\xC3\xAFve",
                                     "\xE4\xB8\xAD\xE6\x96\x87", "\xC3\xBC\x62\x65r"};
    std::mt19937 random(seed);
    std::string out;
    out.reserve(size + 256);
    while (out.size() < size) {
        for (int field = 0; field < 10; ++field) {
            if (field) out += ',';
            if (decomposed) {
                // Every second character a combining mark.
                for (int k = 0; k < 6; ++k) out += std::string(1, char('a' + random() % 26)) + "\xCC\x81";
                continue;
            }
            switch (field % 5) {
            case 0: out += std::to_string(random() % 1000000); break;
            case 1: out += words[random() % 8]; break;
            case 2: out += "\"a, \"\"quoted\"\" " + std::string(words[random() % 8]) + "\""; break;
            case 3: out += std::to_string(random() % 1000) + "." + std::to_string(random() % 100); break;
            case 4: out += composed[random() % 5]; break;
            }
        }
        out += "\r\n";
    }
    return out;
}

const std::string& fileWith(bool decomposed)
{
    static std::string paths[2];
    std::string& path = paths[decomposed];
    if (path.empty()) {
        path = std::filesystem::temp_directory_path() /
               ("plumbline-csv-bench-" + std::to_string(::getpid()) + (decomposed ? "-decomposed.csv" : ".csv"));
        std::ofstream(path, std::ios::binary) << generatedRows(kFileSize, decomposed);
        std::atexit([] {
            for (auto& p : paths)
                if (!p.empty()) std::filesystem::remove(p);
        });
    }
    return path;
}

class Counter : public NSObject, public ZAKCSVParserDelegate {
    NS_OBJECT(Counter, NSObject)
public:
    uint64_t fields = 0;
    uint64_t characters = 0;
    void parserDidStartDocument(ZAKCSVParser*, const Ref<NSString>&) override { }
    void parserDidStartLine(ZAKCSVParser*, NSUInteger) override { }
    void parserDidReadField(ZAKCSVParser*, const Ref<NSString>& field) override
    {
        ++fields;
        characters += field->length();
    }
    void parserDidEndLine(ZAKCSVParser*, NSUInteger) override { }
    void parserDidEndDocument(ZAKCSVParser*, const Ref<NSString>&) override { }
    void parserDidFailWithError(ZAKCSVParser*, const Ref<NSError>&) override { std::abort(); }
};

// Rows made up as they are read, for ever.
class RowStream : public NSInputStream {
    NS_OBJECT(RowStream, NSInputStream)
public:
    uint64_t limit = 0;
    void open() override
    {
        m_rows = generatedRows(1 << 20, false, 7);
        setStreamStatus(NSStreamStatusOpen);
    }
    NSInteger read(uint8_t* buffer, NSUInteger maxLength) override
    {
        NSUInteger n = std::min<uint64_t>({maxLength, limit - m_delivered, m_rows.size() - m_offset});
        std::memcpy(buffer, m_rows.data() + m_offset, n);
        m_offset = (m_offset + n) % m_rows.size();
        m_delivered += n;
        if (!n) setStreamStatus(NSStreamStatusAtEnd);
        return static_cast<NSInteger>(n);
    }

private:
    std::string m_rows;
    size_t m_offset = 0;
    uint64_t m_delivered = 0;
};

void parseFile(benchmark::State& state, bool decomposed)
{
    const std::string& path = fileWith(decomposed);
    auto nsPath = NSString::stringWithUTF8String(path);
    uint64_t fields = 0;
    for (auto _ : state) {
        auto parser = NSObject::alloc<ZAKCSVParser>()->initWithContentsOfCSVFile(nsPath, NSUTF8StringEncoding, nullptr);
        auto counter = NSObject::make<Counter>();
        parser->setParserDelegate(counter);
        parser->parse();
        fields = counter->fields;
    }
    state.counters["fields"] = static_cast<double>(fields);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * std::filesystem::file_size(path)));
}

long peakResidentKB()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}

NS_CLASS_DEFINE(Counter)
NS_CLASS_DEFINE(RowStream)

// First, while the peak is still low: 200 MB of rows through the reader.
static void BM_StreamMemory(benchmark::State& state)
{
    for (auto _ : state) {
        long before = peakResidentKB();
        auto stream = NSObject::make<RowStream>();
        stream->limit = 200u << 20;
        auto parser = NSObject::alloc<ZAKCSVParser>()->initWithStream(stream, NSUTF8StringEncoding, nullptr);
        auto counter = NSObject::make<Counter>();
        parser->setParserDelegate(counter);
        parser->parse();
        state.counters["peak_growth_MB"] = static_cast<double>(peakResidentKB() - before) / 1024.0;
    }
}
BENCHMARK(BM_StreamMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

static void BM_DecodeOnly(benchmark::State& state)
{
    std::ifstream in(fileWith(false), std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), {}};
    constexpr size_t kChunk = 16384;
    std::u16string target(kChunk + 16, u'\0');
    for (auto _ : state) {
        UErrorCode status = U_ZERO_ERROR;
        UConverter* converter = ucnv_open("UTF-8", &status);
        uint64_t units = 0;
        for (size_t at = 0; at < bytes.size(); at += kChunk) {
            const char* source = bytes.data() + at;
            const char* limit = bytes.data() + std::min(bytes.size(), at + kChunk);
            while (source < limit) {
                char16_t* out = target.data();
                status = U_ZERO_ERROR;
                ucnv_toUnicode(converter, &out, target.data() + target.size(), &source, limit, nullptr,
                               at + kChunk >= bytes.size(), &status);
                units += static_cast<uint64_t>(out - target.data());
            }
        }
        ucnv_close(converter);
        benchmark::DoNotOptimize(units);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_DecodeOnly)->Unit(benchmark::kMillisecond);

static void BM_ParseFile(benchmark::State& state) { parseFile(state, false); }
BENCHMARK(BM_ParseFile)->Unit(benchmark::kMillisecond);

static void BM_ParseDecomposedFile(benchmark::State& state) { parseFile(state, true); }
BENCHMARK(BM_ParseDecomposedFile)->Unit(benchmark::kMillisecond);
