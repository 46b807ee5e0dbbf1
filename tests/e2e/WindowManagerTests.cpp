// Plumbline under a window manager (openbox): overlays stay above later
// windows, dialogs take the focus, carry the manager's title bar and no second
// one of their own, and close through the manager.
#include <gtest/gtest.h>

#include <sstream>
#include <thread>

#include "E2ESession.h"
#include "WaitUntil.h"

using namespace e2e;
using namespace std::chrono_literals;

namespace {
constexpr uint32_t kHelperColour = 0x2040c0;
// The corner ruler's arms are this thick.
constexpr int kRulerArm = 40;

bool isBright(uint32_t rgb) { return (rgb >> 16) >= 200 && ((rgb >> 8) & 0xff) >= 200 && (rgb & 0xff) >= 200; }

struct Box {
    int x = 0, y = 0, width = 0, height = 0;
};

class UnderWindowManager : public testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        m_session = std::make_unique<Session>(std::string("wm-") + info->name());
        ASSERT_TRUE(m_session->ready()) << m_session->problem();
        if (session().run({"sh", "-c", "command -v openbox"}).status != 0)
            GTEST_SKIP() << "openbox is not installed (scripts/setup installs it)";
        session().spawn({"openbox"}, "openbox.log");
        ASSERT_TRUE(waitForWindowManager()) << session().readFile(session().folder() + "/openbox.log");
    }

    void TearDown() override
    {
        if (m_program > 0 && session().alive(m_program)) {
            const int status = session().terminate(m_program, 20s);
            EXPECT_EQ(status, 0) << "program output:\n" << programOutput();
        }
    }

    Session& session() { return *m_session; }

    std::string programOutput() { return session().readFile(session().folder() + "/plumbline.log"); }

    // The manager names its check window on the root once it runs.
    bool waitForWindowManager()
    {
        return waitForOutput({"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"}, "window id #", 20s);
    }

    // Starts the program and answers its first-launch corner ruler.
    std::string launch()
    {
        m_program = session().launchProgram();
        std::vector<std::string> found;
        if (test_support::waitUntil(
                [&] {
                    return !(found = session().findWindows({"--classname", "^Corner Ruler$"})).empty();
                },
                60s, 100ms))
            return found.front();
        ADD_FAILURE() << "no corner ruler mapped; program output:\n" << programOutput();
        return "";
    }

    // Where the client window itself is on the root (xwininfo's absolute
    // corner: a framed window's parent is the manager's frame).
    Box geometry(const std::string& window)
    {
        const Result r = session().run({"xwininfo", "-id", window});
        Box box;
        std::istringstream lines(r.output);
        for (std::string line; std::getline(lines, line);) {
            const auto colon = line.find(':');
            if (colon == std::string::npos) continue;
            const std::string key = line.substr(0, colon);
            const int value = std::atoi(line.c_str() + colon + 1);
            if (key.find("Absolute upper-left X") != std::string::npos) box.x = value;
            if (key.find("Absolute upper-left Y") != std::string::npos) box.y = value;
            if (key == "  Width") box.width = value;
            if (key == "  Height") box.height = value;
        }
        return box;
    }

    // Polls a command until its output holds the text or the time is up.
    bool waitForOutput(const std::vector<std::string>& command, const std::string& text,
                       std::chrono::milliseconds limit = 15s)
    {
        return test_support::waitUntil(
            [&] { return session().run(command, 5s).output.find(text) != std::string::npos; }, limit, 100ms);
    }

    // A visible window of the program whose name is the title, or "".
    std::string findNamed(const std::string& title, std::chrono::milliseconds limit = 15s)
    {
        std::vector<std::string> found;
        test_support::waitUntil(
            [&] {
                return !(found = session().findWindows({"--name", "^" + title + "$"})).empty();
            },
            limit, 100ms);
        return found.empty() ? "" : found.front();
    }

    // The id the helper program reports in its log once its window is up.
    std::string helperWindow(const std::string& log)
    {
        std::string id;
        test_support::waitUntil(
            [&] {
                const std::string text = session().readFile(log);
                const auto at = text.find("ready ");
                if (at == std::string::npos || text.find('\n', at) == std::string::npos) return false;
                id = text.substr(at + 6, text.find('\n', at) - at - 6);
                return true;
            },
            20s, 50ms);
        return id;
    }

    // Waits until the file in the session's folder holds the text.
    bool waitForText(const std::string& file, const std::string& text)
    {
        const std::string path = session().folder() + "/" + file;
        return test_support::waitUntil([&] { return session().readFile(path).find(text) != std::string::npos; }, 15s,
                                       50ms);
    }

    // A decimal window id as xprop writes it ("0x400005").
    static std::string hex(const std::string& decimal)
    {
        std::ostringstream out;
        out << "0x" << std::hex << std::stoul(decimal);
        return out.str();
    }

    std::unique_ptr<Session> m_session;
    pid_t m_program = -1;
};

