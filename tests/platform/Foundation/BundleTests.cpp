#include <gtest/gtest.h>

#include "Foundation/NSBundle.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSStringsFile.h"
#include "Foundation/NSURL.h"
#include "LogCapture.h"
#include "TemporaryFolder.h"

namespace {

Ref<NSDictionary> parse(const std::string& bytes)
{
    return NSStringsTableFromData(NSData::dataWithBytes(bytes.data(), bytes.size()), "test.strings");
}

std::u16string entry(const Ref<NSDictionary>& table, const char* key)
{
    auto value = dynamic_ref_cast<NSString>(table->objectForKey(NSString::stringWithUTF8String(key)));
    return value ? value->utf16() : u"<missing>";
}

std::string utf16(const std::u16string& text, bool bigEndian)
{
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : text) {
        char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
        out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return out;
}

// A bundle folder with an Info dictionary and English and German tables.
struct BundleFixture {
    TemporaryFolder folder;
    BundleFixture()
    {
        writeFile(folder / "Info.plist",
                  "<plist version=\"1.0\"><dict><key>CFBundleIdentifier</key><string>org.example.Fixture</string>"
                  "<key>CFBundleName</key><string>Fixture</string><key>CFBundleVersion</key><string>3</string>"
                  "</dict></plist>");
        writeFile(folder / "en.lproj/Localizable.strings",
                  "/* Menu item */\n\"Customize\" = \"Customize Encodings List\\U2026\";\n\"Hello\" = \"Hello\";\n");
        writeFile(folder / "en.lproj/Other.strings", "\"Hello\" = \"Hello from Other\";");
        writeFile(folder / "en.lproj/InfoPlist.strings", "CFBundleName = \"Fixture (English)\";");
        writeFile(folder / "de.lproj/Localizable.strings", utf16(u"\"Hello\" = \"Hallo\";", false));
        writeFile(folder / "en.lproj/Help.html", "help");
        writeFile(folder / "image.png", "png");
        writeFile(folder / "Interfaces/Main.json", "{}");
        writeFile(folder / "Interfaces/About.json", "{}");
        writeFile(folder / "Interfaces/notes.txt", "");
    }
    Ref<NSBundle> bundle() const { return NSBundle::bundleWithPath(folder.ns()); }
};

}

TEST(StringsFile, ParsesEntriesEscapesAndComments)
{
    struct Case {
        const char* text;
        const char* key;
        std::u16string value;
    };
    const Case cases[] = {
        {"\"a\" = \"b\";", "a", u"b"},
        {"/* c */ \"a\" /* d */ = // e\n \"b\" ;", "a", u"b"},
        {"plain.key_1-2 = value.1;", "plain.key_1-2", u"value.1"},
        {"\"solo\";", "solo", u"solo"},
        {"\"q\" = \"say \\\"hi\\\"\";", "q", u"say \"hi\""},
        {"\"b\" = \"back\\\\slash\";", "b", u"back\\slash"},
        {"\"n\" = \"1\\n2\\t3\\r\";", "n", u"1\n2\t3\r"},
        {"\"e\" = \"more\\U2026\";", "e", u"more\u2026"},
        {"\"u\" = \"\\u00e9\";", "u", u"\u00E9"},
        {"\"s\" = \"\\UD83D\\UDE00\";", "s", u"\U0001F600"},
        {"\"k\\U2026\" = \"v\";", "k\u2026", u"v"},
        {"\"utf8\" = \"caf\u00E9 \u2192\";", "utf8", u"caf\u00E9 \u2192"},
        {"\xEF\xBB\xBF\"bom\" = \"x\";", "bom", u"x"},
        {"\"dup\" = \"1\"; \"dup\" = \"2\";", "dup", u"2"},
    };
    for (const Case& c : cases) {
        LogCapture log;
        EXPECT_EQ(entry(parse(c.text), c.key), c.value) << c.text;
        EXPECT_TRUE(log.lines().empty()) << c.text;
    }
}

