#pragma once
// The running process: its name, arguments, environment, host and the
// operating-system version the application is written against.
#include "Foundation/NSArray.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSString.h"

struct NSOperatingSystemVersion {
    NSInteger majorVersion = 0;
    NSInteger minorVersion = 0;
    NSInteger patchVersion = 0;
};

class NSProcessInfo : public NSObject {
    NS_OBJECT(NSProcessInfo, NSObject)
protected:
    NSProcessInfo() = default;

public:
    static Ref<NSProcessInfo> processInfo();

    // The executable's file name (from /proc/self/exe, else argv[0]).
    Ref<NSString> processName() const;
    int processIdentifier() const;
    // Read afresh from the process environment on each call.
    Ref<NSDictionary> environment() const;
    // argv, from /proc/self/cmdline.
    Ref<NSArray> arguments() const;
    // A string unique across hosts, processes and calls.
    Ref<NSString> globallyUniqueString() const;
    Ref<NSString> hostName() const;
    // The platform release the application targets: 10.9.0.
    NSOperatingSystemVersion operatingSystemVersion() const { return {10, 9, 0}; }
    // "Version 10.9 (Linux <kernel release>)".
    Ref<NSString> operatingSystemVersionString() const;
    // Seconds since the machine started.
    NSTimeInterval systemUptime() const;
};
