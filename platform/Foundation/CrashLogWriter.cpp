#include "Foundation/CrashLogWriter.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <cxxabi.h>
#include <exception>
#include <execinfo.h>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/utsname.h>
#include <time.h>
#include <typeinfo>
#include <unistd.h>

#include "Foundation/ConsoleLog.h"
#include "Foundation/LogLocations.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSException.h"
#include "Foundation/NSProcessInfo.h"

namespace {
constexpr int handledSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
constexpr size_t maximumFrames = 128;

// Prepared by install(); the signal handler only reads them.
char reportPathPrefix[4096];  // "<folder>/<executable>_"
char reportHeader[4096];      // process, path, identifier, version, system
std::atomic<bool> installed{false};
// Set once a report is written, so that the abort that follows an uncaught
// exception does not write a second one.
std::atomic<bool> reported{false};
// Set once that report is complete.
std::atomic<bool> reportWritten{false};
alignas(16) char alternateStack[256 * 1024];

// --- Formatting into a fixed buffer, safe in a signal handler ---

template <size_t Size> struct Buffer {
    char bytes[Size];
    size_t length = 0;

    void add(const char* text) { add(text, std::strlen(text)); }
    void add(const char* text, size_t n)
    {
        n = std::min(n, sizeof bytes - length);
        std::memcpy(bytes + length, text, n);
        length += n;
    }
    void addNumber(unsigned long long value, int minimumDigits = 1, unsigned base = 10)
    {
        char digits[24];
        int count = 0;
        do {
            digits[count++] = "0123456789abcdef"[value % base];
            value /= base;
        } while (value > 0 && count < 24);
        while (count < minimumDigits && count < 24) digits[count++] = '0';
        while (count > 0) add(&digits[--count], 1);
    }
};

struct UTCTime {
    long long year;
    unsigned month, day, hour, minute, second;
};

// Civil date from days since 1970-01-01 (H. Hinnant's algorithm), as gmtime
// is not safe in a signal handler.
UTCTime utcFromSeconds(long long seconds)
{
    long long days = seconds / 86400;
    long long rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    days += 719468;
    long long era = (days >= 0 ? days : days - 146096) / 146097;
    auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    unsigned mp = (5 * dayOfYear + 2) / 153;
    UTCTime t{};
    t.day = dayOfYear - (153 * mp + 2) / 5 + 1;
    t.month = mp < 10 ? mp + 3 : mp - 9;
    t.year = static_cast<long long>(yearOfEra) + era * 400 + (t.month <= 2);
    t.hour = static_cast<unsigned>(rest / 3600);
    t.minute = static_cast<unsigned>(rest % 3600 / 60);
    t.second = static_cast<unsigned>(rest % 60);
    return t;
}

// "YYYY-MM-DD<between>HH<timeSeparator>MM<timeSeparator>SS": arithmetic and
// copies only, so the signal handler may use it.
template <size_t Size>
void addDateTime(Buffer<Size>& out, const UTCTime& t, const char* between, const char* timeSeparator)
{
    out.addNumber(static_cast<unsigned long long>(t.year), 4);
    out.add("-");
    out.addNumber(t.month, 2);
    out.add("-");
    out.addNumber(t.day, 2);
    out.add(between);
    out.addNumber(t.hour, 2);
    out.add(timeSeparator);
    out.addNumber(t.minute, 2);
    out.add(timeSeparator);
    out.addNumber(t.second, 2);
}

const char* signalName(int sig)
{
    switch (sig) {
    case SIGSEGV: return "SIGSEGV (Segmentation fault)";
    case SIGBUS: return "SIGBUS (Bus error)";
    case SIGILL: return "SIGILL (Illegal instruction)";
    case SIGFPE: return "SIGFPE (Floating point exception)";
    case SIGABRT: return "SIGABRT (Abort trap)";
    default: return "signal";
    }
}

void writeAll(int fd, const char* bytes, size_t length)
{
    while (length > 0) {
        ssize_t n = ::write(fd, bytes, length);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        bytes += n;
        length -= static_cast<size_t>(n);
    }
}

// Writes one report: the separator, the prepared header, what happened, the
// time and the backtrace. Uses only async-signal-safe calls.
void writeReport(const char* exceptionType, const char* details, const char* applicationInformation)
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    UTCTime t = utcFromSeconds(now.tv_sec);

    Buffer<sizeof reportPathPrefix + 32> path;
    path.add(reportPathPrefix);
    addDateTime(path, t, "-", "");
    path.add(".crash");
    path.add("", 1);
    path.bytes[sizeof path.bytes - 1] = 0;

    int fd = ::open(path.bytes, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) return;

    Buffer<sizeof reportHeader + 4096> report;
    report.add("\n\n**********\n\n");
    report.add(reportHeader);
    report.add("Date/Time:       ");
    addDateTime(report, t, " ", ":");
    report.add(".");
    report.addNumber(static_cast<unsigned long long>(now.tv_nsec / 1000000), 3);
    report.add(" +0000\n\n");
    report.add("Exception Type:  ");
    report.add(exceptionType);
    report.add("\n");
    if (details && *details) {
        report.add("Exception Codes: ");
        report.add(details);
        report.add("\n");
    }
    report.add("Crashed Thread:  ");
    report.addNumber(static_cast<unsigned long long>(::gettid()));
    report.add("\n\n");
    if (applicationInformation && *applicationInformation) {
        report.add("Application Specific Information:\n");
        report.add(applicationInformation);
        report.add("\n\n");
    }
    report.add("Backtrace:\n");
    writeAll(fd, report.bytes, report.length);

