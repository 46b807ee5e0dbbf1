#pragma once
// What Launch Services says about an item on disk.
#include "Foundation/NSString.h"

// The content type of the item at path, symbolic links followed, as the
// platform's kLSItemContentType attribute answers it for all roles: the type
// of a file's extension (public.data without one), public.folder for a
// folder (an application or bundle folder by its extension), public.item for
// anything else; nil when nothing is at the path.
Ref<NSString> LSItemContentTypeForPath(const Ref<NSString>& path);
