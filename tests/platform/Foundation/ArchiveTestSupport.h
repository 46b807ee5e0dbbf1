#pragma once
// What the archive tests of both formats share.
#include <bit>
#include <cstdint>

#include "Foundation/NSCoding.h"
#include "Foundation/NSObject.h"

// A class the tests keep out of a decode: it records whether anything of it
// ever ran (initialize, the constructor, initWithCoder). Every test runs in
// its own process, so the flags start false in each.
class ArchiveTestIntruder : public NSObject, public NSCoding {
    NS_OBJECT(ArchiveTestIntruder, NSObject)
public:
    static inline bool initialized = false, constructed = false, decoded = false;
    static void initialize() { initialized = true; }
    ArchiveTestIntruder() { constructed = true; }
    void encodeWithCoder(NSCoder*) const override { }
    Id initWithCoder(NSCoder*) override
    {
        decoded = true;
        return this;
    }
};

// The bits of a floating-point value, to compare values exactly (-0, NaN).
inline uint32_t bitsOf(float f) { return std::bit_cast<uint32_t>(f); }
inline uint64_t bitsOf(double d) { return std::bit_cast<uint64_t>(d); }
