#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "Foundation/FileSupport.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSPropertyListSerialization.h"
#include "Foundation/NSUserDefaults.h"
#include "LogCapture.h"
#include "TemporaryFolder.h"

namespace {

const char* kValidXML = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
                        "\t<key>Old</key>\n\t<string>what the user had</string>\n</dict>\n</plist>\n";

struct DamageCase {
    const char* name;
    std::function<void(const std::string& file)> make;
    bool needsUnprivilegedReader = false;
};

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_ino == b.st_ino && a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// Opens defaults on the damaged file and checks what the user and the log
// see, up to and including the first write. Answers "" or what went wrong.
std::string openDamagedAndWrite(const std::string& file)
{
    struct stat before { };
    if (::stat(file.c_str(), &before) != 0) return "the damaged file is missing before the test";
    LogCapture log;
    auto d = NSUserDefaults::defaultsWithPath(NSString::stringWithUTF8String(file));
    d->registerDefaults(NSDictionary::dictionaryWithEntries({{"Registered"_ns, NSNumber::numberWithInteger(7)}}));
    if (d->integerForKey("Registered"_ns) != 7) return "the registered value does not answer";
    if (d->objectForKey("Old"_ns)) return "the application domain does not start empty";
    if (log.lines().size() != 1) return "expected one log line, got " + std::to_string(log.lines().size());
    if (log.lines()[0].find(file) == std::string::npos) return "the log line does not name the file: " + log.lines()[0];

    struct stat now { };
    d->synchronize();  // nothing changed: no write, no rename
    NSUserDefaults::synchronizeAllIfChanged();
    if (::stat(file.c_str(), &now) != 0 || !sameFile(before, now)) return "the file changed before the first write";

    d->setObject("after"_ns, "New"_ns);
    if (!d->synchronize()) return "the first write failed";
    if (log.lines().size() != 1) return "the write logged again: " + log.lines().back();
    return "";
}

// Runs openDamagedAndWrite in a child process as an unprivileged user, since
// root reads files whatever their permissions say.
std::string openDamagedAndWriteAsNobody(const std::string& folder, const std::string& file)
{
    ::chmod(folder.c_str(), 0777);
    int fds[2];
    if (::pipe(fds) != 0) return "no pipe";
    pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        std::string result;
        if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) result = "cannot drop privileges";
        ::prctl(PR_SET_DUMPABLE, 1);  // keep /proc/self readable for the sanitizers
        if (result.empty()) result = openDamagedAndWrite(file);
        if (!result.empty()) ::write(fds[1], result.data(), result.size());
        ::_exit(result.empty() ? 0 : 1);
    }
    ::close(fds[1]);
    std::string message;
    char buffer[512];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) message.append(buffer, static_cast<size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status)) return "the child process crashed";
    return WEXITSTATUS(status) == 0 ? "" : message;
}

// The one "<name>.damaged-*" entry beside the file.
std::string damagedCopy(const std::string& folder, const std::string& file)
{
    std::string prefix = std::filesystem::path(file).filename().string() + ".damaged-";
    std::string found;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename().string().starts_with(prefix)) {
            if (!found.empty()) return "";  // more than one
            found = entry.path().string();
        }
    return found;
}

}

TEST(UserDefaultsDamaged, ProcessKeepsRunningAndTheDamagedFileIsKept)
{
    const DamageCase cases[] = {
        {"empty file", [](const std::string& f) { writeFile(f, ""); }},
        {"truncated XML", [](const std::string& f) { writeFile(f, std::string(kValidXML).substr(0, 70)); }},
        {"binary bytes",
         [](const std::string& f) {
             writeFile(f, std::string("\x00\x01\xFE\xFF"
                                      "bplist00\x80\x7F",
                                      14));
         }},
        {"array at the root",
         [](const std::string& f) {
             writeFile(f, "<plist version=\"1.0\"><array><string>x</string></array></plist>");
         }},
        {"string that is not UTF-8",
         [](const std::string& f) {
             writeFile(f, "<plist version=\"1.0\"><dict><key>k</key><string>\xFF\xFE</string></dict></plist>");
         }},
        {"no read permission",
         [](const std::string& f) {
             writeFile(f, kValidXML);
             ::chmod(f.c_str(), 0);
         },
         true},
        {"directory in its place",
         [](const std::string& f) {
             std::filesystem::create_directory(f);
             writeFile(f + "/inside", "kept");
         }},
    };
    for (const DamageCase& c : cases) {
        SCOPED_TRACE(c.name);
        TemporaryFolder folder;
        std::string file = folder / "org.example.Damaged.plist";
        c.make(file);
        bool isDirectory = std::filesystem::is_directory(file);
        std::string original = isDirectory ? "" : readFile(file).value_or("");

        std::string failure =
            c.needsUnprivilegedReader ? openDamagedAndWriteAsNobody(folder.path(), file) : openDamagedAndWrite(file);
        EXPECT_EQ(failure, "");

        std::string copy = damagedCopy(folder.path(), file);
        ASSERT_FALSE(copy.empty()) << "no single .damaged- copy";
        if (isDirectory) EXPECT_EQ(readFile(copy + "/inside"), "kept");
        else EXPECT_EQ(readFile(copy), original);
        auto stored = dynamic_ref_cast<NSDictionary>(NSPropertyListSerialization::propertyListWithData(
            NSData::dataWithContentsOfFile(NSString::stringWithUTF8String(file)), 0, nullptr, nullptr));
        ASSERT_TRUE(stored);
        EXPECT_TRUE(dynamic_ref_cast<NSString>(stored->objectForKey("New"_ns))->isEqualToString("after"_ns));
        EXPECT_FALSE(stored->objectForKey("Registered"_ns));
    }
}

