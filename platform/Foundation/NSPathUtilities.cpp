#include "Foundation/NSPathUtilities.h"

#include <pwd.h>
#include <unistd.h>

#include "Foundation/FileSupport.h"

using namespace FileSupport;

namespace {

// An XDG variable's folder; relative values are invalid and ignored.
std::string xdgFolder(const char* variable, const char* fallbackInHome)
{
    std::string value = environment(variable);
    if (!value.empty() && value[0] == '/') return value;
    return join(homeDirectory(), fallbackInHome);
}

std::string userFolder(NSSearchPathDirectory directory)
{
    switch (directory) {
    case NSDocumentDirectory: return xdgFolder("XDG_DOCUMENTS_DIR", "Documents");
    case NSDesktopDirectory: return xdgFolder("XDG_DESKTOP_DIR", "Desktop");
    case NSLibraryDirectory:
    case NSApplicationSupportDirectory: return xdgFolder("XDG_DATA_HOME", ".local/share");
    case NSCachesDirectory: return xdgFolder("XDG_CACHE_HOME", ".cache");
    case NSUserDirectory: return "/home";
    default: return "";
    }
}

std::string abbreviateHome(const std::string& path)
{
    std::string home = homeDirectory();
    while (home.size() > 1 && home.back() == '/') home.pop_back();
    if (home == "/" || home.empty()) return path;
    if (path == home) return "~";
    if (path.starts_with(home + "/")) return "~" + path.substr(home.size());
    return path;
}

}

Ref<NSArray> NSSearchPathForDirectoriesInDomains(NSSearchPathDirectory directory, NSUInteger domainMask,
                                                 bool expandTilde)
{
    std::string folder;
    if (domainMask & NSUserDomainMask) folder = userFolder(directory);
    if (folder.empty() && directory == NSUserDirectory && (domainMask & NSLocalDomainMask)) folder = "/home";
    if (folder.empty()) return NSArray::array();
    if (!expandTilde) folder = abbreviateHome(folder);
    return NSArray::arrayWithObject(stringFromFileSystem(folder));
}

Ref<NSString> NSTemporaryDirectory()
{
    std::string folder = environment("TMPDIR");
    if (folder.empty()) folder = "/tmp";
    if (folder.back() != '/') folder += '/';
    return stringFromFileSystem(folder);
}

Ref<NSString> NSHomeDirectory() { return stringFromFileSystem(homeDirectory()); }

Ref<NSString> NSUserName()
{
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_name) return stringFromFileSystem(pw->pw_name);
    return stringFromFileSystem(environment("USER"));
}
