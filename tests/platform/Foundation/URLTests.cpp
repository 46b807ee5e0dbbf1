#include <gtest/gtest.h>

#include "Foundation/NSURL.h"
#include "Foundation/PercentEscapes.h"
#include "TemporaryFolder.h"

namespace {

std::string text(const Ref<NSString>& s) { return s ? s->UTF8String() : "nil"; }

}

TEST(URL, AcceptsOnlyURIReferences)
{
    const char* accepted[] = {
        "http://example.com",
        "https://user:pw@example.com:8080/a/b.html?q=1&r=%20#frag",
        "mailto:someone@example.com?subject=Hello%20there",
        "file:///tmp/a%20b.txt",
        "ftp://[2001:db8::1]:21/",
        "http://[v1.fe80::a]/",
        "http://192.168.0.1/",
        "urn:isbn:0451450523",
        "x-custom+scheme.v1:opaque",
        "relative/path",
        "/absolute/path",
        "//host.only",
        "?query-only",
        "#fragment-only",
        "a:b",
        "http://example.com/%7Euser/!$&'()*+,;=:@",
    };
    const char* rejected[] = {
        "",
        "http://exa mple.com",
        "http://example.com/a b",
        "http://example.com/%",
        "http://example.com/%zz",
        "http://example.com/%2",
        "1http://example.com",
        "ht^tp://example.com",
        ":no-scheme",
        "http://example.com/\u00E9",
        "http://[::1/",
        "http://[not-ip]/",
        "http://host:80a/",
        "http://example.com/<tag>",
        "http://example.com/{x}",
        "http://example.com/a\"b",
        "http://example.com/#frag#again",
        "this:is:fine but space",
        "relative:path with colon",
    };
    for (const char* s : accepted) EXPECT_TRUE(NSURL::URLWithString(NSString::stringWithUTF8String(s))) << s;
    for (const char* s : rejected) EXPECT_FALSE(NSURL::URLWithString(NSString::stringWithUTF8String(s))) << s;
    EXPECT_FALSE(NSURL::URLWithString(nullptr));
}

TEST(URL, Components)
{
    auto u = NSURL::URLWithString("HTTPS://user:pw@Example.com:8080/dir/My%20File.tar.gz/?q=a%20b#top"_ns);
    ASSERT_TRUE(u);
    EXPECT_EQ(text(u->scheme()), "HTTPS");
    EXPECT_EQ(text(u->host()), "Example.com");
    EXPECT_EQ(u->port()->integerValue(), 8080);
    EXPECT_EQ(text(u->user()), "user");
    EXPECT_EQ(text(u->password()), "pw");
    EXPECT_EQ(text(u->path()), "/dir/My File.tar.gz");
    EXPECT_EQ(text(u->query()), "q=a%20b");
    EXPECT_EQ(text(u->fragment()), "top");
    EXPECT_EQ(text(u->lastPathComponent()), "My File.tar.gz");
    EXPECT_EQ(text(u->pathExtension()), "gz");
    EXPECT_FALSE(u->isFileURL());

    auto bare = NSURL::URLWithString("http://example.com"_ns);
    EXPECT_EQ(text(bare->path()), "");
    EXPECT_FALSE(bare->port());
    EXPECT_FALSE(bare->query());
    EXPECT_FALSE(bare->fragment());
    EXPECT_EQ(text(NSURL::URLWithString("http://[::1]:99/"_ns)->host()), "::1");
    auto mail = NSURL::URLWithString("mailto:a@b.c"_ns);
    EXPECT_EQ(text(mail->scheme()), "mailto");
    EXPECT_FALSE(mail->host());
    EXPECT_EQ(text(mail->path()), "a@b.c");
}

TEST(URL, FileURLsAndAppending)
{
    TemporaryFolder f;
    writeFile(f / "dir/x", "");
    auto file = NSURL::fileURLWithPath(f.ns("a b#?.txt"));
    EXPECT_TRUE(file->isFileURL());
    EXPECT_EQ(text(file->absoluteString()), "file://" + f.path() + "/a%20b%23%3F.txt");
    EXPECT_EQ(text(file->path()), f / "a b#?.txt");
    EXPECT_EQ(text(file->lastPathComponent()), "a b#?.txt");
    auto dir = NSURL::fileURLWithPath(f.ns("dir"));
    EXPECT_EQ(text(dir->absoluteString()), "file://" + f.path() + "/dir/");
    EXPECT_EQ(text(dir->path()), f / "dir");
    EXPECT_EQ(text(dir->URLByAppendingPathComponent("x y"_ns)->absoluteString()), "file://" + f.path() + "/dir/x%20y");
    EXPECT_EQ(text(NSURL::URLWithString("http://h"_ns)->URLByAppendingPathComponent("p"_ns)->absoluteString()),
              "http://h/p");
    EXPECT_EQ(text(NSURL::URLWithString("http://h/a?q"_ns)->URLByAppendingPathComponent("b"_ns)->absoluteString()),
              "http://h/a/b?q");
}

