// Open menus own the mouse, as on a desktop: a press over another program's
// window closes them and never reaches that program.
#include "E2EFixture.h"

using namespace e2e;
using namespace std::chrono_literals;

namespace {

class MenuGrab : public ProgramTest {
protected:
    size_t openMenus() { return session().findWindows({"--classname", "^menu$"}).size(); }
    size_t helperClicks()
    {
        const std::string log = helperLog();
        size_t count = 0;
        for (size_t at = log.find("click "); at != std::string::npos; at = log.find("click ", at + 1)) ++count;
        return count;
    }
};

TEST_F(MenuGrab, APressOverAnotherProgramClosesTheMenusAndStaysWithThem)
{
    launch();
    ASSERT_FALSE(session().waitForWindowNamed("menubar", 30s).empty()) << programOutput();
    ASSERT_NO_FATAL_FAILURE(startHelper(600, 400, 300, 200));

    // The bar's first title starts at its left end.
    click(20, 12);
    ASSERT_TRUE(waitFor([&] { return openMenus() == 1; }, 15s)) << programOutput();
    click(750, 500);
    EXPECT_TRUE(waitFor([&] { return openMenus() == 0; }, 15s)) << programOutput();
    EXPECT_EQ(helperClicks(), 0u) << helperLog();

    // With the menus closed the pointer is the helper's again.
    click(760, 510);
    EXPECT_TRUE(waitFor([&] { return helperClicks() == 1; }, 10s)) << helperLog();
}

}  // namespace
