// Screen resolution in dots per inch, from the display's physical size on
// the headless server.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "AppKitExtensions/NSScreen+ZAKExtension.h"
#include "backend/headless/HeadlessWindowServer.h"

using namespace NSScreenExt;

TEST(ScreenResolution, DotsPerInchFromThePhysicalSize)
{
    setenv("PLUMBLINE_BACKEND", "headless", 1);
    struct Case {
        const char* what;
        NSSize points, millimetres, dpi;
    } cases[] = {
        {"96 dpi", {1920, 1080}, {508, 285.75}, {96, 96}},
        {"different in each axis", {1600, 1200}, {406.4, 203.2}, {100, 150}},
        {"unknown size", {1920, 1080}, {0, 0}, {72, 72}},
        {"only a width", {1920, 1080}, {508, 0}, {72, 72}},
        {"only a height", {1920, 1080}, {0, 285.75}, {72, 72}},
    };
    for (const auto& c : cases) {
        HeadlessWindowServer::current()->configureMainScreen(c.points, c.millimetres);
        auto screen = NSScreen::mainScreen();
        ASSERT_TRUE(screen);
        EXPECT_EQ(displayID(screen), screen->displayID()) << c.what;
        const NSSize dpi = effectiveScreenResolution(screen);
        EXPECT_NEAR(dpi.width, c.dpi.width, 1e-9) << c.what;
        EXPECT_NEAR(dpi.height, c.dpi.height, 1e-9) << c.what;
        const NSSize scale = effectiveScreenResolutionScaleFactor(screen);
        EXPECT_NEAR(scale.width, c.dpi.width / 72, 1e-12) << c.what;
        EXPECT_NEAR(scale.height, c.dpi.height / 72, 1e-12) << c.what;
    }
}

TEST(ScreenResolution, WithoutAScreen)
{
    setenv("PLUMBLINE_BACKEND", "headless", 1);
    HeadlessWindowServer::current()->setScreens({});
    EXPECT_EQ(displayID(NSScreen::mainScreen()), 0u);
    EXPECT_EQ(effectiveScreenResolution(NSScreen::mainScreen()), NSMakeSize(72, 72));
    EXPECT_EQ(effectiveScreenResolutionScaleFactor(nullptr), NSMakeSize(1, 1));
}
