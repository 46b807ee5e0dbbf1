// The workspace category: hiding the Dock icon asks to relaunch the
// application; the page opens that alert over a short explanation.
#include "AppKit/NSTextField.h"
#include "AppKitExtensions/NSWorkspace+ZAKNSWorkspaceExtension.h"
#include "Foundation/NSRunLoop.h"
#include "GalleryPage.h"

namespace {

Ref<NSView> makeWorkspacePage(NSRect bounds)
{
    auto root = NSObject::alloc<NSView>()->initWithFrame(bounds);
    auto label = NSTextField::labelWithString("Hiding the Dock icon takes effect at the next start."_ns);
    label->setFrame(NSMakeRect(20, bounds.size.height - 40, bounds.size.width - 40, 20));
    root->addSubview(label);
    return root;
}

}

GALLERY_PAGE(relaunchAlert, {"relaunch-alert", "Dock icon", {620, 320}, makeWorkspacePage, [](const Ref<NSWindow>&) {
                                 // After this turn, so the page is drawn before the modal alert runs.
                                 NSRunLoop::mainRunLoop()->performBlock({NSDefaultRunLoopMode}, [] {
                                     NSWorkspaceExt::setShowsDockIcon(NSWorkspace::sharedWorkspace(), false);
                                 });
                             }});
