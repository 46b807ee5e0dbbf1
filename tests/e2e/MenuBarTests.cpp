// The menu bar on a bare X server: usable by keyboard once a Plumbline
// window has the focus, and holding the dock menu when no system tray runs.
#include <gtest/gtest.h>

#include <sstream>
#include <thread>

#include "E2ESession.h"
#include "WaitUntil.h"

using namespace e2e;
using namespace std::chrono_literals;

namespace {

struct Box {
    std::string id;
    int x = 0, y = 0, width = 0, height = 0;
};

// The menu's rows as the layer draws them: a 4-pixel margin, 20-pixel items.
constexpr int kMenuMargin = 4;
constexpr int kItemHeight = 20;
constexpr int kBarHeight = 24;

class MenuBarEndToEnd : public testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        m_session = std::make_unique<Session>(std::string(info->test_suite_name()) + "-" + info->name());
        ASSERT_TRUE(m_session->ready()) << m_session->problem();
    }
    void TearDown() override
    {
        if (m_program > 0 && m_session->alive(m_program)) m_session->terminate(m_program, 20s);
    }

    std::string programOutput() { return m_session->readFile(m_session->folder() + "/plumbline.log"); }

    // Visible windows whose WM_CLASS instance matches, with their geometry.
    std::vector<Box> windows(const std::string& instancePattern)
    {
        std::vector<Box> found;
        const Result ids = m_session->run({"xdotool", "search", "--onlyvisible", "--classname", instancePattern}, 5s);
        std::istringstream lines(ids.output);
        for (std::string id; std::getline(lines, id);) {
            if (id.empty()) continue;
            Box box{id};
            const Result g = m_session->run({"xdotool", "getwindowgeometry", "--shell", id}, 5s);
            std::istringstream values(g.output);
            for (std::string line; std::getline(values, line);) {
                const auto eq = line.find('=');
                if (eq == std::string::npos) continue;
                const int value = std::atoi(line.c_str() + eq + 1);
                const std::string key = line.substr(0, eq);
                if (key == "X") box.x = value;
                if (key == "Y") box.y = value;
                if (key == "WIDTH") box.width = value;
                if (key == "HEIGHT") box.height = value;
            }
            found.push_back(box);
        }
        return found;
    }
    // Waits until `count` pop-up menus are open (WM_CLASS instance "menu").
    std::vector<Box> waitForMenus(size_t count, std::chrono::milliseconds limit = 15s)
    {
        std::vector<Box> menus;
        test_support::waitUntil([&] { return (menus = windows("^menu$")).size() == count; }, limit, 100ms);
        return menus;
    }
    // Key names separated by spaces, typed one after the other.
    void key(const std::string& keys)
    {
        std::vector<std::string> argv{"xdotool", "key", "--delay", "50"};
        std::istringstream names(keys);
        for (std::string name; names >> name;) argv.push_back(name);
        m_session->run(argv);
    }
    void moveTo(int x, int y)
    {
        m_session->run({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "mousemove_relative", "1", "0",
                        "mousemove_relative", "--", "-1", "0"});
    }
    bool waitForText(const std::string& path, const std::string& text)
    {
        return test_support::waitUntil([&] { return m_session->readFile(path).find(text) != std::string::npos; }, 15s,
                                       50ms);
    }
    static int itemCentreY(const Box& menu, int index)
    {
        return menu.y + kMenuMargin + kItemHeight / 2 + index * kItemHeight;
    }

    // Quits with SIGTERM and answers the stored defaults.
    std::string quitAndReadDefaults()
    {
        const int status = m_session->terminate(m_program, 20s);
        m_program = -1;
        EXPECT_EQ(status, 0) << "program output:\n" << programOutput();
        return m_session->run({E2E_DEFAULTS_TOOL, m_session->configFolder()}).output;
    }

    std::unique_ptr<Session> m_session;
    pid_t m_program = -1;
};

bool isMenuBarGrey(uint32_t rgb) { return rgb == 0xf5f5f5; }
bool isText(uint32_t rgb) { return (rgb & 0xff) < 0x80; }
bool isMenuPanel(uint32_t rgb) { return rgb == 0xf7f7f7 || rgb == 0xf8f8f8; }

