// Plumbline end to end: the sanitizer build of the program on a private Xvfb
// with a compositor, driven with xdotool and checked on screenshots.
#include <signal.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "E2EFixture.h"

using namespace e2e;
using namespace std::chrono_literals;

namespace {
class EndToEnd : public ProgramTest { };

TEST_F(EndToEnd, FirstLaunchShowsCornerRulerAndSigtermStoresDefaults)
{
    const std::string window = launch();
    ASSERT_FALSE(window.empty());
    // The window manager and tools know it by its role and the bundle's name.
    const Result wmClass = session().run({"xprop", "-id", window, "WM_CLASS"});
    EXPECT_EQ(wmClass.output, "WM_CLASS(STRING) = \"Corner Ruler\", \"Plumbline\"\n");
    const Geometry ruler = geometry(window);
    ASSERT_GT(ruler.width, 2 * kArm);
    ASSERT_GT(ruler.height, 2 * kArm);
    const int bodyX = ruler.x + kArm + 20, bodyY = ruler.y + ruler.height - 20;
    const Shot shot = session().pollShot("corner-ruler", [&](const Shot& s) {
        return s.count(ruler.x + 2, ruler.y + 2, ruler.width - 4, 10, isWhite) > (ruler.width - 4) * 5 &&
               s.count(ruler.x + 2, ruler.y + kArm + 2, 10, ruler.height - kArm - 4, isWhite) > ruler.height / 2 &&
               isBackground(s.pixel(bodyX, bodyY));
    });
    ASSERT_TRUE(shot.valid());
    // Arms drawn, the body between them composited over the grey background.
    EXPECT_GT(shot.count(ruler.x + 2, ruler.y + 2, ruler.width - 4, 10, isWhite), (ruler.width - 4) * 5);
    EXPECT_GT(shot.count(ruler.x + 2, ruler.y + kArm + 2, 10, ruler.height - kArm - 4, isWhite), ruler.height / 2);
    EXPECT_EQ(shot.pixel(bodyX, bodyY), kBackground);
    EXPECT_EQ(shot.pixel(ruler.x - 5, ruler.y - 5), kBackground);

    // SIGTERM quits through the application, which writes the defaults.
    const int status = session().terminate(m_program, 20s);
    m_program = -1;
    EXPECT_EQ(status, 0) << "program output:\n" << programOutput();
    const Result stored = session().run({E2E_DEFAULTS_TOOL, session().configFolder()});
    EXPECT_EQ(stored.status, 0) << stored.output;
    EXPECT_NE(stored.output.find("GuidelineSets = [\"Default\":]"), std::string::npos) << stored.output;
    EXPECT_NE(stored.output.find("RUVFirstStart = NO"), std::string::npos) << stored.output;
}

TEST_F(EndToEnd, RulerMarkerFollowsThePointer)
{
    const Geometry ruler = launchAndFindCornerRuler();
    ASSERT_GT(ruler.width, 300);
    // The horizontal arm shows a red marker in the pointer's column, also when
    // the pointer is over another client's window that has the focus.
    startHelper(0, ruler.y + ruler.height + 10, kScreenWidth, 100);
    auto markerAt = [&](const Shot& s, int column) { return s.count(column, ruler.y, 1, kArm, isReddish) >= 10; };
    const int first = ruler.x + 120, second = ruler.x + 260;
    movePointer(first, ruler.y + ruler.height + 40);
    Shot shot = session().pollShot("marker-first", [&](const Shot& s) { return markerAt(s, first); });
    EXPECT_TRUE(markerAt(shot, first));
    EXPECT_FALSE(markerAt(shot, second));

    movePointer(second, ruler.y + ruler.height + 40);
    shot =
        session().pollShot("marker-second", [&](const Shot& s) { return markerAt(s, second) && !markerAt(s, first); });
    EXPECT_TRUE(markerAt(shot, second));
    EXPECT_FALSE(markerAt(shot, first));
}

TEST_F(EndToEnd, OverlayStaysAboveAWindowMappedAfterIt)
{
    const Geometry ruler = launchAndFindCornerRuler();
    ASSERT_GT(ruler.width, 2 * kArm);
    // A helper window covering the whole ruler and more, mapped afterwards.
    startHelper(ruler.x - 50, ruler.y - 50, ruler.width + 100, ruler.height + 100);
    const int bodyX = ruler.x + kArm + 20, bodyY = ruler.y + ruler.height - 20;
    const Shot shot = session().pollShot("overlay-above-helper", [&](const Shot& s) {
        return isHelper(s.pixel(ruler.x - 20, ruler.y - 20)) && isHelper(s.pixel(bodyX, bodyY)) &&
               s.count(ruler.x + 2, ruler.y + 2, ruler.width - 4, 10, isWhite) > (ruler.width - 4) * 5;
    });
    EXPECT_TRUE(isHelper(shot.pixel(ruler.x - 20, ruler.y - 20)));
    // The arms stay on top; the helper shows through the transparent body.
    EXPECT_GT(shot.count(ruler.x + 2, ruler.y + 2, ruler.width - 4, 10, isWhite), (ruler.width - 4) * 5);
    EXPECT_EQ(shot.count(ruler.x + 2, ruler.y + 2, ruler.width - 4, 10, isHelper), 0);
    EXPECT_TRUE(isHelper(shot.pixel(bodyX, bodyY)));
}

TEST_F(EndToEnd, ClickOnTransparentPartOfTheCornerRulerReachesTheWindowBelow)
{
    startHelper(0, 0, kScreenWidth, kScreenHeight);
    const Geometry ruler = launchAndFindCornerRuler();
    ASSERT_GT(ruler.width, 2 * kArm);
    const int bodyX = ruler.x + kArm + 30, bodyY = ruler.y + ruler.height - 30;
    const Shot shot = session().pollShot("corner-ruler-click-through", [&](const Shot& s) {
        return isHelper(s.pixel(bodyX, bodyY)) &&
               s.count(ruler.x + 2, ruler.y + 2, ruler.width - 4, 10, isWhite) > (ruler.width - 4) * 5;
    });
    ASSERT_TRUE(isHelper(shot.pixel(bodyX, bodyY)));

    // A click on an arm stays with the ruler; one on the transparent body
    // reaches the helper. The second click's arrival shows the first would
    // have arrived by then.
    const int armX = ruler.x + 150, armY = ruler.y + 8;
    session().run({"xdotool", "mousemove", std::to_string(armX), std::to_string(armY), "click", "1"});
    session().run({"xdotool", "mousemove", std::to_string(bodyX), std::to_string(bodyY), "click", "1"});
    EXPECT_TRUE(waitForHelperLog("click 1 " + std::to_string(bodyX) + " " + std::to_string(bodyY), 10s)) << helperLog();
    EXPECT_EQ(helperLog().find("click 1 " + std::to_string(armX) + " "), std::string::npos) << helperLog();
}

// Preloaded guidelines: a vertical line at x 300 and a horizontal one at
// y 200 over a helper window that covers the screen; SIGTERM stores them back.
TEST_F(EndToEnd, GuidelinesDrawTheirLinesLetClicksThroughAndAreStoredOnQuit)
{
    writeDefaults({"GuidelinesVisible=YES", "RUVFirstStart=NO", "GuidelineSets=1:300,0:200"});
    startHelper(0, 0, kScreenWidth, kScreenHeight);
    m_program = session().launchProgram();
    ASSERT_FALSE(session().waitForWindowNamed("Guidelines", 60s).empty()) << programOutput();
    auto notHelper = [](uint32_t p) { return !isHelper(p); };
    auto lineColumn = [&](const Shot& s) { return s.count(299, 400, 3, 100, notHelper); };
    // The view's origin is the top of the visible frame, which leaves room
    // for the menu bar: the row is searched for just below y 200.
    auto lineRow = [&](const Shot& s) {
        for (int y = 195; y < 240; ++y)
            if (s.count(600, y, 100, 1, notHelper) == 100) return y;
        return -1;
    };
    const Shot shot = session().pollShot("guidelines", [&](const Shot& s) {
        return lineColumn(s) >= 100 && lineRow(s) >= 200 && isHelper(s.pixel(400, 400));
    });
    EXPECT_GE(lineColumn(shot), 100);
    EXPECT_GE(lineRow(shot), 200);
    // Only the lines: the rest of the screen is the helper, composited through.
    EXPECT_TRUE(isHelper(shot.pixel(400, 400)));
    EXPECT_TRUE(isHelper(shot.pixel(310, 450)));
    EXPECT_TRUE(isHelper(shot.pixel(600, lineRow(shot) + 5)));

    session().run({"xdotool", "mousemove", "400", "400", "click", "1"});
    EXPECT_TRUE(waitForHelperLog("click 1 400 400", 10s)) << helperLog();

    // Quitting keeps the set and the guidelines' visibility.
    const int status = session().terminate(m_program, 20s);
    m_program = -1;
    EXPECT_EQ(status, 0) << "program output:\n" << programOutput();
    const Result stored = session().run({E2E_DEFAULTS_TOOL, session().configFolder()});
    EXPECT_NE(stored.output.find("GuidelineSets = [\"E2E\": (1, 300) (0, 200)]"), std::string::npos) << stored.output;
    EXPECT_NE(stored.output.find("GuidelinesVisible = YES"), std::string::npos) << stored.output;
}

// Control-Shift-G (key code 5 with the control and shift flags) set as the
// hot key; the helper holds the focus while it is pressed.
TEST_F(EndToEnd, HotKeyHidesAndShowsOverlaysWhileAnotherWindowHasFocus)
{
    writeDefaults({"GuidelineKeyCode=5", "GuidelineKeyModifier=393216", "AcceptHotKey=YES"});
    const Geometry ruler = launchAndFindCornerRuler();
    ASSERT_GT(ruler.width, 2 * kArm);
    auto armsShown = [&](const Shot& s) {
        return s.count(ruler.x + 2, ruler.y + 2, ruler.width - 4, 10, isWhite) > (ruler.width - 4) * 5;
    };
    auto armsHidden = [&](const Shot& s) {
        return s.count(ruler.x + 2, ruler.y + 2, ruler.width - 4, 10, isBackground) == (ruler.width - 4) * 10;
    };
    ASSERT_TRUE(armsShown(session().pollShot("hotkey-before", armsShown)));
    startHelper(10, 10, 200, 100);

    session().run({"xdotool", "key", "ctrl+shift+g"});
    EXPECT_TRUE(armsHidden(session().pollShot("hotkey-hidden", armsHidden))) << programOutput();
    session().run({"xdotool", "key", "ctrl+shift+g"});
    EXPECT_TRUE(armsShown(session().pollShot("hotkey-shown-again", armsShown))) << programOutput();
    // The grab took the combination: the focused helper saw the modifiers go
    // down but never the G (key code 42 in Xvfb's keymap).
    EXPECT_EQ(helperLog().find("key 42 "), std::string::npos) << helperLog();
}
}  // namespace

