// A program for the workspace tests that must run in a process of their own.
//
//   workspace-probe relaunch <record> [arguments...]
//     Hides the Dock icon and answers the relaunch alert with Return
//     ("Relaunch Now"), so the program terminates. The program started in
//     its place finds <record>.first (the first process's id) and writes
//     <record>: its arguments one a line, then "ended" or "running" for the
//     first process as it saw it on starting.
//
//   workspace-probe dock <flag>
//     Starts as an accessory with a titled window "Workspace Probe"; once
//     the file <flag> exists it shows the Dock icon and writes <flag>.done.
#include <unistd.h>

#include <fstream>
#include <string>

#include "AppKit/NSApplication.h"
#include "AppKit/NSMenu.h"
#include "AppKit/NSWindow.h"
#include "AppKitExtensions/NSWorkspace+ZAKNSWorkspaceExtension.h"
#include "Foundation/NSRunLoop.h"
#include "Foundation/NSTimer.h"
#include "WindowServer/USKeyboardLayout.h"
#include "backend/headless/HeadlessWindowServer.h"

// libxkbcommon-x11 reads past X replies under strict string checks (see the
// suppressions file of the X11 tests).
extern "C" const char* __asan_default_options() { return "suppressions=" X11_ASAN_SUPPRESSIONS; }

namespace {

// Ended: gone, or a zombie nobody has reaped yet.
bool processEnded(const std::string& pid)
{
    std::ifstream stat("/proc/" + pid + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return true;
    const auto close = line.rfind(')');
    return close == std::string::npos || close + 2 >= line.size() || line[close + 2] == 'Z' || line[close + 2] == 'X';
}

int relaunch(int argc, char** argv)
{
    const std::string record = argv[2];
    std::ifstream first(record + ".first");
    if (std::string pid; std::getline(first, pid)) {
        std::ofstream out(record + ".partial");
        for (int i = 1; i < argc; ++i) out << argv[i] << "\n";
        out << (processEnded(pid) ? "ended" : "running") << "\n";
        out.close();
        return std::rename((record + ".partial").c_str(), record.c_str()) == 0 ? 0 : 1;
    }
    std::ofstream(record + ".first") << getpid() << "\n";
    auto app = NSApplication::sharedApplication();
    NSRunLoop::mainRunLoop()->performBlock({NSModalPanelRunLoopMode}, [] {
        HeadlessWindowServer::current()->injectKey(kVK_Return, 0, true);
        HeadlessWindowServer::current()->injectKey(kVK_Return, 0, false);
    });
    NSWorkspaceExt::setShowsDockIcon(NSWorkspace::sharedWorkspace(), false);
    return 3;  // the application should have terminated
}

int dock(const std::string& flag)
{
    auto app = NSApplication::sharedApplication();
    app->setActivationPolicy(NSApplicationActivationPolicyAccessory);
    auto menu = NSMenu::menuWithTitle("Main"_ns);
    menu->addItemWithTitle("Probe"_ns, {}, ""_ns)->setSubmenu(NSMenu::menuWithTitle("Probe"_ns));
    app->setMainMenu(menu);
    auto window = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(200, 200, 320, 200), NSTitledWindowMask,
                                                                   NSBackingStoreBuffered, false);
    window->setTitle("Workspace Probe"_ns);
    window->makeKeyAndOrderFront(nullptr);
    bool shown = false;
    NSTimer::scheduledTimerWithTimeInterval(0.1, true, [&shown, flag](const Ref<NSTimer>&) {
        if (shown || !std::ifstream(flag)) return;
        shown = true;
        NSWorkspaceExt::setShowsDockIcon(NSWorkspace::sharedWorkspace(), true);
        std::ofstream(flag + ".done") << "shown\n";
    });
    app->run();
    return 0;
}

}

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "relaunch" && argc > 2) return relaunch(argc, argv);
    if (mode == "dock" && argc > 2) return dock(argv[2]);
    return 2;
}
