// The hot key recorded through Preferences: opened with Command-comma
// (Super on X11) once a ruler has the focus, the recorder clicked, the
// combination typed with xdotool; checked on the screen, in the stored
// defaults and by other X clients.
#include <signal.h>

#include "E2EFixture.h"

using namespace e2e;
using namespace std::chrono_literals;

namespace {
// Control-Shift-G: key code 5 with the control and shift flags; X key code 42
// in Xvfb's keymap.
constexpr const char* kCombination = "ctrl+shift+g";
constexpr const char* kStoredCode = "GuidelineKeyCode = 5";
constexpr const char* kStoredFlags = "GuidelineKeyModifier = 393216";
constexpr int kXKeycodeG = 42;
constexpr int kXControlShift = 0x4 | 0x1;

class RecorderScenario : public ProgramTest {
protected:
    // The recording face's blue gradient (only the focus ring is blue otherwise).
    static bool isRecordingBlue(uint32_t rgb)
    {
        const int r = int(rgb >> 16), g = int(rgb >> 8) & 0xff, b = int(rgb) & 0xff;
        return b > 170 && r < 110 && g > 70 && g < 160;
    }

    bool recording(const Shot& s) const
    {
        return s.count(m_recorder.x, m_recorder.y, m_recorder.width, m_recorder.height, isRecordingBlue) > 400;
    }

    bool armsShown(const Shot& s) const
    {
        return s.count(m_ruler.x + 2, m_ruler.y + 2, m_ruler.width - 4, 10, isWhite) > (m_ruler.width - 4) * 5;
    }
    bool armsHidden(const Shot& s) const
    {
        return s.count(m_ruler.x + 2, m_ruler.y + 2, m_ruler.width - 4, 10, isBackground) == (m_ruler.width - 4) * 10;
    }

    // The corner ruler among the program's windows (the guideline window
    // covers the screen).
    Geometry findCornerRuler()
    {
        Geometry found;
        waitFor(
            [&] {
                for (const auto& window : session().findWindows({"--class", "plumbline"})) {
                    const Geometry g = geometry(window);
                    if (g.width > 0 && g.width < kScreenWidth / 2) found = g;
                }
                return found.width > 0;
            },
            10s);
        return found;
    }

    // Launches (the first launch shows the corner ruler), switches to the
    // French layout if asked, gives the ruler the focus with a click on its
    // arm and opens Preferences with its key equivalent.
    void openPreferences(bool frenchLayout = false)
    {
        launch();
        if (frenchLayout) {
            const Result layout = session().run({"setxkbmap", "fr"});
            ASSERT_EQ(layout.status, 0) << layout.output;
        }
        m_ruler = findCornerRuler();
        ASSERT_GT(m_ruler.width, 300);
        ASSERT_TRUE(armsShown(session().pollShot("ruler", [&](const Shot& s) { return armsShown(s); })));
        click(m_ruler.x + 200, m_ruler.y + 8);
        std::string window;
        ASSERT_TRUE(waitFor(
            [&] {
                key("super+comma");
                window = session().waitForWindowNamed("Preferences", 2s);
                return !window.empty();
            },
            10s))
            << programOutput();
        m_preferences = geometry(window);
        // The recorder's frame in the 440 x 284 content, from its bottom left.
        m_recorder = {m_preferences.x + 20, m_preferences.y + m_preferences.height - 94 - 24, 190, 24};
    }

    // With the close box of the title bar the window has without a window
    // manager (12 x 12, 8 from the left, centred in the 22 high bar).
    void closePreferences()
    {
        click(m_preferences.x + 14, m_preferences.y + 11);
        EXPECT_TRUE(waitFor(
            [&] {
                return session().findWindows({"--name", "^Preferences$"}).empty();
            },
            10s))
            << programOutput();
    }

    // Clicks the recorder and waits for its recording face.
    void startRecording()
    {
        click(m_recorder.x + 100, m_recorder.y + m_recorder.height / 2);
        const Shot shot = session().pollShot("recording", [&](const Shot& s) { return recording(s); });
        ASSERT_TRUE(recording(shot)) << programOutput();
    }

    void endRecordingWith(const std::string& combination)
    {
        key(combination);
        const Shot shot = session().pollShot("recorded", [&](const Shot& s) { return !recording(s); });
        ASSERT_FALSE(recording(shot)) << programOutput();
    }

    Result tryGrabKeyboard() { return session().run({E2E_HELPER, "trygrab"}); }

