// Guidelines handled with the mouse: each line has a delete box and a drag box
// (13 x 13) next to each other at the edge of the guideline window, at the
// top for vertical lines and at the left for horizontal ones.
#include "E2EFixture.h"

using namespace e2e;
using namespace std::chrono_literals;

namespace {
class GuidelineScenario : public ProgramTest {
protected:
    // A vertical line in screen column x: dark from 100 to 300 pixels down.
    bool columnShown(const Shot& s, int x) const { return s.count(x, m_view.y + 100, 1, 200, isDark) == 200; }
    bool rowShown(const Shot& s, int y) const { return s.count(m_view.x + 400, y, 300, 1, isDark) == 300; }

    // Presses in one place, moves in steps and lets go in another, each
    // step one motion event.
    void drag(int fromX, int fromY, int toX, int toY)
    {
        std::vector<std::string> argv = {"xdotool",   "mousemove", std::to_string(fromX), std::to_string(fromY),
                                         "mousedown", "1"};
        for (int step = 1; step <= 3; ++step) {
            argv.insert(argv.end(), {"mousemove", std::to_string(fromX + (toX - fromX) * step / 3),
                                     std::to_string(fromY + (toY - fromY) * step / 3)});
        }
        argv.insert(argv.end(), {"mouseup", "1"});
        session().run(argv);
    }

    Geometry m_view;
};

// A vertical line at x 300 and a horizontal one at y 200 (in the window,
// whose top is the top of the visible frame).
TEST_F(GuidelineScenario, LinesAreDraggedByTheirDragBoxAndDeletedByTheirDeleteBox)
{
    writeDefaults({"GuidelinesVisible=YES", "RUVFirstStart=NO", "GuidelineSets=1:300,0:200"});
    const std::string window = launch("plumbline.log", "Guidelines");
    ASSERT_FALSE(window.empty());
    m_view = geometry(window);
    ASSERT_GT(m_view.width, 800);
    const int x0 = m_view.x, y0 = m_view.y;
    Shot shot = session().pollShot("guidelines-preloaded",
                                   [&](const Shot& s) { return columnShown(s, x0 + 300) && rowShown(s, y0 + 200); });
    ASSERT_TRUE(columnShown(shot, x0 + 300) && rowShown(shot, y0 + 200)) << programOutput();

    // Drag boxes: below the vertical line's delete box, right of the
    // horizontal line's.
    drag(x0 + 300, y0 + 20, x0 + 360, y0 + 20);
    drag(x0 + 7, y0 + 200, x0 + 7, y0 + 250);
    shot = session().pollShot("guidelines-dragged", [&](const Shot& s) {
        return columnShown(s, x0 + 360) && rowShown(s, y0 + 250) && !columnShown(s, x0 + 300) && !rowShown(s, y0 + 200);
    });
    EXPECT_TRUE(columnShown(shot, x0 + 360));
    EXPECT_TRUE(rowShown(shot, y0 + 250));
    EXPECT_FALSE(columnShown(shot, x0 + 300));
    EXPECT_FALSE(rowShown(shot, y0 + 200));

    // The vertical line's delete box, at the very top.
    click(x0 + 360, y0 + 7);
    shot = session().pollShot("guidelines-deleted",
                              [&](const Shot& s) { return !columnShown(s, x0 + 360) && rowShown(s, y0 + 250); });
    EXPECT_FALSE(columnShown(shot, x0 + 360));
    EXPECT_TRUE(rowShown(shot, y0 + 250));

    quit();
    EXPECT_NE(storedDefaults().find("GuidelineSets = [\"E2E\": (0, 250)]"), std::string::npos) << storedDefaults();
}
}  // namespace
