#pragma once
// The Process Manager calls that change how the desktop lists the current
// process: only the current process can be named, and its transform sets
// the window server's activation policy (foreground: regular, listed with a
// dock icon; UI element: an accessory).
#include "Carbon/CarbonTypes.h"

struct ProcessSerialNumber {
    UInt32 highLongOfPSN = 0;
    UInt32 lowLongOfPSN = 0;
};

using ProcessApplicationTransformState = UInt32;

enum : UInt32 {
    kNoProcess = 0,
    kSystemProcess = 1,
    kCurrentProcess = 2,
};

enum : ProcessApplicationTransformState {
    kProcessTransformToForegroundApplication = 1,
    kProcessTransformToBackgroundApplication = 2,
    kProcessTransformToUIElementApplication = 4,
};

enum : OSStatus {
    procNotFound = -600,
};

// Answers the current process's number {0, kCurrentProcess}.
OSStatus GetCurrentProcess(ProcessSerialNumber* psn);
// procNotFound for any process but the current one, paramErr for a
// transform other than foreground or UI element.
OSStatus TransformProcessType(const ProcessSerialNumber* psn, ProcessApplicationTransformState transformState);
