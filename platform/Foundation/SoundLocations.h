#pragma once
// Where the platform's sound folders are on this system:
//   /System/Library/Sounds   -> the main bundle's Sounds folder (the alert
//                               sounds we ship; /usr/share/sounds holds only
//                               theme folders of Ogg files)
//   ~/Library/Sounds         -> $XDG_DATA_HOME/sounds (~/.local/share/sounds)
// The home folder may be written out or as "~". Other paths stay as they are.
#include "Foundation/NSArray.h"
#include "Foundation/NSString.h"

Ref<NSString> PathForPlatformSoundPath(const Ref<NSString>& path);
// The two folders above, mapped, system first.
Ref<NSArray> PlatformSoundFolders();
