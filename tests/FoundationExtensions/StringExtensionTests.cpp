// The string utilities: unique names, validators, special characters,
// conversions, snippets, ISBNs, name splitting and the drawing hand-over.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "Foundation/Clock.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSSet.h"
#include "FoundationExtensions/ZAKNSStringExtension.h"

namespace {

Ref<NSString> str(const std::string& s) { return NSString::stringWithUTF8String(s); }
Ref<NSString> u16(const std::u16string& s) { return NSString::stringWithUTF16(s); }
std::string utf8(const Ref<NSString>& s) { return s ? s->UTF8String() : "nil"; }

Ref<NSArray> list(const std::vector<std::string>& names)
{
    auto array = NSMutableArray::array();
    for (const auto& n : names) array->addObject(str(n));
    return array;
}

}

TEST(StringExtension, UniqueNamesCountUpATrailingNumber)
{
    struct Case {
        std::string name;
        std::vector<std::string> taken;
        std::string expected;
    };
    const Case cases[] = {
        {"Set 2", {"Set 1"}, "Set 2"},  // not taken: unchanged, digits and all
        {"New Set", {"New Set"}, "New Set 1"},
        {"New Set", {"New Set", "New Set 1"}, "New Set 2"},
        {"Set 2", {"Set 2"}, "Set 3"},
        {"Set 2", {"Set 2", "Set 3"}, "Set 4"},
        {"Set9", {"Set9"}, "Set 10"},
        {"7", {"7"}, "7 1"},  // the first character is never the number
        {"2024", {"2024"}, "2 25"},
        {"Set 007", {"Set 007"}, "Set 8"},
        {"  Guides  3", {"  Guides  3"}, "Guides 4"},  // the rest is trimmed
        {"Run 99999999999999999999", {"Run 99999999999999999999"}, "Run 100000000000000000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(utf8(NSStringExt::uniqueStringWithString(str(c.name), list(c.taken))), c.expected);
    }
}

TEST(StringExtension, CopyNamesAndUniqueFileNames)
{
    struct Case {
        std::string name;
        std::vector<std::string> taken;
        std::string copyName;
        std::string fileName;
    };
    const Case cases[] = {
        {"Report", {}, "Report copy", "Report"},
        {"Report ", {"Report copy"}, "Report copy 1", "Report "},
        {"Report copy", {"Report copy"}, "Report copy 1", "Report copy 1"},
        {"report.txt", {"report.pdf"}, "report.txt copy", "report copy.txt"},  // extensions are ignored
        {"report.txt", {"report.pdf", "report copy.rtf"}, "report.txt copy", "report copy 1.txt"},
        {"notes", {"notes"}, "notes copy", "notes copy"},
        {"notes", {"other.txt"}, "notes copy", "notes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(utf8(NSStringExt::uniqueCopyStringWithString(str(c.name), list(c.taken))), c.copyName);
        EXPECT_EQ(utf8(NSStringExt::uniqueFilenameWithString(str(c.name), list(c.taken))), c.fileName);
    }
}

TEST(StringExtension, AddressTests)
{
    struct Case {
        std::string text;
        bool email;
        bool url;
    };
    const Case cases[] = {
        {"a@b.c", true, true},  {"a.b@c", true, true}, {"@a.b", false, true}, {"a@b.", false, false},
        {".a@b", false, false}, {"ab@", false, false}, {"abc", false, false}, {"", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(NSStringExt::validateEMailAddress(str(c.text)), c.email);
        EXPECT_EQ(NSStringExt::validateURL(str(c.text)), c.url);
    }
    EXPECT_EQ(utf8(NSStringExt::completedURLStringForString("example.org"_ns)), "http://example.org");
    EXPECT_EQ(utf8(NSStringExt::completedURLStringForString("ftp://example.org"_ns)), "ftp://example.org");
}

TEST(StringExtension, PercentEscapes)
{
    EXPECT_EQ(utf8(NSStringExt::percentEncodedRfc3986String(str("a b;/?:@&=+$,[]#!'()*%"))),
              "a b%3B%2F%3F%3A%40%26%3D%2B%24%2C%5B%5D%23%21%27%28%29%2A%");
    EXPECT_EQ(utf8(NSStringExt::decodeAllPercentEscapes("a%20b%2Fc%C3%A9"_ns)), "a b/c\u00e9");
    EXPECT_EQ(utf8(NSStringExt::convertToURLConformString("http://x.org/a b%20c/%C3%A9"_ns)),
              "http://x.org/a%20b%20c/%C3%A9");
    // An encoded reserved character is decoded for good.
    EXPECT_EQ(utf8(NSStringExt::convertToURLConformString("http://x.org/a%2Fb"_ns)), "http://x.org/a/b");
    // A stray percent sign cannot be decoded; it is escaped instead of losing the text.
    EXPECT_EQ(utf8(NSStringExt::convertToURLConformString("http://x.org/50% off"_ns)), "http://x.org/50%25%20off");
}

TEST(StringExtension, SpecialCharactersAndSmallStrings)
{
    struct Case {
        const char* name;
        Ref<NSString> string;
        std::u16string expected;
    };
    const Case cases[] = {
        {"ellipsis", NSStringExt::horizontalEllipsisString(), u"\u2026"},
        {"left quote", NSStringExt::leftPointingDoubleAngleQuotationMarkString(), u"\u00AB"},
        {"right quote", NSStringExt::rightPointingDoubleAngleQuotationMarkString(), u"\u00BB"},
        {"em dash", NSStringExt::emdashString(), u"\u2014"},
        {"en dash", NSStringExt::endashString(), u"\u2013"},
        {"command", NSStringExt::commandKeyIndicatorString(), u"\u2318"},
        {"option", NSStringExt::alternateKeyIndicatorString(), u"\u2325"},
        {"shift", NSStringExt::shiftKeyIndicatorString(), u"\u21E7"},
        {"character beyond the BMP", NSStringExt::stringWithCharacter(0x1F600), u"\U0001F600"},
        {"character", NSStringExt::stringWithCharacter(0x41), u"A"},
        {"rating 0", NSStringExt::stringForRating(0), u"-"},
        {"rating 3", NSStringExt::stringForRating(3), u"\u272D\u272D\u272D"},
        {"rating 9", NSStringExt::stringForRating(9), u"\u272D\u272D\u272D\u272D\u272D"},
        {"key equivalent", NSStringExt::stringForKeyEquivalent("K"_ns, (1 << 17) | (1 << 18) | (1 << 19) | (1 << 20)),
         u"\u2318\u2325^\u21E7K"},
        {"key equivalent, shift", NSStringExt::stringForKeyEquivalent("a"_ns, 1 << 17), u"\u21E7a"},
        {"repeat", NSStringExt::stringWithString("ab"_ns, 3), u"ababab"},
        {"repeat none", NSStringExt::stringWithString("ab"_ns, -1), u""},
        {"strings up to nil", NSStringExt::stringWithStrings({"a"_ns, "b"_ns, nullptr, "c"_ns}), u"ab"},
        {"appended ellipsis", NSStringExt::stringByAppendingEllipsis("More"_ns), u"More\u2026"},
        {"file name", NSStringExt::stringByReplacNotFilenameConformCharacters("a/b:c\\d"_ns), u"a-b-c-d"},
        {"remove set",
         NSStringExt::stringByRemovingCharactersInSet(u16(u"a1b22c\U0001F600"),
                                                      NSCharacterSet::decimalDigitCharacterSet()),
         u"abc\U0001F600"},
        {"remove set, backwards ignored",
         NSStringExt::stringByRemovingCharactersInSet("1a1"_ns, NSCharacterSet::decimalDigitCharacterSet(),
                                                      NSBackwardsSearch),
         u"a"},
        {"remove leading run",
         NSStringExt::stringByRemovingCharactersInSet("11a1"_ns, NSCharacterSet::decimalDigitCharacterSet(),
                                                      NSAnchoredSearch),
         u"a1"},
        {"remove character", NSStringExt::stringByRemovingCharacter("a-b-c"_ns, u'-'), u"abc"},
        {"replace occurrences",
         NSStringExt::stringByReplaceOccurrencesOfString("aXbxc"_ns, "x"_ns, "-"_ns, NSCaseInsensitiveSearch,
                                                         NSMakeRange(0, 5)),
         u"a-b-c"},
        {"to html", NSStringExt::stringByConvertCharactersToHTML("<\u00e9>"_ns), u"&lt;&eacute;&gt;"},
        {"to xml", NSStringExt::stringByConvertCharactersToXML("a'b"_ns), u"a&apos;b"},
        {"from xml", NSStringExt::stringByConvertXMLToChars("a&lt;b"_ns), u"a<b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.string);
        EXPECT_EQ(c.string->utf16(), c.expected);
    }
    EXPECT_EQ(NSStringExt::horizontalEllipsisString(), NSStringExt::horizontalEllipsisString());
    EXPECT_FALSE(NSStringExt::stringByConvertCharactersToHTML(nullptr));
}

TEST(StringExtension, SpecialCharactersAreMadeOnceEvenFromManyThreads)
{
    std::vector<const NSString*> seen(8);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < seen.size(); ++i)
        threads.emplace_back([&seen, i] { seen[i] = NSStringExt::emdashString().get(); });
    for (auto& t : threads) t.join();
    for (const NSString* s : seen) EXPECT_EQ(s, NSStringExt::emdashString().get());
}

TEST(StringExtension, SnippetAroundARange)
{
    std::u16string hundred;
    for (int i = 0; i < 100; ++i) hundred += static_cast<char16_t>(u'0' + i % 10);
    const std::u16string ellipsis = u"\u2026";
    struct Case {
        const char* name;
        std::u16string text;
        NSRange range;
        NSUInteger max;
        std::u16string expected;
    };
    const Case cases[] = {
        {"middle", hundred, NSMakeRange(50, 4), 10, ellipsis + hundred.substr(47, 10) + ellipsis},
        {"near the start", hundred, NSMakeRange(3, 4), 10, hundred.substr(0, 10) + ellipsis},
        {"near the end", hundred, NSMakeRange(97, 2), 10, ellipsis + hundred.substr(90)},
        {"range longer than the maximum", hundred, NSMakeRange(20, 30), 10,
         ellipsis + hundred.substr(20, 10) + ellipsis},
        {"not found", hundred, NSMakeRange(NSNotFound, 0), 10, hundred},
        {"maximum covers all", u"short\ntext", NSMakeRange(2, 1), 10, u"short\ntext"},
        {"line breaks and double blanks, one pass", u"ab\r\ncd   efgh", NSMakeRange(3, 2), 10, u"ab cd  e\u2026"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(NSStringExt::displayStringForRange(u16(c.text), c.range, c.max)->utf16(), c.expected);
    }
}

TEST(StringExtension, ISBNConversion)
{
    struct Case {
        const char* text;
        const char* isbn13;
        const char* isbn10;
    };
    const Case cases[] = {
        {"0306406152", "9780306406157", "0000000000"}, {"9780306406157", "9789780306403", "0306406152"},
        {"080442957X", "9780804429573", "0000000000"}, {"9780804429573", "9789780804428", "080442957X"},
        {"12345", "9780000000002", "0000000000"},  // too short: the template with its check digit
        {"", "9780000000002", "0000000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(utf8(NSStringExt::convertISBN10ToISBN13(str(c.text))), c.isbn13);
        EXPECT_EQ(utf8(NSStringExt::convertISBN13ToISBN10(str(c.text))), c.isbn10);
    }
}

TEST(StringExtension, FirstAndLastNames)
{
    struct Case {
        std::string text;
        std::string first;
        std::string last;
    };
    const Case cases[] = {
        {"", "", ""},
        {"Doe, John", "John", "Doe"},
        {"Doe;John", "John", "Doe"},
        {"Wernher von Braun", "Wernher", "von Braun"},
        {"Ludwig VON Mises", "Ludwig", "VON Mises"},
        {"Anna Maria Schmidt", "Anna Maria", "Schmidt"},
        {"Madonna", "", "Madonna"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Ref<NSArray> names = NSStringExt::firstAndLastNameOfNameString(str(c.text));
        ASSERT_EQ(names->count(), 2u);
        EXPECT_EQ(utf8(static_ref_cast<NSString>(names->objectAtIndex(0))), c.first);
        EXPECT_EQ(utf8(static_ref_cast<NSString>(names->objectAtIndex(1))), c.last);
    }
}

TEST(StringExtension, TimeStampAndUUID)
{
    // 2026-12-10 14:30:05.250 UTC (the tests run with TZ=UTC).
    Clock::useVirtualClock(NSDate::dateWithTimeIntervalSince1970(1796913005.25)->timeIntervalSinceReferenceDate());
    EXPECT_EQ(utf8(NSStringExt::timeStampForFileOperation()), "20261210143005+0000250");
    Clock::useRealClock();

    Ref<NSString> uuid = NSStringExt::UUID();
    EXPECT_EQ(uuid->length(), 36u);
    EXPECT_EQ(utf8(uuid), utf8(uuid->uppercaseString()));
    EXPECT_FALSE(uuid->isEqualToString(NSStringExt::UUID()));
}

TEST(StringExtension, DrawingIsHandedToTheInstalledFunction)
{
    struct Call {
        std::string text;
        std::vector<std::string> keys;
        NSInteger alignment;
        bool centred;
        NSRect rectangle;
    };
    std::vector<Call> calls;
    NSStringExt::setDrawingFunction([&](const Ref<NSString>& text, const Ref<NSDictionary>& attributes,
                                        NSInteger alignment, bool centred, const NSRect& rectangle) {
        std::vector<std::string> keys;
        for (const auto& [key, value] : attributes->entries())
            keys.push_back(utf8(static_ref_cast<NSString>(key)) + "=" + utf8(value->description()));
        calls.push_back({utf8(text), keys, alignment, centred, rectangle});
    });
    const NSRect box = NSMakeRect(1, 2, 30, 40);
    NSStringExt::drawWithFont("font and colour"_ns, "Font"_ns, "Red"_ns, 2, true, box);
    NSStringExt::drawWithFont("colour only"_ns, nullptr, "Red"_ns, 1, box);
    NSStringExt::drawWithFontAttributes("attributes"_ns, NSDictionary::dictionaryWithEntries({{"k"_ns, "v"_ns}}), 0,
                                        box);
    NSStringExt::setDrawingFunction(nullptr);
    NSStringExt::drawWithFont("not drawn"_ns, nullptr, nullptr, 0, box);

    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].text, "font and colour");
    EXPECT_EQ(calls[0].keys, (std::vector<std::string>{"NSFont=Font", "NSColor=Red"}));
    EXPECT_EQ(calls[0].alignment, 2);
    EXPECT_TRUE(calls[0].centred);
    EXPECT_EQ(calls[0].rectangle, box);
    EXPECT_EQ(calls[1].keys, (std::vector<std::string>{"NSColor=Red"}));
    EXPECT_FALSE(calls[1].centred);
    EXPECT_EQ(calls[2].keys, (std::vector<std::string>{"k=v"}));
}

TEST(StringExtension, ContentTypesOfFilesAndTheirConformance)
{
    const std::string folder = ::testing::TempDir() + "/content-types-" + std::to_string(::getpid());
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "/picture.PNG") << "x";
    EXPECT_EQ(utf8(NSStringExt::universalTypeForFile(str(folder + "/picture.PNG"))), "public.png");
    EXPECT_EQ(utf8(NSStringExt::universalTypeForFile(str(folder))), "public.folder");
    EXPECT_FALSE(NSStringExt::universalTypeForFile(str(folder + "/absent.png")));
    EXPECT_FALSE(NSStringExt::universalTypeForFile(nullptr));
    std::filesystem::remove_all(folder);

    EXPECT_TRUE(NSStringExt::UTIConformsTo(str("public.png"), str("public.image")));
    EXPECT_TRUE(NSStringExt::UTIConformsTo(str("public.png"), str("public.png")));
    EXPECT_FALSE(NSStringExt::UTIConformsTo(str("public.image"), str("public.png")));
    EXPECT_FALSE(NSStringExt::UTIConformsTo(nullptr, str("public.data")));
    EXPECT_TRUE(NSStringExt::UTIConformsToUTIOf(str("public.png"), list({"public.text", "public.image"})));
    EXPECT_FALSE(NSStringExt::UTIConformsToUTIOf(str("public.png"), list({"public.text", "public.movie"})));
    EXPECT_TRUE(NSStringExt::UTIConformsToUTIOf(str("public.png"), NSSet::setWithObject(str("public.data"))));
    EXPECT_FALSE(NSStringExt::UTIConformsToUTIOf(str("public.png"), nullptr));
}
