#include "Foundation/LSInfo.h"

#include <sys/stat.h>

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