    void* frames[maximumFrames];
    int count = ::backtrace(frames, static_cast<int>(maximumFrames));
    ::backtrace_symbols_fd(frames, count, fd);
    writeAll(fd, "\n", 1);
    ::close(fd);

    Buffer<sizeof reportPathPrefix + 64> notice;
    notice.add("Crash report written to ");
    notice.add(path.bytes);
    notice.add("\n");
    writeAll(STDERR_FILENO, notice.bytes, notice.length);
}

[[noreturn]] void dieOf(int sig)
{
    struct sigaction standard { };
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    ::sigaction(sig, &standard, nullptr);
    ::raise(sig);
    // The signal is blocked while its handler runs; it arrives on return.
    // Should it not end the process (it was ignored elsewhere), stop anyway.
    sigset_t pending;
    sigemptyset(&pending);
    sigaddset(&pending, sig);
    ::sigprocmask(SIG_UNBLOCK, &pending, nullptr);
    ::_exit(128 + sig);
}

// Another thread that crashes while a report is being written waits for it
// (a little), so that its own death does not cut the report short.
void awaitReport()
{
    timespec pause{0, 10 * 1000 * 1000};
    for (int i = 0; i < 300 && !reportWritten.load(); ++i) ::nanosleep(&pause, nullptr);
}

void onSignal(int sig, siginfo_t* info, void*)
{
    if (reported.exchange(true)) {
        awaitReport();
    } else {
        Buffer<64> details;
        if (sig != SIGABRT && info) {
            details.add("code ");
            details.addNumber(static_cast<unsigned long long>(info->si_code));
            details.add(" at 0x");
            details.addNumber(reinterpret_cast<uintptr_t>(info->si_addr), 1, 16);
        }
        details.add("", 1);
        writeReport(signalName(sig), details.bytes, nullptr);
        reportWritten = true;
    }
    dieOf(sig);
}

std::string typeName(const std::type_info& type)
{
    int status = 0;
    char* readable = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    std::string name = status == 0 && readable ? readable : type.name();
    std::free(readable);
    return name;
}

// Not a signal context: the exception may be examined with ordinary code.
[[noreturn]] void onTerminate()
{
    std::string message = "*** Terminating app due to uncaught exception";
    if (auto current = std::current_exception()) {
        try {
            std::rethrow_exception(current);
        } catch (const NSException& e) {
            message += " '" + e.nameUTF8() + "', reason: '" + e.reasonUTF8() + "'";
        } catch (const std::exception& e) {
            message += " '" + typeName(typeid(e)) + "', reason: '" + e.what() + "'";
        } catch (...) {
            message += " of an unknown type";
        }
    } else {
        message = "*** Terminating app: std::terminate called without an active exception";
    }
    if (reported.exchange(true)) {
        awaitReport();
    } else {
        writeReport("EXC_CRASH (SIGABRT)", "", message.c_str());
        reportWritten = true;
    }
    writeAll(STDERR_FILENO, (message + "\n").c_str(), message.size() + 1);
    ConsoleLogAppend(message);
    std::abort();
}

void copyInto(char* target, size_t size, const std::string& text)
{
    size_t n = std::min(text.size(), size - 1);
    std::memcpy(target, text.data(), n);
    target[n] = 0;
}

std::string infoString(const char* key)
{
    auto value = dynamic_ref_cast<NSString>(
        NSBundle::mainBundle()->infoDictionary()->objectForKey(NSString::stringWithUTF8String(key)));
    return value ? value->UTF8String() : "";
}

std::string headerText()
{
    auto process = NSProcessInfo::processInfo();
    char exe[4096] = {};
    ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    utsname system{};
    ::uname(&system);
    std::string header;
    header +=
        "Process:         " + ApplicationExecutableName()->UTF8String() + " [" + std::to_string(::getpid()) + "]\n";
    header += "Path:            " + std::string(exe, n > 0 ? static_cast<size_t>(n) : 0) + "\n";
    header += "Identifier:      " + infoString("CFBundleIdentifier") + "\n";
    header +=
        "Version:         " + infoString("CFBundleShortVersionString") + " (" + infoString("CFBundleVersion") + ")\n";
    header += "OS Version:      " + std::string(system.sysname) + " " + system.release + "\n";
    return header;
}
}

bool CrashLogWriter::install()
{
    std::string folder = CrashReporterDirectory()->UTF8String();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) return false;
    copyInto(reportPathPrefix, sizeof reportPathPrefix, folder + "/" + ApplicationExecutableName()->UTF8String() + "_");
    copyInto(reportHeader, sizeof reportHeader, headerText());

    // The first backtrace loads the unwinder, which allocates: do it now.
    void* frames[4];
    ::backtrace(frames, 4);

    stack_t stack{};
    stack.ss_sp = alternateStack;
    stack.ss_size = sizeof alternateStack;
    ::sigaltstack(&stack, nullptr);
    struct sigaction action { };
    action.sa_sigaction = onSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int sig : handledSignals) sigaddset(&action.sa_mask, sig);
    for (int sig : handledSignals) ::sigaction(sig, &action, nullptr);
    std::set_terminate(onTerminate);
    reported = false;
    reportWritten = false;
    installed = true;
    return true;
}

bool CrashLogWriter::isInstalled() { return installed.load(); }
