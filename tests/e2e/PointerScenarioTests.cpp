// How the rulers learn where the pointer is when it is over another client's
// window: from the server's raw motion events, which only real (or XTest)
// motion produces. A warp (XWarpPointer, what `xdotool mousemove` alone
// does) sends none.
#include "E2EFixture.h"

using namespace e2e;
using namespace std::chrono_literals;

namespace {
class PointerScenario : public ProgramTest { };

TEST_F(PointerScenario, RulerMarkerMovesOnRawMotionNotOnAWarp)
{
    const Geometry ruler = launchAndFindCornerRuler();
    ASSERT_GT(ruler.width, 300);
    startHelper(0, ruler.y + ruler.height + 10, kScreenWidth, 100);
    // The horizontal arm's red marker in the pointer's column (or the next:
    // the last step is one pixel to the right).
    auto markerAt = [&](const Shot& s, int column) { return s.count(column, ruler.y, 2, kArm, isReddish) >= 10; };
    const int first = ruler.x + 120, second = ruler.x + 260, y = ruler.y + ruler.height + 40;
    movePointer(first, y);
    Shot shot = session().pollShot("raw-first", [&](const Shot& s) { return markerAt(s, first); });
    ASSERT_TRUE(markerAt(shot, first));

    // A polling fallback (at 30 Hz or so) would follow the warp well within
    // this second; raw motion does not come.
    session().run({"xdotool", "mousemove", std::to_string(second), std::to_string(y)});
    shot = session().pollShot(
        "raw-after-warp", [&](const Shot& s) { return markerAt(s, second); }, 1s);
    EXPECT_FALSE(markerAt(shot, second));
    EXPECT_TRUE(markerAt(shot, first));

    // One XTest step: raw motion, and the marker jumps to where the pointer is.
    session().run({"xdotool", "mousemove_relative", "1", "0"});
    shot =
        session().pollShot("raw-after-step", [&](const Shot& s) { return markerAt(s, second) && !markerAt(s, first); });
    EXPECT_TRUE(markerAt(shot, second));
    EXPECT_FALSE(markerAt(shot, first));
}

// A server without XInput: moves are seen only over the program's own
// windows, and over them the markers do follow the pointer.
class PointerWithoutXInput : public ProgramTest {
protected:
    std::vector<std::string> serverArguments() const override { return {"-extension", "XInputExtension"}; }
};

TEST_F(PointerWithoutXInput, RulerMarkersFollowThePointerOverTheProgramsOwnWindows)
{
    const Geometry ruler = launchAndFindCornerRuler();
    ASSERT_GT(ruler.width, 300);
    auto markerAt = [&](const Shot& s, int column) { return s.count(column, ruler.y, 2, kArm, isReddish) >= 10; };
    // Along the horizontal arm: over the ruler itself.
    const int y = ruler.y + kArm / 2;
    for (int column : {ruler.x + 140, ruler.x + 280}) {
        movePointer(column, y);
        movePointer(column, y + 1);
        const Shot shot = session().pollShot("core-motion", [&](const Shot& s) { return markerAt(s, column); });
        EXPECT_TRUE(markerAt(shot, column)) << column << "\n" << programOutput();
    }
}

}  // namespace
