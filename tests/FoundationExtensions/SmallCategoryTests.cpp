// Index paths, index sets, sets, numbering, standard folders, entity
// escaping, truncation and the byte hash.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "Foundation/NSDate.h"
#include "Foundation/NSPathUtilities.h"
#include "FoundationExtensions/NSFileManager+ZAKNSFileManagerExtension.h"
#include "FoundationExtensions/NSIndexPath+ZAKNSIndexPath_Extensions.h"
#include "FoundationExtensions/NSIndexSet+ZAKNSIndexSet_Extension.h"
#include "FoundationExtensions/NSMutableString+ZAKMutableStringExtension.h"
#include "FoundationExtensions/NSNumber+ZAKNSNumberExtensions.h"
#include "FoundationExtensions/NSSet+ZAKExtensions.h"
#include "FoundationExtensions/NSString+ZAKTruncation.h"
#include "FoundationExtensions/ZAKHashBytes.h"

namespace {

Ref<NSString> u16(const std::u16string& s) { return NSString::stringWithUTF16(s); }
std::string utf8(const Ref<NSString>& s) { return s ? s->UTF8String() : "nil"; }

std::vector<NSUInteger> indexesOf(const Ref<NSIndexSet>& set)
{
    std::vector<NSUInteger> out;
    set->enumerateIndexesUsingBlock([&](NSUInteger i, bool*) { out.push_back(i); });
    return out;
}

// Sets an environment variable for the object's lifetime.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value)
        : m_name(name)
    {
        if (const char* old = std::getenv(name)) m_old = old;
        setenv(name, value, 1);
    }
    ~ScopedEnv()
    {
        if (m_old) setenv(m_name, m_old->c_str(), 1);
        else unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

}

TEST(NumberExtension, WritesDecimalLettersAndRomanNumerals)
{
    struct Case {
        NSInteger type;
        uint64_t value;
        const char* expected;  // null: nil
    };
    const Case cases[] = {
        {0, 42, "42"},
        {0, 0, "NUL"},
        {1, 0, "NUL"},
        {3, 0, "NUL"},
        {7, 0, "NUL"},
        {1, 1, "A"},
        {1, 26, "Z"},
        {1, 27, "AA"},
        {1, 28, "AB"},
        {1, 52, "AZ"},
        {1, 53, "BA"},
        {1, 702, "ZZ"},
        {1, 703, "AAA"},
        {2, 1, "a"},
        {2, 27, "aa"},
        {3, 4, "IV"},
        {3, 9, "IX"},
        {3, 14, "XIV"},
        {3, 1994, "MCMXCIV"},
        {3, 3888, "MMMDCCCLXXXVIII"},
        {3, 4999, "MMMMCMXCIX"},
        {3, 5000, "NUL"},
        {4, 14, "xiv"},
        {4, 4000, "mmmm"},
        {5, 3, nullptr},
        {-1, 3, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " " + std::to_string(c.value));
        Ref<NSString> text = NSNumberExt::numberToStringWithType(NSNumber::numberWithUnsignedInteger(c.value), c.type);
        EXPECT_EQ(utf8(text), c.expected ? c.expected : "nil");
    }
}

TEST(TruncationExtension, CutsToTheLengthWithAnEllipsis)
{
    struct Case {
        std::u16string text;
        NSUInteger length;
        std::u16string expected;
    };
    const Case cases[] = {
        {u"abcdefgh", 5, u"abcd\u2026"},
        {u"abc", 5, u"abc"},
        {u"abcde", 5, u"abcde"},
        {u"ab", 1, u"\u2026"},
        {u"abc", 0, u"abc"},               // nothing sensible fits: unchanged
        {u"a\U0001F600b", 3, u"a\u2026"},  // the pair is not split
        {u"a\U0001F600b", 4, u"a\U0001F600b"},
        {u"ab\U0001F600c", 4, u"ab\u2026"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(utf8(u16(c.text)) + " " + std::to_string(c.length));
        EXPECT_EQ(NSStringExt::stringWithEllipsisByTruncatingToLength(u16(c.text), c.length)->utf16(), c.expected);
    }
    EXPECT_EQ(NSStringExt::ellipsis()->utf16(), u"\u2026");
    // A mutable string is answered as a copy.
    auto changing = NSMutableString::stringWithString("abc"_ns);
    Ref<NSString> copy = NSStringExt::stringWithEllipsisByTruncatingToLength(changing, 5);
    changing->appendString("d"_ns);
    EXPECT_EQ(utf8(copy), "abc");
}

TEST(MutableStringExtension, EscapesAndUnescapesEntities)
{
    struct Case {
        const char* name;
        void (*convert)(const Ref<NSMutableString>&);
        std::u16string text;
        std::u16string expected;
    };
    const auto html = NSMutableStringExt::HTMLEntities;
    const auto xml = NSMutableStringExt::XMLEntities;
    const auto toChars = NSMutableStringExt::XMLEntitiesToChars;
    const Case cases[] = {
        {"html markup", html, u"<a>\n\"&", u"&lt;a&gt;<br>&quot;&amp;"},
        {"html keeps ASCII", html, u"it's\tok~", u"it's\tok~"},
        {"html latin-1 names", html, u"\u00A0\u00E9\u00FF", u"&nbsp;&eacute;&yuml;"},
        {"html numeric", html, u"\u20AC\u0100", u"&#8364;&#256;"},
        {"html keeps specials", html, u"\uFFF0\uFFFD", u"\uFFF0\uFFFD"},
        {"html character beyond the BMP", html, u"x\U0001F600y", u"x&#128512;y"},
        {"html inserted text not escaped again", html, u"&amp;", u"&amp;amp;"},
        {"xml", xml, u"<'\"&>", u"&lt;&apos;&quot;&amp;&gt;"},
        {"xml keeps the rest", xml, u"\u00E9\n", u"\u00E9\n"},
        {"to chars", toChars, u"&lt;&gt;&amp;&quot;&apos;", u"<>&\"'"},
        {"to chars keeps other entities", toChars, u"&eacute; &LT; &amp x", u"&eacute; &LT; &amp x"},
        {"to chars unescapes once", toChars, u"&amp;lt;b&amp;gt;", u"&lt;b&gt;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto string = NSMutableString::stringWithString(u16(c.text));
        c.convert(string);
        EXPECT_EQ(string->utf16(), c.expected);
    }
}

TEST(IndexExtensions, IndexPathsAndInvertedIndexSets)
{
    auto path = NSIndexPath::indexPathWithIndexes({1, 4, 2});
    auto empty = NSIndexPath::indexPath();
    EXPECT_EQ(NSIndexPathExt::firstIndex(path), 1u);
    EXPECT_EQ(NSIndexPathExt::lastIndex(path), 2u);
    EXPECT_EQ(NSIndexPathExt::firstIndex(empty), static_cast<NSUInteger>(NSNotFound));
    EXPECT_EQ(NSIndexPathExt::lastIndex(empty), static_cast<NSUInteger>(NSNotFound));
    EXPECT_EQ(NSIndexPathExt::indexPathByIncrementingLastIndex(path)->indexes(), (std::vector<NSUInteger>{1, 4, 3}));
    EXPECT_EQ(NSIndexPathExt::indexPathByIncrementingLastIndex(empty)->length(), 0u);
    EXPECT_EQ(NSIndexPathExt::indexPathByReplacingIndexAtPosition(path, 1, 9)->indexes(),
              (std::vector<NSUInteger>{1, 9, 2}));
    EXPECT_EQ(NSIndexPathExt::indexPathByReplacingIndexAtPosition(path, 3, 9), path);
    EXPECT_EQ(path->indexes(), (std::vector<NSUInteger>{1, 4, 2}));

    struct Case {
        const char* name;
        NSRange range;
        std::vector<NSUInteger> expected;
    };
    const Case cases[] = {
        {"whole range", NSMakeRange(0, 5), {0, 2, 4}},
        {"part", NSMakeRange(2, 2), {2}},
        {"empty range", NSMakeRange(2, 0), {}},
        {"end overflows", NSMakeRange(10, NSUIntegerMax), {}},
    };
    auto set = NSMutableIndexSet::indexSet();
    set->addIndex(1);
    set->addIndex(3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(indexesOf(NSIndexSetExt::invertedIndexSetForRange(set, c.range)), c.expected);
    }
}

TEST(SetExtension, MembersOfClass)
{
    auto set = NSSet::setWithObjects({"a"_ns, NSNumber::numberWithInt(1), "b"_ns});
    EXPECT_TRUE(NSSetExt::hasMembersOfClass(set, NSString::staticClass()));
    EXPECT_FALSE(NSSetExt::hasMembersOfClass(set, NSDate::staticClass()));
    auto strings = NSSetExt::membersOfClass(set, NSString::staticClass());
    EXPECT_EQ(utf8(strings->componentsJoinedByString(","_ns)), "a,b");
    EXPECT_EQ(NSSetExt::membersOfClass(set, NSDate::staticClass())->count(), 0u);
}

TEST(FileManagerExtension, StandardFoldersOfTheUser)
{
    ScopedEnv documents("XDG_DOCUMENTS_DIR", "/tmp/fext-documents");
    ScopedEnv data("XDG_DATA_HOME", "/tmp/fext-data");
    ScopedEnv temporary("TMPDIR", "/tmp/fext-tmp");
    EXPECT_EQ(utf8(NSFileManagerExt::documentsDirectory()), "/tmp/fext-documents");
    EXPECT_EQ(utf8(NSFileManagerExt::preferencesDirectory()), "/tmp/fext-data");
    EXPECT_EQ(utf8(NSFileManagerExt::applicationSupportDirectory()), "/tmp/fext-data");
    EXPECT_EQ(utf8(NSFileManagerExt::usersDirectory()), "/home");
    EXPECT_EQ(utf8(NSFileManagerExt::temporaryFolder()), "/tmp/fext-tmp/");
}

TEST(ByteHash, FoldsHighBitsWithoutClearingThem)
{
    struct Case {
        std::string bytes;
        uint64_t expected;
    };
    const Case cases[] = {
        {"", 0},
        {"a", 0x61},
        {"ab", 0x672},
        {"abcdefgh", 0x6789abaa8},
        {std::string(9, '\xff'), 0x11000010fef},  // grows past 32 bits
        {"Plumbline guidelines", 0x9797b57c6d1798a3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(ZAKHashBytes(c.bytes.data(), c.bytes.size()), c.expected);
    }
}
