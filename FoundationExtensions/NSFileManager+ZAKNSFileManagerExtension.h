#pragma once
// NSFileManager(ZAKNSFileManagerExtension): the user's standard folders, each
// the first path NSSearchPathForDirectoriesInDomains finds in the user domain
// with the tilde expanded, or "" when there is none.
#include "Foundation/NSString.h"

namespace NSFileManagerExt {

Ref<NSString> documentsDirectory();
// The library folder itself, not its preferences subfolder.
Ref<NSString> preferencesDirectory();
Ref<NSString> usersDirectory();
Ref<NSString> applicationSupportDirectory();
// NSTemporaryDirectory().
Ref<NSString> temporaryFolder();

}
