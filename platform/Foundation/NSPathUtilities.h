#pragma once
// Standard folders, mapped onto the XDG base and user directories:
//   NSDocumentDirectory                 $XDG_DOCUMENTS_DIR, else ~/Documents
//   NSDesktopDirectory                  $XDG_DESKTOP_DIR, else ~/Desktop
//   NSLibraryDirectory,
//   NSApplicationSupportDirectory       $XDG_DATA_HOME, else ~/.local/share
//   NSCachesDirectory                   $XDG_CACHE_HOME, else ~/.cache
//   NSUserDirectory                     /home
// Only the user domain has folders (NSUserDirectory also answers in the local
// domain); other directories answer an empty array, never "".
#include "Foundation/NSArray.h"
#include "Foundation/NSString.h"

enum NSSearchPathDirectory : NSUInteger {
    NSApplicationDirectory = 1,
    NSDemoApplicationDirectory = 2,
    NSDeveloperApplicationDirectory = 3,
    NSAdminApplicationDirectory = 4,
    NSLibraryDirectory = 5,
    NSDeveloperDirectory = 6,
    NSUserDirectory = 7,
    NSDocumentationDirectory = 8,
    NSDocumentDirectory = 9,
    NSCoreServiceDirectory = 10,
    NSAutosavedInformationDirectory = 11,
    NSDesktopDirectory = 12,
    NSCachesDirectory = 13,
    NSApplicationSupportDirectory = 14,
};

enum NSSearchPathDomainMask : NSUInteger {
    NSUserDomainMask = 1,
    NSLocalDomainMask = 2,
    NSNetworkDomainMask = 4,
    NSSystemDomainMask = 8,
    NSAllDomainsMask = 0x0ffff,
};

// With expandTilde false, folders inside the home folder start with "~".
Ref<NSArray> NSSearchPathForDirectoriesInDomains(NSSearchPathDirectory directory, NSUInteger domainMask,
                                                 bool expandTilde);
// $TMPDIR or /tmp, ending in "/".
Ref<NSString> NSTemporaryDirectory();
// $HOME, else the password database's home folder.
Ref<NSString> NSHomeDirectory();
// The login name of the user running the process.
Ref<NSString> NSUserName();
