#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "Foundation/NSDate.h"
#include "Foundation/NSDirectoryEnumerator.h"
#include "Foundation/NSFileManager.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSPathUtilities.h"
#include "Foundation/NSProcessInfo.h"
#include "TemporaryFolder.h"

namespace {

std::vector<std::string> strings(const Ref<NSArray>& array)
{
    std::vector<std::string> out;
    if (array)
        for (const Id& o : array->objects()) out.push_back(dynamic_ref_cast<NSString>(o)->UTF8String());
    return out;
}

// b/ and b/a/ hold files; c links to b; names differ in case.
void makeTree(const TemporaryFolder& f)
{
    writeFile(f / "b/z.txt", "z");
    writeFile(f / "b/a/deep.txt", "deep");
    writeFile(f / "a.txt", "a");
    writeFile(f / "B.txt", "B");
    std::filesystem::create_directory(f / "b/empty");
    std::filesystem::create_directory_symlink(f / "b", f / "c");
}

}

TEST(FileManager, EnumerationIsSortedByNameAndDepthFirst)
{
    TemporaryFolder f;
    makeTree(f);
    auto fm = NSFileManager::defaultManager();
    auto e = fm->enumeratorAtPath(f.ns());
    ASSERT_TRUE(e);
    EXPECT_EQ(strings(e->allObjects()),
              (std::vector<std::string>{"B.txt", "a.txt", "b", "b/a", "b/a/deep.txt", "b/empty", "b/z.txt", "c"}));
    EXPECT_EQ(strings(fm->contentsOfDirectoryAtPath(f.ns("b"), nullptr)),
              (std::vector<std::string>{"a", "empty", "z.txt"}));

    // Skipping a folder's contents, and the depth of each entry.
    auto skipping = fm->enumeratorAtPath(f.ns());
    std::vector<std::string> seen;
    while (Id next = skipping->nextObject()) {
        std::string name = dynamic_ref_cast<NSString>(next)->UTF8String();
        seen.push_back(name + "@" + std::to_string(skipping->level()));
        if (name == "b/a") skipping->skipDescendants();
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"B.txt@1", "a.txt@1", "b@1", "b/a@2", "b/empty@2", "b/z.txt@2", "c@1"}));

    EXPECT_FALSE(fm->enumeratorAtPath(f.ns("a.txt")));
    EXPECT_FALSE(fm->enumeratorAtPath(f.ns("missing")));
}

TEST(FileManager, NamesThatAreNotUTF8StillListWithReplacementCharacters)
{
    TemporaryFolder f;
    writeFile(f / "a\xFF"
                  "b",
              "");
    writeFile(f / "c\xC3", "");
    auto names = strings(NSFileManager::defaultManager()->contentsOfDirectoryAtPath(f.ns(), nullptr));
    EXPECT_EQ(names, (std::vector<std::string>{"a\uFFFD"
                                               "b",
                                               "c\uFFFD"}));
}

