// The gallery's split views under a real X server: a divider dragged with
// the mouse, and the layout that is then stored in the user defaults.
#include <cmath>
#include <sstream>

#include "E2EFixture.h"

namespace e2e {

class SplitViewEndToEnd : public ProgramTest { };

TEST_F(SplitViewEndToEnd, ADraggedDividerIsStoredAsTheNewLayout)
{
    const pid_t gallery = session().spawn({E2E_GALLERY, "split-views"}, "gallery.log");
    const std::string window = session().waitForWindowNamed("Gallery: Split views", std::chrono::seconds(60));
    ASSERT_FALSE(window.empty()) << session().readFile(session().folder() + "/gallery.log");
    const Geometry g = geometry(window);
    // The first pane is 170 points wide; its six-point divider runs the
    // whole height, so the window's middle row crosses it.
    const int x = g.x + 173, y = g.y + g.height / 2;
    // The stored layout: the number of panes, then each pane's size.
    auto firstPane = [&]() -> double {
        // Before the first write there is no file: no layout yet.
        const std::string stored = session().run({E2E_DEFAULTS_TOOL, session().configFolder()}).output;
        const auto at = stored.find("QXSplitView V Gallery = ");
        if (at == std::string::npos) return -1;
        std::istringstream values(stored.substr(at + 24));
        double count = 0, first = -1;
        values >> count >> first;
        return count == 3 ? first : -1;
    };
    // Pressed once the first pane shows (nearly white, left of the divider).
    bool shown = false;
    session().pollShot("drawn", [&](const Shot& shot) {
        const uint32_t p = shot.pixel(x - 60, y);
        return shown = (p >> 16) >= 240 && (p >> 16) == (p & 0xff);
    });
    ASSERT_TRUE(shown);
    session().run({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "mousedown", "1"});
    for (int step = 1; step <= 6; ++step)
        session().run({"xdotool", "mousemove", std::to_string(x + 10 * step), std::to_string(y)});
    session().run({"xdotool", "mouseup", "1"});
    EXPECT_TRUE(waitFor([&] { return std::abs(firstPane() - 230) < 1; }, std::chrono::seconds(20))) << storedDefaults();
    EXPECT_EQ(session().terminate(gallery, std::chrono::seconds(20)), 0)
        << session().readFile(session().folder() + "/gallery.log");
}

}  // namespace e2e
