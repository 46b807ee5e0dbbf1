#pragma once
// A fixture bundle whose Info dictionary points the crash reporter and the
// feedback dialog at a local HTTP server, plus per-test state and defaults
// folders. The main bundle is chosen once per process, so the bundle and its
// server are made once and shared by every test of the program.
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "Foundation/NSUserDefaults.h"
#include "LocalHttpServer.h"

namespace report_fixture {

inline LocalHttpServer& server()
{
    static LocalHttpServer server({}, std::chrono::minutes(5));
    return server;
}

inline const std::string& executable()
{
    static const std::string name = "ZAKReportTest";
    return name;
}

// Writes the bundle and makes it the main bundle; call before anything asks
// for the main bundle. The web forms' addresses start with the base given
// (the shared server's when none); the first call decides for the process.
inline void installBundle(const std::string& formBase)
{
    static const bool installed = [&] {
        std::string folder =
            std::filesystem::temp_directory_path() / ("zak-report-bundle-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder + "/en.lproj");
        // The dialogs' interface files and string tables come from the
        // repository's bundle.
        if (const char* shipped = ::getenv("PLUMBLINE_RESOURCES")) {
            std::error_code ignored;
            std::filesystem::copy(std::string(shipped) + "/Interface", folder + "/Interface",
                                  std::filesystem::copy_options::recursive, ignored);
            for (const char* table : {"ZAKCrashReporterAdditional", "ZAKFeedbackProviderAdditional"})
                std::filesystem::copy(std::string(shipped) + "/en.lproj/" + table + ".strings",
                                      folder + "/en.lproj/" + table + ".strings", ignored);
        }
        std::ofstream info(folder + "/Info.plist");
        info << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
             << "<key>CFBundleExecutable</key><string>" << executable() << "</string>\n"
             << "<key>CFBundleIdentifier</key><string>org.plumbline.ZAKReportTest</string>\n"
             << "<key>CFBundleShortVersionString</key><string>2.3.1</string>\n"
             << "<key>ZAKCrashReporterCGIURL</key><string>" << formBase << "/crash"
             << "</string>\n"
             << "<key>ZAKFeedbackProviderCGIURL</key><string>" << formBase << "/feedback"
             << "</string>\n"
             << "<key>ZAKFeedbackSubjectPrefix</key><string>[Plumbline] </string>\n"
             << "</dict>\n</plist>\n";
        info.close();
        ::setenv("PLUMBLINE_RESOURCES", folder.c_str(), 1);
        // Removed when the program ends.
        static struct Remover {
            std::string path;
            ~Remover()
            {
                std::error_code ignored;
                std::filesystem::remove_all(path, ignored);
            }
        } remover{folder};
        return true;
    }();
    (void)installed;
}

inline void installBundle() { installBundle(server().url("")); }

}
