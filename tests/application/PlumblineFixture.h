#pragma once
// Runs the whole program in-process under the application harness. Each run
// starts from reset process-wide objects; a relaunch copies the defaults file
// the previous run wrote into the new run's configuration folder first.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "AppController.h"
#include "AppHarness.h"
#include "GuidelineStore.h"
#include "SharedRulerStore.h"
#include "WindowServer/WindowServer.h"
#include "backend/headless/HeadlessWindowServer.h"

namespace plumbline_test {

inline HeadlessWindowServer& server() { return dynamic_cast<HeadlessWindowServer&>(WindowServer::shared()); }

struct Launch {
    std::function<void()> before = {};  // on the main thread, before the program starts
    std::string defaultsFrom = {};      // a defaults file to start with
    std::string keepDefaultsIn = {};    // where to copy the defaults after quitting
};

inline int runPlumbline(const std::function<void(AppDriver&)>& body, const Launch& launch = {})
{
    auto program = [&] {
        if (!launch.defaultsFrom.empty()) {
            std::filesystem::copy_file(launch.defaultsFrom,
                                       std::string(std::getenv("XDG_CONFIG_HOME")) + "/org.plumbline.Plumbline.plist",
                                       std::filesystem::copy_options::overwrite_existing);
        }
        AppController::resetShared();
        if (launch.before) launch.before();
        const int result = NSApplicationMain(0, nullptr);
        AppController::resetShared();
        return result;
    };
    return AppHarness::run(program, [&](AppDriver& d) {
        body(d);
        if (launch.keepDefaultsIn.empty()) return;
        const std::string file = d.defaultsFile();
        d.terminate();
        std::filesystem::copy_file(file, launch.keepDefaultsIn, std::filesystem::copy_options::overwrite_existing);
    });
}

// What the defaults tool prints for a defaults file.
inline std::string storedDefaults(const std::string& defaultsFile)
{
    const std::string folder = std::filesystem::path(defaultsFile).parent_path().string();
    std::string text;
    if (FILE* pipe = popen((std::string(PLUMBLINE_DEFAULTS_TOOL) + " '" + folder + "' 2>&1").c_str(), "r")) {
        char buffer[512];
        while (fgets(buffer, sizeof buffer, pipe)) text += buffer;
        pclose(pipe);
    }
    return text;
}

// A temporary file name for a kept defaults file, removed at destruction.
struct KeptDefaults {
    std::string folder;
    KeptDefaults()
    {
        char name[] = "/tmp/plumbline-kept-XXXXXX";
        folder = mkdtemp(name) ? name : "/tmp";
    }
    ~KeptDefaults() { std::filesystem::remove_all(folder); }
    std::string file() const { return folder + "/org.plumbline.Plumbline.plist"; }
    std::string text() const { return storedDefaults(file()); }
};

inline Ref<AppController> app() { return AppController::getSharedAppController(); }

inline Ref<NSMenuItem> itemWithTag(const Ref<NSMenu>& menu, NSInteger tag) { return menu->itemWithTag(tag); }

// Channels of an ARGB pixel.
inline int red(uint32_t p) { return (p >> 16) & 0xFF; }
inline int green(uint32_t p) { return (p >> 8) & 0xFF; }
inline int blue(uint32_t p) { return p & 0xFF; }

}  // namespace plumbline_test
