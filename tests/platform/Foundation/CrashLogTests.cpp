#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <regex>
#include <sstream>
#include <sys/mman.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "Foundation/ConsoleLog.h"
#include "Foundation/CrashLogWriter.h"
#include "Foundation/LogLocations.h"
#include "Foundation/NSException.h"
#include "TemporaryFolder.h"
#include "WaitUntil.h"

namespace {
using namespace std::chrono_literals;

std::string text(const Ref<NSString>& s) { return s ? s->UTF8String() : "nil"; }

const std::string separator = "\n\n**********\n\n";

// The executable's name comes from the main bundle the tests use.
const std::string executable = "plumbline";

// Runs body in a child process and answers its wait status; a child that
// has not ended within ten seconds is killed.
int runInChild(const std::function<void()>& body)
{
    pid_t child = ::fork();
    if (child == 0) {
        body();
        ::_exit(0);
    }
    const auto status = test_support::waitForExitOrKill(child, 10s);
    if (!status) ADD_FAILURE() << "the child did not end";
    return status.value_or(0);
}

std::string utcStamp(std::chrono::system_clock::time_point t)
{
    time_t seconds = std::chrono::system_clock::to_time_t(t);
    tm utc{};
    gmtime_r(&seconds, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H%M%S", &utc);
    return stamp;
}

std::vector<std::filesystem::path> filesIn(const std::string& folder)
{
    std::vector<std::filesystem::path> files;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) files.push_back(entry.path());
    return files;
}

size_t occurrences(const std::string& haystack, const std::string& needle)
{
    size_t count = 0;
    for (size_t at = haystack.find(needle); at != std::string::npos; at = haystack.find(needle, at + 1)) ++count;
    return count;
}

class CrashLog : public testing::Test {
protected:
    TemporaryFolder state;
    ScopedEnvironment stateHome{"XDG_STATE_HOME", state.path()};
    std::string reports() const { return state / (executable + "/CrashReporter"); }
};
}

TEST_F(CrashLog, AChildThatCrashesLeavesAReportAndDiesOfItsSignal)
{
    struct Case {
        const char* name;
        int signal;
        std::function<void()> crash;
    } cases[] = {
        {"bad write", SIGSEGV,
         [] {
             void* page = ::mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
             static_cast<volatile char*>(page)[16] = 1;
         }},
        {"trap", SIGILL, [] { __builtin_trap(); }},
        {"abort", SIGABRT, [] { std::abort(); }},
        {"bus error", SIGBUS, [] { ::raise(SIGBUS); }},
        {"arithmetic", SIGFPE, [] { ::raise(SIGFPE); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(reports());
        auto before = std::chrono::system_clock::now();
        int status = runInChild([&] {
            if (!CrashLogWriter::install()) ::_exit(3);
            c.crash();
        });
        auto after = std::chrono::system_clock::now();
        ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
        EXPECT_EQ(WTERMSIG(status), c.signal);

        auto files = filesIn(reports());
        ASSERT_EQ(files.size(), 1u);
        std::string name = files[0].filename();
        std::smatch match;
        ASSERT_TRUE(std::regex_match(name, match, std::regex(executable + "_(\\d{4}-\\d\\d-\\d\\d-\\d{6})\\.crash")))
            << name;
        EXPECT_GE(match[1].str(), utcStamp(before));
        EXPECT_LE(match[1].str(), utcStamp(after));

        std::string report = readFile(files[0]).value_or("");
        EXPECT_TRUE(report.starts_with(separator));
        EXPECT_EQ(occurrences(report, separator), 1u);
        EXPECT_TRUE(std::regex_search(report, std::regex("Process: +plumbline \\[\\d+\\]\n")));
        EXPECT_NE(report.find("Identifier:      org.plumbline.Plumbline\n"), std::string::npos);
        EXPECT_NE(report.find("Date/Time:       " + match[1].str().substr(0, 10)), std::string::npos);
        std::string signalName = c.signal == SIGSEGV   ? "SIGSEGV"
                                 : c.signal == SIGILL  ? "SIGILL"
                                 : c.signal == SIGABRT ? "SIGABRT"
                                 : c.signal == SIGBUS  ? "SIGBUS"
                                                       : "SIGFPE";
        EXPECT_NE(report.find("Exception Type:  " + signalName), std::string::npos);
        // A backtrace through the test program's own code.
        size_t backtrace = report.find("Backtrace:\n");
        ASSERT_NE(backtrace, std::string::npos);
        EXPECT_NE(report.find("FoundationTests", backtrace), std::string::npos);
    }
}

TEST_F(CrashLog, AnUncaughtExceptionIsReportedWithItsNameAndReason)
{
    int status = runInChild([] {
        ConsoleLogAppend("started");
        if (!CrashLogWriter::install()) ::_exit(3);
        // Leaving a noexcept function ends the program as an uncaught
        // exception does (and escapes the test framework's own handler).
        []() noexcept { NSException::raise(NSInvalidArgumentException, "The value was not a string."); }();
    });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGABRT);

    auto files = filesIn(reports());
    ASSERT_EQ(files.size(), 1u);
    std::string report = readFile(files[0]).value_or("");
    const std::string message = "*** Terminating app due to uncaught exception 'NSInvalidArgumentException', reason: "
                                "'The value was not a string.'";
    EXPECT_TRUE(report.starts_with(separator));
    EXPECT_EQ(occurrences(report, separator), 1u);  // the abort that follows writes no second report
    EXPECT_NE(report.find("Exception Type:  EXC_CRASH (SIGABRT)"), std::string::npos);
    EXPECT_NE(report.find("Application Specific Information:\n" + message + "\n"), std::string::npos);
    EXPECT_NE(report.find("Backtrace:\n"), std::string::npos);

    // The console log has the program's lines, the exception last.
    std::string console = readFile(state / (executable + "/console.log")).value_or("");
    std::istringstream lines(console);
    std::vector<std::string> all;
    for (std::string line; std::getline(lines, line);) all.push_back(line);
    ASSERT_EQ(all.size(), 2u) << console;
    EXPECT_TRUE(all[0].ends_with("] started"));
    EXPECT_TRUE(all[1].ends_with("] " + message));
}

TEST_F(CrashLog, ConsoleLinesCarryDateNameProcessAndThread)
{
    ConsoleLogAppend("first");
    ConsoleLogAppend("second, ending in a newline\n");
    std::thread([] { ConsoleLogAppend("from another thread"); }).join();

    std::string console = readFile(text(ConsoleLogPath())).value_or("");
    EXPECT_EQ(text(ConsoleLogPath()), state / "plumbline/console.log");
    std::regex line("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} plumbline\\[" + std::to_string(::getpid()) +
                    ":(\\d+)\\] (.*)");
    std::istringstream lines(console);
    std::vector<std::string> texts, threads;
    for (std::string l; std::getline(lines, l);) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(l, m, line)) << l;
        threads.push_back(m[1]);
        texts.push_back(m[2]);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"first", "second, ending in a newline", "from another thread"}));
    ASSERT_EQ(threads.size(), 3u);
    EXPECT_EQ(threads[0], std::to_string(::gettid()));
    EXPECT_NE(threads[2], threads[0]);
}

