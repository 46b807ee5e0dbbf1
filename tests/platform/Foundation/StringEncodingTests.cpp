#include <gtest/gtest.h>

#include <bit>

#include "Foundation/NSData.h"
#include "Foundation/NSString.h"

namespace {

Ref<NSString> decode(std::string_view bytes, NSStringEncoding encoding)
{
    return NSString::stringWithData(NSData::dataWithBytes(bytes.data(), bytes.size()), encoding);
}

std::string bytesOf(const Ref<NSData>& data) { return data ? std::string(data->view()) : std::string("<nil>"); }

std::string utf8(const Ref<NSString>& s) { return s ? s->UTF8String() : std::string("<nil>"); }

}

TEST(StringEncoding, InvalidOrIncompleteInputGivesNil)
{
    struct Case {
        std::string bytes;
        NSStringEncoding encoding;
    };
    const Case cases[] = {
        {"\xC3", NSUTF8StringEncoding},         // truncated sequence
        {"abc\xE2\x82", NSUTF8StringEncoding},  // truncated at the end
        {"\xFF", NSUTF8StringEncoding},
        {"a\x80"
         "b",
         NSUTF8StringEncoding},                                    // stray continuation byte
        {"\xC0\xAF", NSUTF8StringEncoding},                        // overlong
        {"\xED\xA0\x80", NSUTF8StringEncoding},                    // encoded surrogate
        {"\xF4\x90\x80\x80", NSUTF8StringEncoding},                // beyond U+10FFFF
        {std::string("\x00", 1), NSUTF16BigEndianStringEncoding},  // odd length
        {std::string("\x00"
                     "a\xD8\x3D",
                     4),
         NSUTF16BigEndianStringEncoding},  // pair cut after the lead
        {std::string("\xDE\x00\x00"
                     "a",
                     4),
         NSUTF16BigEndianStringEncoding},  // lone trail
        {std::string("a\x00\x3D\xD8", 4), NSUTF16LittleEndianStringEncoding},
        {std::string("\xFE\xFF\xD8\x3D", 4), NSUnicodeStringEncoding},
        {std::string("\x00\x00\x00", 3), NSUTF32BigEndianStringEncoding},
        {std::string("\x00\x11\x00\x00", 4), NSUTF32BigEndianStringEncoding},  // beyond U+10FFFF
        {std::string("\x00\x00\xD8\x00", 4), NSUTF32BigEndianStringEncoding},  // surrogate
        {"abc", 0xFFFFFFFF},                                                   // unknown encoding
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes) + " in " + std::to_string(c.encoding));
        EXPECT_FALSE(decode(c.bytes, c.encoding));
    }
    // Probing for a cut point: every proper prefix of a multi-byte character fails.
    std::string text = "a\U0001F600";
    for (size_t n = 2; n < text.size(); ++n) EXPECT_FALSE(decode(text.substr(0, n), NSUTF8StringEncoding)) << n;
    EXPECT_EQ(utf8(decode(text, NSUTF8StringEncoding)), text);
    EXPECT_EQ(utf8(decode("", NSUTF8StringEncoding)), "");
    EXPECT_FALSE(NSString::stringWithData(nullptr, NSUTF8StringEncoding));
}

