#pragma once
// The headless server on the test's own thread, with the US layout current.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "AppKit/NSApplication.h"
#include "Carbon/KeyboardLayout.h"
#include "Foundation/Clock.h"
#include "backend/headless/HeadlessWindowServer.h"

class RecorderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("PLUMBLINE_BACKEND", "headless", 1);
        Clock::useVirtualClock();
        NSApplication::sharedApplication();
        KeyboardLayout::switchLayout("US");
    }

    static HeadlessWindowServer& server() { return *HeadlessWindowServer::current(); }
};

inline std::string utf8(const Ref<NSString>& s) { return s ? s->UTF8String() : std::string("(nil)"); }
