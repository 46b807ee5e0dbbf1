// Scenarios driven through the menu bar with the mouse: the resolution frame
// from the "Screen Frame" menu, and the About box's mail button handing a
// mailto: address to the desktop's mail handler.
#include <sys/stat.h>

#include <cmath>
#include <fstream>
#include <tuple>

#include "E2EFixture.h"

using namespace e2e;
using namespace std::chrono_literals;

namespace {

// The menu's rows as the layer draws them: a 4-pixel margin, 20-pixel items.
constexpr int kMenuMargin = 4;
constexpr int kItemHeight = 20;
constexpr int kBarHeight = 24;

// The menu bar's text is dark grey on a pale strip.
bool isText(uint32_t rgb) { return (rgb & 0xff) < 0x80; }
bool isHighlight(uint32_t rgb) { return (rgb & 0xff) > 0xb0 && (rgb >> 16) < 0x60; }

// A colour drawn at the opacity over what lies below, within rounding.
bool isBlend(uint32_t rgb, uint32_t colour, uint32_t below, double opacity)
{
    for (int shift : {16, 8, 0}) {
        const double want =
            opacity * double((colour >> shift) & 0xff) + (1 - opacity) * double((below >> shift) & 0xff);
        if (std::abs(double((rgb >> shift) & 0xff) - want) > 12) return false;
    }
    return true;
}

class MenuScenario : public ProgramTest {
protected:
    // The menu bar's titles as [left, right] runs of text, left to right.
    std::vector<std::pair<int, int>> titles()
    {
        std::vector<std::pair<int, int>> runs;
        session().pollShot("titles", [&](const Shot& s) {
            runs.clear();
            int gap = 100;
            for (int x = 0; x < s.width(); ++x) {
                if (s.count(x, 4, 1, kBarHeight - 8, isText) == 0) {
                    ++gap;
                    continue;
                }
                // Words of one title are a space apart; titles are further.
                if (gap > 10) runs.push_back({x, x});
                runs.back().second = x;
                gap = 0;
            }
            return runs.size() >= 4;
        });
        return runs;
    }

    // Clicks the menu bar's title and answers the menu it opens.
    Geometry openMenu(size_t title)
    {
        const auto runs = titles();
        EXPECT_GT(runs.size(), title) << programOutput();
        if (runs.size() <= title) return {};
        click((runs[title].first + runs[title].second) / 2, kBarHeight / 2);
        std::vector<std::string> menus;
        waitFor([&] { return (menus = session().findWindows({"--classname", "^menu$"})).size() == 1; }, 15s);
        EXPECT_EQ(menus.size(), 1u) << programOutput();
        return menus.size() == 1 ? geometry(menus[0]) : Geometry{};
    }