TEST_F(UnderWindowManager, TheCornerRulerStaysAboveAWindowMappedLater)
{
    const std::string ruler = launch();
    ASSERT_FALSE(ruler.empty());
    const Box r = geometry(ruler);
    ASSERT_GT(r.width, 2 * kRulerArm);
    // The overlay is managed, kept above by the manager, and never decorated.
    EXPECT_TRUE(waitForOutput({"xprop", "-id", ruler, "_NET_WM_STATE"}, "_NET_WM_STATE_ABOVE"));

    const std::string log = session().folder() + "/helper.log";
    session().spawn({E2E_HELPER, "window", std::to_string(r.x - 60), std::to_string(r.y - 60),
                     std::to_string(r.width + 120), std::to_string(r.height + 120), "2040c0", log},
                    "helper-output.log");
    // The manager places a window that names no place itself: put it over
    // the ruler.
    const std::string id = helperWindow(log);
    ASSERT_FALSE(id.empty()) << session().readFile(log);
    session().run({"xdotool", "windowmove", id, std::to_string(r.x - 60), std::to_string(r.y - 60)});
    auto armsOnTop = [&](const Shot& s) {
        return s.count(r.x + 2, r.y + 2, r.width - 4, 10, isBright) > (r.width - 4) * 5 &&
               s.count(r.x + 2, r.y + 2, r.width - 4, 10, [](uint32_t p) { return p == kHelperColour; }) == 0;
    };
    auto helperShows = [&](const Shot& s) { return s.pixel(r.x - 20, r.y + r.height + 20) == kHelperColour; };
    const Shot shot =
        session().pollShot("ruler-above-helper", [&](const Shot& s) { return helperShows(s) && armsOnTop(s); });
    ASSERT_TRUE(helperShows(shot)) << "the helper window never showed";
    EXPECT_TRUE(armsOnTop(shot));
    // The ruler's transparent body shows the helper through it.
    EXPECT_EQ(shot.pixel(r.x + kRulerArm + 30, r.y + r.height - 30), kHelperColour);
}

