#include "Foundation/LogLocations.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <mutex>
#include <optional>

#include "Foundation/NSBundle.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSPathUtilities.h"
#include "Foundation/NSProcessInfo.h"

namespace {
bool usableFileName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

// Remainder of path after prefix when prefix is a whole leading part of it
// ("" or starting with "/"), else nullopt.
std::optional<std::string> below(const std::string& path, const std::string& prefix)
{
    if (!path.starts_with(prefix)) return std::nullopt;
    std::string rest = path.substr(prefix.size());
    if (!rest.empty() && rest[0] != '/') return std::nullopt;
    return rest;
}
}

Ref<NSString> ApplicationExecutableName()
{
    // Worked out once: the main bundle is chosen once per process, and the
    // console log asks for the name on every line.
    static std::once_flag once;
    static std::string name;
    std::call_once(once, [] {
        auto info = NSBundle::mainBundle()->infoDictionary();
        auto executable = dynamic_ref_cast<NSString>(info->objectForKey("CFBundleExecutable"_ns));
        if (executable && usableFileName(executable->UTF8String())) {
            name = executable->UTF8String();
            return;
        }
        name = NSProcessInfo::processInfo()->processName()->UTF8String();
        if (!usableFileName(name)) name = "unknown";
    });
    return NSString::stringWithUTF8String(name);
}

Ref<NSString> ApplicationStateDirectory()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    std::string base = state && state[0] == '/' ? state : NSHomeDirectory()->UTF8String() + "/.local/state";
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    return NSString::stringWithUTF8String(base + "/" + ApplicationExecutableName()->UTF8String());
}

Ref<NSString> CrashReporterDirectory()
{
    return ApplicationStateDirectory()->stringByAppendingPathComponent("CrashReporter"_ns);
}

Ref<NSString> ConsoleLogPath() { return ApplicationStateDirectory()->stringByAppendingPathComponent("console.log"_ns); }

Ref<NSString> PathForPlatformLogPath(const Ref<NSString>& path)
{
    if (!path) return nullptr;
    std::string p = path->UTF8String();
    std::string home = NSHomeDirectory()->UTF8String();
    for (const std::string& prefix :
         {std::string("~/Library/Logs/CrashReporter"), home + "/Library/Logs/CrashReporter"})
        if (auto rest = below(p, prefix))
            return NSString::stringWithUTF8String(CrashReporterDirectory()->UTF8String() + *rest);

    const std::string console = "/Library/Logs/Console/";
    if (p.starts_with(console) && p.ends_with("/console.log")) {
        std::string user = p.substr(console.size(), p.size() - console.size() - std::string("/console.log").size());
        if (!user.empty() && std::all_of(user.begin(), user.end(), [](unsigned char c) { return std::isdigit(c); }))
            return ConsoleLogPath();
    }
    return path;
}
