// Encodings by platform number: their names and their conversions.
#include <gtest/gtest.h>

#include <algorithm>

#include "Foundation/CFStringEncoding.h"
#include "Foundation/NSData.h"
#include "Foundation/NSString.h"

namespace {

std::string bytesOf(const Ref<NSData>& data) { return data ? std::string(data->view()) : std::string("<nil>"); }

std::string utf8(const Ref<NSString>& s) { return s ? s->UTF8String() : std::string("<nil>"); }

Ref<NSString> decode(std::string_view bytes, NSStringEncoding encoding)
{
    return NSString::stringWithData(NSData::dataWithBytes(bytes.data(), bytes.size()), encoding);
}

bool isAvailable(NSStringEncoding encoding)
{
    auto list = NSString::availableStringEncodings();
    return std::find(list.begin(), list.end(), encoding) != list.end();
}

}

TEST(StringEncodingTable, EachEncodingHasItsNameAndItsBytes)
{
    struct Case {
        NSStringEncoding encoding;
        const char* name;
        const char16_t* text;
        std::string bytes;
    };
    const Case cases[] = {
        {NSASCIIStringEncoding, "Western (ASCII)", u"Az~", "Az~"},
        {NSJapaneseEUCStringEncoding, "Japanese (EUC)", u"\u3042", "\xA4\xA2"},
        {NSISOLatin1StringEncoding, "Western (ISO Latin 1)", u"caf\u00E9", "caf\xE9"},
        {NSShiftJISStringEncoding, "Japanese (Windows, DOS)", u"\u3042", "\x82\xA0"},
        {NSISOLatin2StringEncoding, "Central European (ISO Latin 2)", u"\u0159", "\xF8"},
        {NSWindowsCP1251StringEncoding, "Cyrillic (Windows)", u"\u0416", "\xC6"},
        {NSWindowsCP1252StringEncoding, "Western (Windows Latin 1)", u"\u20AC", "\x80"},
        {NSWindowsCP1253StringEncoding, "Greek (Windows)", u"\u03A9", "\xD9"},
        {NSWindowsCP1254StringEncoding, "Turkish (Windows Latin 5)", u"\u011F", "\xF0"},
        {NSWindowsCP1250StringEncoding, "Central European (Windows Latin 2)", u"\u0159", "\xF8"},
        {NSISO2022JPStringEncoding, "Japanese (ISO 2022-JP)", u"\u3042", "\x1B$B$\"\x1B(B"},
        {NSMacOSRomanStringEncoding, "Western (Mac OS Roman)", u"caf\u00E9", "caf\x8E"},
        {NSUTF8StringEncoding, "Unicode (UTF-8)", u"\u00E9", "\xC3\xA9"},
        {NSUTF16BigEndianStringEncoding, "Unicode (UTF-16BE)", u"A", std::string("\0A", 2)},
        {NSUTF32LittleEndianStringEncoding, "Unicode (UTF-32LE)", u"A", std::string("A\0\0\0", 4)},
        {0x80000632, "Chinese (GB 18030)", u"\u4E2D", "\xD6\xD0"},
        {0x80000A03, "Traditional Chinese (Big 5)", u"\u4E2D", "\xA4\xA4"},
        {0x80000940, "Korean (EUC)", u"\uD55C", "\xC7\xD1"},
        {0x80000A02, "Cyrillic (KOI8-R)", u"\u0416", "\xF6"},
        {0x80000A01, "Japanese (Shift JIS)", u"\u3042", "\x82\xA0"},
        {0x80000007, "Cyrillic (Mac OS)", u"\u0416", "\x86"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(utf8(NSString::localizedNameOfStringEncoding(c.encoding)), c.name);
        EXPECT_TRUE(isAvailable(c.encoding));
        Ref<NSString> text = NSString::stringWithUTF16(c.text);
        EXPECT_TRUE(text->canBeConvertedToEncoding(c.encoding));
        EXPECT_EQ(bytesOf(text->dataUsingEncoding(c.encoding)), c.bytes);
        EXPECT_EQ(utf8(decode(c.bytes, c.encoding)), utf8(text));
    }
}

TEST(StringEncodingTable, WhatAnEncodingCannotHoldIsRefused)
{
    struct Case {
        NSStringEncoding encoding;
        const char16_t* text;  // not representable
        std::string bytes;     // not valid
    };
    const Case cases[] = {
        {NSASCIIStringEncoding, u"caf\u00E9", "caf\xE9"},
        {NSISOLatin1StringEncoding, u"\u20AC", ""},
        {NSShiftJISStringEncoding, u"\u00E9", "\x82"},  // cut inside a two-byte character
        {NSJapaneseEUCStringEncoding, u"\uD55C", "\xA4"},
        {NSWindowsCP1251StringEncoding, u"\u4E2D", ""},
        {0x80000A02, u"\u00E9", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.encoding);
        Ref<NSString> text = NSString::stringWithUTF16(c.text);
        EXPECT_FALSE(text->canBeConvertedToEncoding(c.encoding));
        EXPECT_FALSE(text->dataUsingEncoding(c.encoding));
        EXPECT_TRUE(text->dataUsingEncoding(c.encoding, true));  // lossy always gives bytes
        if (!c.bytes.empty()) {
            EXPECT_FALSE(decode(c.bytes, c.encoding));
        }
    }
}

TEST(StringEncodingTable, EveryListedEncodingConvertsAndOnlyThose)
{
    auto list = NSString::availableStringEncodings();
    EXPECT_GT(list.size(), 40u);
    for (NSStringEncoding encoding : list) {
        SCOPED_TRACE(encoding);
        EXPECT_NE(utf8(NSString::localizedNameOfStringEncoding(encoding)), "");
        Ref<NSData> data = u"Plain text 42"_ns->dataUsingEncoding(encoding);
        ASSERT_TRUE(data);
        EXPECT_EQ(utf8(NSString::stringWithData(data, encoding)), "Plain text 42");
    }
    // Known by name, but nothing here converts them.
    for (NSStringEncoding encoding :
         {NSNEXTSTEPStringEncoding, NSSymbolStringEncoding, NSNonLossyASCIIStringEncoding}) {
        SCOPED_TRACE(encoding);
        EXPECT_NE(utf8(NSString::localizedNameOfStringEncoding(encoding)), "");
        EXPECT_FALSE(isAvailable(encoding));
        EXPECT_FALSE(u"abc"_ns->canBeConvertedToEncoding(encoding));
    }
    // Unknown numbers: no name, no conversion.
    for (NSStringEncoding encoding : {NSStringEncoding{0}, NSStringEncoding{16}, NSStringEncoding{0x80000FFF}}) {
        SCOPED_TRACE(encoding);
        EXPECT_EQ(utf8(NSString::localizedNameOfStringEncoding(encoding)), "");
        EXPECT_FALSE(u"abc"_ns->dataUsingEncoding(encoding, true));
        EXPECT_FALSE(decode("abc", encoding));
    }
}

TEST(StringEncodingTable, CoreFoundationNumbersConvertBothWaysAndByIANAName)
{
    struct Case {
        CFStringEncoding cf;
        NSStringEncoding ns;
        const char* iana;  // as the name is asked for in another case
        CFStringEncoding mostCompatibleMac;
    } cases[] = {
        {kCFStringEncodingUTF16, NSUnicodeStringEncoding, "utf-16", kCFStringEncodingUnicode},
        {kCFStringEncodingUTF8, NSUTF8StringEncoding, "UTF-8", kCFStringEncodingUnicode},
        {kCFStringEncodingMacRoman, NSMacOSRomanStringEncoding, "MACINTOSH", kCFStringEncodingMacRoman},
        {kCFStringEncodingWindowsLatin1, NSWindowsCP1252StringEncoding, "windows-1252", kCFStringEncodingMacRoman},
        {kCFStringEncodingMacJapanese, 0x80000001, nullptr, kCFStringEncodingMacJapanese},
        {kCFStringEncodingShiftJIS, 0x80000A01, "Shift_JIS", kCFStringEncodingMacJapanese},
        {kCFStringEncodingGB_18030_2000, 0x80000632, "gb18030", kCFStringEncodingMacChineseSimp},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cf);
        EXPECT_EQ(CFStringConvertEncodingToNSStringEncoding(c.cf), c.ns);
        EXPECT_EQ(CFStringConvertNSStringEncodingToEncoding(c.ns), c.cf);
        EXPECT_EQ(CFStringGetMostCompatibleMacStringEncoding(c.cf), c.mostCompatibleMac);
        if (!c.iana) continue;
        EXPECT_EQ(CFStringConvertIANACharSetNameToEncoding(NSString::stringWithUTF8String(c.iana)), c.cf);
        auto name = CFStringConvertEncodingToIANACharSetName(c.cf);
        ASSERT_TRUE(name);
        EXPECT_EQ(CFStringConvertIANACharSetNameToEncoding(name), c.cf) << name->UTF8String();
    }
    EXPECT_EQ(CFStringConvertNSStringEncodingToEncoding(0x7FFFFFFF), kCFStringEncodingInvalidId);
    EXPECT_EQ(CFStringConvertIANACharSetNameToEncoding("no-such-charset"_ns), kCFStringEncodingInvalidId);
    EXPECT_EQ(CFStringGetSystemEncoding(), kCFStringEncodingMacRoman);
    EXPECT_EQ(NSString::defaultCStringEncoding(), NSMacOSRomanStringEncoding);

    // The list holds what strings convert, in the order of the string encodings.
    std::vector<CFStringEncoding> expected;
    for (NSStringEncoding e : NSString::availableStringEncodings())
        expected.push_back(CFStringConvertNSStringEncodingToEncoding(e));
    EXPECT_EQ(CFStringGetListOfAvailableEncodings(), expected);
}