    Geometry m_ruler, m_preferences, m_recorder;
};

TEST_F(RecorderScenario, RecordedShortcutHidesAndShowsEverythingAndLeavesTheKeyboardFree)
{
    writeDefaults({"AcceptHotKey=YES"});
    ASSERT_NO_FATAL_FAILURE(openPreferences());
    ASSERT_NO_FATAL_FAILURE(startRecording());
    // While recording the program holds the keyboard...
    const Result during = tryGrabKeyboard();
    EXPECT_EQ(during.status, 3) << during.output;
    ASSERT_NO_FATAL_FAILURE(endRecordingWith(kCombination));
    // ...and lets it go once recording ends.
    EXPECT_TRUE(waitFor([&] { return tryGrabKeyboard().status == 0; }, 5s)) << programOutput();

    // The recorded combination works while another client has the focus.
    closePreferences();
    startHelper(10, 10, 200, 100);
    key(kCombination);
    EXPECT_TRUE(armsHidden(session().pollShot("hidden", [&](const Shot& s) { return armsHidden(s); })))
        << programOutput();
    key(kCombination);
    EXPECT_TRUE(armsShown(session().pollShot("shown-again", [&](const Shot& s) { return armsShown(s); })))
        << programOutput();
    EXPECT_EQ(helperLog().find("key " + std::to_string(kXKeycodeG) + " "), std::string::npos) << helperLog();

    quit();
    const std::string stored = storedDefaults();
    EXPECT_NE(stored.find(kStoredCode), std::string::npos) << stored;
    EXPECT_NE(stored.find(kStoredFlags), std::string::npos) << stored;
}

// The helper holds Control-Shift-G as another program's shortcut would: the
// program cannot grab it, says so, and stores it anyway; once the helper is
// gone the next launch takes it. A vertical guideline at x 1000 shows whether
// the hot key hid everything.
TEST_F(RecorderScenario, CombinationHeldByAnotherClientIsRefusedButStoredAndWorksAfterRelaunch)
{
    writeDefaults({"AcceptHotKey=YES", "GuidelinesVisible=YES", "GuidelineSets=1:1000"});
    const std::string holderLog = session().folder() + "/holder.log";
    const pid_t holder = session().spawn(
        {E2E_HELPER, "grabkey", std::to_string(kXKeycodeG), std::to_string(kXControlShift), holderLog}, "holder.out");
    ASSERT_TRUE(waitFor([&] { return session().readFile(holderLog).find("holding") != std::string::npos; }, 10s))
        << session().readFile(holderLog);

    ASSERT_NO_FATAL_FAILURE(openPreferences());
    ASSERT_NO_FATAL_FAILURE(startRecording());
    ASSERT_NO_FATAL_FAILURE(endRecordingWith(kCombination));
    EXPECT_TRUE(waitForProgramOutput("was refused by the system; it is kept for the next launch", 10s))
        << programOutput();
    quit();
    std::string stored = storedDefaults();
    EXPECT_NE(stored.find(kStoredCode), std::string::npos) << stored;
    EXPECT_NE(stored.find(kStoredFlags), std::string::npos) << stored;

    EXPECT_EQ(session().terminate(holder, 5s), 128 + SIGTERM);
    const std::string window = launch("relaunch.log", "Guidelines");
    ASSERT_FALSE(window.empty());
    const Geometry view = geometry(window);
    auto lineShown = [&](const Shot& s) { return s.count(view.x + 1000, view.y + 100, 1, 200, isDark) == 200; };
    auto lineHidden = [&](const Shot& s) { return s.count(view.x + 1000, view.y + 100, 1, 200, isBackground) == 200; };
    ASSERT_TRUE(lineShown(session().pollShot("relaunched", lineShown))) << programOutput();
    key(kCombination);
    EXPECT_TRUE(lineHidden(session().pollShot("relaunch-hidden", lineHidden))) << programOutput();
    key(kCombination);
    EXPECT_TRUE(lineShown(session().pollShot("relaunch-shown-again", lineShown))) << programOutput();
    EXPECT_EQ(programOutput().find("refused"), std::string::npos) << programOutput();
}

// Under a French (AZERTY) layout the key at the US "A" position, key code 0,
// types "q". The recorder names keys through the layout: Command with that
// key is refused as the Quit item's Command-Q, which only a key named "Q"
// can be (no other check refuses it: this system has no symbolic hot keys).
// The refusal is an alert window; the same key with Control-Shift is then
// stored with key code 0.
TEST_F(RecorderScenario, UnderAFrenchLayoutTheRecorderNamesKeyCodeZeroQ)
{
    // Command-comma finds Preferences only once the program follows the new
    // layout: the comma has moved to another key.
    ASSERT_NO_FATAL_FAILURE(openPreferences(true));
    ASSERT_NO_FATAL_FAILURE(startRecording());
    const size_t before = session().findWindows({"--class", "plumbline"}).size();
    key("super+q");  // xdotool finds the "q" at the AZERTY position
    ASSERT_TRUE(waitFor(
        [&] {
            return session().findWindows({"--class", "plumbline"}).size() > before;
        },
        10s))
        << "no alert; program output:\n"
        << programOutput();
    key("Return");
    EXPECT_TRUE(waitFor([&] { return session().findWindows({"--class", "plumbline"}).size() == before; }, 10s));

    // The recorder is still recording after the refusal, with the keyboard
    // back in Preferences and still held from other programs.
    const Result during = tryGrabKeyboard();
    EXPECT_EQ(during.status, 3) << during.output;
    ASSERT_NO_FATAL_FAILURE(endRecordingWith("ctrl+shift+q"));
    EXPECT_TRUE(waitFor([&] { return tryGrabKeyboard().status == 0; }, 5s)) << programOutput();
    quit();
    const std::string stored = storedDefaults();
    EXPECT_NE(stored.find("GuidelineKeyCode = 0\n"), std::string::npos) << stored;
    EXPECT_NE(stored.find(kStoredFlags), std::string::npos) << stored;
}
}  // namespace

// Without a window manager the layer draws the title bar itself: a drag on
// it moves the window as a manager's title bar would.
TEST_F(RecorderScenario, PreferencesMoveByTheirOwnTitleBarWithoutAWindowManager)
{
    ASSERT_NO_FATAL_FAILURE(openPreferences());
    const std::string window = session().waitForWindowNamed("Preferences", 5s);
    const Geometry before = geometry(window);
    const int x = before.x + 200, y = before.y + 11;
    session().run({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "mousedown", "1"});
    for (int step = 1; step <= 10; ++step) movePointer(x + 12 * step, y + 9 * step);
    session().run({"xdotool", "mouseup", "1"});
    Geometry after;
    EXPECT_TRUE(waitFor(
        [&] {
            after = geometry(window);
            return after.x == before.x + 120 && after.y == before.y + 90;
        },
        10s))
        << "from " << before.x << "," << before.y << " to " << after.x << "," << after.y << "\n"
        << programOutput();
    quit();
}
