#pragma once
// A hash of bytes in the manner of the ELF hash: h = h * 16 + byte, then the
// bits 28-31 are folded into bits 4-7. Unlike the ELF hash no bits are
// cleared, so the value keeps growing into the upper bits.
#include <cstddef>
#include <cstdint>

uint64_t ZAKHashBytes(const void* bytes, size_t count);
