#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "Foundation/NSArray.h"
#include "Foundation/NSCharacterSet.h"
#include "Foundation/NSString.h"
#include "Foundation/NSUUID.h"

namespace {

std::string utf8(const Ref<NSString>& s) { return s ? s->UTF8String() : std::string("<nil>"); }

// Sets HOME for the test and restores it afterwards.
class StringPath : public testing::Test {
protected:
    void SetUp() override
    {
        if (const char* home = std::getenv("HOME")) m_savedHome = home, m_hadHome = true;
        setenv("HOME", "/home/tester", 1);
    }
    void TearDown() override
    {
        if (m_hadHome) setenv("HOME", m_savedHome.c_str(), 1);
        else unsetenv("HOME");
    }

private:
    std::string m_savedHome;
    bool m_hadHome = false;
};

}

TEST_F(StringPath, ComponentsAndExtensions)
{
    struct Case {
        const char* path;
        const char* last;
        const char* extension;
        const char* withoutLast;
        const char* withoutExtension;
    };
    const Case cases[] = {
        {"/tmp/scratch.tiff", "scratch.tiff", "tiff", "/tmp", "/tmp/scratch"},
        {"/tmp/scratch", "scratch", "", "/tmp", "/tmp/scratch"},
        {"/tmp/", "tmp", "", "/", "/tmp"},
        {"/tmp/lock/", "lock", "", "/tmp", "/tmp/lock"},
        {"scratch///", "scratch", "", "", "scratch"},
        {"/", "/", "", "/", "/"},
        {"", "", "", "", ""},
        {"scratch.tiff", "scratch.tiff", "tiff", "", "scratch"},
        {".scratch.tiff", ".scratch.tiff", "tiff", "", ".scratch"},
        {"/tmp/scratch..tiff", "scratch..tiff", "tiff", "/tmp", "/tmp/scratch."},
        {"/home/u/.profile", ".profile", "", "/home/u", "/home/u/.profile"},
        {"/a.b/c", "c", "", "/a.b", "/a.b/c"},
        {"scratch.bundle/", "scratch.bundle", "bundle", "", "scratch"},
        {"/tmp/r\u00E9sum\u00E9.p\u00E1ges", "r\u00E9sum\u00E9.p\u00E1ges", "p\u00E1ges", "/tmp",
         "/tmp/r\u00E9sum\u00E9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        Ref<NSString> path = NSString::stringWithUTF8String(c.path);
        EXPECT_EQ(utf8(path->lastPathComponent()), c.last);
        EXPECT_EQ(utf8(path->pathExtension()), c.extension);
        EXPECT_EQ(utf8(path->stringByDeletingLastPathComponent()), c.withoutLast);
        EXPECT_EQ(utf8(path->stringByDeletingPathExtension()), c.withoutExtension);
    }

    struct Append {
        const char* path;
        const char* component;
        const char* expected;
    };
    const Append appends[] = {
        {"/tmp", "scratch.tiff", "/tmp/scratch.tiff"},
        {"/tmp/", "scratch.tiff", "/tmp/scratch.tiff"},
        {"/", "scratch.tiff", "/scratch.tiff"},
        {"", "scratch.tiff", "scratch.tiff"},
        {"/tmp", "/a//b/", "/tmp/a/b"},
        {"/tmp", "", "/tmp"},
    };
    for (const Append& a : appends)
        EXPECT_EQ(utf8(NSString::stringWithUTF8String(a.path)->stringByAppendingPathComponent(
                      NSString::stringWithUTF8String(a.component))),
                  a.expected);
    EXPECT_EQ(utf8("/tmp/scratch.old"_ns->stringByAppendingPathExtension("tiff"_ns)), "/tmp/scratch.old.tiff");
    EXPECT_EQ(utf8("/tmp/"_ns->stringByAppendingPathExtension("tiff"_ns)), "/tmp.tiff");

    auto components = [](const char* path) {
        std::vector<std::string> out;
        Ref<NSArray> parts = NSString::stringWithUTF8String(path)->pathComponents();
        for (const Id& p : *parts) out.push_back(utf8(static_ref_cast<NSString>(p)));
        return out;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(components("/tmp/scratch.tiff"), (V{"/", "tmp", "scratch.tiff"}));
    EXPECT_EQ(components("tmp//scratch/"), (V{"tmp", "scratch", "/"}));
    EXPECT_EQ(components("/"), (V{"/"}));
    EXPECT_EQ(components(""), (V{}));
}

TEST_F(StringPath, TildeExpansionAndStandardizing)
{
    struct Case {
        const char* path;
        const char* expanded;
        const char* standardized;
    };
    const Case cases[] = {
        {"~", "/home/tester", "/home/tester"},
        {"~/", "/home/tester", "/home/tester"},
        {"~/Documents//notes/", "/home/tester/Documents/notes", "/home/tester/Documents/notes"},
        {"~/a/./b/../c", "/home/tester/a/./b/../c", "/home/tester/a/c"},
        {"~no-such-user-4711/x", "~no-such-user-4711/x", "~no-such-user-4711/x"},
        {"/tmp/~x", "/tmp/~x", "/tmp/~x"},
        {"/../a/./b//", "/../a/./b//", "/a/b"},
        {"a/../b", "a/../b", "a/../b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        Ref<NSString> path = NSString::stringWithUTF8String(c.path);
        EXPECT_EQ(utf8(path->stringByExpandingTildeInPath()), c.expanded);
        EXPECT_EQ(utf8(path->stringByStandardizingPath()), c.standardized);
    }
    EXPECT_EQ(utf8("~root/x"_ns->stringByExpandingTildeInPath()), "/root/x");
    EXPECT_TRUE("/tmp"_ns->isAbsolutePath());
    EXPECT_TRUE("~/x"_ns->isAbsolutePath());
    EXPECT_FALSE("tmp/x"_ns->isAbsolutePath());
    EXPECT_FALSE(""_ns->isAbsolutePath());
}

TEST(StringPercentEscapes, RoundTripOnNonASCII)
{
    Ref<NSString> text = u"h\u00E9llo w\u00F6rld/\u00E4?x=1&y=%#\U0001F600"_ns;
    Ref<NSString> escaped = text->stringByAddingPercentEscapesUsingEncoding(NSUTF8StringEncoding);
    EXPECT_EQ(utf8(escaped), "h%C3%A9llo%20w%C3%B6rld/%C3%A4?x=1&y=%25#%F0%9F%98%80");
    EXPECT_TRUE(escaped->stringByRemovingPercentEncoding()->isEqualToString(text));
    EXPECT_TRUE(escaped->stringByReplacingPercentEscapesUsingEncoding(NSUTF8StringEncoding)->isEqualToString(text));

    Ref<NSString> strict =
        text->stringByAddingPercentEncodingWithAllowedCharacters(NSCharacterSet::alphanumericCharacterSet());
    // Letters outside ASCII are alphanumeric too, so they stay.
    EXPECT_EQ(utf8(strict), "h\u00E9llo%20w\u00F6rld%2F\u00E4%3Fx%3D1%26y%3D%25%23%F0%9F%98%80");
    EXPECT_TRUE(strict->stringByRemovingPercentEncoding()->isEqualToString(text));

    struct Case {
        const char* text;
        const char* decoded;  // null: nil
    };
    const Case cases[] = {
        {"%E2%82%ac", "\u20AC"}, {"a+b", "a+b"},  {"plain", "plain"}, {"%zz", nullptr},
        {"100%", nullptr},       {"%4", nullptr}, {"%C3", nullptr},   {"%C3%28", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Ref<NSString> decoded = NSString::stringWithUTF8String(c.text)->stringByRemovingPercentEncoding();
        if (!c.decoded) EXPECT_FALSE(decoded);
        else EXPECT_EQ(utf8(decoded), c.decoded);
    }
    EXPECT_EQ("%00x"_ns->stringByRemovingPercentEncoding()->utf16(), std::u16string(u"\0x", 2));
}

TEST(UUID, UpperCaseGroupsFromRandomBits)
{
    std::regex form("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
    std::string first = utf8(NSUUID::UUID()->UUIDString());
    std::string second = utf8(NSUUID::UUID()->UUIDString());
    EXPECT_TRUE(std::regex_match(first, form)) << first;
    EXPECT_TRUE(std::regex_match(second, form)) << second;
    EXPECT_NE(first, second);
}
