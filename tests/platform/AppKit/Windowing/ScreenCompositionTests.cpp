// Where windows land on the composited screen, how they stack and blend, and
// the window geometry services that depend on the screens.
#include "WindowingFixture.h"

#include "AppKit/CGDirectDisplay.h"
#include "AppKit/NSScreen.h"
#include "Foundation/NSUserDefaults.h"

NS_CLASS_DEFINE(RecordingView)

namespace {
constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;
}

TEST_F(WindowingTest, WindowCoversItsFrameOnTheScreenImage)
{
    auto w = makeWindow(NSMakeRect(100, 200, 300, 150), NSColor::redColor());
    pump();
    auto image = server().screenImage();
    ASSERT_EQ(image->height(), 1080u);
    // Rows 730 to 879 and columns 100 to 399, nothing beyond.
    for (auto [x, row] : {std::pair{100, 730}, {399, 879}, {399, 730}, {100, 879}})
        EXPECT_EQ(image->pixel(x, row), kRed) << x << "," << row;
    for (auto [x, row] : {std::pair{99, 730}, {400, 730}, {100, 729}, {100, 880}})
        EXPECT_NE(image->pixel(x, row), kRed) << x << "," << row;
}

TEST_F(WindowingTest, StatusLevelStaysAboveNormalWindowOrderedLater)
{
    auto status =
        makeWindow(NSMakeRect(0, 0, 100, 100), NSColor::blueColor(), CGWindowLevelForKey(kCGStatusWindowLevelKey));
    auto normal = makeWindow(NSMakeRect(50, 0, 100, 100), NSColor::greenColor());
    normal->orderFront(nullptr);
    pump();
    EXPECT_EQ(screenPixel(75, 1030), kBlue);
    EXPECT_EQ(screenPixel(125, 1030), kGreen);
    EXPECT_EQ(server().windowAtPoint(NSMakePoint(75, 50)), status->windowNumber());
}

TEST_F(WindowingTest, HalfTransparentWindowBlendsOverWhite)
{
    auto below = makeWindow(NSMakeRect(0, 0, 100, 100), NSColor::whiteColor());
    auto above = makeWindow(NSMakeRect(0, 0, 100, 100), NSColor::redColor());
    above->setAlphaValue(0.5);
    pump();
    const uint32_t p = screenPixel(50, 1030);
    EXPECT_EQ(p >> 24, 0xFFu);
    EXPECT_EQ((p >> 16) & 0xFF, 0xFFu);
    EXPECT_NEAR(double((p >> 8) & 0xFF), 127.5, 1.0);
    EXPECT_NEAR(double(p & 0xFF), 127.5, 1.0);
    (void)below;
}

TEST_F(WindowingTest, ScreensAndDisplayServices)
{
    auto main = NSScreen::mainScreen();
    ASSERT_TRUE(main);
    EXPECT_EQ(main->frame(), NSMakeRect(0, 0, 1920, 1080));
    EXPECT_EQ(main->visibleFrame(), NSMakeRect(0, 0, 1920, 1056));
    server().setMenuBarHeight(0);
    EXPECT_EQ(NSScreen::mainScreen()->visibleFrame(), NSMakeRect(0, 0, 1920, 1080));
    server().configureMainScreen(NSMakeSize(1280, 800), NSMakeSize(0, 0));
    EXPECT_EQ(CGDisplayPixelsWide(CGMainDisplayID()), 1280u);
    EXPECT_EQ(CGDisplayPixelsHigh(CGMainDisplayID()), 800u);
    EXPECT_EQ(CGDisplayScreenSize(CGMainDisplayID()), CGSizeMake(0, 0));
    server().setScreens({});
    EXPECT_EQ(NSScreen::screens()->count(), 0u);
    EXPECT_FALSE(NSScreen::mainScreen());
}

TEST_F(WindowingTest, WindowGeometry)
{
    WSScreen left{1, NSMakeRect(0, 0, 1000, 800), NSMakeRect(0, 0, 1000, 776), {}};
    WSScreen right{2, NSMakeRect(1000, 0, 800, 600), NSMakeRect(1000, 0, 800, 600), {}};
    server().setScreens({left, right});
    auto w = makeWindow(NSMakeRect(900, 100, 300, 100), NSColor::redColor());
    EXPECT_EQ(w->screen()->displayID(), 2u);  // 200 of 300 points on the right screen
    w->setFrame(NSMakeRect(5000, 5000, 10, 10), false);
    EXPECT_FALSE(w->screen());  // on no screen, visible or not
    w->setFrame(NSMakeRect(10, 10, 0, -5), false);
    EXPECT_EQ(w->frame().size, NSMakeSize(1, 1));
    w->setFrame(NSMakeRect(0, 0, 200, 100), false);
    w->center();
    EXPECT_EQ(w->frame().origin.x, 400);
    EXPECT_GT(w->frame().origin.y + 50, 388);  // above the middle of the visible frame
    EXPECT_EQ(w->convertBaseToScreen(NSMakePoint(1, 2)), NSMakePoint(401, w->frame().origin.y + 2));
}

TEST_F(WindowingTest, FrameAutosaveWritesAndRestoresTheFrame)
{
    char folder[] = "/tmp/appkit-defaults-XXXXXX";
    ASSERT_TRUE(mkdtemp(folder));
    setenv("XDG_CONFIG_HOME", folder, 1);
    NSUserDefaults::resetStandardUserDefaults();
    auto w = makeWindow(NSMakeRect(10, 20, 300, 200), NSColor::redColor());
    w->setFrameAutosaveName("Ruler"_ns);
    w->setFrameOrigin(NSMakePoint(30, 40));
    EXPECT_EQ(NSUserDefaults::standardUserDefaults()->stringForKey("NSWindow Frame Ruler"_ns)->UTF8String(),
              "30 40 300 200 0 0 1920 1056 ");
    auto other = makeWindow(NSMakeRect(0, 0, 10, 10), NSColor::redColor());
    EXPECT_TRUE(other->setFrameUsingName("Ruler"_ns));
    EXPECT_EQ(other->frame(), NSMakeRect(30, 40, 300, 200));
    NSUserDefaults::resetStandardUserDefaults();
}
