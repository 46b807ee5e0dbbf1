#include "Foundation/SoundLocations.h"

#include <optional>
#include <string>

#include "Foundation/NSBundle.h"
#include "Foundation/NSPathUtilities.h"

namespace {

std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// The rest of `path` after `folder` ("" or "/..."), when it lies inside it.
std::optional<std::string> below(const std::string& path, const std::string& folder)
{
    if (!path.starts_with(folder)) return std::nullopt;
    std::string rest = path.substr(folder.size());
    if (!rest.empty() && rest.front() != '/') return std::nullopt;
    return rest;
}

std::string userSoundFolder()
{
    auto library = NSSearchPathForDirectoriesInDomains(NSLibraryDirectory, NSUserDomainMask, true);
    return std::string(static_ref_cast<NSString>(library->objectAtIndex(0))->UTF8String()) + "/sounds";
}

}  // namespace

Ref<NSString> PathForPlatformSoundPath(const Ref<NSString>& path)
{
    if (!path) return nullptr;
    const std::string p = withoutTrailingSlashes(path->UTF8String());
    if (auto rest = below(p, "/System/Library/Sounds"))
        return NSString::stringWithUTF8String(std::string(NSBundle::mainBundle()->resourcePath()->UTF8String()) +
                                              "/Sounds" + *rest);
    const std::string home = withoutTrailingSlashes(NSHomeDirectory()->UTF8String());
    for (const std::string& folder : {std::string("~/Library/Sounds"), home + "/Library/Sounds"})
        if (auto rest = below(p, folder)) return NSString::stringWithUTF8String(userSoundFolder() + *rest);
    return path;
}

Ref<NSArray> PlatformSoundFolders()
{
    return NSArray::arrayWithObjects(
        {PathForPlatformSoundPath("/System/Library/Sounds"_ns), PathForPlatformSoundPath("~/Library/Sounds"_ns)});
}
