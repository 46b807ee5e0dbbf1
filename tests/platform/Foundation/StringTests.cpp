#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "Foundation/NSArray.h"
#include "Foundation/NSCharacterSet.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSData.h"
#include "Foundation/NSException.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSScanner.h"
#include "Foundation/NSString.h"

namespace {

constexpr NSUInteger notFound = static_cast<NSUInteger>(NSNotFound);

std::string utf8(const Ref<NSString>& s) { return s ? s->UTF8String() : std::string("<nil>"); }

// A string that keeps its text elsewhere and offers no contiguous buffer:
// every method must read it through length and getCharacters.
class StringTestsScatteredString : public NSString {
    NS_OBJECT(StringTestsScatteredString, NSString)
protected:
    StringTestsScatteredString() = default;

public:
    static Ref<StringTestsScatteredString> with(std::u16string text)
    {
        Ref<StringTestsScatteredString> s = alloc<StringTestsScatteredString>();
        s->m_text = std::move(text);
        return s;
    }
    NSUInteger length() const override { return m_text.size(); }
    unichar characterAtIndex(NSUInteger index) const override { return m_text.at(index); }
    void getCharacters(unichar* buffer, NSRange range) const override
    {
        checkRange(range, "getCharacters:range:");
        std::copy_n(m_text.data() + range.location, range.length, buffer);
    }
    const unichar* characters() const override { return nullptr; }

private:
    std::u16string m_text;
};
NS_CLASS_DEFINE(StringTestsScatteredString)

template <class T> std::string cFormat(const char* format, T value)
{
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

}

TEST(String, RangesCountUTF16UnitsAcrossSurrogatePairs)
{
    // U+1F600 takes two units, so "b" sits at index 3.
    Ref<NSString> s = u"a\U0001F600b"_ns;
    EXPECT_EQ(s->length(), 4u);
    EXPECT_EQ(s->characterAtIndex(1), 0xD83D);
    EXPECT_EQ(s->characterAtIndex(2), 0xDE00);
    EXPECT_EQ(utf8(s->substringWithRange(NSMakeRange(1, 2))), "\U0001F600");
    EXPECT_EQ(utf8(s->substringFromIndex(3)), "b");
    EXPECT_EQ(utf8(s->substringToIndex(3)), "a\U0001F600");
    EXPECT_EQ(s->rangeOfString(u"\U0001F600"_ns), NSMakeRange(1, 2));
    EXPECT_EQ(s->rangeOfString("b"_ns), NSMakeRange(3, 1));
    EXPECT_EQ(s->rangeOfString("b"_ns, NSBackwardsSearch), NSMakeRange(3, 1));
    EXPECT_EQ(s->rangeOfComposedCharacterSequenceAtIndex(2), NSMakeRange(1, 2));
    EXPECT_EQ(s->rangeOfCharacterFromSet(NSCharacterSet::characterSetWithCharactersInString(u"\U0001F600"_ns)),
              NSMakeRange(1, 2));
    EXPECT_EQ(s->rangeOfCharacterFromSet(NSCharacterSet::letterCharacterSet(), NSBackwardsSearch), NSMakeRange(3, 1));
    // Deseret capitals are outside the BMP; case mapping keeps the pair whole.
    EXPECT_EQ(utf8(u"\U00010428x"_ns->uppercaseString()), "\U00010400X");
    EXPECT_THROW(s->substringWithRange(NSMakeRange(3, 2)), NSException);
    EXPECT_THROW(s->substringFromIndex(5), NSException);
    EXPECT_THROW(s->characterAtIndex(4), NSException);
}

TEST(String, NumericConversionsFollowThePlatformRules)
{
    struct Case {
        const char* text;
        int32_t intValue;
        NSInteger integerValue;
        double doubleValue;
        bool boolValue;
    };
    const Case cases[] = {
        {"42", 42, 42, 42, true},
        {"300H", 300, 300, 300, true},
        {"  \t\n-17abc", -17, -17, -17, true},
        {"+5", 5, 5, 5, true},
        {"", 0, 0, 0, false},
        {"abc", 0, 0, 0, false},
        {"-", 0, 0, 0, false},
        {"3.75", 3, 3, 3.75, true},
        {".5", 0, 0, 0.5, false},
        {"1e3", 1, 1, 1000, true},
        {"2.5E-2x", 2, 2, 0.025, true},
        {"-0.5e-1", 0, 0, -0.05, false},
        {"7e", 7, 7, 7, true},
        {"nan", 0, 0, 0, false},
        {"inf", 0, 0, 0, false},
        {"-infinity", 0, 0, 0, false},
        {"0x1A", 0, 0, 0, false},
        {"00012", 12, 12, 12, true},
        {"0", 0, 0, 0, false},
        {"-000", 0, 0, 0, false},
        {"YES", 0, 0, 0, true},
        {"yes", 0, 0, 0, true},
        {"true", 0, 0, 0, true},
        {"T", 0, 0, 0, true},
        {"no", 0, 0, 0, false},
        {" +0009", 9, 9, 9, true},
        {"\xC2\xA0"
         "5",
         5, 5, 5, true},  // no-break space is white space
        {"\xE2\x80\x94"
         "5",
         0, 0, 0, false},  // an em dash is no sign
        {"9999999999", INT32_MAX, 9999999999, 9999999999.0, true},
        {"-9999999999", INT32_MIN, -9999999999, -9999999999.0, true},
        {"99999999999999999999", INT32_MAX, INT64_MAX, 1e20, true},
        {"-99999999999999999999", INT32_MIN, INT64_MIN, -1e20, true},
        {"1 2", 1, 1, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Ref<NSString> s = NSString::stringWithUTF8String(c.text);
        EXPECT_EQ(s->intValue(), c.intValue);
        EXPECT_EQ(s->integerValue(), c.integerValue);
        EXPECT_EQ(s->longLongValue(), c.integerValue);
        EXPECT_EQ(s->doubleValue(), c.doubleValue);
        EXPECT_EQ(s->floatValue(), static_cast<float>(c.doubleValue));
        EXPECT_EQ(s->boolValue(), c.boolValue);
    }
    EXPECT_EQ("1e999"_ns->doubleValue(), HUGE_VAL);
    EXPECT_EQ("-1e999"_ns->doubleValue(), -HUGE_VAL);
    EXPECT_EQ("1e-999"_ns->doubleValue(), 0.0);
    EXPECT_EQ("0.1"_ns->doubleValue(), 0.1);
}

// Switches LC_NUMERIC to German (decimal comma), compiling the locale into a
// temporary folder when the system has none installed.
bool useGermanNumbers()
{
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) return true;
    std::string folder = testing::TempDir() + "locales";
    std::string command =
        "mkdir -p '" + folder + "' && localedef -i de_DE -f UTF-8 '" + folder + "/de_DE.UTF-8' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return false;
    setenv("LOCPATH", folder.c_str(), 1);
    bool ok = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    unsetenv("LOCPATH");
    return ok;
}

TEST(String, NumericConversionsIgnoreTheCLocale)
{
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = previous ? previous : "C";
    if (!useGermanNumbers()) GTEST_SKIP() << "no locale with a decimal comma available";
    std::string cPrinted = cFormat("%.1f", 1.5);
    double parsed = "1.5"_ns->doubleValue();
    Ref<NSString> printed = NSString::stringWithFormat("%.2f %g", 1.5, 0.25);
    std::setlocale(LC_NUMERIC, saved.c_str());
    ASSERT_EQ(cPrinted, "1,5");  // the C library does follow it
    EXPECT_EQ(parsed, 1.5);
    EXPECT_EQ(utf8(printed), "1.50 0.25");
}

TEST(String, FormatMatchesCForNumbers)
{
    const double doubles[] = {0,      1,       -1.5,        1e-5, 0.1,       3.14159265358979,
                              100000, 1000000, 123456789.0, 1e21, -2.5e-300, 0.0001};
    for (const char* format :
         {"%g", "%f", "%.2f", "%e", "%E", "%G", "%10.3f", "%-12g|", "%+.3e", "%.0f", "%#g", "%.10g"}) {
        for (double v : doubles) {
            SCOPED_TRACE(std::string(format) + " " + std::to_string(v));
            EXPECT_EQ(utf8(NSString::stringWithFormat(format, v)), cFormat(format, v));
        }
    }
    const int ints[] = {0, 1, 255, -1, 0x7FFFFFFF, static_cast<int>(0xDEADBEEF), 42};
    for (const char* format :
         {"%x", "%X", "%.4x", "%o", "%#x", "%08X", "%d", "%i", "%u", "%5d", "%-5d|", "%+d", "%02d"}) {
        for (int v : ints) {
            SCOPED_TRACE(std::string(format) + " " + std::to_string(v));
            EXPECT_EQ(utf8(NSString::stringWithFormat(format, v)), cFormat(format, v));
        }
    }
    EXPECT_EQ(utf8(NSString::stringWithFormat("%g", 0.56f)), cFormat("%g", static_cast<double>(0.56f)));
}

TEST(String, FormatDirectives)
{
    struct Case {
        Ref<NSString> result;
        const char* expected;
    };
    Ref<NSString> nilString;
    const char16_t wide[] = u"h\u00E9llo";
    const Case cases[] = {
        {NSString::stringWithFormat("%@", nilString), "(null)"},
        {NSString::stringWithFormat("[%@]", nullptr), "[(null)]"},
        {NSString::stringWithFormat("%@ and %@", "one"_ns, NSNumber::numberWithInt(2)), "one and 2"},
        {NSString::stringWithFormat("%ld %li %lu", NSInteger(-3), NSInteger(4), NSUInteger(5)), "-3 4 5"},
        {NSString::stringWithFormat("%lld %qd %qu", -1LL << 40, int64_t(7), uint64_t(1) << 63),
         "-1099511627776 7 9223372036854775808"},
        {NSString::stringWithFormat("%hu %hd", 65537, 65535), "1 -1"},
        {NSString::stringWithFormat("%d", int64_t(1) << 32 | 5), "5"},
        {NSString::stringWithFormat("%c%c", 'A', 0x142), "AB"},
        {NSString::stringWithFormat("%C", 0x263A), "\u263A"},
        {NSString::stringWithFormat("%s|%5s|%-4s|", "abc", "de", "f"), "abc|   de|f   |"},
        {NSString::stringWithFormat("%S", wide), "h\u00E9llo"},
        {NSString::stringWithFormat("%-10s|", "ab"), "ab        |"},
        {NSString::stringWithFormat("%-4@|%4@|%.2@", u"\u00E9"_ns, "ab"_ns, "xyz"_ns), "\u00E9   |  ab|xy"},
        {NSString::stringWithFormat("%02ld:%02ld", NSInteger(5), NSInteger(30)), "05:30"},
        {NSString::stringWithFormat("%*d|%-*d|%*d|", 5, 42, 4, 7, -3, 1), "   42|7   |1  |"},
        {NSString::stringWithFormat("%.*f|%.*f", 2, 3.14159, -1, 0.5), "3.14|0.500000"},
        {NSString::stringWithFormat("100%%"), "100%"},
        {NSString::stringWithFormat("%2$@ %1$@", "world"_ns, "hello"_ns), "hello world"},
        {NSString::stringWithFormat("%1$@-%1$@", "x"_ns), "x-x"},
        {NSString::stringWithFormat("%p|%5p", nullptr, nullptr), "0x0|  0x0"},
        {NSString::stringWithFormat("%d", 1, 2, 3), "1"},  // extra arguments are fine
        {NSString::stringWithFormat("#0%@%@%@", "a"_ns, "b"_ns, "c"_ns), "#0abc"},
        {NSString::stringWithFormat(u"\u00FC%d\u2026"_ns, 3), "\u00FC3\u2026"},
    };
    for (const Case& c : cases) EXPECT_EQ(utf8(c.result), c.expected);
    // %c takes its argument as a signed byte.
    EXPECT_EQ(NSString::stringWithFormat("%c", 0x141)->characterAtIndex(0), u'A');
}

TEST(String, FormatRaisesInsteadOfReadingMissingOrMismatchedArguments)
{
    auto raises = [](auto make) {
        try {
            make();
        } catch (const NSException& e) {
            return e.nameUTF8() == NSInvalidArgumentException;
        }
        return false;
    };
    EXPECT_TRUE(raises([] { return NSString::stringWithFormat("%d"); }));
    EXPECT_TRUE(raises([] { return NSString::stringWithFormat("%@ %@", "one"_ns); }));
    EXPECT_TRUE(raises([] { return NSString::stringWithFormat("%3$@", "one"_ns, "two"_ns); }));
    EXPECT_TRUE(raises([] { return NSString::stringWithFormat("%*d", 5); }));
    EXPECT_TRUE(raises([] { return NSString::stringWithFormat("%d", "text"_ns); }));
    EXPECT_TRUE(raises([] { return NSString::stringWithFormat("%f", 3); }));
    EXPECT_TRUE(raises([] { return NSString::stringWithFormat("%s", "text"_ns); }));
    EXPECT_TRUE(raises([] { return NSString::stringWithFormat("%@", 42); }));
    EXPECT_TRUE(raises([] { return NSString::stringWithFormat("%x", 1.5); }));
    EXPECT_TRUE(raises([] { return NSString::stringWithFormat("%n", 1); }));
    EXPECT_TRUE(raises([] { return NSString::stringWithFormat("50%"); }));
    EXPECT_TRUE(raises([] { return NSString::stringWithFormat("%999999999d", 1); }));
}

TEST(String, StringsWithoutAContiguousBufferWorkEverywhere)
{
    std::u16string text = u"Gr\u00FC\u00DFe, Welt 1.5";
    Ref<NSString> scattered = StringTestsScatteredString::with(text);
    Ref<NSString> plain = NSString::stringWithUTF16(text);
    ASSERT_EQ(scattered->characters(), nullptr);
    EXPECT_TRUE(scattered->isEqual(plain.get()));
    EXPECT_TRUE(plain->isEqualToString(scattered));
    EXPECT_EQ(scattered->hash(), plain->hash());
    EXPECT_EQ(scattered->UTF8String(), plain->UTF8String());
    EXPECT_EQ(scattered->rangeOfString("WELT"_ns, NSCaseInsensitiveSearch), NSMakeRange(7, 4));
    EXPECT_TRUE(scattered->uppercaseString()->isEqualToString(plain->uppercaseString()));
    EXPECT_TRUE(scattered->substringFromIndex(12)->isEqualToString("1.5"_ns));
    EXPECT_EQ(scattered->substringFromIndex(12)->doubleValue(), 1.5);
    EXPECT_EQ(scattered->componentsSeparatedByString(", "_ns)->count(), 2u);
    EXPECT_EQ(scattered->compare(plain), NSOrderedSame);
    EXPECT_TRUE(NSString::stringWithFormat("%@", scattered)->isEqualToString(plain));
    EXPECT_TRUE(NSString::stringWithFormat(scattered)->isEqualToString(plain));
    EXPECT_TRUE(scattered->dataUsingEncoding(NSUTF8StringEncoding)
                    ->isEqualToData(plain->dataUsingEncoding(NSUTF8StringEncoding)));
    Ref<NSMutableString> m = NSMutableString::stringWithString(scattered);
    m->appendString(scattered);
    EXPECT_EQ(m->length(), 2 * text.size());
    auto scanner = NSScanner::scannerWithString(scattered);
    EXPECT_TRUE(scanner->scanUpToString("1"_ns, nullptr));
    double value = 0;
    EXPECT_TRUE(scanner->scanDouble(&value));
    EXPECT_EQ(value, 1.5);
}

TEST(String, HashAndCopy)
{
    Ref<NSString> a = u"Gr\u00FC\u00DFe"_ns;
    Ref<NSMutableString> m = NSMutableString::stringWithString(a);
    EXPECT_TRUE(a->isEqual(m.get()));
    EXPECT_EQ(a->hash(), m->hash());
    EXPECT_EQ(a->copy().get(), a.get());
    Id frozen = m->copy();
    EXPECT_NE(frozen.get(), m.get());
    EXPECT_FALSE(dynamic_cast<NSMutableString*>(frozen.get()));
    // The mutable string's hash follows its content; the copy keeps the old one.
    NSUInteger before = m->hash();
    m->replaceCharactersInRange(NSMakeRange(0, 1), "g"_ns);
    EXPECT_NE(m->hash(), before);
    EXPECT_EQ(frozen->hash(), before);
}

TEST(String, EveryMutationBumpsTheMutationCount)
{
    Ref<NSMutableString> m = NSMutableString::stringWithString("abc"_ns);
    uint64_t count = m->mutationCount();
    auto bumped = [&] {
        bool changed = m->mutationCount() > count;
        count = m->mutationCount();
        return changed;
    };
    m->appendString("d"_ns);
    EXPECT_TRUE(bumped());
    m->insertString("x"_ns, 0);
    EXPECT_TRUE(bumped());
    m->deleteCharactersInRange(NSMakeRange(0, 1));
    EXPECT_TRUE(bumped());
    m->replaceCharactersInRange(NSMakeRange(0, 1), "A"_ns);  // same length
    EXPECT_TRUE(bumped());
    m->setString("abab"_ns);
    EXPECT_TRUE(bumped());
    m->appendFormat("%d", 7);
    EXPECT_TRUE(bumped());
    EXPECT_EQ(m->replaceOccurrencesOfString("AB"_ns, "c"_ns, NSCaseInsensitiveSearch, NSMakeRange(0, m->length())), 2u);
    EXPECT_TRUE(bumped());
    EXPECT_EQ(utf8(m), "cc7");
    m->appendString(m);  // appending itself copies first
    EXPECT_EQ(utf8(m), "cc7cc7");
}

TEST(String, SplittingTrimmingAndPadding)
{
    auto texts = [](const Ref<NSArray>& parts) {
        std::vector<std::string> out;
        for (const Id& p : *parts) out.push_back(utf8(static_ref_cast<NSString>(p)));
        return out;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(texts("a,b,,c"_ns->componentsSeparatedByString(","_ns)), (V{"a", "b", "", "c"}));
    EXPECT_EQ(texts("a::b"_ns->componentsSeparatedByString("::"_ns)), (V{"a", "b"}));
    EXPECT_EQ(texts(""_ns->componentsSeparatedByString(","_ns)), (V{""}));
    EXPECT_EQ(texts("abc"_ns->componentsSeparatedByString(";"_ns)), (V{"abc"}));
    EXPECT_EQ(texts(u"a b\tc\u2028d"_ns->componentsSeparatedByCharactersInSet(
                  NSCharacterSet::whitespaceAndNewlineCharacterSet())),
              (V{"a", "b", "c", "d"}));

    struct Trim {
        Ref<NSString> text;
        Ref<NSCharacterSet> set;
        const char* expected;
    };
    const Trim trims[] = {
        {u"  \t hi there \n"_ns, NSCharacterSet::whitespaceAndNewlineCharacterSet(), "hi there"},
        {u"  \t hi there \n"_ns, NSCharacterSet::whitespaceCharacterSet(), "hi there \n"},
        {u"\u3000\u00A0x\u2029"_ns, NSCharacterSet::whitespaceAndNewlineCharacterSet(), "x"},
        {" \n "_ns, NSCharacterSet::whitespaceAndNewlineCharacterSet(), ""},
        {u"\U0001F600ok\U0001F600"_ns, NSCharacterSet::characterSetWithCharactersInString(u"\U0001F600"_ns), "ok"},
        {"..a.b.."_ns, NSCharacterSet::punctuationCharacterSet(), "a.b"},
    };
    for (const Trim& t : trims) EXPECT_EQ(utf8(t.text->stringByTrimmingCharactersInSet(t.set)), t.expected);

    EXPECT_EQ(utf8("abc"_ns->stringByPaddingToLength(7, "12"_ns, 1)), "abc2121");
    EXPECT_EQ(utf8("abc"_ns->stringByPaddingToLength(2, "12"_ns, 0)), "ab");
}

TEST(String, LineAndParagraphRanges)
{
    Ref<NSString> s = u"one\r\ntwo\nthree"_ns;
    EXPECT_EQ(s->lineRangeForRange(NSMakeRange(0, 0)), NSMakeRange(0, 5));
    EXPECT_EQ(s->lineRangeForRange(NSMakeRange(4, 0)), NSMakeRange(0, 5));  // the LF of CR LF
    EXPECT_EQ(s->lineRangeForRange(NSMakeRange(5, 1)), NSMakeRange(5, 4));
    EXPECT_EQ(s->lineRangeForRange(NSMakeRange(2, 5)), NSMakeRange(0, 9));
    EXPECT_EQ(s->lineRangeForRange(NSMakeRange(10, 2)), NSMakeRange(9, 5));
    NSUInteger start = 99, end = 99, contentsEnd = 99;
    s->getLineStart(&start, &end, &contentsEnd, NSMakeRange(1, 0));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 5u);
    EXPECT_EQ(contentsEnd, 3u);
    s->getLineStart(nullptr, nullptr, &contentsEnd, NSMakeRange(14, 0));
    EXPECT_EQ(contentsEnd, 14u);

    Ref<NSString> p = u"a\u2028b\u2029c"_ns;
    EXPECT_EQ(p->lineRangeForRange(NSMakeRange(0, 0)), NSMakeRange(0, 2));
    EXPECT_EQ(p->paragraphRangeForRange(NSMakeRange(0, 0)), NSMakeRange(0, 4));
    EXPECT_EQ(p->paragraphRangeForRange(NSMakeRange(4, 1)), NSMakeRange(4, 1));
}
