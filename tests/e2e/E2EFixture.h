// The fixture the end-to-end scenarios share: one session per test, the
// program it launches, the helper window, and the input and checks the
// scenarios are written with. Every test ends with the program quitting
// cleanly on SIGTERM.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "E2ESession.h"
#include "WaitUntil.h"

namespace e2e {

constexpr uint32_t kHelperColor = 0x2040c0;
// The corner ruler: a horizontal arm along the top and a vertical arm down
// the left edge, both white, over a transparent body.
constexpr int kArm = 40;

// The arms are white at the ruler window's opacity over whatever is below.
inline bool isWhite(uint32_t rgb)
{
    const uint32_t r = rgb >> 16, g = (rgb >> 8) & 0xff, b = rgb & 0xff;
    return r >= 200 && g >= 200 && b >= 200;
}
// Guidelines and the frame are black by default.
inline bool isDark(uint32_t rgb) { return (rgb >> 16) < 40 && ((rgb >> 8) & 0xff) < 40 && (rgb & 0xff) < 40; }
inline bool isBackground(uint32_t rgb) { return rgb == kBackground; }
inline bool isHelper(uint32_t rgb) { return rgb == kHelperColor; }

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
};

class ProgramTest : public testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        m_session =
            std::make_unique<Session>(std::string(info->test_suite_name()) + "-" + info->name(), serverArguments());
        ASSERT_TRUE(m_session->ready()) << m_session->problem();
    }

    // What the test's X server is started with beyond the usual.
    virtual std::vector<std::string> serverArguments() const { return {}; }

    void TearDown() override
    {
        if (m_program > 0 && session().alive(m_program)) {
            const int status = session().terminate(m_program, std::chrono::seconds(20));
            EXPECT_EQ(status, 0) << "program output:\n" << programOutput();
        }
    }

    Session& session() { return *m_session; }

    // Starts the program and answers its window of that name (the corner
    // ruler of a first launch unless told), or "". A second launch in a test
    // names another log.
    std::string launch(const std::string& log = "plumbline.log", const std::string& windowName = "Corner Ruler")
    {
        m_programLog = log;
        m_program = session().launchProgram(log);
        const std::string window = session().waitForWindowNamed(windowName, std::chrono::seconds(60));
        EXPECT_FALSE(window.empty()) << "no window \"" << windowName << "\" mapped; program output:\n"
                                     << programOutput();
        return window;
    }

    // Starts the program and answers the first-launch corner ruler's frame.
    Geometry launchAndFindCornerRuler()
    {
        const std::string window = launch();
        return window.empty() ? Geometry{} : geometry(window);
    }

    // SIGTERM quits through the application, which stores the defaults.
    void quit()
    {
        const int status = session().terminate(m_program, std::chrono::seconds(20));
        m_program = -1;
        EXPECT_EQ(status, 0) << "program output:\n" << programOutput();
    }

    std::string storedDefaults()
    {
        const Result stored = session().run({E2E_DEFAULTS_TOOL, session().configFolder()});
        EXPECT_EQ(stored.status, 0) << stored.output;
        return stored.output;
    }

    Geometry geometry(const std::string& window)
    {
        Result r = session().run({"xdotool", "getwindowgeometry", "--shell", window});
        Geometry g;
        std::istringstream lines(r.output);
        for (std::string line; std::getline(lines, line);) {
            const auto eq = line.find('=');
            if (eq == std::string::npos) continue;
            const std::string key = line.substr(0, eq);
            const int value = std::atoi(line.c_str() + eq + 1);
            if (key == "X") g.x = value;
            if (key == "Y") g.y = value;
            if (key == "WIDTH") g.width = value;
            if (key == "HEIGHT") g.height = value;
        }
        return g;
    }

    // The pointer moves through XTest, with a nudge either way so a motion
    // event is sent even when the target is where the pointer already is.
    void movePointer(int x, int y)
    {
        session().run({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "mousemove_relative", "1", "0",
                       "mousemove_relative", "--", "-1", "0"});
    }

    void click(int x, int y)
    {
        session().run({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "mousemove_relative", "1", "0",
                       "mousemove_relative", "--", "-1", "0", "click", "1"});
    }

    void key(const std::string& combination) { session().run({"xdotool", "key", combination}); }

    void writeDefaults(std::vector<std::string> entries)
    {
        entries.insert(entries.begin(), {E2E_WRITE_DEFAULTS, session().configFolder()});
        const Result r = session().run(entries);
        ASSERT_EQ(r.status, 0) << r.output;
    }

    // Starts the helper window and waits until it has mapped and taken focus.
    void startHelper(int x, int y, int width, int height)
    {
        m_helperLog = session().folder() + "/helper.log";
        m_helper = session().spawn({E2E_HELPER, "window", std::to_string(x), std::to_string(y), std::to_string(width),
                                    std::to_string(height), "2040c0", m_helperLog},
                                   "helper-output.log");
        ASSERT_TRUE(waitForHelperLog("ready", std::chrono::seconds(20))) << helperLog();
    }

    std::string helperLog() { return session().readFile(m_helperLog); }

    bool waitForHelperLog(const std::string& text, std::chrono::milliseconds limit)
    {
        return waitFor([&] { return helperLog().find(text) != std::string::npos; }, limit);
    }

    bool waitForProgramOutput(const std::string& text, std::chrono::milliseconds limit)
    {
        return waitFor([&] { return programOutput().find(text) != std::string::npos; }, limit);
    }

    // Polls the condition every 50 ms until it holds or the time is up.
    template <typename Condition> static bool waitFor(Condition condition, std::chrono::milliseconds limit)
    {
        return test_support::waitUntil(condition, limit, std::chrono::milliseconds(50));
    }

    std::string programOutput() { return session().readFile(session().folder() + "/" + m_programLog); }

    std::unique_ptr<Session> m_session;
    pid_t m_program = -1;
    pid_t m_helper = -1;
    std::string m_helperLog;
    std::string m_programLog = "plumbline.log";
};

}  // namespace e2e
