// Live links: editing an item whose server application is not installed
// shows the not-found alert, here with the application's web page.
#include "AppKit/NSTextField.h"
#include "Foundation/NSRunLoop.h"
#include "GalleryPage.h"
#include "LiveLink/LiveLinkServer.h"

namespace {

Ref<NSView> makeLiveLinkPage(NSRect bounds)
{
    auto root = NSObject::alloc<NSView>()->initWithFrame(bounds);
    auto label = NSTextField::labelWithString("Edit LiveLink Item: the server application is missing."_ns);
    label->setFrame(NSMakeRect(20, bounds.size.height - 40, bounds.size.width - 40, 20));
    root->addSubview(label);
    return root;
}

}

GALLERY_PAGE(liveLinkNotFound,
             {"livelink-not-found", "Live links", {620, 320}, makeLiveLinkPage, [](const Ref<NSWindow>&) {
                  NSRunLoop::mainRunLoop()->performBlock({NSDefaultRunLoopMode}, [] {
                      LiveLinkShowApplicationNotFound("Upper"_ns, NSURL::URLWithString("https://example.org/upper"_ns));
                  });
              }});
