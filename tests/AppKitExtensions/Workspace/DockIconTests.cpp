// Showing and hiding the Dock icon on the headless window server, and the
// relaunch that hiding takes, in a program of its own.
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "AppKit/AlertLog.h"
#include "AppKit/NSAlert.h"
#include "AppKit/NSMenu.h"
#include "AppKitExtensions/NSWorkspace+ZAKNSWorkspaceExtension.h"
#include "Carbon/SystemUIMode.h"
#include "TemporaryFolder.h"
#include "WindowingFixture.h"

namespace {

class DockIcon : public WindowingTest {
protected:
    void SetUp() override
    {
        WindowingTest::SetUp();
        AlertLog::clear();
        server().setShowsMenuBar(true);
        server().setHasDockIconHost(true);
        auto menu = NSObject::alloc<NSMenu>()->initWithTitle("Main"_ns);
        menu->addItemWithTitle("Probe"_ns, {}, ""_ns);
        NSApp->setMainMenu(menu);
    }
    void TearDown() override
    {
        NSApp->setActivationPolicy(NSApplicationActivationPolicyRegular);
        NSApp->setMainMenu(nullptr);
        WindowingTest::TearDown();
    }
    // Presses the alert's button with that title once the modal loop runs.
    static void whenModalPress(const std::string& title)
    {
        NSRunLoop::mainRunLoop()->performBlock({NSModalPanelRunLoopMode}, [title] {
            for (const auto& window : NSWindow::allWindows()) {
                if (!window->isVisible()) continue;
                for (const auto& view : window->contentView()->subviews()) {
                    auto button = dynamic_ref_cast<NSButton>(view);
                    if (!button || button->title()->UTF8String() != title) continue;
                    const NSPoint p = window->convertBaseToScreen(button->convertPointToView(
                        NSMakePoint(NSMidX(button->bounds()), NSMidY(button->bounds())), nullptr));
                    server().injectMouse(NSEventTypeLeftMouseDown, p);
                    server().injectMouse(NSEventTypeLeftMouseUp, p);
                    return;
                }
            }
        });
    }
    Ref<NSWorkspace> workspace = NSWorkspace::sharedWorkspace();
};

}

TEST_F(DockIcon, ShowingMakesTheApplicationRegularAndDocksTheIcon)
{
    NSApp->setActivationPolicy(NSApplicationActivationPolicyAccessory);
    EXPECT_EQ(server().activationPolicy(), WSActivationPolicy::accessory);
    EXPECT_FALSE(server().dockIconShown());
    SetSystemUIMode(kUIModeAllHidden, 0);

    NSWorkspaceExt::setShowsDockIcon(workspace, true);
    EXPECT_EQ(NSApp->activationPolicy(), NSApplicationActivationPolicyRegular);
    EXPECT_EQ(server().activationPolicy(), WSActivationPolicy::regular);
    EXPECT_TRUE(server().dockIconShown());
    SystemUIMode mode = 99;
    GetSystemUIMode(&mode, nullptr);
    EXPECT_EQ(mode, kUIModeNormal);
    EXPECT_TRUE(AlertLog::all().empty());
}

TEST_F(DockIcon, HidingAsksToRelaunchAndLaterChangesNothing)
{
    whenModalPress("Later");
    NSWorkspaceExt::setShowsDockIcon(workspace, false);
    auto log = AlertLog::all();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].style, NSUInteger(NSWarningAlertStyle));
    EXPECT_EQ(log[0].buttons, (std::vector<std::string>{"Relaunch Now", "Later"}));
    EXPECT_EQ(log[0].messageText, "Plumbline must be relaunched for this change to take effect.");
    EXPECT_EQ(log[0].informativeText, "The icon is removed from the task bar and the system tray the next time the "
                                      "application starts. Relaunch it now?");
    EXPECT_EQ(log[0].result, NSAlertSecondButtonReturn);
    EXPECT_FALSE(NSApp->hasTerminated());
    EXPECT_EQ(server().activationPolicy(), WSActivationPolicy::regular);
}

TEST_F(DockIcon, TheDockIsNoApplicationHere)
{
    EXPECT_FALSE(workspace->absolutePathForAppBundleWithIdentifier("com.apple.dock"_ns));
    EXPECT_FALSE(
        workspace->launchAppWithBundleIdentifier("com.apple.dock"_ns, NSWorkspaceLaunchAsync, nullptr, nullptr));
}

TEST(DockIconRelaunch, RelaunchNowEndsTheProgramAndStartsItAgainWithItsArgumentsAfterItEnded)
{
    TemporaryFolder folder;
    const std::string record = folder / "record";
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        setenv("PLUMBLINE_BACKEND", "headless", 1);
        execl(WORKSPACE_PROBE, WORKSPACE_PROBE, "relaunch", record.c_str(), "two words", "it's \"quoted\"",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the first program did not terminate through the alert";
    std::optional<std::string> seen;
    for (int i = 0; i < 1000 && !(seen = readFile(record)); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(seen) << "the program was not started again";
    EXPECT_EQ(*seen, "relaunch\n" + record + "\ntwo words\nit's \"quoted\"\nended\n");
}
