// The gallery's table grid under a real X server: column B dragged by its
// header behind column D; the data source hears the move and the tinted
// column shows in its new place.
#include "E2EFixture.h"

namespace e2e {

class TableGridEndToEnd : public ProgramTest { };

TEST_F(TableGridEndToEnd, ADraggedColumnHeaderMovesTheColumn)
{
    const pid_t gallery = session().spawn({E2E_GALLERY, "table-grid"}, "gallery.log");
    const std::string window = session().waitForWindowNamed("Gallery: Table grid", std::chrono::seconds(60));
    ASSERT_FALSE(window.empty()) << session().readFile(session().folder() + "/gallery.log");
    const Geometry g = geometry(window);
    // The grid sits 10 points inside the window; its row header is 40 wide,
    // its column header 19 high; A is 60 wide, B 60 and tinted, C 90, D 60.
    const int headerY = g.y + 10 + 9;
    const int bX = g.x + 10 + 40 + 60 + 30;
    const int behindD = g.x + 10 + 40 + 60 + 60 + 90 + 45;
    const int rowY = g.y + 10 + 19 + 20 * 10 + 10;
    auto red = [](uint32_t p) { return int((p >> 16) & 0xff); };
    bool tinted = false;
    session().pollShot("drawn", [&](const Shot& shot) { return tinted = red(shot.pixel(bX, rowY)) < 225; });
    ASSERT_TRUE(tinted);

    auto xdo = [&](std::vector<std::string> args) {
        args.insert(args.begin(), "xdotool");
        session().run(args);
    };
    // Selects column B; pressed again 10 points away, so the press is no
    // double click, it starts the move.
    xdo({"mousemove", std::to_string(bX - 10), std::to_string(headerY), "click", "1"});
    xdo({"mousemove", std::to_string(bX), std::to_string(headerY), "mousedown", "1"});
    for (int step = 1; step <= 8; ++step)
        xdo({"mousemove", std::to_string(bX + (behindD - bX) * step / 8), std::to_string(headerY)});
    xdo({"mouseup", "1"});

    EXPECT_TRUE(waitFor(
        [&] {
            return session().readFile(session().folder() + "/gallery.log").find("moved columns") != std::string::npos;
        },
        std::chrono::seconds(20)))
        << session().readFile(session().folder() + "/gallery.log");
    // B's old place now shows C (white); B is tinted where D was.
    bool moved = false;
    session().pollShot("moved", [&](const Shot& shot) {
        return moved =
                   red(shot.pixel(bX, rowY)) > 240 && red(shot.pixel(g.x + 10 + 40 + 60 + 90 + 60 + 30, rowY)) < 225;
    });
    EXPECT_TRUE(moved);
    EXPECT_EQ(session().terminate(gallery, std::chrono::seconds(20)), 0)
        << session().readFile(session().folder() + "/gallery.log");
}

}  // namespace e2e
