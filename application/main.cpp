#include "AppKit/NSApplication.h"
#include "Foundation/CrashLogWriter.h"

int main(int argc, const char** argv)
{
    // A crash of this run leaves a log the next launch offers to send.
    CrashLogWriter::install();
    return NSApplicationMain(argc, argv);
}
