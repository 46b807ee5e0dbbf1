// The hot key recorded through Preferences: opened with Command-comma
// (Super on X11) once a ruler has the focus, the recorder clicked, the
// combination typed with xdotool; checked on the screen, in the stored
// defaults and by other X clients.
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

    // Launches with the corner ruler, gives it the focus with a click on its
    // arm and opens Preferences with its key equivalent.
    void openPreferences()
    {
        m_ruler = launchAndFindCornerRuler();
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
        // The recorder's frame in the 440 x 250 content, from its bottom left.
        m_recorder = {m_preferences.x + 230, m_preferences.y + m_preferences.height - 94 - 24, 190, 24};
    }

    // With the close box of the title bar the window has without a window
    // manager (12 x 12, 8 from the left, centred in the 22 high bar).
    void closePreferences()
    {
        click(m_preferences.x + 14, m_preferences.y + 11);
        EXPECT_TRUE(waitFor([&] { return session().findWindows({"--name", "^Preferences$"}).empty(); }, 10s))
            << programOutput();
    }

    // Clicks the recorder and waits for its recording face.
    void startRecording()
    {
        click(m_recorder.x + 60, m_recorder.y + m_recorder.height / 2);
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
}  // namespace
