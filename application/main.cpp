#include "AppKitExtensions/NSAttributedString+ZAKNSAttributedStringExtension.h"
#include "Foundation/NSCrashLogWriter.h"
#include "MainInterface.h"

int main(int argc, const char** argv)
{
    // A crash of this run leaves a log the next launch offers to send.
    NSCrashLogWriter::install();
    NSAttributedStringExt::installStringDrawing();
    return PlumblineMain(argc, argv);
}
