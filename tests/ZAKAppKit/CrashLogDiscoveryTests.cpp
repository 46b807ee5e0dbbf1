#include <gtest/gtest.h>

#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <utime.h>

#include <csignal>
#include <thread>

#include "Foundation/CrashLogWriter.h"
#include "Foundation/LogLocations.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSNumber.h"
#include "ReportFixture.h"
#include "WaitUntil.h"
#include "ZAKAppKit/ZAKCrashReporter/ZAKCrashReporter.h"

using namespace std::chrono_literals;

namespace {

class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value)
        : m_name(name)
    {
        if (const char* old = ::getenv(name)) m_old = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedVariable()
    {
        if (m_old) ::setenv(m_name, m_old->c_str(), 1);
        else ::unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

void writeFile(const std::string& path, const std::string& text, time_t modified)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
    struct utimbuf times {
        modified, modified
    };
    ::utime(path.c_str(), &times);
}

// Fresh state and defaults folders for each test.
class CrashLogDiscovery : public testing::Test {
protected:
    void SetUp() override
    {
        report_fixture::installBundle();
        NSUserDefaults::resetStandardUserDefaults();
    }
    void TearDown() override
    {
        NSUserDefaults::resetStandardUserDefaults();
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
    std::string reports() const { return root + "/state/" + report_fixture::executable() + "/CrashReporter"; }
    std::string console() const { return root + "/state/" + report_fixture::executable() + "/console.log"; }
    std::string log(const std::string& name) const { return reports() + "/" + name; }

    std::string root = [] {
        std::string pattern = std::filesystem::temp_directory_path() / "zak-crash-XXXXXX";
        return std::string(::mkdtemp(pattern.data()));
    }();
    ScopedVariable state{"XDG_STATE_HOME", root + "/state"};
    ScopedVariable config{"XDG_CONFIG_HOME", root + "/config"};
};

}

TEST_F(CrashLogDiscovery, TheNewestLogOfThisProgramIsChosen)
{
    const std::string n = report_fixture::executable();
    EXPECT_EQ(ZAKCrashReporter::pathAndNameOfCrashReportFile(), nullptr);
    writeFile(log(n + "_2026-01-01-100000.crash"), "a", 1000000);
    writeFile(log(n + "_2026-01-02-100000.crash"), "b", 2000000);
    writeFile(log("Other_2026-01-03-100000.crash"), "c", 3000000);             // another program
    writeFile(log(n + "_2026-01-04-100000.crash.txt"), "d", 4000000);          // wrong ending
    writeFile(log("hidden/" + n + "_2026-01-05-100000.crash"), "e", 5000000);  // subfolder named otherwise
    EXPECT_EQ(ZAKCrashReporter::pathAndNameOfCrashReportFile()->UTF8String(), log(n + "_2026-01-02-100000.crash"));
}

TEST_F(CrashLogDiscovery, OldSystemsUseTheFixedLogName)
{
    const std::string fixed = log(report_fixture::executable() + ".crash.log");
    struct Case {
        NSOperatingSystemVersion version;
        bool legacy;
    } cases[] = {{{10, 4, 11}, true}, {{11, 3, 0}, true},  {{12, 0, 0}, true},
                 {{9, 9, 0}, true},   {{10, 9, 0}, false}, {{12, 5, 0}, false}};
    for (const auto& c : cases) {
        Ref<NSString> path = ZAKCrashReporter::pathAndNameOfCrashReportFile(c.version);
        if (c.legacy)
            EXPECT_EQ(path ? path->UTF8String() : "", fixed) << c.version.majorVersion << "." << c.version.minorVersion;
        else EXPECT_EQ(path, nullptr) << c.version.majorVersion << "." << c.version.minorVersion;
    }
}

TEST_F(CrashLogDiscovery, TheReportIsTheTextAfterTheLastSeparator)
{
    const std::string n = report_fixture::executable();
    EXPECT_EQ(ZAKCrashReporter::lastCrashReport()->UTF8String(), "");
    writeFile(log(n + "_2026-01-01-100000.crash"), "\n\n**********\n\nfirst\n\n**********\n\nsecond crash", 1000000);
    EXPECT_EQ(ZAKCrashReporter::lastCrashReport()->UTF8String(), "second crash");
    writeFile(log(n + "_2026-01-02-100000.crash"), "bad \xff\xfe bytes", 2000000);
    EXPECT_EQ(ZAKCrashReporter::lastCrashReport()->UTF8String(), "*** Couldn't read Report ***");
}

TEST_F(CrashLogDiscovery, TheConsoleLinesStartAtTheFirstLineNamingTheProgram)
{
    EXPECT_EQ(ZAKCrashReporter::consoleLog()->UTF8String(), "");
    const std::string n = report_fixture::executable();
    writeFile(console(),
              "x other[1:1] before\n" + n + " without bracket\nt " + n + "[5:6] first\nt other[2:2] later\nlast", 1000);
    EXPECT_EQ(ZAKCrashReporter::consoleLog()->UTF8String(), "t " + n + "[5:6] first\nt other[2:2] later\nlast");
}

TEST_F(CrashLogDiscovery, ALogIsOfferedOnlyWhenNewerThanTheLastCheck)
{
    const std::string n = report_fixture::executable();
    EXPECT_EQ(ZAKCrashReporter::dateOfCrashLogToOffer(), nullptr);
    writeFile(log(n + "_2026-01-01-100000.crash"), "r", 1700000000);
    // First launch: nothing stored, the log is offered.
    ASSERT_NE(ZAKCrashReporter::dateOfCrashLogToOffer(), nullptr);
    // An equal date hides it, to the second and below (doubles, not floats).
    ZAKCrashReporter::storeCheckDate(NSDate::dateWithTimeIntervalSince1970(1700000000));
    EXPECT_EQ(ZAKCrashReporter::dateOfCrashLogToOffer(), nullptr);
    ZAKCrashReporter::storeCheckDate(NSDate::dateWithTimeIntervalSince1970(1699999999));
    EXPECT_NE(ZAKCrashReporter::dateOfCrashLogToOffer(), nullptr);
    // A single-precision value written by an older version still reads.
    NSUserDefaults::standardUserDefaults()->setFloat(1800000000.0f, "ZAKCrashReporterLastCrashReportDate"_ns);
    EXPECT_EQ(ZAKCrashReporter::dateOfCrashLogToOffer(), nullptr);
}

TEST(CrashOffer, TheQuestionUsesTheTextAsAFormatOnlyWithOneObjectDirective)
{
    struct Case {
        const char* text;
        const char* shown;
    } cases[] = {{"%@ quit unexpectedly.", "App quit unexpectedly."},
                 {"Send the report?", "Send the report?"},
                 {"%@ and %@", "%@ and %@"},
                 {"%@ at 100%", "%@ at 100%"},
                 {"%d crashes", "%d crashes"}};
    for (const auto& c : cases)
        EXPECT_EQ(ZAKCrashReporter::offerMessage(NSString::stringWithUTF8String(c.text), "App"_ns)->UTF8String(),
                  c.shown)
            << c.text;
}

TEST_F(CrashLogDiscovery, AProgramThatDiesOfSIGSEGVHasItsLogPostedOnceSent)
{
    pid_t child = ::fork();
    if (child == 0) {
        CrashLogWriter::install();
        NSLog("about to crash");
        void* page = ::mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        static_cast<volatile char*>(page)[16] = 1;
        ::_exit(0);
    }
    const auto status = test_support::waitForExitOrKill(child, 10s);
    ASSERT_TRUE(status && WIFSIGNALED(*status));
    EXPECT_EQ(WTERMSIG(*status), SIGSEGV);

    // The next launch: the log is offered.
    ASSERT_NE(ZAKCrashReporter::dateOfCrashLogToOffer(), nullptr);
    Ref<NSString> report = ZAKCrashReporter::lastCrashReport();
    Ref<NSString> lines = ZAKCrashReporter::consoleLog();
    EXPECT_NE(report->rangeOfString("SIGSEGV"_ns).location, NSNotFound);
    EXPECT_NE(lines->rangeOfString("about to crash"_ns).location, NSNotFound);

    // A refused post leaves it to be offered again.
    {
        RefusingLocalPort refusing;
        auto fields = ZAKCrashReporter::reportFields(report, "d"_ns);
        EXPECT_EQ(
            ZAKMultipartForm::post(NSString::stringWithUTF8String(refusing.url()), "ZAKCrashReporter", fields, false),
            ZAKMultipartForm::PostResult::Failed);
        EXPECT_NE(ZAKCrashReporter::dateOfCrashLogToOffer(), nullptr);
    }
    // Sent: the server gets the report and the console lines; the date is stored.
    size_t first = report_fixture::server().requests().size();
    Ref<NSString> text = NSString::stringWithFormat("%@\n\n%@", report, lines);
    ASSERT_EQ(ZAKCrashReporter::sendReport(text, "it crashed"_ns), ZAKMultipartForm::PostResult::Sent);
    ZAKCrashReporter::storeCheckDate(NSDate::date());
    ASSERT_TRUE(report_fixture::server().waitForRequests(first + 1));
    std::string body = report_fixture::server().requests().back().body;
    EXPECT_NE(body.find(text->UTF8String()), std::string::npos);
    EXPECT_EQ(body.find("\n\n**********\n\n"), std::string::npos);
    // A third launch offers nothing.
    EXPECT_EQ(ZAKCrashReporter::dateOfCrashLogToOffer(), nullptr);
}