TEST_F(UnderWindowManager, PreferencesTakeTheFocusWearOneTitleBarAndCloseThroughTheManager)
{
    const std::string ruler = launch();
    ASSERT_FALSE(ruler.empty());
    const Box r = geometry(ruler);
    // A click on the ruler's arm gives the program the focus; Command-comma
    // (Super here) then opens the preferences.
    session().run({"xdotool", "mousemove", std::to_string(r.x + 150), std::to_string(r.y + 8), "click", "1"});
    ASSERT_TRUE(waitForOutput({"xdotool", "getactivewindow"}, ruler.substr(0, ruler.find('\n'))))
        << "the ruler never took the focus";
    session().run({"xdotool", "key", "super+comma"});
    const std::string preferences = findNamed("Preferences");
    ASSERT_FALSE(preferences.empty()) << programOutput();
    EXPECT_TRUE(waitForOutput({"xdotool", "getactivewindow", "getwindowname"}, "Preferences"));

    // The manager's frame surrounds it, with its title bar above the content.
    ASSERT_TRUE(waitForOutput({"xprop", "-id", preferences, "_NET_FRAME_EXTENTS"}, "="));
    const std::string extents = session().run({"xprop", "-id", preferences, "_NET_FRAME_EXTENTS"}).output;
    int left = 0, right = 0, top = 0, bottom = 0;
    ASSERT_EQ(
        std::sscanf(extents.substr(extents.find('=') + 1).c_str(), "%d , %d , %d , %d", &left, &right, &top, &bottom),
        4)
        << extents;
    EXPECT_GT(top, 0) << extents;

    // Its own top rows are content: the window background, not a second,
    // layer-drawn title bar (light grey with a darker line under it and a
    // red close box at the left).
    const Box p = geometry(preferences);
    auto isCloseBoxRed = [](uint32_t rgb) {
        const int red = int(rgb >> 16), green = int(rgb >> 8) & 0xff, blue = int(rgb) & 0xff;
        return red > 200 && green < 140 && blue < 140;
    };
    // Drawn once its top row and its bottom row show the window background.
    const Shot shot = session().pollShot("preferences", [&](const Shot& s) {
        const uint32_t top = s.pixel(p.x + p.width / 2, p.y + 1);
        return top != kBackground && s.pixel(p.x + 5, p.y + p.height - 3) == top;
    });
    EXPECT_EQ(shot.count(p.x, p.y, 30, 22, isCloseBoxRed), 0) << "a close box of the layer's own";
    // The layer's bar ends in a one-pixel line darker than the bar; the
    // content's first rows are the window background all along.
    const uint32_t firstRow = shot.pixel(p.x + p.width / 2, p.y + 1);
    EXPECT_NE(firstRow, 0xd9d9d9u) << "the layer's title-bar grey";
    EXPECT_EQ(shot.count(p.x + 40, p.y, p.width - 80, 10, [&](uint32_t px) { return px == firstRow; }),
              (p.width - 80) * 10);

    // Closing through the manager (Alt-F4 in its default bindings) closes it.
    session().run({"xdotool", "key", "alt+F4"});
    EXPECT_TRUE(test_support::waitUntil(
        [&] {
            return session().findWindows({"--name", "^Preferences$"}).empty();
        },
        15s, 100ms))
        << "the preferences window is still shown";
    EXPECT_TRUE(session().alive(m_program)) << programOutput();
}

}  // namespace

namespace {

// The guideline window covers the screen but never takes the focus: the
// manager keeps it above and gives clicks' focus elsewhere.
TEST_F(UnderWindowManager, TheGuidelineWindowNeverTakesTheFocus)
{
    const Result written = session().run({E2E_WRITE_DEFAULTS, session().configFolder(), "GuidelinesVisible=YES",
                                          "RUVFirstStart=NO", "GuidelineSets=1:300,0:200"});
    ASSERT_EQ(written.status, 0) << written.output;
    m_program = session().launchProgram();
    std::vector<std::string> found;
    test_support::waitUntil(
        [&] {
            return !(found = session().findWindows({"--classname", "^Guidelines$"})).empty();
        },
        60s, 100ms);
    ASSERT_FALSE(found.empty()) << programOutput();
    const std::string guidelines = found.front();
    const std::string hints = session().run({"xprop", "-id", guidelines, "WM_HINTS", "_NET_WM_STATE"}).output;
    EXPECT_NE(hints.find("accepts input or input focus: False"), std::string::npos) << hints;
    EXPECT_NE(hints.find("_NET_WM_STATE_ABOVE"), std::string::npos) << hints;
    // Not even a click on a line gives it the focus. Every change of the
    // active window is recorded; a click on a helper window afterwards must
    // take the focus, which proves the manager has handled the first click.
    const std::string log = session().folder() + "/helper.log";
    session().spawn({E2E_HELPER, "window", "900", "600", "200", "100", "2040c0", log}, "helper-output.log");
    const std::string helper = helperWindow(log);
    ASSERT_FALSE(helper.empty()) << session().readFile(log);
    session().run({"xdotool", "windowmove", helper, "900", "600"});
    const pid_t spy = session().spawn({"stdbuf", "-oL", "xprop", "-root", "-spy", "_NET_ACTIVE_WINDOW"}, "active.log");
    ASSERT_GT(spy, 0);
    ASSERT_TRUE(waitForText("active.log", "_NET_ACTIVE_WINDOW"));
    session().run({"xdotool", "mousemove", "300", "400", "click", "1"});
    session().run({"xdotool", "mousemove", "1000", "650", "click", "1"});
    ASSERT_TRUE(waitForText("active.log", hex(helper))) << session().readFile(session().folder() + "/active.log");
    EXPECT_EQ(session().readFile(session().folder() + "/active.log").find(hex(guidelines)), std::string::npos)
        << "the guideline window took the focus";
}

}  // namespace
