#pragma once
// The program's console log: every NSLog message as one line
//   <yyyy-MM-dd HH:mm:ss.SSS> <executable>[<pid>:<thread id>] <text>
// appended to ConsoleLogPath(). It stands in for the system's console
// log, so it holds this program's lines only. The file is kept below a size
// cap by dropping its oldest lines.
#include <string_view>

#include "Foundation/NSTypes.h"

// Never logs and never throws: a file that cannot be written loses the line.
// Do not call it while holding the NSLog sink's lock.
void ConsoleLogAppend(std::string_view text);
// The cap in bytes (256 KiB unless changed); answers the previous one.
NSUInteger ConsoleLogSetCapacity(NSUInteger bytes);