    static int itemCentreY(const Geometry& menu, int index)
    {
        return menu.y + kMenuMargin + kItemHeight / 2 + index * kItemHeight;
    }
};

// The "Screen Frame" menu offers only the sizes that fit: a click on the
// disabled "2560 x 1440" leaves the menu open and shows no frame; "1024 x 768"
// shows a frame of that size at the top left of the screen, its right and
// bottom edges drawn in the frame colour (black by default) at the frame
// window's opacity.
TEST_F(MenuScenario, ResolutionFrameShowsTheChosenSize)
{
    writeDefaults({"RUVFirstStart=NO"});
    ASSERT_FALSE(launch("plumbline.log", "menubar").empty());
    const Geometry menu = openMenu(2);
    ASSERT_GT(menu.height, 0);
    ASSERT_EQ(menu.height, 2 * kMenuMargin + 12 * kItemHeight) << "No Frame and eleven sizes";

    // The disabled item is drawn light and takes no click.
    const int x = menu.x + 40;
    const Shot before = session().pollShot("screen-menu", [&](const Shot& s) {
        return s.count(menu.x, itemCentreY(menu, 2) - 6, menu.width, 12, isText) > 20;
    });
    EXPECT_GT(before.count(menu.x, itemCentreY(menu, 2) - 6, menu.width, 12, isText), 20) << "800 x 600 is enabled";
    EXPECT_EQ(before.count(menu.x, itemCentreY(menu, 11) - 6, menu.width, 12, isText), 0) << "2560 x 1440 is not";
    click(x, itemCentreY(menu, 11));
    // The pointer then lights "1024 x 768": the click has been handled by then.
    movePointer(x, itemCentreY(menu, 3));
    const Shot lit = session().pollShot("screen-menu-lit", [&](const Shot& s) {
        return s.count(menu.x, itemCentreY(menu, 3) - 6, menu.width, 12, isHighlight) > menu.width * 6;
    });
    ASSERT_GT(lit.count(menu.x, itemCentreY(menu, 3) - 6, menu.width, 12, isHighlight), menu.width * 6);
    EXPECT_EQ(session().findWindows({"--classname", "^menu$"}).size(), 1u) << "the menu stays open";
    EXPECT_TRUE(session().findWindows({"--name", "^Screen Frame$"}).empty());

    click(x, itemCentreY(menu, 3));
    const std::string frameWindow = session().waitForWindowNamed("Screen Frame", 15s);
    ASSERT_FALSE(frameWindow.empty()) << programOutput();
    EXPECT_TRUE(waitFor([&] { return session().findWindows({"--classname", "^menu$"}).empty(); }, 15s));
    const Geometry frame = geometry(frameWindow);
    EXPECT_EQ(frame.x, 0);
    EXPECT_EQ(frame.y, 0);
    EXPECT_EQ(frame.width, 1024);
    EXPECT_EQ(frame.height, 768);

    // The right edge runs down the last column and the bottom edge along the
    // last row, over the grey background; the inside stays clear.
    const auto frameColour = [](uint32_t c) { return isBlend(c, 0, kBackground, 0.8); };
    const auto edges = [&](const Shot& s) {
        return std::tuple{s.count(1023, kBarHeight + 10, 1, 700, frameColour), s.count(100, 767, 900, 1, frameColour),
                          s.count(1025, kBarHeight + 10, 4, 700, isBackground) +
                              s.count(100, 769, 900, 4, isBackground),
                          s.count(100, 100, 900, 600, isBackground)};
    };
    const Shot shown = session().pollShot("resolution-frame", [&](const Shot& s) {
        return edges(s) == std::tuple{700, 900, 4 * 700 + 4 * 900, 900 * 600};
    });
    const auto [right, bottom, outside, inside] = edges(shown);
    EXPECT_EQ(right, 700);
    EXPECT_EQ(bottom, 900);
    EXPECT_EQ(outside, 4 * 700 + 4 * 900);
    EXPECT_EQ(inside, 900 * 600);
}

// The About box's mail button hands the support address to xdg-email: a
// stand-in placed first on PATH records how it was called.
TEST_F(MenuScenario, AboutBoxMailButtonCallsTheMailHandler)
{
    const std::string shims = session().folder() + "/shims";
    const std::string calls = session().folder() + "/shim-calls.log";
    ASSERT_EQ(mkdir(shims.c_str(), 0755), 0);
    for (const char* name : {"xdg-email", "xdg-open"}) {
        const std::string path = shims + "/" + name;
        std::ofstream(path) << "#!/bin/sh\nprintf '%s' \"$(basename \"$0\")\" >> '" << calls
                            << "'\nfor a in \"$@\"; do printf ' %s' \"$a\" >> '" << calls << "'; done\necho >> '"
                            << calls << "'\n";
        ASSERT_EQ(chmod(path.c_str(), 0755), 0);
    }
    session().prependToPath(shims);
    writeDefaults({"RUVFirstStart=NO"});
    ASSERT_FALSE(launch("plumbline.log", "menubar").empty());

    const Geometry menu = openMenu(0);
    ASSERT_GT(menu.height, 0);
    click(menu.x + 40, itemCentreY(menu, 0));  // "About Plumbline"
    // A titled window is named by its title; its WM_CLASS instance is the role.
    std::vector<std::string> found;
    waitFor([&] { return !(found = session().findWindows({"--classname", "^About$"})).empty(); }, 15s);
    ASSERT_EQ(found.size(), 1u) << programOutput();
    const std::string about = found[0];
    // The mail button: 150 x 28 points, 20 from the left and 14 from the
    // bottom of the content (a title bar of our own may sit above it).
    const Geometry box = geometry(about);
    ASSERT_GT(box.height, 60);
    click(box.x + 20 + 75, box.y + box.height - 14 - 14);

    ASSERT_TRUE(waitFor([&] { return session().readFile(calls).find('\n') != std::string::npos; }, 15s))
        << "the mail handler was not called; program output:\n"
        << programOutput();
    EXPECT_EQ(session().readFile(calls), "xdg-email mailto:support@plumbline.org\n");
}

}  // namespace
