// Editing a text field of the program through the X clipboard: the new-set
// dialog's name field copies with Ctrl+C to what xclip reads, pastes with
// Ctrl+V what xclip put there, and Ctrl+Z takes the paste back.
#include "E2EFixture.h"

using namespace e2e;
using namespace std::chrono_literals;

namespace {

class ClipboardScenario : public ProgramTest {
protected:
    std::string clipboard() { return session().run({"xclip", "-o", "-selection", "clipboard"}, 5s).output; }
    // Copies the whole field and waits until xclip reads the text.
    bool fieldReads(const std::string& text)
    {
        key("ctrl+a");
        key("ctrl+c");
        return waitFor([&] { return clipboard() == text; }, 10s);
    }
    // Opens "New Set…" from the Guidelines menu (the fourth menu, its
    // seventh item) and clicks into the name field.
    void openNameField()
    {
        const std::string ruler = launch();
        ASSERT_FALSE(ruler.empty());
        ASSERT_EQ(session().run({"xdotool", "windowfocus", "--sync", ruler}).status, 0);
        key("F10");
        std::vector<std::string> menus;
        ASSERT_TRUE(waitFor(
            [&] {
                return (menus = session().findWindows({"--classname", "^menu$"})).size() == 1;
            },
            15s))
            << programOutput();
        const int firstX = geometry(menus[0]).x;
        // Each Right moves to the next title's menu, further right.
        key("Right Right Right");
        ASSERT_TRUE(waitFor(
            [&] {
                menus = session().findWindows({"--classname", "^menu$"});
                return menus.size() == 1 && geometry(menus[0]).x > firstX + 150;
            },
            15s))
            << programOutput();
        key("Down Down Down Down Down Down Down Return");
        const std::string dialog = session().waitForWindowNamed("New Guideline Set", 15s);
        ASSERT_FALSE(dialog.empty()) << programOutput();
        ASSERT_EQ(session().run({"xdotool", "windowfocus", "--sync", dialog}).status, 0);
        const Geometry g = geometry(dialog);
        // The field spans y 46 to 68 from the bottom of the 110-point content.
        click(g.x + 170, g.y + g.height - 57);
        key("ctrl+a");
    }
};

}

TEST_F(ClipboardScenario, TheNameFieldCopiesPastesAndUndoesThroughTheClipboard)
{
    ASSERT_NO_FATAL_FAILURE(openNameField());
    session().run({"xdotool", "type", "--delay", "30", "Hello"});
    EXPECT_TRUE(fieldReads("Hello")) << clipboard();

    // Another client's text comes in with Ctrl+V.
    session().spawn({"sh", "-c", "printf ' World' | xclip -quiet -selection clipboard"}, "xclip.log");
    ASSERT_TRUE(waitFor([&] { return clipboard() == " World"; }, 10s));
    key("End");
    key("ctrl+v");
    EXPECT_TRUE(fieldReads("Hello World")) << clipboard();

    // Ctrl+Z takes the paste back; OK makes a set of that name.
    key("ctrl+z");
    EXPECT_TRUE(fieldReads("Hello")) << clipboard();
    key("Return");
    EXPECT_TRUE(waitFor([&] { return session().findWindows({"--name", "^New Guideline Set$"}).empty(); }, 10s));
    quit();
    const std::string stored = storedDefaults();
    EXPECT_NE(stored.find("\"Hello\""), std::string::npos) << stored;
}

// On a layout with dead keys (US international), the dead acute then "e"
// compose "é" in the field.
TEST_F(ClipboardScenario, ADeadKeyThenALetterTypeTheComposedLetter)
{
    ASSERT_NO_FATAL_FAILURE(openNameField());
    const Result layout = session().run({"setxkbmap", "us", "-variant", "intl"});
    ASSERT_EQ(layout.status, 0) << layout.output;
    std::this_thread::sleep_for(1s);
    session().run({"xdotool", "type", "--delay", "30", "caf"});
    key("dead_acute");
    key("e");
    EXPECT_TRUE(fieldReads("caf\xC3\xA9")) << clipboard();
}