TEST_F(CrashLog, TheConsoleLogDropsItsOldestLinesAtTheCap)
{
    NSUInteger previous = ConsoleLogSetCapacity(2000);
    for (int i = 0; i < 300; ++i) ConsoleLogAppend("entry " + std::to_string(i));
    ConsoleLogAppend(std::string(5000, 'x'));  // longer than the whole log
    ConsoleLogAppend("entry 300");
    ConsoleLogSetCapacity(previous);

    std::string console = readFile(text(ConsoleLogPath())).value_or("");
    EXPECT_LE(console.size(), 2000u);
    std::istringstream lines(console);
    std::vector<std::string> all;
    for (std::string line; std::getline(lines, line);) all.push_back(line);
    ASSERT_FALSE(all.empty());
    EXPECT_TRUE(all.back().ends_with("] entry 300"));
    // Only whole lines remain.
    for (const auto& line : all)
        EXPECT_TRUE(std::regex_search(line, std::regex("^\\d{4}-\\d\\d-\\d\\d .* plumbline\\["))) << line;

    ConsoleLogSetCapacity(2000);
    std::filesystem::remove(text(ConsoleLogPath()));
    for (int i = 0; i < 300; ++i) ConsoleLogAppend("entry " + std::to_string(i));
    ConsoleLogSetCapacity(previous);
    console = readFile(text(ConsoleLogPath())).value_or("");
    EXPECT_LE(console.size(), 2000u);
    std::istringstream again(console);
    std::vector<int> numbers;
    for (std::string line; std::getline(again, line);) numbers.push_back(std::stoi(line.substr(line.rfind(' ') + 1)));
    ASSERT_GT(numbers.size(), 10u);
    EXPECT_EQ(numbers.back(), 299);
    for (size_t i = 1; i < numbers.size(); ++i) EXPECT_EQ(numbers[i], numbers[i - 1] + 1);  // newest, in order
}

TEST(LogLocations, PlatformLogPathsMapIntoTheStateFolder)
{
    TemporaryFolder home;
    ScopedEnvironment homeVariable("HOME", home.path());
    ScopedEnvironment stateHome("XDG_STATE_HOME", "/var/state");
    const std::string h = home.path();
    struct Case {
        std::string path;
        std::string expected;
    } cases[] = {
        {"~/Library/Logs/CrashReporter/", "/var/state/plumbline/CrashReporter/"},
        {"~/Library/Logs/CrashReporter", "/var/state/plumbline/CrashReporter"},
        {h + "/Library/Logs/CrashReporter/plumbline_2026-01-02-030405.crash",
         "/var/state/plumbline/CrashReporter/plumbline_2026-01-02-030405.crash"},
        {"/Library/Logs/Console/1000/console.log", "/var/state/plumbline/console.log"},
        {"~/Library/Logs/CrashReporterX/a", "~/Library/Logs/CrashReporterX/a"},
        {"/Library/Logs/Console/me/console.log", "/Library/Logs/Console/me/console.log"},
        {"/Library/Logs/Console//console.log", "/Library/Logs/Console//console.log"},
        {"/tmp/other.log", "/tmp/other.log"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(text(PathForPlatformLogPath(NSString::stringWithUTF8String(c.path))), c.expected) << c.path;

    ScopedEnvironment relative("XDG_STATE_HOME", "relative/state");
    EXPECT_EQ(text(CrashReporterDirectory()), h + "/.local/state/plumbline/CrashReporter");
}
