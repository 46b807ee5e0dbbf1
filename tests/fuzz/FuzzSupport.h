#pragma once
// Shared pieces of the fuzz harnesses: splitting one input into several
// values, and stopping the process on a broken invariant so that the fuzzer
// records the input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace Fuzz {

inline std::string_view text(const uint8_t* data, size_t size)
{
    return std::string_view(reinterpret_cast<const char*>(data), size);
}

// The pieces between occurrences of `separator` (at most `limit`, the last
// taking the rest).
inline std::vector<std::string> split(std::string_view input, std::string_view separator, size_t limit = 64)
{
    std::vector<std::string> pieces;
    while (pieces.size() + 1 < limit) {
        const size_t at = input.find(separator);
        if (at == std::string_view::npos) break;
        pieces.emplace_back(input.substr(0, at));
        input.remove_prefix(at + separator.size());
    }
    pieces.emplace_back(input);
    return pieces;
}

[[noreturn]] inline void broken(const char* what, std::string_view detail = {})
{
    std::fprintf(stderr, "broken invariant: %s: %.*s\n", what, static_cast<int>(detail.size()), detail.data());
    std::abort();
}

inline void check(bool condition, const char* what, std::string_view detail = {})
{
    if (!condition) broken(what, detail);
}

}