TEST(UserDefaultsDamaged, AMissingFileIsNotDamage)
{
    TemporaryFolder folder;
    LogCapture log;
    auto d = NSUserDefaults::defaultsWithPath(folder.ns("absent/d.plist"));
    EXPECT_TRUE(log.lines().empty());
    d->setBool(true, "b"_ns);
    EXPECT_TRUE(d->synchronize());  // creates the missing folder
    EXPECT_TRUE(std::filesystem::exists(folder / "absent/d.plist"));
    EXPECT_TRUE(log.lines().empty());
}

TEST(UserDefaultsFile, ASymlinkedFileIsWrittenThroughTheLinkToItsTarget)
{
    // A dotfiles setup: the defaults file links to a file kept elsewhere,
    // here by a relative link.
    TemporaryFolder folder;
    const std::string target = folder / "dotfiles/d.plist";
    writeFile(target, kValidXML);
    std::filesystem::create_symlink("dotfiles/d.plist", folder / "d.plist");
    auto d = NSUserDefaults::defaultsWithPath(folder.ns("d.plist"));
    EXPECT_TRUE(d->stringForKey("Old"_ns));
    d->setObject("new"_ns, "New"_ns);
    ASSERT_TRUE(d->synchronize());
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "d.plist"));
    const auto written = readFile(target);
    ASSERT_TRUE(written);
    EXPECT_NE(written->find("<string>new</string>"), std::string::npos) << *written;
    EXPECT_NE(written->find("what the user had"), std::string::npos) << *written;
}

TEST(UserDefaultsFile, TemporaryFilesOfKilledSavesAreRemovedAtLaunch)
{
    TemporaryFolder folder;
    writeFile(folder / "d.plist", kValidXML);
    for (const char* name : {".d.plist.tmp-a1B2c3", ".d.plist.tmp-XyZ789"}) writeFile(folder / name, "half");
    // Not of the pattern, or still being written by a live save: kept.
    writeFile(folder / ".d.plist.tmp-toolong1", "other");
    writeFile(folder / ".other.plist.tmp-abcdef", "other");
    writeFile(folder / ".d.plist.tmp-locked", "live");
    const int live = ::open((folder / ".d.plist.tmp-locked").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(live, 0);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);

    auto d = NSUserDefaults::defaultsWithPath(folder.ns("d.plist"));
    EXPECT_TRUE(d->stringForKey("Old"_ns));
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{".d.plist.tmp-locked", ".d.plist.tmp-toolong1", ".other.plist.tmp-abcdef",
                                              "d.plist"}));
    ::close(live);
}

// Damaged data kept aside never overwrites an earlier copy, lands whole in a
// folder made for it, and leaves nothing behind when it cannot be written.
TEST(DamagedCopies, EachCopyIsKeptWholeUnderAFreshName)
{
    TemporaryFolder folder;
    const std::string base = folder / "deeper/sets";
    std::string first, second;
    ASSERT_EQ(FileSupport::keepDamagedBytes(base, "one", 3, first), 0);
    ASSERT_EQ(FileSupport::keepDamagedBytes(base, "two!", 4, second), 0);
    EXPECT_NE(first, second);
    for (const auto& [name, text] : {std::pair{first, std::string("one")}, std::pair{second, std::string("two!")}}) {
        EXPECT_TRUE(name.starts_with(base + ".damaged-")) << name;
        std::vector<uint8_t> bytes;
        ASSERT_EQ(FileSupport::readFile(name, bytes), 0);
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), text);
    }

    // Under a plain file no folder can be made.
    ASSERT_EQ(FileSupport::writeInPlace(folder / "plain", "x", 1), 0);
    std::string kept = "unchanged";
    EXPECT_NE(FileSupport::keepDamagedBytes(folder / "plain/sets", "three", 5, kept), 0);
    EXPECT_EQ(kept, "unchanged");
}
