#pragma once
// Where the program's crash reports and console log live on Linux, and the
// mapping of the platform's literal log paths onto them:
//   ~/Library/Logs/CrashReporter/...        -> $XDG_STATE_HOME/<executable>/CrashReporter/...
//   /Library/Logs/Console/<uid>/console.log -> $XDG_STATE_HOME/<executable>/console.log
// $XDG_STATE_HOME is ~/.local/state when unset or not absolute. The
// executable's name is the main bundle's CFBundleExecutable, else the
// process name.
#include "Foundation/NSString.h"

Ref<NSString> ApplicationExecutableName();
// $XDG_STATE_HOME/<executable>, read afresh on each call.
Ref<NSString> ApplicationStateDirectory();
Ref<NSString> CrashReporterDirectory();
Ref<NSString> ConsoleLogPath();
// The Linux path for one of the platform's log paths above (with "~" or the
// home folder spelled out); any other path is answered unchanged.
Ref<NSString> PathForPlatformLogPath(const Ref<NSString>& path);
