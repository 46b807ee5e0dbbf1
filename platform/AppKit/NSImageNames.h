#pragma once
// Names of the system's images. imageNamed answers each with the layer's own
// artwork: for the templates black shapes on transparency, marked as such.
#include "AppKit/NSImage.h"

inline constexpr char NSImageNameAddTemplate[] = "NSAddTemplate";
inline constexpr char NSImageNameRemoveTemplate[] = "NSRemoveTemplate";
inline constexpr char NSImageNameQuickLookTemplate[] = "NSQuickLookTemplate";
inline constexpr char NSImageNameActionTemplate[] = "NSActionTemplate";
inline constexpr char NSImageNameShareTemplate[] = "NSShareTemplate";
inline constexpr char NSImageNameIconViewTemplate[] = "NSIconViewTemplate";
inline constexpr char NSImageNameListViewTemplate[] = "NSListViewTemplate";
inline constexpr char NSImageNameLockLockedTemplate[] = "NSLockLockedTemplate";
inline constexpr char NSImageNameLockUnlockedTemplate[] = "NSLockUnlockedTemplate";
inline constexpr char NSImageNameGoRightTemplate[] = "NSGoRightTemplate";
inline constexpr char NSImageNameGoLeftTemplate[] = "NSGoLeftTemplate";
inline constexpr char NSImageNameStopProgressTemplate[] = "NSStopProgressTemplate";
inline constexpr char NSImageNameRefreshTemplate[] = "NSRefreshTemplate";
// A full-colour 32 x 32 icon (not a template): general preferences.
inline constexpr char NSImageNamePreferencesGeneral[] = "NSPreferencesGeneral";

namespace NSImageTemplates {
// A new image of the artwork for a system image name, nil for other names.
Ref<NSImage> make(const std::string& name);
}
