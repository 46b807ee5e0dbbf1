#pragma once

#include <cstddef>
#include <string_view>

// Readers of outside data that recurse bound how deep their input nests, so
// that a damaged or hostile file is reported as damaged instead of
// overflowing the stack. The texts are scanned before any parser sees them.
namespace NestingDepth {

// Deeper than any file the program writes, shallow enough for the recursive
// readers and writers on a thread's stack.
inline constexpr size_t maximum = 256;

// Whether the JSON text opens more than `limit` arrays and objects inside one
// another. Brackets inside strings do not count.
bool jsonExceeds(std::string_view text, size_t limit = maximum);

// Whether the XML text opens more than `limit` elements inside one another.
// Comments, processing instructions, CDATA sections and declarations do not
// count.
bool xmlExceeds(std::string_view text, size_t limit = maximum);

}
