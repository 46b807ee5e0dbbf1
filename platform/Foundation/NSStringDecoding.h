#pragma once
// Decoding a stream of bytes piece by piece: how far the bytes at hand
// decode, and where the first byte sits that never will.
#include <string>

#include "Foundation/NSString.h"

struct NSStringDecodedPrefix {
    // How many bytes the decoded run took.
    NSUInteger usedLength = 0;
    // Where the first byte sits that no character can begin with or continue
    // with, or NSNotFound when the bytes after the run are only a character
    // cut short at the end (or there are none).
    NSUInteger invalidOffset = 0;
};

// Appends to `out`, as UTF-16, the longest leading run of the bytes that
// decodes to whole characters, in one pass. Byte-order marks are not looked
// for: NSUnicodeStringEncoding and NSUTF32StringEncoding read big-endian and
// U+FEFF stays text. An encoding without a converter decodes nothing and is
// invalid from byte 0.
NSStringDecodedPrefix NSStringAppendDecodablePrefix(const void* bytes, NSUInteger length, NSStringEncoding encoding,
                                                    std::u16string& out);

// The ICU converter that reads and writes the encoding, or nullptr when ICU
// has none (the Unicode forms name ICU's explicit-endian converters).
const char* NSStringEncodingConverterName(NSStringEncoding encoding);