namespace {

// User and system CPU time of a process so far, in clock ticks.
long cpuTicks(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) utime = std::atol(field.c_str());
        if (i == 15) stime = std::atol(field.c_str());
    }
    return utime + stime;
}

}  // namespace

// Two instances on one display without a window manager: both keep their
// overlays above other windows, and neither raises above the other's, so
// they settle instead of restacking in answer to each other for ever; both
// quit on SIGTERM.
TEST_F(EndToEnd, TwoInstancesSettleTheirOverlaysAndBothQuitOnSigterm)
{
    // Both show their guidelines: a screen-wide overlay each.
    writeDefaults({"GuidelinesVisible=YES", "RUVFirstStart=NO", "GuidelineSets=1:300,0:200"});
    ASSERT_FALSE(launch("first.log", "Guidelines").empty());
    const pid_t first = m_program;
    const pid_t second = session().launchProgram("second.log");
    EXPECT_TRUE(waitFor(
        [&] {
            return session().findWindows({"--name", "^Guidelines$"}).size() >= 2;
        },
        60s))
        << session().readFile(session().folder() + "/second.log");
    std::this_thread::sleep_for(2s);  // time to settle
    const long before = cpuTicks(first) + cpuTicks(second);
    std::this_thread::sleep_for(2s);
    const long spent = cpuTicks(first) + cpuTicks(second) - before;
    EXPECT_LT(spent, long(sysconf(_SC_CLK_TCK)) / 2) << "the two are still busy after settling";

    const auto start = std::chrono::steady_clock::now();
    kill(second, SIGTERM);
    EXPECT_EQ(session().terminate(first, 20s), 0) << programOutput();
    m_program = -1;
    EXPECT_EQ(session().terminate(second, 20s), 0) << session().readFile(session().folder() + "/second.log");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}
