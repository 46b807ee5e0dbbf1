#pragma once
// Crash reports, written as the platform's crash reporter writes them: when
// the program dies of SIGSEGV, SIGBUS, SIGILL, SIGFPE or SIGABRT, or of an
// uncaught exception, a report goes to
//   CrashReporterDirectory()/<executable>_<UTC yyyy-MM-dd-HHmmss>.crash
// It starts with the separator "\n\n**********\n\n" (a second crash in the
// same second appends another report to the same file) and gives the
// process, the signal or the exception's name and reason, the time and a
// backtrace. The program then dies of the same signal as it would have
// without the handler.
class CrashLogWriter {
public:
    // Installs the signal handlers (on an alternate stack of the calling
    // thread, so a stack overflow of that thread is reported too) and the
    // terminate handler, and prepares everything the signal handler needs,
    // so that it only formats into fixed buffers, opens and writes. Call it
    // early on the main thread; calling it again prepares the report for the
    // current environment. Answers false when the report folder cannot be
    // made.
    static bool install();
    static bool isInstalled();
};