TEST(URL, RelativeReferencesResolveAgainstTheBase)
{
    auto base = NSURL::URLWithString("http://a/b/c/d;p?q"_ns);
    const std::pair<const char*, const char*> cases[] = {
        {"g", "http://a/b/c/g"},
        {"./g", "http://a/b/c/g"},
        {"g/", "http://a/b/c/g/"},
        {"/g", "http://a/g"},
        {"//g", "http://g"},
        {"?y", "http://a/b/c/d;p?y"},
        {"g?y", "http://a/b/c/g?y"},
        {"#s", "http://a/b/c/d;p?q#s"},
        {"", "http://a/b/c/d;p?q"},
        {"..", "http://a/b/"},
        {"../g", "http://a/b/g"},
        {"../../../g", "http://a/g"},
        {"g;x=1/../y", "http://a/b/c/y"},
        {"https:x", "https:x"},
    };
    for (const auto& [reference, expected] : cases) {
        auto u = NSURL::URLWithString(NSString::stringWithUTF8String(reference), base);
        // An empty reference answers nil, as URLWithString does.
        if (!*reference) {
            EXPECT_FALSE(u);
            continue;
        }
        ASSERT_TRUE(u) << reference;
        EXPECT_EQ(text(u->absoluteString()), expected) << reference;
        EXPECT_EQ(text(u->relativeString()), reference);
    }
}

TEST(URL, EqualityIsByAbsoluteString)
{
    auto base = NSURL::URLWithString("http://a/b/"_ns);
    auto relative = NSURL::URLWithString("c"_ns, base);
    auto absolute = NSURL::URLWithString("http://a/b/c"_ns);
    EXPECT_TRUE(relative->isEqual(absolute.get()));
    EXPECT_EQ(relative->hash(), absolute->hash());
    EXPECT_FALSE(absolute->isEqual(NSURL::URLWithString("http://a/b/c/"_ns).get()));
    EXPECT_FALSE(absolute->isEqual("http://a/b/c"_ns.get()));
}

TEST(URL, ResolvedURLsParseBackToThemselves)
{
    // A path beginning with "//" and no authority would be read back with a
    // host; "/." in front keeps it a path.
    auto u = NSURL::URLWithString("..//evil.com/x"_ns, NSURL::URLWithString("http:/a/b"_ns));
    ASSERT_TRUE(u);
    EXPECT_EQ(text(u->absoluteString()), "http:/.//evil.com/x");
    EXPECT_FALSE(u->host());
    auto again = NSURL::URLWithString(u->absoluteString());
    ASSERT_TRUE(again);
    EXPECT_FALSE(again->host());
    EXPECT_TRUE(again->isEqual(u.get()));

    // Against a relative base, "." leaves nothing: no URL.
    EXPECT_FALSE(NSURL::URLWithString("."_ns, NSURL::URLWithString("!"_ns)));

    const char16_t withNul[] = u"http://a.example/\0evil";
    EXPECT_FALSE(NSURL::URLWithString(NSString::stringWithUTF16(std::u16string(withNul, 22))));
    EXPECT_FALSE(NSURL::URLWithString(NSString::stringWithUTF16(std::u16string(u"\0", 1)), u));
}

TEST(PercentEscapes, EveryByteRoundTripsAndMalformedEscapesStayText)
{
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    std::string encoded = PercentEscapes::encode(all, [](unsigned char c) { return c >= 'a' && c <= 'z'; });
    EXPECT_EQ(encoded.substr(0, 6), "%00%01");
    EXPECT_NE(encoded.find("%2F"), std::string::npos);
    EXPECT_NE(encoded.find("abc"), std::string::npos);
    EXPECT_EQ(PercentEscapes::decode(encoded), all);

    struct Case {
        const char* text;
        const char* decoded;
    } cases[] = {
        {"a%2fb", "a/b"}, {"%", "%"}, {"%4", "%4"}, {"%4g", "%4g"}, {"%%41", "%A"}, {"50%", "50%"}, {"%41%42", "AB"},
    };
    for (const Case& c : cases) EXPECT_EQ(PercentEscapes::decode(c.text), c.decoded) << c.text;
}
