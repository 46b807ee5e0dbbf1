// The entry point of a harness where libFuzzer is not available (the GCC
// test build): runs every file of the seed folders, then mutates them at
// random until the time is up. Accepts the libFuzzer flags the test entries
// use: -max_total_time=<seconds>, -runs=<count> and -seed=<number>; other
// flags are ignored, other arguments are seed folders or files.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) __attribute__((weak));

namespace {

using Input = std::vector<uint8_t>;

Input readWhole(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return Input((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void run(const Input& input)
{
    // A copy of exactly the input's size, so that reading past it is caught.
    auto* bytes = static_cast<uint8_t*>(std::malloc(input.empty() ? 1 : input.size()));
    if (!input.empty()) std::memcpy(bytes, input.data(), input.size());
    LLVMFuzzerTestOneInput(bytes, input.size());
    std::free(bytes);
}

Input mutate(const std::vector<Input>& seeds, std::mt19937_64& random)
{
    auto pick = [&](size_t n) { return n == 0 ? size_t(0) : size_t(random() % n); };
    Input input = seeds.empty() ? Input() : seeds[pick(seeds.size())];
    const int rounds = 1 + int(random() % 8);
    for (int r = 0; r < rounds; ++r) {
        switch (random() % 7) {
        case 0:  // flip a bit
            if (!input.empty()) input[pick(input.size())] ^= uint8_t(1u << (random() % 8));
            break;
        case 1:  // a random byte
            if (!input.empty()) input[pick(input.size())] = uint8_t(random());
            break;
        case 2:  // insert bytes
            input.insert(input.begin() + long(pick(input.size() + 1)), size_t(1 + random() % 4), uint8_t(random()));
            break;
        case 3: {  // erase a run
            if (input.empty()) break;
            size_t at = pick(input.size()), n = std::min(input.size() - at, size_t(1 + random() % 16));
            input.erase(input.begin() + long(at), input.begin() + long(at + n));
            break;
        }
        case 4:  // truncate
            input.resize(pick(input.size() + 1));
            break;
        case 5: {  // repeat a run
            if (input.empty()) break;
            size_t at = pick(input.size()), n = std::min(input.size() - at, size_t(1 + random() % 64));
            Input run(input.begin() + long(at), input.begin() + long(at + n));
            for (unsigned k = 1 + unsigned(random() % 8); k > 0; --k)
                input.insert(input.begin() + long(at), run.begin(), run.end());
            break;
        }
        default: {  // splice in part of another seed
            if (seeds.empty()) break;
            const Input& other = seeds[pick(seeds.size())];
            if (other.empty()) break;
            size_t from = pick(other.size()), n = std::min(other.size() - from, size_t(1 + random() % 64));
            input.insert(input.begin() + long(pick(input.size() + 1)), other.begin() + long(from),
                         other.begin() + long(from + n));
            break;
        }
        }
        if (input.size() > 64 * 1024) input.resize(64 * 1024);
    }
    return input;
}

}

int main(int argc, char** argv)
{
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    double seconds = 0;
    long runs = -1;
    uint64_t seed = uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
    std::vector<Input> seeds;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("-max_total_time=", 0) == 0) seconds = std::atof(arg.c_str() + 16);
        else if (arg.rfind("-runs=", 0) == 0) runs = std::atol(arg.c_str() + 6);
        else if (arg.rfind("-seed=", 0) == 0) seed = std::strtoull(arg.c_str() + 6, nullptr, 10);
        else if (arg[0] == '-') continue;
        else if (std::filesystem::is_directory(arg)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(arg))
                if (entry.is_regular_file()) seeds.push_back(readWhole(entry.path()));
        } else {
            seeds.push_back(readWhole(arg));
        }
    }
    for (const Input& input : seeds) run(input);
    std::printf("%zu seeds passed; mutating with -seed=%llu\n", seeds.size(), static_cast<unsigned long long>(seed));
    std::mt19937_64 random(seed);
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    long executed = 0;
    while ((runs < 0 || executed < runs) && (runs >= 0 || std::chrono::steady_clock::now() < end)) {
        run(mutate(seeds, random));
        ++executed;
    }
    std::printf("Done %ld runs\n", executed);
    return 0;
}
