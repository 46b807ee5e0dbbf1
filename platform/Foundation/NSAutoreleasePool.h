#pragma once
// The deferred-release queue: objects "autoreleased" or "released when the
// current event has been handled" stay alive until the innermost pool drains.
// The run loop drains after each dispatched event and at the end of each turn.
#include "Foundation/NSObject.h"

class NSAutoreleasePool {
public:
    NSAutoreleasePool();
    ~NSAutoreleasePool();
    NSAutoreleasePool(const NSAutoreleasePool&) = delete;
    NSAutoreleasePool& operator=(const NSAutoreleasePool&) = delete;

    // Takes over one reference the caller owns.
    static void addObject(const NSObject* object);
    // Keeps the object alive until the innermost pool drains.
    static void keepAlive(const Id& object);
    // Releases everything queued in the innermost pool.
    static void drain();
};
