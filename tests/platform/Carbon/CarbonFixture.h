#pragma once
// The headless server driven from the test's own (main) thread; what the
// Carbon layer hands to the main run loop runs when a test runs that loop.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "AppKit/NSApplication.h"
#include "Foundation/Clock.h"
#include "Foundation/NSRunLoop.h"
#include "backend/headless/HeadlessWindowServer.h"

class CarbonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("PLUMBLINE_BACKEND", "headless", 1);
        Clock::useVirtualClock();
        server().configureMainScreen(NSMakeSize(1920, 1080), NSMakeSize(508, 286));
        NSApplication::sharedApplication();
    }

    static HeadlessWindowServer& server() { return *HeadlessWindowServer::current(); }

    static void runMain(const NSRunLoopMode& mode = NSDefaultRunLoopMode)
    {
        NSRunLoop::mainRunLoop()->runUntilIdle(mode);
    }
};
