#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>

#include "Foundation/NSData.h"
#include "Foundation/NSError.h"
#include "Foundation/NSException.h"

namespace {

Ref<NSData> bytes(std::string_view s) { return NSData::dataWithBytes(s.data(), s.size()); }

Ref<NSData> decode(const char* text)
{
    return NSObject::alloc<NSData>()->initWithBase64EncodedString(NSString::stringWithUTF8String(text));
}

// A scratch folder removed at the end of the test.
struct ScratchFolder {
    std::filesystem::path path;
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "data-tests-XXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~ScratchFolder() { std::filesystem::remove_all(path); }
    Ref<NSString> file(const char* name) const { return NSString::stringWithUTF8String((path / name).string()); }
};

}

TEST(Data, Base64RoundTripsAndRejectsMalformedText)
{
    struct Case {
        const char* plain;
        const char* encoded;
    } cases[] = {{"", ""},        {"f", "Zg=="},        {"fo", "Zm8="},
                 {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {"\xff\xfe\x00?", "//4APw=="}};
    for (const auto& c : cases) {
        auto data = bytes(std::string_view(c.plain, c.plain[0] == '\xff' ? 4 : std::strlen(c.plain)));
        EXPECT_EQ(data->base64EncodedString()->UTF8String(), c.encoded);
        auto back = decode(c.encoded);
        ASSERT_TRUE(back) << c.encoded;
        EXPECT_TRUE(back->isEqualToData(data)) << c.encoded;
    }
    for (const char* bad : {"Zg", "Zg=", "Z===", "Zg==Zg==", "Zm9v\n", "Zm=v", "Zm 9v", "Zm9\xc3\xa9"})
        EXPECT_FALSE(decode(bad)) << bad;
}

TEST(Data, GetBytesChecksTheRange)
{
    auto data = bytes("abcdef");
    char buffer[8] = {};
    data->getBytes(buffer, NSMakeRange(2, 3));
    EXPECT_STREQ(buffer, "cde");
    data->getBytes(buffer, NSMakeRange(6, 0));
    EXPECT_THROW(data->getBytes(buffer, NSMakeRange(4, 3)), NSException);
    EXPECT_THROW(data->getBytes(buffer, NSMakeRange(NSUIntegerMax, 2)), NSException);
    char small[3] = {};
    data->getBytes(small, 2);
    EXPECT_EQ(std::string(small, 2), "ab");
}

TEST(Data, ReadingFilesReportsWhyItFailed)
{
    ScratchFolder folder;
    auto path = folder.file("present.bin");
    ASSERT_TRUE(bytes("content")->writeToFile(path, true));
    Ref<NSError> error;
    auto data = NSData::dataWithContentsOfFile(path, 0, &error);
    ASSERT_TRUE(data);
    EXPECT_EQ(std::string(data->view()), "content");
    EXPECT_FALSE(error);

    struct Case {
        const char* name;
        Ref<NSString> path;
        NSInteger code;
    } cases[] = {
        {"missing file", folder.file("missing.bin"), NSFileReadNoSuchFileError},
        {"missing folder", folder.file("nowhere/missing.bin"), NSFileReadNoSuchFileError},
        // A directory is not readable data, never an empty success.
        {"directory", NSString::stringWithUTF8String(folder.path.string()), NSFileReadUnknownError},
    };
    for (const auto& c : cases) {
        Ref<NSError> e;
        EXPECT_FALSE(NSData::dataWithContentsOfFile(c.path, 0, &e)) << c.name;
        EXPECT_FALSE(NSData::dataWithContentsOfFile(c.path)) << c.name;
        ASSERT_TRUE(e) << c.name;
        EXPECT_TRUE(e->domain()->isEqualToString(NSCocoaErrorDomain())) << c.name;
        EXPECT_EQ(e->code(), c.code) << c.name;
        EXPECT_TRUE(c.path->isEqual(e->userInfo()->objectForKey(NSFilePathErrorKey()).get())) << c.name;
        ASSERT_TRUE(e->underlyingError()) << c.name;
        EXPECT_TRUE(e->underlyingError()->domain()->isEqualToString(NSPOSIXErrorDomain())) << c.name;
    }
    if (geteuid() != 0) {
        auto locked = folder.file("locked.bin");
        ASSERT_TRUE(bytes("x")->writeToFile(locked, false));
        std::filesystem::permissions(folder.path / "locked.bin", std::filesystem::perms::none);
        Ref<NSError> e;
        EXPECT_FALSE(NSData::dataWithContentsOfFile(locked, 0, &e));
        ASSERT_TRUE(e);
        EXPECT_EQ(e->code(), NSFileReadNoPermissionError);
    }
}

TEST(Error, UserInfoHelpers)
{
    auto underlying = NSError::errorWithPOSIXCode(ENOENT);
    auto info = NSMutableDictionary::dictionary();
    info->setObject("Could not open the file."_ns, NSLocalizedDescriptionKey());
    info->setObject("It is missing."_ns, NSLocalizedFailureReasonErrorKey());
    info->setObject("Choose another file."_ns, NSLocalizedRecoverySuggestionErrorKey());
    info->setObject(underlying, NSUnderlyingErrorKey());
    auto error = NSError::errorWithDomain("Test"_ns, 7, info);
    info->removeAllObjects();  // the error keeps its own copy
    EXPECT_EQ(error->localizedDescription()->UTF8String(), "Could not open the file.");
    EXPECT_EQ(error->localizedFailureReason()->UTF8String(), "It is missing.");
    EXPECT_EQ(error->localizedRecoverySuggestion()->UTF8String(), "Choose another file.");
    EXPECT_FALSE(error->localizedRecoveryOptions());
    EXPECT_EQ(error->underlyingError().get(), underlying.get());
    EXPECT_EQ(underlying->code(), ENOENT);

    auto bare = NSError::errorWithDomain("Test"_ns, 7, nullptr);
    EXPECT_EQ(bare->localizedDescription()->UTF8String(), "The operation couldn\u2019t be completed. (Test error 7.)");
    EXPECT_FALSE(bare->localizedFailureReason());
    EXPECT_FALSE(bare->underlyingError());
    EXPECT_TRUE(bare->isEqual(NSError::errorWithDomain("Test"_ns, 7, NSDictionary::dictionary()).get()));
    EXPECT_FALSE(bare->isEqual(NSError::errorWithDomain("Test"_ns, 8, nullptr).get()));
}
