#pragma once
// The workspace: hands URLs and files to the desktop through the window
// server (which records them headless and uses the desktop's opener on
// X11), and answers file icons.
#include "AppKit/NSImage.h"
#include "Foundation/NSString.h"
#include "Foundation/NSURL.h"

#include <string>
#include <vector>

// Launch options; only the asynchronous launch is meaningful here (a
// launch never waits for the application).
using NSWorkspaceLaunchOptions = NSUInteger;
inline constexpr NSWorkspaceLaunchOptions NSWorkspaceLaunchAsync = 0x10000;

class NSWorkspace : public NSObject {
    NS_OBJECT(NSWorkspace, NSObject)
protected:
    NSWorkspace() = default;

public:
    static Ref<NSWorkspace> sharedWorkspace();
    Id init() override;

    // Answers whether the URL could be handed to a handler (NO for nil).
    bool openURL(const Ref<NSURL>& url);
    // Opens an existing file with its default application; NO when the file
    // does not exist.
    bool openFile(const Ref<NSString>& path);
    // Shows the file in the file viewer: the folder holding it is opened
    // (rootPath only narrows the viewer on the platform). NO when the file
    // does not exist.
    bool selectFile(const Ref<NSString>& path, const Ref<NSString>& rootFullPath);
    // A plain generic document icon of 32 x 32 points, the same for every
    // file.
    Ref<NSImage> iconForFile(const Ref<NSString>& path);

    // --- Applications ---
    // An application is a folder "<Name>.app" holding its Info.plist and
    // the executable its CFBundleExecutable names. The application folders
    // are "<prefix>/lib/plumbline/Applications" (prefix: the folder above
    // the executable's) and "~/.local/lib/plumbline/Applications", searched
    // in that order down to four folders below each.
    static std::vector<std::string> applicationFolders();
    // The path of the application with the bundle identifier; nil when no
    // application folder holds it.
    Ref<NSString> absolutePathForAppBundleWithIdentifier(const Ref<NSString>& bundleIdentifier);
    // Starts the application at the path (its executable, without a shell
    // and without arguments); NO when it is not an application or cannot
    // start.
    bool launchApplicationAtPath(const Ref<NSString>& path);
    // Finds the application and launches it; NO when none is found. The
    // descriptor and identifier are not used.
    bool launchAppWithBundleIdentifier(const Ref<NSString>& bundleIdentifier, NSWorkspaceLaunchOptions options,
                                       const Id& descriptor, Id* identifier);

private:
    Ref<NSImage> m_genericIcon;
};
