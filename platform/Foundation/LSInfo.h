#pragma once
// What Launch Services says about an item on disk.
#include "Foundation/NSString.h"

// The content type of the item at path, symbolic links followed, as the
// platform's kLSItemContentType attribute answers it for all roles: the type
// of a file's extension (public.data without one), public.folder for a
// folder (an application or bundle folder by its extension), public.item for
// anything else; nil when nothing is at the path.
Ref<NSString> LSItemContentTypeForPath(const Ref<NSString>& path);

class NSURL;

// The application that opens the URL's scheme (kLSRolesAll): the desktop's
// handler for "x-scheme-handler/<scheme>" as `xdg-mime query default`
// names it, as the file URL of its desktop entry in the XDG data folders
// (or under the user's folder when no folder holds it); nil when there is
// no handler or the URL has no scheme.
Ref<NSURL> LSGetApplicationForURL(const Ref<NSURL>& url);
