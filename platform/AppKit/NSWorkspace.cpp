#include "AppKit/NSWorkspace.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColor.h"
#include "Foundation/ChildProcess.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSData.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSFileManager.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSPropertyListSerialization.h"
#include "WindowServer/WindowServer.h"

NS_CLASS_DEFINE(NSWorkspace)

namespace {
std::once_flag g_once;
NSWorkspace* g_shared = nullptr;

constexpr int kApplicationSearchDepth = 4;

Ref<NSDictionary> applicationInfo(const std::filesystem::path& app)
{
    auto data = NSData::dataWithContentsOfFile(NSString::stringWithUTF8String((app / "Info.plist").string()));
    if (!data) return nullptr;
    return dynamic_ref_cast<NSDictionary>(NSPropertyListSerialization::propertyListWithData(data, 0, nullptr, nullptr));
}

std::string infoText(const Ref<NSDictionary>& info, const char* key)
{
    auto value = info ? dynamic_ref_cast<NSString>(info->objectForKey(NSString::stringWithUTF8String(key))) : nullptr;
    return value ? value->UTF8String() : "";
}

// Depth first and by name, so that the first match is always the same one.
std::string findApplication(const std::filesystem::path& folder, const std::string& identifier, int depth)
{
    std::error_code ec;
    std::vector<std::filesystem::path> entries;
    for (auto it = std::filesystem::directory_iterator(folder, ec); !ec && it != std::filesystem::directory_iterator();
         it.increment(ec))
        if (it->is_directory(ec)) entries.push_back(it->path());
    if (ec && ec != std::errc::no_such_file_or_directory && depth == 0)
        NSLog("Cannot list the application folder %@: %@", NSString::stringWithUTF8String(folder.string()),
              NSString::stringWithUTF8String(ec.message()));
    std::sort(entries.begin(), entries.end());
    for (const auto& entry : entries) {
        if (entry.extension() == ".app") {
            if (infoText(applicationInfo(entry), "CFBundleIdentifier") == identifier) return entry.string();
        } else if (depth < kApplicationSearchDepth) {
            if (auto found = findApplication(entry, identifier, depth + 1); !found.empty()) return found;
        }
    }
    return {};
}

}

Ref<NSWorkspace> NSWorkspace::sharedWorkspace() { return make<NSWorkspace>(); }

Id NSWorkspace::init()
{
    std::call_once(g_once, [this] {
        retain();  // the shared instance lives for the process
        g_shared = this;
    });
    return Id(g_shared);
}

bool NSWorkspace::openURL(const Ref<NSURL>& url)
{
    if (!url) return false;
    return WindowServer::shared().openURL(url->absoluteString()->UTF8String());
}

bool NSWorkspace::openFile(const Ref<NSString>& path)
{
    if (!path || !NSFileManager::defaultManager()->fileExistsAtPath(path)) return false;
    return openURL(NSURL::fileURLWithPath(path));
}

bool NSWorkspace::selectFile(const Ref<NSString>& path, const Ref<NSString>&)
{
    if (!path || !NSFileManager::defaultManager()->fileExistsAtPath(path)) return false;
    return openURL(NSURL::fileURLWithPath(path->stringByDeletingLastPathComponent(), true));
}

Ref<NSImage> NSWorkspace::iconForFile(const Ref<NSString>&)
{
    if (m_genericIcon) return m_genericIcon;
    // A white page with a folded corner and a grey outline.
    m_genericIcon = NSImage::imageWithSize(NSMakeSize(32, 32), false, [](NSRect) {
        auto page = NSBezierPath::bezierPath();
        page->moveToPoint({6.5, 1.5});
        page->lineToPoint({25.5, 1.5});
        page->lineToPoint({25.5, 23.5});
        page->lineToPoint({17.5, 30.5});
        page->lineToPoint({6.5, 30.5});
        page->closePath();
        NSColor::colorWithCalibratedWhite(1, 1)->setFill();
        page->fill();
        NSColor::colorWithCalibratedWhite(0.55, 1)->setStroke();
        page->stroke();
        auto fold = NSBezierPath::bezierPath();
        fold->moveToPoint({17.5, 30.5});
        fold->lineToPoint({17.5, 23.5});
        fold->lineToPoint({25.5, 23.5});
        fold->stroke();
        return true;
    });
    return m_genericIcon;
}

std::vector<std::string> NSWorkspace::applicationFolders()
{
    std::vector<std::string> folders;
    if (char* exe = realpath("/proc/self/exe", nullptr)) {
        folders.push_back(
            (std::filesystem::path(exe).parent_path().parent_path() / "lib/plumbline/Applications").string());
        free(exe);
    }
    if (const char* home = std::getenv("HOME"); home && *home)
        folders.push_back(std::string(home) + "/.local/lib/plumbline/Applications");
    return folders;
}

Ref<NSString> NSWorkspace::absolutePathForAppBundleWithIdentifier(const Ref<NSString>& bundleIdentifier)
{
    if (!bundleIdentifier || bundleIdentifier->length() == 0) return nullptr;
    for (const auto& folder : applicationFolders())
        if (auto found = findApplication(folder, bundleIdentifier->UTF8String(), 0); !found.empty())
            return NSString::stringWithUTF8String(found);
    return nullptr;
}

bool NSWorkspace::launchApplicationAtPath(const Ref<NSString>& path)
{
    if (!path) return false;
    const std::filesystem::path app = path->UTF8String();
    const std::string executable = infoText(applicationInfo(app), "CFBundleExecutable");
    if (executable.empty() || executable.find('/') != std::string::npos) return false;
    return ChildProcess::launch({(app / executable).string()});
}

bool NSWorkspace::launchAppWithBundleIdentifier(const Ref<NSString>& bundleIdentifier, NSWorkspaceLaunchOptions,
                                                const Id&, Id*)
{
    return launchApplicationAtPath(absolutePathForAppBundleWithIdentifier(bundleIdentifier));
}