TEST(StringsFile, ReadsUTF16WithEitherByteOrder)
{
    std::u16string text = u"/* \u00FC */ \"key\" = \"value \u2026 \U0001F600\";";
    for (bool bigEndian : {false, true}) {
        auto table = parse(utf16(text, bigEndian));
        EXPECT_EQ(entry(table, "key"), u"value \u2026 \U0001F600") << bigEndian;
    }
}

TEST(StringsFile, MalformedInputLogsOnceAndKeepsWhatCameBefore)
{
    const char* cases[] = {
        "\"a\" = \"1\";\n\"b\" = \"2\" \"c\" = \"3\";",  // missing ';'
        "\"a\" = \"1\";\n\"b\" = \"unterminated",
        "\"a\" = \"1\";\n/* unterminated comment",
        "\"a\" = \"1\";\n\"b\" = ;",
        "\"a\" = \"1\";\n\"b\" = \"\\U\";",
        "\"a\" = \"1\";\n#b = \"2\";",
    };
    for (const char* text : cases) {
        LogCapture log;
        auto table = parse(text);
        EXPECT_EQ(entry(table, "a"), u"1") << text;
        EXPECT_EQ(table->count(), 1u) << text;
        ASSERT_EQ(log.lines().size(), 1u) << text;
        EXPECT_NE(log.lines()[0].find("test.strings"), std::string::npos);
        EXPECT_NE(log.lines()[0].find("line 2"), std::string::npos) << log.lines()[0];
    }
    LogCapture log;
    EXPECT_EQ(parse("\"a\" = \"\xC3\x28\";")->count(), 0u);  // not UTF-8
    EXPECT_EQ(log.lines().size(), 1u);
}

TEST(Bundle, LocalizedStringsAnswerTheValueOrElseTheKey)
{
    BundleFixture f;
    auto b = f.bundle();
    ASSERT_TRUE(b);
    EXPECT_EQ(b->localizedStringForKey("Customize"_ns, ""_ns, nullptr)->utf16(), u"Customize Encodings List\u2026");
    EXPECT_TRUE(b->localizedStringForKey("Hello"_ns, nullptr, "Other"_ns)->isEqualToString("Hello from Other"_ns));
    // Missing entries, missing tables.
    EXPECT_TRUE(b->localizedStringForKey("LSMissing"_ns, ""_ns, nullptr)->isEqualToString("LSMissing"_ns));
    EXPECT_TRUE(b->localizedStringForKey("LSMissing"_ns, nullptr, nullptr)->isEqualToString("LSMissing"_ns));
    EXPECT_TRUE(b->localizedStringForKey("LSMissing"_ns, "Default"_ns, nullptr)->isEqualToString("Default"_ns));
    EXPECT_TRUE(b->localizedStringForKey("Hello"_ns, ""_ns, "NoSuchTable"_ns)->isEqualToString("Hello"_ns));
    EXPECT_TRUE(NSLocalizedStringWithDefaultValue("Customize"_ns, nullptr, b, ""_ns, ""_ns)
                    ->utf16()
                    .starts_with(u"Customize Enc"));
}

TEST(Bundle, LanguageComesFromTheEnvironment)
{
    BundleFixture f;
    auto b = f.bundle();
    {
        ScopedEnvironment lang("LC_ALL", "de_DE.UTF-8");
        EXPECT_TRUE(b->localizedStringForKey("Hello"_ns, ""_ns, nullptr)->isEqualToString("Hallo"_ns));
        // A table only English has.
        EXPECT_TRUE(b->localizedStringForKey("Hello"_ns, ""_ns, "Other"_ns)->isEqualToString("Hello from Other"_ns));
    }
    {
        ScopedEnvironment lang("LC_ALL", "fr_FR.UTF-8");
        EXPECT_TRUE(b->localizedStringForKey("Hello"_ns, ""_ns, nullptr)->isEqualToString("Hello"_ns));
        EXPECT_TRUE(dynamic_ref_cast<NSString>(b->preferredLocalizations()->firstObject())->isEqualToString("en"_ns));
    }
    EXPECT_EQ(b->localizations()->count(), 2u);
}

