// Editing a text field of the program through the X clipboard: the new-set
// dialog's name field copies with Ctrl+C to what xclip reads, pastes with
// Ctrl+V what xclip put there, and Ctrl+Z takes the paste back. On a layout
// with dead keys, a dead accent and a letter type the composed letter.
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
    // The one open menu once exactly one is open and it lies right of the
    // given edge; its id is empty when that does not happen.
    std::pair<std::string, Geometry> menuRightOf(int edge)
    {
        std::pair<std::string, Geometry> found;
        waitFor(
            [&] {
                const auto menus = session().findWindows({"--classname", "^menu$"});
                if (menus.size() != 1) return false;
                const Geometry g = geometry(menus[0]);
                if (g.x <= edge) return false;
                found = {menus[0], g};
                return true;
            },
            15s);
        return found;
    }
    // Opens "New Set…" from the Guidelines menu (the fourth title) and
    // clicks into the name field. Each step waits for what it shows: Right
    // moves to the next title's menu, further right; "New Set…" lies 142 to
    // 162 pixels below the menu's top.
    void openNameField()
    {
        const std::string ruler = launch();
        ASSERT_FALSE(ruler.empty());
        ASSERT_EQ(session().run({"xdotool", "windowfocus", "--sync", ruler}).status, 0);
        key("F10");
        auto menu = menuRightOf(-1);
        ASSERT_FALSE(menu.first.empty()) << programOutput();
        for (int title = 2; title <= 4; ++title) {
            key("Right");
            menu = menuRightOf(menu.second.x);
            ASSERT_FALSE(menu.first.empty()) << "menu " << title << " did not open\n" << programOutput();
        }
        // The item's row, lit under the pointer, then chosen by a click.
        const Geometry m = menu.second;
        movePointer(m.x + 40, m.y + 152);
        auto lit = [](uint32_t rgb) { return (rgb & 0xff) > 180 && (rgb >> 16) < 120; };
        auto litRow = [&](const Shot& s) { return s.count(m.x + 4, m.y + 144, m.width - 8, 16, lit) > m.width * 8; };
        ASSERT_TRUE(litRow(session().pollShot("new-set-lit", litRow))) << programOutput();
        click(m.x + 40, m.y + 152);
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

// The US international layout, set before the program starts, has a dead
// acute: it and "e" compose "é" in the field.
TEST_F(ClipboardScenario, ADeadKeyThenALetterTypeTheComposedLetter)
{
    const Result layout = session().run({"setxkbmap", "us", "-variant", "intl"});
    ASSERT_EQ(layout.status, 0) << layout.output;
    ASSERT_NO_FATAL_FAILURE(openNameField());
    session().run({"xdotool", "type", "--delay", "30", "caf"});
    key("dead_acute");
    key("e");
    EXPECT_TRUE(fieldReads("caf\xC3\xA9")) << clipboard();
}