// F10 on the focused corner ruler (not on another client's window) opens
// the first menu; Right three times reaches "Guidelines", Down its first
// item "New Horizontal Guideline", Return chooses it: the guideline and the
// shown guideline window are stored at quit.
TEST_F(MenuBarEndToEnd, MenuBarWorksByKeyboardOnceAPlumblineWindowHasTheFocus)
{
    m_program = m_session->launchProgram();
    const std::string ruler = m_session->waitForWindowNamed("Corner Ruler", 60s);
    ASSERT_FALSE(ruler.empty()) << programOutput();
    const auto bars = windows("^menubar$");
    ASSERT_EQ(bars.size(), 1u) << programOutput();
    EXPECT_EQ(bars[0].x, 0);
    EXPECT_EQ(bars[0].y, 0);
    EXPECT_EQ(bars[0].width, kScreenWidth);
    EXPECT_EQ(bars[0].height, kBarHeight);
    const Shot bar = m_session->pollShot("menubar", [](const Shot& s) {
        return isMenuBarGrey(s.pixel(kScreenWidth - 10, 10)) && s.count(0, 4, 300, 16, isText) > 50;
    });
    EXPECT_TRUE(isMenuBarGrey(bar.pixel(kScreenWidth - 10, 10)));
    EXPECT_GT(bar.count(0, 4, 300, 16, isText), 50);

    // F10 is no global grab: while another client has the focus, the key is
    // that client's and no menu opens.
    const std::string helperLog = m_session->folder() + "/helper.log";
    m_session->spawn({E2E_HELPER, "window", "0", "700", "400", "100", "2040c0", helperLog}, "helper-output.log");
    ASSERT_TRUE(waitForText(helperLog, "ready")) << m_session->readFile(helperLog);
    key("F10");
    EXPECT_TRUE(waitForText(helperLog, "key ")) << m_session->readFile(helperLog);
    EXPECT_TRUE(windows("^menu$").empty());

    ASSERT_EQ(m_session->run({"xdotool", "windowfocus", "--sync", ruler}).status, 0);
    key("F10");
    const auto first = waitForMenus(1);
    ASSERT_EQ(first.size(), 1u) << programOutput();
    EXPECT_EQ(first[0].y, kBarHeight);
    key("Right Right Right");
    // Each Right switches to the next title's menu, further right.
    std::vector<Box> guidelines;
    test_support::waitUntil(
        [&] { return (guidelines = windows("^menu$")).size() == 1 && guidelines[0].x > first[0].x + 150; }, 15s, 100ms);
    ASSERT_EQ(guidelines.size(), 1u);
    EXPECT_GT(guidelines[0].x, first[0].x + 150);
    const Box& g = guidelines[0];
    const Shot shown = m_session->pollShot("guidelines-menu", [&](const Shot& s) {
        return s.count(g.x + 2, g.y + 2, g.width - 4, g.height - 4, isMenuPanel) > g.width * g.height / 2;
    });
    EXPECT_GT(shown.count(g.x + 2, g.y + 2, g.width - 4, g.height - 4, isMenuPanel), g.width * g.height / 2);
    key("Down Return");
    EXPECT_TRUE(waitForMenus(0).empty());

    const std::string stored = quitAndReadDefaults();
    EXPECT_NE(stored.find("GuidelinesVisible = YES"), std::string::npos) << stored;
    EXPECT_NE(stored.find("GuidelineSets = [\"Default\": (0, "), std::string::npos) << stored;
}

// No system tray on the bare server: the bar's last title is the dock menu.
// A click opens it (the delegate's menu: Rulers, Screen, Guidelines), the
// pointer on "Guidelines" opens its submenu, a click on its first item adds
// a horizontal guideline.
TEST_F(MenuBarEndToEnd, DockMenuOpensFromItsMenuBarFallback)
{
    m_program = m_session->launchProgram();
    ASSERT_FALSE(m_session->waitForWindowNamed("menubar", 60s).empty()) << programOutput();
    // The last title ends where the bar's text ends.
    int textEnd = -1;
    const Shot bar = m_session->pollShot("dock-title", [&](const Shot& s) {
        textEnd = -1;
        for (int x = 0; x < kScreenWidth; ++x)
            if (s.count(x, 4, 1, 16, isText) > 0) textEnd = x;
        return textEnd > 100 && isMenuBarGrey(s.pixel(kScreenWidth - 10, 10));
    });
    ASSERT_GT(textEnd, 100) << programOutput();

    m_session->run({"xdotool", "mousemove", std::to_string(textEnd - 6), "12", "click", "1"});
    const auto dock = waitForMenus(1);
    ASSERT_EQ(dock.size(), 1u) << programOutput();
    EXPECT_EQ(dock[0].y, kBarHeight);
    EXPECT_EQ(dock[0].height, 2 * kMenuMargin + 3 * kItemHeight);

    moveTo(dock[0].x + 60, itemCentreY(dock[0], 2));
    const auto open = waitForMenus(2);
    ASSERT_EQ(open.size(), 2u) << programOutput();
    const Box& sub = open[0].x == dock[0].x ? open[1] : open[0];
    EXPECT_GE(sub.x, dock[0].x + dock[0].width - 1);
    const Shot shown = m_session->pollShot("dock-menu", [&](const Shot& s) {
        return s.count(sub.x + 2, sub.y + 2, sub.width - 4, sub.height - 4, isMenuPanel) > sub.width * sub.height / 2;
    });
    EXPECT_GT(shown.count(sub.x + 2, sub.y + 2, sub.width - 4, sub.height - 4, isMenuPanel),
              sub.width * sub.height / 2);
    m_session->run(
        {"xdotool", "mousemove", std::to_string(sub.x + 60), std::to_string(itemCentreY(sub, 0)), "click", "1"});
    EXPECT_TRUE(waitForMenus(0).empty());

    const std::string stored = quitAndReadDefaults();
    EXPECT_NE(stored.find("GuidelinesVisible = YES"), std::string::npos) << stored;
    EXPECT_NE(stored.find("GuidelineSets = [\"Default\": (0, "), std::string::npos) << stored;
}

}  // namespace
