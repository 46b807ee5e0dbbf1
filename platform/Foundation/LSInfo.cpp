#include "Foundation/LSInfo.h"

#include <sys/stat.h>

#include <cstdlib>
#include <sstream>

#include "Foundation/ChildProcess.h"
#include "Foundation/NSURL.h"
#include "Foundation/UTType.h"

Ref<NSString> LSItemContentTypeForPath(const Ref<NSString>& path)
{
    if (!path || path->length() == 0) return nullptr;
    auto expanded = path->stringByExpandingTildeInPath();
    struct stat info { };
    if (::stat(expanded->UTF8String().c_str(), &info) != 0) return nullptr;
    auto extension = expanded->pathExtension();
    if (S_ISDIR(info.st_mode)) {
        // Only the folder kinds of the table name a folder by its extension.
        auto type =
            UTTypeCreatePreferredIdentifierForTag(kUTTagClassFilenameExtension(), extension, kUTTypeDirectory());
        return type && UTTypeConformsTo(type, kUTTypeDirectory()) ? type : kUTTypeFolder();
    }
    if (!S_ISREG(info.st_mode)) return kUTTypeItem();
    if (extension->length() == 0) return kUTTypeData();
    return UTTypeCreatePreferredIdentifierForTag(kUTTagClassFilenameExtension(), extension, kUTTypeData());
}

namespace {

std::string environmentOr(const char* name, const std::string& fallback)
{
    const char* v = std::getenv(name);
    return v && *v ? v : fallback;
}

}

Ref<NSURL> LSGetApplicationForURL(const Ref<NSURL>& url)
{
    auto scheme = url ? url->scheme() : nullptr;
    if (!scheme || scheme->length() == 0) return nullptr;
    const auto answer = ChildProcess::run(
        {"xdg-mime", "query", "default", "x-scheme-handler/" + scheme->lowercaseString()->UTF8String()});
    if (!answer.started || answer.exitStatus != 0) return nullptr;
    std::string entry = answer.output;
    while (!entry.empty() && std::isspace(static_cast<unsigned char>(entry.back()))) entry.pop_back();
    if (entry.empty() || entry.find('/') != std::string::npos) return nullptr;
    const std::string home = environmentOr("HOME", "");
    const std::string dataHome = environmentOr("XDG_DATA_HOME", home + "/.local/share");
    std::vector<std::string> folders{dataHome};
    std::stringstream dirs(environmentOr("XDG_DATA_DIRS", "/usr/local/share:/usr/share"));
    for (std::string dir; std::getline(dirs, dir, ':');)
        if (!dir.empty()) folders.push_back(dir);
    for (const auto& folder : folders) {
        const std::string path = folder + "/applications/" + entry;
        struct stat info { };
        if (::stat(path.c_str(), &info) == 0) return NSURL::fileURLWithPath(NSString::stringWithUTF8String(path));
    }
    return NSURL::fileURLWithPath(NSString::stringWithUTF8String(dataHome + "/applications/" + entry));
}
