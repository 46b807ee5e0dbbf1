// The window flip: the page turns into a second window with shadows, slowly
// enough for a screenshot to catch it mid-turn.
#include "AppKit/NSColor.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSTextField.h"
#include "Foundation/NSClass.h"
#include "GalleryPage.h"
#include "ZAKAppKit/ZAKWindowFlip/NSWindow+ZAKNSWindowExtension.h"

namespace {

class CardFace : public NSView {
    NS_OBJECT(CardFace, NSView)
protected:
    CardFace() = default;

public:
    Ref<NSColor> colour;
    void drawRect(const NSRect&) override
    {
        colour->setFill();
        NSRectFill(bounds());
    }
};
NS_CLASS_DEFINE(CardFace)

Ref<NSView> face(NSRect bounds, const Ref<NSColor>& colour, const char* text)
{
    auto view = NSObject::alloc<CardFace>();
    view->initWithFrame(bounds);
    view->colour = colour;
    auto label = NSTextField::labelWithString(NSString::stringWithUTF8String(text));
    label->setFrame(NSMakeRect(20, bounds.size.height / 2 - 10, bounds.size.width - 40, 20));
    label->setAlignment(NSTextAlignmentCenter);
    view->addSubview(label);
    return view;
}

Ref<NSView> makeFront(NSRect bounds)
{
    return face(bounds, NSColor::colorWithCalibratedRed(0.85, 0.9, 1, 1), "The front of the card");
}

Ref<NSWindow> g_back;

void flip(const Ref<NSWindow>& front)
{
    g_back = NSObject::alloc<NSWindow>()->initWithContentRect(front->frame(), NSTitledWindowMask,
                                                              NSBackingStoreBuffered, false);
    g_back->setReleasedWhenClosed(false);
    g_back->setTitle("Gallery: Window Flip (back)"_ns);
    g_back->setContentView(
        face(NSMakeRect(0, 0, 360, 240), NSColor::colorWithCalibratedRed(1, 0.92, 0.8, 1), "The back of the card"));
    NSWindowExt::flipToWindow(front, g_back, true, 3.5, true);
}

}  // namespace

GALLERY_PAGE(windowFlip, {"window-flip", "Window Flip", {360, 240}, makeFront, flip});
