#pragma once
// The workspace: hands URLs and files to the desktop through the window
// server (which records them headless and uses the desktop's opener on
// X11), and answers file icons.
#include "AppKit/NSImage.h"
#include "Foundation/NSString.h"
#include "Foundation/NSURL.h"

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

private:
    Ref<NSImage> m_genericIcon;
};