TEST(FileManager, FailuresReportPOSIXErrorsNamingThePath)
{
    TemporaryFolder f;
    makeTree(f);
    auto fm = NSFileManager::defaultManager();
    struct Case {
        const char* what;
        std::function<bool(Ref<NSError>*)> run;
        int code;
        std::string path;
    };
    const Case cases[] = {
        {"remove missing", [&](Ref<NSError>* e) { return fm->removeItemAtPath(f.ns("missing"), e); }, ENOENT,
         f / "missing"},
        {"mkdir without parents",
         [&](Ref<NSError>* e) { return fm->createDirectoryAtPath(f.ns("x/y"), false, nullptr, e); }, ENOENT, f / "x/y"},
        {"mkdir over a file",
         [&](Ref<NSError>* e) { return fm->createDirectoryAtPath(f.ns("a.txt/sub"), true, nullptr, e); }, ENOTDIR,
         f / "a.txt/sub"},
        {"move onto existing", [&](Ref<NSError>* e) { return fm->moveItemAtPath(f.ns("a.txt"), f.ns("B.txt"), e); },
         EEXIST, f / "B.txt"},
        {"copy missing", [&](Ref<NSError>* e) { return fm->copyItemAtPath(f.ns("nope"), f.ns("n2"), e); }, ENOENT,
         f / "nope"},
        {"list a file", [&](Ref<NSError>* e) { return fm->contentsOfDirectoryAtPath(f.ns("a.txt"), e) != nullptr; },
         ENOTDIR, f / "a.txt"},
        {"attributes of missing",
         [&](Ref<NSError>* e) { return fm->attributesOfItemAtPath(f.ns("missing"), e) != nullptr; }, ENOENT,
         f / "missing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Ref<NSError> error;
        EXPECT_FALSE(c.run(&error));
        ASSERT_TRUE(error);
        EXPECT_TRUE(error->domain()->isEqualToString(NSPOSIXErrorDomain()));
        EXPECT_EQ(error->code(), c.code);
        EXPECT_NE(error->localizedDescription()->UTF8String().find(c.path), std::string::npos)
            << error->localizedDescription()->UTF8String();
        EXPECT_FALSE(c.run(nullptr));  // no error pointer is fine too
    }
}

TEST(FileManager, CreatesCopiesMovesAndRemovesItems)
{
    TemporaryFolder f;
    makeTree(f);
    auto fm = NSFileManager::defaultManager();
    EXPECT_TRUE(fm->createDirectoryAtPath(f.ns("new/deeper"), true, nullptr, nullptr));
    EXPECT_TRUE(fm->createDirectoryAtPath(f.ns("new/deeper"), true, nullptr, nullptr));  // exists: fine
    bool isDirectory = false;
    EXPECT_TRUE(fm->fileExistsAtPath(f.ns("new/deeper"), &isDirectory));
    EXPECT_TRUE(isDirectory);

    const char bytes[] = "contents\0with a zero";
    EXPECT_TRUE(fm->createFileAtPath(f.ns("new/file.bin"), NSData::dataWithBytes(bytes, sizeof bytes), nullptr));
    EXPECT_EQ(fm->contentsAtPath(f.ns("new/file.bin"))->length(), sizeof bytes);
    EXPECT_TRUE(fm->fileExistsAtPath(f.ns("new/file.bin"), &isDirectory));
    EXPECT_FALSE(isDirectory);
    EXPECT_FALSE(fm->contentsAtPath(f.ns("new")));

    EXPECT_TRUE(fm->copyItemAtPath(f.ns("b"), f.ns("copy"), nullptr));
    EXPECT_EQ(readFile(f / "copy/a/deep.txt"), "deep");
    EXPECT_TRUE(fm->moveItemAtPath(f.ns("copy"), f.ns("moved"), nullptr));
    EXPECT_FALSE(fm->fileExistsAtPath(f.ns("copy")));
    EXPECT_EQ(readFile(f / "moved/z.txt"), "z");

    // Removing a link leaves its target.
    EXPECT_TRUE(fm->removeItemAtPath(f.ns("c"), nullptr));
    EXPECT_TRUE(fm->fileExistsAtPath(f.ns("b/z.txt")));
    EXPECT_TRUE(fm->removeItemAtPath(f.ns("b"), nullptr));
    EXPECT_FALSE(fm->fileExistsAtPath(f.ns("b")));
}

TEST(FileManager, AttributesFollowLinks)
{
    TemporaryFolder f;
    writeFile(f / "target.txt", "12345");
    std::filesystem::create_symlink(f / "target.txt", f / "link");
    timespec times[2] = {{1000000000, 0}, {1000000000, 500000000}};  // 2001-09-09 01:46:40.5 UTC
    ASSERT_EQ(::utimensat(AT_FDCWD, (f / "target.txt").c_str(), times, 0), 0);
    auto fm = NSFileManager::defaultManager();
    auto a = fm->attributesOfItemAtPath(f.ns("link"), nullptr);
    ASSERT_TRUE(a);
    EXPECT_TRUE(dynamic_ref_cast<NSString>(a->objectForKey(NSFileType()))->isEqualToString(NSFileTypeRegular()));
    EXPECT_EQ(dynamic_ref_cast<NSNumber>(a->objectForKey(NSFileSize()))->integerValue(), 5);
    auto date = dynamic_ref_cast<NSDate>(a->objectForKey(NSFileModificationDate()));
    ASSERT_TRUE(date);
    EXPECT_DOUBLE_EQ(date->timeIntervalSince1970(), 1000000000.5);
    EXPECT_TRUE(dynamic_ref_cast<NSString>(fm->attributesOfItemAtPath(f.ns(), nullptr)->objectForKey(NSFileType()))
                    ->isEqualToString(NSFileTypeDirectory()));
}

TEST(FileManager, AccessNamesAndCurrentFolder)
{
    TemporaryFolder f;
    writeFile(f / "r.txt", "r");
    auto fm = NSFileManager::defaultManager();
    EXPECT_TRUE(fm->isReadableFileAtPath(f.ns("r.txt")));
    EXPECT_TRUE(fm->isWritableFileAtPath(f.ns("r.txt")));
    EXPECT_FALSE(fm->isReadableFileAtPath(f.ns("missing")));
    EXPECT_TRUE(fm->displayNameAtPath("/a/b/Report.txt"_ns)->isEqualToString("Report.txt"_ns));
    EXPECT_TRUE(fm->displayNameAtPath("/a/b/"_ns)->isEqualToString("b"_ns));
    EXPECT_EQ(fm->currentDirectoryPath()->UTF8String(), std::filesystem::current_path().string());
}

TEST(PathUtilities, StandardFoldersMapToXDGFolders)
{
    ScopedEnvironment home("HOME", "/home/tester");
    ScopedEnvironment documents("XDG_DOCUMENTS_DIR", std::nullopt);
    ScopedEnvironment desktop("XDG_DESKTOP_DIR", "/srv/desk");
    ScopedEnvironment data("XDG_DATA_HOME", std::nullopt);
    ScopedEnvironment cache("XDG_CACHE_HOME", "relative/is/ignored");
    struct Case {
        NSSearchPathDirectory directory;
        NSUInteger domains;
        bool expandTilde;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {NSDocumentDirectory, NSUserDomainMask, true, {"/home/tester/Documents"}},
        {NSDocumentDirectory, NSUserDomainMask, false, {"~/Documents"}},
        {NSDesktopDirectory, NSUserDomainMask, true, {"/srv/desk"}},
        {NSLibraryDirectory, NSUserDomainMask, true, {"/home/tester/.local/share"}},
        {NSApplicationSupportDirectory, NSUserDomainMask, false, {"~/.local/share"}},
        {NSCachesDirectory, NSUserDomainMask, true, {"/home/tester/.cache"}},
        {NSUserDirectory, NSUserDomainMask, true, {"/home"}},
        {NSUserDirectory, NSLocalDomainMask, true, {"/home"}},
        {NSDocumentDirectory, NSSystemDomainMask, true, {}},
        {NSApplicationDirectory, NSUserDomainMask, true, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(strings(NSSearchPathForDirectoriesInDomains(c.directory, c.domains, c.expandTilde)), c.expected)
            << c.directory << " " << c.domains;
    {
        ScopedEnvironment docs("XDG_DOCUMENTS_DIR", "/data/docs");
        EXPECT_EQ(strings(NSSearchPathForDirectoriesInDomains(NSDocumentDirectory, NSUserDomainMask, true)),
                  (std::vector<std::string>{"/data/docs"}));
    }
    EXPECT_EQ(NSHomeDirectory()->UTF8String(), "/home/tester");
    {
        ScopedEnvironment tmp("TMPDIR", std::nullopt);
        EXPECT_EQ(NSTemporaryDirectory()->UTF8String(), "/tmp/");
    }
    {
        ScopedEnvironment tmp("TMPDIR", "/var/tmp");
        EXPECT_EQ(NSTemporaryDirectory()->UTF8String(), "/var/tmp/");
    }
    EXPECT_GT(NSUserName()->length(), 0u);
}

TEST(ProcessInfo, DescribesThisProcess)
{
    auto info = NSProcessInfo::processInfo();
    EXPECT_EQ(info, NSProcessInfo::processInfo());
    EXPECT_TRUE(info->processName()->isEqualToString("FoundationTests"_ns));
    EXPECT_EQ(info->processIdentifier(), ::getpid());
    auto env = info->environment();
    ASSERT_TRUE(env->objectForKey("PLUMBLINE_RESOURCES"_ns));
    EXPECT_EQ(dynamic_ref_cast<NSString>(env->objectForKey("PLUMBLINE_RESOURCES"_ns))->UTF8String(),
              ::getenv("PLUMBLINE_RESOURCES"));
    auto args = info->arguments();
    ASSERT_GE(args->count(), 1u);
    EXPECT_NE(dynamic_ref_cast<NSString>(args->objectAtIndex(0))->UTF8String().find("FoundationTests"),
              std::string::npos);
    EXPECT_FALSE(info->globallyUniqueString()->isEqualToString(info->globallyUniqueString()));
    NSOperatingSystemVersion v = info->operatingSystemVersion();
    EXPECT_EQ(v.majorVersion, 10);
    EXPECT_EQ(v.minorVersion, 9);
    EXPECT_EQ(v.patchVersion, 0);
    EXPECT_TRUE(info->operatingSystemVersionString()->utf16().starts_with(u"Version 10.9"));
    EXPECT_GT(info->hostName()->length(), 0u);
    EXPECT_GT(info->systemUptime(), 0.0);
}
