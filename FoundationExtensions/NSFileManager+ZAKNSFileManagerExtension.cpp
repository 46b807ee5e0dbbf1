#include "FoundationExtensions/NSFileManager+ZAKNSFileManagerExtension.h"

#include "Foundation/NSPathUtilities.h"

namespace {

Ref<NSString> firstUserPath(NSSearchPathDirectory directory)
{
    Ref<NSArray> paths = NSSearchPathForDirectoriesInDomains(directory, NSUserDomainMask, true);
    auto first = paths ? dynamic_ref_cast<NSString>(paths->firstObject()) : nullptr;
    return first ? first : NSString::string();
}

}

namespace NSFileManagerExt {

Ref<NSString> documentsDirectory() { return firstUserPath(NSDocumentDirectory); }
Ref<NSString> preferencesDirectory() { return firstUserPath(NSLibraryDirectory); }
Ref<NSString> usersDirectory() { return firstUserPath(NSUserDirectory); }
Ref<NSString> applicationSupportDirectory() { return firstUserPath(NSApplicationSupportDirectory); }
Ref<NSString> temporaryFolder() { return NSTemporaryDirectory(); }

}
