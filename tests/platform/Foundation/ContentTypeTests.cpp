#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "Foundation/LSInfo.h"
#include "Foundation/UTType.h"
#include "TemporaryFolder.h"

namespace {
std::string text(const Ref<NSString>& s) { return s ? s->UTF8String() : "nil"; }
Ref<NSString> ns(const char* s) { return s ? NSString::stringWithUTF8String(s) : nullptr; }
}

TEST(ContentType, ConformanceFollowsTheTypeTable)
{
    struct Case {
        const char* type;
        const char* conformsTo;
        bool expected;
    } cases[] = {
        {"public.png", "public.png", true},
        {"public.png", "public.image", true},
        {"public.png", "public.data", true},
        {"public.png", "public.item", true},
        {"public.png", "public.content", true},
        {"PUBLIC.PNG", "Public.Image", true},
        {"public.image", "public.png", false},
        {"public.png", "public.text", false},
        {"public.mpeg-4", "public.movie", true},
        {"com.apple.quicktime-movie", "public.movie", true},
        {"public.mp3", "public.movie", false},
        {"public.mp3", "public.audiovisual-content", true},
        {"com.apple.quartz-composer-composition", "com.apple.quartz-composer-composition", true},
        {"com.apple.quartz-composer-composition", "public.movie", false},
        {"public.c-plus-plus-source", "public.plain-text", true},
        {"public.comma-separated-values-text", "public.text", true},
        {"com.apple.crashreport", "public.text", true},
        {"com.adobe.pdf", "public.composite-content", true},
        {"public.folder", "public.directory", true},
        {"public.folder", "public.data", false},
        {"com.apple.application-bundle", "com.apple.package", true},
        {"com.example.unknown", "com.example.unknown", true},
        {"com.example.unknown", "public.item", false},
        {nullptr, "public.item", false},
        {"public.png", nullptr, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UTTypeConformsTo(ns(c.type), ns(c.conformsTo)), c.expected)
            << (c.type ? c.type : "nil") << " -> " << (c.conformsTo ? c.conformsTo : "nil");
}

TEST(ContentType, ExtensionsMapToTypesAndUnknownOnesToDynamicData)
{
    auto ext = kUTTagClassFilenameExtension();
    struct Case {
        const char* extension;
        const char* conformingTo;
        const char* expected;
    } cases[] = {
        {"png", nullptr, "public.png"},
        {"JPG", nullptr, "public.jpeg"},
        {"jpeg", "public.image", "public.jpeg"},
        {"txt", nullptr, "public.plain-text"},
        {"crash", nullptr, "com.apple.crashreport"},
        {"mov", "public.movie", "com.apple.quicktime-movie"},
        {"qtz", nullptr, "com.apple.quartz-composer-composition"},
        {"app", nullptr, "com.apple.application-bundle"},
        {"png", "public.text", nullptr},  // dynamic
        {"xyz", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.extension);
        auto type = UTTypeCreatePreferredIdentifierForTag(ext, ns(c.extension), ns(c.conformingTo));
        ASSERT_NE(type, nullptr);
        if (c.expected) {
            EXPECT_EQ(text(type), c.expected);
            continue;
        }
        EXPECT_TRUE(text(type).starts_with("dyn."));
        EXPECT_TRUE(UTTypeConformsTo(type, kUTTypeData()));
        EXPECT_TRUE(UTTypeConformsTo(type, kUTTypeItem()));
        EXPECT_FALSE(UTTypeConformsTo(type, kUTTypeImage()));
    }
    // Different unknown extensions stay different types; case does not matter.
    auto a = UTTypeCreatePreferredIdentifierForTag(ext, "abc"_ns, nullptr);
    EXPECT_FALSE(UTTypeEqual(a, UTTypeCreatePreferredIdentifierForTag(ext, "abd"_ns, nullptr)));
    EXPECT_TRUE(UTTypeEqual(a, UTTypeCreatePreferredIdentifierForTag(ext, "ABC"_ns, nullptr)));
    EXPECT_EQ(UTTypeCreatePreferredIdentifierForTag(ext, ""_ns, nullptr), nullptr);
    EXPECT_EQ(UTTypeCreatePreferredIdentifierForTag("public.mime-type"_ns, "image/png"_ns, nullptr), nullptr);
}

TEST(ContentType, ItemsOnDiskHaveTheTypeOfTheirKindAndExtension)
{
    TemporaryFolder folder;
    writeFile(folder / "picture.PNG", "x");
    writeFile(folder / "notes.txt", "x");
    writeFile(folder / "README", "x");
    writeFile(folder / "data.unknownext", "x");
    writeFile(folder / "Tool.app/Contents/Info.plist", "x");
    std::filesystem::create_directories(folder / "photos.png");
    ASSERT_EQ(::symlink((folder / "picture.PNG").c_str(), (folder / "link").c_str()), 0);
    ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);

    struct Case {
        std::string name;
        const char* expected;
    } cases[] = {
        {"picture.PNG", "public.png"},   {"notes.txt", "public.plain-text"},
        {"README", "public.data"},       {"Tool.app", "com.apple.application-bundle"},
        {"photos.png", "public.folder"}, {"", "public.folder"},
        {"link", "public.data"},  // the link's own name has no extension; its target is followed
        {"pipe", "public.item"},         {"missing.png", nullptr},
    };
    for (const auto& c : cases) {
        auto type = LSItemContentTypeForPath(folder.ns(c.name));
        EXPECT_EQ(text(type), c.expected ? c.expected : "nil") << c.name;
    }
    auto unknown = LSItemContentTypeForPath(folder.ns("data.unknownext"));
    EXPECT_TRUE(text(unknown).starts_with("dyn."));
    EXPECT_TRUE(UTTypeConformsTo(unknown, kUTTypeData()));
    EXPECT_EQ(LSItemContentTypeForPath(nullptr), nullptr);
}