TEST(Bundle, InfoDictionaryAndLocalizedInfo)
{
    BundleFixture f;
    auto b = f.bundle();
    EXPECT_TRUE(b->bundleIdentifier()->isEqualToString("org.example.Fixture"_ns));
    EXPECT_TRUE(dynamic_ref_cast<NSString>(b->infoDictionary()->objectForKey("CFBundleName"_ns))
                    ->isEqualToString("Fixture"_ns));
    EXPECT_TRUE(dynamic_ref_cast<NSString>(b->objectForInfoDictionaryKey("CFBundleName"_ns))
                    ->isEqualToString("Fixture (English)"_ns));
    EXPECT_TRUE(dynamic_ref_cast<NSString>(b->localizedInfoDictionary()->objectForKey("CFBundleVersion"_ns))
                    ->isEqualToString("3"_ns));
    EXPECT_FALSE(b->objectForInfoDictionaryKey("NoSuchKey"_ns));
}

TEST(Bundle, FindsResourcesByNameTypeAndFolder)
{
    BundleFixture f;
    auto b = f.bundle();
    auto path = [&](const char* name, const char* type, const char* dir = nullptr) -> std::string {
        auto p = b->pathForResource(NSString::stringWithUTF8String(name),
                                    type ? NSString::stringWithUTF8String(type) : nullptr,
                                    dir ? NSString::stringWithUTF8String(dir) : nullptr);
        return p ? p->UTF8String() : "nil";
    };
    std::string root = b->bundlePath()->UTF8String();
    EXPECT_EQ(path("image", "png"), root + "/image.png");
    EXPECT_EQ(path("image.png", nullptr), root + "/image.png");
    EXPECT_EQ(path("image", ""), "nil");
    EXPECT_EQ(path("Help", "html"), root + "/en.lproj/Help.html");
    EXPECT_EQ(path("Main", "json", "Interfaces"), root + "/Interfaces/Main.json");
    EXPECT_EQ(path("Main", "json"), "nil");
    EXPECT_EQ(b->pathForImageResource("image"_ns)->UTF8String(), root + "/image.png");
    auto all = b->pathsForResourcesOfType("json"_ns, "Interfaces"_ns);
    ASSERT_EQ(all->count(), 2u);
    EXPECT_EQ(dynamic_ref_cast<NSString>(all->objectAtIndex(0))->UTF8String(), root + "/Interfaces/About.json");
    auto url = b->URLForResource("image"_ns, "png"_ns);
    ASSERT_TRUE(url);
    EXPECT_TRUE(url->isFileURL());
    EXPECT_EQ(url->path()->UTF8String(), root + "/image.png");
}

TEST(Bundle, BundlesAreFoundByPathAndByClass)
{
    BundleFixture f;
    EXPECT_EQ(f.bundle(), f.bundle());
    EXPECT_FALSE(NSBundle::bundleWithPath(f.folder.ns("missing")));
    EXPECT_FALSE(NSBundle::bundleWithPath(f.folder.ns("image.png")));

    auto main = NSBundle::mainBundle();
    ASSERT_TRUE(main);
    EXPECT_TRUE(main->bundleIdentifier()->isEqualToString("org.plumbline.Plumbline"_ns));
    EXPECT_EQ(NSBundle::bundleForClass(NSString::staticClass()), main);

    // Registered by name before any class of that name exists.
    NSBundle::registerClassBundle("BundleTestsNotYetWrittenClass", f.folder.path());
    EXPECT_EQ(NSBundle::bundleForClassNamed("BundleTestsNotYetWrittenClass"), f.bundle());
    EXPECT_EQ(NSBundle::bundleForClassNamed("UnregisteredClass"), main);
}