TEST(StringEncoding, UTF16AndUTF32ByteOrderMarks)
{
    struct Case {
        std::string bytes;
        NSStringEncoding encoding;
        const char* expected;
    };
    const Case cases[] = {
        {std::string("\xFE\xFF\x00"
                     "A\x00\xE9",
                     6),
         NSUnicodeStringEncoding, "A\u00E9"},  // mark read and dropped
        {std::string("\xFF\xFE"
                     "A\x00\xE9\x00",
                     6),
         NSUnicodeStringEncoding, "A\u00E9"},
        {std::string("\x00"
                     "A\x00\xE9",
                     4),
         NSUnicodeStringEncoding, "A\u00E9"},  // big-endian without one
        {std::string("\xD8\x3D\xDE\x00", 4), NSUTF16BigEndianStringEncoding, "\U0001F600"},
        {std::string("=\xD8\x00\xDE", 4), NSUTF16LittleEndianStringEncoding, "\U0001F600"},
        {std::string("\xFF\xFE"
                     "A\x00",
                     4),
         NSUTF16LittleEndianStringEncoding,
         "\uFEFF"
         "A"},  // explicit order keeps it
        {std::string("\x00\x00\xFE\xFF\x00\x01\xF6\x00", 8), NSUTF32StringEncoding, "\U0001F600"},
        {std::string("\xFF\xFE\x00\x00\x00\xF6\x01\x00", 8), NSUTF32StringEncoding, "\U0001F600"},
        {std::string("\x00\xF6\x01\x00", 4), NSUTF32LittleEndianStringEncoding, "\U0001F600"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        EXPECT_EQ(utf8(decode(c.bytes, c.encoding)), c.expected);
    }
    // The generic forms write a mark in host order; the explicit ones none.
    bool little = std::endian::native == std::endian::little;
    Ref<NSString> s = u"A\U0001F600"_ns;
    EXPECT_EQ(bytesOf(s->dataUsingEncoding(NSUnicodeStringEncoding)), little ? std::string("\xFF\xFE"
                                                                                           "A\x00=\xD8\x00\xDE",
                                                                                           8)
                                                                             : std::string("\xFE\xFF\x00"
                                                                                           "A\xD8=\xDE\x00",
                                                                                           8));
    EXPECT_EQ(bytesOf(s->dataUsingEncoding(NSUTF16BigEndianStringEncoding)), std::string("\x00"
                                                                                         "A\xD8=\xDE\x00",
                                                                                         6));
    EXPECT_EQ(bytesOf(s->dataUsingEncoding(NSUTF32BigEndianStringEncoding)), std::string("\x00\x00\x00"
                                                                                         "A\x00\x01\xF6\x00",
                                                                                         8));
    EXPECT_EQ(s->dataUsingEncoding(NSUTF32StringEncoding)->length(), 12u);
    for (NSStringEncoding e : {NSUTF8StringEncoding, NSUnicodeStringEncoding, NSUTF16BigEndianStringEncoding,
                               NSUTF16LittleEndianStringEncoding, NSUTF32StringEncoding, NSUTF32BigEndianStringEncoding,
                               NSUTF32LittleEndianStringEncoding}) {
        SCOPED_TRACE(e);
        EXPECT_TRUE(NSString::stringWithData(s->dataUsingEncoding(e), e)->isEqualToString(s));
    }
}

TEST(StringEncoding, SingleByteEncodingsAreStrict)
{
    EXPECT_EQ(utf8(decode("caf\x8E", NSMacOSRomanStringEncoding)), "caf\u00E9");
    EXPECT_EQ(bytesOf(u"caf\u00E9"_ns->dataUsingEncoding(NSMacOSRomanStringEncoding)), "caf\x8E");
    EXPECT_EQ(utf8(decode("\x80 5", NSWindowsCP1252StringEncoding)), "\u20AC 5");
    EXPECT_EQ(bytesOf(u"\u20AC \u00FC"_ns->dataUsingEncoding(NSWindowsCP1252StringEncoding)), "\x80 \xFC");
    // Characters the encoding lacks: nil, or "?" when lossy.
    EXPECT_FALSE(u"a\u4E2D"_ns->dataUsingEncoding(NSWindowsCP1252StringEncoding));
    EXPECT_FALSE(u"a\u4E2D"_ns->canBeConvertedToEncoding(NSMacOSRomanStringEncoding));
    EXPECT_EQ(bytesOf(u"a\u4E2D"_ns->dataUsingEncoding(NSMacOSRomanStringEncoding, true)), "a?");
    // A lone surrogate has no UTF-8 or UTF-32 form.
    Ref<NSString> lone = NSString::stringWithUTF16(std::u16string(u"a") + char16_t(0xD800));
    EXPECT_FALSE(lone->dataUsingEncoding(NSUTF8StringEncoding));
    EXPECT_FALSE(lone->dataUsingEncoding(NSUTF32StringEncoding));
    EXPECT_EQ(bytesOf(lone->dataUsingEncoding(NSUTF8StringEncoding, true)), "a?");
}
